#pragma once
// IQueryView: the hooks through which a view of a query (the query panel)
// refines what the query does: being told of changes, setting up new value
// words, editing sub-queries and writing dates. Editors are the view's own:
// the query asks for them to close through a signal. A
// query has at most one view; without one it behaves as the headless query.
// Neither owns the other: a view that goes first unsets itself. What the
// tree looks like reaches every view through the query's signals instead.
//
// Each default does what the query does without a view, so a view
// overrides only what it changes.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/enums.h>
#include <brindle/foundations/field_types.h>
#include <brindle/foundations/string_list.h>

#include <memory>

namespace brindle {

class TFilterCond;
class TFilterRow;
class TQueryWord;
class TVxQuery;

class BRINDLE_CORE_EXPORT IQueryView {
public:
    virtual ~IQueryView();

    // After the query reported a change to its host (OnChange).
    virtual void QueryChanged(TVxQuery& query);
    // After the parameter list changed and the host was told.
    virtual void ParametersListChanged(TVxQuery& query);
    // After the statement options or syntax changed.
    virtual void SQLOptionsChanged(TVxQuery& query);
    // After the query was made active or inactive.
    virtual void ActiveChanged(TVxQuery& query);
    // A value word was made for the condition; the view may set it up or
    // replace it. The default hands it to the host's OnElementCreate.
    virtual void ElementCreate(TVxQuery& query, TFilterCond* condition, int valueIndex,
                               std::unique_ptr<TQueryWord>& element);
    // Edits a sub-query value; true when accepted. The default asks the
    // host's OnEditSubQuery.
    virtual bool EditSubQuery(TVxQuery& query, TStringList& subQuery, QString& value, TSQLOptions& options,
                              QString& readableText);
    // A date, time or date-time value as an SQL literal or as display text,
    // once per value.
    virtual QString ProcessDateValue(TVxQuery& query, TFieldType fieldType, const QString& value, bool forSQL);
};

} // namespace brindle
