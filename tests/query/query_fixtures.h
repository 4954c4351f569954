#pragma once
// A small model for query tests: customers and orders with fields of the
// common types, a virtual aggregate, a list editor and a predefined condition.

#include <brindle/datamodel/db_structure.h>
#include <brindle/query/query.h>

#include <memory>
#include <tuple>

namespace brindle::fixtures {

struct QueryModel {
    TVxDBInfo info;
    TVxDBStructure model;
    TDSField *custName, *custCity, *orderID, *orderDate, *amount, *paid, *status, *total;
    TDSCondition* bigOrders;

    QueryModel()
    {
        info.OnFieldsRequest = [](TVxDBInfo*, const QString& table, TDBFieldList& fields) {
            fields.Add("ID", ftInteger, 4);
            if (table == "Customers") {
                fields.Add("Name", ftString, 40);
                fields.Add("City", ftString, 30);
                return;
            }
            for (auto [name, type, size] : {std::tuple{"CustID", ftInteger, 4}, {"OrderDate", ftDate, 8},
                                            {"Amount", ftFloat, 8}, {"Paid", ftBoolean, 1}, {"Status", ftString, 10}})
                fields.Add(name, type, size);
        };
        model.SetDatabaseInfo(&info);
        TDSTable* customers = model.Tables(model.AddTable("Customers", "Customers"));
        TDSTable* orders = model.Tables(model.AddTable("Orders", "Orders"));
        customers->SetTableAlias("c");
        orders->SetTableAlias("o");
        model.AddLinkByExpr("Orders-Customers:CustID=ID");
        model.SetDefaultMainTable(orders);
        auto add = [&](TDSTable* t, const char* column, const char* caption) {
            TDSField* f = model.Fields(model.AddField(kfkData, column, caption, t));
            f->AddAppliedOperators();
            return f;
        };
        custName = add(customers, "Name", "Customer");
        custCity = add(customers, "City", "City");
        orderID = add(orders, "ID", "Order");
        orderDate = add(orders, "OrderDate", "Ordered on");
        amount = add(orders, "Amount", "Amount");
        paid = add(orders, "Paid", "Paid");
        status = add(orders, "Status", "Status");
        status->SetEditType(etList);
        auto* list = static_cast<TDSListEditor*>(status->ValueEditor());
        list->Items.SetCommaText("Open,Shipped,Closed");
        list->Values.SetCommaText("O,S,C");
        total = model.Fields(model.AddField(kfkVirtual, "sum(o.Amount)", "Total", nullptr));
        total->SetIsAggregate(true);
        total->SetFieldType(ftFloat);
        total->AddAppliedOperators();
        auto condition = std::make_unique<TDSCondition>(&model);
        condition->SetDisplayFormat("amount above @");
        condition->SetSQLExpr("o.Amount > @1");
        condition->Values()[0]->SetDataType(ftFloat);
        bigOrders = condition.get();
        model.Conditions().Add(std::move(condition));
    }

    TDSOperator* op(const char* name) { return model.OperatorByName(name); }
};

// A simple condition of the field with the operator and values.
inline TSimpleCond* addCondition(TVxQuery& query, TFilterBracket* bracket, TDSField* field, TDSOperator* op,
                                 const QString& value1 = {}, const QString& value2 = {})
{
    auto* cond = static_cast<TSimpleCond*>(query.AddCondition(bracket, field));
    cond->SetOperator(op);
    if (!value1.isEmpty())
        cond->SetValue(1, value1);
    if (!value2.isEmpty())
        cond->SetValue(2, value2);
    return cond;
}

// "code: message" of the error E the call raises ("message" for errors
// without a code), "no error" when it raises none.
template <typename E, typename Call>
QString errorOf(Call&& call)
{
    try {
        call();
    } catch (const E& e) {
        if constexpr (requires { e.ErrorCode(); })
            return QString::number(e.ErrorCode()) + ": " + e.Message();
        else
            return e.Message();
    }
    return "no error";
}

// A text's lines, as the query and model readers take them.
inline TStringList textLines(const QString& text)
{
    TStringList out;
    out.SetText(text);
    return out;
}

// The model and a query over it, with a short way to add conditions.
struct ModelQuery {
    QueryModel m;
    TVxQuery query;

    explicit ModelQuery(bool active = true) { query.SetDbStruct(&m.model); query.SetActive(active); }
    // A condition at the end of the bracket, the root one unless given.
    TSimpleCond* add(TDSField* field, TDSOperator* op, const QString& value1 = {}, const QString& value2 = {},
                     TFilterBracket* in = nullptr)
    {
        return addCondition(query, in ? in : query.Filter(), field, op, value1, value2);
    }
    TSimpleCond* add(TDSField* field, const char* op, const QString& value1 = {}, const QString& value2 = {},
                     TFilterBracket* in = nullptr)
    {
        return add(field, m.op(op), value1, value2, in);
    }
    void allowEmptyBrackets()
    {
        query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    }
};

} // namespace brindle::fixtures
