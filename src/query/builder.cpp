// The statement builder: parameters, table filters, the clauses of a build
// and the finished statement, and the query's build itself (which tables
// the statement needs, how they are joined, ORDER BY and GROUP BY).

#include <brindle/query/builder.h>

#include <brindle/foundations/messages.h>
#include <brindle/query/query.h>
#include <brindle/foundations/text_utils.h>

#include <QHash>
#include <QScopeGuard>
#include <QSet>

namespace brindle {

namespace {

const QString kFromIndent = QStringLiteral("     ");
const QString kJoinIndentStep = QStringLiteral("    ");
const QString kLineBreak = QStringLiteral("\n");

bool hasNonAsciiChar(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 127)
            return true;
    return false;
}

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

} // namespace

// --- TSQLParam

TSQLParam::TSQLParam(TFilterCond* condition, int valueIndex)
    : FCondition(condition), FValueIndex(valueIndex)
{
}

void TSQLParam::SetDisplayName(const QString& name)
{
    FDisplayName = name;
    if (FCondition)
        FCondition->SetCaption(FValueIndex, name);
}

std::unique_ptr<TQueryWord> TSQLParam::CreateValueLabel(std::unique_ptr<TQueryWord> old) const
{
    if (!FCondition)
        return old;
    return FCondition->CreateValueLabel(std::move(old), FValueIndex, false);
}

// --- TSQLParamList

int TSQLParamList::IndexByName(const QString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->ParamName().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TSQLParamList::IndexByCondition(const TFilterCond* condition, int valueIndex) const
{
    for (int i = 0; i < Count(); ++i) {
        const TSQLParam* param = GetItem(i);
        if (param->Condition() == condition && param->ValueIndex() == valueIndex)
            return i;
    }
    return -1;
}

void TSQLParamList::DeleteByCondition(const TFilterCond* condition)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (GetItem(i)->Condition() == condition)
            Delete(i);
}

void TSQLParamList::Reindex(int start)
{
    for (int i = 0; i < Count(); ++i)
        GetItem(i)->SetParamName(QStringLiteral("Param") + QString::number(start + i));
}

// --- TVxTableFilterList

TVxTableFilter* TVxTableFilterList::FindByTable(const TDSTable* table) const
{
    for (const auto& filter : *this)
        if (filter->Table() == table)
            return filter.get();
    return nullptr;
}

TVxTableFilter* TVxTableFilterList::FindByTableName(const QString& name) const
{
    for (const auto& filter : *this)
        if (filter->Table() && filter->Table()->TableName().compare(name, Qt::CaseInsensitive) == 0)
            return filter.get();
    return nullptr;
}

// --- TQueryResult

TQueryResult::TQueryResult(TVxQuery* queryPanel)
    : FRFields(queryPanel ? queryPanel->DbStruct() : nullptr, queryPanel), FQueryPanel(queryPanel)
{
}

void TQueryResult::detachFromCondition(TSQLParam* param)
{
    TFilterCond* condition = param->Condition();
    if (!condition)
        return;
    if (condition->FParam1 == param)
        condition->FParam1 = nullptr;
    if (condition->FParam2 == param)
        condition->FParam2 = nullptr;
}

TQueryResult::~TQueryResult() = default;

void TQueryResult::SetSQLOptions(TSQLOptions options)
{
    FSQLOptions = options;
    FRFields.SetAsciiAliases(options.Contains(soASCIIRFields));
}

void TQueryResult::DbStructChanged()
{
    FRFields.SetDBStruct(FQueryPanel ? FQueryPanel->DbStruct() : nullptr);
}

const TStringList& TQueryResult::GetSQL()
{
    FSQL.Clear();
    FSQL.Add(GetSelectClause());
    FSQL.AddStrings(GetFromClause());
    if (FWasSQL1Joins || !FWhereClause.IsEmpty()) {
        FSQL.Add(QStringLiteral("WHERE"));
        if (FWasSQL1Joins) {
            TStringList joins;
            if (AddSQL1Joins(joins) && !FWhereClause.IsEmpty())
                joins.SetString(joins.Count() - 1, joins[joins.Count() - 1] + QStringLiteral(" AND"));
            FSQL.AddStrings(joins);
        }
        FSQL.AddStrings(FWhereClause);
    }
    if (!FGroupClause.isEmpty())
        FSQL.Add(QStringLiteral("GROUP BY ") + FGroupClause);
    if (!FHavingClause.isEmpty())
        FSQL.Add(QStringLiteral("HAVING ") + FHavingClause);
    if (!FOrderClause.isEmpty())
        FSQL.Add(QStringLiteral("ORDER BY ") + FOrderClause);
    if (FQueryPanel && !FQueryPanel->SQLLimitClause().isEmpty())
        FSQL.Add(QStringLiteral("LIMIT ") + FQueryPanel->SQLLimitClause());
    return FSQL;
}

QString TQueryResult::GetSelectClause()
{
    if (FSQLOptions.Contains(soASCIIRFields)) {
        for (int i = 0; i < FRFields.Count(); ++i) {
            TResultField* field = FRFields.GetRField(i);
            if (hasNonAsciiChar(field->Alias()))
                field->SetAlias(QStringLiteral("C") + QString::number(i + 1));
        }
    }
    QString text = FSQLOptions.Contains(soSelectDistinct) ? QStringLiteral("SELECT DISTINCT ")
                                                         : QStringLiteral("SELECT ");
    if (FQueryPanel && !FQueryPanel->SQLTopClause().isEmpty())
        text += QStringLiteral(" TOP ") + FQueryPanel->SQLTopClause() + u' ';
    if (!FRFields.JustSorting() && !FRFields.IsEmpty()) {
        QStringList items;
        for (const auto& field : FRFields)
            items.append(field->GetSelectExpr());
        text += items.join(QStringLiteral(", "));
    } else {
        text += u'*';
    }
    return text;
}

const TStringList& TQueryResult::GetFromClause()
{
    if (FRTables.IsEmpty())
        throw EVxQueryPanelError(8, LoadResString(_SQPEQueryWasNotBuilt));
    FWasSQL1Joins = false;
    FFromClause.Clear();
    FRTables.ResetAll();
    QString joins;
    BuildTableJoins(FRTables.GetItem(0), kFromIndent, joins, true);
    FFromClause.SetText(QStringLiteral("FROM ") + kLineBreak + kFromIndent + joins);
    return FFromClause;
}

void TQueryResult::GetJoinConditions(QString& text)
{
    TStringList lines;
    AddSQL1Joins(lines);
    text = lines.Lines().join(kLineBreak);
}

void TQueryResult::GetResFieldCaptions(TStringList& strings) const
{
    strings.Clear();
    for (const auto& field : FRFields)
        strings.Add(field->Caption());
}

QString TQueryResult::AdjustCondition(const QString& text) const
{
    const TSQLOptions options = FQueryPanel ? FQueryPanel->SQLOptions() : FSQLOptions;
    if (options.Contains(soBracketConditions))
        return u'(' + text + u')';
    return text;
}

void TQueryResult::AddCondition(const QString& text)
{
    FWhereClause.Add(AdjustCondition(text));
}

void TQueryResult::AddHavingCondition(const QString& text)
{
    FHavingClause += u' ' + AdjustCondition(text);
}

void TQueryResult::AddTableFilterCondition(TDSTable* table, const QString& text)
{
    if (!FQueryPanel)
        return;
    TVxTableFilterList& filters = FQueryPanel->TableFilters();
    TVxTableFilter* filter = filters.FindByTable(table);
    if (!filter) {
        auto created = std::make_unique<TVxTableFilter>();
        created->SetTable(table);
        filter = created.get();
        filters.Add(std::move(created));
    }
    filter->SetFilter(filter->Filter().isEmpty() ? text : filter->Filter() + QStringLiteral(" AND ") + text);
}

bool TQueryResult::AddSQL1Joins(TStringList& lines) const
{
    const JoinForm form = FSQLSyntax == ssOracle ? jfOracle : jfSQL;
    bool added = false;
    for (int i = 1; i < FRTables.Count(); ++i) {
        const TDSLink* link = FRTables.GetItem(i)->Link;
        if (!link)
            continue;
        if (added)
            lines.SetString(lines.Count() - 1, lines[lines.Count() - 1] + QStringLiteral(" AND"));
        lines.Add(QStringLiteral("   ") + AdjustCondition(link->GetSQLExpr(form)));
        added = true;
    }
    return added;
}

void TQueryResult::BuildTableJoins(TResultTable* entry, const QString& indent, QString& text, bool withTable)
{
    text.clear();
    if (!entry || !entry->Table)
        return;
    entry->Processed = true;
    if (withTable)
        text = entry->Table->FromExpr();
    const bool commaStyle = FSQLSyntax == ssSQL1 || FSQLSyntax == ssOracle;
    const TVxCustomDBStructure* model = FQueryPanel ? FQueryPanel->DbStruct() : nullptr;
    // Entries joined deeper down are marked processed, so each pass re-reads the flag.
    for (int i = 0; i < FRTables.Count(); ++i) {
        TResultTable* joined = FRTables.GetItem(i);
        bool isTable1 = false;
        if (joined->Processed || !joined->Table || !joined->Link
            || !joined->Link->ContainsTableEx(entry->Table, isTable1))
            continue;
        const TDSLink* link = joined->Link;
        QString rest;
        if (commaStyle) {
            FWasSQL1Joins = true;
            BuildTableJoins(joined, indent, rest, false);
            text += QStringLiteral(", ") + kLineBreak + indent + joined->Table->FromExpr() + rest;
            continue;
        }
        QString word;
        switch (link->LinkType()) {
        case ltInner:
            word = QStringLiteral("INNER");
            break;
        case ltOuterFull:
            word = QStringLiteral("FULL");
            break;
        default: {
            const bool left = (link->LinkType() == ltOuterLeft && isTable1)
                || (link->LinkType() == ltOuterRight && !isTable1);
            word = left ? QStringLiteral("LEFT") : QStringLiteral("RIGHT");
            const TVxCustomDBStructure* formats = model ? model : link->DBStruct();
            if (formats && formats->SQLFormats()->UseOuterKeyword())
                word += QStringLiteral(" OUTER");
        }
        }
        text += u' ' + word + QStringLiteral(" JOIN ");
        const QString condition = link->GetSQLExpr(jfSQL);
        if (!FSQLOptions.Contains(soBracketJoins)) {
            BuildTableJoins(joined, indent, rest, false);
            text += u' ' + joined->Table->FromExpr() + QStringLiteral(" ON ") + condition + kLineBreak + indent
                + TrimBlanks(rest);
        } else {
            const QString deeper = indent + kJoinIndentStep;
            BuildTableJoins(joined, deeper, rest, true);
            if (!rest.contains(u'\n') && !rest.contains(u'\r'))
                text += u' ' + TrimBlanks(rest);
            else
                text += kLineBreak + deeper + rest;
            text = u'(' + text + kLineBreak + deeper + QStringLiteral("ON ") + condition + u')';
        }
    }
}

TSQLParam* TQueryResult::AddParameter(TFilterCond* condition, int valueIndex)
{
    auto created = std::make_unique<TSQLParam>(condition, valueIndex);
    TSQLParam* param = created.get();
    param->SetParamType(condition ? condition->GetValueType(valueIndex) : ftUnknown);
    param->SetValueFormat(QStringLiteral("@v"));
    param->SetParamName(QStringLiteral("Param") + QString::number(FParams.Count() + FParentParamCount + 1));
    GenerateParamDisplayName(param, valueIndex);
    FParams.Add(std::move(created));
    if (FQueryPanel)
        FQueryPanel->ParametersListChanged();
    return param;
}

void TQueryResult::DeleteParameter(TSQLParam* param)
{
    const int index = FParams.IndexOf(param);
    if (index < 0)
        return;
    detachFromCondition(param);
    FParams.Delete(index);
    FParams.Reindex(FParentParamCount + 1);
    if (FQueryPanel)
        FQueryPanel->ParametersListChanged();
}

void TQueryResult::DeleteParameters(TFilterCond* condition)
{
    bool any = false;
    for (const auto& param : FParams) {
        if (param->Condition() == condition) {
            detachFromCondition(param.get());
            any = true;
        }
    }
    if (!any)
        return;
    FParams.DeleteByCondition(condition);
    FParams.Reindex(FParentParamCount + 1);
    if (FQueryPanel)
        FQueryPanel->ParametersListChanged();
}

void TQueryResult::ClearParams()
{
    for (const auto& param : FParams)
        detachFromCondition(param.get());
    FParams.Clear();
    if (FQueryPanel)
        FQueryPanel->ParametersListChanged();
}

TSQLParam* TQueryResult::FindParameter(const QString& name) const
{
    const int index = FParams.IndexByName(name);
    return index < 0 ? nullptr : FParams.GetItem(index);
}

TSQLParam* TQueryResult::FindParameterByCondition(const TFilterCond* condition, int valueIndex) const
{
    const int index = FParams.IndexByCondition(condition, valueIndex);
    return index < 0 ? nullptr : FParams.GetItem(index);
}

void TQueryResult::GenerateParamDisplayName(TSQLParam* param, int valueIndex)
{
    if (!param)
        return;
    TFilterCond* condition = param->Condition();
    const QString title = FQueryPanel ? FQueryPanel->GetTitle(QStringLiteral("ttlParameter")) : QString();
    const QString base = (condition ? condition->GetValueName(valueIndex) : QString()) + u' ' + title;
    // Two parameters of one condition are told apart by their value's number.
    const int otherIndex = valueIndex == 1 ? 2 : valueIndex == 2 ? 1 : 0;
    TSQLParam* other = otherIndex ? FindParameterByCondition(condition, otherIndex) : nullptr;
    if (other && other != param) {
        other->SetDisplayName(base + u' ' + QString::number(otherIndex));
        param->SetDisplayName(base + u' ' + QString::number(valueIndex));
    } else {
        param->SetDisplayName(base);
    }
}

// --- TVxQuery: building the statement

void TVxQuery::BuildQuery()
{
    TQueryResult* result = FQResult.get();
    QList<TDSTable*>& needed = result->FNeededTables;
    FState = stBuilding;
    const auto backToIdle = qScopeGuard([this, result, &needed] {
        needed.clear();
        result->FFieldExprs[0].clear();
        result->FFieldExprs[1].clear();
        result->FJoinedTables.clear();
        FState = stIdle;
    });
    needed.clear();
    result->FOrderClause.clear();
    result->FGroupClause.clear();
    result->FHavingClause.clear();
    result->FRTables.Clear();

    RefreshMainTable();
    if (FMainTable) {
        needed.append(FMainTable);
        result->FRTables.Add(FMainTable, nullptr);
    }
    for (const auto& field : result->FRFields)
        for (const TDSField* modelField : field->DSFields())
            if (modelField)
                for (TDSTable* table : modelField->Tables())
                    addTableOnce(needed, table);
    QSet<const TDSTable*> seen(needed.cbegin(), needed.cend());
    addNeededTables(FFilter.get(), needed, seen);

    result->FWhereClause.Clear();
    orderAndGroup(needed);

    if (FActive && FFilter) {
        FFilter->CloseEdit(true);
        WriteBracket(FFilter.get(), false);
        WriteBracket(FFilter.get(), true);
        if (result->FRTables.IsEmpty())
            throw EVxQueryPanelError(1, LoadResString(_SQPENoEnoughInfo));
    }
}

void TVxQuery::BuildFilters()
{
    FTableFiltersMode = true;
    const auto modeOff = qScopeGuard([this] { FTableFiltersMode = false; });
    FTableFilters.Clear();
    BuildQuery();
}

void TVxQuery::addNeededTables(TFilterBracket* bracket, QList<TDSTable*>& needed, QSet<const TDSTable*>& seen) const
{
    if (!bracket || !bracket->GetEnabled())
        return;
    for (int i = 0; i < bracket->GetRowCount(); ++i) {
        TFilterRow* row = bracket->GetRow(i);
        if (!row->GetEnabled())
            continue;
        if (row->IsBracket()) {
            addNeededTables(static_cast<TFilterBracket*>(row), needed, seen);
        } else if (const TSimpleDSTableList* tables = static_cast<TFilterCond*>(row)->GetTables()) {
            for (TDSTable* table : *tables)
                if (table && !seen.contains(table)) {
                    seen.insert(table);
                    needed.append(table);
                }
        }
    }
}

void TVxQuery::addResultTable(TDSTable* table, const QList<TDSTable*>& needed, QList<TDSTable*>& visiting)
{
    if (!table)
        return;
    TRTableList& tables = FQResult->FRTables;
    if (tables.IsEmpty() || FTableFiltersMode) {
        tables.Add(table, nullptr);
        return;
    }
    if (tables.IndexOf(table) >= 0 || tables.Find(table->TableAlias()))
        return;
    if (!FDbStruct)
        throw EVxQueryPanelError(3, LoadResString(_SQPENoDBStruct));
    if (!visiting.contains(table))
        visiting.append(table);

    QList<TDSTable*> best;
    bool bestWithin = false;
    const QSet<const TDSTable*> neededSet(needed.cbegin(), needed.cend());
    auto consider = [&](const TDSTable* from) {
        const TDSPath* found = FDbStruct->GetPath(from->TableAlias(), table->TableAlias());
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
    const QHash<const TDSTable*, int> distance = linkDistances(FDbStruct->TableByName(tlByAlias, table->TableAlias()));
    for (const TDSTable* from : needed) {
        if (visiting.contains(from))
            continue;
        const auto d = distance.constFind(FDbStruct->TableByName(tlByAlias, from->TableAlias()));
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
        addResultTable(start, needed, visiting);
    }
    for (int k = 0; k + 1 < best.size(); ++k) {
        TDSTable* next = best[k + 1];
        if (!tables.Find(next->TableAlias()))
            tables.Add(next, best[k]->LinkByTable(next));
    }
}

void TVxQuery::orderAndGroup(QList<TDSTable*>& needed)
{
    TRFieldList& fields = FQResult->FRFields;
    fields.GenerateNumbers();
    fields.RegenerateAliases();
    const bool byNumber = !fields.JustSorting() && !FSQLOptions.Contains(soSortByNames);
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
                addResultTable(table, needed, visiting);
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
    FQResult->FOrderClause = sortItems.join(QStringLiteral(", "));
    if (anyAggregate) {
        QStringList groupItems;
        for (const auto& field : fields)
            if (!field->GetAgregate())
                groupItems.append(field->GetSQLExpr());
        FQResult->FGroupClause = groupItems.join(QStringLiteral(", "));
    }
}

} // namespace brindle
