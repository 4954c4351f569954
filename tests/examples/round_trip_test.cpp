// Random round trips over the sample model: a query is built (statement A),
// A is imported into a fresh query on the same model, and that query is
// built again (statement B). A and B must be the same text and return the
// same rows on the sample database, in both syntaxes, unless the query holds
// one of the shapes the import does not keep (TShape below). Then the rows
// must still be the same where the shape keeps them, and otherwise the
// import and the second build must end normally or with the library's error.

#include "sample_fixtures.h"
#include "datamodel/form_classes.h"
#include "date_time.h"
#include "errors.h"
#include "form_stream.h"
#include "query/query.h"
#include "text_utils.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>

using namespace brindle;

namespace {

const QString kConnection = QStringLiteral("round_trip_test");
using fixtures::Rows;
using Binds = QStringList; // by position


struct Outcome {
    bool ok = false;
    QString error;
    Rows rows;
};

// The parameters of a statement in the order they first appear.
QStringList paramNames(const QString& sql)
{
    static const QRegularExpression param(QStringLiteral(":(Param\\d+)"));
    QStringList names;
    for (auto it = param.globalMatch(sql); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}

// The statement with its parameters numbered in order of appearance (the
// import names parameters afresh) and the lines of its FROM clause sorted:
// the order of the joins follows the order in which the tables are met.
QString renumbered(QString sql)
{
    QStringList lines = sql.split(u'\n');
    const qsizetype from = lines.indexOf(QStringLiteral("FROM "));
    if (from >= 0) {
        qsizetype end = from + 1;
        while (end < lines.size() && lines[end].startsWith(u' '))
            ++end;
        static const QRegularExpression joins(QStringLiteral("\\s+(?=(?:INNER|LEFT OUTER|RIGHT OUTER|FULL OUTER) JOIN)"));
        QStringList items = lines.mid(from + 1, end - from - 1).join(u' ').split(joins, Qt::SkipEmptyParts);
        for (QString& item : items)
            item = item.simplified();
        std::sort(items.begin(), items.end());
        lines.remove(from + 1, end - from - 1);
        lines.insert(from + 1, items.join(u'\n'));
        sql = lines.join(u'\n');
    }
    const QStringList names = paramNames(sql);
    for (int i = names.size() - 1; i >= 0; --i)
        sql.replace(QRegularExpression(u':' + names[i] + QStringLiteral("\\b")), QStringLiteral(":P%1").arg(i + 1));
    return sql;
}

// Runs the statement with the values bound to its parameters in order of
// appearance.
Outcome run(const QString& sql, const Binds& binds)
{
    QSqlQuery query(QSqlDatabase::database(kConnection));
    query.setForwardOnly(true);
    Outcome out;
    out.ok = query.prepare(sql);
    const QStringList names = paramNames(sql);
    for (int i = 0; out.ok && i < names.size(); ++i)
        query.bindValue(u':' + names[i], binds.value(i));
    out.ok = out.ok && query.exec();
    if (!out.ok) {
        out.error = query.lastError().text();
        return out;
    }
    const int columns = query.record().count();
    while (query.next()) {
        QStringList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row.append(fixtures::CellText(query.value(i)));
        out.rows.append(row);
    }
    return out;
}


// Only the sort keys are compared in order: rows with equal keys may come
// in any order.
Rows keysOnly(const Rows& rows, const QList<int>& keys)
{
    Rows out;
    for (const QStringList& row : rows) {
        QStringList key;
        for (int k : keys)
            key.append(row.value(k));
        out.append(key);
    }
    return out;
}

// The values of the statement's parameters in order of appearance.
Binds bindsOf(const TVxQuery& query, const QString& sql)
{
    Binds binds;
    for (const QString& name : paramNames(sql))
        for (int i = 0; i < query.QResult()->GetParamCount(); ++i)
            if (query.QResult()->GetParam(i)->ParamName() == name)
                binds.append(query.QResult()->GetParam(i)->GetFullValue());
    return binds;
}

QString sqlOf(TVxQuery& query)
{
    query.BuildQuery();
    return query.QResult()->GetSQL().Text();
}

// The distinct values of a field in the data, as condition values hold them.
struct FieldValues {
    TDSField* field = nullptr;
    QStringList values;
};

class RoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        fixtures::OpenSampleDatabase(kConnection);
        RegisterCoreFormClasses();
        owner = std::make_unique<QObject>();
        const QList<QObject*> components = LoadFormFromFile(QStringLiteral(BRINDLE_SAMPLE_FORM), owner.get());
        ASSERT_FALSE(components.isEmpty());
        model = qobject_cast<TVxDBStructure*>(components.first());
        ASSERT_NE(model, nullptr);
        // The sample has no sub-query operators: a host adds its own.
        inQuery = model->Operators(
            model->AddOperator(QStringLiteral("InQuery"), QStringLiteral("is in"), QStringLiteral("@f in (@1)"),
                               QString(), BrStringTypes));
        inQuery->SetValueKind(vkSubQuery);
        notInQuery = model->Operators(model->AddOperator(QStringLiteral("NotInQuery"), QStringLiteral("is not in"),
                                                         QStringLiteral("NOT (@f in (@1))"), QString(),
                                                         BrStringTypes));
        notInQuery->SetValueKind(vkSubQuery);

        QSqlQuery raw(QSqlDatabase::database(kConnection));
        for (int i = 0; i < model->FieldCount(); ++i) {
            TDSField* field = model->Fields(i);
            if (field->IsAggregate() || !field->Table() || field->OperatCount() == 0)
                continue;
            if (BrStringTypes.Contains(field->FieldType())) {
                field->AddOperator(inQuery);
                field->AddOperator(notInQuery);
            }
            const QString expr = field->SQLExpr();
            const QString from = field->Table()->MainSQLExpr() + u' ' + field->Table()->TableAlias();
            ASSERT_TRUE(raw.exec(QStringLiteral("SELECT DISTINCT %1 FROM %2 WHERE %1 IS NOT NULL ORDER BY 1")
                                     .arg(expr, from)))
                << raw.lastError().text().toStdString();
            FieldValues known{field, {}};
            while (raw.next())
                known.values.append(valueText(field->FieldType(), raw.value(0).toString()));
            if (!known.values.isEmpty())
                fields.push_back(known);
        }
        salesTotal = model->FieldByName(1, QStringLiteral("Sales total"));
        ASSERT_NE(salesTotal, nullptr);
        ASSERT_TRUE(salesTotal->IsAggregate());
    }
    static void TearDownTestSuite()
    {
        fields.clear();
        owner.reset();
        QSqlDatabase::database(kConnection).close();
        QSqlDatabase::removeDatabase(kConnection);
    }

    // A stored date or moment in the form a condition value holds it.
    static QString valueText(TFieldType type, const QString& stored)
    {
        if (type == ftDate) {
            const QDate date = QDate::fromString(stored, Qt::ISODate);
            return BrDateTimeToStr(EncodeDate(date.year(), date.month(), date.day()));
        }
        if (type == ftDateTime) {
            const QDateTime at = QDateTime::fromString(stored, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            return BrDateTimeToStr(EncodeDate(at.date().year(), at.date().month(), at.date().day())
                                   + EncodeTime(at.time().hour(), at.time().minute(), at.time().second(), 0));
        }
        return stored;
    }

    static std::unique_ptr<QObject> owner;
    static TVxDBStructure* model;
    static TDSOperator* inQuery;
    static TDSOperator* notInQuery;
    static TDSField* salesTotal;
    static std::vector<FieldValues> fields;
};

std::unique_ptr<QObject> RoundTrip::owner;
TVxDBStructure* RoundTrip::model = nullptr;
TDSOperator* RoundTrip::inQuery = nullptr;
TDSOperator* RoundTrip::notInQuery = nullptr;
TDSField* RoundTrip::salesTotal = nullptr;
std::vector<FieldValues> RoundTrip::fields;

// Shapes that do not come back as they were written.
enum TShape {
    // A bracket writing a single row: its brackets vanish, the row joins the
    // bracket above (negated when the bracket was). The rows stay the same.
    shSingleRow = 1,
    // A field whose expression has a blank outside quotes: "@f" stops at the
    // first blank, so the condition finds neither field nor operator.
    shBlankExpression = 2,
    // The joins of ssSQL1 are conditions of the WHERE clause; they come back
    // as conditions on no field of the model.
    shCommaJoins = 4,
    // A pattern operator with a parameter: the parameter's name replaces the
    // pattern, which then no operator template matches.
    shPatternParameter = 8,
    // A list of dates: the list is read as one date value.
    shDateList = 16,
    // HAVING: the parser ends the GROUP BY list only at ORDER BY or the end.
    shHaving = 32,
    // A negated bracket writing a single row: the row comes back negated,
    // "not(...)", which only the rewritten "=" and the negated pattern
    // templates match.
    shNegatedSingleRow = 64,
    // A value holding a single quote in a template that quotes it: its
    // doubled quote closes the value early.
    shQuoteInValue = 128,
    // A value starting with a blank: blanks after a matched template
    // character are skipped.
    shLeadingBlank = 256,
    // The sample model reaches the managers (alias Mgr) by two links: from
    // an order's employee and from a customer's account manager. Which one
    // joins depends on the tables met before, and the import meets them in
    // another order.
    shTwoPaths = 512,
};

// Makes one random query; every choice comes from the generator, and the
// shapes it writes are noted.
class Generator {
public:
    Generator(unsigned seed, TVxDBStructure& model, const std::vector<FieldValues>& fields, TDSOperator* inQuery,
              TDSOperator* notInQuery, TDSField* salesTotal)
        : rng(seed), model(model), fields(fields), inQuery(inQuery), notInQuery(notInQuery), salesTotal(salesTotal)
    {
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool chance(int percent) { return pick(100) < percent; }
    // Fields whose expressions have blanks come rarely, so that most queries
    // are checked to the letter.
    // In ssSQL1 most queries keep to the main table, since the joins of
    // several tables do not come back.
    const FieldValues& anyField()
    {
        for (;;) {
            const FieldValues& f = fields[pick(int(fields.size()))];
            if (hasOuterBlank(f.field->SQLExpr()) && !chance(10))
                continue;
            if (onlyTable && f.field->Table() != onlyTable)
                continue;
            return f;
        }
    }
    static bool hasOuterBlank(const QString& expr)
    {
        bool quoted = false;
        for (QChar c : expr) {
            if (c == u'"' || c == u'\'')
                quoted = !quoted;
            else if (c == u' ' && !quoted)
                return true;
        }
        return false;
    }
    // Values with quotes come rarely too.
    QString anyValue(const FieldValues& f)
    {
        for (;;) {
            QString value = f.values[pick(int(f.values.size()))];
            if (!value.contains(u'\'') || chance(10))
                return value;
        }
    }

    void setUp(TVxQuery& query, TSQLSyntax syntax)
    {
        query.SetDbStruct(&model);
        query.SetActive(true);
        query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
        query.SetSQLSyntax(syntax);
    }

    // The whole query: options, main table, columns, conditions.
    void compose(TVxQuery& query, TSQLSyntax syntax)
    {
        setUp(query, syntax);
        query.SetSQLOptions(chance(50) ? TSQLOptions{soASCIIRFields} : TSQLOptions{soASCIIRFields, soSelectDistinct});
        const FieldValues& mainField = anyField();
        query.SetMainTableName(mainField.field->Table()->TableAlias());
        if (syntax == ssSQL1 && chance(70))
            onlyTable = mainField.field->Table();
        TRFieldList& columns = query.QResult()->ResultFields();
        const int count = 1 + pick(3);
        int sortOrder = 0;
        for (int i = 0; i < count; ++i) {
            TDSField* field = i == 0 ? mainField.field : anyField().field;
            TResultField* column = columns.GetRField(columns.Add(QStringLiteral("@1"), {field}, field->DisplayName()));
            if (chance(30)) {
                column->SetSorting(chance(50) ? stAscending : stDescending);
                column->SetSortOrder(++sortOrder);
            }
        }
        const bool grouped = chance(15);
        if (grouped) {
            TResultField* total = columns.GetRField(
                columns.Add(QStringLiteral("@1"), {salesTotal}, salesTotal->DisplayName()));
            if (chance(30)) {
                total->SetSorting(stDescending);
                total->SetSortOrder(++sortOrder);
            }
        }
        query.Filter()->SetLinkType(TFilterLinkType(pick(4)));
        fillBracket(query, query.Filter(), 0, syntax);
        if (grouped && chance(70)) {
            shapes |= shHaving;
            // Aggregate conditions go to HAVING.
            for (int n = 1 + pick(2); n > 0; --n) {
                static const char* const ops[] = {"GreaterThan", "LessThan", "Between", "GreaterOrEqual"};
                auto* cond = static_cast<TSimpleCond*>(query.AddCondition(query.Filter(), salesTotal));
                const char* name = ops[pick(4)];
                cond->SetOperator(model.OperatorByName(QString::fromLatin1(name)));
                const int low = 50 * pick(20);
                setValue(cond, 1, QString::number(low));
                setValue(cond, 2, QString::number(low + 100 * (1 + pick(10))));
            }
        }
    }

    void fillBracket(TVxQuery& query, TFilterBracket* bracket, int depth, TSQLSyntax syntax)
    {
        // Inner brackets mostly hold several rows: one row loses its bracket.
        for (int n = depth == 0 ? 1 + pick(4) : chance(15) ? 1 : 2 + pick(2); n > 0; --n) {
            TFilterRow* row = nullptr;
            if (depth < 3 && chance(25)) {
                TFilterBracket* inner = query.AddBracket(bracket);
                inner->SetLinkType(TFilterLinkType(pick(4)));
                fillBracket(query, inner, depth + 1, syntax);
                row = inner;
            } else {
                row = addCondition(query, bracket, syntax);
            }
            if (chance(10))
                row->SetEnabled(false);
        }
    }

    void setValue(TSimpleCond* cond, int index, const QString& value)
    {
        if (index > cond->GetValueCount())
            return;
        if (value.contains(u'\'') && cond->Operator()->SQLExpr().contains(QLatin1String("'@")))
            shapes |= shQuoteInValue;
        if (value.startsWith(u' '))
            shapes |= shLeadingBlank;
        if (params && cond->GetValueKind(index) == vkScalar && chance(20)) {
            if (cond->Operator()->SQLExpr().contains(QLatin1String("like"), Qt::CaseInsensitive))
                shapes |= shPatternParameter;
            cond->SetValueIsParam(index, true);
            cond->GetParam(index)->SetValue(value);
        } else {
            cond->SetValue(index, value);
        }
    }

    TSimpleCond* addCondition(TVxQuery& query, TFilterBracket* bracket, TSQLSyntax syntax)
    {
        const FieldValues& f = anyField();
        auto* cond = static_cast<TSimpleCond*>(query.AddCondition(bracket, f.field));
        TDSOperator* op = f.field->Operators(pick(f.field->OperatCount()));
        cond->SetOperator(op);
        if (hasOuterBlank(f.field->SQLExpr()))
            shapes |= shBlankExpression;
        if (op->ValueKind() == vkList && BrDateTimeTypes.Contains(f.field->FieldType()))
            shapes |= shDateList;
        if (op->ValueKind() == vkSubQuery) {
            cond->SetValue(1, subQuery(f, syntax));
            return cond;
        }
        if (op->ValueKind() == vkList) {
            QStringList items;
            for (int n = 1 + pick(4); n > 0; --n) {
                QString item = anyValue(f);
                items.append(u'"' + item.replace(u'"', QStringLiteral("\"\"")) + u'"');
            }
            cond->SetValue(1, items.join(u','));
            return cond;
        }
        QString v1 = anyValue(f);
        QString v2 = anyValue(f);
        if (op->Name().endsWith(QLatin1String("Between")) && v2 < v1)
            std::swap(v1, v2);
        if (op->Name().contains(QLatin1String("Contains")) || op->Name().contains(QLatin1String("StartsWith"))) {
            // A piece of a stored text, so that some rows match.
            const int from = op->Name().contains(QLatin1String("StartsWith")) ? 0 : pick(int(v1.size()));
            v1 = v1.mid(from, 1 + pick(3));
        }
        setValue(cond, 1, v1);
        setValue(cond, 2, v2);
        return cond;
    }

    // The SQL of a one-column query over the same field, as a sub-query
    // value holds it.
    QString subQuery(const FieldValues& f, TSQLSyntax syntax)
    {
        TVxQuery inner;
        setUp(inner, syntax);
        inner.SetSQLOptions({soASCIIRFields, soSelectDistinct});
        inner.SetMainTableName(f.field->Table()->TableAlias());
        TRFieldList& columns = inner.QResult()->ResultFields();
        columns.Add(QStringLiteral("@1"), {f.field}, f.field->DisplayName());
        inner.Filter()->SetLinkType(fltAll);
        const bool wereParams = params;
        params = false;
        for (int n = 1 + pick(2); n > 0; --n) {
            const FieldValues& g = anyField();
            auto* cond = static_cast<TSimpleCond*>(inner.AddCondition(inner.Filter(), g.field));
            static const char* const ops[] = {"Equal", "NotEqual", "LessThan", "GreaterOrEqual"};
            cond->SetOperator(model.OperatorByName(QString::fromLatin1(ops[pick(4)])));
            cond->SetValue(1, anyValue(g));
        }
        params = wereParams;
        return ReplaceStr(sqlOf(inner).trimmed(), QStringLiteral("\r\n"), QStringLiteral("  "))
            .replace(u'\n', QStringLiteral("  "));
    }

    std::mt19937 rng;
    TVxDBStructure& model;
    const std::vector<FieldValues>& fields;
    TDSOperator* inQuery;
    TDSOperator* notInQuery;
    TDSField* salesTotal;
    bool params = true;
    int shapes = 0;
    const TDSTable* onlyTable = nullptr;
};

// Whether a row writes anything into the WHERE clause.
bool writes(const TFilterRow* row)
{
    if (!row->GetEnabled())
        return false;
    if (!row->IsBracket())
        return !row->GetIsHavingRow();
    const auto* bracket = static_cast<const TFilterBracket*>(row);
    for (int i = 0; i < bracket->GetRowCount(); ++i)
        if (writes(bracket->GetRow(i)))
            return true;
    return false;
}

// The single-row shapes of a bracket and the brackets below it.
int singleRowShapes(const TFilterBracket* bracket)
{
    int shapes = 0;
    int written = 0;
    for (int i = 0; i < bracket->GetRowCount(); ++i) {
        const TFilterRow* row = bracket->GetRow(i);
        if (!writes(row))
            continue;
        ++written;
        if (row->IsBracket())
            shapes |= singleRowShapes(static_cast<const TFilterBracket*>(row));
    }
    if (written == 1) {
        const bool negated = bracket->LinkType() == fltNotAll || bracket->LinkType() == fltNone;
        shapes |= negated ? shNegatedSingleRow : shSingleRow;
    }
    return shapes;
}

std::string describe(const TFilterRow* row)
{
    if (!row->IsBracket())
        return std::string(row->GetEnabled() ? "c" : "x") + (row->GetIsHavingRow() ? "h" : "");
    const auto* b = static_cast<const TFilterBracket*>(row);
    std::string out = (row->GetEnabled() ? "[" : "x[") + std::to_string(int(b->LinkType())) + ":";
    for (int i = 0; i < b->GetRowCount(); ++i)
        out += describe(b->GetRow(i)) + " ";
    return out + "]";
}

// Whether the FROM clause lists more than one table.
bool commaJoined(const QString& sql)
{
    const qsizetype from = sql.indexOf(QLatin1String("\nFROM"));
    qsizetype end = sql.indexOf(QLatin1String("\nWHERE"), from);
    if (end < 0)
        end = sql.size();
    return from >= 0 && sql.mid(from, end - from).contains(u',');
}

// The 1-based columns of the ORDER BY, in its order.
QList<int> sortKeys(const TVxQuery& query)
{
    const TRFieldList& columns = query.QResult()->ResultFields();
    QList<std::pair<int, int>> sorted;
    for (int i = 0; i < columns.Count(); ++i)
        if (columns.GetRField(i)->Sorting() != stNoSort)
            sorted.append({columns.GetRField(i)->SortOrder(), i});
    std::sort(sorted.begin(), sorted.end());
    QList<int> keys;
    for (const auto& [order, index] : sorted)
        keys.append(index);
    return keys;
}

TEST_F(RoundTrip, RandomQueriesReadBackToTheSameRows)
{
    constexpr unsigned kFirstSeed = 1000;
    // Seeds run until this many statements of each syntax have been checked
    // to the letter.
    constexpr int kQueries = 500;
    constexpr unsigned kMaxSeeds = 3000;
    const auto failedParts = [] {
        const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
        int failed = 0;
        for (int i = 0; i < result->total_part_count(); ++i)
            failed += result->GetTestPartResult(i).failed() ? 1 : 0;
        return failed;
    };
    int failures = 0;
    int kept = 0;
    int rowsKept = 0;
    int other = 0;
    int keptBySyntax[2] = {0, 0};
    for (unsigned seed = kFirstSeed;
         seed < kFirstSeed + kMaxSeeds && failures < 20 && std::min(keptBySyntax[0], keptBySyntax[1]) < kQueries;
         ++seed) {
        for (TSQLSyntax syntax : {ssSQL2, ssSQL1}) {
            const std::string where = "seed " + std::to_string(seed) + (syntax == ssSQL2 ? ", SQL2" : ", SQL1");
            SCOPED_TRACE(where);
            const int failedBefore = failedParts();
            Generator gen(seed, *model, fields, inQuery, notInQuery, salesTotal);
            TVxQuery a;
            gen.compose(a, syntax);
            QString sqlA;
            try {
                sqlA = sqlOf(a);
            } catch (const Exception& e) {
                ADD_FAILURE() << "A does not build: " << e.Message().toStdString();
                ++failures;
                continue;
            }
            int shapes = gen.shapes;
            // The root is written whatever its own state.
            shapes |= singleRowShapes(a.Filter());
            if (syntax == ssSQL1 && commaJoined(sqlA))
                shapes |= shCommaJoins;
            if (sqlA.contains(QLatin1String(" Mgr ")))
                shapes |= shTwoPaths;
            SCOPED_TRACE("shapes " + std::to_string(shapes) + " " + describe(a.Filter()));
            const bool exact = shapes == 0;
            const bool sameRows = (shapes & ~shSingleRow) == 0;
            ++(exact ? kept : sameRows ? rowsKept : other);
            if (exact)
                ++keptBySyntax[syntax == ssSQL2 ? 0 : 1];

            TVxQuery b;
            gen.setUp(b, syntax);
            b.SetSQLOptions(a.SQLOptions());
            QString sqlB;
            try {
                b.ParseSQL(a.QResult()->GetSQL());
                b.SetMainTableName(a.MainTableName());
                sqlB = sqlOf(b);
            } catch (const Exception& e) {
                if (sameRows) {
                    ADD_FAILURE() << "round trip fails: " << e.Message().toStdString() << "\nA:\n"
                                  << sqlA.toStdString();
                    ++failures;
                }
                continue;
            }
            if (!sameRows)
                continue;
            const Binds binds = bindsOf(a, sqlA);
            const Outcome rowsA = run(sqlA, binds);
            EXPECT_TRUE(rowsA.ok) << rowsA.error.toStdString() << "\nA:\n" << sqlA.toStdString();
            const Outcome rowsB = run(sqlB, binds);
            EXPECT_TRUE(rowsB.ok) << rowsB.error.toStdString() << "\nB:\n" << sqlB.toStdString();
            if (exact)
                EXPECT_EQ(renumbered(sqlB).toStdString(), renumbered(sqlA).toStdString());
            const QList<int> keys = sortKeys(a);
            EXPECT_EQ(fixtures::ShowRows(rowsB.rows, false), fixtures::ShowRows(rowsA.rows, false)) << "A:\n" << sqlA.toStdString() << "\nB:\n"
                                                                        << sqlB.toStdString();
            if (!keys.isEmpty())
                EXPECT_EQ(fixtures::ShowRows(keysOnly(rowsB.rows, keys), true), fixtures::ShowRows(keysOnly(rowsA.rows, keys), true));
            if (failedParts() > failedBefore)
                ++failures;
        }
    }
    // Most statements must be checked to the letter.
    EXPECT_GE(std::min(keptBySyntax[0], keptBySyntax[1]), kQueries)
        << kept << " kept, " << rowsKept << " with the same rows, " << other << " other";
    std::printf("round trips: %d kept, %d with the same rows, %d other\n", kept, rowsKept, other);
}

} // namespace

