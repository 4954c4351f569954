#include <brindle/query/result_fields.h>

#include "datamodel/model_fixtures.h"
#include "query/query_fixtures.h"

#include <climits>

#include <gtest/gtest.h>

using namespace brindle;
using namespace brindle::testing;

namespace {

constexpr auto lines = fixtures::textLines;

// The identifiers of a field's model fields, "0" for the null field.
QString ids(const TResultField* field)
{
    QStringList out;
    for (const TDSField* f : field->DSFields())
        out.append(QString::number(f->ID()));
    return out.join(u',');
}

// Counts the change notifications and those that came while updating.
class CountingQuery : public TVxQuery {
public:
    void QueryChanged() override
    {
        ++changes;
        whileUpdating += Updating();
        TVxQuery::QueryChanged();
    }
    int changes = 0;
    int whileUpdating = 0;
};

// Orders (alias o) with ID and CustID, Customers with Name, and a virtual
// aggregate: field identifiers 1 to 4.
class ResultFieldsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        info.columns["Orders"] = {{"ID", ftInteger, 4}, {"CustID", ftInteger, 4}};
        info.columns["Customers"] = {{"Name", ftString, 40}};
        model.SetDatabaseInfo(&info);
        orders = AddTable(model, "Orders", "o");
        customers = AddTable(model, "Customers");
        id = add(kfkData, "ID", "Order number", orders);
        custId = add(kfkData, "CustID", "Customer number", orders);
        name = add(kfkData, "Name", "Name", customers);
        total = add(kfkVirtual, "sum(o.ID)", "Total", nullptr);
        total->SetIsAggregate(true);
    }
    TDSField* add(TVxFieldKind kind, const QString& expr, const QString& caption, TDSTable* table)
    {
        return model.Fields(model.AddField(kind, expr, caption, table));
    }
    TResultField* field(const QString& formula, const QList<TDSField*>& fields, const QString& caption)
    {
        return list[list.Add(formula, fields, caption)];
    }

    FakeDBInfo info;
    TVxDBStructure model;
    TRFieldList list{&model};
    TDSTable *orders = nullptr, *customers = nullptr;
    TDSField *id = nullptr, *custId = nullptr, *name = nullptr, *total = nullptr;
};

} // namespace

TEST_F(ResultFieldsTest, FormulasExpressionsAndSQLText)
{
    TResultField* f = field("@1 || ' ' || @2", {id, name}, "Who");
    EXPECT_EQ(f->GetSQLExpr(), "o.ID || ' ' || Customers.Name");
    EXPECT_EQ(f->GetNormalSQLExpr(), "o.\"ID\" || ' ' || Customers.\"Name\"");
    EXPECT_EQ(f->GetExpression(), "{Order number} || ' ' || {Name}");
    EXPECT_FALSE(list.JustSorting());
    const auto read = [&](const QString& expression) {
        const TResultField* back = list.AddByExpression("X", expression, stNoSort, 0);
        return back->Formula() + " / " + ids(back);
    };
    EXPECT_EQ(read(f->GetExpression()), "@1 || ' ' || @2 / 1,3");
    // A repeated name shares its placeholder, an unknown one is the null
    // field, an unclosed one stays text; no name at all gives the null field.
    EXPECT_EQ(read("{Name} + {Nobody} + {Name} + {Name"), "@1 + @2 + @1 + {Name / 3,0");
    EXPECT_EQ(read("count(*)"), "count(*) / 0");

    // Placeholders follow the fields: renumbered when one goes.
    QList<TDSField*> fields;
    for (int i = 1; i <= 11; ++i)
        fields.append(add(kfkVirtual, QStringLiteral("v%1").arg(i), QStringLiteral("V%1").arg(i), nullptr));
    f = field("@1+@10+@11+@2", fields, "Many");
    EXPECT_EQ(f->GetSQLExpr(), "v1+v10+v11+v2");
    f->DelDSField(0);
    EXPECT_EQ(f->Formula(), "+@9+@10+@1");
    EXPECT_EQ(f->GetSQLExpr(), "+v10+v11+v2");
    EXPECT_THROW(f->DelDSField(10), EListError);
    // Placeholders past the last field, or of field 0, stay text.
    TResultField* few = field("@1+@3+@0", {id, name}, "Few");
    EXPECT_EQ(few->GetSQLExpr(), "o.ID+@3+@0");
    // A formula reduced to the second field keeps only that one.
    few->SetFormula("upper(@2)");
    EXPECT_EQ(few->Formula(), "upper(@1)");
    EXPECT_EQ(ids(few), "3");

    // From SQL text: a field's own expression, full names, or text as it was.
    const struct { const char* sql; const char* formula; const char* ids; const char* caption; } sqlCases[] = {
        {"O.id", "@1", "1", "Order number"},                              // a field's own expression
        {"SUM(o.\"CustID\") * o.\"ID\"", "sum(@2) * @1", "1,2", "Order numberCustomer number"},
        {"max(Orders.ID) + 1", "max(@1) + 1", "1", "Order number"},      // full names
        {"Upper('X')", "Upper('X')", "", "10"},            // nothing known: text as it was, captioned by place
    };
    for (const auto& c : sqlCases) {
        const TResultField* f = list.AddBySQLExpr("", c.sql, stNoSort, 0);
        EXPECT_EQ(QStringList({f->Formula(), ids(f), f->Caption()}), QStringList({c.formula, c.ids, c.caption}))
            << c.sql;
    }
}

TEST_F(ResultFieldsTest, AliasesSelectExpressionsAndOrderNames)
{
    EXPECT_EQ(field("@1", {name}, "Name")->Alias(), "Name");
    EXPECT_EQ(field("@1", {name}, "NAME")->Alias(), "NAME1");
    EXPECT_EQ(field("@1", {name}, "Name")->Alias(), "Name2");
    EXPECT_FALSE(list.CheckUniqAlias("name1"));
    EXPECT_EQ(list.GetUniqCaption("name") + "|" + list.GetCaption(), "name1|Name, NAME, Name");
    // A field's own alias is not taken from it, so regenerating keeps them.
    list.RegenerateAliases();
    EXPECT_EQ(list[0]->Alias() + list[1]->Alias() + list[2]->Alias(), "NameNAME1Name2");

    const struct { bool ascii, quote, use; const char* caption; const char* alias; } cases[] = {
        {true, false, true, "1st Order Date", "stOrderDate"},
        {true, false, true, "Größe_2", "Gre_2"},
        {false, false, true, "1st Order Date", "1st_Order_Date"},
        {true, true, true, "1st Order Date", "1st Order Date"},
        {true, false, false, "1st Order Date", ""},
    };
    for (const auto& c : cases) {
        TRFieldList l(&model);
        l.SetAsciiAliases(c.ascii);
        l.SetQuoteAliases(c.quote);
        l.SetUseAliases(c.use);
        EXPECT_EQ(l[l.Add("@1", {id}, c.caption)]->Alias(), c.alias) << c.caption;
    }

    list.SetQuoteAliases(false);
    TResultField* f = field("@1", {id}, "Order number");
    f->SetNumber(3);
    const auto written = [f] { return f->GetSelectExpr() + " / " + f->GetOrderName(); };
    EXPECT_EQ(written(), "o.ID as Ordernumber / Ordernumber");
    // An alias repeating the column is not written; ordering takes the
    // column only when the letter case matches too.
    f->SetAlias("id");
    EXPECT_EQ(written(), "o.ID / id");
    f->SetAlias("");
    EXPECT_EQ(f->GetOrderName(), "3");
    f->SetAlias("ID");
    EXPECT_EQ(written(), "o.ID / o.ID");

    list.SetQuoteAliases(true);
    model.SQLFormats()->SetQuoteSymbol1(u'[');
    model.SQLFormats()->SetQuoteSymbol2(u']');
    f->SetCaption("Order no");
    EXPECT_EQ(written(), "o.ID as [Order no] / Order no");
}

TEST_F(ResultFieldsTest, SortingInsertingAndCopying)
{
    TResultField* a = field("@1", {id}, "A");
    TResultField* b = field("@1", {name}, "B");
    b->SetSorting(stDescending);
    a->SetSorting(stAscending);
    EXPECT_EQ(b->SortOrder() * 10 + a->SortOrder(), 12);
    b->SetSorting(stNoSort);   // keeps its rank
    EXPECT_EQ(list.GetSortCount(), 1);
    b->SetSorting(stAscending);
    EXPECT_EQ(b->SortOrder(), 1);
    a->SetSortOrder(INT_MAX);
    TResultField* c = field("@1", {custId}, "C");
    c->SetSorting(stAscending);
    EXPECT_EQ(c->SortOrder(), INT_MAX);

    list.Clear();
    field("@1", {id}, "A");
    EXPECT_EQ(list.Insert(0, "@1", {name}, "B"), 0);
    EXPECT_THROW(list.Insert(5, "@1", {name}, "C"), EListError);
    list.GenerateNumbers();
    EXPECT_EQ(list[1]->Number(), 2);
    list[0]->SetAlias("Custom");
    list[0]->SetSorting(stDescending);
    list[0]->SetSortOrder(5);

    TRFieldList copy(&model);
    copy.Add("@1", {custId}, "Gone");
    list.SetJustSorting(true);
    copy.Assign(list);
    EXPECT_TRUE(copy.JustSorting());
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy[0]->Alias() + copy[1]->Caption() + ids(copy[1]), "CustomA1");
    EXPECT_TRUE(copy[0]->RFList() == &copy && copy[0]->Sorting() == stDescending && copy[0]->SortOrder() == 5);
}

TEST_F(ResultFieldsTest, BlocksRoundTripAndOlderBlocksReadByTheirVersion)
{
    TStringList empty({"before"});
    list.SetJustSorting(false);
    list.SaveToStrings(empty);
    EXPECT_EQ(empty, TStringList({"before", "[RFields]", "Count=0", "Version=3.6", "JustSorting=0", ""}));

    field("@1 || ' ' || @2", {id, name}, "Who")->SetSorting(stDescending);
    field("@1", {total}, "Sum")->SetAlias("Amount");
    list.AddByExpression("Lost", "{Nobody}", stAscending, 7);
    TStringList saved;
    list.SaveToStrings(saved);
    ASSERT_EQ(saved.Count(), 5 + 3 * 8);
    EXPECT_EQ(QStringList(saved.Lines().mid(5, 8)),
              QStringList({"[RField1]", "Formula=@1 || ' ' || @2", "Fields=1,3", "Alias=Who", "Caption=Who",
                           "Sorting=2", "SortOrder=1", ""}));
    TRFieldList loaded(&model);
    loaded.LoadFromStrings(saved);
    TStringList again;
    loaded.SaveToStrings(again);
    EXPECT_EQ(again, saved);
    EXPECT_EQ(loaded[2]->DSFields()[0], model.NullField());

    const struct { const char* version; const char* fields; double read; } cases[] = {
        {"Version=1.3", "Orders.ID,Customers.Name", 1.3}, // full names, alias from Name
        {"Version=1.9", "o.ID,customers.name", 1.9},      // SQL expressions, alias from Alias
        {"", "o.ID,Customers.Name", 1.7},                 // no version: 1.7
        {"Version=3.6", "1,999,3", 3.6},                  // identifiers; an unknown one stays in place
    };
    for (const auto& c : cases) {
        TRFieldList l(&model);
        l.LoadFromStrings(lines(QStringLiteral("[Main]\nVersion=9\n[RFields]\nCount=2\n%1\nJustSorting=1\n"
                                               "[RField1]\nFormula=@1 || @2\nFields=%2\nName=Old\nAlias=New\n"
                                               "Caption=Who\nSorting=1\nSortOrder=4\n[RField2]\nCaption=C\nAlias=\n")
                                    .arg(c.version, c.fields)));
        EXPECT_DOUBLE_EQ(l.Version(), c.read) << c.version;
        ASSERT_EQ(l.Count(), 2) << c.version;
        // An empty value gives no alias.
        EXPECT_EQ(std::tuple(l.JustSorting(), ids(l[0]), l[0]->Alias(), l[0]->Sorting(), l[0]->SortOrder(), l[1]->Alias()),
                  std::tuple(true, QString(c.read >= 2 ? "1,0,3" : "1,3"), QString(c.read < 1.4 ? "Old" : "New"),
                             stAscending, 4, QString()))
            << c.version;
    }
}

TEST_F(ResultFieldsTest, MalformedBlocks)
{
    // Numbers that must be integers raise the conversion error.
    const char* items[] = {"Sorting=abc", "Sorting=3", "Sorting=-1", "SortOrder=1.5", "Fields=1,x", "Fields=,"};
    for (const char* item : items) {
        TRFieldList l(&model);
        const TStringList text = lines(QStringLiteral("[RFields]\nCount=1\nVersion=3.6\n[RField1]\n%1\n").arg(item));
        EXPECT_THROW(l.LoadFromStrings(text), EConvertError) << item;
        EXPECT_FALSE(l.Updating());
    }
    // Below 2.0 the items are names, so any text is allowed.
    list.LoadFromStrings(lines("[RFields]\nCount=1\nVersion=1.9\n[RField1]\nFormula=@1\nFields=x,\n"));
    EXPECT_EQ(ids(list[0]), "0,0");

    // Counts and garbage never make more fields than the text has lines.
    const char* texts[] = {
        "[RFields]\nCount=2147483647\nVersion=3.6\n",
        "[RFields]\nCount=-5\n[RField1]\nFormula=@1\nFields=1\n",
        "[RFields\nCount=3\n",
        "[RFields]\nCount=3\nVersion=nan\n[RField3]\n[RField2]\n[RField1]\nFormula=@@@1@\n",
    };
    for (const char* text : texts) {
        const TStringList source = lines(text);
        list.LoadFromStrings(source);
        EXPECT_LE(list.Count(), source.Count()) << text;
        for (const auto& f : list)
            f->GetSQLExpr();
    }
    // Without a data model the block makes no fields.
    TRFieldList bare;
    bare.LoadFromStrings(lines("[RFields]\nCount=1\nJustSorting=0\n[RField1]\nFormula=@1\nFields=1\n"));
    EXPECT_TRUE(bare.Count() == 0 && !bare.JustSorting());
}

TEST_F(ResultFieldsTest, ChangesReachTheQueryAndResultTablesFollowTheirLinks)
{
    CountingQuery query;
    TRFieldList l(&model, &query);
    l.Add("@1", {id}, "A");
    EXPECT_TRUE(query.changes == 2 && query.Modified()); // formula and caption
    l.BeginUpdate();
    l[0]->SetCaption("B");
    l[0]->SetSorting(stAscending);
    l.EndUpdate();
    EXPECT_EQ(query.changes, 3);

    // Copying a field holds the query in update state.
    TResultField* copy = l.New(1);
    copy->Assign(*l[0]);
    EXPECT_TRUE(query.changes == query.whileUpdating + 3 && !query.Updating());

    // While the query loads, the version of its text rules the block.
    query.SetDbStruct(&model);
    query.LoadFromStrings(lines("[Main]\nVersion=1.3\n"));
    EXPECT_DOUBLE_EQ(query.Version(), 1.3);
    query.SetState(stLoading);
    l.LoadFromStrings(lines("[RFields]\nCount=1\nVersion=3.6\n[RField1]\nFormula=@1\nFields=Orders.ID\nName=Old\n"));
    EXPECT_DOUBLE_EQ(l.Version(), 1.3);
    EXPECT_EQ(ids(l[0]) + l[0]->Alias(), "1Old");

    TDSTable* items = AddTable(model, "Items");
    TDSLink* itemsToOrders = AddLink(model, items, orders);
    TRTableList tables;
    EXPECT_EQ(tables.Add(orders, nullptr), 0);
    EXPECT_EQ(tables.Add(customers, AddLink(model, orders, customers)), 1);
    EXPECT_EQ(tables.Add(items, itemsToOrders), 1); // right after Orders
    EXPECT_TRUE(tables.IndexOf(customers) == 2 && tables.Find("O")->Table == orders && !tables.Find("nope"));

    // The link must reach a listed table; a link without tables reaches none.
    TRTableList few;
    few.Add(customers, nullptr);
    TDSLink bare;
    for (TDSLink* link : {itemsToOrders, &bare})
        EXPECT_EQ(fixtures::errorOf<EVxQueryPanelError>([&] { few.Add(orders, link); }),
                  "2: Can't add result table: wrong link");
    EXPECT_EQ(few.Count(), 1);
}

TEST_F(ResultFieldsTest, ColumnWordsAndTheChoicesTheyAccept)
{
    TResultField* plain = field("@1", {id}, "Order number");
    TResultField* formula = field("sum(@1) + @2", {total, custId}, "Sum");
    TResultField* text = field("count(*)", {}, "Count");
    const auto caption = [](TResultField* f, TWordRole role) {
        const TQueryWord* word = f->Word(role);
        return word ? word->Caption() : QStringLiteral("-");
    };
    EXPECT_EQ(caption(formula, wrText) + '|' + caption(formula, wrField) + '|' + caption(formula, wrTextAfter),
              "SUM(|Total|) + @2");
    EXPECT_EQ(caption(text, wrText) + '|' + caption(text, wrField) + '|' + caption(text, wrTextAfter), "COUNT(*)|-|-");
    EXPECT_EQ(caption(plain, wrSorting), "Not Sorted");
    EXPECT_EQ(plain->Word(wrField)->Values().Count(), 4);

    int notices = 0;
    QObject::connect(&list, &TRFieldList::fieldChanged, &list, [&](int) { ++notices; });
    // A field chosen in a plain column names it; a formula keeps its name
    // and its other fields.
    ASSERT_TRUE(list.AcceptWordValue(0, wrField, name->IDText()));
    ASSERT_TRUE(list.AcceptWordValue(1, wrField, id->IDText()));
    EXPECT_EQ(plain->Caption(), "Name");
    EXPECT_EQ(caption(plain, wrField), "Name");
    EXPECT_EQ(formula->Caption(), "Sum");
    EXPECT_EQ(ids(formula), QString("%1,%2").arg(id->ID()).arg(custId->ID()));
    EXPECT_GE(notices, 2);

    ASSERT_TRUE(list.AcceptWordValue(1, wrSorting, "2"));
    ASSERT_TRUE(list.AcceptWordValue(0, wrSorting, "1"));
    EXPECT_EQ(caption(formula, wrSorting), "Descending");
    EXPECT_EQ(formula->SortOrder(), 1);
    EXPECT_EQ(plain->SortOrder(), 2);
    // Moved as a row, the sorted columns sort in list order.
    list.MoveRow(1, 0);
    EXPECT_EQ(formula->SortOrder(), 1);
    list.MoveRow(0, 1);
    EXPECT_EQ(plain->SortOrder(), 1);
    EXPECT_EQ(formula->SortOrder(), 2);

    // What names nothing, or is not offered, changes nothing.
    name->SetUseInResult(false);
    const QString before = list.GetRField(0)->GetSelectExpr() + list.GetRField(1)->GetSelectExpr();
    for (const auto& [at, role, value] : {std::tuple{0, wrField, QString("999")}, {1, wrField, name->IDText()},
                                          {2, wrField, id->IDText()}, {0, wrSorting, QString("3")},
                                          {0, wrText, QString("x")}, {5, wrSorting, QString("1")}})
        EXPECT_FALSE(list.AcceptWordValue(at, role, value)) << at << ' ' << role;
    EXPECT_EQ(list.GetRField(0)->GetSelectExpr() + list.GetRField(1)->GetSelectExpr(), before);

    // The look: a list box word, group names, the panel's sorting titles.
    TRFieldList::WordLook look;
    look.PopupField = false;
    look.SortCaptions = {"-", "up", "down"};
    list.SetWordsLook(look);
    EXPECT_EQ(list.GetRField(1)->Word(wrField)->Editor(), weListBox);
    EXPECT_EQ(caption(list.GetRField(0), wrSorting), "up");
}
