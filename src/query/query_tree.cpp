// The condition tree as the query edits it: adding conditions and
// brackets by line, line numbers, moving a row, a new root, the field and
// operator lists new words take, and the register of every live row.

#include <brindle/query/query.h>
#include <brindle/query/query_caches_p.h>
#include <brindle/query/query_repair_p.h>

#include <brindle/foundations/messages.h>
#include <brindle/foundations/text_utils.h>

namespace brindle {

// --- the tree

TFilterCond* TVxQuery::AddConditionNum(TFilterBracket* bracket, int num, TDSField* field)
{
    const ChangeScope change(*this);
    TFilterCond* cond = bracket->InsertSimpleCondByNum(num);
    if (field)
        static_cast<TSimpleCond*>(cond)->SetField(field);
    InitializeNewCondition(cond, num);
    return cond;
}

TFilterCond* TVxQuery::AddCondition(TFilterBracket* bracket, TDSField* field)
{
    // The line after the bracket's last row is always its end: appending
    // needs no line numbers.
    const ChangeScope change(*this);
    return bracket->AddCond(field);
}

TFilterCond* TVxQuery::AddCustomCondition(TFilterBracket* bracket, TDSCondition* condition)
{
    const ChangeScope change(*this);
    return bracket->AddCustomCond(condition);
}

TSimpleCond* TVxQuery::addSetCondition(TFilterBracket* bracket, TDSField* field, TDSOperator* op,
                                       const QString& value, quint64 removals)
{
    if (!FDbStruct)
        throw EVxQueryPanelError(3, LoadResString(_SQPENoDBStruct));
    // Host code runs at every step: the condition stands only while the
    // model keeps what it uses.
    constexpr const char* doing = "a condition was being added";
    const ChangeScope change(*this);
    auto* cond = static_cast<TSimpleCond*>(AddCondition(bracket, field));
    requireModelSince(removals, doing);
    cond->SetOperator(op);
    requireModelSince(removals, doing);
    cond->SetValue(1, value);
    requireModelSince(removals, doing);
    return cond;
}

void TVxQuery::ManualAddCond(TFilterBracket* bracket, TDSField* field, TDSOperator* op, const QString& value)
{
    addSetCondition(bracket, field, op, value, FRepair->Removals());
}

TFilterCond* TVxQuery::AddSimpleCond(TFilterBracket* bracket, TDSField* field, TDSOperator* op, const QString& value1,
                                     const QString& value2)
{
    const quint64 removals = FRepair->Removals();
    const ChangeScope change(*this);
    TSimpleCond* cond = addSetCondition(bracket, field, op, value1, removals);
    cond->SetValue(2, value2);
    requireModelSince(removals, "a condition was being added");
    return cond;
}

void TVxQuery::InitializeNewCondition(TFilterRow* row, int)
{
    EnumerateBracket(row->ParentBracket());
}

TFilterBracket* TVxQuery::AddBracketNum(TFilterBracket* bracket, int num)
{
    const ChangeScope change(*this);
    TFilterBracket* added = bracket->InsertNewBracketByNum(num);
    if (FAppearanceOptions.Contains(aoNonEmptyBrackets))
        added->AddCond();
    EnumerateBracket(bracket);
    return added;
}

TFilterBracket* TVxQuery::AddBracket(TFilterBracket* bracket)
{
    const ChangeScope change(*this);
    TFilterBracket* added = bracket->AddNewBracket();
    if (FAppearanceOptions.Contains(aoNonEmptyBrackets))
        added->AddCond();
    return added;
}

void TVxQuery::EnumerateBracket(TFilterBracket* bracket)
{
    if (!bracket || !enumerate(bracket) || quietRows() || !inTree(bracket))
        return;
    // Views placed the rows before their numbers changed.
    CallHost([&] { emit rowsRenumbered(bracket); });
}

bool TVxQuery::enumerate(TFilterBracket* bracket)
{
    bool changed = false;
    // Identifiers are composed in one buffer: a row whose identifier stays
    // costs no string of its own.
    QString id;
    for (int i = 0; i < bracket->GetRowCount(); ++i) {
        TFilterRow* row = bracket->GetRow(i);
        id.truncate(0);
        id += bracket->RowID();
        AppendNumber(id, i + 1);
        id += u'.';
        if (id != row->RowID()) {
            row->SetRowID(QString(id.constData(), id.size()));
            changed = true;
        }
        if (row->IsBracket())
            changed = enumerate(static_cast<TFilterBracket*>(row)) || changed;
    }
    return changed;
}

void TVxQuery::EnsureRowNums() const
{
    if (!FRowNumsValid)
        numberRows();
}

void TVxQuery::numberRows() const
{
    FRowNumsValid = true;
    int next = 0;
    std::vector<TFilterRow*> stack{FFilter.get()};
    while (!stack.empty()) {
        TFilterRow* row = stack.back();
        stack.pop_back();
        row->FRowNum = next++;
        if (row->IsBracket()) {
            auto* bracket = static_cast<TFilterBracket*>(row);
            for (int i = bracket->GetRowCount() - 1; i >= 0; --i)
                stack.push_back(bracket->GetRow(i));
        }
    }
}

TFilterRow* TVxQuery::GetRowByNum(int num) const
{
    const TFilterBracket* bracket = FFilter.get();
    while (bracket) {
        if (bracket->RowNum() == num)
            return const_cast<TFilterBracket*>(bracket);
        const TFilterBracket* next = nullptr;
        for (int i = 0; i < bracket->GetRowCount() && !next; ++i) {
            TFilterRow* row = bracket->GetRow(i);
            if (row->RowNum() == num)
                return row;
            const bool last = i == bracket->GetRowCount() - 1;
            if (row->IsBracket() && (last || bracket->GetRow(i + 1)->RowNum() > num))
                next = static_cast<TFilterBracket*>(row);
        }
        bracket = next;
    }
    return nullptr;
}

TFilterRow* TVxQuery::GetFirstRow() const { return FFilter->GetFirstRow(); }

TFilterRow* TVxQuery::GetLastRow() const
{
    TFilterBracket* bracket = FFilter.get();
    while (true) {
        TFilterRow* last = bracket->GetLastRow();
        if (!last)
            return bracket;
        if (!last->IsBracket())
            return last;
        bracket = static_cast<TFilterBracket*>(last);
    }
}

void TVxQuery::moveRow(TFilterRow* row, void (TFilterRow::*move)(), TFilterBracket* enumerate)
{
    const ChangeScope change(*this);
    (row->*move)();
    EnumerateBracket(enumerate ? enumerate : row->ParentBracket());
    QueryChanged();
}

bool TVxQuery::MoveRowUp(TFilterRow* row)
{
    if (!row || !row->ParentBracket() || row->GetIndex() == 0)
        return false;
    moveRow(row, &TFilterRow::MoveUp, nullptr);
    return true;
}

bool TVxQuery::MoveRowDown(TFilterRow* row)
{
    if (!row || !row->ParentBracket() || row->GetIndex() >= row->ParentBracket()->GetRowCount() - 1)
        return false;
    moveRow(row, &TFilterRow::MoveDown, nullptr);
    return true;
}

bool TVxQuery::MoveRowLeft(TFilterRow* row)
{
    if (!row || !row->ParentBracket() || row->GetRowLevel() <= 1)
        return false;
    moveRow(row, &TFilterRow::MoveLeft, nullptr);
    return true;
}

bool TVxQuery::MoveRowRight(TFilterRow* row)
{
    if (!row || !row->ParentBracket())
        return false;
    moveRow(row, &TFilterRow::MoveRight, row->ParentBracket());
    return true;
}

void TVxQuery::RecreateRootBracket()
{
    // Made first: a root title without "@" refuses it, and the query keeps
    // the tree it has.
    auto fresh = std::make_unique<TFilterBracket>(this, nullptr);
    beginReset();
    const auto end = qScopeGuard([this] { endReset(); });
    FRepair->FreeSetAside();
    FFilter.reset();
    FFilter = std::move(fresh);
    RowsChanged();
}

const TVxQuery::FieldListCache& TVxQuery::fieldList(BracketKind kind) const
{
    FieldListCache& cache = FCaches->FieldLists[kind];
    const TVxCustomDBStructure* model = FDbStruct.data();
    if (cache.Model == model && model && cache.Revision == model->Revision())
        return cache;
    cache = FieldListCache();
    cache.Model = model;
    cache.Words = std::make_shared<WordItems>();
    if (!model)
        return cache;
    cache.Revision = model->Revision();
    WordItems& words = *cache.Words;
    auto addGroup = [&](const TDSFieldGroup* group, const QString& name) {
        QList<int> indexes;
        for (TDSField* field : *group) {
            if (!field->UseInConditions() || field->OperatCount() == 0)
                continue;
            if ((kind == bkNoAggregates && field->IsAggregate()) || (kind == bkAggregatesOnly && !field->IsAggregate()))
                continue;
            indexes.append(words.Items.Count());
            cache.Fields.append(field);
            words.Items.Add(field->DisplayName());
            words.Values.Add(field->IDText());
        }
        if (!indexes.isEmpty())
            words.Groups.append({name, indexes});
    };
    if (model->RootFieldsFirst())
        addGroup(model->RootGroup(), model->RootGroup()->GroupName());
    for (const auto& group : model->FieldGroups())
        addGroup(group.get(), group->GroupName());
    if (!model->RootFieldsFirst())
        addGroup(model->RootGroup(), model->RootGroup()->GroupName());
    words.IndexValues();
    return cache;
}

QList<TDSField*> TVxQuery::FieldsForBracket(const TFilterBracket* bracket) const
{
    return fieldList(bracket ? bracket->GetBracketKind() : bkAnyField).Fields;
}

void TVxQuery::FillFieldsList(TQueryWord& word, const TFilterBracket* bracket) const
{
    const BracketKind kind = bracket ? bracket->GetBracketKind() : bkAnyField;
    word.LoadItemsWhenAsked([this, kind] { return fieldList(kind).Words; });
}

const std::shared_ptr<WordItems>& TVxQuery::operatorList(const TDSField* field) const
{
    if (FCaches->OperatorListsRevision != OperatorListsRevision()) {
        FCaches->OperatorLists.clear();
        FCaches->OperatorListsRevision = OperatorListsRevision();
    }
    if (const auto found = FCaches->OperatorLists.constFind(field); found != FCaches->OperatorLists.cend())
        return *found;
    auto words = std::make_shared<WordItems>();
    QList<int> indexes;
    indexes.reserve(field->OperatCount());
    for (int i = 0; i < field->OperatCount(); ++i) {
        words->Values.Add(field->Operators(i)->Name());
        words->Items.Add(field->Operators(i)->DisplayName());
        indexes.append(i);
    }
    if (!indexes.isEmpty())
        words->Groups.append({QString(), indexes});
    words->IndexValues();
    return *FCaches->OperatorLists.insert(field, std::move(words));
}

void TVxQuery::FillOperatorsList(TQueryWord& word, const TDSField* field) const
{
    word.LoadItems(operatorList(field));
}

// --- the query's register of every live row, in the tree or not

void TVxQuery::rowMade(TFilterRow* row)
{
    row->FNextLive = FFirstRow;
    if (FFirstRow)
        FFirstRow->FPrevLive = row;
    FFirstRow = row;
}

void TVxQuery::rowFreed(TFilterRow* row)
{
    if (row->FPrevLive)
        row->FPrevLive->FNextLive = row->FNextLive;
    else
        FFirstRow = row->FNextLive;
    if (row->FNextLive)
        row->FNextLive->FPrevLive = row->FPrevLive;
}

} // namespace brindle
