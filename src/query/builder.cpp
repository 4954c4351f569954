// The query's result: parameters, table filters, the statement a build
// hands over and its assembly into text (FROM in join or comma style).

#include <brindle/query/builder.h>

#include <brindle/foundations/messages.h>
#include <brindle/foundations/syntax_rules.h>
#include <brindle/query/query.h>
#include <brindle/foundations/text_utils.h>

#include <QRegularExpression>

#include <utility>

namespace brindle {

namespace {

const QString kFromIndent = QStringLiteral("     ");
const QString kJoinIndentStep = QStringLiteral("    ");
const QString kLineBreak = QStringLiteral("\n");

// A row limit "n" or "n OFFSET m" as its two numbers' texts.
struct RowLimit {
    QString Count;
    QString Offset;
};

RowLimit splitRowLimit(const QString& text)
{
    static const QRegularExpression withOffset(QStringLiteral("^\\s*(\\S+)\\s+offset\\s+(\\S+)\\s*$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = withOffset.match(text);
    if (match.hasMatch())
        return {match.captured(1), match.captured(2)};
    return {text.trimmed(), QString()};
}

bool hasNonAsciiChar(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 127)
            return true;
    return false;
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

void TVxTableFilterList::AddCondition(TDSTable* table, const QString& text)
{
    TVxTableFilter* filter = FindByTable(table);
    if (!filter) {
        auto created = std::make_unique<TVxTableFilter>();
        created->SetTable(table);
        filter = created.get();
        Add(std::move(created));
    }
    filter->SetFilter(filter->Filter().isEmpty() ? text : filter->Filter() + QStringLiteral(" AND ") + text);
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

void TQueryResult::SetStatement(BuiltStatement statement)
{
    FStatement = std::move(statement);
}

BuiltStatement TQueryResult::TakeStatement()
{
    return std::exchange(FStatement, BuiltStatement());
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
    if (FWasSQL1Joins || !FStatement.WhereClause.IsEmpty()) {
        FSQL.Add(QStringLiteral("WHERE"));
        if (FWasSQL1Joins) {
            TStringList joins;
            if (AddSQL1Joins(joins) && !FStatement.WhereClause.IsEmpty())
                joins.SetString(joins.Count() - 1, joins[joins.Count() - 1] + QStringLiteral(" AND"));
            FSQL.AddStrings(joins);
        }
        FSQL.AddStrings(FStatement.WhereClause);
    }
    if (!FStatement.GroupClause.isEmpty())
        FSQL.Add(QStringLiteral("GROUP BY ") + FStatement.GroupClause);
    if (!FStatement.HavingClause.isEmpty())
        FSQL.Add(QStringLiteral("HAVING ") + FStatement.HavingClause);
    const RowLimit fetch = FSQLSyntax == ssMSSQL ? splitRowLimit(rowLimit()) : RowLimit();
    if (!FStatement.OrderClause.isEmpty())
        FSQL.Add(QStringLiteral("ORDER BY ") + FStatement.OrderClause);
    else if (!fetch.Offset.isEmpty())
        FSQL.Add(QStringLiteral("ORDER BY (SELECT NULL)")); // OFFSET needs an ORDER BY there
    if (!fetch.Offset.isEmpty()) {
        FSQL.Add(QStringLiteral("OFFSET ") + fetch.Offset + QStringLiteral(" ROWS FETCH NEXT ") + fetch.Count
                 + QStringLiteral(" ROWS ONLY"));
    } else if (IsServerSyntax(FSQLSyntax) && FSQLSyntax != ssMSSQL) {
        if (const QString limit = rowLimit(); !limit.isEmpty())
            FSQL.Add(QStringLiteral("LIMIT ") + limit);
    } else if (!IsServerSyntax(FSQLSyntax) && FQueryPanel && !FQueryPanel->SQLLimitClause().isEmpty()) {
        FSQL.Add(QStringLiteral("LIMIT ") + FQueryPanel->SQLLimitClause());
    }
    return FSQL;
}

QString TQueryResult::rowLimit() const
{
    if (!FQueryPanel)
        return {};
    // The server syntaxes know one limit each: a limit clause, else the top.
    return FQueryPanel->SQLLimitClause().isEmpty() ? FQueryPanel->SQLTopClause() : FQueryPanel->SQLLimitClause();
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
    if (FSQLSyntax == ssMSSQL) {
        if (const RowLimit top = splitRowLimit(rowLimit()); !top.Count.isEmpty() && top.Offset.isEmpty())
            text += QStringLiteral(" TOP ") + top.Count + u' ';
    } else if (!IsServerSyntax(FSQLSyntax) && FQueryPanel && !FQueryPanel->SQLTopClause().isEmpty()) {
        text += QStringLiteral(" TOP ") + FQueryPanel->SQLTopClause() + u' ';
    }
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
    if (FStatement.Tables.IsEmpty())
        throw EVxQueryPanelError(8, LoadResString(_SQPEQueryWasNotBuilt));
    FWasSQL1Joins = false;
    FFromClause.Clear();
    FStatement.Tables.ResetAll();
    QString joins;
    BuildTableJoins(FStatement.Tables.GetItem(0), kFromIndent, joins, true);
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
    FStatement.WhereClause.Add(AdjustCondition(text));
}

void TQueryResult::AddHavingCondition(const QString& text)
{
    FStatement.HavingClause += u' ' + AdjustCondition(text);
}

void TQueryResult::AddTableFilterCondition(TDSTable* table, const QString& text)
{
    if (FQueryPanel)
        FQueryPanel->TableFilters().AddCondition(table, text);
}

bool TQueryResult::AddSQL1Joins(TStringList& lines) const
{
    const JoinForm form = FSQLSyntax == ssOracle ? jfOracle : jfSQL;
    bool added = false;
    for (int i = 1; i < FStatement.Tables.Count(); ++i) {
        const TDSLink* link = FStatement.Tables.GetItem(i)->Link;
        if (!link)
            continue;
        if (added)
            lines.SetString(lines.Count() - 1, lines[lines.Count() - 1] + QStringLiteral(" AND"));
        lines.Add(QStringLiteral("   ") + AdjustCondition(link->GetSQLExpr(form, FSQLSyntax)));
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
        text = entry->Table->FromExpr(FSQLSyntax);
    const bool commaStyle = FSQLSyntax == ssSQL1 || FSQLSyntax == ssOracle;
    const TVxCustomDBStructure* model = FQueryPanel ? FQueryPanel->DbStruct() : nullptr;
    // Entries joined deeper down are marked processed, so each pass re-reads the flag.
    for (int i = 0; i < FStatement.Tables.Count(); ++i) {
        TResultTable* joined = FStatement.Tables.GetItem(i);
        bool isTable1 = false;
        if (joined->Processed || !joined->Table || !joined->Link
            || !joined->Link->ContainsTableEx(entry->Table, isTable1))
            continue;
        const TDSLink* link = joined->Link;
        QString rest;
        if (commaStyle) {
            FWasSQL1Joins = true;
            BuildTableJoins(joined, indent, rest, false);
            text += QStringLiteral(", ") + kLineBreak + indent + joined->Table->FromExpr(FSQLSyntax) + rest;
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
        const QString condition = link->GetSQLExpr(jfSQL, FSQLSyntax);
        if (!FSQLOptions.Contains(soBracketJoins)) {
            BuildTableJoins(joined, indent, rest, false);
            text += u' ' + joined->Table->FromExpr(FSQLSyntax) + QStringLiteral(" ON ") + condition + kLineBreak + indent
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

} // namespace brindle
