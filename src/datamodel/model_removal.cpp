// How a model tells its listeners that entities are going: what each kind
// of removal takes with it, the listener list and the calls to it.

#include <brindle/datamodel/db_structure.h>

#include <algorithm>

namespace brindle {

IModelListener::~IModelListener() = default;

void IModelListener::ModelEntitiesUpdated(TVxCustomDBStructure*) {}

void IModelListener::ModelEntitiesRemoved(TVxCustomDBStructure*) {}

void TVxCustomDBStructure::AddModelListener(IModelListener* listener)
{
    if (listener && std::find(FModelListeners.begin(), FModelListeners.end(), listener) == FModelListeners.end())
        FModelListeners.push_back(listener);
}

void TVxCustomDBStructure::RemoveModelListener(IModelListener* listener)
{
    std::erase(FModelListeners, listener);
}

namespace {

// Calls each listener that is still registered when its turn comes: one may
// unregister another, or the model itself may go, from inside a call.
template <typename Call>
void callListeners(TVxCustomDBStructure* model, const std::vector<IModelListener*>& listeners, Call&& call)
{
    const QPointer<TVxCustomDBStructure> alive(model);
    const std::vector<IModelListener*> snapshot(listeners);
    for (IModelListener* listener : snapshot) {
        if (!alive)
            return;
        if (std::find(listeners.begin(), listeners.end(), listener) != listeners.end())
            call(listener);
    }
}

} // namespace

void TVxCustomDBStructure::announceRemoval(const TModelRemoval& removal)
{
    callListeners(this, FModelListeners,
                  [&](IModelListener* listener) { listener->ModelEntitiesRemoving(this, removal); });
}

void TVxCustomDBStructure::announceUpdate()
{
    callListeners(this, FModelListeners, [&](IModelListener* listener) { listener->ModelEntitiesUpdated(this); });
    // The operation's end is told as after a removal.
    FRemovalsEnded = true;
}

void TVxCustomDBStructure::removalEnded()
{
    callListeners(this, FModelListeners, [&](IModelListener* listener) { listener->ModelEntitiesRemoved(this); });
}

void TVxCustomDBStructure::notifyDestroying()
{
    callListeners(this, FModelListeners, [&](IModelListener* listener) { listener->ModelDestroying(this); });
    FModelListeners.clear();
}

void TVxCustomDBStructure::collectAll(TModelRemoval& removal) const
{
    for (const auto& field : FFields)
        removal.Fields.insert(field.get());
    for (const auto& op : FOperators)
        removal.Operators.insert(op.get());
    for (const auto& table : FTables)
        removal.Tables.insert(table.get());
    for (const auto& link : FLinks)
        removal.Links.insert(link.get());
    for (const auto& condition : FConditions)
        removal.Conditions.insert(condition.get());
}

void TVxCustomDBStructure::collectTables(TModelRemoval& removal) const
{
    for (const TDSTable* table : std::as_const(removal.Tables))
        for (int i = 0; i < table->LinkCount(); ++i)
            removal.Links.insert(table->Links(i));
    for (const auto& field : FFields)
        for (const TDSTable* table : field->Tables())
            if (removal.Tables.contains(table)) {
                removal.Fields.insert(field.get());
                break;
            }
}

// --- the model's predefined conditions

void TDSConditionList::Delete(int index)
{
    const TDSCondition* condition = GetItem(index);
    auto remove = [&] { TVxObjectList::Delete(index); };
    if (!FDBStruct)
        return remove();
    FDBStruct->removing([&](TModelRemoval& r) { r.Conditions.insert(condition); }, remove);
}

void TDSConditionList::SetItem(int index, std::unique_ptr<TDSCondition> condition)
{
    const TDSCondition* old = GetItem(index);
    auto replace = [&] { TVxObjectList::SetItem(index, std::move(condition)); };
    if (!FDBStruct)
        return replace();
    FDBStruct->removing([&](TModelRemoval& r) { r.Conditions.insert(old); }, replace);
}

std::unique_ptr<TDSCondition> TDSConditionList::Extract(int index)
{
    // A condition handed out is no longer the model's: it may be freed at once.
    const TDSCondition* condition = GetItem(index);
    std::unique_ptr<TDSCondition> taken;
    auto take = [&] { taken = TVxObjectList::Extract(index); };
    if (!FDBStruct)
        take();
    else
        FDBStruct->removing([&](TModelRemoval& r) { r.Conditions.insert(condition); }, take);
    return taken;
}

void TDSConditionList::Clear()
{
    auto clear = [&] { TVxObjectList::Clear(); };
    if (!FDBStruct)
        return clear();
    FDBStruct->removing(
        [&](TModelRemoval& r) {
            for (const auto& condition : *this)
                r.Conditions.insert(condition.get());
        },
        clear);
}

} // namespace brindle
