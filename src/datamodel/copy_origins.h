#pragma once
// CopyOrigins: which entities of a working copy stand for entities of the
// model it was made from, so that the copy's content can go back to the
// model keeping every entity the copy still has (UpdateFromStrings). The
// copy is what the model's text gives (read from it, or made by
// CopyContentTo), so the k-th entity of a kind that the copy lists is the
// k-th the model lists. Both models are followed: an
// entity either of them frees is forgotten, and one the copy makes has no
// origin. Owns nothing; both models may go first.

#include <brindle/brindle_core_export.h>
#include <brindle/datamodel/db_structure.h>

#include <QHash>
#include <QPointer>

namespace brindle {

class BRINDLE_CORE_EXPORT CopyOrigins : private IModelListener {
public:
    // The copy has just taken the model's content.
    CopyOrigins(TVxCustomDBStructure& model, TVxCustomDBStructure& copy);
    ~CopyOrigins() override;
    CopyOrigins(const CopyOrigins&) = delete;
    CopyOrigins& operator=(const CopyOrigins&) = delete;

    // The model's entities for those the copy lists now, in its text's
    // order; none where an entity has no origin.
    ModelTextEntities Originals() const;
    // The model takes the copy's text, keeping the originals; afterwards
    // every entity of the copy has one. Raises the reader's error and leaves
    // the model as it was when the text does not read.
    void Apply();

private:
    template <typename T>
    using Origins = QHash<const T*, T*>;

    void pair();
    void ModelEntitiesRemoving(TVxCustomDBStructure* model, const TModelRemoval& removal) override;
    void ModelDestroying(TVxCustomDBStructure* model) override;

    QPointer<TVxCustomDBStructure> FModel;
    QPointer<TVxCustomDBStructure> FCopy;
    Origins<TDSOperator> FOperators;
    Origins<TDSTable> FTables;
    Origins<TDSLink> FLinks;
    Origins<TDSField> FFields;
    Origins<TDSCondition> FConditions;
};

} // namespace brindle
