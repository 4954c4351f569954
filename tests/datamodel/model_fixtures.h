#pragma once
// Helpers the data model tests share: a database info whose answers the test
// sets and whose calls and settings it records, and a check for the model's
// coded errors.

#include <brindle/datamodel/db_structure.h>

#include <QHash>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline std::ostream& operator<<(std::ostream& os, const QString& text) { return os << text.toStdString(); }

namespace brindle::testing {

struct Column {
    QString name;
    TFieldType type;
    int size;
};

class FakeDBInfo : public TVxDBInfo {
public:
    bool connected = true, failLoad = false;
    QHash<QString, QList<Column>> columns;
    TStringList saved, loaded; // the settings SaveInfo gives and LoadInfo got
    int fieldsCalls = 0, loads = 0;

    bool GetConnected() override { return connected; }
    void FieldsByTable(const QString& table, TDBFieldList& fields) override
    {
        ++fieldsCalls;
        for (const Column& c : columns.value(table))
            fields.Add(c.name, c.type, c.size);
    }
    void SaveInfo(TStringList& info) override { info.Assign(saved); }
    void LoadInfo(TStringList& info) override
    {
        ++loads;
        loaded.AddStrings(info);
        if (failLoad)
            throw Exception(QStringLiteral("bad settings"));
    }
};

inline TStringList TextLines(const QString& text)
{
    TStringList lines;
    lines.SetText(text);
    return lines;
}

// The message of the E the call raises; a failure when it raises none.
template <typename E = Exception, typename Call>
QString ErrorMessage(Call&& call)
{
    try {
        call();
    } catch (const E& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no exception";
    return {};
}

// Runs the call and checks that it raises the model's error with the code and message.
template <typename Call>
void ExpectDBStructError(Call&& call, int code, const QString& message)
{
    try {
        call();
        ADD_FAILURE() << "expected EVxDBStructError " << code;
    } catch (const EVxDBStructError& e) {
        EXPECT_EQ(e.ErrorCode(), code);
        EXPECT_EQ(e.Message(), message);
    }
}

inline TDSTable* AddTable(TVxCustomDBStructure& model, const QString& name, const QString& alias = {})
{
    TDSTable* table = model.Tables(model.AddTable(name, name));
    if (!alias.isEmpty())
        table->SetTableAlias(alias);
    return table;
}

inline TDSLink* AddLink(TVxCustomDBStructure& model, TDSTable* table1, TDSTable* table2)
{
    auto link = std::make_unique<TDSLink>();
    link->SetTable1(table1);
    link->SetTable2(table2);
    return model.Links(model.AddLinkByRef(std::move(link)));
}

inline TDSField* AddVirtual(TVxCustomDBStructure& model, const QString& expr, const QString& caption = {})
{
    return model.Fields(model.AddField(kfkVirtual, expr, caption.isEmpty() ? expr : caption, nullptr));
}

// A model with a bit of everything the text carries.
inline void fillRichModel(TVxDBStructure& m, TVxDBInfo& info)
{
    info.OnFieldsRequest = [](TVxDBInfo*, const QString& table, TDBFieldList& fields) {
        fields.Add("ID", ftInteger, 4);
        fields.Add(table == "Orders" ? "CustID" : "Name", table == "Orders" ? ftInteger : ftString, 40);
        fields.Add("Order Date", ftDate, 8);
    };
    m.SetDatabaseInfo(&info);
    TDSTable* orders = m.Tables(m.AddTable("Orders", "Customer orders"));
    TDSTable* customers = m.Tables(m.AddTable("Customers", "Customers"));
    orders->SetTableAlias("o");
    orders->SetDesignPositions("10,20,30,40");
    customers->SetTableHints("NOLOCK");
    m.SetDefaultMainTable(customers);
    orders->SetDatabaseName("sales");
    customers->SetDatabaseName("crm");
    customers->SetDesignPositions("5,6,7,8");
    m.AddLinkByExpr("Orders-Customers:CustID=ID");
    m.AddLinkByExpr("Orders-Customers:CustID<>ID,Region=Area");   // parallel link, same section name
    m.AddLinkByExpr("Customers-Orders:Cust No=ID");                // quoted columns
    m.AddLinkByExpr("Customers-Customers:ID=ID");                  // a table to itself
    m.Links(0)->SetLinkType(ltOuterLeft);
    m.Links(1)->SetLinkType(ltOuterFull);
    m.Links(2)->SetLinkType(ltOuterRight);
    m.Links(3)->SetFields1(TStringList({"fld:Kind", "val:'B2B'"}));
    m.Links(3)->SetFields2(TStringList({"fld:Kind", "fld:Kind"}));
    m.Fields(m.AddField(kfkData, "ID", "Order number", orders))->SetID(7);
    TDSField* date = m.Fields(m.AddField(kfkData, "Order Date", "Ordered on", orders));
    date->SetEditType(etEdit);
    auto* text = static_cast<TDSTextEditor*>(date->ValueEditor());
    text->EditMask = "99.99.9999";
    text->Kind = tekDate;
    text->SetAutoUpperCase(true);
    TDSField* name = m.Fields(m.AddField(kfkData, "Name", "Name", customers));
    name->SetEditType(etSQL);
    static_cast<TDSSQLEditor*>(name->ValueEditor())->SQL.SetText("select Name\nfrom Customers\n");
    TDSField* list = m.Fields(m.AddField(kfkData, "ID", "Customer", customers));
    list->SetEditType(etList);
    static_cast<TDSListEditor*>(list->ValueEditor())->Items.SetCommaText("\"one, two\",three");
    m.Fields(m.AddField(kfkVirtual, "sum(o.ID)", "Total", nullptr))->SetIsAggregate(true);
    TDSField* custom = m.Fields(m.AddField(kfkVirtual, "o.ID * 2", "Twice", nullptr));
    custom->SetEditType(etCustom);
    static_cast<TDSCustomEditor*>(custom->ValueEditor())->Data().SetCommaText("a,b");

    // Fields offered in conditions carry operators: the reader fills an
    // empty list of such a field from the catalogue.
    for (int i = 0; i < m.FieldCount(); ++i)
        m.Fields(i)->AddAppliedOperators();
    m.FieldGroups().AddGroup("Orders", date)->Add(m.FieldByName(flByDisplayName, "Total"));
    auto condition = std::make_unique<TDSCondition>(&m);
    condition->SetDisplayFormat("ordered after @ and before @");
    condition->SetSQLExpr("o.Order Date between @1 and @2");
    condition->Values()[1]->SetDataType(ftDate);
    m.Conditions().Add(std::move(condition));
    m.SetRootFieldsFirst(true);
}

} // namespace brindle::testing
