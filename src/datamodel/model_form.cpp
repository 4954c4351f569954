// The data model inside a form: its text travels as the defined property
// "Struct" and is loaded when the form has been read.

#include <brindle/datamodel/db_structure.h>

namespace brindle {

void TVxCustomDBStructure::DefineProperties(TFormFiler& filer)
{
    filer.DefineProperty(
        QStringLiteral("Struct"),
        [this](const TStringList& lines) {
            FStoredStructureBuf.Assign(lines);
            FStructureLoaded = false;
        },
        [this](TStringList& lines) { SaveToStrings(lines); }, FStoreStruct);
}

void TVxCustomDBStructure::BeginLoading()
{
    FLoading = true;
}

void TVxCustomDBStructure::Loaded()
{
    FLoading = false;
    operation([&] {
        LoadStoredStructure();
        // A catalogue or caption list stored by an older model gains what
        // the enabled families and the current default captions add.
        UpdateExOperators();
        MergeDefOperators();
        UpdateDefOperators();
    });
}

void TVxCustomDBStructure::LoadStoredStructure()
{
    if (!FStoreStruct || FStructureLoaded || FStoredStructureBuf.IsEmpty())
        return;
    TStringList text;
    text.Assign(FStoredStructureBuf);
    FStoredStructureBuf.Clear();
    LoadFromStrings(text);
}

} // namespace brindle
