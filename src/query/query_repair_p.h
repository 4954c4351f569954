#pragma once

// The part of a query that follows its data model: it listens to the
// model, repairs the query when entities go, and keeps what it set aside
// while host code ran. Not installed.

#include <brindle/query/query.h>

#include <memory>
#include <vector>

namespace brindle {

class TVxQuery::ModelRepair : public IModelListener {
public:
    explicit ModelRepair(TVxQuery& query) : q(query) {}

    // Stops listening to the query's model and listens to this one.
    void Follow(TVxCustomDBStructure* model);
    // Grows each time the model removes entities or goes.
    quint64 Removals() const { return FRemovals; }
    bool Repairing() const { return FRepairing; }
    // Reports the query makes while a repair runs are made after it.
    void HoldChange() { FChangePending = true; }
    void HoldParams() { FParamsPending = true; }
    // A row that lost its model entities while out of the tree.
    void SetAside(std::unique_ptr<TFilterRow> row) { FSetAside.push_back(std::move(row)); }
    // Frees what was set aside, unless host code is running.
    void FreeSetAside();
    // Frees everything at once: the query is going.
    void Drop();
    // The look-ups and statement parts that name model entities go
    // (all of them without a removal).
    void DropBuilderState(const TModelRemoval* removal);

    void ModelEntitiesRemoving(TVxCustomDBStructure* model, const TModelRemoval& removal) override;
    void ModelEntitiesUpdated(TVxCustomDBStructure* model) override;
    void ModelEntitiesRemoved(TVxCustomDBStructure* model) override;
    void ModelDestroying(TVxCustomDBStructure* model) override;

private:
    void repair(const TModelRemoval& removal, bool setAside);
    // Removes the bracket's rows that use what goes, deepest first; an
    // emptied bracket goes too where brackets must not be empty.
    void removeRowsUsing(TFilterBracket* bracket, const TModelRemoval& removal, bool setAside);
    // Takes the row out of its bracket and frees it, or sets it aside.
    void dropRow(TFilterBracket* bracket, int index, bool setAside);
    // Takes the result field out and keeps it, without its model fields.
    void setFieldAside(int index);
    // Value words whose shape no longer fits the model are made anew; false
    // when the host freed the query meanwhile.
    bool remakeOutdatedValueWords();

    TVxQuery& q;
    quint64 FRemovals = 0;
    // While a removal is repaired the host hears nothing; it hears once the
    // model's operation has ended.
    bool FRepairing = false;
    bool FChangePending = false;
    bool FParamsPending = false;
    // Rows went during this repair: the tree is numbered anew after it.
    bool FRowsDropped = false;
    // A removal announced while one is being repaired, taken up after it.
    std::unique_ptr<TModelRemoval> FQueuedRemoval;
    // Rows and fields taken out while host code ran, freed when none runs.
    std::vector<std::unique_ptr<TFilterRow>> FSetAside;
    std::vector<std::unique_ptr<TResultField>> FSetAsideFields;
};

} // namespace brindle
