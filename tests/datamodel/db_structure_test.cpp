// The data model component: adding and deleting entities, identifiers, and
// lookups that must stay "first in model order" whatever the indexes do.

#include "model_fixtures.h"

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
    EXPECT_EQ(names.Lines(), QStringList({"Order Details", "Orders"}));
    EXPECT_EQ(names.Objects(0), details);
    model.GetTableNames(names, 4);
    EXPECT_EQ(names.Lines(), QStringList({"Order Details Order_Details", "Order Details od2", "Orders"}));
    EXPECT_EQ(names.Objects(1), second);
    model.GetTableNames(names, 5);
    EXPECT_TRUE(names.IsEmpty());
}

TEST_F(ModelTest, TableByNameFindsTheFirstInModelOrderInEveryMode)
{
    TDSTable* first = AddTable(model, "Orders");
    TDSTable* second = AddTable(model, "Orders", "o2");
    first->SetDisplayName("Sales orders");
    second->SetDisplayName("Sales orders");
    model.DMOptions()->SetDefaultDBOwner("dbo");
    for (auto [mode, text, table] :
         {std::tuple{0, "ORDERS", first}, {1, "orders", first}, {1, "O2", second}, {2, "sales ORDERS", first},
          {3, "orders - orders", first}, {3, "Orders - o2", second}, {4, "orders", first}, {4, "ORDERS O2", second},
          {5, "DBO.orders", first}, {5, "Orders", nullptr}, {6, "Orders", nullptr}, {-1, "Orders", nullptr}})
        EXPECT_EQ(model.TableByName(mode, text), table) << mode << " " << text;
}

TEST_F(ModelTest, TableIndexesFollowRenamesDeletionsAndAppends)
{
    TDSTable* a = AddTable(model, "Orders", "a");
    TDSTable* b = AddTable(model, "Orders", "b");
    ASSERT_EQ(model.TableByName(0, "orders"), a);
    a->SetTableName("Customers");
    EXPECT_EQ(model.TableByName(0, "orders"), b);
    EXPECT_EQ(model.TableByName(0, "customers"), a);
    a->SetTableName("Orders"); // back: model order wins again
    EXPECT_EQ(model.TableByName(0, "orders"), a);
    b->SetTableAlias("a b");
    EXPECT_EQ(model.TableByName(1, "b"), nullptr);
    EXPECT_EQ(model.TableByName(1, "A_B"), b);
    a->SetTableAlias("a_b");
    EXPECT_EQ(model.TableByName(1, "a_b"), a);

    // Appended while the index is current: earlier answers stay.
    TDSTable* c = model.Tables(model.AddTable("ORDERS", "Orders again"));
    EXPECT_EQ(model.TableByName(0, "orders"), a);
    EXPECT_EQ(model.TableByName(1, "orders"), c);

    model.DelTable(0);
    EXPECT_EQ(model.TableByName(0, "orders"), b);
    EXPECT_EQ(model.TableByName(1, "a_b"), b);
    model.DelTable(0);
    TDSTable* d = model.Tables(model.AddTable("Orders", "d")); // appended while stale
    EXPECT_EQ(model.TableByName(0, "orders"), c);
    EXPECT_EQ(model.TableByName(2, "d"), d);
}

TEST_F(ModelTest, FieldByNameFindsTheFirstInModelOrder)
{
    TDSTable* orders = AddTable(model, "Orders", "o");
    TDSTable* customers = AddTable(model, "Customers");
    TDSField* f1 = AddData("CustID", "Customer", orders);
    TDSField* f2 = AddData("CustID", "Customer", customers);
    TDSField* date = AddData("Order Date", "Date", orders);
    TDSField* count = AddVirtual(model, "count(o.ID)");
    EXPECT_TRUE(date->Quoted());
    for (auto [mode, text, field] :
         {std::tuple{0, "custid", f1}, {1, "CUSTOMER", f1}, {2, "customers.CUSTID", f2}, {2, "o.CustID", nullptr},
          {3, "o.custid", f1}, {3, "CUSTOMERS.CustID", f2}, {3, "O.ORDER DATE", date},
          {3, "o.\"order date\"", date}, {0, "COUNT(o.id)", count}, {4, "custid", nullptr}})
        EXPECT_EQ(model.FieldByName(mode, text), field) << mode << " " << text;

    f1->SetFieldName("Cust");
    EXPECT_EQ(model.FieldByName(0, "custid"), f2);
    f1->SetFieldName("CustID");
    EXPECT_EQ(model.FieldByName(0, "custid"), f1);
    f1->SetDisplayName("Client");
    EXPECT_EQ(model.FieldByName(1, "customer"), f2);
    count->SetSQLExpr("max(o.ID)");
    EXPECT_EQ(model.FieldByName(0, "MAX(o.id)"), count);
    customers->SetTableName("Clients");
    EXPECT_EQ(model.FieldByName(2, "clients.custid"), f2);
    model.DelField(0);
    EXPECT_EQ(model.FieldByName(0, "custid"), f2);
}

TEST_F(ModelTest, IdentifiersContinueAfterTheHighestAndLookupsFindTheFirst)
{
    EXPECT_EQ(AddData("A")->ID(), 1);
    model.ClearFields();
    for (int id : {1, 7, 3})
        AddWithID(id);
    EXPECT_EQ(AddData("B")->ID(), 8);
    model.DelField(3);
    EXPECT_EQ(AddData("C")->ID(), 8); // the highest went, so its number comes back
    model.DelField(3);
    model.DelField(1);
    EXPECT_EQ(AddData("D")->ID(), 4);
    TDSField* first = model.Fields(0);
    first->SetID(50);
    EXPECT_EQ(model.FieldByID(50), first);
    EXPECT_EQ(model.FieldByID(1), nullptr);
    first->SetID(1);
    EXPECT_EQ(model.GetLastFieldID(), 4);

    // Duplicate IDs: the first in model order answers.
    model.ClearFields();
    TDSField* a = model.Fields(AddWithID(5));
    TDSField* b = model.Fields(AddWithID(5));
    TDSField* c = AddData("C");
    EXPECT_EQ(c->ID(), 6);
    c->SetID(5);
    EXPECT_EQ(model.FieldByID(5), a);
    EXPECT_EQ(model.FieldByID(6), nullptr);
    model.DelField(0);
    EXPECT_EQ(model.FieldByID(5), b);
    b->SetID(9);
    EXPECT_EQ(model.FieldByID(5), c);
}

TEST(ModelAddField, DataFieldsNeedADatabaseInfo)
{
    TVxDBStructure model;
    ExpectDBStructError([&] { model.AddField(kfkData, "Name", "Name", nullptr); }, 11,
                        "DatabaseInfo is not specified");
    ASSERT_EQ(model.FieldCount(), 1);
    EXPECT_EQ(model.Fields(0)->ID(), 1);
    EXPECT_EQ(model.Fields(0)->FieldType(), ftUnknown);
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
    EXPECT_EQ(photo->FieldType(), ftBlob);
    EXPECT_FALSE(photo->UseInResult());
    photo->AddAppliedOperators();
    EXPECT_EQ(photo->OperatCount(), 0);
    EXPECT_EQ(info.fieldsCalls, 1);

    ExpectDBStructError([&] { model.AddField(kfkData, "Nope", "Nope", orders); }, 10,
                        "Can not find field \"Nope\" in table \"Orders\"");
    EXPECT_EQ(model.FieldCount(), 5);
    EXPECT_EQ(changes, 2);
    info.connected = false;
    TDSField* offline = model.Fields(model.AddField(kfkData, "Nope", "Nope", orders));
    EXPECT_TRUE(offline->FieldType() == ftString && offline->FieldSize() == 30);
}

TEST_F(ModelTest, VirtualFieldsTakeTablesAndColumnsFromTheirExpression)
{
    AddTable(model, "Orders", "o");
    TDSTable* customers = AddTable(model, "Customers", "c");
    TDSField* avg = AddVirtual(model, "sum(o.Amount) / count(c.ID)");
    EXPECT_EQ(avg->Tables().CommaText(), "o,c");
    EXPECT_EQ(avg->GroupByFields(), "o.Amount,c.ID");
    EXPECT_EQ(avg->FullName(), avg->SQLExpr());
    avg->SetSQLExpr("max(Customers.Name)");
    EXPECT_EQ(avg->Tables().Count(), 1);
    EXPECT_EQ(avg->Table(), customers);
    EXPECT_EQ(avg->DBFields().Lines(), QStringList{"Customers.Name"});
    avg->SetIsAggregate(true);
    EXPECT_TRUE(avg->IsAggregate());
    ExpectDBStructError([&] { avg->SetFieldName("Name"); }, 7, "Can not assign field name to virtual field");
    EXPECT_EQ(avg->FieldExpr(), "max(Customers.Name)");

    TDSField* name = AddData("Name", "Name", customers);
    name->SetIsAggregate(true);
    EXPECT_FALSE(name->IsAggregate());
    ExpectDBStructError([&] { name->SetSQLExpr("upper(c.Name)"); }, 8, "Can not assign expression to data field");
    EXPECT_EQ(name->SQLExpr(), "c.Name");
    EXPECT_EQ(name->NormalSQLExpr(), "c.\"Name\"");
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
    EXPECT_EQ(orders->LinkByTableAlias("i"), orderItems);
    EXPECT_EQ(customers->LinkByTable(items), customerItems);

    model.DelTable(0);
    ASSERT_EQ(model.LinkCount(), 1);
    EXPECT_EQ(customers->LinkCount(), 1);
    EXPECT_EQ(items->Links(0), customerItems);
    TStringList names;
    model.GetFieldNames(names, 1);
    EXPECT_EQ(names.Lines(), QStringList({"Customer", "max(c.ID)"}));
    EXPECT_EQ(group->Count(), 0);
    EXPECT_EQ(model.DefaultMainTable(), nullptr);
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

TEST(ModelLifetime, AFullModelFreesCleanlyAndForgetsAFreedInfo)
{
    auto info = std::make_unique<FakeDBInfo>();
    info->connected = false;
    auto model = std::make_unique<TVxDBStructure>();
    model->SetDatabaseInfo(info.get());
    TDSTable* a = AddTable(*model, "A");
    TDSTable* b = AddTable(*model, "B");
    AddLink(*model, a, b)->AddColumnPair("X", "=", "Y");
    TDSField* f = model->Fields(model->AddField(kfkData, "X", "X", a));
    f->SetEditType(etSQL);
    f->AddAppliedOperators();
    model->FieldGroups().AddGroup("G", f);
    AddVirtual(*model, "A.X + B.Y");
    auto condition = std::make_unique<TDSCondition>(model.get());
    condition->SetSQLExpr("A.X > :v");
    condition->SetDisplayFormat("X above @");
    model->Conditions().Add(std::move(condition));
    model->SetDefaultMainTable(b);

    info.reset();
    EXPECT_EQ(model->DatabaseInfo(), nullptr);
    model.reset();
}
