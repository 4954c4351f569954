// SQL formatting settings, the SQL forms of tables and links, and the tables
// and columns that an SQL text mentions.

#include "datamodel/model_fixtures.h"

using namespace brindle;
using namespace brindle::testing;

TEST(SQLFormats, QuoteFlagsAndAssign)
{
    TSQLFormats source, target;
    source.SetQuoteDate(false);
    source.SetQuoteBool(false);
    EXPECT_TRUE(source.QuotedTypes() == TFieldTypes({ftString, ftMemo, ftFmtMemo, ftFixedChar, ftWideString}));
    source.SetDate("yyyy-mm-dd");
    source.SetQuoteSymbol1(u'[');
    source.SetTrueValue("1");
    source.SetFullTableName("TABLE");
    source.SetUseOuterKeyword(false);
    source.SetLowerFunc("LCASE");
    source.SetWildcardChar(u'*');
    source.SetUseAsInFrom(true);
    target.SetQuotedTypes({ftMemo, ftInteger, ftTime});
    target.Assign(source);
    EXPECT_EQ(QStringList({target.Date(), target.QuoteSymbol1(), target.TrueValue(), target.FullTableName()}),
              QStringList({"yyyy-mm-dd", "[", "1", "TABLE"}));
    // Not carried over: the lower function, the wildcard, AS and the other quoted types.
    EXPECT_TRUE(!target.UseOuterKeyword() && target.LowerFunc() == "LOWER" && target.WildcardChar() == u'%'
                && !target.UseAsInFrom() && target.QuotedTypes() == TFieldTypes({ftMemo, ftInteger}));
    source.SetQuoteDate(true);
    target.Assign(source);
    EXPECT_TRUE(target.QuotedTypes() == TFieldTypes({ftMemo, ftInteger, ftDate, ftTime, ftDateTime, ftTimeStamp}));
}

TEST(TableSQL, NamesAliasesQualificationAndHints)
{
    const struct {
        const char *name, *alias, *database;
        bool quoted, multiDB;
        const char *pattern, *main, *from, *where;
    } cases[] = {
        {"Orders", "", "", false, false, "DB.OWNER.TABLE", "Orders", "Orders", "Orders"},
        {"Order Details", "", "", true, false, "DB.OWNER.TABLE", "[Order Details]", "[Order Details] Order_Details", "Order_Details"},
        {"\"Odd\"", "", "", true, false, "DB.OWNER.TABLE", "\"Odd\"", "\"Odd\"", "\"Odd\""},
        {"Orders", "", "sales", false, true, "DB.OWNER.TABLE", "sales..Orders", "sales..Orders", "sales..Orders"},
        {"Orders", "o", "sales", true, true, "DB.OWNER.TABLE", "sales..[Orders]", "sales..[Orders] o", "o"},
        {"Orders", "", "main", false, true, "DB.OWNER.TABLE", "Orders", "Orders", "Orders"},
        {"Orders", "", "sales", false, false, "DB.OWNER.TABLE", "Orders", "Orders", "Orders"},
        {"Orders", "", "sales", false, true, "", "Orders", "Orders", "Orders"},
        {"Orders", "", "sales", false, true, "TABLE@DB", "Orders@sales", "Orders@sales", "Orders@sales"},
    };
    for (const auto& c : cases) {
        TVxDBStructure model;
        model.SQLFormats()->SetQuoteSymbol1(u'[');
        model.SQLFormats()->SetQuoteSymbol2(u']');
        model.SQLFormats()->SetFullTableName(c.pattern);
        model.DMOptions()->SetMultiDB(c.multiDB);
        model.DMOptions()->SetDefaultDatabase("main");
        TDSTable* t = AddTable(model, c.name, c.alias);
        t->SetDatabaseName(c.database);
        t->SetQuoted(c.quoted);
        EXPECT_EQ(QStringList({t->MainSQLExpr(), t->FromExpr(), t->WhereExpr()}), QStringList({c.main, c.from, c.where}))
            << c.name << " " << c.database << " " << c.pattern;
    }

    TVxDBStructure model;
    TDSTable* t = AddTable(model, "Orders", "o");
    model.DMOptions()->SetDefaultDBOwner("dbo");
    t->SetDatabaseName("sales");
    EXPECT_EQ(QStringList({t->GetFullSQLExpr("Orders"), t->FullName()}),
              QStringList({"sales.dbo.Orders", "dbo.Orders"}));
    t->SetTableHints("NOLOCK");
    const QString hinted = t->FromExpr();
    model.SQLFormats()->SetUseAsInFrom(true);
    EXPECT_EQ(hinted + "|" + t->FromExpr(), "Orders o WITH NOLOCK|Orders AS o WITH NOLOCK");
}

TEST(LinkSQL, JoinConditionsWithOuterMarksAndQuotes)
{
    TVxDBStructure model;
    model.SQLFormats()->SetQuoteSymbol1(u'[');
    model.SQLFormats()->SetQuoteSymbol2(u']');
    TDSLink* link = AddLink(model, AddTable(model, "Orders", "o"), AddTable(model, "Customers"));
    EXPECT_EQ(link->SQLExpr(), "");
    link->AddColumnPair("fld:CustID", "=", "ID");
    link->AddColumnPair("Region", "<>", "val:'EU'");
    link->AddColumnPair("val:1", "=", "fld:Active");
    const QString plain = "(o.CustID=Customers.ID) and (o.Region<>'EU') and (1=Customers.Active)";
    const struct {
        TDSLinkType type;
        bool quote;
        QString sql, oracle;
    } cases[] = {
        {ltInner, false, plain, plain},
        {ltOuterLeft, false, plain, "(o.CustID=Customers.ID (+) ) and (o.Region<>'EU') and (1=Customers.Active (+) )"},
        {ltOuterRight, true, "(o.[CustID]=Customers.[ID]) and (o.[Region]<>'EU') and (1=Customers.[Active])",
         "(o.[CustID] (+) =Customers.[ID]) and (o.[Region] (+) <>'EU') and (1=Customers.[Active])"},
        {ltOuterFull, false, plain, plain},
    };
    for (const auto& c : cases) {
        link->SetLinkType(c.type);
        link->SetQuoteFields(c.quote);
        EXPECT_EQ(std::pair(link->SQLExpr(), link->OracleSQLExpr()), std::pair(c.sql, c.oracle)) << c.type;
    }
    EXPECT_EQ(link->DisplayName(), "o.fld:CustID,Region,val:1->Customers.ID,val:'EU',fld:Active");
    link->SetFields1(TStringList{"A", "B"}); // one "=" per column again
    EXPECT_EQ(link->Operators().Lines(), QStringList({"=", "="}));
}

TEST(ExcludeTables, FindsQualifiedColumnsByAliasThenName)
{
    TVxDBStructure model;
    AddTable(model, "Orders", "o");
    TDSTable* customers = AddTable(model, "Customers", "c");
    AddTable(model, "c", "x"); // named like another table's alias: the alias wins
    const struct {
        const char* expr;
        const char* tables;
        QStringList columns;
    } cases[] = {
        {"o.A + o.B * 1.5", "o,o", {"o.A", "o.B"}},
        {"ORDERS.Amount", "o", {"ORDERS.Amount"}},
        {"c.ID + X.ID", "c,x", {"c.ID", "X.ID"}},
        {"Unknown.col + Amount", "", {}},
        {"sum(o.Amount) / count(\nc.ID)", "o,c", {"o.Amount", "c.ID"}},
        {"'o'.Amount -- c.ID", "", {}},
    };
    for (const auto& c : cases) {
        TSimpleDSTableList tables;
        TStringList columns;
        model.ExcludeTablesBySQLExpr(c.expr, tables, &columns);
        EXPECT_EQ(QStringList(c.tables) + c.columns, QStringList(tables.CommaText()) + columns.Lines()) << c.expr;
    }
    TSimpleDSTableList tables; // appended to, columns optional
    tables.Add(customers);
    model.ExcludeTablesBySQLExpr("o.ID", tables, nullptr);
    EXPECT_EQ(tables.CommaText(), "c,o");
}
