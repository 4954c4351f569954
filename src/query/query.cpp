#include <brindle/query/query.h>
#include <brindle/query/query_caches_p.h>
#include <brindle/query/query_repair_p.h>
#include <brindle/query/query_titles_p.h>

#include <brindle/query/query_base.h>

#include <brindle/foundations/messages.h>
#include <brindle/foundations/text_utils.h>

#include <exception>
#include <utility>

namespace brindle {

IQueryListener::~IQueryListener() = default;

IQueryView::~IQueryView() = default;

void IQueryView::QueryChanged(TVxQuery&) {}

void IQueryView::ParametersListChanged(TVxQuery&) {}

void IQueryView::SQLOptionsChanged(TVxQuery&) {}

void IQueryView::ActiveChanged(TVxQuery&) {}

void IQueryView::ElementCreate(TVxQuery& query, TFilterCond* condition, int valueIndex,
                               std::unique_ptr<TQueryWord>& element)
{
    query.StandardElementCreate(condition, valueIndex, element);
}

bool IQueryView::EditSubQuery(TVxQuery& query, TStringList& subQuery, QString& value, TSQLOptions& options,
                              QString& readableText)
{
    return query.StandardEditSubQuery(subQuery, value, options, readableText);
}

QString IQueryView::ProcessDateValue(TVxQuery& query, TFieldType fieldType, const QString& value, bool forSQL)
{
    return query.StandardProcessDateValue(fieldType, value, forSQL);
}

TVxQuery::TVxQuery(QObject* parent)
    : QObject(parent), FTitles(std::make_unique<QueryTitles>()), FCaches(std::make_unique<Caches>())
{
    FRepair = std::make_unique<ModelRepair>(*this);
    FQResult = std::make_unique<TQueryResult>(this);
    ObserveRFields(FQResult->ResultFields(), *this, *this);
    FFilter = std::make_unique<TFilterBracket>(this, nullptr);
    FBaseLink = std::make_unique<TVxQPBaseLink>(this);
}

TVxQuery::~TVxQuery()
{
    for (AliveGuard* guard = FGuards; guard; guard = guard->FPrevious)
        guard->FQuery = nullptr;
    // Detach first, so the base never reaches a query being taken apart.
    FBaseLink.reset();
    FRepair->Follow(nullptr);
    FDestroying = true;
    FRepair->Drop();
    FFilter.reset();
    FQResult.reset();
}

// --- data model, activity, settings

void TVxQuery::SetDbStruct(TVxCustomDBStructure* model)
{
    if (model == FDbStruct.data())
        return;
    const ChangeScope change(*this);
    beginReset();
    const auto end = qScopeGuard([this] { endReset(); });
    FRepair->Follow(model);
    FMainTable = nullptr;
    RecreateRootBracket();
    FQResult->DbStructChanged();
}

void TVxQuery::SetActive(bool active)
{
    if (active == FActive)
        return;
    if (active) {
        if (!FDbStruct)
            throw EVxQueryPanelError(3, LoadResString(_SQPENoDBStruct));
        // The root row was made before the host set titles and link types.
        FFilter->showTitleWords();
        FActive = true;
        RefreshMainTable();
    } else {
        FActive = false;
    }
    if (OnActive)
        CallHost([&] { OnActive(this); });
    if (FView)
        CallHost([&] { FView->ActiveChanged(*this); });
}

void TVxQuery::SetSQLOptions(TSQLOptions options)
{
    // The statement changes with them: a host showing it hears of it.
    const bool differ = options != FSQLOptions;
    FSQLOptions = options;
    SQLOptionsChanged();
    if (differ)
        QueryChanged();
}

void TVxQuery::SetSQLSyntax(TSQLSyntax syntax)
{
    const bool differ = syntax != FSQLSyntax;
    FSQLSyntax = syntax;
    SQLOptionsChanged();
    if (differ)
        QueryChanged();
}

void TVxQuery::SetMainTableName(const QString& name)
{
    FMainTableName = name;
    RefreshMainTable();
}

void TVxQuery::RefreshMainTable()
{
    FMainTable = nullptr;
    if (!FDbStruct)
        return;
    // No name names no table, though a table without an alias has an
    // empty one.
    if (!FMainTableName.isEmpty())
        for (TableLookup mode : {tlByCompoundName, tlByAlias, tlByName})
            if ((FMainTable = FDbStruct->TableByName(mode, FMainTableName)))
                return;
    if (TDSTable* table = FDbStruct->DefaultMainTable()) {
        FMainTable = table;
        FMainTableName = table->CompoundName();
    }
}

// --- listeners and hooks

void TVxQuery::AddListener(IQueryListener* listener)
{
    if (listener && std::find(FLinks.begin(), FLinks.end(), listener) == FLinks.end())
        FLinks.push_back(listener);
}

void TVxQuery::RemoveListener(IQueryListener* listener)
{
    FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), listener), FLinks.end());
}

void TVxQuery::QueryChanged()
{
    if (FChangeDepth > 0) {
        // What the state silences now (a load, an update, a host's own
        // handler) stays silent.
        FScopedChange |= !changeSilenced();
        return;
    }
    const AliveGuard alive(*this);
    if (reportChange() && alive && FChangedListened)
        emit changed();
}

bool TVxQuery::reportChange()
{
    if (FRepair->Repairing()) {
        FRepair->HoldChange();
        return false;
    }
    if (changeSilenced())
        return false;
    FModified = true;
    // Most queries that change in bulk have nobody to tell.
    if (FLinks.empty() && !OnChange && !FView)
        return true;
    // Any of the host's handlers may free the query.
    const AliveGuard alive(*this);
    for (IQueryListener* link : std::vector<IQueryListener*>(FLinks)) {
        CallHost([&] { link->QueryChanged(this); });
        if (!alive)
            return false;
    }
    if (OnChange)
        CallHandler([&] { OnChange(this); });
    if (alive && FView)
        CallHost([&] { FView->QueryChanged(*this); });
    return static_cast<bool>(alive);
}

void TVxQuery::ParametersListChanged()
{
    if (FChangeDepth > 0)
        FScopedParams |= !paramsSilenced();
    else
        reportParams();
}

void TVxQuery::reportParams()
{
    if (FRepair->Repairing()) {
        FRepair->HoldParams();
        return;
    }
    if (paramsSilenced())
        return;
    const AliveGuard alive(*this);
    if (OnParamListChange)
        CallHost([&] { OnParamListChange(this); });
    for (IQueryListener* link : std::vector<IQueryListener*>(FLinks)) {
        if (!alive)
            return;
        CallHost([&] { link->ParametersChanged(this); });
    }
    if (alive && FView)
        CallHost([&] { FView->ParametersListChanged(*this); });
}

TVxQuery::ChangeScope::ChangeScope(TVxQuery& query)
    : FAlive(query), FQuery(query), FExceptions(std::uncaught_exceptions())
{
    ++query.FChangeDepth;
}

TVxQuery::ChangeScope::~ChangeScope() noexcept(false)
{
    if (!FAlive || --FQuery.FChangeDepth > 0)
        return;
    const bool change = std::exchange(FQuery.FScopedChange, false);
    const bool params = std::exchange(FQuery.FScopedParams, false);
    if (!change && !params)
        return;
    auto report = [&] {
        const bool reported = change && FQuery.reportChange();
        if (params && FAlive)
            FQuery.reportParams();
        if (reported && FAlive && FQuery.FChangedListened)
            emit FQuery.changed();
    };
    if (std::uncaught_exceptions() == FExceptions) {
        report();
        return;
    }
    try {
        report();
    } catch (...) {
        // The error already leaving is the one the caller hears of.
    }
}

void TVxQuery::SQLOptionsChanged()
{
    FQResult->SetSQLOptions(FSQLOptions);
    FQResult->SetSQLSyntax(FSQLSyntax);
    FQResult->ResultFields().SetQuoteAliases(FSQLOptions.Contains(soQuoteAliases));
    if (FView)
        CallHost([&] { FView->SQLOptionsChanged(*this); });
}

void TVxQuery::ElementCreate(TFilterCond* condition, int valueIndex, std::unique_ptr<TQueryWord>& element)
{
    if (FView)
        CallHost([&] { FView->ElementCreate(*this, condition, valueIndex, element); });
    else
        StandardElementCreate(condition, valueIndex, element);
}

void TVxQuery::StandardElementCreate(TFilterCond* condition, int valueIndex, std::unique_ptr<TQueryWord>& element)
{
    if (OnElementCreate)
        CallHost([&] { OnElementCreate(condition, valueIndex, element); });
}

bool TVxQuery::EditSubQuery(TStringList& subQuery, QString& value, TSQLOptions& options, QString& readableText)
{
    bool accepted = false;
    if (FView)
        CallHost([&] { accepted = FView->EditSubQuery(*this, subQuery, value, options, readableText); });
    else
        accepted = StandardEditSubQuery(subQuery, value, options, readableText);
    return accepted;
}

bool TVxQuery::StandardEditSubQuery(TStringList& subQuery, QString& value, TSQLOptions& options,
                                    QString& readableText)
{
    bool accepted = false;
    if (OnEditSubQuery)
        CallHost([&] { accepted = OnEditSubQuery(this, subQuery, value, options, readableText); });
    return accepted;
}

} // namespace brindle
