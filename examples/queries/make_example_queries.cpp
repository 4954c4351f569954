// Writes the example queries over the sample model:
//   make_example_queries <sample model> <folder>
// Each query is composed through the query's API and saved in the query
// text format; the committed *.qry files next to this program are its
// output, and a test keeps them in step with the writer.

#include <brindle/datamodel/db_structure.h>
#include <brindle/datamodel/form_classes.h>
#include <brindle/foundations/date_time.h>
#include <brindle/foundations/errors.h>
#include <brindle/query/query.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>

#include <cstdio>
#include <functional>
#include <stdexcept>

using namespace brindle;

namespace {

// One query under construction, with the root bracket's rows all applying.
class Composer {
public:
    explicit Composer(TVxDBStructure& model) : m(model)
    {
        q.SetDbStruct(&m);
        q.SetActive(true);
        q.SetSaveTitles(false);
        q.Filter()->SetLinkType(fltAll);
    }

    TDSField* Field(const QString& caption) const
    {
        if (TDSField* field = m.FieldByName(flByDisplayName, caption))
            return field;
        throw std::runtime_error("the sample model has no field " + caption.toStdString());
    }
    void Column(const QString& caption, TSortingType sorting = stNoSort, int order = 0)
    {
        TRFieldList& fields = q.QResult()->ResultFields();
        TResultField* added = fields.GetRField(fields.Add(QStringLiteral("@1"), {Field(caption)}, caption));
        added->SetSorting(sorting);
        added->SetSortOrder(order);
    }
    void Formula(const QString& caption, const QString& expression, TSortingType sorting = stNoSort)
    {
        q.QResult()->ResultFields().AddByExpression(caption, expression, sorting, 0);
    }
    // With asParams the values become parameters holding the texts.
    TSimpleCond* Condition(const QString& caption, const char* op, const QString& v1 = {}, const QString& v2 = {},
                           bool asParams = false)
    {
        auto* added = static_cast<TSimpleCond*>(q.AddCondition(q.Filter(), Field(caption)));
        added->SetOperator(m.OperatorByName(QLatin1String(op)));
        for (int index = 1; index <= added->GetValueCount(); ++index) {
            const QString& value = index == 1 ? v1 : v2;
            added->SetValueIsParam(index, asParams);
            if (asParams)
                added->GetParam(index)->SetValue(value);
            else
                added->SetValue(index, value);
        }
        return added;
    }
    // Dates are stored as day numbers; the words show them as the panel's
    // date editor would, here in ISO form.
    void DateCondition(const QString& caption, const char* op, QDate from, QDate to = {})
    {
        TSimpleCond* added = Condition(caption, op, dayNumber(from), to.isValid() ? dayNumber(to) : QString());
        added->SetCaption(1, from.toString(Qt::ISODate));
        if (to.isValid())
            added->SetCaption(2, to.toString(Qt::ISODate));
    }
    void Predefined(const QString& caption)
    {
        for (const auto& condition : m.Conditions())
            if (condition->DisplayFormat() == caption) {
                q.AddCustomCondition(q.Filter(), condition.get());
                return;
            }
        throw std::runtime_error("the sample model has no condition " + caption.toStdString());
    }
    void Save(const QString& fileName, const QString& name, const QStringList& description)
    {
        q.SetQueryName(name);
        q.Description().Clear();
        q.Description().AddStrings(description);
        q.SaveToFile(fileName);
    }

private:
    static QString dayNumber(QDate date)
    {
        return BrDateTimeToStr(EncodeDate(date.year(), date.month(), date.day()));
    }

    TVxDBStructure& m;
    TVxQuery q;
};

struct Example {
    const char* file;
    const char* name;
    QStringList description;
    std::function<void(Composer&)> compose;
};

void Run(const QString& modelPath, const QString& folder)
{
    RegisterCoreFormClasses();
    QObject owner;
    TVxDBStructure* model = nullptr;
    for (QObject* component : LoadFormFromFile(modelPath, &owner))
        if (!model)
            model = qobject_cast<TVxDBStructure*>(component);
    if (!model)
        throw std::runtime_error("no data model in " + modelPath.toStdString());

    const QString uk = QStringLiteral("United Kingdom");
    const Example examples[] = {
        {"uk_orders_2024", "Orders from the United Kingdom in 2024",
         {QStringLiteral("Every order of a British customer placed in 2024, with its date and total.")},
         [&](Composer& c) {
             c.Column(QStringLiteral("Order number"), stAscending);
             c.Column(QStringLiteral("Order date"));
             c.Column(QStringLiteral("Customer"));
             c.Column(QStringLiteral("Sales total"));
             c.Condition(QStringLiteral("Customer country"), "Equal", uk);
             c.DateCondition(QStringLiteral("Order date"), "Between", QDate(2024, 1, 1), QDate(2024, 12, 31));
         }},
        {"sales_by_category", "Sales by category",
         {QStringLiteral("Categories that sold for more than 300, largest first; cancelled orders do not"),
          QStringLiteral("count. The gift hamper tin belongs to no category and shows as an empty one.")},
         [](Composer& c) {
             c.Column(QStringLiteral("Category"));
             c.Column(QStringLiteral("Sales total"), stDescending);
             c.Condition(QStringLiteral("Sales total"), "GreaterThan", QStringLiteral("300"));
             c.Condition(QStringLiteral("Order status"), "NotEqual", QStringLiteral("C"));
         }},
        {"orders_by_country", "Orders from a country since a date",
         {QStringLiteral("The country and the first day are parameters, bound when the statement runs."),
          QStringLiteral("Stored with the United Kingdom and 1 July 2024.")},
         [&](Composer& c) {
             c.Column(QStringLiteral("Order number"));
             c.Column(QStringLiteral("Customer"));
             c.Column(QStringLiteral("Order date"), stAscending);
             c.Condition(QStringLiteral("Customer country"), "Equal", uk, {}, true);
             c.Condition(QStringLiteral("Order date"), "GreaterOrEqual", QStringLiteral("2024-07-01"), {}, true);
         }},
        {"open_orders", "Orders not shipped yet",
         {QStringLiteral("Open orders with the salesperson who took them; none has a shipper yet.")},
         [](Composer& c) {
             c.Column(QStringLiteral("Order number"));
             c.Column(QStringLiteral("Customer"));
             c.Column(QStringLiteral("Salesperson"));
             c.Column(QStringLiteral("Required by"), stAscending);
             c.Column(QStringLiteral("Shipper"));
             c.Predefined(QStringLiteral("Not shipped yet"));
         }},
        {"low_stock", "Products low in stock",
         {QStringLiteral("Products still sold with fewer than 50 units in stock, by category."),
          QStringLiteral("Run it with --main-table Prod: it starts from the products, not the orders.")},
         [](Composer& c) {
             c.Column(QStringLiteral("Category"), stAscending, 1);
             c.Column(QStringLiteral("Product"), stAscending, 2);
             c.Column(QStringLiteral("Units in stock"));
             c.Column(QStringLiteral("Supplier"));
             c.Condition(QStringLiteral("Units in stock"), "LessThan", QStringLiteral("50"));
             c.Condition(QStringLiteral("Discontinued"), "Equal", QStringLiteral("0"));
         }},
        {"orders_per_salesperson", "Orders per salesperson in 2023",
         {QStringLiteral("How many orders each salesperson took in 2023, with the manager they report to.")},
         [](Composer& c) {
             c.Column(QStringLiteral("Salesperson"), stAscending);
             c.Column(QStringLiteral("Salesperson title"));
             c.Column(QStringLiteral("Manager"));
             c.Formula(QStringLiteral("Orders"), QStringLiteral("count({Order number})"));
             c.DateCondition(QStringLiteral("Order date"), "Between", QDate(2023, 1, 1), QDate(2023, 12, 31));
         }},
    };
    for (const Example& example : examples) {
        Composer composer(*model);
        example.compose(composer);
        composer.Save(QDir(folder).filePath(QLatin1String(example.file) + QStringLiteral(".qry")),
                      QLatin1String(example.name), example.description);
    }
    std::printf("%d queries written to %s\n", int(std::size(examples)), qPrintable(folder));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_example_queries <sample model> <folder>\n");
        return 2;
    }
    try {
        Run(args.at(1), args.at(2));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_example_queries: %s\n", e.what());
        return 1;
    }
    return 0;
}
