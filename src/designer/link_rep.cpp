#include <brindle/designer/link_rep.h>

#include <brindle/datamodel/entities.h>
#include <brindle/designer/table_rep.h>

#include <QPainter>
#include <QSet>

#include <cmath>

namespace brindle {

TLinkRep::TLinkRep(TDSLink* link, TTableRep* rep1, TTableRep* rep2)
    : FLink(link), FTableRep1(rep1), FTableRep2(rep2)
{
}

void TLinkRep::fillNodes(TLinkNodes& nodes, const TStringList& fields, const TTableRep* rep, int otherLeft) const
{
    nodes.Clear();
    const QRect& box = rep->geometry();
    const int right = box.x() + box.width();
    QSet<QString> seen;
    for (const QString& entry : fields) {
        if (entry.startsWith(QLatin1String("val:"), Qt::CaseInsensitive))
            continue;
        const QString column = entry.startsWith(QLatin1String("fld:"), Qt::CaseInsensitive) ? entry.mid(4) : entry;
        QString folded = column.toCaseFolded();
        if (!seen.contains(folded)) {
            seen.insert(std::move(folded));
            auto node = std::make_unique<TLinkNode>();
            node->FieldName = column;
            // The edge that faces the other end.
            node->MarginSign = otherLeft > right ? 1 : -1;
            node->X = node->MarginSign > 0 ? right + 1 : box.x() - 1;
            node->Y = rep->NodeY(column);
            nodes.Add(std::move(node));
        }
    }
}

void TLinkRep::RecalcPositions()
{
    FLinkNodes1.Clear();
    FLinkNodes2.Clear();
    if (FLink && FTableRep1 && FTableRep2) {
        fillNodes(FLinkNodes1, FLink->Fields1(), FTableRep1, FTableRep2->geometry().x());
        fillNodes(FLinkNodes2, FLink->Fields2(), FTableRep2, FTableRep1->geometry().x());
    } else if (FLink && FTableRep1) {
        const QPoint end = FLooseEnd.value_or(FTableRep1->geometry().center());
        fillNodes(FLinkNodes1, FLink->Fields1(), FTableRep1, end.x());
        auto loose = std::make_unique<TLinkNode>();
        loose->X = end.x();
        loose->Y = end.y();
        loose->MarginSign = 0;
        FLinkNodes2.Add(std::move(loose));
    }
    QRect area;
    for (const TLinkNodes* nodes : {&FLinkNodes1, &FLinkNodes2})
        for (const auto& node : *nodes)
            area = area.united(QRect(QPoint(node->X, node->Y), nodeBranch(*node)).normalized());
    // The pen's width and the end pixels.
    FBounds = area.isNull() ? QRect() : area.adjusted(-3, -3, 3, 3);
}

QPoint TLinkRep::nodeBranch(const TLinkNode& node)
{
    return {node.X + StubLength * node.MarginSign, node.Y};
}

QPoint TLinkRep::branchPoint(const TLinkNodes& nodes)
{
    return nodeBranch(*nodes[0]);
}

template <typename Segment>
void TLinkRep::forEachSegment(Segment&& segment) const
{
    if (FLinkNodes1.IsEmpty() || FLinkNodes2.IsEmpty())
        return;
    const auto side = [&](const TLinkNodes& nodes) {
        const QPoint branch = branchPoint(nodes);
        segment(QPoint(nodes[0]->X, nodes[0]->Y), branch);
        for (int i = 1; i < nodes.Count(); ++i) {
            const QPoint node(nodes[i]->X, nodes[i]->Y);
            const QPoint corner(branch.x(), node.y());
            segment(node, corner);
            segment(corner, branch);
        }
    };
    side(FLinkNodes1);
    segment(branchPoint(FLinkNodes1), branchPoint(FLinkNodes2));
    side(FLinkNodes2);
}

void TLinkRep::Paint(QPainter& painter, const QColor& colour) const
{
    painter.setPen(QPen(colour, FActive ? 2 : 1, Qt::SolidLine));
    forEachSegment([&](QPoint from, QPoint to) { painter.drawLine(from, to); });
}

bool TLinkRep::IsOver(int x, int y) const
{
    // Whatever is near a segment lies within the bounds.
    if (!FBounds.contains(x, y))
        return false;
    const int count = qMin(FLinkNodes1.Count(), FLinkNodes2.Count());
    for (int i = 0; i < count; ++i) {
        const QPoint a = nodeBranch(*FLinkNodes1[i]);
        const QPoint b = nodeBranch(*FLinkNodes2[i]);
        // The box is widened by what still counts as near, so that a
        // horizontal or vertical segment has room beside it.
        const int near = HitDistance - 1;
        if (x < qMin(a.x(), b.x()) - near || x > qMax(a.x(), b.x()) + near || y < qMin(a.y(), b.y()) - near
            || y > qMax(a.y(), b.y()) + near)
            continue;
        const double dx = b.x() - a.x();
        const double dy = b.y() - a.y();
        if (dx != 0 && std::abs(y - (a.y() + (x - a.x()) * dy / dx)) < HitDistance)
            return true;
        if (dy != 0 && std::abs(x - (a.x() + (y - a.y()) * dx / dy)) < HitDistance)
            return true;
    }
    return false;
}


} // namespace brindle
