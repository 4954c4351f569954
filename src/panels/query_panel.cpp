#include <brindle/panels/query_panel.h>

#include <brindle/panels/drop_down_list_box.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/word_labels.h>

#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

namespace brindle {

TVxFlatCheckBox::TVxFlatCheckBox(QWidget* parent) : QCheckBox(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

TQueryWord* TVxQueryPanel::RowWord(const TFilterRow* row, int index)
{
    const std::optional<TWordRole> role = row->RoleOfIndex(index);
    return role ? row->Word(*role) : nullptr;
}

TVxQueryPanel::TVxQueryPanel(QWidget* parent)
    : TSentenceRows(parent), FQuery(std::make_unique<TVxQuery>()), FAppearance(this)
{
    Surface()->setAutoFillBackground(true);
    FQuery->SetView(this);
    // Before the panel's own connections, so that a host hearing changed()
    // finds the step already taken.
    followHistory(FQuery.get());
    connectQuery();
    createMenus();
}

TVxQueryPanel::~TVxQueryPanel()
{
    // Labels let go of their words while the words still exist.
    dropAllControls();
    FQuery->SetView(nullptr);
    FQuery.reset();
}

void TVxQueryPanel::connectQuery()
{
    TVxQuery* query = FQuery.get();
    connect(query, &TVxQuery::rowInserted, this, [this](TFilterBracket* parent, int index) {
        if (Active())
            PlaceAllRows();
        // Current once placed: a row added far away gets its controls when
        // the selection scrolls to it, not on every insert.
        rowAdded(parent->GetRow(index));
    });
    connect(query, &TVxQuery::rowAboutToBeRemoved, this, [this](TFilterBracket* parent, int index) {
        rowGoing(parent->GetRow(index));
        dropTreeControls(parent->GetRow(index));
        // The row is still in the tree: the rest moves up once it is gone.
        QMetaObject::invokeMethod(this, [this] { PlaceAllRows(); }, Qt::QueuedConnection);
    });
    connect(query, &TVxQuery::rowMoved, this, [this](TFilterRow*, TFilterBracket*, int) { PlaceAllRows(); });
    // A button shows its row's number.
    connect(query, &TVxQuery::rowsRenumbered, this, [this](TFilterBracket*) { PlaceAllRows(); });
    connect(query, &TVxQuery::rowWordsReplaced, this, [this](TFilterRow* row) {
        const auto found = FRows.find(row);
        if (found == FRows.end())
            return;
        makeLabels(row, found->second);
        showRow(row, found->second);
        PlaceRow(row);
    });
    connect(query, &TVxQuery::rowWordChanged, this, [this](TFilterRow* row, TQueryWord*) {
        const auto found = FRows.find(row);
        if (found == FRows.end())
            return;
        // A row's words follow its enabled state, and so does its box.
        if (found->second.CheckBox)
            found->second.CheckBox->setChecked(row->GetEnabled());
        PlaceRow(row);
    });
    connect(query, &TVxQuery::treeAboutToBeReset, this, [this] {
        // The rows may all go; a root that stays stays current.
        FCurrentRootBeforeReset = FCurrentRow == FQuery->Filter() ? FQuery->Filter() : nullptr;
        FCurrentRow = nullptr;
        FLostLine = -1;
        dropAllControls();
    });
    connect(query, &TVxQuery::treeReset, this, [this] {
        if (FCurrentRootBeforeReset == FQuery->Filter())
            FCurrentRow = FQuery->Filter();
        FCurrentRootBeforeReset = nullptr;
        rebuild();
    });
    connect(query, &TVxQuery::editorCloseRequested, this,
            [this](TFilterRow* row, bool accept) { closeEditorOf(row, accept); });
    connect(query, &TVxQuery::changed, this, &TVxQueryPanel::changed);
}

QString TVxQueryPanel::GetTitle(const QString& name) const
{
    return FQuery->GetTitle(name);
}

void TVxQueryPanel::SetShowFrame(bool show)
{
    FShowFrame = show;
    Surface()->update();
}

void TVxQueryPanel::setSpacing(int& member, int value)
{
    if (member == value)
        return;
    member = value;
    if (Active())
        PlaceAllRows();
}

void TVxQueryPanel::setTitleLines(const QStringList& lines)
{
    FQuery->SetTitles(TStringList(lines));
    UpdateMenus();
    RefreshPanel();
}

Published::AppearanceOptions TVxQueryPanel::options() const
{
    return Published::ToFlags<Published::AppearanceOptions>(FAppearance.Options());
}

void TVxQueryPanel::setOptions(Published::AppearanceOptions options)
{
    FAppearance.SetOptions(Published::ToSet<TQPAppearanceOptions>(options));
}

Published::LinkTypes TVxQueryPanel::linkTypes() const
{
    return Published::ToFlags<Published::LinkTypes>(FAppearance.LinkTypes());
}

void TVxQueryPanel::setLinkTypes(Published::LinkTypes types)
{
    FAppearance.SetLinkTypes(Published::ToSet<TFilterLinkTypes>(types));
}

Published::LogicalOperatorStyle TVxQueryPanel::logOpStyle() const
{
    return static_cast<Published::LogicalOperatorStyle>(FAppearance.LogOpStyle());
}

void TVxQueryPanel::setLogOpStyle(Published::LogicalOperatorStyle style)
{
    FAppearance.SetLogOpStyle(static_cast<TLogicalOperatorStyle>(style));
}

int TVxQueryPanel::GetRowHeight() const
{
    return fontMetrics().height() + 1;
}

void TVxQueryPanel::SetActive(bool active)
{
    FQuery->SetActive(active);
}

void TVxQueryPanel::ActiveChanged(TVxQuery&)
{
    // An activated panel starts at the root, or at the first condition
    // under a hidden root.
    FCurrentRow = !Active()                                       ? nullptr
                  : FAppearance.Options().Contains(aoHideRootRow) ? FQuery->Filter()->GetFirstCondition()
                                                                  : static_cast<TFilterRow*>(FQuery->Filter());
    FLostLine = -1;
    FCurrentControl = 0;
    if (Active())
        UpdateMenus();
    rebuild();
    if (OnActive)
        OnActive(this);
}

void TVxQueryPanel::QueryChanged(TVxQuery& query)
{
    IQueryView::QueryChanged(query);
    Surface()->update();
}

void TVxQueryPanel::rebuild()
{
    dropAllControls();
    if (!Active()) {
        Surface()->update();
        return;
    }
    resetWidest();
    recreateAddRowLabel();
    PlaceAllRows();
}

void TVxQueryPanel::RefreshPanel()
{
    if (!Active())
        return;
    TStringList lines;
    FQuery->SaveToStrings(lines);
    SetActive(false);
    try {
        FQuery->RecreateRootBracket();
    } catch (...) {
        // A root title the query refuses: the old tree stays and shows again.
        SetActive(true);
        throw;
    }
    SetActive(true);
    FQuery->LoadFromStrings(lines);
}

void TVxQueryPanel::makeControls(TFilterRow* row)
{
    RowControls& controls = FRows[row];
    if (!controls.Button) {
        controls.Button.reset(new TFilterBtn(Surface()));
        controls.Button->SetAutoSize(true);
        controls.Button->SetFlat(FAppearance.Options().Contains(aoFlatButtons));
        controls.Button->SetRounded(FAppearance.Options().Contains(aoRoundButtons));
        if (FAppearance.ButtonColor().isValid()) {
            QPalette shades = controls.Button->palette();
            shades.setColor(QPalette::Button, FAppearance.ButtonColor());
            controls.Button->setPalette(shades);
        }
        controls.Button->OnClick = [this, row](QObject*) {
            Guarded([&] {
                if (row == FQuery->Filter())
                    MainButtonClick();
                else
                    RowButtonClick(row);
            });
        };
    }
    if (!controls.CheckBox && row != FQuery->Filter()) {
        controls.CheckBox.reset(new TVxFlatCheckBox(Surface()));
        controls.CheckBox->setChecked(row->GetEnabled());
        // Only the user's clicks: the box also follows the row's state.
        connect(controls.CheckBox.get(), &QCheckBox::clicked, this,
                [this, row](bool checked) { Guarded([&] { CheckBoxClick(row, checked); }); });
    }
    makeLabels(row, controls);
    showRow(row, controls);
}

void TVxQueryPanel::makeLabels(TFilterRow* row, RowControls& controls)
{
    for (TWordRole role : SentenceOrder) {
        Owned<TDropDownLabel>& label = controls.Labels[role];
        TQueryWord* word = row->Word(role);
        if (label) {
            // A replaced word is already freed: the label forgets it unseen.
            const bool same = word && &label->Word() == word && LabelFitsEditor(*label, word->Editor());
            label->ForgetWord();
            if (same) {
                label->BindWord(word);
                continue;
            }
            label.reset();
        }
        if (!word)
            continue;
        label.reset(CreateWordLabel(*word, Surface()).release());
        QFont shown = font();
        shown.setUnderline(word->Editor() != weNone);
        label->setFont(shown);
        // A disabled word keeps the style's disabled look.
        QPalette colours = label->palette();
        const QColor colour = wordColor(role);
        if (colour.isValid()) {
            colours.setColor(QPalette::Active, QPalette::WindowText, colour);
            colours.setColor(QPalette::Inactive, QPalette::WindowText, colour);
        }
        label->setPalette(colours);
        label->SetImages(FImages);
        label->SetBiDiMode(layoutDirection());
        if (auto* popup = qobject_cast<TDropDownPopup*>(label.get()))
            popup->SetMaxItemCount(FQuery->MaxPopupItemCount());
        if (auto* list = qobject_cast<TDropDownCustomListBox*>(label.get()))
            list->SetUseForm(FIsActiveX);
        wireLabel(row, label.get());
    }
}

QColor TVxQueryPanel::wordColor(TWordRole role) const
{
    switch (role) {
    case wrLinkType:
    case wrLogicalOperator:
        return FAppearance.BoolOpColor();
    case wrField:
        return FAppearance.FieldColor();
    case wrOperator:
        return FAppearance.OperatorColor();
    case wrValue1:
    case wrValue2:
        return FAppearance.ValueColor();
    default:
        return {};
    }
}

void TVxQueryPanel::dropControls(TFilterRow* row)
{
    const auto found = FRows.find(row);
    if (found == FRows.end())
        return;
    // The words are still there: the labels let go of them properly.
    for (Owned<TDropDownLabel>& label : found->second.Labels)
        if (label)
            label->BindWord(nullptr);
    FRows.erase(found);
}

void TVxQueryPanel::dropTreeControls(TFilterRow* row)
{
    dropControls(row);
    if (!row->IsBracket())
        return;
    auto* bracket = static_cast<TFilterBracket*>(row);
    for (int i = 0; i < bracket->GetRowCount(); ++i)
        dropTreeControls(bracket->GetRow(i));
}

void TVxQueryPanel::dropAllControls()
{
    for (auto& [row, controls] : FRows)
        for (Owned<TDropDownLabel>& label : controls.Labels)
            if (label)
                label->BindWord(nullptr);
    FRows.clear();
    dropAddRowLabel();
}

bool TVxQueryPanel::rowShown(const TFilterRow* row) const
{
    const bool root = row == FQuery->Filter();
    return Active() && !row->Hidden() && !(root && FAppearance.Options().Contains(aoHideRootRow));
}

void TVxQueryPanel::showRow(TFilterRow* row, RowControls& controls)
{
    const bool root = row == FQuery->Filter();
    const TQPAppearanceOptions options = FAppearance.Options();
    const bool shown = rowShown(row);
    controls.Button->setVisible(shown && (root || !options.Contains(aoHideRowButtons)));
    if (controls.CheckBox) {
        controls.CheckBox->setVisible(shown && options.Contains(aoShowCheckBoxes));
        controls.CheckBox->setChecked(row->GetEnabled());
    }
    for (Owned<TDropDownLabel>& label : controls.Labels)
        if (label) {
            label->SetOwnerShown(shown);
            label->setEnabled(row->GetEnabled() && label->Word().Enabled());
        }
}

void TVxQueryPanel::recreateAddRowLabel()
{
    const TQPAppearanceOptions options = FAppearance.Options();
    if (options.Contains(aoFieldsMenuOnAdd)) {
        auto* popup = new TDropDownPopup(Surface());
        popup->SetMaxItemCount(FQuery->MaxPopupItemCount());
        FQuery->FillFieldsList(popup->Word(), FQuery->Filter());
        popup->SetChoiceOnly(true);
        connect(popup, &TDropDownLabel::valueAccepted, this, [this](TDropDownLabel*, const QString& value) {
            Guarded([&] {
                bool ok = false;
                const int id = value.toInt(&ok);
                TDSField* field = ok && FQuery->DbStruct() ? FQuery->DbStruct()->FieldByID(id) : nullptr;
                if (field)
                    ProcessAddRowClick(field);
            });
        });
        setAddRowLabel(popup);
    } else {
        auto* line = new TDropDownLabel(Surface());
        // The line opens nothing itself: once it closed, the click adds a row.
        connect(line, &TDropDownLabel::droppedUp, this,
                [this] { Guarded([this] { AddRowLabelMouseDown(Qt::LeftButton); }); });
        connect(line, &TDropDownLabel::rightClicked, this,
                [this] { Guarded([this] { AddRowLabelMouseDown(Qt::RightButton); }); });
        setAddRowLabel(line);
    }
    styleAddRowLabel(FAppearance.AddRowColor());
    AddRowLabel()->SetOwnerShown(options.Contains(aoShowAddRow));
}

TFilterCond* TVxQueryPanel::ProcessAddRowClick(TDSField* field)
{
    TFilterRow* current = CurrentRow();
    TFilterBracket* bracket = current && current->ParentBracket() ? current->ParentBracket() : FQuery->Filter();
    TFilterCond* added = FQuery->AddCondition(bracket, field);
    if (added) {
        SetCurrentRow(added);
        showSelection(added);
    }
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
    return added;
}

int TVxQueryPanel::RowSlot(const TFilterRow* row) const
{
    const int number = row->RowNum();
    return FAppearance.Options().Contains(aoHideRootRow) ? number - 1 : number;
}

int TVxQueryPanel::rowStep() const
{
    // Row buttons size themselves to the panel's font: a row is as high as its text.
    return GetRowHeight() + 3 + FRowSpace;
}

void TVxQueryPanel::PlaceAllRows()
{
    // Which rows show "and" or "or" depends on their neighbours.
    if (Active())
        FQuery->Filter()->UpdateLogOpLabel();
    // Controls live only near the viewport, a screen above and below it;
    // the root and the current row keep theirs wherever they are.
    const SlotRange nearby = nearSlots();
    // Read once: the walk visits every row.
    const int hidden = FAppearance.Options().Contains(aoHideRootRow) ? 1 : 0;
    const TFilterRow* current = CurrentRow();
    std::vector<TFilterRow*> stack{FQuery->Filter()};
    while (!stack.empty()) {
        TFilterRow* row = stack.back();
        stack.pop_back();
        const int slot = row->RowNum() - hidden;
        const bool near = nearby.Contains(slot);
        if (Active() && (near || row == FQuery->Filter() || row == current)) {
            if (!FRows.count(row))
                makeControls(row);
            PlaceRow(row);
        } else {
            dropControls(row);
        }
        if (row->IsBracket()) {
            auto* bracket = static_cast<TFilterBracket*>(row);
            for (int i = bracket->GetRowCount() - 1; i >= 0; --i)
                stack.push_back(bracket->GetRow(i));
        }
    }
    PlaceAddRow();
    updateSurfaceSize();
    Surface()->update();
}

void TVxQueryPanel::PlaceRow(TFilterRow* row)
{
    const auto found = FRows.find(row);
    if (found == FRows.end())
        return;
    RowControls& controls = found->second;
    const bool root = row == FQuery->Filter();
    const int slot = RowSlot(row);
    if (slot < 0)
        return;
    const TQPAppearanceOptions options = FAppearance.Options();
    TFilterBtn& button = *controls.Button;
    int top;
    int x;
    if (!root) {
        button.SetCaption(row->RowID().chopped(row->RowID().isEmpty() ? 0 : 1));
        top = rowTop(slot);
        x = FTabSpace * row->GetRowLevel() + FHeadLeft;
    } else {
        const int height = GetRowHeight();
        if (!FAppearance.MainBtnCaption().isEmpty()) {
            button.SetCaption(FAppearance.MainBtnCaption());
            button.resize(button.width(), height);
        } else {
            button.SetAutoSize(false);
            button.SetCaption({});
            button.resize(height, height);
        }
        top = FHeadTop;
        x = FHeadLeft;
    }
    if (button.height() > button.width())
        button.resize(button.height(), button.height());

    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const int clientWidth = viewport()->width();
    if (rtl)
        x = clientWidth - x - 5;
    const auto place = [&](QWidget& control, int controlTop) {
        if (rtl) {
            control.move(x - control.width(), controlTop);
            x -= control.width() + FElemSpace;
        } else {
            control.move(x, controlTop);
            x += control.width() + FElemSpace;
        }
    };

    if (controls.CheckBox) {
        const int size = style()->pixelMetric(QStyle::PM_IndicatorWidth);
        const int height = style()->pixelMetric(QStyle::PM_IndicatorHeight);
        controls.CheckBox->resize(size, height);
        const int left = rtl ? clientWidth - FHeadLeft - size - 5 : FHeadLeft;
        controls.CheckBox->move(left, top + (GetRowHeight() - height) / 2);
    }
    if (!root && options.Contains(aoHideRowButtons))
        x += rtl ? -FElemSpace : FElemSpace;
    else
        place(button, top);

    TDropDownLabel* logOp = controls.Labels[wrLogicalOperator].get();
    const bool firstInBracket = root || row->GetIndex() == 0;
    if (logOp && FQuery->LogOpStyle() == losBeforeCond && !firstInBracket)
        place(*logOp, top);
    bool first = true;
    for (TWordRole role : SentenceOrder) {
        TDropDownLabel* label = role == wrLogicalOperator ? nullptr : controls.Labels[role].get();
        if (!label)
            continue;
        // An empty first word (the hidden root's caption) takes no room.
        if (first && label->width() == 0)
            label->move(rtl ? x - label->width() : x, top);
        else
            place(*label, top);
        first = false;
    }
    if (logOp && FQuery->LogOpStyle() == losAfterCond)
        place(*logOp, top);
    // Assistive technology reads the row as its sentence.
    const QString sentence = FQuery->RowText(row).trimmed();
    button.setAccessibleName(sentence);
    if (controls.CheckBox)
        controls.CheckBox->setAccessibleName(sentence);
    for (Owned<TDropDownLabel>& label : controls.Labels)
        if (label)
            label->setAccessibleDescription(sentence);
    if (!rtl)
        noteRowRight(x);
}

TFilterRow* TVxQueryPanel::lastPlacedRow() const
{
    TFilterRow* row = FQuery->Filter();
    while (row->IsBracket()) {
        auto* bracket = static_cast<TFilterBracket*>(row);
        if (bracket->GetRowCount() == 0)
            break;
        row = bracket->GetLastRow();
    }
    return row;
}

void TVxQueryPanel::PlaceAddRow()
{
    TDropDownLabel* line = AddRowLabel();
    if (!line)
        return;
    line->setFont(font());
    line->resize(line->sizeHint());
    // Under the last row's button, wherever that row's controls are.
    const TFilterRow* last = lastPlacedRow();
    const int indent = last == FQuery->Filter() ? FHeadLeft : FTabSpace * last->GetRowLevel() + FHeadLeft;
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const int left = rtl ? viewport()->width() - indent - 5 - line->width() : indent;
    const bool empty = FQuery->Filter()->GetRowCount() == 0;
    const QRect lastRect = GetRowRect(last);
    const int top = empty && FAppearance.Options().Contains(aoHideRootRow)
                        ? FHeadTop + 2
                        : lastRect.top() + lastRect.height() + FRowSpace + 2;
    line->move(left, top);
}

QRect TVxQueryPanel::GetRowRect(const TFilterRow* row) const
{
    const int slot = RowSlot(row);
    if (!Active() || slot < 0)
        return {};
    return {0, rowTop(slot) - 2, Surface()->width(), GetRowHeight() + 4};
}

void TVxQueryPanel::RefreshRow(TFilterRow* row)
{
    Surface()->update(GetRowRect(row));
}

TFilterBtn* TVxQueryPanel::RowButton(const TFilterRow* row) const
{
    const auto found = FRows.find(row);
    return found == FRows.end() ? nullptr : found->second.Button.get();
}

TVxFlatCheckBox* TVxQueryPanel::RowCheckBox(const TFilterRow* row) const
{
    const auto found = FRows.find(row);
    return found == FRows.end() ? nullptr : found->second.CheckBox.get();
}

TDropDownLabel* TVxQueryPanel::GetRowControl(const TFilterRow* row, int index) const
{
    const auto found = FRows.find(row);
    const std::optional<TWordRole> role = row->RoleOfIndex(index);
    if (found == FRows.end() || !role)
        return nullptr;
    return found->second.Labels[*role].get();
}

void TVxQueryPanel::updateSurfaceSize()
{
    // The height follows the rows; the width is the widest row placed so far.
    TSentenceRows::updateSurfaceSize(Active() ? GetRowRect(lastPlacedRow()).bottom() : 0, FHeadLeft, FHeadTop);
}

void TVxQueryPanel::paintSurface(QPainter& painter)
{
    painter.fillRect(Surface()->rect(), palette().color(QPalette::Window));
    TFilterRow* current = CurrentRow();
    if (!Active() || !current || !FAppearance.Options().Contains(aoAllowKeyboard))
        return;
    if (!rowShown(current))
        return;
    painter.fillRect(GetRowRect(current), FAppearance.ActiveRowColor());
    const int index = FCurrentControl;
    if (!FShowFrame || index <= 0)
        return;
    const QWidget* selected = GetRowControl(current, index);
    if (!selected || selected->isHidden())
        return;
    painter.setPen(FAppearance.ControlBorderColor());
    painter.drawRect(selected->geometry().adjusted(-2, -2, 1, 1));
}

bool TVxQueryPanel::surfaceMouseDown()
{
    MouseDown();
    return true;
}

void TVxQueryPanel::changeEvent(QEvent* event)
{
    TSentenceRows::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        Guarded([this] { RefreshPanel(); });
        break;
    case QEvent::LayoutDirectionChange:
        Guarded([this] { PlaceAllRows(); });
        break;
    case QEvent::EnabledChange:
        if (AddRowLabel())
            AddRowLabel()->setEnabled(isEnabled());
        break;
    default:
        break;
    }
}

} // namespace brindle
