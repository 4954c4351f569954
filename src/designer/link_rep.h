#pragma once
// TLinkRep: one link of the model drawn as a line between the column rows
// of two boxes of the structure design panel. It keeps the attachment
// points (nodes) of each side, recomputed from the boxes' places and the
// link's columns, paints itself and answers whether a point lies on it.
// Boxes without widgets give their places and rows as well, so a line is
// whole whether its ends are in view or not.
// The panel owns the lines; a line refers to its model link and its boxes.

#include <brindle/brindle_widgets_export.h>
#include <brindle/foundations/object_list.h>

#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

class QColor;
class QPainter;

namespace brindle {

class TDSLink;
class TStringList;
class TTableRep;

// One attachment point of a line on a box: in the design surface's
// coordinates, on the box's left edge (MarginSign -1) or right edge (1).
class BRINDLE_WIDGETS_EXPORT TLinkNode {
public:
    int X = 0;
    int Y = 0;
    int MarginSign = -1;
    QString FieldName;
};

// The nodes of one side of a line, one per distinct column.
class BRINDLE_WIDGETS_EXPORT TLinkNodes : public TVxObjectList<TLinkNode> {};

class BRINDLE_WIDGETS_EXPORT TLinkRep {
public:
    static constexpr int StubLength = 8;
    // A point nearer to the line than this many pixels is on it.
    static constexpr int HitDistance = 4;

    TLinkRep(TDSLink* link, TTableRep* rep1, TTableRep* rep2);

    TDSLink* DSLink() const { return FLink; }
    void SetDSLink(TDSLink* link) { FLink = link; }
    TTableRep* TableRep1() const { return FTableRep1; }
    void SetTableRep1(TTableRep* rep) { FTableRep1 = rep; }
    TTableRep* TableRep2() const { return FTableRep2; }
    void SetTableRep2(TTableRep* rep) { FTableRep2 = rep; }
    bool Active() const { return FActive; }
    void SetActive(bool active) { FActive = active; }
    const TLinkNodes& LinkNodes1() const { return FLinkNodes1; }
    const TLinkNodes& LinkNodes2() const { return FLinkNodes2; }

    // A line being drawn has no box 2 yet: its second end is this point.
    void SetLooseEnd(QPoint at) { FLooseEnd = at; }

    // The nodes again from the boxes and the link's columns.
    void RecalcPositions();
    // Black, 2 pixels wide when selected, else 1.
    void Paint(QPainter& painter, const QColor& colour) const;
    bool IsOver(int x, int y) const;
    // What Paint touches, for repainting only that; kept with the nodes.
    const QRect& BoundingRect() const { return FBounds; }

private:
    void fillNodes(TLinkNodes& nodes, const TStringList& fields, const TTableRep* rep, int otherLeft) const;
    // Where a side's stubs meet: its first node moved out by the stub.
    static QPoint branchPoint(const TLinkNodes& nodes);
    static QPoint nodeBranch(const TLinkNode& node);
    // Calls segment(from, to) for every segment Paint draws.
    template <typename Segment>
    void forEachSegment(Segment&& segment) const;

    TDSLink* FLink;
    TTableRep* FTableRep1;
    TTableRep* FTableRep2;
    TLinkNodes FLinkNodes1;
    TLinkNodes FLinkNodes2;
    bool FActive = false;
    std::optional<QPoint> FLooseEnd;
    QRect FBounds;
};

} // namespace brindle
