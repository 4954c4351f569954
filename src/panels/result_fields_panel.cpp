#include <brindle/panels/result_fields_panel.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/drop_down_list.h>
#include <brindle/panels/drop_down_list_box.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/titles_editor.h>
#include <brindle/query/titles.h>

#include <QMenu>
#include <QScopeGuard>
#include <QScrollBar>

namespace brindle {

namespace {

enum RowMenuTag { tagDelete = 2, tagMoveUp = 3, tagMoveDown = 4 };

const TStringList& defaultTitles()
{
    static const TStringList titles{
        QStringLiteral("ttlDelField=Delete current field"), QStringLiteral("ttlMoveUp=Move Up"),
        QStringLiteral("ttlMoveDown=Move Down"),           QStringLiteral("ttlNotSorted=Not Sorted"),
        QStringLiteral("ttlAscending=Ascending"),          QStringLiteral("ttlDescending=Descending"),
        QStringLiteral("ttlClickToAdd=Click to add new field")};
    return titles;
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

} // namespace

// --- rows

TResultFieldRow::TResultFieldRow(TVxResultFieldsPanel& panel, TResultField* field) : FPanel(panel), FRField(field)
{
    if (!panel.DBStruct())
        throw ERFPanelError(LoadResString(_ERRDbStructNotDefined));
    QWidget* surface = panel.Surface();
    const TRFPAppearanceOptions options = panel.Appearance().Options();
    FButton.reset(new TRFRowButton(surface));
    FButton->setFont(panel.font());
    FButton->SetAutoSize(true);
    FButton->SetFlat(options.Contains(aoFlatButtons));
    FButton->SetRounded(options.Contains(aoRoundButtons));
    FButton->OnClick = [this](QObject*) { Guarded([this] { FPanel.RowButtonClick(this); }); };

    FSortLabel.reset(new TDropDownPopup(surface));
    styleWord(*FSortLabel, panel.font(), panel.Appearance().SortColor());
    TQueryWord& sort = FSortLabel->Word();
    sort.AddItem({}, QStringLiteral("0"), panel.GetTitle(QStringLiteral("ttlNotSorted")));
    sort.AddItem({}, QStringLiteral("1"), panel.GetTitle(QStringLiteral("ttlAscending")));
    sort.AddItem({}, QStringLiteral("2"), panel.GetTitle(QStringLiteral("ttlDescending")));
    sort.SetItemIndex(0);
    refreshOnAccept(*FSortLabel);
    SetVisible(false);
}

TResultFieldRow::~TResultFieldRow()
{
    // A word outlives its row until its event loop is done with it (the
    // list may be emptied under the word's open menu): it must not come
    // back to the row then.
    for (const QMetaObject::Connection& connection : FAccepting)
        QObject::disconnect(connection);
}

void TResultFieldRow::refreshOnAccept(TDropDownLabel& label)
{
    FAccepting.push_back(
        QObject::connect(&label, &TDropDownLabel::droppedUp, &label, [this](TDropDownLabel*, bool accepted) {
            if (accepted)
                Guarded([this] { RefreshResultField(); });
        }));
}

void TResultFieldRow::SetRField(TResultField* field)
{
    FRField = field;
    PlaceRow();
}

int TResultFieldRow::GetRowIndex() const
{
    for (int i = 0; i < FPanel.RowCount(); ++i)
        if (FPanel.Row(i) == this)
            return i;
    return -1;
}

TSortingType TResultFieldRow::GetSorting() const
{
    const int value = FSortLabel->Value().toInt();
    return value == stAscending || value == stDescending ? static_cast<TSortingType>(value) : stNoSort;
}

void TResultFieldRow::SetSorting(TSortingType sorting)
{
    FSortLabel->SetValue(QString::number(sorting));
}

bool TResultFieldRow::GetVisible() const
{
    return FVisible;
}

void TResultFieldRow::SetVisible(bool visible)
{
    FVisible = visible;
    for (QWidget* control : {static_cast<QWidget*>(FButton.get()), static_cast<QWidget*>(FTextLabel1.get()),
                             static_cast<QWidget*>(FTextLabel2.get()), static_cast<QWidget*>(FFieldLabel.get()),
                             static_cast<QWidget*>(FSortLabel.get())})
        if (control)
            control->setVisible(visible);
}

void TResultFieldRow::setText(Owned<TDropDownLabel>& label, const QString& text)
{
    if (text.isEmpty()) {
        label.reset();
        return;
    }
    if (!label) {
        label.reset(new TDropDownLabel(weNone, FPanel.Surface()));
        label->setFont(FPanel.font());
        label->setVisible(FVisible);
    }
    label->SetCaption(text.toUpper());
}

void TResultFieldRow::CreateFieldLabel()
{
    const bool popup = FPanel.Appearance().Options().Contains(aoPopupField);
    if (FFieldLabel && (qobject_cast<TDropDownPopup*>(FFieldLabel.get()) != nullptr) == popup)
        return;
    if (popup)
        FFieldLabel.reset(new TDropDownPopup(FPanel.Surface()));
    else
        FFieldLabel.reset(new TDropDownListBox(FPanel.Surface()));
    styleWord(*FFieldLabel, FPanel.font(), FPanel.Appearance().FieldColor());
    FFieldLabel->Word().LoadItems(FPanel.FieldItems());
    FFieldLabel->setVisible(FVisible);
    refreshOnAccept(*FFieldLabel);
}

void TResultFieldRow::PlaceRow()
{
    if (!FRField)
        return;
    const TRFPAppearance& look = FPanel.Appearance();
    const int height = FPanel.RowHeight();
    const int index = GetRowIndex();
    const int top = index * (look.RowSpace() + height) + look.TopMargin();
    FButton->SetCaption(QString::number(index + 1));
    FButton->move(look.LeftMargin(), top);
    FButton->resize(FButton->width(), height);
    int x = look.LeftMargin() + look.ElemSpace() + FButton->width();

    // The formula reads around its first field: "SUM(" field ")".
    const QString& formula = FRField->Formula();
    TDSField* field = FRField->DSFields().IsEmpty() ? nullptr : FRField->DSFields()[0];
    QString before = formula;
    QString after;
    if (field) {
        const qsizetype mark = formula.indexOf(QLatin1String("@1"));
        if (mark >= 0) {
            before = formula.left(mark);
            after = formula.mid(mark + 2);
        }
    }
    const auto place = [&](QWidget* control) {
        control->move(x, top);
        x += look.ElemSpace() + control->width();
    };
    setText(FTextLabel1, before);
    if (FTextLabel1)
        place(FTextLabel1.get());
    if (field) {
        CreateFieldLabel();
        TQueryWord& word = FFieldLabel->Word();
        word.SetValue(field->IDText());
        word.SetCaption(look.Options().Contains(aoShowGroupName) ? field->GetCompoundName(look.NameSeparator())
                                                                 : field->DisplayName());
        place(FFieldLabel.get());
    } else {
        FFieldLabel.reset();
    }
    setText(FTextLabel2, after);
    if (FTextLabel2)
        place(FTextLabel2.get());
    SetSorting(FRField->Sorting());
    FSortLabel->move(x, top);
}

void TResultFieldRow::RefreshResultField()
{
    TVxCustomDBStructure* model = FPanel.DBStruct();
    if (!FRField || !model)
        return;
    // Each change shows on this row through the list's notice; the row and
    // its words stay, since the word that was chosen is still in its event.
    if (FFieldLabel) {
        bool ok = false;
        TDSField* chosen = model->FieldByID(FFieldLabel->Value().toInt(&ok));
        if (ok && chosen) {
            TDSFieldList& fields = FRField->DSFields();
            if (fields.IsEmpty())
                fields.Add(chosen);
            else if (fields[0] != chosen) {
                fields.Delete(0);
                fields.Insert(0, chosen);
            }
            if (FRField->Formula() == QLatin1String("@1"))
                FRField->SetCaption(chosen->DisplayName());
        }
    }
    FRField->SetSorting(GetSorting());
    PlaceRow();
    FPanel.Changed();
    if (!FPanel.hasFocus())
        FPanel.setFocus(Qt::OtherFocusReason);
}

// --- the panel

TVxResultFieldsPanel::TVxResultFieldsPanel(QWidget* parent)
    : QScrollArea(parent), FDefTitles(defaultTitles()), FTitles(defaultTitles()),
      FResultFields(std::make_unique<TRFieldList>()), FList(FResultFields.get()), FSurface(new QWidget)
{
    setFocusPolicy(Qt::StrongFocus);
    setWidgetResizable(true);
    setWidget(FSurface);
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
    if (!query) {
        showList(FResultFields.get());
        return;
    }
    // The query's list goes with the query, before the query's destroyed
    // signal: the panel lets go of its rows without touching the list.
    FQueryGone = connect(query, &QObject::destroyed, this, [this] {
        disconnect(FQueryModel);
        FQuery = nullptr;
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
            FAddRowLabel.reset();
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
    if (!FAddRowLabel) {
        FAddRowLabel.reset(new TDropDownLabel(FSurface));
        connect(FAddRowLabel.get(), &TDropDownLabel::droppedUp, this, [this] { Guarded([this] { AddEmptyRow(); }); });
    }
    RefreshFieldsList();
}

void TVxResultFieldsPanel::Deactivate()
{
    FActive = false;
    for (const auto& row : FRows)
        row->SetVisible(false);
    if (FAddRowLabel)
        FAddRowLabel->hide();
}

void TVxResultFieldsPanel::Refresh()
{
    if (FActive)
        Activate();
    FSurface->update();
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
    const TVxCustomDBStructure* model = FDBStruct.data();
    if (FFieldItems && FFieldItemsModel == model && (!model || FFieldItemsRevision == model->Revision()))
        return FFieldItems;
    auto words = std::make_shared<WordItems>();
    const auto addGroup = [&](const TDSFieldGroup* group) {
        QList<int> indexes;
        for (TDSField* field : *group) {
            if (!field->UseInResult())
                continue;
            indexes.append(words->Items.Count());
            words->Items.Add(field->DisplayName());
            words->Values.Add(field->IDText());
        }
        if (!indexes.isEmpty())
            words->Groups.append({group->GroupName(), indexes});
    };
    if (model) {
        if (model->RootFieldsFirst())
            addGroup(model->RootGroup());
        for (const auto& group : model->FieldGroups())
            addGroup(group.get());
        if (!model->RootFieldsFirst())
            addGroup(model->RootGroup());
        words->IndexValues();
        FFieldItemsRevision = model->Revision();
    }
    FFieldItemsModel = model;
    FFieldItems = std::move(words);
    return FFieldItems;
}

int TVxResultFieldsPanel::RowHeight() const
{
    return fontMetrics().height() + 1;
}

void TVxResultFieldsPanel::RefreshFieldsList()
{
    if (FActive && FAddRowLabel)
        FAddRowLabel->hide();
    FRefreshing = true;
    const auto done = qScopeGuard([this] { FRefreshing = false; });
    dropRows();
    if (FDBStruct) {
        FRows.reserve(static_cast<std::size_t>(FList->Count()));
        for (int i = 0; i < FList->Count(); ++i) {
            FRows.push_back(std::make_unique<TResultFieldRow>(*this, FList->GetRField(i)));
            FRows.back()->PlaceRow();
            FRows.back()->SetVisible(FActive);
        }
    }
    if (FActive)
        ShowAddRow();
    updateSurfaceSize();
}

void TVxResultFieldsPanel::PlaceRows(int from)
{
    if (FAddRowLabel)
        FAddRowLabel->hide();
    for (int i = std::max(from, 0); i < RowCount(); ++i)
        Row(i)->PlaceRow();
    if (FActive)
        ShowAddRow();
    updateSurfaceSize();
}

void TVxResultFieldsPanel::ShowAddRow()
{
    if (!FAddRowLabel)
        return;
    FAddRowLabel->SetCaption(QStringLiteral("< ") + GetTitle(QStringLiteral("ttlClickToAdd"))
                             + QStringLiteral(" >"));
    FAddRowLabel->setFont(font());
    QPalette colours = FAddRowLabel->palette();
    colours.setColor(QPalette::WindowText, Qt::blue);
    FAddRowLabel->setPalette(colours);
    FAddRowLabel->resize(FAddRowLabel->sizeHint());
    if (const TResultFieldRow* last = GetLastRow()) {
        const QWidget* button = last->Button();
        FAddRowLabel->move(button->x(), button->y() + button->height() + FAppearance.RowSpace() + 2);
    } else {
        FAddRowLabel->move(FAppearance.LeftMargin(), FAppearance.TopMargin());
    }
    FAddRowLabel->show();
}

void TVxResultFieldsPanel::updateSurfaceSize()
{
    int right = 0;
    int bottom = 0;
    for (const QWidget* child : FSurface->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isHidden()) {
            right = std::max(right, child->geometry().right());
            bottom = std::max(bottom, child->geometry().bottom());
        }
    FSurface->setMinimumSize(right + FAppearance.LeftMargin(), bottom + FAppearance.TopMargin());
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
    FList->Move(from, to);
    RefreshSortOrder();
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

void TVxResultFieldsPanel::takeFocus()
{
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
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

// --- the list's notices

// An inactive panel that has no rows yet makes them all when activated;
// otherwise the rows mirror the list entry for entry.
void TVxResultFieldsPanel::RFieldInserted(int index)
{
    if (!FDBStruct || FRefreshing || (!FActive && FRows.empty()))
        return;
    auto row = std::make_unique<TResultFieldRow>(*this, FList->GetRField(index));
    TResultFieldRow* made = row.get();
    FRows.insert(FRows.begin() + index, std::move(row));
    made->SetVisible(FActive);
    PlaceRows(index);
}

void TVxResultFieldsPanel::RFieldAboutToBeRemoved(int index)
{
    if (index < 0 || index >= RowCount())
        return;
    if (FCurrentRow == Row(index))
        FCurrentRow = nullptr;
    FRows.erase(FRows.begin() + index);
    PlaceRows(index);
}

void TVxResultFieldsPanel::RFieldMoved(int from, int to)
{
    if (from < 0 || to < 0 || from >= RowCount() || to >= RowCount())
        return;
    auto row = std::move(FRows[static_cast<std::size_t>(from)]);
    FRows.erase(FRows.begin() + from);
    FRows.insert(FRows.begin() + to, std::move(row));
    PlaceRows(std::min(from, to));
}

void TVxResultFieldsPanel::RFieldChanged(int index)
{
    if (index >= 0 && index < RowCount())
        Row(index)->PlaceRow();
    updateSurfaceSize();
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
