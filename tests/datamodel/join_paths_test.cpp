#include "datamodel/db_structure.h"
#include "support/exhaustive_path_search.h"

#include <gtest/gtest.h>

#include <random>

using namespace brindle;

namespace {

// A model of tables named by letters whose aliases are the names.
class PathModel {
public:
    explicit PathModel(const QString& tables)
    {
        for (QChar c : tables)
            model.AddTable(QString(c), QString(c));
    }
    void link(const QString& a, const QString& b)
    {
        model.AddLinkByExpr(QStringLiteral("%1-%2:id=id").arg(a, b));
    }
    QString path(const QString& from, const QString& to)
    {
        const TDSPath* p = model.GetPath(from, to);
        if (!p)
            return QStringLiteral("none");
        QString out;
        for (int i = 0; i < p->TableCount(); ++i)
            out += p->Tables(i)->TableAlias();
        return out;
    }
    TVxDBStructure model;
};

} // namespace

TEST(JoinPaths, ShortestChainWithTiesToEarlierLinks)
{
    PathModel m("ABCD");
    for (auto [a, b] : {std::pair{"A", "B"}, {"A", "C"}, {"B", "D"}, {"C", "D"}})
        m.link(a, b);
    EXPECT_EQ(m.path("A", "D"), "ABD");
    EXPECT_EQ(m.path("D", "A"), "DBA");
    EXPECT_EQ(m.path("c", "b"), "CAB"); // aliases ignore letter case; ties go to C's first link
    EXPECT_EQ(m.path("A", "A"), "ABA"); // to itself through the first neighbour

    PathModel chain("ABCXY");
    chain.link("A", "B");
    chain.link("B", "C");
    chain.link("X", "Y");
    EXPECT_EQ(chain.path("C", "A"), "CBA");
    const TDSPath* before = chain.model.GetPath("A", "C");
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(chain.path("A", "X"), "none"); // separate islands: no path, no error
    EXPECT_EQ(chain.model.CurPath()->TableCount(), 3); // the working path keeps the last answer

    PathModel lonely("AB");
    EXPECT_EQ(lonely.path("A", "A"), "none");

    PathModel self("AB");
    self.link("A", "A");
    self.link("A", "B");
    EXPECT_EQ(self.path("A", "A"), "AA");
    EXPECT_EQ(self.path("A", "B"), "AB");
}

TEST(JoinPaths, UnknownAliasRaisesCodeFour)
{
    PathModel m("AB");
    try {
        m.model.GetPath("A", "Zed");
        FAIL();
    } catch (const EVxDBStructError& e) {
        EXPECT_EQ(e.ErrorCode(), 4);
        EXPECT_EQ(e.Message(), "No such table Zed");
    }
    EXPECT_THROW(m.model.GetPath("Q", "A"), EVxDBStructError);
}

// The breadth-first search must give exactly the answer of the plain
// expansion of every chain, on random graphs with self-links, parallel
// links and islands, for every ordered pair of tables.
TEST(JoinPaths, AgreesWithExhaustiveSearchOnRandomGraphs)
{
    std::mt19937 rng(20261205);
    int pairs = 0;
    int found = 0;
    for (int graph = 0; graph < 2000; ++graph) {
        const int tables = 1 + static_cast<int>(rng() % 12);
        TVxDBStructure model;
        for (int t = 0; t < tables; ++t)
            model.AddTable(QStringLiteral("T%1").arg(t), QString());
        // Sparse graphs make islands; dense ones make ties.
        const int links = static_cast<int>(rng() % (tables * (1 + graph % 3) + 1));
        for (int l = 0; l < links; ++l) {
            const int a = static_cast<int>(rng() % tables);
            const int b = rng() % 8 == 0 ? a : static_cast<int>(rng() % tables);
            const int copies = rng() % 10 == 0 ? 2 : 1;
            for (int c = 0; c < copies; ++c)
                model.AddLinkByExpr(QStringLiteral("T%1-T%2:k=k").arg(a).arg(b));
        }
        for (int a = 0; a < tables; ++a)
            for (int b = 0; b < tables; ++b) {
                const QString from = QStringLiteral("T%1").arg(a);
                const QString to = QStringLiteral("T%1").arg(b);
                const auto expected = reference::ExhaustivePathSearch(model, from, to);
                const TDSPath* actual = model.GetPath(from, to);
                ++pairs;
                ASSERT_EQ(actual != nullptr, expected.found) << "graph " << graph << ' ' << a << "->" << b;
                if (!actual)
                    continue;
                ++found;
                std::vector<const TDSTable*> tablesOfPath;
                for (int i = 0; i < actual->TableCount(); ++i)
                    tablesOfPath.push_back(actual->Tables(i));
                ASSERT_EQ(tablesOfPath, expected.tables) << "graph " << graph << ' ' << a << "->" << b;
            }
    }
    EXPECT_GT(found, pairs / 4);
    EXPECT_LT(found, pairs);
}

TEST(JoinPaths, FindLinkComparesNamesExactlyInBothDirections)
{
    PathModel m("AB");
    m.link("A", "B");
    EXPECT_NE(m.model.FindLink("A", "B"), nullptr);
    EXPECT_EQ(m.model.FindLink("B", "A"), m.model.FindLink("A", "B"));
    EXPECT_EQ(m.model.FindLink("a", "B"), nullptr);
}

TEST(LinkLines, ReadAndWrite)
{
    TVxDBStructure model;
    model.AddTable("Orders", "");
    model.AddTable("Customers", "");

    model.AddLinkByExpr("Orders-Customers:CustID=ID,Region<>Area");
    ASSERT_EQ(model.LinkCount(), 1);
    TDSLink* link = model.Links(0);
    EXPECT_EQ(link->Fields1().Lines(), QStringList({"fld:CustID", "fld:Region"}));
    EXPECT_EQ(link->Fields2().Lines(), QStringList({"fld:ID", "fld:Area"}));
    EXPECT_EQ(link->Operators().Lines(), QStringList({"=", "<>"}));
    EXPECT_FALSE(link->QuoteFields());
    EXPECT_EQ(link->SQLExpr(), "(Orders.CustID=Customers.ID) and (Orders.Region<>Customers.Area)");

    model.AddLinkByExpr("Orders-Customers:Cust ID=ID");
    EXPECT_TRUE(model.Links(1)->QuoteFields());
    EXPECT_EQ(model.Links(1)->Fields1()[0], "fld:Cust ID");

    model.AddLinkByExpr("Orders-Customers:CustID>=ID,nooperator,a!=b");
    EXPECT_EQ(model.Links(2)->Operators().Lines(), QStringList({">=", "!="}));

    // Lines that name no two tables add nothing and raise nothing.
    for (const char* bad : {"", "Orders", "Orders-Customers", "Orders:x=y", "Orders-Nobody:x=y", "-:", ":::"})
        model.AddLinkByExpr(bad);
    EXPECT_EQ(model.LinkCount(), 3);

    TStringList lines;
    model.SaveLinksToStrings(lines);
    EXPECT_EQ(lines.Lines(), QStringList({"Orders-Customers:fld:CustID=fld:ID,fld:Region<>fld:Area",
                                          "Orders-Customers:fld:Cust ID=fld:ID",
                                          "Orders-Customers:fld:CustID>=fld:ID,fld:a!=fld:b"}));
}

TEST(JoinPaths, DeletingATableLeavesNoReferenceBehind)
{
    PathModel m("ABC");
    m.link("A", "B");
    m.link("B", "C");
    auto condition = std::make_unique<TDSCondition>(&m.model);
    condition->SetSQLExpr("B.x = C.y and B.z = 1");
    m.model.Conditions().Add(std::move(condition));
    ASSERT_EQ(m.path("A", "C"), "ABC");
    ASSERT_EQ(m.model.Conditions()[0]->Tables().Count(), 3);

    m.model.DelTable(1); // B
    EXPECT_EQ(m.model.CurPath()->TableCount(), 0);
    EXPECT_EQ(m.model.Conditions()[0]->Tables().Count(), 1);
    EXPECT_EQ(m.model.Conditions()[0]->Tables()[0]->TableName(), "C");
    EXPECT_EQ(m.model.LinkCount(), 0);
    EXPECT_EQ(m.path("A", "C"), "none");
}
