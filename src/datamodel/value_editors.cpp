#include <brindle/datamodel/value_editors.h>

#include <brindle/datamodel/db_info.h>
#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/messages.h>
#include <brindle/foundations/text_utils.h>

namespace brindle {

void TDSValueEditor::Refresh() {}

void TDSTextEditor::SetAutoUpperCase(bool on)
{
    if (on)
        FOptions = (FOptions | AutoUpperCaseBit) & ~AutoLowerCaseBit;
    else
        FOptions &= ~AutoUpperCaseBit;
}

void TDSTextEditor::SetAutoLowerCase(bool on)
{
    if (on)
        FOptions = (FOptions | AutoLowerCaseBit) & ~AutoUpperCaseBit;
    else
        FOptions &= ~AutoLowerCaseBit;
}

TDSSQLEditor::TDSSQLEditor(TVxCustomDBStructure* dbStruct) : FDBStruct(dbStruct) {}

void TDSSQLEditor::SetOpened(bool open)
{
    if (open == FOpened)
        return;
    if (open) {
        if (!FDBStruct)
            RaiseDBStructError(11, _SDBSEDbInfoNotSpecified);
        FDBStruct->CheckDatabaseInfo();
        Items.Clear();
        Values.Clear();
        FDBStruct->DatabaseInfo()->RunQuery(SQLText(), Values, Items);
        FOpened = true;
    } else {
        Items.Clear();
        Values.Clear();
        FOpened = false;
    }
}

void TDSSQLEditor::Refresh()
{
    SetOpened(false);
    SetOpened(true);
}

QString TDSSQLEditor::SQLText() const
{
    QString text = SQL.Text();
    for (int i = 0; i < FSQLParams.Count(); ++i)
        text = ReplaceStr(text, u':' + FSQLParams.Names(i), FSQLParams.ValueFromIndex(i));
    return text;
}

bool TDSSQLEditor::HasParameter(const QString& name) const
{
    return SQL.Text().contains(u':' + name);
}

void TDSSQLEditor::SetSQLParams(const TStringList& params)
{
    if (params.Text() == FSQLParams.Text())
        return;
    FSQLParams.Assign(params);
    SetOpened(false);
}

} // namespace brindle
