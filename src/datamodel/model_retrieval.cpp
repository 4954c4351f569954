// A model built from what the database info reports: every table becomes a
// field group of data fields, and the foreign keys become links.

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/text_utils.h>

namespace brindle {

void TVxCustomDBStructure::RetriveDataModelInfo()
{
    CheckDatabaseInfo();
    TVxDBInfo* info = FDBInfo.data();
    info->BeginRetrieval();
    const auto ended = qScopeGuard([info] { info->EndRetrieval(); });

    // Built aside and moved in at the end, so a retrieval that fails or is
    // cancelled leaves this model as it was. The aside model starts from the
    // catalogue this model's own settings give, as ClearStructure does.
    TVxCustomDBStructure scratch;
    scratch.FDBInfo = info;
    scratch.FExOperators = FExOperators;
    scratch.FDefOperators.Assign(FDefOperators);
    scratch.FVersion = FVersion;
    scratch.FRootFieldsFirst = FRootFieldsFirst;
    scratch.ClearOperators();
    scratch.AddDefOperators(false);
    scratch.BeginUpdate();

    TStringList lines;
    info->GetTableNames(lines);
    const int total = lines.Count();
    info->RetrievalStep(0, total);
    // A name that is no identifier ("Order Details") is written quoted.
    for (const QString& name : lines)
        scratch.Tables(scratch.AddTable(name, name))->SetQuoted(!IsIdentifier(name));

    lines.Clear();
    info->GetLinkList(lines);
    scratch.LoadLinksFromStrings(lines);

    int id = 0;
    for (int i = 0; i < scratch.FTables.Count(); ++i) {
        scratch.AddTableDataFields(scratch.FTables[i], id);
        info->RetrievalStep(i + 1, total);
    }

    operation([&] { takeContent(scratch); });
}

void TVxCustomDBStructure::AddTableDataFields(TDSTable* table, int& id)
{
    CheckDatabaseInfo();
    // Asked before anything is made, so a failing request leaves no
    // half-built group behind.
    const TDBFieldList& columns = FDBInfo->GetFieldList(table->TableName());
    auto group = std::make_unique<TDSFieldGroup>(table->TableName());
    group->SetDbStruct(this);
    for (const auto& column : columns) {
        auto owned = std::make_unique<TDSField>(this);
        TDSField* field = owned.get();
        field->SetFieldKind(kfkData);
        field->SetID(++id);
        // AddFieldRef would ask the info for a column before the field
        // names one.
        AddFieldAsIs(std::move(owned));
        field->SetFieldName(column->FieldName);
        field->SetDisplayName(field->FieldExpr());
        field->SetTable(table);
        field->SetQuoted(!IsIdentifier(column->FieldName));
        field->SetFieldType(column->FieldType);
        field->SetFieldSize(column->FieldSize);
        field->SetEditType(etAuto);
        field->SetUseInResult(true);
        field->SetUseInConditions(true);
        field->AddAppliedOperators();
        group->Add(field);
    }
    FFieldGroups.Add(std::move(group));
}

} // namespace brindle
