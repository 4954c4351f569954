#pragma once

// The statement builder: one build of a query's statement. Not installed:
// hosts build through TVxQuery::BuildQuery and read TQueryResult.

#include <brindle/query/builder.h>

#include <QHash>
#include <QList>
#include <QSet>

#include <functional>

namespace brindle {

class TFilterBracket;
class TVxQuery;
struct TModelRemoval;

// Field expressions as a build writes them, plain [0] and in the filter
// form [1]: thousands of conditions share a few fields.
struct FieldExprCache {
    QHash<const TDSField*, QString> Forms[2];
};

// The condition's SQL text with "@f", "@t", "@m" and the value placeholders
// replaced, for a statement whose tables so far are statementTables. Field
// expressions are taken from the cache when one is given.
QString ConditionSQLText(TVxQuery& query, TFilterCond* condition, const TRTableList& statementTables,
                         FieldExprCache* fieldExprs);

// Reads a query (its condition tree, result fields, main table, model,
// options) and produces a statement: the tables the result fields and the
// conditions need, joined along the model's best paths, and the clauses.
// It changes nothing of the query but the parameters' value formats, as
// the values are written; the query runs it, hands the statement to its
// TQueryResult and keeps the table filters. The builder owns the statement
// until it is taken; it refers to the query, which outlives it.
class StatementBuilder {
public:
    // Called with each condition's text before it joins a clause: the
    // query's OnBuildSQL, which may change the text.
    using ConditionHook = std::function<void(TFilterCond* condition, QString& text)>;

    // Writing goes on from start: a bracket written outside a build joins
    // the statement of the last one.
    StatementBuilder(TVxQuery& query, ConditionHook conditionWritten, BuiltStatement start = {});

    // The whole statement: needed tables, ORDER BY and GROUP BY, then WHERE
    // and HAVING from the root bracket when the query is active. Raises
    // code 1 when no table could be found, code 3 without a data model,
    // code 0 when two tables have no path between them, and whatever the
    // hook raises.
    void Build();
    // Writes the bracket's enabled rows of the one kind into WHERE or
    // HAVING, or into the table filters in the filter mode, joining each
    // condition's tables first.
    void WriteBracket(TFilterBracket* bracket, bool having);
    QString ConditionSQL(TFilterCond* condition);

    // The model is about to free entities (all of them without a removal):
    // the build forgets them.
    void ModelRemoving(const TModelRemoval* removal);

    BuiltStatement TakeStatement() { return std::move(FStatement); }
    TVxTableFilterList TakeTableFilters() { return std::move(FTableFilters); }

private:
    // Appends the tables of the bracket's enabled conditions that are not
    // yet needed; seen holds the needed tables, for a quick look-up.
    void addNeededTables(TFilterBracket* bracket, QSet<const TDSTable*>& seen);
    // Places the table in the statement along the best path from a needed
    // table; visiting holds the tables being placed further up.
    void addResultTable(TDSTable* table, QList<TDSTable*>& visiting);
    void orderAndGroup();
    QString adjusted(const QString& text) const;

    TVxQuery& FQuery;
    ConditionHook FConditionWritten;
    const bool FFiltersMode;
    BuiltStatement FStatement;
    TVxTableFilterList FTableFilters;
    // A condition's tables join the statement along paths from these.
    QList<TDSTable*> FNeededTables;
    FieldExprCache FFieldExprs;
    // The statement's tables only grow while conditions are written, so
    // a table once joined needs no second look.
    QSet<const TDSTable*> FJoinedTables;
};

} // namespace brindle
