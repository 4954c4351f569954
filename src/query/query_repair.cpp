// How a query follows its data model: rows, result fields and builder state
// that use an entity the model removes go before it is freed, and a query
// whose model is destroyed is left empty and inactive.
//
// Host code (an event handler, a view's slot) may change the model while
// the query's own code is under way and still holds rows and entities. So
// while host code runs, rows and result fields that go are set aside, with
// their model references cut, and freed at the next removal that arrives
// when no host code runs; and code that held an entity across a host call
// checks ModelRemovals before going on. The host hears of the repair once
// the model's operation has ended.

#include <brindle/query/query.h>
#include <brindle/query/query_caches_p.h>
#include <brindle/query/query_repair_p.h>
#include <brindle/query/statement_builder_p.h>

namespace brindle {

void TVxQuery::ModelRepair::Follow(TVxCustomDBStructure* model)
{
    if (q.FDbStruct)
        q.FDbStruct->RemoveModelListener(this);
    q.FDbStruct = model;
    if (model)
        model->AddModelListener(this);
}

quint64 TVxQuery::ModelRemovals() const
{
    return FRepair->Removals();
}

void TVxQuery::requireModelSince(quint64 removals, const char* doing) const
{
    if (FRepair->Removals() != removals)
        throw Exception(QStringLiteral("The data model changed while ") + QLatin1String(doing));
}

void TVxQuery::ModelRepair::FreeSetAside()
{
    if (q.FHostCalls > 0 || FRepairing)
        return;
    // Moved out first: a freed row may reach back into the query.
    auto rows = std::move(FSetAside);
    auto fields = std::move(FSetAsideFields);
}

void TVxQuery::ModelRepair::Drop()
{
    FSetAside.clear();
    FSetAsideFields.clear();
}

void TVxQuery::ModelRepair::ModelEntitiesRemoving(TVxCustomDBStructure* model, const TModelRemoval& removal)
{
    if (model != q.FDbStruct.data())
        return;
    ++FRemovals;
    if (FRepairing) {
        // Announced from inside a repair: only pointers are compared until
        // the outer repair takes this one up.
        if (!FQueuedRemoval)
            FQueuedRemoval = std::make_unique<TModelRemoval>();
        FQueuedRemoval->Fields.unite(removal.Fields);
        FQueuedRemoval->Operators.unite(removal.Operators);
        FQueuedRemoval->Tables.unite(removal.Tables);
        FQueuedRemoval->Links.unite(removal.Links);
        FQueuedRemoval->Conditions.unite(removal.Conditions);
        return;
    }
    FreeSetAside();
    const bool setAside = q.FHostCalls > 0;
    FRepairing = true;
    const auto done = qScopeGuard([this] { FRepairing = false; });
    repair(removal, setAside);
    while (FQueuedRemoval) {
        const std::unique_ptr<TModelRemoval> next = std::move(FQueuedRemoval);
        repair(*next, true);
    }
}

void TVxQuery::ModelRepair::repair(const TModelRemoval& removal, bool setAside)
{
    // Rows out of the tree (being made, taken out by the host, set aside)
    // only lose their references; the tree's own are removed below.
    for (TFilterRow* row = q.FFirstRow; row; row = row->FNextLive) {
        if (row == q.FFilter.get() || row->FAttached)
            continue;
        if (row->IsBracket())
            removeRowsUsing(static_cast<TFilterBracket*>(row), removal, true);
        if (row->UsesAnyOf(removal))
            row->dropModelReferences();
    }
    FRowsDropped = false;
    removeRowsUsing(q.FFilter.get(), removal, setAside);
    // The rows after those that went move up a number, once for them all.
    if (std::exchange(FRowsDropped, false))
        q.EnumerateBracket(q.FFilter.get());

    TRFieldList& fields = q.FQResult->ResultFields();
    if (setAside) {
        for (int i = fields.Count() - 1; i >= 0; --i)
            if (fields[i]->UsesAnyOf(removal.Fields))
                setFieldAside(i);
    } else if (fields.RemoveFieldsUsing(removal.Fields)) {
        FChangePending = true;
    }
    DropBuilderState(&removal);
}

void TVxQuery::ModelRepair::removeRowsUsing(TFilterBracket* bracket, const TModelRemoval& removal, bool setAside)
{
    for (int i = bracket->GetRowCount() - 1; i >= 0; --i) {
        // A view's slot may have taken rows out meanwhile.
        if (i >= bracket->GetRowCount())
            continue;
        TFilterRow* row = bracket->GetRow(i);
        if (row->IsBracket()) {
            auto* inner = static_cast<TFilterBracket*>(row);
            const bool hadRows = inner->GetRowCount() > 0;
            removeRowsUsing(inner, removal, setAside);
            if (hadRows && inner->GetRowCount() == 0 && q.FAppearanceOptions.Contains(aoNonEmptyBrackets)
                && i < bracket->GetRowCount() && bracket->GetRow(i) == inner)
                dropRow(bracket, i, setAside);
        } else if (row->UsesAnyOf(removal)) {
            dropRow(bracket, i, setAside);
        }
    }
}

void TVxQuery::ModelRepair::dropRow(TFilterBracket* bracket, int index, bool setAside)
{
    FChangePending = true;
    q.notifyRowRemoving(bracket, index);
    if (!setAside) {
        // The row's destructor drops its parameters.
        bracket->FRows.Delete(index);
        q.RowsChanged();
        FRowsDropped = true;
        return;
    }
    std::unique_ptr<TFilterRow> row = bracket->FRows.Extract(index);
    row->FAttached = false;
    q.RowsChanged();
    FRowsDropped = true;
    std::vector<TFilterRow*> stack{row.get()};
    while (!stack.empty()) {
        TFilterRow* r = stack.back();
        stack.pop_back();
        if (r->IsBracket()) {
            auto* b = static_cast<TFilterBracket*>(r);
            for (int i = 0; i < b->GetRowCount(); ++i)
                stack.push_back(b->GetRow(i));
        } else {
            q.FQResult->DeleteParameters(static_cast<TFilterCond*>(r));
        }
    }
    row->dropModelReferences();
    FSetAside.push_back(std::move(row));
}

void TVxQuery::ModelRepair::setFieldAside(int index)
{
    FChangePending = true;
    std::unique_ptr<TResultField> field = q.FQResult->ResultFields().Extract(index);
    field->DSFields().Clear();
    FSetAsideFields.push_back(std::move(field));
}

void TVxQuery::ModelRepair::DropBuilderState(const TModelRemoval* removal)
{
    auto going = [&](const TDSTable* table) { return !removal || removal->Tables.contains(table); };
    if (q.FMainTable && going(q.FMainTable))
        q.FMainTable = nullptr;
    // The statement of the last build names what goes: it is built anew.
    TRTableList& tables = q.FQResult->ResultTables();
    for (const auto& entry : tables)
        if (going(entry->Table) || (entry->Link && (!removal || removal->Links.contains(entry->Link)))) {
            tables.Clear();
            break;
        }
    if (q.FBuilder)
        q.FBuilder->ModelRemoving(removal);
    for (int i = q.FTableFilters.Count() - 1; i >= 0; --i)
        if (going(q.FTableFilters[i]->Table()))
            q.FTableFilters.Delete(i);
    for (FieldListCache& cache : q.FCaches->FieldLists)
        cache = FieldListCache();
    q.FCaches->OperatorLists.clear();
}

void TVxQuery::ModelRepair::ModelEntitiesUpdated(TVxCustomDBStructure* model)
{
    if (model != q.FDbStruct.data())
        return;
    // Kept entities may carry new names: what was derived from them goes,
    // and the rows show them anew. Views hear one reset, so no host code
    // runs while the rows are walked.
    const TModelRemoval nothing;
    DropBuilderState(&nothing);
    q.beginReset();
    for (TFilterRow* row = q.FFirstRow; row; row = row->FNextLive)
        if (row->FAttached)
            row->refreshModelWords();
    if (!remakeOutdatedValueWords())
        return;
    q.endReset();
    FChangePending = true;
}

bool TVxQuery::ModelRepair::remakeOutdatedValueWords()
{
    const AliveGuard alive(q);
    // Each new word runs the host's creation event, which may free other
    // rows: the register unlinks them, so the next row is read only after.
    for (TFilterRow* row = q.FFirstRow; row && alive; row = row->FNextLive) {
        if (!row->FAttached || row->RowType() != frtSimpleCondition)
            continue;
        auto* cond = static_cast<TSimpleCond*>(row);
        if (cond->valueWordsOutdated())
            cond->remakeValueWords();
    }
    return static_cast<bool>(alive);
}

void TVxQuery::ModelRepair::ModelEntitiesRemoved(TVxCustomDBStructure* model)
{
    if (model != q.FDbStruct.data() || FRepairing)
        return;
    const bool params = std::exchange(FParamsPending, false);
    const bool changed = std::exchange(FChangePending, false);
    if (params)
        q.ParametersListChanged();
    // Last: the host may free the model from its handler.
    if (changed)
        q.QueryChanged();
}

void TVxQuery::ModelRepair::ModelDestroying(TVxCustomDBStructure* model)
{
    if (model != q.FDbStruct.data())
        return;
    ++FRemovals;
    FreeSetAside();
    const bool setAside = q.FHostCalls > 0 || FRepairing;
    const bool wasActive = q.FActive;
    const bool hadParams = q.FQResult->GetParamCount() > 0;
    q.beginReset();
    {
        const bool wasRepairing = std::exchange(FRepairing, true);
        const auto restore = qScopeGuard([&] { FRepairing = wasRepairing; });
        for (TFilterRow* row = q.FFirstRow; row; row = row->FNextLive)
            if (row != q.FFilter.get())
                row->dropModelReferences();
        while (q.FFilter->GetRowCount() > 0)
            dropRow(q.FFilter.get(), q.FFilter->GetRowCount() - 1, setAside);
        TRFieldList& fields = q.FQResult->ResultFields();
        if (setAside)
            while (fields.Count() > 0)
                setFieldAside(fields.Count() - 1);
        else
            fields.Clear();
        q.FQResult->ClearParams();
        DropBuilderState(nullptr);
        q.FDbStruct = nullptr;
        q.FQResult->DbStructChanged();
        q.FActive = false;
        FChangePending = FParamsPending = false;
    }
    q.RowsChanged();
    q.endReset();
    if (hadParams)
        q.ParametersListChanged();
    if (wasActive) {
        if (q.OnActive)
            q.CallHost([&] { q.OnActive(&q); });
        if (q.FView)
            q.CallHost([&] { q.FView->ActiveChanged(q); });
    }
    q.QueryChanged();
}

} // namespace brindle
