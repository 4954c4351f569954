// End-to-end runs on the sample database: queries composed through the
// query's API over the committed model, built in two syntaxes, executed
// through QtSql and compared with the rows of a plain hand-written statement
// or of a C++ filter over the raw table.

#include "examples/sample_fixtures.h"
#include <brindle/foundations/date_time.h>
#include <brindle/foundations/errors.h>
#include <brindle/query/query.h>

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <stdexcept>

using namespace brindle;
using fixtures::Rows;

namespace {

// A date or moment as a condition value holds it.
QString at(int y, int m, int d, int h = 0, int n = 0, int s = 0)
{
    return BrDateTimeToStr(EncodeDate(y, m, d) + EncodeTime(h, n, s, 0));
}

// One query under construction over the sample model, in one syntax.
class Composer {
public:
    Composer(TVxDBStructure& model, TSQLSyntax syntax, const char* mainTable) : model(model)
    {
        query.SetDbStruct(&model);
        query.SetActive(true);
        // Brackets start empty so that every row of a case is its own.
        query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
        // Without DISTINCT a wrong join shows as repeated rows.
        query.SetSQLOptions({soASCIIRFields});
        query.SetSQLSyntax(syntax);
        query.SetMainTableName(QString::fromUtf8(mainTable));
        query.Filter()->SetLinkType(fltAll);
    }

    TDSField* field(const char* name) const
    {
        if (TDSField* found = model.FieldByName(flByDisplayName, QString::fromUtf8(name)))
            return found;
        throw std::runtime_error(std::string("no field ") + name);
    }
    void col(const char* name, TSortingType sorting = stNoSort, int order = 0)
    {
        TRFieldList& fields = query.QResult()->ResultFields();
        TResultField* added =
            fields.GetRField(fields.Add(QStringLiteral("@1"), {field(name)}, QString::fromUtf8(name)));
        added->SetSorting(sorting);
        added->SetSortOrder(order);
    }
    void cols(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            col(name);
    }
    void expr(const char* caption, const char* expression)
    {
        query.QResult()->ResultFields().AddByExpression(QString::fromUtf8(caption), QString::fromUtf8(expression),
                                                       stNoSort, 0);
    }
    // With asParams the values are parameters that hold the texts.
    TSimpleCond* cond(const char* name, const char* op, const QString& v1 = {}, const QString& v2 = {},
                      TFilterBracket* in = nullptr, bool asParams = false)
    {
        auto* added = static_cast<TSimpleCond*>(query.AddCondition(in ? in : query.Filter(), field(name)));
        added->SetOperator(model.OperatorByName(QString::fromLatin1(op)));
        for (int index = 1; index <= added->GetValueCount(); ++index) {
            added->SetValueIsParam(index, asParams);
            if (asParams)
                added->GetParam(index)->SetValue(index == 1 ? v1 : v2);
            else
                added->SetValue(index, index == 1 ? v1 : v2);
        }
        return added;
    }
    TFilterBracket* bracket(TFilterLinkType type, TFilterBracket* in = nullptr)
    {
        TFilterBracket* added = query.AddBracket(in ? in : query.Filter());
        added->SetLinkType(type);
        return added;
    }
    void predefined(int index, const QString& v1 = {}, const QString& v2 = {})
    {
        TFilterCond* added = query.AddCustomCondition(query.Filter(), model.Conditions().Items(index));
        added->SetValue(1, v1);
        added->SetValue(2, v2);
    }
    QString sql()
    {
        query.BuildQuery();
        return query.QResult()->GetSQL().Text();
    }
    fixtures::Binds binds() const
    {
        fixtures::Binds list;
        for (int i = 0; i < query.QResult()->GetParamCount(); ++i)
            list.append({u':' + query.QResult()->GetParam(i)->ParamName(),
                         query.QResult()->GetParam(i)->GetFullValue()});
        return list;
    }

    TVxDBStructure& model;
    TVxQuery query;
};

class EndToEnd : public fixtures::SampleModelSuite {};

struct QueryCase {
    const char* name;
    const char* main;
    std::function<void(Composer&)> compose;
    std::string expected; // hand-written, plain SQL
    bool ordered = false;
    // Comma joins cannot keep the unmatched rows of an outer link.
    const char* expectedSQL1 = nullptr;
};

#define LINE_AMOUNT "d.Quantity * d.\"Unit Price\" * (1 - d.Discount)"

TEST_F(EndToEnd, QueriesMatchHandWrittenStatementsInBothSyntaxes)
{
    using Q = Composer&;
    const QString uk = QStringLiteral("United Kingdom");
    const std::string oc = "FROM Orders o JOIN Customers c ON c.CustomerID = o.CustomerID ";
    const std::string ocd = oc + "JOIN \"Order Details\" d ON d.OrderID = o.OrderID ";
    const std::string oe = "FROM Orders o JOIN Employees e ON e.EmployeeID = o.EmployeeID ";
    const std::string odp = "FROM \"Order Details\" d JOIN Products p ON p.ProductID = d.ProductID ";
    const QueryCase cases[] = {
        // The operators, each with its own template over SQLite.
        {"Equal through a join", "Ord", [&](Q q) { q.cols({"Order number", "Customer"});
             q.cond("Customer country", "Equal", uk); },
         "SELECT o.OrderID, c.CompanyName " + oc + "WHERE c.Country = 'United Kingdom'"},
        {"IsNull across an outer link", "Prod", [](Q q) { q.cols({"Product", "Category"});
             q.cond("Category", "IsNull"); },
         "SELECT p.ProductName, c.CategoryName FROM Products p LEFT JOIN Categories c ON c.CategoryID = p.CategoryID "
         "WHERE c.CategoryName IS NULL", false, "SELECT 1 WHERE 0"},
        {"InList of numbers", "Ord", [](Q q) { q.cols({"Order number", "Customer"});
             q.cond("Order number", "InList", "1, 17,40"); },
         "SELECT o.OrderID, c.CompanyName " + oc + "WHERE o.OrderID IN (1, 17, 40)"},
        {"NotInList with a quoted item", "Sup", [](Q q) { q.cols({"Supplier", "Supplier country"});
             q.cond("Supplier country", "NotInList", "\"United Kingdom\",Italy"); },
         "SELECT CompanyName, Country FROM Suppliers WHERE Country NOT IN ('United Kingdom', 'Italy')"},
        {"StartsWith", "Prod", [](Q q) { q.col("Product"); q.cond("Product", "StartsWith", "S"); },
         "SELECT ProductName FROM Products WHERE substr(ProductName, 1, 1) IN ('S', 's')"},
        {"Contains ignores ASCII case", "Prod", [](Q q) { q.col("Product"); q.cond("Product", "Contains", "tea"); },
         "SELECT ProductName FROM Products WHERE instr(lower(ProductName), 'tea') > 0"},
        {"NotBetween on dates", "Emp", [](Q q) { q.cols({"Salesperson last name", "Hire date"});
             q.cond("Hire date", "NotBetween", at(2016, 1, 1), at(2020, 12, 31)); },
         "SELECT LastName, HireDate FROM Employees WHERE HireDate < '2016-01-01' OR HireDate > '2020-12-31'"},
        // Dates, date-times, quotes and letters outside ASCII.
        {"Order date between two dates", "Ord", [](Q q) { q.cols({"Order number", "Order date"});
             q.cond("Order date", "Between", at(2024, 1, 1), at(2024, 3, 31)); },
         "SELECT OrderID, \"Order Date\" FROM Orders "
         "WHERE \"Order Date\" >= '2024-01-01' AND \"Order Date\" <= '2024-03-31'"},
        {"Before a moment", "Ord", [](Q q) { q.cols({"Order number", "Entered at"});
             q.cond("Entered at", "LessThan", at(2023, 3, 10, 11, 32, 8)); },
         "SELECT OrderID, EnteredAt FROM Orders WHERE EnteredAt < '2023-03-10 11:32:08'"},
        {"Apostrophe and accent in a list", "Cust", [](Q q) { q.col("Customer");
             q.cond("Customer contact", "InList", QStringLiteral("\"Ciarán O'Meara\",\"Lucía Peñalba\"")); },
         "SELECT CompanyName FROM Customers WHERE CustomerID IN (1, 8)"},
        {"An expression field equal to a non-ASCII name", "Ord", [](Q q) { q.cols({"Order number", "Salesperson"});
             q.cond("Salesperson", "Equal", QStringLiteral("Åsa Lindqvist")); },
         "SELECT o.OrderID, e.FirstName || ' ' || e.LastName " + oe + "WHERE e.EmployeeID = 3"},
        {"Sale price and line amount", "OD", [](Q q) { q.cols({"Order number", "Product", "Sale price", "Line amount"});
             q.cond("Sale price", "GreaterThan", "20"); },
         "SELECT d.OrderID, p.ProductName, d.\"Unit Price\", " LINE_AMOUNT " " + odp + "WHERE d.\"Unit Price\" > 20"},
        // Join routes.
        {"Orders and managers go through the salesperson", "Ord", [](Q q) { q.cols({"Order number", "Manager"});
             q.cond("Manager title", "Equal", "Sales Manager, Europe"); },
         "SELECT o.OrderID, m.FirstName || ' ' || m.LastName " + oe
             + "JOIN Employees m ON m.EmployeeID = e.ManagerID WHERE m.Title = 'Sales Manager, Europe'"},
        {"Customers and managers take the direct link", "Cust", [](Q q) { q.cols({"Customer", "Manager"}); },
         "SELECT c.CompanyName, m.FirstName || ' ' || m.LastName FROM Customers c "
         "JOIN Employees m ON m.EmployeeID = c.AccountManagerID"},
        {"Customers and salespeople go through orders", "Cust", [](Q q) { q.cols({"Customer", "Salesperson"});
             q.cond("Customer city", "Equal", "Galway"); },
         "SELECT c.CompanyName, e.FirstName || ' ' || e.LastName FROM Customers c JOIN Orders o ON o.CustomerID = "
         "c.CustomerID JOIN Employees e ON e.EmployeeID = o.EmployeeID WHERE c.City = 'Galway'"},
        // Predefined conditions.
        {"Ordered between", "Ord", [](Q q) { q.col("Order number"); q.predefined(0, at(2023, 6, 1), at(2023, 8, 31)); },
         "SELECT OrderID FROM Orders WHERE \"Order Date\" >= '2023-06-01' AND \"Order Date\" <= '2023-08-31'"},
        {"Not shipped yet, or cancelled", "Ord", [](Q q) { q.query.Filter()->SetLinkType(fltAny); q.col("Order number");
             q.predefined(1); q.cond("Order status", "Equal", "C"); },
         "SELECT OrderID FROM Orders WHERE OrderID >= 38 OR OrderID = 17"},
        // Parameters bound at execution.
        {"Parameters in Equal and Contains", "Cust", [&](Q q) { q.col("Customer");
             q.cond("Customer country", "Equal", uk, {}, nullptr, true);
             q.cond("Customer", "Contains", "ar", {}, nullptr, true); },
         "SELECT CompanyName FROM Customers WHERE Country = 'United Kingdom' AND instr(lower(CompanyName), 'ar') > 0"},
        {"Parameters for a date range", "Ord", [](Q q) { q.col("Order number");
             q.cond("Order date", "Between", "2024-01-01", "2024-03-31", nullptr, true); },
         "SELECT OrderID FROM Orders WHERE \"Order Date\" BETWEEN '2024-01-01' AND '2024-03-31'"},
        // Aggregates, grouping, HAVING.
        {"HAVING on the sales total with a WHERE", "Ord", [](Q q) { q.cols({"Customer", "Sales total"});
             q.cond("Sales total", "GreaterThan", "1000"); q.cond("Order date", "GreaterOrEqual", at(2024, 1, 1)); },
         "SELECT c.CompanyName, sum(" LINE_AMOUNT ") " + ocd
             + "WHERE o.\"Order Date\" >= '2024-01-01' GROUP BY c.CompanyName HAVING sum(" LINE_AMOUNT ") > 1000"},
        {"Counts and averages by expression", "Ord", [](Q q) { q.col("Customer country");
             q.expr("Orders", "count({Order number})"); q.expr("Mean freight", "avg({Freight})"); },
         "SELECT c.Country, count(o.OrderID), avg(o.Freight) " + oc + "GROUP BY c.Country"},
        // Sorting and LIMIT.
        {"Sales total per supplier, largest first", "Sup", [](Q q) { q.col("Supplier");
             q.col("Sales total", stDescending); },
         "SELECT s.CompanyName, sum(" LINE_AMOUNT ") AS t FROM Suppliers s JOIN Products p ON p.SupplierID = "
         "s.SupplierID JOIN \"Order Details\" d ON d.ProductID = p.ProductID GROUP BY s.CompanyName ORDER BY t DESC",
         true},
        {"Two keys by sort order", "Cust", [](Q q) { q.col("Customer", stDescending, 2);
             q.col("Customer country", stAscending, 1); },
         "SELECT CompanyName, Country FROM Customers ORDER BY Country ASC, CompanyName DESC", true},
        {"LIMIT after sorting", "Ord", [](Q q) { q.col("Order number"); q.col("Freight", stDescending);
             q.query.SetSQLLimitClause(QStringLiteral("3")); },
         "SELECT OrderID, Freight FROM Orders ORDER BY Freight DESC LIMIT 3", true},
        // Brackets of every link type, nested, and disabled rows.
        {"All with an Any bracket", "Cust", [&](Q q) { q.col("Customer"); q.cond("Customer country", "Equal", uk);
             TFilterBracket* any = q.bracket(fltAny);
             q.cond("Customer city", "Equal", "Bath", {}, any); q.cond("Customer city", "Equal", "Leeds", {}, any); },
         "SELECT CompanyName FROM Customers WHERE Country = 'United Kingdom' AND (City = 'Bath' OR City = 'Leeds')"},
        {"NotAll bracket", "Cust", [&](Q q) { q.col("Customer"); TFilterBracket* notAll = q.bracket(fltNotAll);
             q.cond("Customer country", "Equal", uk, {}, notAll);
             q.cond("Customer city", "Equal", "Leeds", {}, notAll); },
         "SELECT CompanyName FROM Customers WHERE CustomerID <> 5"},
        {"Three levels under an Any root", "Ord", [&](Q q) { q.query.Filter()->SetLinkType(fltAny);
             q.col("Order number"); TFilterBracket* all = q.bracket(fltAll);
             q.cond("Order date", "GreaterOrEqual", at(2024, 7, 1), {}, all);
             q.cond("Customer country", "Equal", uk, {}, q.bracket(fltNone, all));
             q.cond("Freight", "GreaterThan", "40"); },
         "SELECT o.OrderID " + oc
             + "WHERE (o.\"Order Date\" >= '2024-07-01' AND c.Country <> 'United Kingdom') OR o.Freight > 40"},
        {"Disabled rows and brackets take no part", "Ord", [&](Q q) { q.col("Order number");
             q.cond("Customer country", "Equal", uk); q.cond("Freight", "GreaterThan", "30")->SetEnabled(false);
             TFilterBracket* off = q.bracket(fltAny); q.cond("Order status", "Equal", "N", {}, off);
             off->SetEnabled(false); q.cond("Supplier", "IsNull")->SetEnabled(false); },
         "SELECT o.OrderID " + oc + "WHERE c.Country = 'United Kingdom'"},
        // A Boolean value list.
        {"Discontinued", "Prod", [](Q q) { q.col("Product"); q.cond("Discontinued", "Equal", "1"); },
         "SELECT ProductName FROM Products WHERE Discontinued = 1"},
    };
    for (const QueryCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Rows expected = fixtures::Select(QString::fromStdString(c.expected));
        EXPECT_FALSE(expected.isEmpty()) << "a case that selects nothing proves little";
        for (TSQLSyntax syntax : {ssSQL2, ssSQL1}) {
            Composer q(*model, syntax, c.main);
            c.compose(q);
            const QString sql = q.sql();
            const Rows want = syntax == ssSQL1 && c.expectedSQL1 ? fixtures::Select(c.expectedSQL1) : expected;
            EXPECT_EQ(fixtures::ShowRows(fixtures::Select(sql, q.binds()), c.ordered),
                      fixtures::ShowRows(want, c.ordered))
                << (syntax == ssSQL2 ? "SQL2" : "SQL1") << " statement:\n" << sql.toStdString();
        }
    }
}

// SQLite's LIKE without ESCAPE: "%" any run, "_" one character, case
// ignored for ASCII letters only.
bool sqliteLike(const QList<uint>& pattern, const QList<uint>& text)
{
    const auto fold = [](uint c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    qsizetype p = 0, t = 0, star = -1, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '%') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && (pattern[p] == '_' || fold(pattern[p]) == fold(text[t]))) {
            ++p, ++t;
        } else if (star >= 0) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

// The sorted first cells of the rows that pass a test.
template <typename Test>
QStringList firstCellsWhere(const Rows& rows, const Test& test)
{
    QStringList kept;
    for (const QStringList& row : rows)
        if (test(row))
            kept.append(row[0]);
    kept.sort();
    return kept;
}

TEST_F(EndToEnd, HostileValuesStayLiteralsInBothSyntaxes)
{
    const Rows customers = fixtures::Select(QStringLiteral("SELECT CompanyName FROM Customers"));
    const Rows orders = fixtures::Select(QStringLiteral("SELECT OrderID, Freight FROM Orders"));
    ASSERT_EQ(customers.size() * 4, orders.size());

    static const QStringList pieces = {
        "'", "''", "\"", "--", "/*", "*/", ";", "(", ")", "[", "]", " OR 1=1", "' OR '1'='1", "\n", "\r\n", "\t",
        QString(QChar(0)), "\u0416\u0438\u0442\u043e", "\u65e5\u672c", "\u00e9", "\u00c9", "\u00df", "%", "_", "\\",
        "@1", "@2", "@f", "@t", "@m", ":Param1", " ", "a", "A", "ar", "AR", "\u00f6", "\U0001F600", ",", "\"\"", "7",
        "DROP TABLE Orders", "\u00a0"};
    static const QStringList numbers = {
        " 12 ", "+7", "-3", "40", "007", "1e1", "2.5e+1", ".5", "5.", "1,5", "1e400", "0x10", "1 OR 1=1", "3;", "--1",
        "\t20\n", "\u0661\u0662", "99999999999999999999", "NaN", "inf", QString(QChar(0)) + "5", "20.4", "1e", "+",
        "-.5e1", "30 --"};
    std::mt19937 rng(20240611u);
    const auto pick = [&](qsizetype n) { return std::uniform_int_distribution<int>(0, int(n) - 1)(rng); };
    // Pieces of SQL and of the stored names, so that some values match.
    const auto hostile = [&] {
        QString out = customers[pick(customers.size())][0];
        switch (pick(4)) {
        case 0: // a stored name with its letter case flipped
            for (QChar& c : out)
                c = c.isUpper() ? c.toLower() : c.toUpper();
            return out;
        case 1: {
            const int from = pick(out.size());
            return out.mid(from, 1 + pick(out.size() - from));
        }
        default:
            out.clear();
            for (int n = 1 + pick(5); n > 0; --n)
                out += pieces[pick(pieces.size())];
            return out;
        }
    };
    const auto numeric = [&] { return pick(3) ? numbers[pick(numbers.size())] : hostile(); };
    // The sorted first column of the built statement; none when the value is refused.
    const auto select = [&](const char* main, const char* field, const char* op, const QString& value,
                            TSQLSyntax syntax) -> std::optional<QStringList> {
        Composer q(*model, syntax, main);
        q.col(main == QLatin1String("Cust") ? "Customer" : "Order number");
        q.cond(field, op, value);
        QString sql;
        try {
            sql = q.sql();
        } catch (const EConvertError&) {
            return std::nullopt;
        }
        return firstCellsWhere(fixtures::Select(sql), [](const QStringList&) { return true; });
    };

    for (int i = 0; i < 300; ++i) {
        const QString text = hostile();
        QStringList items = {text};
        for (int n = pick(3); n > 0; --n)
            items.append(hostile());
        QStringList quoted;
        for (QString item : items)
            quoted.append(u'"' + item.replace(u'"', QStringLiteral("\"\"")) + u'"');
        const QList<uint> pattern = text.toUcs4(), any = {'%'};
        const auto like = [](const QList<uint>& p) {
            return [p](const QStringList& customer) { return sqliteLike(p, customer[0].toUcs4()); };
        };
        const struct {
            const char* op;
            QString value;
            QStringList expected;
        } textChecks[] = {
            {"Equal", text, firstCellsWhere(customers, [&](const QStringList& c) { return c[0] == text; })},
            {"Contains", text, firstCellsWhere(customers, like(any + pattern + any))},
            {"StartsWith", text, firstCellsWhere(customers, like(pattern + any))},
            {"InList", quoted.join(u','),
             firstCellsWhere(customers, [&](const QStringList& c) { return items.contains(c[0]); })},
        };

        // Numbers are read as the library documents: blanks around, the point, no locale.
        const QString integerText = numeric(), decimalText = numeric();
        // Blanks are the characters up to ' ' at either end.
        static const QRegularExpression blanks(QStringLiteral("^[\\x00-\\x20]+|[\\x00-\\x20]+$"));
        const QString integer = QString(integerText).remove(blanks), decimal = QString(decimalText).remove(blanks);
        bool finite = false;
        const double bound = decimal.toDouble(&finite);
        // A #0 anywhere refuses a value, whatever its type.
        const bool isInteger = !integerText.contains(QChar(0))
                               && QRegularExpression("^[+-]?[0-9]+$").match(integer).hasMatch();
        const bool isDecimal = !decimalText.contains(QChar(0)) && finite && std::isfinite(bound)
                               && QRegularExpression("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$")
                                      .match(decimal).hasMatch();
        const QStringList byID = firstCellsWhere(
            orders, [&](const QStringList& o) { return isInteger && o[0].toDouble() == integer.toDouble(); });
        const QStringList byFreight = firstCellsWhere(
            orders, [&](const QStringList& o) { return isDecimal && o[1] != u"NULL" && o[1].toDouble() > bound; });

        for (TSQLSyntax syntax : {ssSQL2, ssSQL1}) {
            const auto trace = [&](QString value) {
                return QStringLiteral("iteration %1, %2, value [%3]")
                    .arg(i)
                    .arg(syntax == ssSQL2 ? "SQL2" : "SQL1", value.replace(QChar(0), QStringLiteral("\\0")))
                    .toStdString();
            };
            for (const auto& check : textChecks) {
                const auto got = select("Cust", "Customer", check.op, check.value, syntax);
                // No SQL literal can hold a NUL: such a text may be refused, any other may not.
                EXPECT_TRUE(got || check.value.contains(QChar(0))) << check.op << " refused " << trace(check.value);
                EXPECT_EQ(got.value_or(check.expected), check.expected) << check.op << ": " << trace(check.value);
            }
            const auto ids = select("Ord", "Order number", "Equal", integerText, syntax);
            EXPECT_EQ(ids.has_value(), isInteger) << trace(integerText);
            EXPECT_EQ(ids.value_or(byID), byID) << trace(integerText);
            const auto freights = select("Ord", "Freight", "GreaterThan", decimalText, syntax);
            EXPECT_EQ(freights.has_value(), isDecimal) << trace(decimalText);
            EXPECT_EQ(freights.value_or(byFreight), byFreight) << trace(decimalText);
            if (HasFailure())
                return;
        }
    }
}

} // namespace
