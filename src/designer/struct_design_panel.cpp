#include <brindle/designer/struct_design_panel.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/designer/design_area.h>
#include <brindle/designer/link_editor.h>
#include <brindle/designer/table_box.h>
#include <brindle/designer/tables_list_dialog.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/messages.h>
#include <brindle/foundations/text_utils.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/interaction.h>

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>

namespace brindle {

// --- the boxes list

TTableRep* TTableRepList::GetItem(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%d)"), {index});
    return FItems[static_cast<std::size_t>(index)].get();
}

int TTableRepList::IndexOf(const TTableRep* rep) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == rep)
            return static_cast<int>(i);
    return -1;
}

int TTableRepList::Add(TTableRep* rep)
{
    FItems.emplace_back(rep);
    FByTable.insert(rep->DSTable(), rep);
    return Count() - 1;
}

void TTableRepList::Delete(int index)
{
    TTableRep* rep = GetItem(index);
    if (FByTable.value(rep->DSTable()) == rep)
        FByTable.remove(rep->DSTable());
    const auto gone = std::move(FItems[static_cast<std::size_t>(index)]);
    FItems.erase(FItems.begin() + index);
}

void TTableRepList::Clear()
{
    FByTable.clear();
    while (!FItems.empty()) {
        const auto gone = std::move(FItems.back());
        FItems.pop_back();
    }
}

void TTableRepList::Reorder(const std::vector<TTableRep*>& order)
{
    std::vector<std::unique_ptr<TTableRep, LaterDeleteRep>> sorted;
    sorted.reserve(FItems.size());
    for (TTableRep* rep : order) {
        auto at = std::find_if(FItems.begin(), FItems.end(), [rep](const auto& item) { return item.get() == rep; });
        sorted.push_back(std::move(*at));
    }
    FItems = std::move(sorted);
}

namespace {

// In the language of the translators installed when the panel is made.
TStringList defaultHints()
{
    static constexpr const char* context = "brindle::TVxStructDesignPanel";
    const auto hint = [](const char* name, const char* text) {
        return QString::fromLatin1(name) + u'=' + QCoreApplication::translate(context, text);
    };
    return TStringList{
        hint("SelectTableHint", QT_TRANSLATE_NOOP("brindle::TVxStructDesignPanel", "Click inside table to select it")),
        hint("SelectLinkHint", QT_TRANSLATE_NOOP("brindle::TVxStructDesignPanel", "Click on link line to select it")),
        hint("IdleHint", QT_TRANSLATE_NOOP("brindle::TVxStructDesignPanel",
                                           "To add/delete tables and links - right click on selected object and "
                                           "chose necessary operation")),
        hint("AddLinkStage1Hint",
             QT_TRANSLATE_NOOP("brindle::TVxStructDesignPanel", "Select a field in the first linking table")),
        hint("AddLinkStage2Hint",
             QT_TRANSLATE_NOOP("brindle::TVxStructDesignPanel", "Select a field in the second linking table"))};
}

// The full-screen button's two pictures, drawn: a frame with its corners
// pulled out, and two overlapping windows.
QIcon maxButtonIcon(bool restore, const QColor& colour, const QColor& background)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(colour, 1));
    if (restore) {
        painter.drawRect(5, 2, 8, 7);
        painter.fillRect(5, 2, 9, 2, colour);
        painter.fillRect(2, 6, 9, 8, background);
        painter.drawRect(2, 6, 8, 7);
        painter.fillRect(2, 6, 9, 2, colour);
    } else {
        painter.drawRect(4, 4, 7, 7);
        const int corners[4][4] = {{1, 1, 1, 1}, {14, 1, -1, 1}, {1, 14, 1, -1}, {14, 14, -1, -1}};
        for (const auto& c : corners) {
            painter.drawLine(c[0], c[1], c[0] + 2 * c[2], c[1]);
            painter.drawLine(c[0], c[1], c[0], c[1] + 2 * c[3]);
        }
    }
    return QIcon(pixmap);
}

// The full-screen window: closing it ends full-screen mode.
class MaxForm : public QWidget {
public:
    explicit MaxForm(std::function<void()> onClose) : FOnClose(std::move(onClose)) {}

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        Guarded(FOnClose);
    }

private:
    std::function<void()> FOnClose;
};

enum MenuTag { mtAddTables = 1, mtDeleteTable, mtAddLink, mtEditLink, mtDeleteLink, mtArrange };

} // namespace

TVxStructDesignPanel::TVxStructDesignPanel(QWidget* parent) : QFrame(parent), FActionHints(defaultHints())
{
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FStaticText = new QLabel(this);
    FStaticText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    FStaticText->setTextFormat(Qt::PlainText);
    // Alone (inactive) at the bottom; below the design area otherwise.
    layout->addWidget(FStaticText, 0, Qt::AlignBottom);
    FMaxPanel = new QWidget(this);
    FMaxPanel->setFixedSize(24, 24);
    FMaxButton = new QToolButton(FMaxPanel);
    FMaxButton->setAutoRaise(true);
    FMaxButton->setGeometry(1, 1, 22, 22);
    connect(FMaxButton, &QToolButton::clicked, this,
            [this] { Guarded([this] { SetFullScreenMode(!FFullScreenMode); }); });
    updateMaxButton();
    FMaxPanel->hide();
    FStaticText->setVisible(FShowActionHints);
    showHint(QStringLiteral("IdleHint"));
}

TVxStructDesignPanel::~TVxStructDesignPanel()
{
    FDestroying = true;
    if (FFullScreenMode)
        setParent(nullptr);
    Clear();
    FNewLink.reset();
    FNewDSLink.reset();
    if (FDBStruct)
        FDBStruct->RemoveModelListener(this);
}

void TVxStructDesignPanel::SetDBStruct(TVxCustomDBStructure* model)
{
    if (model == FDBStruct)
        return;
    Deactivate();
    if (FDBStruct)
        FDBStruct->RemoveModelListener(this);
    FDBStruct = model;
    if (model)
        model->AddModelListener(this);
}

void TVxStructDesignPanel::requireModel() const
{
    if (!FDBStruct)
        throw EStructureDesignError(LoadResString(_ERRStructNotSpecified));
}

TVxDBInfo* TVxStructDesignPanel::DBInfo() const
{
    requireModel();
    if (!FDBStruct->DatabaseInfo())
        throw EStructureDesignError(LoadResString(_ERRDBInfoNotSpecified));
    return FDBStruct->DatabaseInfo();
}

bool TVxStructDesignPanel::connected() const
{
    return FDBStruct && FDBStruct->DatabaseInfo() && FDBStruct->DatabaseInfo()->Connected();
}

int TVxStructDesignPanel::clientWidth() const
{
    return contentsRect().width();
}

// --- activation

void TVxStructDesignPanel::Activate()
{
    if (FActive)
        return;
    requireModel();
    FDesignArea.reset(new TVxDesignArea(this));
    static_cast<QBoxLayout*>(layout())->insertWidget(0, FDesignArea.get(), 1);
    FDesignArea->show();
    Clear();
    try {
        makeReps();
    } catch (...) {
        Clear();
        layout()->removeWidget(FDesignArea.get());
        FDesignArea.reset();
        throw;
    }
    FDesignArea->UpdateExtent();
    ViewChanged();
    if (!FTablesRep.IsEmpty())
        SetActiveTable(FTablesRep[0]);
    if (!FLinksRep.IsEmpty())
        SetActiveLink(FLinksRep[0]);
    FActive = true;
    FMaxPanel->setVisible(FShowFullScreenButton);
    placeMaxPanel();
    FMaxPanel->raise();
}

void TVxStructDesignPanel::Deactivate()
{
    if (!FActive)
        return;
    if (FAddLinkStage != alsIdle)
        CancelAddLink();
    Clear();
    FActive = false;
    if (FFullScreenMode)
        SetFullScreenMode(false);
    FMaxPanel->hide();
    layout()->removeWidget(FDesignArea.get());
    FDesignArea.reset();
}

void TVxStructDesignPanel::Clear()
{
    SetActiveLink(nullptr);
    SetActiveTable(nullptr);
    FLinksRep.Clear();
    FTablesRep.Clear();
    if (FDesignArea)
        FDesignArea->Surface()->update();
}

TTableRep* TVxStructDesignPanel::addBox(TDSTable* table)
{
    auto* rep = new TTableRep(this, table);
    FTablesRep.Add(rep);
    rep->FillFields();
    return rep;
}

void TVxStructDesignPanel::CreateTableList()
{
    requireModel();
    FDesignPositionsDefined = true;
    for (int i = 0; i < FDBStruct->TableCount(); ++i) {
        TDSTable* table = FDBStruct->Tables(i);
        TTableRep* rep = addBox(table);
        rep->PlaceBox(rep->StoredPlace(), false);
        if (table->DesignWidth < 1 || table->DesignHeight <= 0)
            FDesignPositionsDefined = false;
    }
}

void TVxStructDesignPanel::CreateLinkList()
{
    requireModel();
    if (!FDBStruct->DatabaseInfo())
        return;
    for (int i = 0; i < FDBStruct->LinkCount(); ++i) {
        TDSLink* link = FDBStruct->Links(i);
        TTableRep* rep1 = FindTblRepByDSTable(link->Table1());
        TTableRep* rep2 = FindTblRepByDSTable(link->Table2());
        if (!rep1 || !rep2)
            continue;
        auto line = std::make_unique<TLinkRep>(link, rep1, rep2);
        line->RecalcPositions();
        FLinksRep.Add(std::move(line));
    }
    if (FDesignArea)
        FDesignArea->Surface()->update();
}

// --- selection

void TVxStructDesignPanel::SetActiveTable(TTableRep* rep)
{
    if (rep == FActiveTable)
        return;
    if (FActiveTable)
        FActiveTable->SetActive(false);
    FActiveTable = rep;
    if (rep) {
        rep->SetActive(true);
        if (rep->Box())
            rep->Box()->raise();
    }
    if (OnSelectTable && tellsHost())
        OnSelectTable(this);
}

void TVxStructDesignPanel::SetActiveLink(TLinkRep* rep)
{
    if (rep == FActiveLink)
        return;
    if (FActiveLink) {
        FActiveLink->SetActive(false);
        repaintLine(FActiveLink);
    }
    FActiveLink = rep;
    if (rep) {
        rep->SetActive(true);
        repaintLine(rep);
    }
    if (OnSelectLink && tellsHost())
        OnSelectLink(this);
}

TTableRep* TVxStructDesignPanel::FindTblRepByDSTable(const TDSTable* table) const
{
    return FTablesRep.Find(table);
}

TLinkRep* TVxStructDesignPanel::FindLinkRepByDSLink(const TDSLink* link) const
{
    for (const auto& rep : FLinksRep)
        if (rep->DSLink() == link)
            return rep.get();
    return nullptr;
}

TLinkRep* TVxStructDesignPanel::IsOverSomeLink(int x, int y) const
{
    for (const auto& rep : FLinksRep)
        if (rep->IsOver(x, y))
            return rep.get();
    return nullptr;
}

// --- placing

void TVxStructDesignPanel::ArrangeTables()
{
    int x = FDefXStart;
    int y = FDefYStart;
    int tallest = 0;
    for (int i = 0; i < FTablesRep.Count(); ++i) {
        TTableRep* rep = FTablesRep[i];
        const QSize size = rep->geometry().size();
        if (i > 0 && x + size.width() + FDefXMargin > clientWidth()) {
            x = FDefXStart;
            y += tallest + FDefYMargin;
        }
        rep->PlaceBox(QRect(QPoint(x, y), size), true);
        tallest = qMax(tallest, size.height());
        x += size.width() + FDefXMargin;
    }
    for (const auto& line : FLinksRep)
        line->RecalcPositions();
    refreshExtent();
}

void TVxStructDesignPanel::ArrangeNewTableRep(TTableRep* rep)
{
    int rightmost = 0;
    int largestTop = 0;
    int largestBottom = 0;
    bool others = false;
    for (const auto& box : FTablesRep) {
        if (box.get() == rep)
            continue;
        others = true;
        const QRect& place = box->geometry();
        rightmost = qMax(rightmost, place.x() + place.width());
        largestTop = qMax(largestTop, place.y());
        largestBottom = qMax(largestBottom, place.y() + place.height());
    }
    const QSize size = rep->geometry().size();
    QPoint at(FDefXStart, FDefYStart);
    if (others && rightmost + size.width() + FDefXMargin <= clientWidth())
        at = QPoint(rightmost + FDefXMargin, largestTop);
    else if (others)
        at = QPoint(FDefXStart, largestBottom + FDefYMargin);
    rep->PlaceBox(QRect(at, size), true);
    BoxPlaced(rep);
}

void TVxStructDesignPanel::RearrangeTables()
{
    if (FTablesRep.IsEmpty())
        return;
    const int band = FTablesRep[0]->geometry().height();
    const auto before = [band](const TTableRep* a, const TTableRep* b) {
        const QRect& p = a->geometry();
        const QRect& q = b->geometry();
        if (qAbs(p.y() - q.y()) <= band)
            return p.x() < q.x();
        return p.y() < q.y();
    };
    // Insertion sort: the order is not transitive across bands, which
    // std::sort may not be given.
    std::vector<TTableRep*> order;
    for (const auto& rep : FTablesRep) {
        auto at = order.end();
        while (at != order.begin() && before(rep.get(), *(at - 1)))
            --at;
        order.insert(at, rep.get());
    }
    FTablesRep.Reorder(order);
    ArrangeTables();
}

void TVxStructDesignPanel::RecalcLinkPositions(TTableRep* rep)
{
    for (const auto& line : FLinksRep)
        if (line->TableRep1() == rep || line->TableRep2() == rep)
            recalcLine(line.get());
    if (FNewLink && FNewLink->TableRep1() == rep)
        recalcLine(FNewLink.get());
}

void TVxStructDesignPanel::recalcLine(TLinkRep* line)
{
    repaintLine(line);
    line->RecalcPositions();
    repaintLine(line);
}

void TVxStructDesignPanel::InvalidateLinks()
{
    if (FDesignArea)
        FDesignArea->Surface()->update();
}

void TVxStructDesignPanel::repaintLine(const TLinkRep* line)
{
    if (!FDesignArea)
        return;
    // Lines run under the boxes: repainting what a box covers would only
    // repaint the box. Only boxes near the view have widgets to cover.
    const QRect bounds = line->BoundingRect();
    QRegion region(bounds);
    for (QObject* child : FDesignArea->Surface()->children()) {
        const auto* box = qobject_cast<const TTableBox*>(child);
        if (box && !box->isHidden() && box->geometry().intersects(bounds))
            region -= box->geometry();
    }
    if (!region.isEmpty())
        FDesignArea->Surface()->update(region);
}

void TVxStructDesignPanel::refreshExtent()
{
    if (!FDesignArea)
        return;
    FDesignArea->UpdateExtent();
    ViewChanged();
    FDesignArea->Surface()->update();
}

void TVxStructDesignPanel::ViewChanged()
{
    if (!FDesignArea)
        return;
    const QRect near = FDesignArea->NearRect();
    QSet<const TTableRep*> shown;
    for (const auto& rep : FTablesRep) {
        if (rep->geometry().intersects(near)) {
            if (!rep->Box()) {
                rep->ShowBox(FDesignArea->Surface());
                shown.insert(rep.get());
            }
        } else if (rep->Box() && !rep->Box()->Dragging()) {
            rep->HideBox();
        }
    }
    if (shown.isEmpty())
        return;
    // Widgets overlap in list order, the selected box on top.
    for (const auto& rep : FTablesRep)
        if (rep->Box())
            rep->Box()->raise();
    if (FActiveTable && FActiveTable->Box())
        FActiveTable->Box()->raise();
    // A widget's list may show fewer rows than a box without one reckons
    // (a horizontal scroll bar): its lines attach as the widget shows them.
    for (const auto& line : FLinksRep)
        if (shown.contains(line->TableRep1()) || shown.contains(line->TableRep2()))
            recalcLine(line.get());
}

// --- what the boxes and the surface report

void TVxStructDesignPanel::BoxPressed(TTableRep* rep)
{
    SetActiveTable(rep);
}

void TVxStructDesignPanel::BoxPlaced(TTableRep* rep)
{
    if (!FActive && !FDesignArea)
        return;
    RecalcLinkPositions(rep);
    if (FDesignArea) {
        FDesignArea->UpdateExtent();
        // The box may have come near the view or left it.
        ViewChanged();
    }
}

void TVxStructDesignPanel::BoxHovered(TTableRep*)
{
    if (FAddLinkStage == alsIdle)
        showHint(QStringLiteral("SelectTableHint"));
}

void TVxStructDesignPanel::PointerMoved(QPoint surfaceAt)
{
    if (!FDesignArea)
        return;
    QWidget* surface = FDesignArea->Surface();
    if (FAddLinkStage == alsSelField2 && FNewLink) {
        repaintLine(FNewLink.get());
        FNewLink->SetLooseEnd(surfaceAt);
        FNewLink->RecalcPositions();
        repaintLine(FNewLink.get());
        showHint(QStringLiteral("AddLinkStage2Hint"));
        return;
    }
    if (FAddLinkStage != alsIdle)
        return;
    if (surface->childAt(surfaceAt))
        return;
    const bool overLine = IsOverSomeLink(surfaceAt.x(), surfaceAt.y()) != nullptr;
    surface->setCursor(overLine ? Qt::PointingHandCursor : Qt::ArrowCursor);
    showHint(overLine ? QStringLiteral("SelectLinkHint") : QStringLiteral("IdleHint"));
}

void TVxStructDesignPanel::SurfacePressed(QPoint surfaceAt)
{
    setFocus();
    if (TLinkRep* line = IsOverSomeLink(surfaceAt.x(), surfaceAt.y()))
        SetActiveLink(line);
}

void TVxStructDesignPanel::SurfaceDoubleClicked(QPoint surfaceAt)
{
    if (FAddLinkStage != alsIdle)
        return;
    if (TLinkRep* line = IsOverSomeLink(surfaceAt.x(), surfaceAt.y()))
        EditLink(line);
}

void TVxStructDesignPanel::ShowContextMenu(TTableRep* rep, QPoint surfaceAt, QPoint globalAt)
{
    if (FAddLinkStage != alsIdle || !FActive)
        return;
    if (rep)
        SetActiveTable(rep);
    else if (TLinkRep* line = IsOverSomeLink(surfaceAt.x(), surfaceAt.y()))
        SetActiveLink(line);
    QMenu menu(this);
    const auto item = [&](MenuTag tag, const QString& text, bool enabled) {
        QAction* action = menu.addAction(text);
        action->setData(tag);
        action->setEnabled(enabled);
    };
    const bool withInfo = FDBStruct && FDBStruct->DatabaseInfo();
    item(mtAddTables, tr("Add tables..."), withInfo);
    item(mtDeleteTable, tr("Delete table"), FActiveTable != nullptr);
    menu.addSeparator();
    item(mtAddLink, tr("Add link"), FTablesRep.Count() > 0 && withInfo);
    item(mtEditLink, LoadResString(_SEditLink), FActiveLink != nullptr);
    item(mtDeleteLink, tr("Delete link"), FActiveLink != nullptr);
    menu.addSeparator();
    item(mtArrange, tr("Arrange tables"), FTablesRep.Count() > 0);
    FContextMenu = &menu;
    QAction* chosen = menu.exec(globalAt);
    FContextMenu = nullptr;
    if (!chosen)
        return;
    bool addFields = false;
    switch (chosen->data().toInt()) {
    case mtAddTables:
        AddTablesDlg(nullptr, addFields);
        break;
    case mtDeleteTable:
        if (FActiveTable && Ask(LoadResString(_SDeleteTable)))
            DeleteActiveTable();
        break;
    case mtAddLink:
        StartAddLink();
        break;
    case mtEditLink:
        EditActiveLink();
        break;
    case mtDeleteLink:
        if (FActiveLink && Ask(LoadResString(_SDeleteLink)))
            DeleteActiveLink();
        break;
    case mtArrange:
        RearrangeTables();
        break;
    default:
        break;
    }
}

// --- adding and deleting

bool TVxStructDesignPanel::AddTablesDlg(TSimpleDSTableList* newTables, bool& autoAddFields)
{
    TVxDBInfo* info = DBInfo();
    TTablesListOptions options{tloShowAddFields, tloMultiSelect};
    if (FDBStruct->AutoAddFields())
        options.Include(tloAutoAddFields);
    QStringList names;
    QString database;
    if (!SelectTablesDlg(*info, options, names, database, autoAddFields, this))
        return false;
    for (const QString& name : names) {
        TDSTable* table = FDBStruct->Tables(FDBStruct->AddTable(name, name));
        table->SetDatabaseName(database);
        // As the model built from the database writes such names.
        table->SetQuoted(!IsIdentifier(name));
        if (autoAddFields) {
            int id = FDBStruct->GetLastFieldID();
            FDBStruct->AddTableDataFields(table, id);
        }
        if (newTables)
            newTables->Add(table);
        if (FActive) {
            TTableRep* rep = addBox(table);
            ArrangeNewTableRep(rep);
            SetActiveTable(rep);
        }
    }
    return true;
}

void TVxStructDesignPanel::deleteLine(int index)
{
    TLinkRep* line = FLinksRep[index];
    if (line == FActiveLink) {
        TLinkRep* next = index + 1 < FLinksRep.Count() ? FLinksRep[index + 1]
                         : index > 0                   ? FLinksRep[index - 1]
                                                       : nullptr;
        SetActiveLink(next);
    }
    repaintLine(line);
    FLinksRep.Delete(index);
}

void TVxStructDesignPanel::deleteBox(int index)
{
    TTableRep* rep = FTablesRep[index];
    if (rep == FActiveTable) {
        TTableRep* next = index + 1 < FTablesRep.Count() ? FTablesRep[index + 1]
                          : index > 0                    ? FTablesRep[index - 1]
                                                         : nullptr;
        SetActiveTable(next);
    }
    for (int i = FLinksRep.Count() - 1; i >= 0; --i)
        if (FLinksRep[i]->TableRep1() == rep || FLinksRep[i]->TableRep2() == rep)
            deleteLine(i);
    FTablesRep.Delete(index);
}

void TVxStructDesignPanel::DeleteLink(int index)
{
    TDSLink* link = FLinksRep[index]->DSLink();
    // The model tells the panel, which then drops the line.
    const int inModel = FDBStruct ? FDBStruct->IndexOfLink(link) : -1;
    if (inModel >= 0)
        FDBStruct->DelLink(inModel);
    else
        deleteLine(index);
}

void TVxStructDesignPanel::DeleteActiveLink()
{
    if (FActiveLink)
        DeleteLink(FLinksRep.IndexOf(FActiveLink));
}

void TVxStructDesignPanel::DeleteAllTableLinks(TTableRep* rep)
{
    for (int i = FLinksRep.Count() - 1; i >= 0; --i)
        if (i < FLinksRep.Count() && (FLinksRep[i]->TableRep1() == rep || FLinksRep[i]->TableRep2() == rep))
            DeleteLink(i);
}

void TVxStructDesignPanel::DeleteTable(int index)
{
    TTableRep* rep = FTablesRep[index];
    DeleteAllTableLinks(rep);
    // As with links, the model's notice drops the box.
    const int inModel = FDBStruct ? FDBStruct->IndexOfTable(rep->DSTable()) : -1;
    if (inModel >= 0)
        FDBStruct->DelTable(inModel);
    else
        deleteBox(FTablesRep.IndexOf(rep));
}

void TVxStructDesignPanel::DeleteActiveTable()
{
    if (FActiveTable)
        DeleteTable(FTablesRep.IndexOf(FActiveTable));
}

void TVxStructDesignPanel::ModelEntitiesRemoving(TVxCustomDBStructure*, const TModelRemoval& removal)
{
    if (FNewDSLink && (removal.Tables.contains(FNewDSLink->Table1()) || removal.Tables.contains(FNewDSLink->Table2())))
        CancelAddLink();
    for (int i = FLinksRep.Count() - 1; i >= 0; --i) {
        const TLinkRep* line = FLinksRep[i];
        if (removal.Links.contains(line->DSLink()) || removal.Tables.contains(line->TableRep1()->DSTable())
            || removal.Tables.contains(line->TableRep2()->DSTable()))
            deleteLine(i);
    }
    for (int i = FTablesRep.Count() - 1; i >= 0; --i)
        if (removal.Tables.contains(FTablesRep[i]->DSTable()))
            deleteBox(i);
}

void TVxStructDesignPanel::ModelEntitiesUpdated(TVxCustomDBStructure*)
{
    // Boxes show names and columns, lines the pairs. They are made again
    // once the model's operation is over, from the event loop, where a
    // database info that fails to list columns is shown to the user.
    if (FActive)
        QMetaObject::invokeMethod(this, [this] { Guarded([this] { rebuild(); }); }, Qt::QueuedConnection);
}

void TVxStructDesignPanel::makeReps()
{
    CreateTableList();
    if (!FDesignPositionsDefined)
        ArrangeTables();
    CreateLinkList();
}

void TVxStructDesignPanel::rebuild()
{
    if (!FActive || !FDBStruct)
        return;
    if (FAddLinkStage != alsIdle)
        CancelAddLink();
    const TDSTable* table = FActiveTable ? FActiveTable->DSTable() : nullptr;
    const TDSLink* link = FActiveLink ? FActiveLink->DSLink() : nullptr;
    Clear();
    try {
        makeReps();
    } catch (...) {
        Deactivate();
        throw;
    }
    FDesignArea->UpdateExtent();
    ViewChanged();
    if (TTableRep* rep = FindTblRepByDSTable(table))
        SetActiveTable(rep);
    else if (!FTablesRep.IsEmpty())
        SetActiveTable(FTablesRep[0]);
    if (TLinkRep* line = FindLinkRepByDSLink(link))
        SetActiveLink(line);
    else if (!FLinksRep.IsEmpty())
        SetActiveLink(FLinksRep[0]);
}

void TVxStructDesignPanel::ModelDestroying(TVxCustomDBStructure*)
{
    // The model forgets its listeners itself.
    const QScopedValueRollback modelGoing(FModelGoing, true);
    if (FAddLinkStage != alsIdle)
        CancelAddLink();
    Deactivate();
    FDBStruct = nullptr;
}

// --- the link editor

bool TVxStructDesignPanel::EditLink(TLinkRep* rep)
{
    if (!rep || !rep->DSLink())
        return false;
    TDSLink* link = rep->DSLink();
    TdlgLinkEditor dialog(this);
    dialog.Load(*link);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    // The dialog ran an event loop: the model may have freed the link, and
    // the panel its line, meanwhile.
    const bool drawn = link == FNewDSLink.get();
    const bool inModel = FDBStruct && FDBStruct->IndexOfLink(link) >= 0;
    if (!confirmed || (!drawn && !inModel))
        return false;
    dialog.Save(*link);
    if (inModel)
        FDBStruct->Changed();
    if (FLinksRep.IndexOf(rep) >= 0 || rep == FNewLink.get())
        recalcLine(rep);
    return true;
}

void TVxStructDesignPanel::EditActiveLink()
{
    EditLink(FActiveLink);
}

// --- drawing a link

void TVxStructDesignPanel::StartAddLink()
{
    if (FAddLinkStage != alsIdle || !FActive)
        return;
    if (OnAddLinkStart)
        OnAddLinkStart(this);
    FAddLinkStage = alsSelField1;
    FNewLink = std::make_unique<TLinkRep>(nullptr, nullptr, nullptr);
    for (const auto& rep : FTablesRep) {
        if (rep->FieldsList())
            rep->FieldsList()->viewport()->setCursor(Qt::PointingHandCursor);
        rep->OnClickInside = [this](TTableRep* box) { clickInside(box); };
    }
    showHint(QStringLiteral("AddLinkStage1Hint"));
}

void TVxStructDesignPanel::clickInside(TTableRep* rep)
{
    if (FAddLinkStage == alsSelField1)
        firstClick(rep);
    else if (FAddLinkStage == alsSelField2)
        secondClick(rep);
}

void TVxStructDesignPanel::firstClick(TTableRep* rep)
{
    FNewDSLink = std::make_unique<TDSLink>(FDBStruct);
    FNewDSLink->SetTable1(rep->DSTable());
    FNewDSLink->SetTable2(rep->DSTable());
    const QString column = connected() ? rep->SelectedField() : QString();
    TStringList fields1;
    TStringList fields2;
    fields1.Add(column.isEmpty() ? QStringLiteral("Field1") : QStringLiteral("fld:") + column);
    fields2.Add(column.isEmpty() ? QStringLiteral("Field2") : QStringLiteral("fld:") + column);
    FNewDSLink->SetFields1(fields1);
    FNewDSLink->SetFields2(fields2);
    FNewLink->SetDSLink(FNewDSLink.get());
    FNewLink->SetTableRep1(rep);
    FNewLink->SetLooseEnd(FDesignArea->Surface()->mapFromGlobal(QCursor::pos()));
    FNewLink->RecalcPositions();
    repaintLine(FNewLink.get());
    FAddLinkStage = alsSelField2;
    showHint(QStringLiteral("AddLinkStage2Hint"));
}

void TVxStructDesignPanel::secondClick(TTableRep* rep)
{
    FNewDSLink->SetTable2(rep->DSTable());
    const bool isConnected = connected();
    const QString column = isConnected ? rep->SelectedField() : QString();
    if (!column.isEmpty()) {
        TStringList fields2 = FNewDSLink->Fields2();
        fields2.SetString(0, QStringLiteral("fld:") + column);
        FNewDSLink->SetFields2(fields2);
    }
    if (!isConnected) {
        FNewDSLink->SetFields1(TStringList());
        FNewDSLink->SetFields2(TStringList());
    }
    repaintLine(FNewLink.get());
    FNewLink->SetTableRep2(rep);
    FNewLink->RecalcPositions();
    repaintLine(FNewLink.get());
    // The editor runs its own event loop; the drawing may be cancelled
    // meanwhile (the model removing a table).
    const bool confirmed = EditLink(FNewLink.get());
    if (!FNewLink || !FNewDSLink)
        return;
    if (!confirmed) {
        CancelAddLink();
        return;
    }
    TLinkRep* line = FNewLink.get();
    FLinksRep.Add(std::move(FNewLink));
    FDBStruct->AddLinkByRef(std::move(FNewDSLink));
    SetActiveLink(line);
    finishAddLink(line);
}

void TVxStructDesignPanel::CancelAddLink()
{
    if (FNewLink)
        repaintLine(FNewLink.get());
    FNewLink.reset();
    FNewDSLink.reset();
    FinishAddLink();
}

void TVxStructDesignPanel::FinishAddLink()
{
    finishAddLink(FNewLink.get());
}

void TVxStructDesignPanel::finishAddLink(TLinkRep* line)
{
    for (const auto& rep : FTablesRep) {
        if (rep->FieldsList())
            rep->FieldsList()->viewport()->unsetCursor();
        rep->OnClickInside = nullptr;
    }
    if (OnAddLinkFinish && tellsHost())
        OnAddLinkFinish(this, line);
    FNewLink.reset();
    FNewDSLink.reset();
    FAddLinkStage = alsIdle;
    showHint(QStringLiteral("IdleHint"));
}

// --- hints, keys, full screen

void TVxStructDesignPanel::SetActionHints(const TStringList& hints)
{
    FActionHints = hints;
    showHint(FAddLinkStage == alsSelField1   ? QStringLiteral("AddLinkStage1Hint")
             : FAddLinkStage == alsSelField2 ? QStringLiteral("AddLinkStage2Hint")
                                             : QStringLiteral("IdleHint"));
}

void TVxStructDesignPanel::SetShowActionHints(bool show)
{
    FShowActionHints = show;
    FStaticText->setVisible(show);
}

void TVxStructDesignPanel::showHint(const QString& name)
{
    if (FDestroying || !FShowActionHints)
        return;
    const QString text = FActionHints.Values(name);
    if (FStaticText->text() != text)
        FStaticText->setText(text);
}

void TVxStructDesignPanel::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if (OnKeyPress && !text.isEmpty()) {
        QChar key = text[0];
        Guarded([&] { OnKeyPress(this, key); });
        if (key.isNull())
            return;
    }
    if (event->key() == Qt::Key_Escape && FAddLinkStage != alsIdle) {
        Guarded([this] { CancelAddLink(); });
        return;
    }
    QFrame::keyPressEvent(event);
}

void TVxStructDesignPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    placeMaxPanel();
}

void TVxStructDesignPanel::placeMaxPanel()
{
    // Inside the top right corner, clear of the area's vertical scroll bar.
    int right = width();
    if (FDesignArea && FDesignArea->verticalScrollBar()->isVisible())
        right -= FDesignArea->verticalScrollBar()->width();
    FMaxPanel->move(qMax(0, right - FMaxPanel->width() - 2), 2);
}

void TVxStructDesignPanel::SetShowFullScreenButton(bool show)
{
    FShowFullScreenButton = show;
    FMaxPanel->setVisible(show && FActive);
}

void TVxStructDesignPanel::SetDiagramColours(const TDiagramColours& colours)
{
    if (colours == FDiagramColours)
        return;
    FDiagramColours = colours;
    for (const auto& rep : FTablesRep)
        if (rep->TitleBar())
            rep->TitleBar()->update();
    if (FDesignArea)
        FDesignArea->Surface()->update();
}

void TVxStructDesignPanel::updateMaxButton()
{
    const QColor ink = palette().color(QPalette::ButtonText);
    FMaxButton->setIcon(maxButtonIcon(FFullScreenMode, ink, palette().color(QPalette::Button)));
    FMaxButton->setToolTip(FFullScreenMode ? tr("Restore") : LoadResString(_SFullScreenMode));
    FMaxButton->setAccessibleName(FMaxButton->toolTip());
}

void TVxStructDesignPanel::SetFullScreenMode(bool on)
{
    if (on == FFullScreenMode)
        return;
    if (on) {
        FOldParent = parentWidget();
        FOldGeometry = geometry();
        FOldLayoutIndex = FOldParent && FOldParent->layout() ? FOldParent->layout()->indexOf(this) : -1;
        // The owner no longer holds the panel as its child, yet its end is still the panel's.
        if (FOldParent)
            FOwnerGone = connect(FOldParent, &QObject::destroyed, this, [this] { delete this; });
        FMaxForm.reset(new MaxForm([this] { SetFullScreenMode(false); }));
        FMaxForm->setWindowTitle(tr("Design panel full screen mode "));
        auto* layout = new QVBoxLayout(FMaxForm.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(this);
        const QScreen* screen = FOldParent ? FOldParent->screen() : QGuiApplication::primaryScreen();
        FMaxForm->setGeometry(screen->geometry());
        FFullScreenMode = true;
        show();
        FMaxForm->show();
    } else {
        FFullScreenMode = false;
        disconnect(FOwnerGone);
        setParent(FOldParent);
        if (FOldParent && FOldParent->layout()) {
            if (auto* box = qobject_cast<QBoxLayout*>(FOldParent->layout()); box && FOldLayoutIndex >= 0)
                box->insertWidget(FOldLayoutIndex, this);
            else
                FOldParent->layout()->addWidget(this);
        } else {
            setGeometry(FOldGeometry);
        }
        show();
        FMaxForm.reset();
        FOldParent = nullptr;
    }
    updateMaxButton();
    placeMaxPanel();
}

} // namespace brindle
