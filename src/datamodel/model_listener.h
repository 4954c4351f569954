#pragma once
// What a data model tells the objects that refer into it before it frees
// entities: queries, result field lists and views keep plain pointers to
// fields, operators, tables, links and predefined conditions, and drop them
// when they hear that those are going. The model owns its listeners' list,
// not the listeners.

#include <brindle/brindle_core_export.h>

#include <QSet>

namespace brindle {

class TDSCondition;
class TDSField;
class TDSLink;
class TDSOperator;
class TDSTable;
class TVxCustomDBStructure;

// The entities one operation of a model is about to free. They are still
// whole while listeners hear of them, and freed right after.
struct BRINDLE_CORE_EXPORT TModelRemoval {
    QSet<const TDSField*> Fields;
    QSet<const TDSOperator*> Operators;
    QSet<const TDSTable*> Tables;
    QSet<const TDSLink*> Links;
    QSet<const TDSCondition*> Conditions;

    bool IsEmpty() const
    {
        return Fields.isEmpty() && Operators.isEmpty() && Tables.isEmpty() && Links.isEmpty()
               && Conditions.isEmpty();
    }
};

class BRINDLE_CORE_EXPORT IModelListener {
public:
    virtual ~IModelListener();
    // Before the entities go: drop every reference to them. Changing the
    // model from here is not allowed.
    virtual void ModelEntitiesRemoving(TVxCustomDBStructure* model, const TModelRemoval& removal) = 0;
    // Entities the model kept have taken new content in place, and new ones
    // may have come (UpdateFromStrings): refresh what shows their names.
    // Removals of the same operation were announced before. Changing the
    // model from here is not allowed.
    virtual void ModelEntitiesUpdated(TVxCustomDBStructure* model);
    // The operation that removed or updated them has ended and the model is
    // consistent again: the place to tell a host. The model may be freed
    // from here.
    virtual void ModelEntitiesRemoved(TVxCustomDBStructure* model);
    // The model is being destroyed: its entities go right after, and the
    // listener is forgotten without having to unregister.
    virtual void ModelDestroying(TVxCustomDBStructure* model) = 0;
};

} // namespace brindle
