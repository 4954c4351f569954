#include <brindle/designer/table_rep.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/designer/design_area.h>
#include <brindle/designer/struct_design_panel.h>
#include <brindle/designer/table_box.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/messages.h>

#include <QApplication>

namespace brindle {

namespace {

QString columnName(const QString& entry)
{
    return entry.startsWith(QLatin1String("fld:"), Qt::CaseInsensitive) ? entry.mid(4) : entry;
}

} // namespace

TTableRep::TTableRep(TVxStructDesignPanel* panel, TDSTable* table)
    : FPanel(panel), FDSTable(table), FPlace(0, 0, DefaultWidth, DefaultHeight)
{
}

TTableRep::~TTableRep() = default;

TVxCustomDBStructure* TTableRep::DBStruct() const
{
    return FPanel->DBStruct();
}

void TTableRep::SetActive(bool active)
{
    if (active == FActive)
        return;
    FActive = active;
    if (FBox)
        FBox->TitleBar()->update();
}

QString TTableRep::Title() const
{
    return FDSTable->CompoundName();
}

TTableRepListBox* TTableRep::FieldsList() const
{
    return FBox ? FBox->FieldsList() : nullptr;
}

QWidget* TTableRep::TitleBar() const
{
    return FBox ? FBox->TitleBar() : nullptr;
}

void TTableRep::ShowBox(QWidget* surface)
{
    if (FBox)
        return;
    FBox.reset(new TTableBox(this, surface));
    FBox->show();
}

void TTableRep::HideBox()
{
    // The keyboard goes to the panel: left to Qt, it would go to the next
    // box, which the area would scroll into view.
    if (FBox && FBox->isAncestorOf(QApplication::focusWidget()))
        FPanel->setFocus();
    FBox.reset();
}

void TTableRep::FillFields()
{
    FRowByColumn.clear();
    FHasColumns = false;
    FTopRow = 0;
    TVxDBInfo* info = DBStruct() ? DBStruct()->DatabaseInfo() : nullptr;
    QStringList lines;
    try {
        if (!info || !info->Connected()) {
            lines.append(LoadResString(_SNotConnected));
        } else {
            // An empty database name means the info's current one: setting
            // it would make some infos leave their database.
            if (!FDSTable->DatabaseName().isEmpty())
                info->SetCurrentDbName(FDSTable->DatabaseName());
            const TDBFieldList& columns = info->GetFieldList(FDSTable->FullName());
            lines.reserve(columns.Count());
            FRowByColumn.reserve(columns.Count());
            for (const auto& column : columns) {
                FRowByColumn.insert(column->FieldName.toCaseFolded(), static_cast<int>(lines.size()));
                lines.append(column->FieldName);
            }
            FHasColumns = true;
        }
    } catch (const std::exception& error) {
        const auto* own = dynamic_cast<const Exception*>(&error);
        lines = {LoadResString(_SError) + QStringLiteral("! :"),
                 u'"' + (own ? own->Message() : QString::fromUtf8(error.what())) + u'"'};
        FRowByColumn.clear();
        FHasColumns = false;
    }
    FLines = std::move(lines);
    if (FBox) {
        FBox->FieldsList()->clear();
        FBox->FieldsList()->addItems(FLines);
    }
}

QString TTableRep::SelectedField() const
{
    const QListWidgetItem* item = FBox ? FBox->FieldsList()->currentItem() : nullptr;
    return FHasColumns && item && item->isSelected() ? item->text() : QString();
}

int TTableRep::NodeY(const QString& column) const
{
    const QRect& box = FPlace;
    const int row = FRowByColumn.value(columnName(column).toCaseFolded(), -1);
    if (row < 0)
        return box.y() + 10;
    // The row's top and height, the list's top in the box and its visible
    // height. The frame and, within it, the margin are a bevel wide each.
    int rowTop = 0;
    int rowHeight = 0;
    int listTop = 2 * BevelWidth + TitleHeight;
    int listHeight = box.height() - 4 * BevelWidth - TitleHeight;
    if (FBox) {
        const TTableRepListBox* list = FBox->FieldsList();
        const QRect rowRect = list->visualRect(list->model()->index(row, 0));
        rowTop = rowRect.top();
        rowHeight = rowRect.height();
        listTop = list->viewport()->mapTo(FBox.get(), QPoint(0, 0)).y();
        listHeight = list->viewport()->height();
    } else {
        rowHeight = FPanel->DesignArea()->RowHeight();
        rowTop = (row - FTopRow) * rowHeight;
    }
    const int top = listTop + rowTop;
    const int bottom = top + rowHeight;
    if (rowTop < 0)
        return box.y() + 10;
    if (rowTop >= listHeight || bottom > box.height())
        return box.y() + box.height() - 5;
    return box.y() + (top + bottom) / 2;
}

QRect TTableRep::StoredPlace() const
{
    const int left = qBound(0, FDSTable->DesignLeft, MaxCoordinate);
    const int top = qBound(0, FDSTable->DesignTop, MaxCoordinate);
    const int width = FDSTable->DesignWidth > 0 ? qBound(MinimumWidth, FDSTable->DesignWidth, MaxExtent) : DefaultWidth;
    const int height =
        FDSTable->DesignHeight > 0 ? qBound(MinimumHeight, FDSTable->DesignHeight, MaxExtent) : DefaultHeight;
    return {left, top, width, height};
}

void TTableRep::PlaceBox(const QRect& place, bool store)
{
    FPlace = QRect(qBound(0, place.x(), MaxCoordinate), qBound(0, place.y(), MaxCoordinate),
                   qBound(MinimumWidth, place.width(), MaxExtent), qBound(MinimumHeight, place.height(), MaxExtent));
    if (FBox)
        FBox->setGeometry(FPlace);
    if (store) {
        FDSTable->DesignLeft = FPlace.x();
        FDSTable->DesignTop = FPlace.y();
        FDSTable->DesignWidth = FPlace.width();
        FDSTable->DesignHeight = FPlace.height();
    }
}

Qt::Edges TTableRep::SizingEdges(QPoint at) const
{
    const int width = FPlace.width();
    const int height = FPlace.height();
    const int zone = BevelWidth + SizingMargin;
    const bool left = at.x() < zone;
    const bool right = at.x() >= width - zone;
    const bool top = at.y() < zone;
    const bool bottom = at.y() >= height - zone;
    Qt::Edges edges;
    if (left || right) {
        edges |= left ? Qt::LeftEdge : Qt::RightEdge;
        if (at.y() < CornerSize)
            edges |= Qt::TopEdge;
        else if (at.y() >= height - CornerSize)
            edges |= Qt::BottomEdge;
    }
    if (top || bottom) {
        edges |= top ? Qt::TopEdge : Qt::BottomEdge;
        if (at.x() < CornerSize)
            edges |= Qt::LeftEdge;
        else if (at.x() >= width - CornerSize)
            edges |= Qt::RightEdge;
    }
    return edges;
}

void TTableRep::listScrolled(int topRow)
{
    FTopRow = topRow;
    // A widget being made takes the box's top row; the panel recomputes
    // the lines once it is shown.
    if (FBox)
        FPanel->BoxPlaced(this);
}

} // namespace brindle
