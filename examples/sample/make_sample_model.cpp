// Writes the data model of the sample database:
//   make_sample_model <sample.sqlite> <model file> [<form file>]
// The model is made by hand through the model's API; only the column types
// come from the database (PRAGMA table_info). examples/sample/sample.dbs
// (the model text) and sample.form (a form holding the model with its SQL
// formats) are this program's output, and a test keeps them in step.

#include <brindle/datamodel/db_structure.h>
#include <brindle/datamodel/form_classes.h>
#include <brindle/foundations/errors.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>
#include <stdexcept>

using namespace brindle;

namespace {

const QString kConnection = QStringLiteral("make_sample_model");

// Declared SQLite types as the sample script writes them.
void MapDeclaredType(const QString& declared, const QString& column, TFieldType& type, int& size)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*([A-Za-z]+)\s*(?:\(\s*(\d+)\s*\))?\s*$)"));
    const QRegularExpressionMatch m = pattern.match(declared);
    const QString name = m.captured(1).toUpper();
    size = 0;
    if (name == QLatin1String("INTEGER"))
        type = ftInteger;
    else if (name == QLatin1String("REAL"))
        type = ftFloat;
    else if (name == QLatin1String("DATE"))
        type = ftDate;
    else if (name == QLatin1String("DATETIME"))
        type = ftDateTime;
    else if (name == QLatin1String("BOOLEAN"))
        type = ftBoolean;
    else if (name == QLatin1String("TEXT") || name == QLatin1String("VARCHAR")) {
        type = ftString;
        size = m.captured(2).isEmpty() ? 255 : m.captured(2).toInt();
    } else
        throw std::runtime_error(QStringLiteral("column %1: no field type for the declared type \"%2\"")
                                     .arg(column, declared).toStdString());
}

void ReadColumns(const QString& table, TDBFieldList& fields)
{
    QSqlQuery query(QSqlDatabase::database(kConnection));
    QString quoted = table;
    quoted.replace(u'"', QStringLiteral("\"\""));
    if (!query.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(quoted)))
        throw std::runtime_error(query.lastError().text().toStdString());
    while (query.next()) {
        const QString name = query.value(QStringLiteral("name")).toString();
        TFieldType type = ftUnknown;
        int size = 0;
        MapDeclaredType(query.value(QStringLiteral("type")).toString(), table + u'.' + name, type, size);
        fields.Add(name, type, size);
    }
}

class SampleModelBuilder {
public:
    explicit SampleModelBuilder(TVxDBStructure& model) : m(model) {}

    void Build();

private:
    TDSTable* Table(const QString& name, const QString& caption, const QString& alias, const QString& position)
    {
        TDSTable* table = m.Tables(m.AddTable(name, caption));
        table->SetTableAlias(alias);
        table->SetQuoted(name.contains(u' '));
        table->SetDesignPositions(position);
        return table;
    }
    TDSFieldGroup* Group(const QString& name)
    {
        TDSFieldGroup* group = m.FieldGroups().AddGroup(name, nullptr);
        group->SetDbStruct(&m);
        return group;
    }
    TDSField* Column(TDSTable* table, const QString& column, const QString& caption, TDSFieldGroup* group)
    {
        TDSField* field = m.Fields(m.AddField(kfkData, column, caption, table));
        field->AddAppliedOperators();
        group->Add(field);
        return field;
    }
    // The applied operators depend on the type, so they come after it.
    TDSField* Expression(const QString& sql, const QString& caption, TFieldType type, int size,
                         TDSFieldGroup* group)
    {
        TDSField* field = m.Fields(m.AddField(kfkVirtual, sql, caption, nullptr));
        field->SetFieldType(type);
        field->SetFieldSize(size);
        field->SetIsAggregate(CheckIfAggregate(sql));
        field->AddAppliedOperators();
        group->Add(field);
        return field;
    }
    static void ListEditor(TDSField* field, const QStringList& items, const QStringList& values)
    {
        field->SetEditType(etList);
        auto* editor = static_cast<TDSListEditor*>(field->ValueEditor());
        editor->Items.Assign(TStringList(items));
        editor->Values.Assign(TStringList(values));
    }
    void Link(const QString& line, TDSLinkType type = ltInner)
    {
        const int before = m.LinkCount();
        m.AddLinkByExpr(line);
        if (m.LinkCount() != before + 1)
            throw std::runtime_error(QStringLiteral("link not added: %1").arg(line).toStdString());
        m.Links(before)->SetLinkType(type);
    }
    // A link to the managers' copy of Employees, which a link line cannot
    // name: both copies share the table name.
    void LinkByAlias(TDSTable* from, const QString& column, TDSTable* to, TDSLinkType type)
    {
        auto link = std::make_unique<TDSLink>(&m);
        link->SetTable1(from);
        link->SetTable2(to);
        link->AddColumnPair(QStringLiteral("fld:") + column, QStringLiteral("="), QStringLiteral("fld:EmployeeID"));
        link->SetLinkType(type);
        m.AddLinkByRef(std::move(link));
    }

    TVxDBStructure& m;
};

void SampleModelBuilder::Build()
{
    // Both copies of Employees ask for the same columns, and Employees comes
    // first, so link lines naming "Employees" reach the salespeople.
    TDSTable* ord = Table(QStringLiteral("Orders"), QStringLiteral("Orders"), QStringLiteral("Ord"), QStringLiteral("620,140,160,190"));
    TDSTable* od = Table(QStringLiteral("Order Details"), QStringLiteral("Order lines"), QStringLiteral("OD"), QStringLiteral("420,140,160,130"));
    TDSTable* emp = Table(QStringLiteral("Employees"), QStringLiteral("Salespeople"), QStringLiteral("Emp"), QStringLiteral("840,260,160,170"));
    TDSTable* mgr = Table(QStringLiteral("Employees"), QStringLiteral("Managers"), QStringLiteral("Mgr"), QStringLiteral("1060,140,160,170"));
    TDSTable* cust = Table(QStringLiteral("Customers"), QStringLiteral("Customers"), QStringLiteral("Cust"), QStringLiteral("840,20,160,150"));
    TDSTable* shp = Table(QStringLiteral("Shippers"), QStringLiteral("Shippers"), QStringLiteral("Shp"), QStringLiteral("620,380,160,90"));
    TDSTable* prod = Table(QStringLiteral("Products"), QStringLiteral("Products"), QStringLiteral("Prod"), QStringLiteral("220,140,160,170"));
    TDSTable* cat = Table(QStringLiteral("Categories"), QStringLiteral("Categories"), QStringLiteral("Cat"), QStringLiteral("20,260,160,110"));
    TDSTable* sup = Table(QStringLiteral("Suppliers"), QStringLiteral("Suppliers"), QStringLiteral("Sup"), QStringLiteral("20,20,160,150"));
    m.SetDefaultMainTable(ord);

    // The path search takes the fewest links and, between equal chains, the
    // link listed first. The model text keeps links under their first table,
    // so they are added here in table order, as a reader recreates them.
    // Orders lists its salesperson before its customer, and Employees comes
    // before Customers, so "managers of orders" and "salespeople of
    // customers" go through the salesperson who took the order rather than
    // the customer's account manager.
    Link(QStringLiteral("Orders-Employees:EmployeeID=EmployeeID"));
    Link(QStringLiteral("Orders-Customers:CustomerID=CustomerID"));
    // Orders not yet shipped have no shipper.
    Link(QStringLiteral("Orders-Shippers:ShipperID=ShipperID"), ltOuterLeft);
    Link(QStringLiteral("Order Details-Orders:OrderID=OrderID"));
    Link(QStringLiteral("Order Details-Products:ProductID=ProductID"));
    // The managing director has no manager.
    LinkByAlias(emp, QStringLiteral("ManagerID"), mgr, ltOuterLeft);
    LinkByAlias(cust, QStringLiteral("AccountManagerID"), mgr, ltInner);
    Link(QStringLiteral("Products-Suppliers:SupplierID=SupplierID"));
    // One product belongs to no category.
    Link(QStringLiteral("Products-Categories:CategoryID=CategoryID"), ltOuterLeft);

    TDSFieldGroup* order = Group(QStringLiteral("Order"));
    Column(ord, QStringLiteral("OrderID"), QStringLiteral("Order number"), order);
    Column(ord, QStringLiteral("Order Date"), QStringLiteral("Order date"), order);
    Column(ord, QStringLiteral("Required Date"), QStringLiteral("Required by"), order);
    Column(ord, QStringLiteral("ShippedDate"), QStringLiteral("Shipped on"), order);
    ListEditor(Column(ord, QStringLiteral("Status"), QStringLiteral("Order status"), order),
               {QStringLiteral("New"), QStringLiteral("Shipped"), QStringLiteral("Cancelled")},
               {QStringLiteral("N"), QStringLiteral("S"), QStringLiteral("C")});
    Column(ord, QStringLiteral("Freight"), QStringLiteral("Freight"), order);
    Column(ord, QStringLiteral("EnteredAt"), QStringLiteral("Entered at"), order);
    Expression(QStringLiteral(R"(sum(OD.Quantity * OD."Unit Price" * (1 - OD.Discount)))"),
               QStringLiteral("Sales total"), ftFloat, 0, order);

    TDSFieldGroup* line = Group(QStringLiteral("Order line"));
    Column(od, QStringLiteral("Unit Price"), QStringLiteral("Sale price"), line);
    Column(od, QStringLiteral("Quantity"), QStringLiteral("Quantity"), line);
    Column(od, QStringLiteral("Discount"), QStringLiteral("Discount"), line);
    Expression(QStringLiteral(R"(OD.Quantity * OD."Unit Price" * (1 - OD.Discount))"),
               QStringLiteral("Line amount"), ftFloat, 0, line);

    TDSFieldGroup* customer = Group(QStringLiteral("Customer"));
    Column(cust, QStringLiteral("CompanyName"), QStringLiteral("Customer"), customer);
    Column(cust, QStringLiteral("ContactName"), QStringLiteral("Customer contact"), customer);
    Column(cust, QStringLiteral("City"), QStringLiteral("Customer city"), customer);
    Column(cust, QStringLiteral("Country"), QStringLiteral("Customer country"), customer);
    Column(cust, QStringLiteral("Phone"), QStringLiteral("Customer phone"), customer);

    TDSFieldGroup* salesperson = Group(QStringLiteral("Salesperson"));
    Expression(QStringLiteral("Emp.FirstName || ' ' || Emp.LastName"), QStringLiteral("Salesperson"), ftString, 41,
               salesperson);
    Column(emp, QStringLiteral("LastName"), QStringLiteral("Salesperson last name"), salesperson);
    Column(emp, QStringLiteral("Title"), QStringLiteral("Salesperson title"), salesperson);
    Column(emp, QStringLiteral("City"), QStringLiteral("Salesperson city"), salesperson);
    Column(emp, QStringLiteral("BirthDate"), QStringLiteral("Birth date"), salesperson);
    Column(emp, QStringLiteral("HireDate"), QStringLiteral("Hire date"), salesperson);

    TDSFieldGroup* manager = Group(QStringLiteral("Manager"));
    Expression(QStringLiteral("Mgr.FirstName || ' ' || Mgr.LastName"), QStringLiteral("Manager"), ftString, 41,
               manager);
    Column(mgr, QStringLiteral("Title"), QStringLiteral("Manager title"), manager);

    TDSFieldGroup* shipper = Group(QStringLiteral("Shipper"));
    Column(shp, QStringLiteral("CompanyName"), QStringLiteral("Shipper"), shipper);
    Column(shp, QStringLiteral("Phone"), QStringLiteral("Shipper phone"), shipper);

    TDSFieldGroup* product = Group(QStringLiteral("Product"));
    Column(prod, QStringLiteral("ProductName"), QStringLiteral("Product"), product);
    // The user picks a category by name; the query compares its number.
    TDSField* category = Column(prod, QStringLiteral("CategoryID"), QStringLiteral("Product category"), product);
    category->SetEditType(etSQL);
    static_cast<TDSSQLEditor*>(category->ValueEditor())
        ->SQL.Add(QStringLiteral("SELECT CategoryID, CategoryName FROM Categories ORDER BY CategoryName"));
    Column(prod, QStringLiteral("QuantityPerUnit"), QStringLiteral("Pack size"), product);
    Column(prod, QStringLiteral("Unit Price"), QStringLiteral("List price"), product);
    Column(prod, QStringLiteral("UnitsInStock"), QStringLiteral("Units in stock"), product);
    ListEditor(Column(prod, QStringLiteral("Discontinued"), QStringLiteral("Discontinued"), product),
               {QStringLiteral("Yes"), QStringLiteral("No")}, {QStringLiteral("1"), QStringLiteral("0")});

    TDSFieldGroup* categoryGroup = Group(QStringLiteral("Category"));
    Column(cat, QStringLiteral("CategoryName"), QStringLiteral("Category"), categoryGroup);
    Column(cat, QStringLiteral("Description"), QStringLiteral("Category description"), categoryGroup);

    TDSFieldGroup* supplier = Group(QStringLiteral("Supplier"));
    Column(sup, QStringLiteral("CompanyName"), QStringLiteral("Supplier"), supplier);
    Column(sup, QStringLiteral("ContactName"), QStringLiteral("Supplier contact"), supplier);
    Column(sup, QStringLiteral("City"), QStringLiteral("Supplier city"), supplier);
    Column(sup, QStringLiteral("Country"), QStringLiteral("Supplier country"), supplier);

    auto period = std::make_unique<TDSCondition>(&m);
    period->SetDisplayFormat(QStringLiteral("Ordered between @ and @"));
    period->SetSQLExpr(QStringLiteral(R"(Ord."Order Date" between '@1' and '@2')"));
    for (const auto& value : period->Values())
        value->SetDataType(ftDate);
    m.Conditions().Add(std::move(period));
    auto open = std::make_unique<TDSCondition>(&m);
    open->SetDisplayFormat(QStringLiteral("Not shipped yet"));
    open->SetSQLExpr(QStringLiteral("Ord.ShippedDate is null and Ord.Status <> 'C'"));
    m.Conditions().Add(std::move(open));

    // SQLite compares the stored ISO dates as text, so literals take the
    // same layout. The model text does not carry these settings: a host
    // applies them, or keeps the model in a form, which does.
    TSQLFormats* formats = m.SQLFormats();
    formats->SetDate(QStringLiteral("yyyy-mm-dd"));
    formats->SetTime(QStringLiteral("hh:nn:ss"));
    formats->SetDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss"));
    formats->SetQuoteSymbol1(u'"');
    formats->SetQuoteSymbol2(u'"');
    formats->SetFalseValue(QStringLiteral("0"));
    formats->SetTrueValue(QStringLiteral("1"));
}

void Run(const QString& dbPath, const QString& modelPath, const QString& formPath)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
        db.setDatabaseName(dbPath);
        // Read-only, so a wrong path fails instead of creating an empty file.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            throw std::runtime_error(QStringLiteral("cannot open %1: %2").arg(dbPath, db.lastError().text()).toStdString());
    }
    TVxDBInfo info;
    info.OnFieldsRequest = [](TVxDBInfo*, const QString& table, TDBFieldList& fields) { ReadColumns(table, fields); };
    TVxDBStructure model;
    model.SetDatabaseInfo(&info);
    SampleModelBuilder(model).Build();
    model.SaveToFile(modelPath);
    std::printf("%d tables, %d fields, %d links written to %s\n", model.TableCount(), model.FieldCount(),
                model.LinkCount(), qPrintable(modelPath));
    if (formPath.isEmpty())
        return;
    // The form names no database info: a host attaches its own.
    model.SetDatabaseInfo(nullptr);
    model.setObjectName(QStringLiteral("SampleModel"));
    RegisterCoreFormClasses();
    SaveFormToFile(formPath, QStringLiteral("SampleForm"), {&model});
    std::printf("the model and its SQL formats written to %s\n", qPrintable(formPath));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr, "usage: make_sample_model <sample.sqlite> <model file> [<form file>]\n");
        return 2;
    }
    int rc = 0;
    try {
        Run(args.at(1), args.at(2), args.value(3));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_sample_model: %s\n", e.what());
        rc = 1;
    }
    QSqlDatabase::removeDatabase(kConnection);
    return rc;
}
