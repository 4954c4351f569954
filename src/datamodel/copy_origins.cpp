#include <brindle/datamodel/copy_origins.h>

namespace brindle {

namespace {

// Pairs the k-th of the copy with the k-th of the model. Counts that differ
// mean a text that does not read back as written (tables sharing an alias):
// no entity of that kind is paired then, rather than a wrong one.
template <typename T>
void pairKind(QHash<const T*, T*>& origins, const std::vector<T*>& copies, const std::vector<T*>& originals)
{
    origins.clear();
    if (copies.size() != originals.size())
        return;
    for (std::size_t k = 0; k < copies.size(); ++k)
        origins.insert(copies[k], originals[k]);
}

template <typename T>
std::vector<T*> originsOf(const QHash<const T*, T*>& origins, const std::vector<T*>& copies)
{
    std::vector<T*> originals;
    originals.reserve(copies.size());
    for (const T* copy : copies)
        originals.push_back(origins.value(copy, nullptr));
    return originals;
}

template <typename T>
void forgetCopies(QHash<const T*, T*>& origins, const QSet<const T*>& going)
{
    for (const T* copy : going)
        origins.remove(copy);
}

template <typename T>
void forgetOriginals(QHash<const T*, T*>& origins, const QSet<const T*>& going)
{
    if (!going.isEmpty())
        origins.removeIf([&](const auto& entry) { return going.contains(entry.value()); });
}

} // namespace

CopyOrigins::CopyOrigins(TVxCustomDBStructure& model, TVxCustomDBStructure& copy) : FModel(&model), FCopy(&copy)
{
    pair();
    model.AddModelListener(this);
    copy.AddModelListener(this);
}

CopyOrigins::~CopyOrigins()
{
    if (FModel)
        FModel->RemoveModelListener(this);
    if (FCopy)
        FCopy->RemoveModelListener(this);
}

void CopyOrigins::pair()
{
    const ModelTextEntities copies = FCopy->TextEntities();
    const ModelTextEntities originals = FModel->TextEntities();
    pairKind(FOperators, copies.Operators, originals.Operators);
    pairKind(FTables, copies.Tables, originals.Tables);
    pairKind(FLinks, copies.Links, originals.Links);
    pairKind(FFields, copies.Fields, originals.Fields);
    pairKind(FConditions, copies.Conditions, originals.Conditions);
}

ModelTextEntities CopyOrigins::Originals() const
{
    if (!FModel || !FCopy)
        return {};
    const ModelTextEntities copies = FCopy->TextEntities();
    return {originsOf(FOperators, copies.Operators), originsOf(FTables, copies.Tables),
            originsOf(FLinks, copies.Links), originsOf(FFields, copies.Fields),
            originsOf(FConditions, copies.Conditions)};
}

void CopyOrigins::Apply()
{
    if (!FModel || !FCopy)
        return;
    TStringList text;
    FCopy->SaveToStrings(text);
    FModel->UpdateFromStrings(text, Originals());
    // The model now lists its entities in the copy's order.
    if (FModel && FCopy)
        pair();
}

void CopyOrigins::ModelEntitiesRemoving(TVxCustomDBStructure* model, const TModelRemoval& removal)
{
    if (model == FCopy) {
        forgetCopies(FOperators, removal.Operators);
        forgetCopies(FTables, removal.Tables);
        forgetCopies(FLinks, removal.Links);
        forgetCopies(FFields, removal.Fields);
        forgetCopies(FConditions, removal.Conditions);
    } else if (model == FModel) {
        forgetOriginals(FOperators, removal.Operators);
        forgetOriginals(FTables, removal.Tables);
        forgetOriginals(FLinks, removal.Links);
        forgetOriginals(FFields, removal.Fields);
        forgetOriginals(FConditions, removal.Conditions);
    }
}

void CopyOrigins::ModelDestroying(TVxCustomDBStructure* model)
{
    if (model == FModel)
        FModel = nullptr;
    else if (model == FCopy)
        FCopy = nullptr;
    FOperators.clear();
    FTables.clear();
    FLinks.clear();
    FFields.clear();
    FConditions.clear();
}

} // namespace brindle
