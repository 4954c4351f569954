// Importing a SELECT statement into a query: the parser's result columns
// become result fields, its WHERE tree becomes brackets and conditions bound
// to the model's fields and operators by matching the operators' templates.
// Sub-queries are imported into hidden queries of their own.

#include <brindle/query/query.h>
#include <brindle/sqlimport/sql_parser.h>
#include <brindle/sqlimport/template_match.h>

#include <brindle/foundations/date_time.h>
#include <brindle/foundations/messages.h>
#include <brindle/foundations/text_utils.h>

#include <QDateTime>
#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <cmath>

namespace brindle {
namespace {

// Conditions rewritten before the operator search, so that "!=" and a
// negated "=" read as "<>".
const std::pair<QStringView, QStringView> kRewriteRules[] = {
    {u"@f != '@1'", u"@f <> '@1'"},
    {u"not(@f = '@1')", u"@f <> '@1'"},
};

// The model's operators, longest template first (model order among equals),
// so that "not(@f like '%@1%')" is tried before "@f like '%@1%'".
std::vector<std::pair<TDSOperator*, AsciiSet>> candidatesOf(const TVxCustomDBStructure& model)
{
    std::vector<std::pair<TDSOperator*, AsciiSet>> operators;
    operators.reserve(static_cast<std::size_t>(model.OperatCount()));
    for (int i = 0; i < model.OperatCount(); ++i)
        operators.emplace_back(model.Operators(i), TemplateCharacters(model.Operators(i)->SQLExpr()));
    std::stable_sort(operators.begin(), operators.end(), [](const auto& a, const auto& b) {
        return a.first->SQLExpr().size() > b.first->SQLExpr().size();
    });
    return operators;
}

// An SQL list such as 'a','it''s' as the item text a list value holds:
// each quoted literal in double quotes instead ("a","it's"), its doubled
// single quotes undone and its double quotes doubled, so that every item
// reads back as written.
QString listItemsText(const QString& sqlList)
{
    QString items;
    items.reserve(sqlList.size());
    for (qsizetype i = 0; i < sqlList.size(); ++i) {
        if (sqlList[i] != u'\'') {
            items += sqlList[i];
            continue;
        }
        items += u'"';
        for (++i; i < sqlList.size(); ++i) {
            if (sqlList[i] == u'\'') {
                if (i + 1 < sqlList.size() && sqlList[i + 1] == u'\'') {
                    items += u'\'';
                    ++i;
                    continue;
                }
                break;
            }
            if (sqlList[i] == u'"')
                items += u'"';
            items += sqlList[i];
        }
        items += u'"';
    }
    return items;
}

TDateTime readDateTime(const QString& text, const char* const* formats, std::size_t count, bool& found)
{
    TDateTime value = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (TryStrToDateTimeByFormat(text, QString::fromLatin1(formats[i]), value)) {
            found = true;
            return value;
        }
    found = false;
    return value;
}

} // namespace

void TVxQuery::ParseSQL(const TStringList& sql)
{
    if (!FDbStruct)
        throw EVxQueryPanelError(3, LoadResString(_SQPENoDBStruct));
    const bool wasActive = FActive;
    beginReset();
    FState = stLoading;
    FActive = false;
    const auto restore = qScopeGuard([this, wasActive] {
        FImport.reset();
        FState = stIdle;
        // A model freed meanwhile leaves the query inactive.
        FActive = wasActive && FDbStruct;
        endReset();
    });
    ClearAll();

    TVxSQLParser parser;
    parser.SetSQL(sql);
    parser.Parse();
    const TVxParserResult& parsed = parser.ParserResult();
    TRFieldList& fields = FQResult->ResultFields();
    fields.SetJustSorting(parsed.ResultFields().JustSorting());
    for (const auto& item : parsed.ResultFields())
        fields.AddBySQLExpr(QString(), item->SQLExpr(), static_cast<TSortingType>(item->Sorting()),
                            item->SortOrder());
    if (const TSQLBracket* where = parsed.WhereClause()) {
        FImport = std::make_unique<ImportLookups>();
        FImport->Operators = candidatesOf(*FDbStruct);
        for (int i = 0; i < FDbStruct->FieldCount(); ++i) {
            TDSField* field = FDbStruct->Fields(i);
            // The first field of a key answers, as the model's own look-up does.
            const QString exprKey = FDbStruct->SQLExprKey(field->SQLExpr());
            if (!FImport->FieldsBySQLExpr.contains(exprKey))
                FImport->FieldsBySQLExpr.insert(exprKey, field);
            const QString nameKey = FoldCase(field->FullName());
            if (!FImport->FieldsByFullName.contains(nameKey))
                FImport->FieldsByFullName.insert(nameKey, field);
        }
        ProcessSQLBracket(FFilter.get(), where, parsed.Tables());
    }
}

void TVxQuery::ProcessSQLBracket(TFilterBracket* bracket, const TSQLBracket* sqlBracket, const TVxObjectList<TSQLTable>& tables)
{
    if (sqlBracket->BoolOperator() == QLatin1String("or"))
        bracket->SetLinkType(sqlBracket->Negative() ? fltNone : fltAny);
    else
        bracket->SetLinkType(sqlBracket->Negative() ? fltNotAll : fltAll);

    // Host handlers run while rows are made; the lookups hold model entities.
    const quint64 removals = FModelRemovals;
    const char* const doing = "the statement was being imported";
    TStringList subQuery;
    for (const auto& node : sqlBracket->Nodes()) {
        requireModelSince(removals, doing);
        subQuery.Clear();
        if (node->IsBracket()) {
            ProcessSQLBracket(bracket->AddNewBracket(), static_cast<const TSQLBracket*>(node.get()), tables);
            continue;
        }
        const auto* parsed = static_cast<const TSQLCondition*>(node.get());
        if (TDSCondition* custom = FindCustomCondition(parsed)) {
            bracket->AddCustomCond(custom);
            continue;
        }
        QString name = parsed->LeftExpr();
        if (!name.contains(u'.') && tables.Count() > 0)
            name = tables.GetItem(0)->AliasName() + u'.' + name;
        TDSField* field = nullptr;
        if (FImport) {
            FDbStruct->SQLExprKey(name, FImport->Key);
            field = FImport->FieldsBySQLExpr.value(TextKey::Borrowed(FImport->Key));
        } else {
            field = FDbStruct->FieldByName(3, name);
        }
        if (!field)
            field = FImport ? FImport->FieldsByFullName.value(FoldCase(name)) : FDbStruct->FieldByName(2, name);
        if (!field)
            field = FDbStruct->NullField();

        QString value1;
        QString value2;
        TDSOperator* op = OperatorBySQLCond(parsed, value1, value2, subQuery);
        if (!op)
            op = FDbStruct->NullOperator();
        // The condition is made with its field rather than with the first
        // field and then this one.
        auto* condition = static_cast<TSimpleCond*>(bracket->AddCond(field));
        requireModelSince(removals, doing);
        condition->SetOperator(op);
        requireModelSince(removals, doing);

        const bool param1 = value1.startsWith(u':');
        const bool param2 = value2.startsWith(u':');
        if (param1)
            condition->SetValueIsParam(1, true);
        if (param2)
            condition->SetValueIsParam(2, true);

        if (BrDateTimeTypes.Contains(condition->GetExprType())) {
            const int values = op->ParamCount();
            value1 = !param1 && values >= 1 ? ProcessSQLDateValue(condition->GetValueType(1), value1) : QString();
            value2 = !param2 && values >= 2 ? ProcessSQLDateValue(condition->GetValueType(2), value2) : QString();
        }
        if (!param1 && op->ValueKind() == vkList)
            value1 = listItemsText(value1);
        if (!param1)
            condition->SetValue(1, value1);
        if (!param2)
            condition->SetValue(2, value2);
        if (!subQuery.IsEmpty())
            condition->SubQuery() = subQuery;
    }
}

TDSOperator* TVxQuery::OperatorBySQLCond(const TSQLCondition* condition, QString& value1, QString& value2,
                                         TStringList& subQuery)
{
    value1.clear();
    value2.clear();
    if (!FDbStruct)
        return nullptr;
    // The variables are views into the texts matched; every text a rule
    // rewrote stays alive, since a value read from it may be asked for later.
    std::array<QString, std::size(kRewriteRules) + 1> texts;
    std::size_t current = 0;
    // During an import the first text is written into a kept buffer.
    if (FImport) {
        condition->GetSQLExpr(FImport->Text);
        texts[0] = FImport->Text;
    } else {
        texts[0] = condition->GetSQLExpr();
    }
    AsciiSet characters = TextCharacters(texts[0]);
    static const auto ruleCharacters = [] {
        std::array<AsciiSet, std::size(kRewriteRules)> sets;
        for (std::size_t i = 0; i < sets.size(); ++i)
            sets[i] = TemplateCharacters(kRewriteRules[i].first);
        return sets;
    }();
    TemplateVariables variables;
    for (std::size_t rule = 0; rule < std::size(kRewriteRules); ++rule) {
        const auto& [pattern, replacement] = kRewriteRules[rule];
        if (!ruleCharacters[rule].IsWithin(characters) || !MatchSQLTemplate(pattern, texts[current], variables))
            continue;
        QString& rewritten = texts[current + 1];
        rewritten = replacement.toString();
        for (const char16_t* name : {u"@f", u"@1", u"@2"})
            rewritten = ReplaceStr(rewritten, QString::fromUtf16(name), variables.Value(name).toString());
        ++current;
        characters = TextCharacters(texts[current]);
    }
    TemplateText text(texts[current]);

    const auto sorted = FImport ? decltype(candidatesOf(*FDbStruct))() : candidatesOf(*FDbStruct);
    for (const auto& [op, needed] : FImport ? FImport->Operators : sorted) {
        if (condition->ContainsSubQuery() != (op->ValueKind() == vkSubQuery) || !needed.IsWithin(characters))
            continue;
        if (!MatchSQLTemplate(op->SQLExpr(), text, variables)
            || !EqualToSpaces(variables.Value(u"@f"), condition->LeftExpr()))
            continue;
        value1 = variables.Value(u"@1").toString();
        value2 = variables.Value(u"@2").toString();
        if (op->ValueKind() == vkSubQuery)
            ProcessSubQuery(value1, subQuery);
        return op;
    }
    if (condition->Operator() == QLatin1String("like")) {
        TDSOperator* op = FDbStruct->OperatorByName(QStringLiteral("contains"));
        if (!op)
            op = FDbStruct->OperatorByName(QStringLiteral("startswith"));
        value1 = condition->RightExpr();
        return op;
    }
    return nullptr;
}

TDSCondition* TVxQuery::FindCustomCondition(const TSQLCondition* condition) const
{
    if (!FDbStruct || FDbStruct->Conditions().IsEmpty())
        return nullptr;
    const QString text = condition->GetSQLExpr().toLower();
    for (const auto& custom : FDbStruct->Conditions())
        if (EqualToSpaces(custom->SQLExpr().toLower(), text))
            return custom.get();
    return nullptr;
}

QString TVxQuery::ProcessSQLDateValue(TFieldType fieldType, const QString& value) const
{
    static const char* const dates[] = {"yyyy-mm-dd", "mm/dd/yyyy", "mm/dd/yy", "dd.mm.yyyy", "dd.mm.yy"};
    static const char* const dateTimes[] = {"yyyy-mm-dd hh:nn:ss", "mm/dd/yyyy hh:nn:ss", "mm/dd/yy hh:nn:ss",
                                            "dd.mm.yyyy hh:nn:ss", "dd.mm.yy hh:nn:ss"};
    static const char* const times[] = {"hh:nn:ss", "hh:nn"};
    bool found = false;
    TDateTime read = 0;
    switch (fieldType) {
    case ftDate:
        read = readDateTime(value, dates, std::size(dates), found);
        break;
    case ftTime:
        read = readDateTime(value, times, std::size(times), found);
        break;
    default:
        // Date-time values and time stamps; a time stamp written as a plain
        // date is a date at midnight.
        read = readDateTime(value, dateTimes, std::size(dateTimes), found);
        if (!found && fieldType != ftDateTime)
            read = readDateTime(value, dates, std::size(dates), found);
        break;
    }
    if (!found) {
        const QDateTime now = QDateTime::currentDateTime();
        read = fieldType == ftTime ? FromQDateTime(now) - std::floor(FromQDateTime(now)) : FromQDate(now.date());
    }
    return BrDateTimeToStr(read);
}

QString TVxQuery::ProcessSubQuery(const QString& sql, TStringList& dest)
{
    TVxQuery hidden;
    hidden.SetDbStruct(FDbStruct.data());
    hidden.SetSQLOptions(FSQLOptions);
    hidden.SetSQLSyntax(FSQLSyntax);
    TStringList lines;
    lines.SetText(sql);
    hidden.ParseSQL(lines);
    hidden.SaveToStrings(dest);
    return hidden.GetQueryText().Text();
}

} // namespace brindle
