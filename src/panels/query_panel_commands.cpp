// What a user does on a query panel: the menus of the row buttons and of
// value words, the keyboard, clicks on the background, the buttons, the
// check boxes, the add-row line and the words of a row. Every change of the
// tree is a call of the query; the panel only keeps the selection on screen.

#include <brindle/panels/query_panel.h>

#include <brindle/foundations/errors.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/drop_down_edits.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/titles_editor.h>

#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QScrollBar>

namespace brindle {

namespace {

// The menu entries' tags.
enum MenuTag {
    tagAddCondAfter = 1,
    tagAddBracketAfter = 2,
    tagAddCondInside = 3,
    tagAddBracketInside = 4,
    tagCustomConditions = 5,
    tagAddCond = 11,
    tagAddBracket = 12,
    tagDeleteRow = 20,
    tagEnableDisable = 21,
    tagLineAfterAdding = 31,
    tagLineAfterInside = 32,
    tagLineBeforeDelete = 33,
    tagLineBeforeEnable = 34,
};
enum ValueMenuTag { tagConstant = 1, tagParameter = 2 };

QAction* actionByTag(const QMenu* menu, int tag)
{
    for (QAction* action : menu->actions())
        if (action->data().toInt() == tag)
            return action;
    return nullptr;
}

// Hands a label's double clicks to a function: a parameter's word opens no
// editor, so its double clicks reach the label.
class DoubleClickWatcher : public QObject {
public:
    DoubleClickWatcher(QWidget* widget, std::function<void()> onDoubleClick)
        : QObject(widget), FOnDoubleClick(std::move(onDoubleClick))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            Guarded(FOnDoubleClick);
        return false;
    }

private:
    std::function<void()> FOnDoubleClick;
};

} // namespace

// --- menus

void TVxQueryPanel::createMenus()
{
    const auto add = [this](QMenu* menu, int tag) {
        QAction* action = menu->addAction(QString());
        action->setData(tag);
        connect(action, &QAction::triggered, this, [this, tag] { Guarded([&] { MenuItemClick(tag); }); });
    };
    const auto line = [](QMenu* menu, int tag) { menu->addSeparator()->setData(tag); };

    FMainPopup = new QMenu(this);
    add(FMainPopup, tagAddCond);
    add(FMainPopup, tagAddBracket);
    FMainCondMenuItem = FMainPopup->addMenu(QString());
    FMainCondMenuItem->menuAction()->setData(tagCustomConditions);

    FRowPopup = new QMenu(this);
    add(FRowPopup, tagAddCondAfter);
    add(FRowPopup, tagAddBracketAfter);
    line(FRowPopup, tagLineAfterAdding);
    add(FRowPopup, tagAddCondInside);
    add(FRowPopup, tagAddBracketInside);
    line(FRowPopup, tagLineAfterInside);
    FRowCondMenuItem = FRowPopup->addMenu(QString());
    FRowCondMenuItem->menuAction()->setData(tagCustomConditions);
    line(FRowPopup, tagLineBeforeDelete);
    add(FRowPopup, tagDeleteRow);
    line(FRowPopup, tagLineBeforeEnable);
    add(FRowPopup, tagEnableDisable);

    FValuePopup = new QMenu(this);
    FValueKinds = new QActionGroup(FValuePopup);
    QAction* constant = FValuePopup->addAction(QString());
    constant->setData(tagConstant);
    constant->setCheckable(true);
    constant->setChecked(true);
    FValueKinds->addAction(constant);
    connect(constant, &QAction::triggered, this, [this] { Guarded([&] { ValueMenuItemClick(tagConstant); }); });
    UpdateMenus();
}

void TVxQueryPanel::fillCustomConditionMenu(QMenu* menu)
{
    menu->clear();
    const TVxCustomDBStructure* model = FQuery->DbStruct();
    const int count = model ? model->Conditions().Count() : 0;
    for (int position = 0; position < count; ++position) {
        const QString caption =
            Format(QStringLiteral("&%d. %s"), {position + 1, model->Conditions().Items(position)->Caption()});
        QAction* action = menu->addAction(caption);
        action->setData(position);
        connect(action, &QAction::triggered, this,
                [this, position] { Guarded([&] { AddCustomConditionClick(position); }); });
    }
    menu->menuAction()->setVisible(count > 0);
}

void TVxQueryPanel::UpdateMenus()
{
    const auto title = [this](const char* name) { return FQuery->GetTitle(QString::fromLatin1(name)); };
    const QString addCond = title("ttlAddCond");
    const QString addBracket = title("ttlAddBracket");
    const QString after = QStringLiteral(" (") + title("ttlAfterCurrent") + u')';
    const QString inside = QStringLiteral(" (") + title("ttlInsideCurrent") + u')';
    actionByTag(FMainPopup, tagAddCond)->setText(addCond);
    actionByTag(FMainPopup, tagAddBracket)->setText(addBracket);
    actionByTag(FRowPopup, tagAddCondAfter)->setText(addCond + after);
    actionByTag(FRowPopup, tagAddBracketAfter)->setText(addBracket + after);
    actionByTag(FRowPopup, tagAddCondInside)->setText(addCond + inside);
    actionByTag(FRowPopup, tagAddBracketInside)->setText(addBracket + inside);
    actionByTag(FRowPopup, tagDeleteRow)->setText(title("ttlDelRow"));
    actionByTag(FRowPopup, tagEnableDisable)->setText(title("ttlEnableDisable"));
    for (QMenu* conditions : {FMainCondMenuItem, FRowCondMenuItem}) {
        conditions->setTitle(title("ttlCustomCond"));
        fillCustomConditionMenu(conditions);
    }

    actionByTag(FValuePopup, tagConstant)->setText(title("ttlConstant"));
    QAction* parameter = actionByTag(FValuePopup, tagParameter);
    const bool allowParams = FAppearance.Options().Contains(aoAllowParams);
    if (parameter && !allowParams) {
        delete parameter;
        parameter = nullptr;
    } else if (!parameter && allowParams) {
        parameter = FValuePopup->addAction(QString());
        parameter->setData(tagParameter);
        parameter->setCheckable(true);
        FValueKinds->addAction(parameter);
        connect(parameter, &QAction::triggered, this, [this] { Guarded([&] { ValueMenuItemClick(tagParameter); }); });
    }
    if (parameter)
        parameter->setText(title("ttlParameter"));
}

void TVxQueryPanel::popupMenu(QMenu* menu, const QPoint& at)
{
    // The model's predefined conditions may have changed since activation.
    UpdateMenus();
    // A closing menu gives the focus back to where it was before it opened.
    if (menu->exec(at))
        takeFocus();
}

void TVxQueryPanel::MenuItemClick(int tag)
{
    TFilterRow* current = CurrentRow();
    TFilterBracket* root = FQuery->Filter();
    TFilterBracket* parent = !current || current == root ? root : current->ParentBracket();
    switch (tag) {
    case tagAddCondAfter:
    case tagAddCond:
        FQuery->AddCondition(parent, nullptr);
        break;
    case tagAddBracketAfter:
    case tagAddBracket:
        FQuery->AddBracket(parent);
        break;
    case tagAddCondInside:
        FQuery->AddCondition(GetCurrentBracket(), nullptr);
        break;
    case tagAddBracketInside:
        if (current && current->IsBracket())
            FQuery->AddBracket(static_cast<TFilterBracket*>(current));
        break;
    case tagDeleteRow:
        deleteCurrentRow();
        break;
    case tagEnableDisable:
        if (current)
            current->SetEnabled(!current->GetEnabled());
        break;
    default:
        return;
    }
    Surface()->update();
    takeFocus();
}

void TVxQueryPanel::RowMenuPopup()
{
    const TFilterRow* current = CurrentRow();
    const bool inside = current && current->IsBracket() && current != FQuery->Filter();
    for (int tag : {tagAddCondInside, tagAddBracketInside, tagLineAfterInside})
        actionByTag(FRowPopup, tag)->setVisible(inside);
}

void TVxQueryPanel::AddCustomConditionClick(int position)
{
    TVxCustomDBStructure* model = FQuery->DbStruct();
    if (!model || position < 0 || position >= model->Conditions().Count())
        return;
    FQuery->AddCustomCondition(GetCurrentBracket(), model->Conditions().Items(position));
    Surface()->update();
    takeFocus();
}

void TVxQueryPanel::ValueMenuPopup()
{
    TFilterRow* current = CurrentRow();
    const int index = valueIndexOf(current, selectedLabel(current));
    const bool isParam = index > 0 && static_cast<TFilterCond*>(current)->GetValueIsParam(index);
    QAction* parameter = actionByTag(FValuePopup, tagParameter);
    if (isParam && parameter)
        parameter->setChecked(true);
    else
        actionByTag(FValuePopup, tagConstant)->setChecked(true);
}

void TVxQueryPanel::ValueMenuItemClick(int tag)
{
    TFilterRow* current = CurrentRow();
    const int index = valueIndexOf(current, selectedLabel(current));
    if (index == 0)
        return;
    auto* cond = static_cast<TFilterCond*>(current);
    cond->SetValueIsParam(index, tag == tagParameter);
    FQuery->QueryChanged();
    // The host heard of the change and may have removed the row.
    if (FRows.count(cond)) {
        PlaceRow(cond);
        RefreshRow(cond);
    }
}

// --- buttons, check boxes, the background and the add-row line

void TVxQueryPanel::MainButtonClick()
{
    const TVxCustomDBStructure* model = FQuery->DbStruct();
    bool usable = false;
    for (int i = 0; model && i < model->FieldCount() && !usable; ++i)
        usable = model->Fields(i)->OperatCount() > 0;
    if (!usable)
        return;
    SetCurrentRow(FQuery->Filter());
    const TFilterBtn* button = RowButton(FQuery->Filter());
    popupMenu(FMainPopup, button->mapToGlobal(QPoint(0, button->height())));
}

void TVxQueryPanel::RowButtonClick(TFilterRow* row)
{
    SetCurrentRow(row);
    RowMenuPopup();
    const TFilterBtn* button = RowButton(row);
    popupMenu(FRowPopup, button->mapToGlobal(QPoint(0, button->height())));
}

void TVxQueryPanel::CheckBoxClick(TFilterRow* row, bool checked)
{
    row->SetEnabled(checked);
}

void TVxQueryPanel::MouseDown()
{
    closeOpenEditor(true);
    takeFocus();
    SetShowFrame(true);
}

void TVxQueryPanel::AddRowLabelMouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        ProcessAddRowClick(nullptr);
    } else if (button == Qt::RightButton && AddRowLabel()) {
        popupMenu(FMainPopup, AddRowLabel()->mapToGlobal(QPoint(0, AddRowLabel()->height())));
    }
    takeFocus();
}

void TVxQueryPanel::deleteCurrentRow()
{
    TFilterRow* current = CurrentRow();
    if (!current || current == FQuery->Filter())
        return;
    TFilterBracket* parent = current->ParentBracket();
    parent->DeleteRow(parent->IndexOf(current));
    // The host heard of the change: the root is read anew at each step.
    FQuery->EnumerateBracket(FQuery->Filter());
    // A root left without rows could not be enabled again otherwise.
    if (FQuery->Filter()->GetRowCount() == 0 && !FQuery->Filter()->GetEnabled())
        FQuery->Filter()->SetEnabled(true);
    PlaceAllRows();
}

// --- the current row and its selected word

TFilterRow* TVxQueryPanel::CurrentRow() const
{
    if (FLostLine >= 0) {
        // The current row went: the line below it has moved up into its
        // line, so that line or the one above becomes current.
        const int line = std::exchange(FLostLine, -1);
        const int rows = FQuery->Filter()->GetRowCount() + (FLostFromRoot ? 1 : 0);
        if (line > 0 && rows > 1) {
            TFilterRow* next = FQuery->GetRowByNum(line);
            FCurrentRow = next ? next : FQuery->GetRowByNum(line - 1);
        }
    }
    return FCurrentRow;
}

void TVxQueryPanel::rowAdded(TFilterRow* row)
{
    // A bracket made around the current row (a move) leaves it current.
    for (const TFilterRow* at = FCurrentRow; at; at = at->ParentBracket())
        if (at == row)
            return;
    FCurrentRow = row;
    FLostLine = -1;
    FCurrentControl = 0;
}

void TVxQueryPanel::rowGoing(TFilterRow* row)
{
    // Rows that go while a lost row's line waits leave it waiting.
    for (const TFilterRow* at = FCurrentRow; at; at = at->ParentBracket())
        if (at == row) {
            FLostLine = FCurrentRow->RowNum();
            FLostFromRoot = FCurrentRow->ParentBracket() == FQuery->Filter();
            FCurrentRow = nullptr;
            FCurrentControl = 0;
            return;
        }
}

TFilterBracket* TVxQueryPanel::GetCurrentBracket() const
{
    TFilterRow* current = CurrentRow();
    if (!current)
        return FQuery->Filter();
    if (current->IsBracket())
        return static_cast<TFilterBracket*>(current);
    return current->ParentBracket();
}

int TVxQueryPanel::GetCurrentRowNum() const
{
    const TFilterRow* current = CurrentRow();
    return current ? current->RowNum() : -1;
}

void TVxQueryPanel::moveCurrentRow(bool (TVxQuery::*move)(TFilterRow*))
{
    TFilterRow* row = CurrentRow();
    const int selected = FCurrentControl;
    if (!row || !(FQuery.get()->*move)(row))
        return;
    // A bracket made around the row became current meanwhile; the row and
    // its selected word come back.
    SetCurrentRow(row);
    FCurrentControl = selected;
}

void TVxQueryPanel::MoveCurRowUp()
{
    moveCurrentRow(&TVxQuery::MoveRowUp);
}

void TVxQueryPanel::MoveCurRowDown()
{
    moveCurrentRow(&TVxQuery::MoveRowDown);
}

void TVxQueryPanel::MoveCurRowLeft()
{
    moveCurrentRow(&TVxQuery::MoveRowLeft);
}

void TVxQueryPanel::MoveCurRowRight()
{
    moveCurrentRow(&TVxQuery::MoveRowRight);
}

void TVxQueryPanel::SetCurrentControlIndex(int index)
{
    FCurrentControl = index;
    if (TFilterRow* current = CurrentRow())
        RefreshRow(current);
}

void TVxQueryPanel::SetCurrentRow(TFilterRow* row)
{
    if (!FQuery->Contains(row))
        row = nullptr;
    if (row == CurrentRow())
        return;
    FCurrentRow = row;
    FCurrentControl = 0;
    // The current row always has its controls.
    if (row && !FRows.count(row))
        PlaceAllRows();
    Surface()->update();
}

void TVxQueryPanel::SetCurrentRowNum(int slot)
{
    const int hidden = FAppearance.Options().Contains(aoHideRootRow) ? 1 : 0;
    TFilterRow* row = FQuery->GetRowByNum(slot + hidden);
    if (!row)
        return;
    SetCurrentRow(row);
    FirstCurControl(row);
    showSelection(row);
}

void TVxQueryPanel::IncCurRow()
{
    if (const TFilterRow* current = CurrentRow()) {
        const int slot = RowSlot(current);
        if (slot < RowSlot(FQuery->GetLastRow()))
            SetCurrentRowNum(slot + 1);
    }
    SetShowFrame(true);
}

void TVxQueryPanel::DecCurRow()
{
    if (const TFilterRow* current = CurrentRow()) {
        const int slot = RowSlot(current);
        if (slot > 0)
            SetCurrentRowNum(slot - 1);
    }
    SetShowFrame(true);
}

TDropDownLabel* TVxQueryPanel::selectedLabel(const TFilterRow* row) const
{
    return row && row == CurrentRow() ? GetRowControl(row, FCurrentControl) : nullptr;
}

int TVxQueryPanel::labelIndex(const TFilterRow* row, const TDropDownLabel* label) const
{
    const std::optional<TWordRole> role = label ? row->RoleOf(&label->Word()) : std::nullopt;
    return role ? TFilterRow::IndexOfRole(*role) : 0;
}

int TVxQueryPanel::valueIndexOf(const TFilterRow* row, const TDropDownLabel* label)
{
    const std::optional<TWordRole> role = row && label ? row->RoleOf(&label->Word()) : std::nullopt;
    return role == wrValue1 ? 1 : role == wrValue2 ? 2 : 0;
}

bool TVxQueryPanel::selectable(const TFilterRow* row, int index, bool visibleOnly) const
{
    const TQueryWord* word = RowWord(row, index);
    return word && word->Editor() != weNone && (!visibleOnly || word->Visible());
}

bool TVxQueryPanel::NextCurControl(TFilterRow* row)
{
    for (int index : ControlIndexes)
        if (index > FCurrentControl && selectable(row, index, true)) {
            FCurrentControl = index;
            return true;
        }
    return false;
}

bool TVxQueryPanel::PrevCurControl(TFilterRow* row)
{
    for (auto index = ControlIndexes.rbegin(); index != ControlIndexes.rend(); ++index)
        if (*index < FCurrentControl && selectable(row, *index, false)) {
            FCurrentControl = *index;
            return true;
        }
    return false;
}

void TVxQueryPanel::FirstCurControl(TFilterRow* row)
{
    FCurrentControl = 0;
    NextCurControl(row);
}

void TVxQueryPanel::showSelection(TFilterRow* row)
{
    // The row first, by its place: scrolling gives the rows that come near
    // their controls. Then its word.
    const QRect rect = GetRowRect(row);
    ensureVisible(horizontalScrollBar()->value(), rect.center().y(), 0, rect.height() / 2);
    if (TDropDownLabel* label = selectedLabel(row))
        ensureWidgetVisible(label);
    RefreshRow(row);
}

// --- the keyboard

void TVxQueryPanel::showKeyboardFocus()
{
    TFilterRow* row = CurrentRow();
    if (!Active() || !row || !FAppearance.Options().Contains(aoAllowKeyboard) || !rowShown(row))
        return;
    if (!selectable(row, FCurrentControl, true))
        FirstCurControl(row);
    SetShowFrame(true);
    showSelection(row);
}

void TVxQueryPanel::keyPressEvent(QKeyEvent* event)
{
    bool handled = false;
    // A command that failed has still used its key up.
    if (Guarded([&] { handled = KeyDown(event->key(), event->modifiers()); }) && !handled)
        TSentenceRows::keyPressEvent(event);
}

bool TVxQueryPanel::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (!Active() || !FAppearance.Options().Contains(aoAllowKeyboard))
        return false;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
        break;
    default:
        return false;
    }
    TFilterRow* row = CurrentRow();
    if (!row || (key != Qt::Key_Insert && !rowShown(row)))
        return true;
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool none = held == Qt::NoModifier;
    const bool ctrl = held.testFlag(Qt::ControlModifier);
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (none) {
            SetShowFrame(true);
            if (key == Qt::Key_Left ? PrevCurControl(row) : NextCurControl(row))
                showSelection(row);
        } else if (ctrl) {
            key == Qt::Key_Left ? MoveCurRowLeft() : MoveCurRowRight();
        }
        break;
    case Qt::Key_Up:
        if (none)
            DecCurRow();
        else if (ctrl)
            MoveCurRowUp();
        break;
    case Qt::Key_Down:
        if (none)
            IncCurRow();
        else if (ctrl)
            MoveCurRowDown();
        break;
    case Qt::Key_Insert:
        if (held.testFlag(Qt::AltModifier))
            popupRowMenuUnderWord(row);
        else
            FQuery->AddConditionNum(GetCurrentBracket(), row->RowNum() + 1, nullptr);
        break;
    case Qt::Key_Delete:
        if (ctrl)
            deleteCurrentRow();
        break;
    default: // Enter
        if (TDropDownLabel* label = selectedLabel(row); label && none)
            label->DropDown();
        break;
    }
    Surface()->update();
    return true;
}

void TVxQueryPanel::popupRowMenuUnderWord(TFilterRow* row)
{
    QWidget* anchor = RowButton(row);
    for (int index : ControlIndexes)
        if (selectable(row, index, true)) {
            anchor = GetRowControl(row, index);
            break;
        }
    const QPoint at = anchor->mapToGlobal(QPoint(0, anchor->height()));
    if (row == FQuery->Filter()) {
        popupMenu(FMainPopup, at);
    } else {
        RowMenuPopup();
        popupMenu(FRowPopup, at);
    }
}

// --- a row's words

void TVxQueryPanel::wireLabel(TFilterRow* row, TDropDownLabel* label)
{
    // The label applies accepted input and custom values through the query
    // itself; the panel follows the editor's opening and closing. The label
    // goes with its row, so the row it refers to outlives the connections.
    connect(label, &TDropDownLabel::aboutToDropDown, this,
            [this, row](TDropDownLabel* sender) { Guarded([&] { BeforeDropLabel(row, sender); }); });
    connect(label, &TDropDownLabel::droppedUp, this,
            [this](TDropDownLabel*, bool accepted) { Guarded([&] { AfterDropUpLabel(accepted); }); });
    if (valueIndexOf(row, label) == 0)
        return;
    // A value word's index is read at each event: the row's words may have
    // been remade around it.
    auto* cond = static_cast<TFilterCond*>(row);
    connect(label, &TDropDownLabel::altClicked, this, [this, cond](TDropDownLabel* sender) {
        Guarded([&] {
            if (const int index = valueIndexOf(cond, sender))
                ValueAltClick(cond, index);
        });
    });
    connect(label, &TDropDownLabel::rightClicked, this,
            [this, cond](TDropDownLabel* sender) { Guarded([&] { ValueRightClick(cond, sender); }); });
    if (auto* edit = qobject_cast<TDropDownCustomEdit*>(label))
        connect(edit, &TDropDownCustomEdit::editDoubleClicked, this,
                [this, cond](TDropDownLabel* sender, QString& text) {
                    Guarded([&] {
                        if (const int index = valueIndexOf(cond, sender))
                            EditDblClick(cond, index, text);
                    });
                });
    new DoubleClickWatcher(label, [this, cond, label] {
        if (const int index = valueIndexOf(cond, label))
            ValueDblClick(cond, index);
    });
}

void TVxQueryPanel::closeOpenEditor(bool accept)
{
    if (FOpenEditor && FOpenEditor->EditMode())
        FOpenEditor->CloseEdit(accept);
}

void TVxQueryPanel::closeEditorOf(const TFilterRow* row, bool accept)
{
    if (!FOpenEditor || !FOpenEditor->EditMode())
        return;
    // Only rows near the viewport have labels: the search stays short.
    const TFilterRow* at = nullptr;
    for (const auto& [shown, controls] : FRows)
        for (const Owned<TDropDownLabel>& label : controls.Labels)
            if (label.get() == FOpenEditor)
                at = shown;
    for (; at; at = at->ParentBracket())
        if (at == row) {
            FOpenEditor->CloseEdit(accept);
            return;
        }
}

void TVxQueryPanel::BeforeDropLabel(TFilterRow* row, TDropDownLabel* label)
{
    if (FOpenEditor != label)
        closeOpenEditor(true);
    FOpenEditor = label;
    if (!FRows.count(row))
        return;
    SetCurrentRow(row);
    FCurrentControl = labelIndex(row, label);
    SetShowFrame(false);
}

void TVxQueryPanel::AfterDropUpLabel(bool accepted)
{
    if (accepted && isVisible() && isEnabled())
        takeFocus();
    SetShowFrame(true);
}

void TVxQueryPanel::ValueDblClick(TFilterCond* condition, int valueIndex)
{
    if (!OnValueDblClick)
        return;
    QString value = condition->GetValue(valueIndex);
    FQuery->CallHandler([&] { OnValueDblClick(condition, valueIndex, value); });
}

void TVxQueryPanel::EditDblClick(TFilterCond* condition, int valueIndex, QString& text)
{
    if (OnValueDblClick)
        FQuery->CallHandler([&] { OnValueDblClick(condition, valueIndex, text); });
}

void TVxQueryPanel::ValueAltClick(TFilterCond* condition, int valueIndex)
{
    if (!FAppearance.Options().Contains(aoAllowParams))
        return;
    condition->SetValueIsParam(valueIndex, true);
    FQuery->QueryChanged();
    if (FRows.count(condition)) {
        PlaceRow(condition);
        RefreshRow(condition);
    }
}

void TVxQueryPanel::ValueRightClick(TFilterRow* row, TDropDownLabel* label)
{
    SetCurrentRow(row);
    FCurrentControl = labelIndex(row, label);
    RefreshRow(row);
    if (!FAppearance.Options().Contains(aoAllowParams))
        return;
    ValueMenuPopup();
    popupMenu(FValuePopup, label->mapToGlobal(QPoint(0, label->height())));
}

bool TVxQueryPanel::CustomDropDownHandler(TFilterCond* condition, int valueIndex, QString& value)
{
    return FQuery->EditCustomValue(condition, valueIndex == 1 ? wrValue1 : wrValue2, value);
}

bool TVxQueryPanel::EditTitles()
{
    TStringList titles = FQuery->Titles();
    if (!RunTitlesEditor(this, FQuery->DefTitles(), titles))
        return false;
    FQuery->SetTitles(titles);
    UpdateMenus();
    RefreshPanel();
    return true;
}

void TVxQueryPanel::SubQueryChanged()
{
    FQuery->QueryChanged();
}

} // namespace brindle
