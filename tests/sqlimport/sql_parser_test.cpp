#include "sqlimport/parse_outline.h"

#include <gtest/gtest.h>

using namespace brindle;
using brindle::testing::outline;

namespace {

struct Parsed {
    TVxSQLParser parser;
    explicit Parsed(const QString& sql) { parser.SetSQL(TStringList(sql.split(u'\n'))); parser.Parse(); }
    const TVxParserResult& result() const { return parser.ParserResult(); }
    QString where() const { return result().WhereClause() ? outline(result().WhereClause()) : QStringLiteral("-"); }
    QString tables() const
    {
        QStringList parts;
        for (const auto& t : result().Tables())
            parts << t->TableName() + u'/' + t->AliasName();
        return parts.join(u',');
    }
    QString fields() const
    {
        QStringList parts;
        for (const auto& f : result().ResultFields())
            parts << QStringLiteral("%1/%2/%3/%4.%5")
                         .arg(f->SQLExpr(), f->Caption(), f->Alias())
                         .arg(f->Sorting())
                         .arg(f->SortOrder());
        return parts.join(u',');
    }
};

QString errorOf(const QString& sql)
{
    try {
        Parsed p(sql);
    } catch (const ESQLParserError& e) {
        return e.Message();
    }
    return QStringLiteral("no error");
}

TEST(SqlParser, SelectListAndTables)
{
    // The corpus has the outline; "*" also means just sorting.
    EXPECT_TRUE(Parsed("SELECT * FROM Customers").result().ResultFields().JustSorting());

    Parsed list("select distinct c.Name, COUNT(o.ID) as Cnt, CAST(c.x AS INT) AS \"The Value\" from Customers c");
    EXPECT_TRUE(list.result().Distinct());
    EXPECT_EQ(list.fields(), "c.Name/Name//0.0,COUNT(o.ID)/COUNT(o.ID)/Cnt/0.0,"
                             "CAST(c.x AS INT)/CAST(c.x AS INT)/The Value/0.0");
    EXPECT_EQ(list.tables(), "Customers/c");

    Parsed joins("SELECT a.x FROM ((\"My Schema\".\"A B\" a INNER JOIN B b ON a.id = b.aid)\n"
                 "LEFT OUTER JOIN C ON b.id = C.bid), D");
    EXPECT_EQ(joins.tables(), "My Schema.A B/a,B/b,C/C,D/D");
}

TEST(SqlParser, WhereTrees)
{
    // More trees, with their statements, are in the corpus.
    const std::pair<const char*, const char*> cases[] = {
        {"x NOT LIKE 'a%' AND y IS NOT NULL", "and[!{x|like|'a%'},!{y|is|null}]"},
        {"x BETWEEN 1 AND 5", "[{x|between|1 and 5}]"},
        {"x = \"abc\"", "[{x|=|'abc'}]"},
        {"x IN (1, 2) and (y <> 'a' or z >= 3)", "and[{x|in|(1, 2)},or[{y|<>|'a'},{z|>=|3}]]"},
        // Keywords inside quoted names end nothing.
        {"NOT (o.\"Order Date\" = '2023-08-31' AND o.\"From\" IN (1))",
         "!and[{o.\"Order Date\"|=|'2023-08-31'},{o.\"From\"|in|(1)}]"},
    };
    for (const auto& [where, expected] : cases)
        EXPECT_EQ(Parsed(QStringLiteral("SELECT a FROM T WHERE ") + where).where(), expected) << where;

    Parsed negated("SELECT a FROM T WHERE NOT (a = 1)");
    const auto* c = static_cast<const TSQLCondition*>(negated.result().WhereClause()->Nodes().GetItem(0));
    EXPECT_EQ(c->GetSQLExpr(), "not(a = 1)");
}

TEST(SqlParser, OrderAndGroup)
{
    // Orders by number and name, GROUP BY, HAVING and LIMIT are in the corpus.
    EXPECT_EQ(Parsed("SELECT o.\"Order Date\" AS d FROM Orders o ORDER BY 1").fields(),
              "o.\"Order Date\"/\"Order Date\"/d/1.1");
}

TEST(SqlParser, Errors)
{
    // The corpus holds the other refusals, writing the line break as " / ";
    // these check the exact texts, and names whose quote never closes.
    const std::pair<const char*, const char*> cases[] = {
        {"SELECT a FROM T WHERE o.\"Order = 1", "Wrong SQL statement\r\nLine:1"},
        {"SELECT o.\"Order FROM T", "Wrong SQL statement\r\nLine:1"},
        {"SELECT a FROM T WHERE (a = 1", "Lost bracket\r\nLine:1"},
        {"SELECT a FROM T\nWHERE\n(a = 1", "Lost bracket\r\nLine:3"},
        {"SELECT a FROM T\nWHERE\n(a = 1\n\n", "Lost bracket\r\nLine:3"},
    };
    for (const auto& [sql, expected] : cases)
        EXPECT_EQ(errorOf(sql), expected) << sql;
}

TEST(SqlParser, DeepNestingIsRefusedAndFlatChainsAreNot)
{
    const int depth = TVxSQLParser::kMaxBracketDepth;
    const QString nested = QStringLiteral("SELECT a FROM T WHERE ") + QString(depth, u'(') + QStringLiteral("a = 1")
                           + QString(depth, u')');
    EXPECT_EQ(Parsed(nested).where(), "[{a|=|1}]");
    const QString deeper = QStringLiteral("SELECT a FROM T WHERE ") + QString(depth + 1, u'(')
                           + QStringLiteral("a = 1") + QString(depth + 1, u')');
    EXPECT_EQ(errorOf(deeper), "Brackets are nested too deeply\r\nLine:1");

    // Sub-queries in an operand count too: each is read into a query of its own.
    const auto nestedSubQueries = [](int levels) {
        QString sql = QStringLiteral("a = 1");
        for (int i = 0; i < levels; ++i)
            sql = QStringLiteral("x IN (SELECT x FROM T WHERE %1)").arg(sql);
        return QStringLiteral("SELECT a FROM T WHERE ") + sql;
    };
    EXPECT_EQ(errorOf(nestedSubQueries(TVxSQLParser::kMaxSubQueryDepth)), "no error");
    EXPECT_EQ(errorOf(nestedSubQueries(TVxSQLParser::kMaxSubQueryDepth + 1)),
              "Sub-queries are nested too deeply\r\nLine:1");
    EXPECT_EQ(errorOf(QStringLiteral("SELECT a FROM T WHERE (x IN ") + QString(depth, u'(') + QStringLiteral("1")
                      + QString(depth + 1, u')')),
              "Brackets are nested too deeply\r\nLine:1");

    QStringList chain;
    for (int i = 0; i < 50000; ++i)
        chain << QStringLiteral("a = %1").arg(i);
    Parsed flat(QStringLiteral("SELECT a FROM T WHERE ") + chain.join(QStringLiteral(" AND ")));
    EXPECT_EQ(flat.result().WhereClause()->Nodes().Count(), 50000);
}

TEST(SqlParser, ReparseReplacesTheResult)
{
    TVxSQLParser parser;
    parser.SetSQL(TStringList(QStringList{QStringLiteral("SELECT a, b FROM T, U WHERE a = 1")}));
    parser.Parse();
    parser.SetSQL(TStringList(QStringList{QStringLiteral("SELECT c FROM V WHERE c = ")}));
    EXPECT_THROW(parser.Parse(), ESQLParserError);
    // What was read before the fault stays; the earlier parse is gone.
    EXPECT_EQ(parser.ParserResult().ResultFields().Count(), 1);
    EXPECT_EQ(parser.ParserResult().Tables().Count(), 1);
    EXPECT_EQ(parser.ParserResult().WhereClause(), nullptr);
}

TEST(SqlParser, DeleteEmptyBracketsCollapsesSingleChildren)
{
    Parsed p("SELECT a FROM T WHERE (a = 1 OR ((b = 2))) AND NOT (c = 3 AND (d = 4 OR e = 5))");
    TSQLBracket* root = p.result().WhereClause();
    auto single = std::make_unique<TSQLBracket>(QStringLiteral("and"));
    auto inner = std::make_unique<TSQLBracket>(QStringLiteral("or"));
    auto leaf = std::make_unique<TSQLCondition>();
    leaf->SetLeftExpr("f");
    leaf->SetOperator("=");
    leaf->SetRightExpr("6");
    inner->Nodes().Add(std::move(leaf));
    single->Nodes().Add(std::move(inner));
    root->Nodes().Add(std::move(single));
    root->DeleteEmptyBrackets();
    EXPECT_EQ(outline(root), "and[or[{a|=|1},{b|=|2}],!and[{c|=|3},or[{d|=|4},{e|=|5}]],{f|=|6}]");
    EXPECT_EQ(root->Nodes().GetItem(2)->Parent(), root);
}

} // namespace
