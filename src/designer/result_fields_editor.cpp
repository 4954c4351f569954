#include <brindle/designer/result_fields_editor.h>

#include <brindle/foundations/errors.h>
#include <brindle/foundations/sections.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/fields_tree.h>
#include <brindle/panels/interaction.h>
#include <brindle/panels/type_filter.h>
#include <brindle/query/query.h>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

namespace brindle {

namespace {

enum class Glyph { New, Delete, Sort, Up, Down };

// The grids' buttons show small drawn glyphs: every platform draws them
// alike, where the style's icons may be missing.
QIcon glyphIcon(Glyph glyph, const QColor& colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 2));
    painter.setBrush(colour);
    switch (glyph) {
    case Glyph::New:
        painter.drawLine(8, 3, 8, 13);
        painter.drawLine(3, 8, 13, 8);
        break;
    case Glyph::Delete:
        painter.drawLine(4, 4, 12, 12);
        painter.drawLine(12, 4, 4, 12);
        break;
    case Glyph::Sort:
        for (int bar = 0; bar < 3; ++bar)
            painter.drawLine(3, 4 + 4 * bar, 13 - 3 * bar, 4 + 4 * bar);
        break;
    case Glyph::Up:
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(QPolygonF({{8, 4}, {13, 11}, {3, 11}}));
        break;
    case Glyph::Down:
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(QPolygonF({{3, 5}, {13, 5}, {8, 12}}));
        break;
    }
    return QIcon(pixmap);
}

// A caption as drawn: "&&" is one ampersand, a single one marks the accelerator.
QString withoutAccelerator(const QString& caption)
{
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        else if (caption[i] == u'&')
            continue;
        shown += caption[i];
    }
    return shown;
}

QAction* actionByTag(const QMenu* menu, int tag)
{
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && action->data().toInt() == tag)
            return action;
    return nullptr;
}

void addItem(QMenu* menu, int tag, const QString& text = {})
{
    menu->addAction(text)->setData(tag);
}

// Separators carry a tag no item has, so that looking an item up by its tag never finds one.
void addSeparator(QMenu* menu)
{
    menu->addSeparator()->setData(-1);
}

void setUpGrid(QTableWidget* grid)
{
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    grid->setWordWrap(false);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setColumnWidth(0, 32);
    grid->setColumnWidth(1, 150);
}

// The row of the grid's current cell while it is selected; -1 otherwise.
int selectedRow(const QTableWidget* grid)
{
    const int row = grid->currentRow();
    return row >= 0 && grid->selectionModel()->isRowSelected(row, {}) ? row : -1;
}

void setCell(QTableWidget* grid, int row, int column, const QString& text, bool editable)
{
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    item->setText(text);
    item->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                            : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

QToolButton* gridButton(QWidget* parent, Glyph glyph)
{
    auto* button = new QToolButton(parent);
    button->setIcon(glyphIcon(glyph, parent->palette().color(QPalette::ButtonText)));
    button->setAutoRaise(true);
    return button;
}

} // namespace

TdlgRFieldsEditor::TdlgRFieldsEditor(QWidget* parent) : QDialog(parent)
{
    resize(680, 440);
    auto* fieldsPart = new QWidget;
    FFieldsLabel = new QLabel(fieldsPart);
    tvAllFields = new QTreeView(fieldsPart);
    FFieldsModel = new FieldsTreeModel(this);
    tvAllFields->setModel(FFieldsModel);
    tvAllFields->setHeaderHidden(true);
    // Rows of one height let the tree of a large model lay out at once.
    tvAllFields->setUniformRowHeights(true);
    FFieldsLabel->setBuddy(tvAllFields);
    FFieldsFilter = new TTypeFilter(*tvAllFields, [this] { return FFieldsModel->NodeCount(); }, fieldsPart);
    btAddResultField = new QPushButton(fieldsPart);
    btAddResultField->setAutoDefault(false);
    // Add stands above the tree's right edge, so its menu opens over the
    // fields and leaves the grids in sight.
    auto* fieldsHead = new QHBoxLayout;
    fieldsHead->addWidget(FFieldsLabel, 1);
    fieldsHead->addWidget(btAddResultField);
    auto* fieldsColumn = new QVBoxLayout(fieldsPart);
    fieldsColumn->setContentsMargins(0, 0, 0, 0);
    fieldsColumn->addLayout(fieldsHead);
    fieldsColumn->addWidget(FFieldsFilter);
    fieldsColumn->addWidget(tvAllFields, 1);

    const auto gridPart = [](QWidget* part, QLabel* label, QTableWidget* grid, const QList<QToolButton*>& buttons) {
        setUpGrid(grid);
        auto* column = new QVBoxLayout(part);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(label);
        auto* row = new QHBoxLayout;
        row->addWidget(grid, 1);
        auto* buttonColumn = new QVBoxLayout;
        for (QToolButton* button : buttons)
            buttonColumn->addWidget(button);
        buttonColumn->addStretch();
        row->addLayout(buttonColumn);
        column->addLayout(row, 1);
    };
    FResultPart = new QWidget;
    FResultLabel = new QLabel(FResultPart);
    sgRFields = new QTableWidget(0, 3, FResultPart);
    FDeleteButton = gridButton(FResultPart, Glyph::Delete);
    FSortButton = gridButton(FResultPart, Glyph::Sort);
    FNewButton = gridButton(FResultPart, Glyph::New);
    FResultUp = gridButton(FResultPart, Glyph::Up);
    FResultDown = gridButton(FResultPart, Glyph::Down);
    gridPart(FResultPart, FResultLabel, sgRFields, {FDeleteButton, FSortButton, FNewButton, FResultUp, FResultDown});
    FSortPart = new QWidget;
    FSortLabel = new QLabel(FSortPart);
    sgSortOrder = new QTableWidget(0, 3, FSortPart);
    sgSortOrder->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FSortUp = gridButton(FSortPart, Glyph::Up);
    FSortDown = gridButton(FSortPart, Glyph::Down);
    gridPart(FSortPart, FSortLabel, sgSortOrder, {FSortUp, FSortDown});
    for (QToolButton* button : {FResultUp, FSortUp})
        button->setToolTip(tr("Move up"));
    for (QToolButton* button : {FResultDown, FSortDown})
        button->setToolTip(tr("Move down"));
    for (QToolButton* button : {FResultUp, FSortUp, FResultDown, FSortDown})
        button->setAccessibleName(button->toolTip());

    auto* grids = new QSplitter(Qt::Vertical);
    grids->addWidget(FResultPart);
    grids->addWidget(FSortPart);
    grids->setChildrenCollapsible(false);
    auto* sides = new QSplitter(Qt::Horizontal);
    sides->addWidget(fieldsPart);
    sides->addWidget(grids);
    sides->setStretchFactor(1, 1);
    sides->setSizes({250, 390});
    sides->setHandleWidth(8);
    sides->setChildrenCollapsible(false);
    FOkButton = new QPushButton(this);
    FOkButton->setDefault(true);
    FCancelButton = new QPushButton(this);
    FCancelButton->setAutoDefault(false);
    FHelpButton = new QPushButton(this);
    FHelpButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {FOkButton, FCancelButton, FHelpButton})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sides, 1);
    layout->addLayout(buttons);

    pmAddField = new QMenu(this);
    pmAddField->setToolTipsVisible(true);
    addItem(pmAddField, rfaAsIs);
    addItem(pmAddField, rfaJustSorting);
    addSeparator(pmAddField);
    for (auto [tag, text] : {std::pair{rfaSum, "SUM"}, {rfaCount, "COUNT"}, {rfaMin, "MIN"}, {rfaMax, "MAX"},
                             {rfaAverage, "AVERAGE"}, {rfaList, "LIST"}, {rfaCountDistinct, "COUNT DICTINCT"}})
        addItem(pmAddField, tag, QString::fromLatin1(text));
    addSeparator(pmAddField);
    for (auto [tag, text] : {std::pair{rfaAdd, "+"}, {rfaSubtract, "- "}, {rfaMultiply, "*"}, {rfaDivide, "/"}})
        addItem(pmAddField, tag, QString::fromLatin1(text));
    pmResultField = new QMenu(this);
    addItem(pmResultField, rfmNew);
    addSeparator(pmResultField);
    addItem(pmResultField, rfmDelete);
    addItem(pmResultField, rfmSort);
    addSeparator(pmResultField);
    addItem(pmResultField, rfmRemoveAll, tr("Remove all"));
    pmSort = new QMenu(this);
    addItem(pmSort, stNoSort);
    addSeparator(pmSort);
    addItem(pmSort, stAscending);
    addItem(pmSort, stDescending);
    for (QAction* action : pmSort->actions())
        action->setCheckable(!action->isSeparator());

    const auto on = [this](auto* sender, auto signal, auto work) {
        connect(sender, signal, this, [this, work](auto... args) { act([&] { work(args...); }); });
    };
    on(tvAllFields->selectionModel(), &QItemSelectionModel::currentChanged, [this](auto, auto) { updateButtons(); });
    on(tvAllFields, &QTreeView::doubleClicked, [this](const QModelIndex& node) { treeDoubleClick(node); });
    on(FFieldsFilter, &TTypeFilter::filterChanged, [this](const QString& text) { filterTree(text); });
    on(btAddResultField, &QPushButton::clicked, [this](bool) { addButtonClick(); });
    on(pmAddField, &QMenu::triggered, [this](QAction* action) { addMenuClick(action->data().toInt()); });
    on(sgRFields, &QTableWidget::itemSelectionChanged, [this] { updateButtons(); });
    on(sgRFields, &QTableWidget::itemChanged, [this](QTableWidgetItem* item) { resultCellChanged(item); });
    on(sgRFields, &QTableWidget::customContextMenuRequested, [this](const QPoint& at) {
        updateButtons();
        pmResultField->exec(sgRFields->viewport()->mapToGlobal(at));
    });
    on(pmResultField, &QMenu::triggered, [this](QAction* action) { resultMenuClick(action->data().toInt()); });
    on(sgSortOrder, &QTableWidget::itemSelectionChanged, [this] { updateButtons(); });
    on(sgSortOrder, &QTableWidget::customContextMenuRequested, [this](const QPoint& at) {
        updateButtons();
        pmSort->exec(sgSortOrder->viewport()->mapToGlobal(at));
    });
    on(pmSort, &QMenu::triggered,
       [this](QAction* action) { setSortDirection(static_cast<TSortingType>(action->data().toInt())); });
    on(FDeleteButton, &QToolButton::clicked, [this](bool) { deleteResultField(); });
    on(FSortButton, &QToolButton::clicked, [this](bool) { sortResultField(); });
    on(FNewButton, &QToolButton::clicked, [this](bool) { newField(); });
    on(FResultUp, &QToolButton::clicked, [this](bool) { moveResultField(-1); });
    on(FResultDown, &QToolButton::clicked, [this](bool) { moveResultField(1); });
    on(FSortUp, &QToolButton::clicked, [this](bool) { moveSortField(-1); });
    on(FSortDown, &QToolButton::clicked, [this](bool) { moveSortField(1); });
    on(FOkButton, &QPushButton::clicked, [this](bool) { accept(); });
    on(FCancelButton, &QPushButton::clicked, [this](bool) { reject(); });
    on(FHelpButton, &QPushButton::clicked, [this](bool) {
        if (OnHelpClick)
            OnHelpClick();
    });

    ObserveRFields(FRFields, *this, *this);
    SetTitles(nullptr);
    applyOptions();
}

TdlgRFieldsEditor::~TdlgRFieldsEditor()
{
    // The controls outlive the working copy: their last signals must not reach it.
    for (QObject* control : findChildren<QObject*>())
        control->disconnect(this);
    FRFields.disconnect(this);
    if (FDBStructure)
        FDBStructure->RemoveModelListener(this);
}

void TdlgRFieldsEditor::act(const std::function<void()>& work)
{
    ++FChanging;
    Guarded(work);
    --FChanging;
}

void TdlgRFieldsEditor::SetDBStructure(TVxCustomDBStructure* model)
{
    if (model != FDBStructure) {
        if (FDBStructure) {
            FDBStructure->RemoveModelListener(this);
            // The copy's fields are the old model's, which no longer tells
            // the copy when it frees them.
            const QScopedValueRollback changing(FChanging, FChanging + 1);
            FRFields.Clear();
        }
        FDBStructure = model;
        if (model)
            model->AddModelListener(this);
        FRFields.SetDBStruct(model);
    }
    fillTree();
    refresh();
}

void TdlgRFieldsEditor::SetOptions(TRFDOptions options)
{
    if (options.Contains(rfdOnlySorting))
        options.Include(rfdShowSorting);
    FOptions = options;
    applyOptions();
}

void TdlgRFieldsEditor::SetMaxFieldCount(int count)
{
    FMaxFieldCount = qMax(0, count);
    updateButtons();
}

void TdlgRFieldsEditor::SetTitles(const TVxQuery* query)
{
    TStringList defaults;
    XReadSLSectionValues(0, DefaultTitles(), QStringLiteral("Result Fields Editor"), defaults);
    FTitles.clear();
    for (int i = 0; i < defaults.Count(); ++i) {
        const QString name = defaults.Names(i);
        const QString text = query ? query->GetTitle(name) : QString();
        FTitles.insert(name, text.isEmpty() ? defaults.ValueFromIndex(i) : text);
    }
    applyTitles();
}

void TdlgRFieldsEditor::Load(const TRFieldList& list)
{
    {
        const QScopedValueRollback changing(FChanging, FChanging + 1);
        FRFields.SetQuoteAliases(list.QuoteAliases());
        FRFields.SetAsciiAliases(list.AsciiAliases());
        FRFields.Assign(list);
    }
    refresh();
}

void TdlgRFieldsEditor::Save(TRFieldList& list) const
{
    list.Assign(FRFields);
}

// --- the working copy's and the model's notices

void TdlgRFieldsEditor::RFieldInserted(int)
{
    RFieldsReset();
}

// The sort list never holds a field that goes, whoever removes it; a field
// the model takes along leaves the grids once the model's operation ends.
void TdlgRFieldsEditor::RFieldAboutToBeRemoved(int index)
{
    FSortFields.removeAll(FRFields.GetRField(index));
}

void TdlgRFieldsEditor::RFieldMoved(int, int)
{
    RFieldsReset();
}

void TdlgRFieldsEditor::RFieldChanged(int)
{
    RFieldsReset();
}

void TdlgRFieldsEditor::RFieldsAboutToBeReset()
{
    FSortFields.clear();
}

void TdlgRFieldsEditor::RFieldsReset()
{
    if (FChanging == 0)
        refresh();
}

void TdlgRFieldsEditor::ModelEntitiesRemoving(TVxCustomDBStructure*, const TModelRemoval& removal)
{
    // The tree's nodes point at the fields that go: it is empty until the
    // operation ends.
    if (!removal.Fields.isEmpty()) {
        FTreeStale = true;
        FFieldsModel->Fill(nullptr, true, false);
    }
}

void TdlgRFieldsEditor::ModelEntitiesUpdated(TVxCustomDBStructure*)
{
    // Kept fields may have new names and groups; the operation's end
    // fills the tree again.
    FTreeStale = true;
}

void TdlgRFieldsEditor::ModelEntitiesRemoved(TVxCustomDBStructure*)
{
    if (FTreeStale)
        fillTree();
    refresh();
}

void TdlgRFieldsEditor::ModelDestroying(TVxCustomDBStructure*)
{
    FDBStructure = nullptr;
    FFieldsModel->Fill(nullptr, true, false);
    updateButtons();
}

// --- showing

QString TdlgRFieldsEditor::title(const QString& name) const
{
    return FTitles.value(name);
}

void TdlgRFieldsEditor::applyTitles()
{
    setWindowTitle(title(QStringLiteral("ttlRFETitle")));
    FFieldsLabel->setText(title(QStringLiteral("ttlFields")));
    FResultLabel->setText(title(QStringLiteral("ttlResFields")));
    FSortLabel->setText(title(QStringLiteral("ttlSortCaption")));
    const QString add = title(QStringLiteral("ttlAddBtnCaption"));
    btAddResultField->setText(add);
    btAddResultField->setToolTip(title(QStringLiteral("ttlAddBtnHint")));
    btAddResultField->setFixedWidth(btAddResultField->fontMetrics().horizontalAdvance(withoutAccelerator(add)) + 28);
    // The grids start level with the tree, below the Add button's row.
    for (QLabel* label : {FResultLabel, FSortLabel})
        label->setMinimumHeight(btAddResultField->sizeHint().height());
    sgRFields->setHorizontalHeaderLabels(
        {QString(), title(QStringLiteral("ttlFieldNmColName")), title(QStringLiteral("ttlFieldExprColName"))});
    sgSortOrder->setHorizontalHeaderLabels(
        {QString(), title(QStringLiteral("ttlFieldNmColName")), title(QStringLiteral("ttlSortingColName"))});
    for (auto [button, name] : {std::pair{FDeleteButton, "ttlDelFldHint"}, {FSortButton, "ttlSortRFldHint"},
                                {FNewButton, "ttlNewFldHint"}}) {
        button->setToolTip(title(QString::fromLatin1(name)));
        button->setAccessibleName(button->toolTip());
    }
    FOkButton->setText(title(QStringLiteral("ttlOkBtnCaption")));
    FCancelButton->setText(title(QStringLiteral("ttlCancelBtnCaption")));
    FHelpButton->setText(title(QStringLiteral("ttlHelpBtnCaption")));
    actionByTag(pmAddField, rfaAsIs)->setText(title(QStringLiteral("ttlAsIs")));
    actionByTag(pmAddField, rfaAsIs)->setToolTip(title(QStringLiteral("ttlMakeFldHint")));
    actionByTag(pmAddField, rfaJustSorting)->setText(title(QStringLiteral("ttlJustSorting")));
    for (auto [tag, name] : {std::pair{rfaAdd, "ttlAddRFldHint"}, {rfaSubtract, "ttlSubRFldHint"},
                             {rfaMultiply, "ttlMulRFldHint"}, {rfaDivide, "ttlDivRFldHint"}})
        actionByTag(pmAddField, tag)->setToolTip(title(QString::fromLatin1(name)));
    for (auto [tag, name] : {std::pair{rfmNew, "ttlNewFldHint"}, {rfmDelete, "ttlDelFldHint"},
                             {rfmSort, "ttlSortRFldHint"}})
        actionByTag(pmResultField, tag)->setText(title(QString::fromLatin1(name)));
    for (auto [tag, name] : {std::pair{stNoSort, "ttlNotSorted"}, {stAscending, "ttlAscending"},
                             {stDescending, "ttlDescending"}})
        actionByTag(pmSort, tag)->setText(title(QString::fromLatin1(name)));
    fillSortGrid();
}

void TdlgRFieldsEditor::applyOptions()
{
    const bool sorting = FOptions.Contains(rfdShowSorting);
    FSortPart->setVisible(sorting);
    FSortButton->setVisible(sorting);
    FResultPart->setVisible(!FOptions.Contains(rfdOnlySorting));
    fillResultGrid();
    updateButtons();
}

void TdlgRFieldsEditor::fillTree()
{
    FTreeStale = false;
    FFieldsModel->Fill(FDBStructure, true, FDBStructure && FDBStructure->RootFieldsFirst());
    showTree(nullptr);
}

void TdlgRFieldsEditor::filterTree(const QString& text)
{
    const TDSField* was = selectedTreeField();
    if (FFieldsModel->SetFilter(text))
        showTree(was);
}

void TdlgRFieldsEditor::showTree(const TDSField* current)
{
    const bool filtered = FFieldsModel->Filtered();
    // A filtered tree shows every match; the whole tree shows the current
    // field's group open.
    if (filtered)
        tvAllFields->expandAll();
    QModelIndex node = FFieldsModel->IndexOf(current);
    if (!node.isValid())
        node = filtered ? FFieldsModel->FirstField() : FFieldsModel->index(0, 0);
    tvAllFields->setCurrentIndex(node);
    if (node.isValid())
        tvAllFields->scrollTo(node);
    updateButtons();
}

void TdlgRFieldsEditor::refresh()
{
    collectSortFields();
    fillGrids();
    updateButtons();
}

void TdlgRFieldsEditor::fillGrids()
{
    fillResultGrid();
    fillSortGrid();
}

// A list that only sorts shows no result columns.
void TdlgRFieldsEditor::fillResultGrid()
{
    const QSignalBlocker quiet(sgRFields);
    const int rows = FRFields.JustSorting() ? 0 : FRFields.Count();
    sgRFields->setRowCount(rows);
    for (int row = 0; row < rows; ++row)
        showResultRow(row);
}

void TdlgRFieldsEditor::showResultRow(int row)
{
    if (row < 0 || row >= sgRFields->rowCount())
        return;
    const QSignalBlocker quiet(sgRFields);
    const TResultField* field = FRFields.GetRField(row);
    setCell(sgRFields, row, 0, QString::number(row + 1), false);
    setCell(sgRFields, row, 1, field->Caption(), true);
    setCell(sgRFields, row, 2, u'=' + field->GetExpression(), !FOptions.Contains(rfdDisableExpressions));
}

void TdlgRFieldsEditor::fillSortGrid()
{
    sgSortOrder->setRowCount(static_cast<int>(FSortFields.size()));
    for (int position = 0; position < FSortFields.size(); ++position)
        showSortRow(position);
}

void TdlgRFieldsEditor::showSortRow(int position)
{
    if (position < 0 || position >= FSortFields.size())
        return;
    const TResultField* field = FSortFields[position];
    setCell(sgSortOrder, position, 0, QString::number(position + 1), false);
    setCell(sgSortOrder, position, 1, field->Caption(), false);
    setCell(sgSortOrder, position, 2,
            title(field->Sorting() == stDescending ? QStringLiteral("ttlDescending") : QStringLiteral("ttlAscending")),
            false);
}

// Equal sort orders keep the list's order, as they do in the statement.
void TdlgRFieldsEditor::collectSortFields()
{
    FSortFields.clear();
    for (const auto& field : FRFields)
        if (field->Sorting() != stNoSort)
            FSortFields.append(field.get());
    std::stable_sort(FSortFields.begin(), FSortFields.end(),
                     [](const TResultField* a, const TResultField* b) { return a->SortOrder() < b->SortOrder(); });
    renumberSortOrders();
}

void TdlgRFieldsEditor::renumberSortOrders()
{
    for (int position = 0; position < FSortFields.size(); ++position)
        FSortFields[position]->SetSortOrder(position + 1);
}

void TdlgRFieldsEditor::selectResultRow(int row)
{
    if (row >= 0 && row < sgRFields->rowCount())
        sgRFields->setCurrentCell(row, 1);
    else
        sgRFields->clearSelection();
}

void TdlgRFieldsEditor::selectSortRow(int position)
{
    if (position >= 0 && position < sgSortOrder->rowCount())
        sgSortOrder->setCurrentCell(position, 1);
    else
        sgSortOrder->clearSelection();
}

TDSField* TdlgRFieldsEditor::selectedTreeField() const
{
    return FTreeStale ? nullptr : FFieldsModel->Field(tvAllFields->currentIndex());
}

TResultField* TdlgRFieldsEditor::selectedResultField() const
{
    const int row = selectedRow(sgRFields);
    return row >= 0 && row < FRFields.Count() ? FRFields.GetRField(row) : nullptr;
}

int TdlgRFieldsEditor::selectedSortPosition() const
{
    const int position = selectedRow(sgSortOrder);
    return position < FSortFields.size() ? position : -1;
}

bool TdlgRFieldsEditor::canAdd() const
{
    return FMaxFieldCount < 2 || FRFields.Count() < FMaxFieldCount;
}

// "just sorting" would hide columns the list already selects, so it is
// offered only while the list selects none.
bool TdlgRFieldsEditor::offersJustSorting() const
{
    return FRFields.JustSorting() || FRFields.Count() == 0 || FMaxFieldCount == 1;
}

void TdlgRFieldsEditor::updateButtons()
{
    const bool adding = canAdd();
    const bool sorting = FOptions.Contains(rfdShowSorting);
    const bool onlySorting = FOptions.Contains(rfdOnlySorting);
    const TResultField* result = selectedResultField();
    const bool unsorted = result && result->Sorting() == stNoSort;
    btAddResultField->setEnabled(selectedTreeField() && (adding || (result && !onlySorting)));
    FNewButton->setEnabled(adding);
    FDeleteButton->setEnabled(result);
    FSortButton->setEnabled(unsorted);
    const int row = selectedRow(sgRFields);
    FResultUp->setEnabled(row > 0);
    FResultDown->setEnabled(row >= 0 && row + 1 < sgRFields->rowCount());
    const int position = selectedSortPosition();
    FSortUp->setEnabled(position > 0);
    FSortDown->setEnabled(position >= 0 && position + 1 < FSortFields.size());

    for (QAction* action : pmAddField->actions()) {
        const int tag = action->data().toInt();
        action->setEnabled(tag >= rfaAdd && tag <= rfaDivide ? result != nullptr : adding);
    }
    actionByTag(pmAddField, rfaJustSorting)->setVisible(sorting);
    actionByTag(pmAddField, rfaJustSorting)->setEnabled(adding && offersJustSorting());
    actionByTag(pmAddField, rfaList)->setVisible(FOptions.Contains(rfdListFunc));
    actionByTag(pmAddField, rfaCountDistinct)->setVisible(FOptions.Contains(rfdCountDistinctFunc));

    actionByTag(pmResultField, rfmNew)->setEnabled(adding);
    actionByTag(pmResultField, rfmDelete)->setEnabled(result);
    actionByTag(pmResultField, rfmSort)->setVisible(sorting);
    actionByTag(pmResultField, rfmSort)->setEnabled(unsorted);
    actionByTag(pmResultField, rfmRemoveAll)->setEnabled(FRFields.Count() > 0);
    const TSortingType current = position >= 0 ? FSortFields[position]->Sorting() : stNoSort;
    for (QAction* action : pmSort->actions()) {
        action->setEnabled(position >= 0);
        action->setChecked(position >= 0 && action->data().toInt() == current);
    }
}

// --- what the user does

void TdlgRFieldsEditor::addButtonClick()
{
    TDSField* field = selectedTreeField();
    if (!field)
        return;
    if (FOptions.Contains(rfdOnlySorting)) {
        addForSorting(field);
        return;
    }
    updateButtons();
    const int left = btAddResultField->width() - pmAddField->sizeHint().width();
    pmAddField->exec(btAddResultField->mapToGlobal(QPoint(left, btAddResultField->height())));
}

void TdlgRFieldsEditor::addMenuClick(int tag)
{
    TDSField* field = selectedTreeField();
    const auto aggregate = [this](const char* name) {
        return QStringLiteral("@f ") + title(QString::fromLatin1(name));
    };
    switch (tag) {
    case rfaAsIs:
        return addField(QStringLiteral("@1"), QStringLiteral("@f"), field);
    case rfaJustSorting:
        return addForSorting(field);
    case rfaSum:
        return addField(QStringLiteral("SUM(@1)"), aggregate("ttlSUMCaption"), field);
    case rfaCount:
        return addField(QStringLiteral("COUNT(@1)"), aggregate("ttlCOUNTCaption"), field);
    case rfaMin:
        return addField(QStringLiteral("MIN(@1)"), aggregate("ttlMINCaption"), field);
    case rfaMax:
        return addField(QStringLiteral("MAX(@1)"), aggregate("ttlMAXCaption"), field);
    case rfaAverage:
        return addField(QStringLiteral("AVG(@1)"), aggregate("ttlAVERAGECaption"), field);
    case rfaList:
        return addField(QStringLiteral("LIST(@1)"), aggregate("ttlLISTCaption"), field);
    case rfaCountDistinct:
        return addField(QStringLiteral("COUNT(DISTINCT @1)"), QStringLiteral("@f ") + tr("Distinct Count") + u' ',
                        field);
    case rfaAdd:
        return extendFormula(QStringLiteral("+"), field);
    case rfaSubtract:
        return extendFormula(QStringLiteral("-"), field);
    case rfaMultiply:
        return extendFormula(QStringLiteral("*"), field);
    case rfaDivide:
        return extendFormula(QStringLiteral("/"), field);
    }
}

void TdlgRFieldsEditor::treeDoubleClick(const QModelIndex& node)
{
    TDSField* field = FTreeStale ? nullptr : FFieldsModel->Field(node);
    if (FOptions.Contains(rfdOnlySorting))
        addForSorting(field);
    else
        addField(QStringLiteral("@1"), QStringLiteral("@f"), field);
}

void TdlgRFieldsEditor::addField(const QString& formula, const QString& captionPattern, TDSField* field)
{
    if (!field || !canAdd())
        return;
    makeRoom();
    // Add ends a just-sorting state: the grid below shows every column again.
    FRFields.Add(formula, {field},
                 FRFields.GetUniqCaption(QString(captionPattern).replace(QStringLiteral("@f"), field->DisplayName())));
    fillGrids();
    selectResultRow(FRFields.Count() - 1);
    updateButtons();
}

void TdlgRFieldsEditor::addForSorting(TDSField* field)
{
    if (!field || !canAdd())
        return;
    const bool onlySorting = offersJustSorting();
    makeRoom();
    FRFields.Add(QStringLiteral("@1"), {field}, FRFields.GetUniqCaption(field->DisplayName()));
    FRFields.SetJustSorting(onlySorting);
    TResultField* added = FRFields.GetRField(FRFields.Count() - 1);
    added->SetSorting(stAscending);
    FSortFields.append(added);
    renumberSortOrders();
    fillGrids();
    selectResultRow(FRFields.Count() - 1);
    selectSortRow(static_cast<int>(FSortFields.size()) - 1);
    updateButtons();
}

// A dialog for exactly one field replaces it at every addition.
void TdlgRFieldsEditor::makeRoom()
{
    if (FMaxFieldCount == 1) {
        FSortFields.clear();
        FRFields.Clear();
    }
}

void TdlgRFieldsEditor::newField()
{
    if (!canAdd())
        return;
    makeRoom();
    FRFields.Add(QString(), {}, FRFields.GetUniqCaption(QStringLiteral("NewField")));
    fillGrids();
    selectResultRow(FRFields.Count() - 1);
    updateButtons();
}

void TdlgRFieldsEditor::extendFormula(const QString& op, TDSField* field)
{
    TResultField* target = selectedResultField();
    if (!target || !field)
        return;
    target->DSFields().Add(field);
    const QString placeholder = u'@' + QString::number(target->DSFields().Count());
    // A field made with "new" has no formula to extend.
    target->SetFormula(target->Formula().isEmpty() ? placeholder
                                                   : target->Formula() + u' ' + op + u' ' + placeholder);
    showResultRow(FRFields.IndexOf(target));
    showSortRow(static_cast<int>(FSortFields.indexOf(target)));
}

// The expression cell shows the formula with the fields' names in braces
// and is read back the same way, from a field list made anew.
void TdlgRFieldsEditor::resultCellChanged(QTableWidgetItem* item)
{
    const int row = item->row();
    if (row < 0 || row >= FRFields.Count())
        return;
    TResultField* field = FRFields.GetRField(row);
    if (item->column() == 1) {
        field->SetCaption(item->text());
    } else if (item->column() == 2) {
        QString expression = item->text();
        if (expression.startsWith(u'='))
            expression.remove(0, 1);
        field->DSFields().Clear();
        field->ProcessExpression(expression);
    }
    showResultRow(row);
    showSortRow(static_cast<int>(FSortFields.indexOf(field)));
}

void TdlgRFieldsEditor::sortResultField()
{
    TResultField* field = selectedResultField();
    if (!field || field->Sorting() != stNoSort)
        return;
    field->SetSorting(stAscending);
    FSortFields.append(field);
    renumberSortOrders();
    fillSortGrid();
    selectSortRow(static_cast<int>(FSortFields.size()) - 1);
    updateButtons();
}

void TdlgRFieldsEditor::setSortDirection(TSortingType sorting)
{
    const int position = selectedSortPosition();
    if (position < 0)
        return;
    TResultField* field = FSortFields[position];
    field->SetSorting(sorting);
    if (sorting != stNoSort) {
        showSortRow(position);
        updateButtons();
        return;
    }
    field->SetSortOrder(0);
    FSortFields.removeAt(position);
    renumberSortOrders();
    // In a list that only sorts, a field no longer sorted has no purpose.
    if (FRFields.JustSorting()) {
        FRFields.Delete(FRFields.IndexOf(field));
        fillResultGrid();
    }
    fillSortGrid();
    selectSortRow(qMin(position, static_cast<int>(FSortFields.size()) - 1));
    updateButtons();
}

void TdlgRFieldsEditor::moveResultField(int step)
{
    const int row = selectedRow(sgRFields);
    const int to = row + step;
    if (row < 0 || to < 0 || to >= sgRFields->rowCount())
        return;
    FRFields.Move(row, to);
    showResultRow(row);
    showResultRow(to);
    selectResultRow(to);
    updateButtons();
}

void TdlgRFieldsEditor::moveSortField(int step)
{
    const int position = selectedSortPosition();
    const int to = position + step;
    if (position < 0 || to < 0 || to >= FSortFields.size())
        return;
    FSortFields.swapItemsAt(position, to);
    renumberSortOrders();
    showSortRow(position);
    showSortRow(to);
    selectSortRow(to);
    updateButtons();
}

void TdlgRFieldsEditor::deleteResultField()
{
    const int row = selectedRow(sgRFields);
    if (row < 0 || row >= FRFields.Count())
        return;
    TResultField* field = FRFields.GetRField(row);
    // Only a modal dialog asks: a modeless one may have no one to answer.
    if (isModal()) {
        if (!Ask(Format(title(QStringLiteral("ttlMgsDeleteField")), {field->Caption()})))
            return;
        // The model may have taken fields along while the question was open.
        if (row >= FRFields.Count() || FRFields.GetRField(row) != field)
            return;
    }
    if (FSortFields.removeAll(field) > 0)
        renumberSortOrders();
    FRFields.Delete(row);
    fillGrids();
    selectResultRow(qMin(row, FRFields.Count() - 1));
    updateButtons();
}

void TdlgRFieldsEditor::removeAll()
{
    if (!Ask(tr("Are you sure?")))
        return;
    FSortFields.clear();
    FRFields.Clear();
    fillGrids();
    updateButtons();
}

void TdlgRFieldsEditor::resultMenuClick(int tag)
{
    switch (tag) {
    case rfmNew:
        return newField();
    case rfmDelete:
        return deleteResultField();
    case rfmSort:
        return sortResultField();
    case rfmRemoveAll:
        return removeAll();
    }
}

} // namespace brindle
