// Rows of the condition tree: identifiers, brackets, moving, enabling and
// deleting. What happens inside a condition when its field, operator or
// values change is in condition_editing.cpp.

#include <brindle/query/condition_tree.h>

#include <brindle/foundations/messages.h>
#include <brindle/query/query.h>
#include <brindle/query/query_repair_p.h>
#include <brindle/foundations/text_utils.h>

namespace brindle {

// --- TFilterRow

TFilterRow::TFilterRow(TVxQuery* queryPanel, TFilterBracket* parentBracket, TFilterRowType rowType)
    : FRowType(rowType), FParentBracket(parentBracket), FQueryPanel(queryPanel)
{
    queryPanel->rowMade(this);
}

TQueryWord* TFilterRow::Label9() const
{
    if (!FLabel9) {
        auto word = std::make_unique<TQueryWord>(wePopup);
        FQueryPanel->FillLinkWordList(*word);
        word->SetVisible(false);
        word->SetEnabled(FEnabled);
        auto* self = const_cast<TFilterRow*>(this);
        self->putWord(FLabel9, std::move(word));
        FQueryPanel->notifyWordsReplaced(self);
    }
    return FLabel9.get();
}

TFilterRow::~TFilterRow()
{
    FRowState = rsDestroying;
    FQueryPanel->rowFreed(this);
}

void TFilterRow::putWord(std::unique_ptr<TQueryWord>& slot, std::unique_ptr<TQueryWord> word)
{
    if (word)
        word->FRow = this;
    slot = std::move(word);
}

bool TFilterRow::UsesAnyOf(const TModelRemoval&) const { return false; }

void TFilterRow::dropModelReferences() { FOrphaned = true; }

void TFilterRow::refreshModelWords() {}

int TFilterRow::GetRowLevel() const
{
    return static_cast<int>(FRowID.count(u'.'));
}

int TFilterRow::GetIndex() const
{
    return FParentBracket ? FParentBracket->IndexOf(this) : 0;
}

int TFilterRow::RowNum() const
{
    FQueryPanel->EnsureRowNums();
    return FRowNum;
}

void TFilterRow::SetEnabled(bool enabled)
{
    FEnabled = enabled;
    EnabledChanged();
}

void TFilterRow::EnabledChanged()
{
    showEnabled();
    FQueryPanel->QueryChanged();
}

void TFilterRow::showEnabled()
{
    for (TQueryWord* word : {FLabel1.get(), FLabel2.get(), FLabel3.get(), FLabel4.get(), FLabel5.get(), FLabel9.get()})
        if (word)
            word->SetEnabled(FEnabled);
}

void TFilterRow::takeDisabledState()
{
    FEnabled = false;
    showEnabled();
    if (IsBracket())
        for (const auto& row : static_cast<TFilterBracket*>(this)->FRows)
            row->takeDisabledState();
}

void TFilterRow::UpdateLogOpLabel() {}

bool TFilterRow::GetIsHavingRow() const { return false; }

void TFilterRow::CloseEdit(bool accept)
{
    FQueryPanel->CallHost([&] { emit FQueryPanel->editorCloseRequested(this, accept); });
}

void TFilterRow::MoveUp()
{
    if (!FParentBracket)
        return;
    const int index = GetIndex();
    if (index > 0) {
        FParentBracket->FRows.Move(index, index - 1);
        FQueryPanel->RowsChanged();
        FQueryPanel->notifyRowMoved(this, FParentBracket, index);
    }
}

void TFilterRow::MoveDown()
{
    if (!FParentBracket)
        return;
    const int index = GetIndex();
    if (index < FParentBracket->GetRowCount() - 1) {
        FParentBracket->FRows.Move(index, index + 1);
        FQueryPanel->RowsChanged();
        FQueryPanel->notifyRowMoved(this, FParentBracket, index);
    }
}

void TFilterRow::MoveLeft()
{
    TFilterBracket* parent = FParentBracket;
    if (!parent || !parent->FParentBracket)
        return;
    TFilterBracket* grandparent = parent->FParentBracket;
    const int index = GetIndex();
    const int parentIndex = parent->GetIndex();
    grandparent->placeRow(parentIndex + 1, parent->takeRow(index));
    FQueryPanel->notifyRowMoved(this, parent, index);
    // An emptied bracket goes, whatever the non-empty option says.
    if (parent->GetRowCount() == 0) {
        FQueryPanel->notifyRowRemoving(grandparent, parentIndex);
        grandparent->FRows.Delete(parentIndex);
    }
    FQueryPanel->RowsChanged();
    FQueryPanel->QueryChanged();
}

void TFilterRow::MoveRight()
{
    TFilterBracket* parent = FParentBracket;
    if (!parent)
        return;
    const int index = GetIndex();
    TFilterRow* before = index > 0 ? parent->GetRow(index - 1) : nullptr;
    TFilterBracket* bracket = before && before->IsBracket() ? static_cast<TFilterBracket*>(before) : nullptr;
    if (!bracket) {
        // Host code runs as the new bracket joins: the row may go meanwhile.
        bracket = parent->InsertNewBracket(index);
        if (FParentBracket != parent || !FAttached || parent->GetRow(index + 1) != this)
            return;
    }
    bracket->placeRow(bracket->GetRowCount(), parent->takeRow(GetIndex()));
    FQueryPanel->notifyRowMoved(this, parent, index);
    FQueryPanel->RowsChanged();
    FQueryPanel->QueryChanged();
}

// --- TFilterBracket

TFilterBracket::TFilterBracket(TVxQuery* queryPanel, TFilterBracket* parentBracket)
    : TFilterRow(queryPanel, parentBracket, frtBracket),
      FLinkType(parentBracket ? queryPanel->DefaultLinkType() : fltAll)
{
    const TVxQuery::BracketWords& title = queryPanel->BracketTitle(parentBracket == nullptr);
    if (!title.HasAt) {
        if (parentBracket)
            throw EVxQueryPanelError(5, LoadResString(_SQPEInvalidStrFmt));
        throw EVxQueryPanelError(4, LoadResString(_SQPEInvalidFltrTitle));
    }
    putWord(FLabel1, std::make_unique<TQueryWord>(weNone));
    putWord(FLabel3, std::make_unique<TQueryWord>(weNone));
    putWord(FLabel2, std::make_unique<TQueryWord>(wePopup));
    showTitleWords();
}

void TFilterBracket::showTitleWords()
{
    const TVxQuery::BracketWords& title = FQueryPanel->BracketTitle(FParentBracket == nullptr);
    // A title without "@" is refused where a bracket is made; the words
    // keep what they show.
    if (!title.HasAt)
        return;
    FLabel1->SetCaption(title.Before);
    FLabel3->SetCaption(title.After);
    FLabel2->LoadItems(FQueryPanel->LinkTypeItems());
    FLabel2->SetValue(FQueryPanel->LinkTypeWord(FLinkType));
}

TFilterBracket::~TFilterBracket()
{
    FRowState = rsDestroying;
    // Children go from the last to the first, while this bracket still exists.
    while (!FRows.IsEmpty())
        FRows.Delete(FRows.Count() - 1);
}

void TFilterBracket::SetLinkType(TFilterLinkType linkType)
{
    FLinkType = linkType;
    FLabel2->SetValue(FQueryPanel->LinkTypeWord(linkType));
    UpdateLogOpLabel();
    FQueryPanel->QueryChanged();
}

int TFilterBracket::GetLastRowNum() const
{
    const TFilterRow* last = GetLastRow();
    return last ? last->RowNum() : RowNum();
}

void TFilterBracket::InsertRow(int index, std::unique_ptr<TFilterRow> row)
{
    if (row->FOrphaned) {
        // Its field or condition went while it was out of the tree.
        row->FParentBracket = this;
        FQueryPanel->FRepair->SetAside(std::move(row));
        return;
    }
    // A disabled bracket holds disabled rows only: one enabled row would
    // enable it again when the text is read back.
    if (!FEnabled && row->FEnabled)
        row->takeDisabledState();
    placeRow(index, std::move(row));
    FQueryPanel->notifyRowInserted(this, index);
    FQueryPanel->QueryChanged();
}

int TFilterBracket::AddRow(std::unique_ptr<TFilterRow> row)
{
    const int index = GetRowCount();
    InsertRow(index, std::move(row));
    return index;
}

TFilterBracket* TFilterBracket::AddNewBracket() { return InsertNewBracket(GetRowCount()); }

TFilterCond* TFilterBracket::AddCond(TDSField* field)
{
    auto cond = std::make_unique<TSimpleCond>(FQueryPanel, this, field);
    TFilterCond* raw = cond.get();
    AddRow(std::move(cond));
    return raw;
}

TFilterCond* TFilterBracket::AddCustomCond(TDSCondition* condition)
{
    auto cond = std::make_unique<TCustomCond>(FQueryPanel, this, condition);
    TFilterCond* raw = cond.get();
    AddRow(std::move(cond));
    return raw;
}

TFilterBracket* TFilterBracket::InsertNewBracket(int index)
{
    auto bracket = std::make_unique<TFilterBracket>(FQueryPanel, this);
    TFilterBracket* raw = bracket.get();
    InsertRow(index, std::move(bracket));
    return raw;
}

TFilterBracket* TFilterBracket::InsertNewBracketByNum(int num) { return InsertNewBracket(IndexForNewRow(num)); }

TFilterCond* TFilterBracket::InsertSimpleCondByNum(int num)
{
    auto cond = std::make_unique<TSimpleCond>(FQueryPanel, this);
    TFilterCond* raw = cond.get();
    InsertRow(IndexForNewRow(num), std::move(cond));
    return raw;
}

TFilterCond* TFilterBracket::InsertCustomCondByNum(int num, TDSCondition* condition)
{
    auto cond = std::make_unique<TCustomCond>(FQueryPanel, this, condition);
    TFilterCond* raw = cond.get();
    InsertRow(IndexForNewRow(num), std::move(cond));
    return raw;
}

int TFilterBracket::IndexByRowNum(int num) const
{
    for (int i = 0; i < GetRowCount(); ++i)
        if (GetRow(i)->RowNum() == num)
            return i;
    return -1;
}

int TFilterBracket::IndexForNewRow(int num) const
{
    if (FRows.IsEmpty() || num < GetFirstRow()->RowNum())
        return 0;
    if (num <= GetLastRow()->RowNum())
        return IndexByRowNum(num);
    return GetRowCount();
}

void TFilterBracket::DeleteRow(int index)
{
    // A bracket that empties itself may go with the row; keep the query.
    TVxQuery* query = FQueryPanel;
    InternalDeleteRow(index);
    query->QueryChanged();
}

void TFilterBracket::InternalDeleteRow(int index)
{
    FQueryPanel->notifyRowRemoving(this, index);
    FRows.Delete(index);
    FQueryPanel->RowsChanged();
    // The rows after it move up a number, and views show numbers.
    FQueryPanel->EnumerateBracket(this);
    if (FParentBracket && FQueryPanel->AppearanceOptions().Contains(aoNonEmptyBrackets) && FRows.IsEmpty())
        FParentBracket->InternalDeleteRow(GetIndex()); // frees this bracket: nothing may follow
}

std::unique_ptr<TFilterRow> TFilterBracket::takeRow(int index)
{
    std::unique_ptr<TFilterRow> row = FRows.Extract(index);
    row->FAttached = false;
    return row;
}

void TFilterBracket::placeRow(int index, std::unique_ptr<TFilterRow> row)
{
    TFilterRow* raw = row.get();
    raw->FParentBracket = this;
    FRows.Insert(index, std::move(row));
    raw->FAttached = true;
    raw->FRowID = FRowID;
    AppendNumber(raw->FRowID, index + 1);
    raw->FRowID.append(u'.');
    FQueryPanel->RowsChanged();
}

std::unique_ptr<TFilterRow> TFilterBracket::ExtractRow(int index)
{
    GetRow(index);
    FQueryPanel->notifyRowRemoving(this, index);
    std::unique_ptr<TFilterRow> row = FRows.Extract(index);
    row->FAttached = false;
    FQueryPanel->RowsChanged();
    FQueryPanel->EnumerateBracket(this);
    return row;
}

void TFilterBracket::ClearRows()
{
    while (!FRows.IsEmpty()) {
        FQueryPanel->notifyRowRemoving(this, FRows.Count() - 1);
        FRows.Delete(FRows.Count() - 1);
    }
    FQueryPanel->RowsChanged();
    FQueryPanel->QueryChanged();
}

TFilterRow* TFilterBracket::RowByID(const QString& id) const
{
    const qsizetype point = id.indexOf(u'.');
    bool ok = false;
    const int n = point < 0 ? 0 : id.left(point).toInt(&ok);
    if (point < 0 || !ok)
        throw EConvertError(QStringLiteral("'%s' is not a valid integer value"),
                            {point < 0 ? id : id.left(point)});
    if (n < 1 || n > GetRowCount())
        return nullptr;
    TFilterRow* row = GetRow(n - 1);
    const QString rest = id.mid(point + 1);
    if (rest.isEmpty())
        return row;
    return row->IsBracket() ? static_cast<TFilterBracket*>(row)->RowByID(rest) : nullptr;
}

TFilterCond* TFilterBracket::GetFirstCondition() const
{
    for (const auto& row : FRows) {
        if (!row->IsBracket())
            return static_cast<TFilterCond*>(row.get());
        if (TFilterCond* cond = static_cast<TFilterBracket*>(row.get())->GetFirstCondition())
            return cond;
    }
    return nullptr;
}

void TFilterBracket::CheckIfAllDisabled()
{
    // A text being read gives every row its state as it was saved.
    if (FEnabledChanging || FQueryPanel->State() == stLoading)
        return;
    FProcessChildren = false;
    bool allDisabled = true;
    for (const auto& row : FRows)
        allDisabled = allDisabled && !row->GetEnabled();
    if (GetEnabled() && allDisabled)
        SetEnabled(false);
    else if (!GetEnabled() && !allDisabled)
        SetEnabled(true);
    FProcessChildren = true;
}

BracketKind TFilterBracket::GetBracketKind() const
{
    if (!FParentBracket)
        return bkAnyField;
    const BracketKind parentKind = FParentBracket->GetBracketKind();
    if (parentKind != bkAnyField)
        return parentKind;
    if (GetRowLevel() > 1)
        return bkNoAggregates;
    if (GetRowCount() < 2)
        return bkAnyField;
    return GetFirstRow()->GetIsHavingRow() ? bkAggregatesOnly : bkNoAggregates;
}

void TFilterBracket::RefreshValueEditors()
{
    for (const auto& row : FRows) {
        if (row->IsBracket())
            static_cast<TFilterBracket*>(row.get())->RefreshValueEditors();
        else if (row->RowType() == frtSimpleCondition)
            static_cast<TSimpleCond*>(row.get())->RefreshValueEditor();
    }
}

void TFilterBracket::RefreshParamValueEditors(TFilterRow* changed, const QString& name)
{
    for (const auto& row : FRows) {
        if (row->IsBracket()) {
            static_cast<TFilterBracket*>(row.get())->RefreshParamValueEditors(changed, name);
            continue;
        }
        if (row.get() == changed || row->RowType() != frtSimpleCondition)
            continue;
        auto* cond = static_cast<TSimpleCond*>(row.get());
        const TDSField* field = cond->Field();
        if (!field || field->EditType() != etSQL)
            continue;
        auto* editor = static_cast<TDSSQLEditor*>(field->ValueEditor());
        if (editor && editor->HasParameter(name))
            cond->RefreshValueEditor();
    }
}

void TFilterBracket::EnabledChanged()
{
    FEnabledChanging = true;
    TFilterRow::EnabledChanged();
    if (FProcessChildren)
        for (const auto& row : FRows)
            row->SetEnabled(GetEnabled());
    if (FParentBracket)
        FParentBracket->CheckIfAllDisabled();
    FEnabledChanging = false;
}

void TFilterBracket::UpdateLogOpLabel()
{
    TFilterRow::UpdateLogOpLabel();
    // The bracket's own word follows its parent's link type, like a condition's.
    if (FLabel9)
        FLabel9->SetVisible(false);
    if (FQueryPanel->LogOpStyle() == losBeforeCond && FParentBracket && GetIndex() > 0) {
        const bool isOr = FParentBracket->LinkType() == fltAny || FParentBracket->LinkType() == fltNone;
        Label9()->SetItemIndex(isOr ? 1 : 0);
        FLabel9->SetVisible(true);
    }
    for (const auto& row : FRows)
        row->UpdateLogOpLabel();
}

void TFilterBracket::dropModelReferences()
{
    TFilterRow::dropModelReferences();
    for (const auto& row : FRows)
        row->dropModelReferences();
}

bool TFilterBracket::GetIsHavingRow() const
{
    for (const auto& row : FRows)
        if (!row->IsBracket())
            return row->GetIsHavingRow();
    return false;
}

} // namespace brindle
