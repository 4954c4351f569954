// A model built from what the database info reports: every table becomes a
// field group of data fields, and the foreign keys become links.

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/text_utils.h>

namespace brindle {

void TVxCustomDBStructure::RetriveDataModelInfo()
{
    operation([&] {
        CheckDatabaseInfo();
        ClearStructure();

        TStringList lines;
        FDBInfo->GetTableNames(lines);
        // A name that is no identifier ("Order Details") is written quoted.
        for (const QString& name : lines)
            Tables(AddTable(name, name))->SetQuoted(!IsIdentifier(name));

        lines.Clear();
        FDBInfo->GetLinkList(lines);
        LoadLinksFromStrings(lines);

        int id = 0;
        for (const auto& table : FTables)
            AddTableDataFields(table.get(), id);
    });
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
