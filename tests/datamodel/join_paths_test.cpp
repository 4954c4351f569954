// Join paths between tables, their agreement with a plain search, and the
// link lines the model reads and writes.

#include "datamodel/model_fixtures.h"
#include "support/exhaustive_path_search.h"

#include <random>

using namespace brindle;
using namespace brindle::testing;

namespace {

// A model of tables named by letters whose aliases are the names, linked
// as "AB BC" says.
class PathModel {
public:
    explicit PathModel(const QString& tables, const QString& links = {})
    {
        for (QChar c : tables)
            model.AddTable(QString(c), QString(c));
        for (const QString& link : links.split(u' ', Qt::SkipEmptyParts))
            model.AddLinkByExpr(QStringLiteral("%1-%2:id=id").arg(link[0], link[1]));
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

// The random graphs below check shortest chains and their ties; these are
// the rules around them.
TEST(JoinPaths, AliasesIslandsUnknownTablesAndLinkLines)
{
    PathModel chain("ABCX", "AB BC");
    EXPECT_EQ(chain.path("c", "a"), "CBA"); // aliases ignore letter case
    EXPECT_EQ(chain.path("A", "X"), "none"); // separate islands: no path, no error
    EXPECT_EQ(chain.model.CurPath()->TableCount(), 3); // the working path keeps the last answer
    // To itself through a self-link, else through the first neighbour.
    EXPECT_EQ(PathModel("AB", "AA AB").path("A", "A") + PathModel("ABC", "AB AC").path("A", "A"), "AAABA");
    ExpectDBStructError([&] { chain.model.GetPath("A", "Zed"); }, 4, "No such table Zed");
    ExpectDBStructError([&] { chain.model.GetPath("Q", "A"); }, 4, "No such table Q");

    TVxDBStructure model;
    model.AddTable("Orders", "");
    model.AddTable("Customers", "");
    model.AddLinkByExpr("Orders-Customers:CustID=ID,Region<>Area");
    model.AddLinkByExpr("Orders-Customers:Cust ID=ID");
    model.AddLinkByExpr("Orders-Customers:CustID>=ID,nooperator,a!=b"); // a pair without operator is dropped
    // Lines that name no two tables add nothing and raise nothing.
    for (const char* bad : {"", "Orders", "Orders-Customers", "Orders:x=y", "Orders-Nobody:x=y", "-:", ":::"})
        model.AddLinkByExpr(bad);
    ASSERT_EQ(model.LinkCount(), 3);
    EXPECT_FALSE(model.Links(0)->QuoteFields());
    EXPECT_EQ(model.Links(0)->SQLExpr(), "(Orders.CustID=Customers.ID) and (Orders.Region<>Customers.Area)");
    EXPECT_TRUE(model.Links(1)->QuoteFields()); // a column with a blank
    // FindLink compares table names exactly, in either direction.
    EXPECT_EQ(model.FindLink("Customers", "Orders"), model.Links(0));
    EXPECT_EQ(model.FindLink("orders", "Customers"), nullptr);

    TStringList lines;
    model.SaveLinksToStrings(lines);
    EXPECT_EQ(lines.Lines(), QStringList({"Orders-Customers:fld:CustID=fld:ID,fld:Region<>fld:Area",
                                          "Orders-Customers:fld:Cust ID=fld:ID",
                                          "Orders-Customers:fld:CustID>=fld:ID,fld:a!=fld:b"}));
}

// The breadth-first search must give exactly the answer of the plain
// expansion of every chain, on random graphs with self-links, parallel
// links and islands, for every ordered pair of tables.
TEST(JoinPaths, AgreesWithExhaustiveSearchOnRandomGraphs)
{
    std::mt19937 rng(20261205);
    int pairs = 0, found = 0;
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
