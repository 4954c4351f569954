// The query's import entry points: thin calls into an SqlImporter, kept
// here so that the query folder never reaches into the import.

#include <brindle/query/query.h>
#include <brindle/sqlimport/sql_importer.h>

namespace brindle {

// The import's entry points; SqlImporter binds a statement to the model.
void TVxQuery::ParseSQL(const TStringList& sql)
{
    const ChangeScope change(*this);
    SqlImporter(*this).Import(sql);
    // Reported once the query is idle again, as after a load.
    QueryChanged();
    ParametersListChanged();
}

void TVxQuery::ProcessSQLBracket(TFilterBracket* bracket, const TSQLBracket* sqlBracket,
                                 const TVxObjectList<TSQLTable>& tables)
{
    SqlImporter(*this).ImportBracket(bracket, sqlBracket, tables);
}

TDSOperator* TVxQuery::OperatorBySQLCond(const TSQLCondition* condition, QString& value1, QString& value2,
                                         TStringList& subQuery)
{
    return SqlImporter(*this).OperatorOf(condition, value1, value2, subQuery);
}

TDSCondition* TVxQuery::FindCustomCondition(const TSQLCondition* condition) const
{
    return SqlImporter::CustomConditionOf(FDbStruct.data(), condition);
}

QString TVxQuery::ProcessSQLDateValue(TFieldType fieldType, const QString& value) const
{
    return SqlImporter::DateValue(fieldType, value);
}

QString TVxQuery::ProcessSubQuery(const QString& sql, TStringList& dest)
{
    return SqlImporter(*this).ImportSubQuery(sql, dest);
}

} // namespace brindle
