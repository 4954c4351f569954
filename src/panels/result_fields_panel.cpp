#include <brindle/panels/result_fields_panel.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/drop_down_list.h>
#include <brindle/panels/drop_down_list_box.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/titles_editor.h>
#include <brindle/panels/word_labels.h>
#include <brindle/query/titles.h>

#include <QKeyEvent>
#include <QMenu>
#include <QCoreApplication>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>

#include <algorithm>

namespace brindle {

namespace {

enum RowMenuTag { tagDelete = 2, tagMoveUp = 3, tagMoveDown = 4 };

// The titles a panel starts with, in the language Brindle speaks when the
// panel is made.
TStringList defaultTitles()
{
    static constexpr std::pair<const char*, const char*> titles[] = {
        {"ttlDelField", QT_TRANSLATE_NOOP("brindle::TVxResultFieldsPanel", "Delete current field")},
        {"ttlMoveUp", QT_TRANSLATE_NOOP("brindle::TVxResultFieldsPanel", "Move Up")},
        {"ttlMoveDown", QT_TRANSLATE_NOOP("brindle::TVxResultFieldsPanel", "Move Down")},
        {"ttlNotSorted", QT_TRANSLATE_NOOP("brindle::TVxResultFieldsPanel", "Not Sorted")},
        {"ttlAscending", QT_TRANSLATE_NOOP("brindle::TVxResultFieldsPanel", "Ascending")},
        {"ttlDescending", QT_TRANSLATE_NOOP("brindle::TVxResultFieldsPanel", "Descending")},
        {"ttlClickToAdd", QT_TRANSLATE_NOOP("brindle::TVxResultFieldsPanel", "Click to add new field")}};
    TStringList lines;
    for (const auto& [key, text] : titles)
        lines.Add(QString::fromLatin1(key) + u'=' + QCoreApplication::translate("brindle::TVxResultFieldsPanel", text));
    return lines;
}

// The words show in the panel's font, underlined, in their colour.
void styleWord(TDropDownLabel& label, const QFont& font, const QColor& colour)
{
    QFont underlined = font;
    underlined.setUnderline(true);
    label.setFont(underlined);
    QPalette colours = label.palette();
    colours.setColor(QPalette::WindowText, colour);
    label.setPalette(colours);
}

// A word the keys can select: one that opens an editor.
bool opens(const TDropDownLabel* label)
{
    return label && label->Word().Editor() != weNone;
}

std::size_t roleSlot(TWordRole role)
{
    return static_cast<std::size_t>(std::find(std::begin(ResultFieldOrder), std::end(ResultFieldOrder), role)
                                    - std::begin(ResultFieldOrder));
}

// The words may be gone already (a bound query's list goes before its
// query tells): the label forgets its word unseen, and a label still in its
// own event reaches the row no more.
void letGo(LaterOwned<TDropDownLabel>& label)
{
    if (!label)
        return;
    label->ForgetWord();
    QObject::disconnect(label.get(), nullptr, label.get(), nullptr);
    label.reset();
}

} // namespace

// --- rows

TResultFieldRow::TResultFieldRow(TVxResultFieldsPanel& panel, TResultField* field) : FPanel(panel), FRField(field)
{
    if (!panel.DBStruct())
        throw ERFPanelError(LoadResString(_ERRDbStructNotDefined));
}

TResultFieldRow::~TResultFieldRow()
{
    dropControls();
}

TDropDownLabel* TResultFieldRow::label(TWordRole role) const
{
    const std::size_t at = roleSlot(role);
    return at < FLabels.size() ? FLabels[at].get() : nullptr;
}

TResultFieldRow::Owned<TDropDownLabel>& TResultFieldRow::slot(TWordRole role)
{
    return FLabels[roleSlot(role)];
}

void TResultFieldRow::makeControls()
{
    QWidget* surface = FPanel.Surface();
    const TRFPAppearanceOptions options = FPanel.Appearance().Options();
    FButton.reset(new TRFRowButton(surface));
    FButton->setFont(FPanel.font());
    FButton->SetAutoSize(true);
    FButton->SetFlat(options.Contains(aoFlatButtons));
    FButton->SetRounded(options.Contains(aoRoundButtons));
    FButton->setVisible(FVisible);
    FButton->OnClick = [this](QObject*) { Guarded([this] { FPanel.RowButtonClick(this); }); };
}

void TResultFieldRow::dropControls()
{
    for (Owned<TDropDownLabel>& label : FLabels)
        letGo(label);
    FButton.reset();
}

void TResultFieldRow::bindWords()
{
    for (TWordRole role : ResultFieldOrder) {
        Owned<TDropDownLabel>& label = slot(role);
        TQueryWord* word = FRField->Word(role);
        if (label && word && &label->Word() == word && LabelFitsEditor(*label, word->Editor()))
            continue;
        letGo(label);
        if (!word)
            continue;
        label.reset(CreateWordLabel(*word, FPanel.Surface()).release());
        QObject::connect(label.get(), &TDropDownLabel::aboutToDropDown, label.get(),
                         [this, role] { FPanel.wordOpening(this, role); });
        if (word->Editor() == weNone) {
            label->setFont(FPanel.font());
        } else {
            styleWord(*label, FPanel.font(),
                      role == wrSorting ? FPanel.Appearance().SortColor() : FPanel.Appearance().FieldColor());
            // The choice goes to the list, which shows it in the word.
            label->SetChoiceOnly(true);
            QObject::connect(label.get(), &TDropDownLabel::valueAccepted, label.get(),
                             [this, role](TDropDownLabel*, const QString& value) {
                                 Guarded([&] { FPanel.acceptWord(this, role, value); });
                             });
        }
        label->setVisible(FVisible);
    }
}

void TResultFieldRow::SetRField(TResultField* field)
{
    for (Owned<TDropDownLabel>& label : FLabels)
        letGo(label);
    FRField = field;
    PlaceRow();
}

TSortingType TResultFieldRow::GetSorting() const
{
    return FRField ? FRField->Sorting() : stNoSort;
}

void TResultFieldRow::SetSorting(TSortingType sorting)
{
    FPanel.ResultFields().AcceptWordValue(FIndex, wrSorting, QString::number(sorting));
}

bool TResultFieldRow::GetVisible() const
{
    return FVisible;
}

void TResultFieldRow::SetVisible(bool visible)
{
    FVisible = visible;
    if (FButton)
        FButton->setVisible(visible);
    for (Owned<TDropDownLabel>& label : FLabels)
        if (label)
            label->setVisible(visible);
}

void TResultFieldRow::PlaceRow()
{
    if (!FRField || !FButton)
        return;
    const TRFPAppearance& look = FPanel.Appearance();
    const int height = FPanel.RowHeight();
    const int top = FPanel.rowTop(FIndex);
    FButton->SetCaption(QString::number(FIndex + 1));
    FButton->move(look.LeftMargin(), top);
    FButton->resize(FButton->width(), height);
    int x = look.LeftMargin() + look.ElemSpace() + FButton->width();
    bindWords();
    int right = x;
    for (const Owned<TDropDownLabel>& label : FLabels) {
        if (!label)
            continue;
        label->move(x, top);
        right = x + label->width();
        x += look.ElemSpace() + label->width();
    }
    FPanel.noteRowRight(right - 1);
}

void TResultFieldRow::RefreshResultField()
{
    PlaceRow();
    FPanel.Changed();
    FPanel.takeFocus();
}

// --- the panel

TVxResultFieldsPanel::TVxResultFieldsPanel(QWidget* parent)
    : TSentenceRows(parent), FDefTitles(defaultTitles()), FTitles(FDefTitles),
      FResultFields(std::make_unique<TRFieldList>()), FList(FResultFields.get())
{
    ObserveRFields(*FList, *this, *this);
}

TVxResultFieldsPanel::~TVxResultFieldsPanel()
{
    FList->disconnect(this);
    FRows.clear();
}

void TVxResultFieldsPanel::showList(TRFieldList* list)
{
    dropRows();
    FList = list;
    ObserveRFields(*FList, *this, *this);
    if (FActive)
        RefreshFieldsList();
}

void TVxResultFieldsPanel::BindQuery(TVxQuery* query)
{
    if (query == FQuery.data())
        return;
    FList->disconnect(this);
    disconnect(FQueryModel);
    disconnect(FQueryGone);
    FQuery = query;
    followHistory(query);
    if (!query) {
        showList(FResultFields.get());
        return;
    }
    // The query's list goes with the query, before the query's destroyed
    // signal: the panel lets go of its rows without touching the list.
    FQueryGone = connect(query, &QObject::destroyed, this, [this] {
        disconnect(FQueryModel);
        FQuery = nullptr;
        followHistory(nullptr);
        showList(FResultFields.get());
    });
    // A new model gives the query a new, empty list, told as a reset.
    FQueryModel = connect(query, &TVxQuery::treeReset, this, [this] {
        if (FQuery && FQuery->DbStruct() != FDBStruct.data())
            SetDBStruct(FQuery->DbStruct());
    });
    SetDBStruct(query->DbStruct());
    showList(&query->QResult()->ResultFields());
}

void TVxResultFieldsPanel::SetTitles(const TStringList& lines)
{
    TStringList source(lines);
    LoadTitlesFromStrings(FDefTitles, FTitles, source);
}

void TVxResultFieldsPanel::setTitleLines(const QStringList& lines)
{
    SetTitles(TStringList(lines));
    Refresh();
}

QString TVxResultFieldsPanel::GetTitle(const QString& name) const
{
    return FTitles.Values(name);
}

void TVxResultFieldsPanel::SetTitle(const QString& name, const QString& text)
{
    FTitles.SetValue(name, text);
}

bool TVxResultFieldsPanel::EditTitles()
{
    TStringList edited = FTitles;
    if (!RunTitlesEditor(this, FDefTitles, edited))
        return false;
    FTitles = edited;
    Refresh();
    return true;
}

void TVxResultFieldsPanel::checkModel() const
{
    if (!FDBStruct)
        throw ERFPanelError(LoadResString(_ERRDbStructNotDefined));
}

void TVxResultFieldsPanel::newList()
{
    const bool own = FList == FResultFields.get();
    if (own)
        FList->disconnect(this);
    dropRows();
    FResultFields = std::make_unique<TRFieldList>(FDBStruct.data());
    if (own) {
        FList = FResultFields.get();
        ObserveRFields(*FList, *this, *this);
    }
}

void TVxResultFieldsPanel::SetDBStruct(TVxCustomDBStructure* model)
{
    if (model == FDBStruct.data())
        return;
    disconnect(FModelGone);
    FDBStruct = model;
    // A model freed under the panel leaves it without one.
    if (model)
        FModelGone = connect(model, &QObject::destroyed, this, [this] {
            FActive = false;
            dropAddRowLabel();
            newList();
        });
    newList();
    if (FActive)
        RefreshFieldsList();
}

void TVxResultFieldsPanel::SetResultFields(const TRFieldList& list)
{
    checkModel();
    FList->Assign(list);
}

void TVxResultFieldsPanel::SetActive(bool active)
{
    if (active != FActive)
        active ? Activate() : Deactivate();
}

void TVxResultFieldsPanel::Activate()
{
    checkModel();
    delete FRowPopup;
    FRowPopup = new QMenu(this);
    for (const auto& [tag, title] : {std::pair{tagDelete, "ttlDelField"}, {tagMoveUp, "ttlMoveUp"},
                                     {tagMoveDown, "ttlMoveDown"}}) {
        if (tag == tagMoveUp)
            FRowPopup->addSeparator();
        QAction* action = FRowPopup->addAction(GetTitle(QLatin1String(title)));
        action->setData(tag);
        connect(action, &QAction::triggered, this, [this, tag = tag] { Guarded([&] { MenuItemClick(tag); }); });
    }
    FActive = true;
    if (!AddRowLabel()) {
        setAddRowLabel(new TDropDownLabel(Surface()));
        connect(AddRowLabel(), &TDropDownLabel::droppedUp, this, [this] { Guarded([this] { AddEmptyRow(); }); });
    }
    RefreshFieldsList();
}

void TVxResultFieldsPanel::Deactivate()
{
    FActive = false;
    for (const auto& row : FRows)
        row->SetVisible(false);
    if (AddRowLabel())
        AddRowLabel()->hide();
}

void TVxResultFieldsPanel::Refresh()
{
    if (FActive)
        Activate();
    Surface()->update();
}

void TVxResultFieldsPanel::ClearAll()
{
    FList->Clear();
    ShowAddRow();
    Changed();
}

void TVxResultFieldsPanel::dropRows()
{
    FCurrentRow = nullptr;
    FRows.clear();
}

std::shared_ptr<const WordItems> TVxResultFieldsPanel::FieldItems() const
{
    return FList->FieldItems();
}

int TVxResultFieldsPanel::RowHeight() const
{
    return fontMetrics().height() + 1;
}

void TVxResultFieldsPanel::applyWordsLook()
{
    TRFieldList::WordLook look;
    const TRFPAppearanceOptions options = FAppearance.Options();
    look.PopupField = options.Contains(aoPopupField);
    look.GroupNames = options.Contains(aoShowGroupName);
    look.NameSeparator = FAppearance.NameSeparator();
    look.SortCaptions = {GetTitle(QStringLiteral("ttlNotSorted")), GetTitle(QStringLiteral("ttlAscending")),
                         GetTitle(QStringLiteral("ttlDescending"))};
    if (!(look == FList->WordsLook()))
        FList->SetWordsLook(look);
}

void TVxResultFieldsPanel::RefreshFieldsList()
{
    if (FActive && AddRowLabel())
        AddRowLabel()->hide();
    FRefreshing = true;
    const auto done = qScopeGuard([this] { FRefreshing = false; });
    // The rows are remade over the same list: the current one stays in its line.
    const int current = FCurrentRow ? FCurrentRow->GetRowIndex() : -1;
    dropRows();
    resetWidest();
    if (FDBStruct) {
        FRows.reserve(static_cast<std::size_t>(FList->Count()));
        for (int i = 0; i < FList->Count(); ++i) {
            FRows.push_back(std::make_unique<TResultFieldRow>(*this, FList->GetRField(i)));
            FRows.back()->SetVisible(FActive);
        }
    }
    if (current >= 0 && current < RowCount())
        FCurrentRow = Row(current);
    PlaceRows(0);
}

void TVxResultFieldsPanel::PlaceRows(int from)
{
    if (AddRowLabel())
        AddRowLabel()->hide();
    applyWordsLook();
    // Rows near the viewport, and the current row (its menu may be open), have controls.
    const SlotRange nearby = nearSlots();
    for (int i = 0; i < RowCount(); ++i) {
        TResultFieldRow* row = Row(i);
        const bool moved = i >= from;
        row->FIndex = i;
        if (!nearby.Contains(i) && row != FCurrentRow) {
            row->dropControls();
            continue;
        }
        const bool made = !row->hasControls();
        if (made)
            row->makeControls();
        if (made || moved)
            row->PlaceRow();
    }
    if (FActive)
        ShowAddRow();
    updateSurfaceSize();
}

void TVxResultFieldsPanel::ShowAddRow()
{
    TDropDownLabel* line = AddRowLabel();
    if (!line)
        return;
    styleAddRowLabel(FAppearance.FieldColor());
    // Under the last row's button, wherever that row's controls are.
    const int top = RowCount() > 0 ? rowTop(RowCount() - 1) + RowHeight() + FAppearance.RowSpace() + 2
                                   : FAppearance.TopMargin();
    line->move(FAppearance.LeftMargin(), top);
    line->show();
}

void TVxResultFieldsPanel::updateSurfaceSize()
{
    const int bottom = RowCount() > 0 ? rowTop(RowCount() - 1) + RowHeight() - 1 : 0;
    TSentenceRows::updateSurfaceSize(bottom, FAppearance.LeftMargin(), FAppearance.TopMargin());
}

void TVxResultFieldsPanel::AddEmptyRow()
{
    checkModel();
    if (FDBStruct->Empty())
        throw ERFPanelError(LoadResString(_ERRStructEmpty));
    if (!NewResultField())
        return;
    if (verticalScrollBar()->isVisible())
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    Changed();
}

TResultField* TVxResultFieldsPanel::NewResultField()
{
    if (!FDBStruct)
        return nullptr;
    // The model names the placeholder when no named group offers a field;
    // the root group's fields, listed last, still come before it.
    TDSField* first = FDBStruct->GetFirstResultField();
    if (first == FDBStruct->NullField() && FieldItems()->Values.Count() > 0)
        first = FDBStruct->FieldByID(FieldItems()->Values[0].toInt());
    if (!first)
        return nullptr;
    FList->SetJustSorting(false);
    const int index = FList->Add(QStringLiteral("@1"), {first}, first->DisplayName());
    return FList->GetRField(index);
}

void TVxResultFieldsPanel::DeleteRow(int index)
{
    if (index < 0 || index >= RowCount())
        return;
    FList->Delete(index);
    Changed();
}

void TVxResultFieldsPanel::MoveRowUp(int index)
{
    if (index > 0 && index < RowCount())
        MoveRow(index, index - 1);
}

void TVxResultFieldsPanel::MoveRowDown(int index)
{
    if (index >= 0 && index < RowCount() - 1)
        MoveRow(index, index + 1);
}

void TVxResultFieldsPanel::MoveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= RowCount() || to >= RowCount())
        return;
    FList->MoveRow(from, to);
    Changed();
}

void TVxResultFieldsPanel::RefreshSortOrder()
{
    FList->NumberSortOrders();
}

void TVxResultFieldsPanel::Changed()
{
    if (!OnChange || FInsideEventHandler)
        return;
    FInsideEventHandler = true;
    const auto done = qScopeGuard([this] { FInsideEventHandler = false; });
    OnChange(this);
}

void TVxResultFieldsPanel::acceptWord(TResultFieldRow* row, TWordRole role, const QString& value)
{
    // Each change shows on the row through the list's notice; the row and
    // its words stay, since the word that was chosen is still in its event.
    if (FList->AcceptWordValue(row->GetRowIndex(), role, value))
        row->RefreshResultField();
}

void TVxResultFieldsPanel::RowButtonClick(TResultFieldRow* row)
{
    FCurrentRow = row;
    if (!FRowPopup)
        return;
    const int index = row->GetRowIndex();
    for (QAction* action : FRowPopup->actions()) {
        if (action->data().toInt() == tagMoveDown)
            action->setEnabled(index < RowCount() - 1);
        if (action->data().toInt() == tagMoveUp)
            action->setEnabled(index > 0);
    }
    const QWidget* button = row->Button();
    if (button)
        FRowPopup->exec(button->mapToGlobal(QPoint(0, button->height())));
}

void TVxResultFieldsPanel::MenuItemClick(int tag)
{
    const int index = FCurrentRow ? FCurrentRow->GetRowIndex() : -1;
    switch (tag) {
    case tagDelete:
        DeleteRow(index);
        break;
    case tagMoveUp:
        MoveRowUp(index);
        break;
    case tagMoveDown:
        MoveRowDown(index);
        break;
    default:
        return;
    }
    takeFocus();
}

// --- the current row and the keyboard

void TVxResultFieldsPanel::SetCurrentRow(int index)
{
    FCurrentRow = index >= 0 && index < RowCount() ? Row(index) : nullptr;
    // The current row always has its controls.
    if (FCurrentRow && !FCurrentRow->hasControls())
        PlaceRows(RowCount());
    fixSelectedWord();
    Surface()->update();
}

TDropDownLabel* TVxResultFieldsPanel::SelectedLabel() const
{
    return FCurrentRow ? FCurrentRow->label(FSelectedWord) : nullptr;
}

void TVxResultFieldsPanel::wordOpening(TResultFieldRow* row, TWordRole role)
{
    FCurrentRow = row;
    FSelectedWord = role;
    Surface()->update();
}

bool TVxResultFieldsPanel::stepWord(int by)
{
    if (!FCurrentRow)
        return false;
    const int count = static_cast<int>(std::size(ResultFieldOrder));
    for (int at = static_cast<int>(roleSlot(FSelectedWord)) + by; at >= 0 && at < count; at += by)
        if (opens(FCurrentRow->label(ResultFieldOrder[at]))) {
            FSelectedWord = ResultFieldOrder[at];
            return true;
        }
    return false;
}

void TVxResultFieldsPanel::fixSelectedWord()
{
    if (!FCurrentRow || opens(SelectedLabel()))
        return;
    for (TWordRole role : ResultFieldOrder)
        if (opens(FCurrentRow->label(role))) {
            FSelectedWord = role;
            return;
        }
}

void TVxResultFieldsPanel::showSelection()
{
    if (FCurrentRow) {
        const int top = rowTop(FCurrentRow->GetRowIndex());
        ensureVisible(horizontalScrollBar()->value(), top + RowHeight() / 2, 0, RowHeight());
        if (TDropDownLabel* label = SelectedLabel())
            ensureWidgetVisible(label);
    }
    Surface()->update();
}

void TVxResultFieldsPanel::showKeyboardFocus()
{
    if (!FActive || RowCount() == 0)
        return;
    if (!FCurrentRow)
        SetCurrentRow(0);
    fixSelectedWord();
    showSelection();
}

void TVxResultFieldsPanel::paintSurface(QPainter& painter)
{
    if (!FActive || !FCurrentRow || !FCurrentRow->Button())
        return;
    QRect row = FCurrentRow->Button()->geometry();
    for (const auto& label : FCurrentRow->FLabels)
        if (label)
            row = row.united(label->geometry());
    painter.fillRect(row, palette().color(QPalette::Light));
    const TDropDownLabel* selected = SelectedLabel();
    if (!hasFocus() || !opens(selected) || selected->isHidden())
        return;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(selected->geometry().adjusted(-2, -2, 1, 1));
}

void TVxResultFieldsPanel::keyPressEvent(QKeyEvent* event)
{
    bool handled = false;
    // A command that failed has still used its key up.
    if (Guarded([&] { handled = keyDown(event->key(), event->modifiers()); }) && !handled)
        TSentenceRows::keyPressEvent(event);
}

bool TVxResultFieldsPanel::keyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (!FActive)
        return false;
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool none = held == Qt::NoModifier;
    const bool ctrl = held == Qt::ControlModifier;
    const int index = FCurrentRow ? FCurrentRow->GetRowIndex() : -1;
    switch (key) {
    case Qt::Key_Insert:
        if (!none)
            return false;
        AddEmptyRow();
        break;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int by = key == Qt::Key_Up ? -1 : 1;
        if (ctrl)
            by < 0 ? MoveRowUp(index) : MoveRowDown(index);
        else if (!none)
            return false;
        else if (index < 0)
            SetCurrentRow(0);
        else if (index + by >= 0 && index + by < RowCount())
            SetCurrentRow(index + by);
        break;
    }
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!none)
            return false;
        stepWord(key == Qt::Key_Left ? -1 : 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!none || !opens(SelectedLabel()))
            return false;
        showSelection();
        SelectedLabel()->DropDown();
        return true;
    case Qt::Key_Delete:
        if (!none)
            return false;
        DeleteRow(index);
        break;
    default:
        return false;
    }
    showSelection();
    return true;
}

// --- the list's notices

// An inactive panel that has no rows yet makes them all when activated;
// otherwise the rows mirror the list entry for entry.
void TVxResultFieldsPanel::RFieldInserted(int index)
{
    if (!FDBStruct || FRefreshing || (!FActive && FRows.empty()))
        return;
    auto row = std::make_unique<TResultFieldRow>(*this, FList->GetRField(index));
    row->SetVisible(FActive);
    FCurrentRow = row.get();
    FSelectedWord = wrField;
    FRows.insert(FRows.begin() + index, std::move(row));
    PlaceRows(index);
    fixSelectedWord();
    Surface()->update();
}

void TVxResultFieldsPanel::RFieldAboutToBeRemoved(int index)
{
    if (index < 0 || index >= RowCount())
        return;
    const bool current = FCurrentRow == Row(index);
    if (current)
        FCurrentRow = nullptr;
    FRows.erase(FRows.begin() + index);
    if (current && RowCount() > 0)
        FCurrentRow = Row(std::min(index, RowCount() - 1));
    PlaceRows(index);
    fixSelectedWord();
    Surface()->update();
}

void TVxResultFieldsPanel::RFieldMoved(int from, int to)
{
    if (from < 0 || to < 0 || from >= RowCount() || to >= RowCount())
        return;
    auto row = std::move(FRows[static_cast<std::size_t>(from)]);
    FRows.erase(FRows.begin() + from);
    FRows.insert(FRows.begin() + to, std::move(row));
    PlaceRows(std::min(from, to));
    Surface()->update();
}

void TVxResultFieldsPanel::RFieldChanged(int index)
{
    if (index >= 0 && index < RowCount())
        Row(index)->PlaceRow();
    fixSelectedWord();
    updateSurfaceSize();
    Surface()->update();
}

void TVxResultFieldsPanel::RFieldsAboutToBeReset()
{
    dropRows();
}

void TVxResultFieldsPanel::RFieldsReset()
{
    if (FActive)
        RefreshFieldsList();
}

} // namespace brindle
