// The data model component: adding and deleting entities, identifiers, and
// lookups that must stay "first in model order" whatever the indexes do.

#include "datamodel/model_fixtures.h"

#include <algorithm>
#include <random>
#include <tuple>

using namespace brindle;
using namespace brindle::testing;

namespace {

// A model with an info that is not connected, so data fields get ftString/30.
class ModelTest : public ::testing::Test {
protected:
    ModelTest()
    {
        info.connected = false;
        model.SetDatabaseInfo(&info);
    }
    TDSField* AddData(const QString& column, const QString& caption = {}, TDSTable* table = nullptr)
    {
        return model.Fields(model.AddField(kfkData, column, caption, table));
    }
    int AddWithID(int id)
    {
        auto field = std::make_unique<TDSField>();
        field->SetFieldKind(kfkVirtual);
        field->SetID(id);
        return model.AddFieldRef(std::move(field));
    }

    FakeDBInfo info;
    TVxDBStructure model;
};

} // namespace

TEST_F(ModelTest, AddTableDerivesTheAliasAndListsNamesOnce)
{
    TDSTable* details = AddTable(model, "Order Details");
    EXPECT_EQ(details->TableAlias(), "Order_Details");
    TDSTable* second = AddTable(model, "Order Details", "od2");
    AddTable(model, "Orders");

    TStringList names{"stale"};
    model.GetTableNames(names, 0);
    EXPECT_TRUE(names.Lines() == QStringList({"Order Details", "Orders"}) && names.Objects(0) == details);
    model.GetTableNames(names, 4);
    EXPECT_EQ(names.Lines(), QStringList({"Order Details Order_Details", "Order Details od2", "Orders"}));
    EXPECT_EQ(names.Objects(1), second);
    model.GetTableNames(names, 5); // no such form
    EXPECT_TRUE(names.IsEmpty());
}

TEST_F(ModelTest, LookupsInEveryModeFindTheFirstInModelOrder)
{
    TDSTable* first = AddTable(model, "Orders");
    TDSTable* second = AddTable(model, "Orders", "o2");
    first->SetDisplayName("Sales orders");
    second->SetDisplayName("Sales orders");
    model.DMOptions()->SetDefaultDBOwner("dbo");
    // The random changes below check names, aliases and display names.
    for (auto [mode, text, table] :
         {std::tuple{tlByCompoundName, "orders - orders", first},
          {tlByCompoundName, "Orders - o2", second}, {tlByFromExpr, "orders", first},
          {tlByFromExpr, "ORDERS O2", second}, {tlByFullName, "DBO.orders", first}, {tlByFullName, "Orders", nullptr},
          {TableLookup(6), "Orders", nullptr}, {TableLookup(-1), "Orders", nullptr}})
        EXPECT_EQ(model.TableByName(mode, text), table) << mode << " " << text;

    second->SetTableName("Customers");
    TDSField* f1 = AddData("CustID", "Customer", first);
    TDSField* f2 = AddData("CustID", "Customer", second);
    TDSField* date = AddData("Order Date", "Date", first);
    TDSField* count = AddVirtual(model, "count(Orders.ID)");
    EXPECT_TRUE(date->Quoted());
    for (auto [mode, text, field] :
         {std::tuple{flByFullName, "customers.CUSTID", f2}, {flByFullName, "o2.CustID", nullptr}, {flBySQLExpr, "orders.custid", f1},
          {flBySQLExpr, "O2.CustID", f2}, {flBySQLExpr, "ORDERS.ORDER DATE", date},
          {flBySQLExpr, "Orders.\"order date\"", date}, {flByFieldExpr, "COUNT(Orders.id)", count},
          {FieldLookup(4), "custid", nullptr}})
        EXPECT_EQ(model.FieldByName(mode, text), field) << mode << " " << text;
    second->SetTableName("Clients"); // the full name follows the table
    EXPECT_EQ(model.FieldByName(flByFullName, "clients.custid"), f2);
}

// The name and identifier indexes answer what a plain scan in model order
// answers through random renames, deletions and appends, made both while an
// index is current and while it is stale; a field without an identifier
// takes the one above the highest.
TEST_F(ModelTest, LookupsAgreeWithAPlainScanThroughRandomChanges)
{
    const QStringList names = {"Orders", "ORDERS", "order s", "Order_S", "Items"};
    std::mt19937 rng(20261206);
    auto any = [&](qsizetype count) { return static_cast<int>(rng() % count); };
    auto name = [&] { return names[any(names.size())]; };
    auto firstOf = [](int count, auto item, auto accept) -> decltype(item(0)) {
        for (int i = 0; i < count; ++i)
            if (accept(item(i)))
                return item(i);
        return nullptr;
    };
    auto tableAt = [&](int i) { return model.Tables(i); };
    auto fieldAt = [&](int i) { return model.Fields(i); };
    auto maxID = [&] {
        int max = 0;
        for (int i = 0; i < model.FieldCount(); ++i)
            max = std::max(max, model.Fields(i)->ID());
        return max;
    };
    for (int step = 0; step < 2000; ++step) {
        const int tables = model.TableCount(), fields = model.FieldCount(), id = 1 + any(8), next = maxID() + 1;
        TDSTable* table = tables ? tableAt(any(tables)) : nullptr;
        TDSField* field = fields ? fieldAt(any(fields)) : nullptr;
        switch (any(12)) {
        case 0: model.AddTable(name(), name()); break;
        case 1: if (table) table->SetTableName(name()); break;
        case 2: if (table) table->SetTableAlias(name()); break;
        case 3: if (table) table->SetDisplayName(name()); break;
        case 4: if (tables > 2) model.DelTable(any(tables)); break;
        case 5: EXPECT_EQ(AddData(name(), name(), table)->ID(), next) << step; break;
        case 6: EXPECT_EQ(AddVirtual(model, name(), name())->ID(), next) << step; break;
        case 7: EXPECT_EQ(model.Fields(AddWithID(id))->ID(), id) << step; break;
        case 8: if (field) field->SetID(id); break;
        case 9: if (field) field->SetDisplayName(name()); break;
        case 10:
            if (field && field->FieldKind() == kfkVirtual)
                field->SetSQLExpr(name());
            else if (field)
                field->SetFieldName(name());
            break;
        default: if (fields) model.DelField(any(fields)); break;
        }
        if (any(3) == 0)
            continue; // the next change meets stale indexes
        for (const QString& text : names) {
            auto same = [&](const QString& key) { return key.compare(text, Qt::CaseInsensitive) == 0; };
            for (TableLookup mode : {tlByName, tlByAlias, tlByDisplayName})
                ASSERT_EQ(model.TableByName(mode, text), firstOf(model.TableCount(), tableAt, [&](TDSTable* t) {
                              return same(mode == tlByName    ? t->TableName()
                                          : mode == tlByAlias ? t->TableAlias()
                                                              : t->DisplayName());
                          })) << step << " " << mode << " " << text;
            for (FieldLookup mode : {flByFieldExpr, flByDisplayName})
                ASSERT_EQ(model.FieldByName(mode, text), firstOf(model.FieldCount(), fieldAt, [&](TDSField* f) {
                              return same(mode == flByFieldExpr ? f->FieldExpr() : f->DisplayName());
                          })) << step << " " << mode << " " << text;
        }
        for (int i = 0; i <= 9; ++i)
            ASSERT_EQ(model.FieldByID(i),
                      firstOf(model.FieldCount(), fieldAt, [&](TDSField* f) { return f->ID() == i; }))
                << step << " " << i;
        ASSERT_EQ(model.GetLastFieldID(), maxID()) << step;
    }
    EXPECT_GT(model.FieldCount(), 5);
}

TEST(ModelAddField, DataFieldsNeedADatabaseInfo)
{
    TVxDBStructure model;
    // The field is added, untyped, before the error.
    ExpectDBStructError([&] { model.AddField(kfkData, "Name", "Name", nullptr); }, 11,
                        "DatabaseInfo is not specified");
    ASSERT_EQ(model.FieldCount(), 1);
    EXPECT_TRUE(model.Fields(0)->ID() == 1 && model.Fields(0)->FieldType() == ftUnknown);
    TDSField* v = AddVirtual(model, "1 + 1"); // virtual fields ask nothing
    EXPECT_TRUE(v->FieldType() == ftString && v->FieldSize() == 100 && v->ID() == 2);

    FakeDBInfo info;
    info.columns["Orders"] = {{"OrderID", ftInteger, 4}, {"Photo", ftBlob, 0}};
    model.SetDatabaseInfo(&info);
    TDSTable* orders = AddTable(model, "Orders");
    int changes = 0;
    model.OnChange = [&](QObject*) { ++changes; };
    TDSField* id = model.Fields(model.AddField(kfkData, "orderid", "ID", orders));
    EXPECT_TRUE(id->FieldType() == ftInteger && id->FieldSize() == 4);
    TDSField* photo = model.Fields(model.AddField(kfkData, "Photo", "Photo", orders));
    // Binary columns stay out of results; the columns are asked for once.
    EXPECT_TRUE(photo->FieldType() == ftBlob && !photo->UseInResult() && info.fieldsCalls == 1);

    ExpectDBStructError([&] { model.AddField(kfkData, "Nope", "Nope", orders); }, 10,
                        "Can not find field \"Nope\" in table \"Orders\"");
    EXPECT_TRUE(model.FieldCount() == 5 && changes == 2);
    info.connected = false;
    TDSField* offline = model.Fields(model.AddField(kfkData, "Nope", "Nope", orders));
    EXPECT_TRUE(offline->FieldType() == ftString && offline->FieldSize() == 30);

    // A freed info is forgotten, not left dangling for the editors and the model's end.
    offline->SetEditType(etSQL);
    auto freed = std::make_unique<FakeDBInfo>();
    model.SetDatabaseInfo(freed.get());
    freed.reset();
    EXPECT_EQ(model.DatabaseInfo(), nullptr);
}

TEST_F(ModelTest, VirtualFieldsTakeTablesAndColumnsFromTheirExpression)
{
    AddTable(model, "Orders", "o");
    TDSTable* customers = AddTable(model, "Customers", "c");
    TDSField* avg = AddVirtual(model, "sum(o.Amount) / count(c.ID)");
    EXPECT_EQ(avg->Tables().CommaText() + "|" + avg->GroupByFields(), "o,c|o.Amount,c.ID");
    avg->SetSQLExpr("max(Customers.Name)"); // replaces the tables and columns
    EXPECT_TRUE(avg->Tables().Count() == 1 && avg->Table() == customers
                && avg->DBFields().Lines() == QStringList{"Customers.Name"});
    ExpectDBStructError([&] { avg->SetFieldName("Name"); }, 7, "Can not assign field name to virtual field");
    EXPECT_EQ(avg->FieldExpr(), "max(Customers.Name)");

    TDSField* name = AddData("Name", "Name", customers);
    name->SetIsAggregate(true); // only expressions aggregate
    EXPECT_FALSE(name->IsAggregate());
    ExpectDBStructError([&] { name->SetSQLExpr("upper(c.Name)"); }, 8, "Can not assign expression to data field");
    EXPECT_EQ(name->SQLExpr() + "|" + name->NormalSQLExpr(), "c.Name|c.\"Name\"");
}

TEST_F(ModelTest, DeletingATableTakesItsLinksAndFieldsAlong)
{
    TDSTable* orders = AddTable(model, "Orders", "o");
    TDSTable* customers = AddTable(model, "Customers", "c");
    TDSTable* items = AddTable(model, "Items", "i");
    AddLink(model, orders, customers);
    TDSLink* orderItems = AddLink(model, orders, items);
    TDSLink* customerItems = AddLink(model, customers, items);
    AddData("ID", "Order", orders);
    AddData("Name", "Customer", customers);
    AddVirtual(model, "count(o.ID)");
    AddVirtual(model, "max(c.ID)");
    TDSFieldGroup* group = model.FieldGroups().AddGroup("Orders", model.Fields(0));
    model.SetDefaultMainTable(orders);
    auto condition = std::make_unique<TDSCondition>(&model);
    condition->SetSQLExpr("o.x = c.y and o.z = 1");
    model.Conditions().Add(std::move(condition));
    ASSERT_EQ(model.GetPath("c", "o")->TableCount(), 2);
    EXPECT_TRUE(orders->LinkByTableAlias("i") == orderItems && customers->LinkByTable(items) == customerItems);

    // Nothing refers to the table after: links, fields, groups, the main
    // table, a condition's tables and the working path let it go.
    model.DelTable(0);
    EXPECT_TRUE(model.CurPath()->TableCount() == 0 && model.Conditions()[0]->Tables().CommaText() == "c");
    ASSERT_EQ(model.LinkCount(), 1);
    EXPECT_TRUE(customers->LinkCount() == 1 && items->Links(0) == customerItems);
    TStringList names;
    model.GetFieldNames(names, 1);
    EXPECT_EQ(names.Lines(), QStringList({"Customer", "max(c.ID)"}));
    EXPECT_TRUE(group->Count() == 0 && model.DefaultMainTable() == nullptr);
    model.DelLink(0);
    EXPECT_TRUE(customers->LinkCount() == 0 && items->LinkCount() == 0);
    // Index errors carry the index and change nothing.
    ExpectDBStructError([&] { model.DelLink(0); }, 2, "Invalid link index 0");
    ExpectDBStructError([&] { items->Links(-1); }, 2, "Invalid link index -1");
    TDSPath path(&model);
    path.AddTable(items);
    ExpectDBStructError([&] { path.DelTable(7); }, 1, "Invalid table index 7");
    EXPECT_EQ(path.EndPoint(), items);
}
