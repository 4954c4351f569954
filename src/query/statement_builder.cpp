// The statement builder: which tables the statement needs, how they are
// joined (the best-path choice), ORDER BY and GROUP BY, and the condition
// tree written as WHERE and HAVING.

#include <brindle/query/statement_builder_p.h>

#include <brindle/foundations/messages.h>
#include <brindle/query/query.h>

#include <QScopeGuard>

#include <utility>

namespace brindle {

namespace {

void addTableOnce(QList<TDSTable*>& tables, TDSTable* table)
{
    if (table && !tables.contains(table))
        tables.append(table);
}

bool liesWithin(const QList<TDSTable*>& path, const QSet<const TDSTable*>& tables)
{
    for (TDSTable* table : path)
        if (!tables.contains(table))
            return false;
    return true;
}

// Links between each table and the target, counted by a breadth-first walk
// from the target; tables it cannot reach are absent.
QHash<const TDSTable*, int> linkDistances(const TDSTable* target)
{
    QHash<const TDSTable*, int> distance{{target, 0}};
    QList<const TDSTable*> queue{target};
    for (qsizetype head = 0; head < queue.size(); ++head) {
        const TDSTable* table = queue[head];
        const int next = distance.value(table) + 1;
        for (int i = 0; i < table->LinkCount(); ++i) {
            const TDSTable* other = table->Links(i)->OtherTable(table);
            if (other && !distance.contains(other)) {
                distance.insert(other, next);
                queue.append(other);
            }
        }
    }
    return distance;
}

// A copy of the path: the model's working path is replaced by the next search.
QList<TDSTable*> pathTables(const TDSPath& path)
{
    QList<TDSTable*> tables;
    tables.reserve(path.TableCount());
    for (int i = 0; i < path.TableCount(); ++i)
        tables.append(path.Tables(i));
    return tables;
}

[[noreturn]] void raiseNoPath(const QString& alias1, const QString& alias2)
{
    throw EVxQueryPanelError(0, QStringLiteral("No path between table \"%s\" and \"%s\""), {alias1, alias2});
}

bool takesPart(const TFilterRow* row, bool having);

// Whether a bracket would write anything: an enabled bracket whose rows are
// all disabled or of the other kind would leave a dangling link word.
bool writesSomething(const TFilterBracket* bracket, bool having)
{
    for (int i = 0; i < bracket->GetRowCount(); ++i)
        if (takesPart(bracket->GetRow(i), having))
            return true;
    return false;
}

bool takesPart(const TFilterRow* row, bool having)
{
    if (!row->GetEnabled() || row->GetIsHavingRow() != having)
        return false;
    return !row->IsBracket() || writesSomething(static_cast<const TFilterBracket*>(row), having);
}

} // namespace

StatementBuilder::StatementBuilder(TVxQuery& query, ConditionHook conditionWritten, BuiltStatement start)
    : FQuery(query), FConditionWritten(std::move(conditionWritten)), FFiltersMode(query.TableFiltersMode()),
      FStatement(std::move(start))
{
}

void StatementBuilder::Build()
{
    if (TDSTable* main = FQuery.MainTable()) {
        FNeededTables.append(main);
        FStatement.Tables.Add(main, nullptr);
    }
    for (const auto& field : FQuery.QResult()->ResultFields())
        for (const TDSField* modelField : field->DSFields())
            if (modelField)
                for (TDSTable* table : modelField->Tables())
                    addTableOnce(FNeededTables, table);
    QSet<const TDSTable*> seen(FNeededTables.cbegin(), FNeededTables.cend());
    addNeededTables(FQuery.Filter(), seen);

    orderAndGroup();

    if (FQuery.Active() && FQuery.Filter()) {
        WriteBracket(FQuery.Filter(), false);
        WriteBracket(FQuery.Filter(), true);
        if (FStatement.Tables.IsEmpty())
            throw EVxQueryPanelError(1, LoadResString(_SQPENoEnoughInfo));
    }
}

void StatementBuilder::ModelRemoving(const TModelRemoval* removal)
{
    auto going = [&](const TDSTable* table) { return !removal || removal->Tables.contains(table); };
    for (const auto& entry : FStatement.Tables)
        if (going(entry->Table) || (entry->Link && (!removal || removal->Links.contains(entry->Link)))) {
            FStatement.Tables.Clear();
            break;
        }
    FNeededTables.removeIf([&](const TDSTable* table) { return going(table); });
    FJoinedTables.removeIf([&](const TDSTable* table) { return going(table); });
    FFieldExprs.Forms[0].clear();
    FFieldExprs.Forms[1].clear();
    for (int i = FTableFilters.Count() - 1; i >= 0; --i)
        if (going(FTableFilters[i]->Table()))
            FTableFilters.Delete(i);
}

QString StatementBuilder::adjusted(const QString& text) const
{
    // Read at each condition, as the host may change the options meanwhile.
    if (FQuery.SQLOptions().Contains(soBracketConditions))
        return u'(' + text + u')';
    return text;
}

void StatementBuilder::WriteBracket(TFilterBracket* bracket, bool having)
{
    if (bracket->GetRowCount() == 0)
        return;
    const TFilterLinkType type = bracket->LinkType();
    const QString link = type == fltAll || type == fltNotAll ? QStringLiteral(" AND") : QStringLiteral(" OR");
    const QString opening = type == fltNone || type == fltNotAll ? QStringLiteral("NOT (") : QStringLiteral("(");
    TStringList& where = FStatement.WhereClause;
    bool first = true;
    for (int i = 0; i < bracket->GetRowCount(); ++i) {
        TFilterRow* row = bracket->GetRow(i);
        if (!takesPart(row, having))
            continue;
        if (having)
            FStatement.HavingClause += first ? opening : link;
        else if (first)
            where.Add(opening);
        else
            where.AppendToString(where.Count() - 1, link);
        first = false;
        if (row->IsBracket()) {
            WriteBracket(static_cast<TFilterBracket*>(row), having);
            continue;
        }
        auto* cond = static_cast<TFilterCond*>(row);
        TDSTable* firstTable = nullptr;
        if (const TSimpleDSTableList* tables = cond->GetTables()) {
            firstTable = tables->First();
            for (TDSTable* table : *tables) {
                if (!FFiltersMode && FJoinedTables.contains(table))
                    continue;
                QList<TDSTable*> visiting;
                addResultTable(table, visiting);
                if (!FFiltersMode && FStatement.Tables.IndexOf(table) >= 0)
                    FJoinedTables.insert(table);
            }
        }
        QString text = ConditionSQL(cond);
        if (FConditionWritten)
            FConditionWritten(cond, text);
        if (having)
            FStatement.HavingClause += u' ' + adjusted(text);
        else if (FFiltersMode)
            FTableFilters.AddCondition(firstTable, text);
        else
            where.Add(adjusted(text));
    }
    if (!first) {
        if (having)
            FStatement.HavingClause += QStringLiteral(" )");
        else
            where.Add(QStringLiteral(")"));
    }
}

QString StatementBuilder::ConditionSQL(TFilterCond* condition)
{
    return ConditionSQLText(FQuery, condition, FStatement.Tables, &FFieldExprs);
}

void StatementBuilder::addNeededTables(TFilterBracket* bracket, QSet<const TDSTable*>& seen)
{
    if (!bracket || !bracket->GetEnabled())
        return;
    for (int i = 0; i < bracket->GetRowCount(); ++i) {
        TFilterRow* row = bracket->GetRow(i);
        if (!row->GetEnabled())
            continue;
        if (row->IsBracket()) {
            addNeededTables(static_cast<TFilterBracket*>(row), seen);
        } else if (const TSimpleDSTableList* tables = static_cast<TFilterCond*>(row)->GetTables()) {
            for (TDSTable* table : *tables)
                if (table && !seen.contains(table)) {
                    seen.insert(table);
                    FNeededTables.append(table);
                }
        }
    }
}

void StatementBuilder::addResultTable(TDSTable* table, QList<TDSTable*>& visiting)
{
    if (!table)
        return;
    TRTableList& tables = FStatement.Tables;
    if (tables.IsEmpty() || FFiltersMode) {
        tables.Add(table, nullptr);
        return;
    }
    if (tables.IndexOf(table) >= 0 || tables.Find(table->TableAlias()))
        return;
    TVxCustomDBStructure* model = FQuery.DbStruct();
    if (!model)
        throw EVxQueryPanelError(3, LoadResString(_SQPENoDBStruct));
    if (!visiting.contains(table))
        visiting.append(table);

    QList<TDSTable*> best;
    bool bestWithin = false;
    const QSet<const TDSTable*> neededSet(FNeededTables.cbegin(), FNeededTables.cend());
    auto consider = [&](const TDSTable* from) {
        const TDSPath* found = model->GetPath(from->TableAlias(), table->TableAlias());
        if (!found)
            raiseNoPath(from->TableAlias(), table->TableAlias());
        QList<TDSTable*> path = pathTables(*found);
        // Tables sharing an alias can make a path start at a table that is
        // still being placed; following it would go round in a circle.
        if (visiting.contains(path.first()) && !tables.Find(path.first()->TableAlias()))
            return;
        const bool within = liesWithin(path, neededSet);
        const bool better = best.isEmpty() || (within && !bestWithin)
            || (path.size() < best.size() && !(bestWithin && !within));
        if (better) {
            best = std::move(path);
            bestWithin = within;
        }
    };
    // Once the best path lies within the needed tables, only a shorter path
    // could replace it, and the link distances tell which tables cannot
    // offer one: their paths need not be searched.
    // The search goes by aliases, so distances count from the tables the
    // aliases name.
    const QHash<const TDSTable*, int> distance = linkDistances(model->TableByName(tlByAlias, table->TableAlias()));
    for (const TDSTable* from : FNeededTables) {
        if (visiting.contains(from))
            continue;
        const auto d = distance.constFind(model->TableByName(tlByAlias, from->TableAlias()));
        if (bestWithin && d != distance.cend() && d.value() + 1 >= best.size())
            continue;
        consider(from);
    }
    // No needed table left to start from: the statement's first table still
    // is one, and its path starts at a placed table.
    if (best.isEmpty())
        consider(tables.GetItem(0)->Table);

    TDSTable* start = best.first();
    if (!tables.Find(start->TableAlias())) {
        visiting.append(start);
        addResultTable(start, visiting);
    }
    for (int k = 0; k + 1 < best.size(); ++k) {
        TDSTable* next = best[k + 1];
        if (!tables.Find(next->TableAlias()))
            tables.Add(next, best[k]->LinkByTable(next));
    }
}

void StatementBuilder::orderAndGroup()
{
    // The query has numbered the fields; their aliases are the list's own.
    const TRFieldList& fields = FQuery.QResult()->ResultFields();
    const bool byNumber = !fields.JustSorting() && !FQuery.SQLOptions().Contains(soSortByNames);
    bool anyAggregate = false;
    QStringList sortItems;
    QList<int> sortOrders;
    for (const auto& field : fields) {
        if (field->GetAgregate())
            anyAggregate = true;
        for (const TDSField* modelField : field->DSFields()) {
            if (!modelField)
                continue;
            for (TDSTable* table : modelField->Tables()) {
                QList<TDSTable*> visiting{table};
                addResultTable(table, visiting);
            }
        }
        if (field->Sorting() != stAscending && field->Sorting() != stDescending)
            continue;
        const QString key = byNumber ? QString::number(field->Number()) : field->GetOrderName();
        const QString item = key + (field->Sorting() == stAscending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
        qsizetype at = 0;
        while (at < sortOrders.size() && sortOrders[at] <= field->SortOrder())
            ++at;
        sortItems.insert(at, item);
        sortOrders.insert(at, field->SortOrder());
    }
    FStatement.OrderClause = sortItems.join(QStringLiteral(", "));
    if (anyAggregate) {
        QStringList groupItems;
        for (const auto& field : fields)
            if (!field->GetAgregate())
                groupItems.append(field->GetSQLExpr());
        FStatement.GroupClause = groupItems.join(QStringLiteral(", "));
    }
}

// --- TVxQuery: running the builder

namespace {

void mergeTableFilters(TVxTableFilterList& into, const TVxTableFilterList& from)
{
    for (const auto& filter : from)
        into.AddCondition(filter->Table(), filter->Filter());
}

} // namespace

void TVxQuery::conditionWritten(TFilterCond* condition, QString& text)
{
    if (!OnBuildSQL)
        return;
    const quint64 removals = ModelRemovals();
    CallHost([&] { OnBuildSQL(condition, text); });
    requireModelSince(removals, "the query was being built");
}

void TVxQuery::BuildQuery()
{
    FState = stBuilding;
    const auto backToIdle = qScopeGuard([this] { FState = stIdle; });
    // The last statement goes at once: a build that fails leaves none.
    FQResult->SetStatement({});
    // An open editor's input belongs in the statement.
    if (FActive && FFilter)
        FFilter->CloseEdit(true);
    RefreshMainTable();
    TRFieldList& fields = FQResult->ResultFields();
    // The aliases stay as the list holds them (a caption makes its own
    // anew): made again here, they would change what the query text saved.
    fields.GenerateNumbers();

    StatementBuilder builder(*this, [this](TFilterCond* cond, QString& text) { conditionWritten(cond, text); });
    StatementBuilder* const outer = std::exchange(FBuilder, &builder);
    const auto done = qScopeGuard([this, outer] { FBuilder = outer; });
    builder.Build();
    FQResult->SetStatement(builder.TakeStatement());
    mergeTableFilters(FTableFilters, builder.TakeTableFilters());
}

void TVxQuery::BuildFilters()
{
    FTableFiltersMode = true;
    const auto modeOff = qScopeGuard([this] { FTableFiltersMode = false; });
    FTableFilters.Clear();
    BuildQuery();
}

void TVxQuery::WriteBracket(TFilterBracket* bracket, bool having)
{
    if (FBuilder) {
        FBuilder->WriteBracket(bracket, having);
        return;
    }
    // Outside a build the conditions join the statement of the last one.
    StatementBuilder builder(*this, [this](TFilterCond* cond, QString& text) { conditionWritten(cond, text); },
                             FQResult->TakeStatement());
    FBuilder = &builder;
    const auto handBack = qScopeGuard([&] {
        FBuilder = nullptr;
        FQResult->SetStatement(builder.TakeStatement());
        mergeTableFilters(FTableFilters, builder.TakeTableFilters());
    });
    builder.WriteBracket(bracket, having);
}

} // namespace brindle
