// One query written in every syntax: names that need quoting, date and
// LIKE literals, the list aggregate and row limits; and hostile values
// written into LIKE patterns of the server syntaxes.

#include "query/query_fixtures.h"

#include <brindle/datamodel/model_xml.h>
#include <brindle/foundations/date_time.h>
#include <brindle/foundations/syntax_rules.h>

#include <gtest/gtest.h>

#include <optional>
#include <random>

using namespace brindle;

namespace {

// A model with names each server syntax has to delimit: a table with a
// blank, a reserved word, quotes of every kind and a non-ASCII letter.
class ServerSyntaxes : public ::testing::Test, protected fixtures::ModelQuery {
protected:
    void SetUp() override
    {
        group = m.status;
        group->SetFieldExprRaw("Group");
        odd = m.custName;
        odd->SetFieldExprRaw("a\"b`c]d");
        city = m.custCity;
        city->Table()->SetTableName("Kunden Stadt");
        city->Table()->SetTableAlias("Kü");
        TRFieldList& fields = query.QResult()->ResultFields();
        fields.Add("@1", {group}, "Group");
        fields.Add("LIST(@1)", {city}, "Cities");
        fields.GetRField(0)->SetSorting(stAscending);
        add(odd, "Contains", "50%_!x\\[y]");
        add(m.orderDate, "Equal", BrDateTimeToStr(EncodeDate(2024, 1, 31)));
        add(m.status, "StartsWith", "O'Brien");
    }
    QString build(TSQLSyntax syntax, const QString& top = {}, const QString& limit = {})
    {
        query.SetSQLSyntax(syntax);
        query.SetSQLTopClause(top);
        query.SetSQLLimitClause(limit);
        query.BuildQuery();
        return query.QResult()->GetSQL().Lines().join(u'\n');
    }
    TDSField *group = nullptr, *odd = nullptr, *city = nullptr;
};

TEST_F(ServerSyntaxes, OneQueryInEachServerSyntax)
{
    const QString where = "WHERE\n(\n%1 like '%50%2%3%4x%5[y]%' ESCAPE '%6' AND\no.OrderDate = %7 AND\n"
                          "o.%8 like 'O''Brien%'\n)\nGROUP BY o.%8\nORDER BY 1 ASC";
    const struct {
        TSQLSyntax syntax;
        QString select, from, odd, escapes, date, group;
    } cases[] = {
        {ssPostgreSQL, "SELECT DISTINCT o.\"Group\", string_agg(CAST(\"Kü\".City AS text), ', ') as Cities",
         "Orders o INNER JOIN  \"Kunden Stadt\" \"Kü\" ON (o.CustID=\"Kü\".ID)", "\"Kü\".\"a\"\"b`c]d\"",
         "\\%|\\_|!|\\\\|\\", "DATE '2024-01-31'", "\"Group\""},
        {ssSQLite, "SELECT DISTINCT o.\"Group\", group_concat(\"Kü\".City, ', ') as Cities",
         "Orders o INNER JOIN  \"Kunden Stadt\" \"Kü\" ON (o.CustID=\"Kü\".ID)", "\"Kü\".\"a\"\"b`c]d\"",
         "\\%|\\_|!|\\\\|\\", "'2024-01-31'", "\"Group\""},
        {ssMySQL, "SELECT DISTINCT o.`Group`, GROUP_CONCAT(`Kü`.City SEPARATOR ', ') as Cities",
         "Orders o INNER JOIN  `Kunden Stadt` `Kü` ON (o.CustID=`Kü`.ID)", "`Kü`.`a\"b``c]d`",
         "!%|!_|!!|\\\\|!", "DATE '2024-01-31'", "`Group`"},
        {ssMSSQL, "SELECT DISTINCT  TOP 10 o.[Group], STRING_AGG([Kü].City, ', ') as Cities",
         "Orders o INNER JOIN  [Kunden Stadt] [Kü] ON (o.CustID=[Kü].ID)", "[Kü].[a\"b`c]]d]",
         "\\%|\\_|!|\\\\\\|\\", "'20240131'", "[Group]"},
    };
    for (const auto& c : cases) {
        const QStringList escapes = c.escapes.split('|');
        QString expected = c.select + "\nFROM \n     " + c.from + "\n     \n"
                           + where.arg(c.odd, escapes[0], escapes[1], escapes[2], escapes[3], escapes[4], c.date,
                                       c.group);
        if (c.syntax != ssMSSQL)
            expected += "\nLIMIT 10";
        EXPECT_EQ(build(c.syntax, "10").toStdString(), expected.toStdString())
            << SQLSyntaxToStr(c.syntax).toStdString();
    }
}

TEST_F(ServerSyntaxes, RowLimitsAndAliases)
{
    query.Filter()->ClearRows();
    query.QResult()->ResultFields().Delete(1);
    const struct {
        TSQLSyntax syntax;
        const char *top, *limit, *first, *last;
    } cases[] = {
        {ssPostgreSQL, "", "", "SELECT DISTINCT o.\"Group\"", "ORDER BY 1 ASC"},
        {ssPostgreSQL, "5", "", "SELECT DISTINCT o.\"Group\"", "LIMIT 5"},
        {ssSQLite, "5", "10 OFFSET 20", "SELECT DISTINCT o.\"Group\"", "LIMIT 10 OFFSET 20"},
        {ssMySQL, "", "7", "SELECT DISTINCT o.`Group`", "LIMIT 7"},
        {ssMSSQL, "", "7", "SELECT DISTINCT  TOP 7 o.[Group]", "ORDER BY 1 ASC"},
        {ssMSSQL, "3", "10 offset 20", "SELECT DISTINCT o.[Group]", "OFFSET 20 ROWS FETCH NEXT 10 ROWS ONLY"},
        {ssSQL2, "3", "4", "SELECT DISTINCT  TOP 3 o.Group", "LIMIT 4"},
    };
    for (const auto& c : cases) {
        const QStringList lines = build(c.syntax, c.top, c.limit).split('\n');
        EXPECT_TRUE(lines.first().startsWith(c.first) && lines.last() == c.last)
            << SQLSyntaxToStr(c.syntax).toStdString() << " " << c.limit << ":\n" << lines.join('\n').toStdString();
    }
    // Unsorted, SQL Server's OFFSET still needs an ORDER BY.
    query.QResult()->ResultFields().GetRField(0)->SetSorting(stNoSort);
    EXPECT_TRUE(
        build(ssMSSQL, "", "1 OFFSET 2").endsWith("ORDER BY (SELECT NULL)\nOFFSET 2 ROWS FETCH NEXT 1 ROWS ONLY"));

    // Aliases: delimited when they need it, always with soQuoteAliases.
    TResultField* field = query.QResult()->ResultFields().GetRField(0);
    field->SetAlias("Order");
    EXPECT_TRUE(build(ssMSSQL).startsWith("SELECT DISTINCT o.[Group] as [Order]\n"));
    field->SetAlias("Orders");
    EXPECT_TRUE(build(ssMySQL).startsWith("SELECT DISTINCT o.`Group` as Orders\n"));
    query.SetSQLOptions(query.SQLOptions() + TSQLOptions{soQuoteAliases});
    field->SetAlias("Orders");
    EXPECT_TRUE(build(ssPostgreSQL).startsWith("SELECT DISTINCT o.\"Group\" as \"Orders\"\n"));
}

// The pattern a server reads from a LIKE literal: each character with
// whether it is a wildcard; none when the text is not one whole literal.
std::optional<QList<std::pair<QChar, bool>>> likePattern(TSQLSyntax syntax, const QString& text)
{
    const qsizetype clause = text.lastIndexOf(" ESCAPE '");
    const QString literal = clause < 0 ? text : text.left(clause);
    QChar escape = syntax == ssPostgreSQL || syntax == ssMySQL ? QChar(u'\\') : QChar();
    if (clause >= 0) {
        if (text.size() != clause + 11 || !text.endsWith('\''))
            return std::nullopt;
        escape = text[clause + 9];
    }
    if (literal.size() < 2 || !literal.startsWith('\'') || !literal.endsWith('\''))
        return std::nullopt;
    QString value; // the string the literal holds
    for (qsizetype i = 1; i < literal.size() - 1; ++i) {
        const QChar c = literal[i];
        if ((c == '\\' && syntax == ssMySQL) || c == '\'') {
            if (i + 1 >= literal.size() - 1 || (c == '\'' && literal[i + 1] != '\''))
                return std::nullopt;
            ++i;
        }
        value += literal[i];
    }
    QList<std::pair<QChar, bool>> pattern;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == escape) {
            if (++i >= value.size())
                return std::nullopt;
            pattern.append({value[i], false});
        } else {
            pattern.append({c, c == '%' || c == '_' || (c == '[' && syntax == ssMSSQL)});
        }
    }
    return pattern;
}

// Random hostile values in a "contains" pattern: the server reads the
// wildcard, the value's characters as themselves, and the wildcard again.
TEST_F(ServerSyntaxes, HostileValuesInLikePatternsMatchThemselves)
{
    query.Filter()->ClearRows();
    const QStringList pieces = {"'", "''", "\\", "%", "_", "!", "[", "]", "^", "\"", "`", "ü", " ", "x", "--", "\n"};
    std::mt19937 rng(20261207);
    TSimpleCond* condition = add(group, "Contains");
    for (int n = 0; n < 400; ++n) {
        QString value;
        for (int k = 1 + int(rng() % 8); k > 0; --k)
            value += pieces.at(int(rng() % pieces.size()));
        condition->SetValue(1, value);
        for (TSQLSyntax syntax : {ssPostgreSQL, ssSQLite, ssMySQL, ssMSSQL}) {
            query.SetSQLSyntax(syntax);
            const QString sql = query.ConditionSQL(condition);
            const QString head = "o." + DelimitedName(syntax, "Group") + " like ";
            ASSERT_TRUE(sql.startsWith(head)) << sql.toStdString();
            const auto pattern = likePattern(syntax, sql.mid(head.size()));
            ASSERT_TRUE(pattern) << sql.toStdString();
            QList<std::pair<QChar, bool>> expected{{'%', true}};
            for (const QChar c : value)
                expected.append({c, false});
            expected.append({'%', true});
            EXPECT_EQ(*pattern, expected) << SQLSyntaxToStr(syntax).toStdString() << ": " << sql.toStdString();
        }
    }
    condition->SetValue(1, "plain");
    query.SetSQLSyntax(ssMSSQL);
    EXPECT_EQ(query.ConditionSQL(condition), "o.[Group] like '%plain%'") << "no ESCAPE without a need";
}

TEST_F(ServerSyntaxes, CaseInsensitiveLikeIsAModelOptionOfPostgreSQL)
{
    query.Filter()->ClearRows();
    TSimpleCond* condition = add(group, "Contains", "like 'Like'");
    m.model.SetCaseInsensitiveLike(true);
    query.SetSQLSyntax(ssPostgreSQL);
    EXPECT_EQ(query.ConditionSQL(condition), "o.\"Group\" ILIKE '%like ''Like''%'");
    query.SetSQLSyntax(ssSQLite);
    EXPECT_EQ(query.ConditionSQL(condition), "o.\"Group\" like '%like ''Like''%'") << "only PostgreSQL heeds case";

    // Through the model text and XML; a model without it writes nothing new.
    for (bool on : {true, false}) {
        m.model.SetCaseInsensitiveLike(on);
        TStringList text, xml;
        m.model.SaveToStrings(text);
        SaveDMToXml(m.model, xml);
        EXPECT_EQ(text.Text().contains("CaseInsensitiveLike=1"), on);
        EXPECT_EQ(xml.Text().contains("caseInsensitiveLike"), on);
        TVxDBStructure fromText, fromXml;
        fromXml.SetCaseInsensitiveLike(!on);
        fromText.LoadFromStrings(text);
        LoadDMFromXml(fromXml, xml);
        EXPECT_EQ(fromText.CaseInsensitiveLike(), on);
        EXPECT_EQ(fromXml.CaseInsensitiveLike(), on);
    }
}

TEST(SyntaxRules, NamesThatNeedQuotesAndTheStandardSpelling)
{
    for (const char* plain : {"Orders", "_x1", "Dates", "Selected", "a"})
        EXPECT_FALSE(NameNeedsQuotes(QString(plain))) << plain;
    for (const char* needs : {"", "1x", "Order", "SELECT", "user", "with", "Unit Price", "a.b", "Kü", "a-b", "x\"y"})
        EXPECT_TRUE(NameNeedsQuotes(QString::fromUtf8(needs))) << needs;
    const struct {
        TSQLSyntax syntax;
        const char *written, *standard;
    } cases[] = {
        {ssMSSQL, "[a]]b].[Order] = 'x]'", "\"a]b\".\"Order\" = 'x]'"},
        {ssMySQL, "`a``b\"` like '%a!%\\\\b\\'c%' ESCAPE '!'", "\"a`b\"\"\" like '%a%\\b''c%'"},
        {ssPostgreSQL, "\"x\" between DATE '2024-01-31' and TIMESTAMP '2024-01-31 10:00:00'",
         "\"x\" between '2024-01-31' and '2024-01-31 10:00:00'"},
        {ssPostgreSQL, "t.date = 'date ''x'''", "t.date = 'date ''x'''"},
        {ssPostgreSQL, "string_agg(CAST(t.\"a b\" AS text), ', ')", "LIST(t.\"a b\")"},
        {ssMySQL, "GROUP_CONCAT(t.`a b` SEPARATOR ', ')", "LIST(t.\"a b\")"},
        {ssSQLite, "group_concat(t.x, ', ') || 'group_concat(y)'", "LIST(t.x) || 'group_concat(y)'"},
        {ssMSSQL, "STRING_AGG(t.[x], ', ')", "LIST(t.\"x\")"},
        {ssPostgreSQL, "t.x ILIKE 'ilike'", "t.x like 'ilike'"},
        {ssSQL2, "`a` [b]", "`a` [b]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StandardSpelling(c.syntax, QString::fromUtf8(c.written)).toStdString(), c.standard) << c.written;
}

} // namespace
