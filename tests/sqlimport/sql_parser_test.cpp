// The parser's API beyond what the corpus records: the bounds of nesting,
// a reparse after a fault, and the tree's own clean-up.

#include "sqlimport/parse_outline.h"

#include <gtest/gtest.h>

using namespace brindle;
using brindle::testing::outline;

namespace {

struct Parsed {
    TVxSQLParser parser;
    explicit Parsed(const QString& sql) { parser.SetSQL(TStringList(sql.split(u'\n'))); parser.Parse(); }
    const TVxParserResult& result() const { return parser.ParserResult(); }
};

// The corpus holds the refusals one level past each bound; these are the
// bounds themselves, and a long flat chain that must not recurse.
TEST(SqlParser, BoundsFlatChainsAndReparsing)
{
    const int depth = TVxSQLParser::kMaxBracketDepth;
    Parsed nested(QStringLiteral("SELECT a FROM T WHERE ") + QString(depth, u'(') + QStringLiteral("a = 1")
                  + QString(depth, u')'));
    EXPECT_EQ(outline(nested.result().WhereClause()), "[{a|=|1}]");
    QString sql = QStringLiteral("a = 1");
    for (int i = 0; i < TVxSQLParser::kMaxSubQueryDepth; ++i)
        sql = QStringLiteral("x IN (SELECT x FROM T WHERE %1)").arg(sql);
    EXPECT_NO_THROW(Parsed(QStringLiteral("SELECT a FROM T WHERE ") + sql));

    QStringList chain;
    for (int i = 0; i < 50000; ++i)
        chain << QStringLiteral("a = %1").arg(i);
    Parsed flat(QStringLiteral("SELECT a FROM T WHERE ") + chain.join(QStringLiteral(" AND ")));
    EXPECT_EQ(flat.result().WhereClause()->Nodes().Count(), 50000);

    TVxSQLParser parser;
    parser.SetSQL(TStringList(QStringList{QStringLiteral("SELECT * FROM T")}));
    parser.Parse();
    EXPECT_TRUE(parser.ParserResult().ResultFields().JustSorting()); // "*" sorts only
    parser.SetSQL(TStringList(QStringList{QStringLiteral("SELECT a, b FROM T, U WHERE a = 1")}));
    parser.Parse();
    EXPECT_FALSE(parser.ParserResult().ResultFields().JustSorting());
    parser.SetSQL(TStringList(QStringList{QStringLiteral("SELECT c FROM V WHERE c = ")}));
    EXPECT_THROW(parser.Parse(), ESQLParserError);
    // What was read before the fault stays; the earlier parse is gone.
    EXPECT_EQ(parser.ParserResult().ResultFields().Count(), 1);
    EXPECT_EQ(parser.ParserResult().Tables().Count(), 1);
    EXPECT_EQ(parser.ParserResult().WhereClause(), nullptr);
}

// A row limit comes back after any clause it may follow, a grouping (with
// the HAVING text it swallows) among them.
TEST(SqlParser, RowLimitsAfterEveryClause)
{
    const std::pair<const char*, const char*> cases[] = {
        {"SELECT a FROM T LIMIT 3", "3"},
        {"SELECT a FROM T WHERE a = 1 LIMIT 3 OFFSET 2", "3 OFFSET 2"},
        {"SELECT a, count(b) FROM T GROUP BY a LIMIT 3", "3"},
        {"SELECT a, count(b) FROM T GROUP BY a HAVING count(b) > 1 LIMIT 3 OFFSET 2", "3 OFFSET 2"},
        {"SELECT a, count(b) FROM T GROUP BY a ORDER BY a LIMIT 3", "3"},
    };
    for (const auto& [sql, limit] : cases)
        EXPECT_EQ(Parsed(QString::fromLatin1(sql)).result().LimitClause(), QString::fromLatin1(limit)) << sql;
}

// Where a fault is reported: line and column from 1, the column in
// characters of the line (a tab one, a surrogate pair one), the token as
// written, and at the end of the text the place just past the last token.
TEST(SqlParser, ErrorPlaces)
{
    const struct {
        const char16_t* sql;
        int line;
        int column;
        const char16_t* token;
    } cases[] = {
        {u"SELECT a\nFROM T\nWHERE x = 1 ORDER b", 3, 19, u"b"},
        {u"SELECT a\r\nFROM T\r\nLEFT OUTER T2", 3, 12, u"T2"},
        {u"SELECT a\nFROM T\nWHERE x =  ", 3, 10, u""},
        {u"SELECT a FROM T WHERE x BETWEEN 'ab\ncd'", 2, 4, u""},
        {u"", 1, 1, u""},
        {u"SELECT a FROM T\nORDER BY\n  T.b DESC", 3, 3, u"T.b"},
        {u"SELECT a FROM T ORDER BY 2", 1, 26, u"2"},
        {u"SELECT a FROM T WHERE (a = 1", 1, 29, u""},
        // An operand, a select item or a grouping item missing.
        {u"SELECT a FROM T WHERE x = = 'a'", 1, 27, u"="},
        {u"SELECT a\nFROM T\nWHERE = 1", 3, 7, u"="},
        {u"SELECT a\r\nFROM T\r\nWHERE x = 1 AND AND y = 2", 3, 17, u"AND"},
        {u"SELECT a\n\tFROM T\n\tWHERE\tx\t=\t=\t1", 3, 12, u"="},
        {u"SELECT a FROM T WHERE b = '\U0001F600\u00E9\u65E5' AND c = = 1", 1, 41, u"="},
        {u"SELECT a\nFROM T\nWHERE x = 1 AND\n", 3, 16, u""},
        {u"SELECT , a FROM T", 1, 8, u","},
        {u"SELECT FROM T", 1, 8, u"FROM"},
        {u"SELECT a FROM T,, U", 1, 17, u","},
        {u"SELECT a FROM T GROUP BY a,, b", 1, 28, u","},
    };
    for (const auto& c : cases) {
        const QString sql = QString::fromUtf16(c.sql);
        SCOPED_TRACE(sql.toStdString());
        TStringList lines;
        lines.SetText(sql);
        TVxSQLParser parser;
        parser.SetSQL(lines);
        try {
            parser.Parse();
            ADD_FAILURE() << "parsed";
        } catch (const ESQLParserError& e) {
            EXPECT_EQ(e.Line(), c.line);
            EXPECT_EQ(e.Column(), c.column);
            EXPECT_EQ(e.Token(), QString::fromUtf16(c.token));
        }
    }
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
