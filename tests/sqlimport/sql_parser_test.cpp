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
