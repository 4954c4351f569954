#include <brindle/sqlimport/sql_importer.h>

#include <brindle/query/query.h>
#include <brindle/sqlimport/sql_parser.h>
#include <brindle/sqlimport/template_match.h>

#include <brindle/foundations/date_time.h>
#include <brindle/foundations/messages.h>
#include <brindle/foundations/syntax_rules.h>
#include <brindle/foundations/text_utils.h>

#include <QDateTime>
#include <QRegularExpression>
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

// The model's operators in search order, each with the characters a
// condition must hold for its template to fit, and the fields by SQL
// expression key and by folded full name, first in model order.
struct SqlImporter::Lookups {
    std::vector<std::pair<TDSOperator*, AsciiSet>> Operators;
    TextHash<TDSField*> FieldsBySQLExpr;
    TextHash<TDSField*> FieldsByFullName;
    bool FieldsMade = false;
    QString Key;  // room for the look-up key of each condition
    QString Text; // room for the text of each condition
};

SqlImporter::SqlImporter(TVxQuery& query) : FQuery(query) {}

SqlImporter::~SqlImporter() = default;

SqlImporter::Lookups& SqlImporter::lookups(bool withFields)
{
    const TVxCustomDBStructure& model = *FQuery.FDbStruct;
    if (!FLookups) {
        FLookups = std::make_unique<Lookups>();
        FLookups->Operators = candidatesOf(model);
    }
    if (withFields && !FLookups->FieldsMade) {
        FLookups->FieldsMade = true;
        for (int i = 0; i < model.FieldCount(); ++i) {
            TDSField* field = model.Fields(i);
            // The first field of a key answers, as the model's own look-up does.
            const QString exprKey = model.SQLExprKey(field->SQLExpr());
            if (!FLookups->FieldsBySQLExpr.contains(exprKey))
                FLookups->FieldsBySQLExpr.insert(exprKey, field);
            const QString nameKey = FoldCase(field->FullName());
            if (!FLookups->FieldsByFullName.contains(nameKey))
                FLookups->FieldsByFullName.insert(nameKey, field);
        }
    }
    return *FLookups;
}

void SqlImporter::Import(const TStringList& sql)
{
    TVxQuery& q = FQuery;
    if (!q.FDbStruct)
        throw EVxQueryPanelError(3, LoadResString(_SQPENoDBStruct));
    const bool wasActive = q.FActive;
    q.beginReset();
    q.FState = stLoading;
    q.FActive = false;
    const auto restore = qScopeGuard([this, &q, wasActive] {
        FLookups.reset();
        FStatement = nullptr;
        q.FState = stIdle;
        // A model freed meanwhile leaves the query inactive.
        q.FActive = wasActive && q.FDbStruct;
        q.endReset();
    });
    q.ClearAll();
    FStatement = &sql;

    TVxSQLParser parser;
    parser.SetSQL(sql);
    parser.Parse();
    const TVxParserResult& parsed = parser.ParserResult();
    TRFieldList& fields = q.FQResult->ResultFields();
    fields.SetJustSorting(parsed.ResultFields().JustSorting());
    for (const auto& item : parsed.ResultFields())
        fields.AddBySQLExpr(QString(), StandardSpelling(q.FSQLSyntax, item->SQLExpr()),
                            static_cast<TSortingType>(item->Sorting()), item->SortOrder());
    if (const TSQLBracket* where = parsed.WhereClause())
        ImportBracket(q.FFilter.get(), where, parsed.Tables());
    // A statement's row limit becomes the query's; one without keeps it.
    if (!parsed.TopClause().isEmpty() || !parsed.LimitClause().isEmpty()) {
        q.FSQLTopClause = parsed.TopClause();
        q.FSQLLimitClause = parsed.LimitClause();
    }
}

void SqlImporter::ImportBracket(TFilterBracket* bracket, const TSQLBracket* sqlBracket,
                                const TVxObjectList<TSQLTable>& tables)
{
    if (sqlBracket->BoolOperator() == QLatin1String("or"))
        bracket->SetLinkType(sqlBracket->Negative() ? fltNone : fltAny);
    else
        bracket->SetLinkType(sqlBracket->Negative() ? fltNotAll : fltAll);

    TVxQuery& q = FQuery;
    TVxCustomDBStructure* model = q.FDbStruct.data();
    if (!model)
        return;
    // Host handlers run while rows are made; the look-ups hold model entities.
    const quint64 removals = q.ModelRemovals();
    const char* const doing = "the statement was being imported";
    Lookups& found = lookups(true);
    TStringList subQuery;
    for (const auto& node : sqlBracket->Nodes()) {
        q.requireModelSince(removals, doing);
        subQuery.Clear();
        if (node->IsBracket()) {
            ImportBracket(bracket->AddNewBracket(), static_cast<const TSQLBracket*>(node.get()), tables);
            continue;
        }
        const auto* parsed = static_cast<const TSQLCondition*>(node.get());
        if (TDSCondition* custom = CustomConditionOf(model, parsed)) {
            bracket->AddCustomCond(custom);
            continue;
        }
        QString name = StandardSpelling(q.FSQLSyntax, parsed->LeftExpr());
        if (!name.contains(u'.') && tables.Count() > 0)
            name = tables.GetItem(0)->AliasName() + u'.' + name;
        model->SQLExprKey(name, found.Key);
        TDSField* field = found.FieldsBySQLExpr.value(BorrowedKey(found.Key));
        if (!field)
            field = found.FieldsByFullName.value(FoldCase(name));
        if (!field)
            field = model->NullField();

        QString value1;
        QString value2;
        TDSOperator* op = OperatorOf(parsed, value1, value2, subQuery);
        if (!op)
            op = model->NullOperator();
        // The condition is made with its field rather than with the first
        // field and then this one.
        auto* condition = static_cast<TSimpleCond*>(bracket->AddCond(field));
        q.requireModelSince(removals, doing);
        condition->SetOperator(op);
        q.requireModelSince(removals, doing);

        const bool param1 = value1.startsWith(u':');
        const bool param2 = value2.startsWith(u':');
        if (param1)
            condition->SetValueIsParam(1, true);
        if (param2)
            condition->SetValueIsParam(2, true);

        if (BrDateTimeTypes.Contains(condition->GetExprType())) {
            const int values = op->ParamCount();
            value1 = !param1 && values >= 1 ? DateValue(condition->GetValueType(1), value1) : QString();
            value2 = !param2 && values >= 2 ? DateValue(condition->GetValueType(2), value2) : QString();
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

TDSOperator* SqlImporter::OperatorOf(const TSQLCondition* condition, QString& value1, QString& value2,
                                     TStringList& subQuery)
{
    value1.clear();
    value2.clear();
    TVxCustomDBStructure* model = FQuery.FDbStruct.data();
    if (!model)
        return nullptr;
    Lookups& found = lookups(false);
    // The variables are views into the texts matched; every text a rule
    // rewrote stays alive, since a value read from it may be asked for later.
    std::array<QString, std::size(kRewriteRules) + 1> texts;
    std::size_t current = 0;
    condition->GetSQLExpr(found.Text);
    const TSQLSyntax syntax = FQuery.FSQLSyntax;
    QString left = condition->LeftExpr();
    if (IsServerSyntax(syntax)) {
        // The whole text answers for its left side: a text left as it was
        // shares its characters.
        QString standard = StandardSpelling(syntax, found.Text, true);
        if (standard.constData() != found.Text.constData()) {
            found.Text = std::move(standard);
            left = StandardSpelling(syntax, left);
        }
    }
    texts[0] = found.Text;
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

    for (const auto& [op, needed] : found.Operators) {
        if (condition->ContainsSubQuery() != (op->ValueKind() == vkSubQuery) || !needed.IsWithin(characters))
            continue;
        if (!MatchSQLTemplate(op->SQLExpr(), text, variables)
            || !EqualToSpaces(variables.Value(u"@f"), left))
            continue;
        value1 = variables.Text(u"@1");
        value2 = variables.Text(u"@2");
        for (QString* value : {&value1, &value2})
            value->replace(QChar(kEscapedPercent), u'%').replace(QChar(kEscapedUnderscore), u'_');
        if (op->ValueKind() == vkSubQuery)
            ImportSubQuery(value1, subQuery);
        return op;
    }
    if (condition->Operator() == QLatin1String("like")) {
        TDSOperator* op = model->OperatorByName(QStringLiteral("contains"));
        if (!op)
            op = model->OperatorByName(QStringLiteral("startswith"));
        value1 = StandardSpelling(syntax, condition->RightExpr());
        return op;
    }
    return nullptr;
}

TDSCondition* SqlImporter::CustomConditionOf(const TVxCustomDBStructure* model, const TSQLCondition* condition)
{
    if (!model || model->Conditions().IsEmpty())
        return nullptr;
    const QString text = condition->GetSQLExpr().toLower();
    for (const auto& custom : model->Conditions())
        if (EqualToSpaces(custom->SQLExpr().toLower(), text))
            return custom.get();
    return nullptr;
}

QString SqlImporter::DateValue(TFieldType fieldType, const QString& value)
{
    static const char* const dates[] = {"yyyy-mm-dd", "mm/dd/yyyy", "mm/dd/yy", "dd.mm.yyyy", "dd.mm.yy"};
    static const char* const dateTimes[] = {"yyyy-mm-dd hh:nn:ss", "mm/dd/yyyy hh:nn:ss", "mm/dd/yy hh:nn:ss",
                                            "dd.mm.yyyy hh:nn:ss", "dd.mm.yy hh:nn:ss"};
    static const char* const times[] = {"hh:nn:ss", "hh:nn"};
    bool found = false;
    TDateTime read = 0;
    // SQL Server's forms: yyyymmdd and the ISO date-time with its "T".
    QString text = value;
    if (text.size() == 8 && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); }))
        text = text.left(4) + u'-' + text.mid(4, 2) + u'-' + text.mid(6);
    else if (text.size() > 10 && text[10] == u'T')
        text[10] = u' ';
    switch (fieldType) {
    case ftDate:
        read = readDateTime(text, dates, std::size(dates), found);
        break;
    case ftTime:
        read = readDateTime(text, times, std::size(times), found);
        break;
    default:
        // Date-time values and time stamps; a time stamp written as a plain
        // date is a date at midnight.
        read = readDateTime(text, dateTimes, std::size(dateTimes), found);
        if (!found && fieldType != ftDateTime)
            read = readDateTime(text, dates, std::size(dates), found);
        break;
    }
    if (!found) {
        const QDateTime now = QDateTime::currentDateTime();
        read = fieldType == ftTime ? FromQDateTime(now) - std::floor(FromQDateTime(now)) : FromQDate(now.date());
    }
    return BrDateTimeToStr(read);
}

void SqlImporter::raiseInStatement(const ESQLParserError& error, const QString& subQuery) const
{
    // The parser hands operands out as written, lines joined by "\n", so
    // the sub-query is a piece of the statement so joined.
    // Outside an import the sub-query's own text is the statement.
    if (!FStatement)
        throw error;
    const QString statement = FStatement->Lines().join(u'\n');
    const qsizetype start = statement.indexOf(subQuery);
    static const QRegularExpression lineSuffix(QStringLiteral("Line:(\\d+)$"));
    const QRegularExpressionMatch messageLine = lineSuffix.match(error.Message());
    if (start < 0 || error.Line() < 1 || !messageLine.hasMatch())
        throw ESQLParserError(error.Message(), 0, 0, error.Token());

    // The sub-query's line n is the statement's line first + n - 1; its
    // first line starts within a line of the statement, the others at a
    // line's start.
    const int first = static_cast<int>(QStringView(statement).left(start).count(u'\n'));
    const qsizetype lineStart = start > 0 ? statement.lastIndexOf(u'\n', start - 1) + 1 : 0;
    int column = error.Column();
    if (error.Line() == 1)
        column += static_cast<int>(QStringView(statement).mid(lineStart, start - lineStart).toUcs4().size());
    const QString message = error.Message().left(messageLine.capturedStart(1))
                            + QString::number(first + messageLine.captured(1).toInt());
    throw ESQLParserError(message, first + error.Line(), column, error.Token());
}

QString SqlImporter::ImportSubQuery(const QString& sql, TStringList& dest)
{
    TVxQuery hidden;
    hidden.SetDbStruct(FQuery.FDbStruct.data());
    hidden.SetSQLOptions(FQuery.FSQLOptions);
    hidden.SetSQLSyntax(FQuery.FSQLSyntax);
    TStringList lines;
    lines.SetText(sql);
    try {
        SqlImporter(hidden).Import(lines);
    } catch (const ESQLParserError& e) {
        raiseInStatement(e, sql);
    }
    hidden.SaveToStrings(dest);
    return hidden.GetQueryText().Text();
}

} // namespace brindle
