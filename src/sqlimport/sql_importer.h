#pragma once

// Binds a parsed SELECT statement to a query's data model: the statement's
// columns become result fields, its WHERE tree brackets and conditions on the
// model's fields and operators, found by matching the operators' templates.
// Sub-queries are imported into hidden queries of their own. TVxQuery's
// import methods are thin calls into an importer; the importer owns the
// look-ups it makes and holds the query by reference.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/field_types.h>
#include <brindle/foundations/object_list.h>

#include <QString>

#include <memory>

namespace brindle {

class ESQLParserError;
class TDSCondition;
class TDSOperator;
class TFilterBracket;
class TSQLBracket;
class TSQLCondition;
class TSQLTable;
class TStringList;
class TVxCustomDBStructure;
class TVxQuery;

class BRINDLE_CORE_EXPORT SqlImporter {
public:
    explicit SqlImporter(TVxQuery& query);
    ~SqlImporter();
    SqlImporter(const SqlImporter&) = delete;
    SqlImporter& operator=(const SqlImporter&) = delete;

    // Replaces the query by the statement's columns and conditions. Raises
    // ESQLParserError for a statement the parser cannot read and code 3
    // without a model; the query's state and active flag are restored
    // either way.
    void Import(const TStringList& sql);
    // Fills the bracket from a parsed bracket; tables: the statement's tables.
    void ImportBracket(TFilterBracket* bracket, const TSQLBracket* sqlBracket,
                       const TVxObjectList<TSQLTable>& tables);
    // The model operator whose template the parsed condition fits, with the
    // texts of its values; a sub-query operator's value is imported into
    // subQuery. None when no template fits.
    TDSOperator* OperatorOf(const TSQLCondition* condition, QString& value1, QString& value2,
                            TStringList& subQuery);
    // The model's first predefined condition whose text equals the parsed
    // one, letter case and blanks ignored.
    static TDSCondition* CustomConditionOf(const TVxCustomDBStructure* model, const TSQLCondition* condition);
    // A date, time or date-time value of a statement in the internal text
    // form; the current date (or time) when no known form fits.
    static QString DateValue(TFieldType fieldType, const QString& value);
    // Imports a sub-query's SQL into a hidden query over the same model,
    // options and syntax, stores that query's text in dest and returns its
    // readable text. During an import, a parse error in it is placed in the
    // statement being imported, at the first place the sub-query's text
    // occurs there.
    QString ImportSubQuery(const QString& sql, TStringList& dest);

private:
    struct Lookups;
    // Made on first use (the fields only when asked for); the model does
    // not change while an importer lives.
    Lookups& lookups(bool withFields);

    // Raises the sub-query's parse error again at its place in the statement.
    [[noreturn]] void raiseInStatement(const ESQLParserError& error, const QString& subQuery) const;

    TVxQuery& FQuery;
    std::unique_ptr<Lookups> FLookups;
    // The statement Import is reading; none outside it.
    const TStringList* FStatement = nullptr;
};

} // namespace brindle
