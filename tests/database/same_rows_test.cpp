// Random queries over the sample model, built in each server's own syntax
// and run on every server the tests start: each must return the rows SQLite
// returns for the same query in its syntax. A query uses every operator the sample's
// fields offer, brackets of every link type, parameters, aggregates,
// sorting and a row limit; its values come from the data, so that most
// conditions select something.
//
// Cells are compared as compared_rows.h writes them, and numbers to a
// relative 1e-4: an average is a double on one server and has four decimals
// more than its values on another. Rows compare as
// multisets; under ORDER BY the sort keys must come in the same sequence,
// except for keys holding NULL, which servers place at opposite ends, and
// under a row limit only the count and the keys are compared, since ties
// may fall either way.

#include "database/compared_rows.h"
#include "database/databases.h"

#include <brindle/datamodel/form_classes.h>
#include <brindle/foundations/date_time.h>
#include <brindle/query/bound_statement.h>
#include <brindle/query/query.h>
#include <brindle/query/query_runner.h>


#include <algorithm>
#include <cmath>
#include <map>
#include <random>

using namespace brindle;
using namespace brindle::testing;

namespace {

bool sameCell(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    bool aNumber = false, bNumber = false;
    const double x = a.toDouble(&aNumber);
    const double y = b.toDouble(&bNumber);
    return aNumber && bNumber && std::abs(x - y) <= 1e-4 * std::max({1.0, std::abs(x), std::abs(y)});
}

bool sameRows(Rows a, Rows b, bool sorted)
{
    if (a.size() != b.size())
        return false;
    if (!sorted) {
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size())
            return false;
        for (qsizetype j = 0; j < a[i].size(); ++j)
            if (!sameCell(a[i][j], b[i][j]))
                return false;
    }
    return true;
}

QString show(const Rows& rows)
{
    QString text;
    for (const QStringList& row : rows.mid(0, 20))
        text += row.join(u'|') + u'\n';
    if (rows.size() > 20)
        text += QStringLiteral("... %1 rows\n").arg(rows.size());
    return text;
}

struct Server {
    const char* name;
    Backend backend;
    TSQLSyntax syntax;
};

class AllServers : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterCoreFormClasses();
        const QList<QObject*> components = LoadFormFromFile(QStringLiteral(BRINDLE_SAMPLE_FORM), &owner);
        ASSERT_FALSE(components.isEmpty());
        model = qobject_cast<TVxDBStructure*>(components.first());
        ASSERT_NE(model, nullptr);
        for (const Server& server : servers) {
            infos.push_back(std::make_unique<TVxSqlDBInfo>());
            UseSample(*infos.back(), server.backend);
        }
        for (int i = 0; i < model->FieldCount(); ++i) {
            TDSField* field = model->Fields(i);
            if (field->UseInConditions() && field->OperatCount() > 0)
                conditionFields.push_back(field);
            if (field->UseInResult())
                resultFields.push_back(field);
        }
        ASSERT_FALSE(conditionFields.empty());
    }

    // The distinct values of the field in the sample, as condition values.
    const QStringList& valuesOf(TDSField* field)
    {
        auto known = values.find(field);
        if (known != values.end())
            return known->second;
        TVxQuery query;
        query.SetDbStruct(model);
        query.SetActive(true);
        query.SetSQLOptions({soSelectDistinct});
        query.QResult()->ResultFields().Add(QStringLiteral("@1"), {field}, QStringLiteral("v"));
        query.BuildQuery();
        QStringList found;
        for (const QStringList& row : run(*infos.front(), BindStatement(query))) {
            const QString& v = row.value(0);
            if (v != QStringLiteral("NULL") && !v.isEmpty())
                found.append(v);
        }
        return values[field] = found;
    }

    // The rows as the library's runner gives them, which binds each value
    // as the server compares it.
    Rows run(TVxSqlDBInfo& info, const BoundStatement& statement)
    {
        QueryRunner runner;
        runner.SetConnectionName(info.Database().connectionName());
        Rows rows;
        try {
            runner.Run(statement, 1000, [](const QStringList&) {}, [&](const QList<QVariantList>& batch) {
                for (const QVariantList& values : batch) {
                    QStringList row;
                    for (const QVariant& value : values)
                        row.append(ComparedCell(value));
                    rows.append(row);
                }
            });
        } catch (const Exception& e) {
            ADD_FAILURE() << e.Message().toStdString() << "\n" << statement.SQL.toStdString();
        }
        return rows;
    }

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    bool chance(int oneIn) { return pick(oneIn) == 0; }

    // A value of the field as a condition holds it: dates as the day
    // numbers the editors store, the rest as the database gave it.
    QString valueText(TDSField* field, const QString& v)
    {
        switch (field->FieldType()) {
        case ftDate:
        case ftDateTime:
        case ftTimeStamp: {
            const QDateTime at = QDateTime::fromString(v.left(19), Qt::ISODate);
            const QDate day = at.isValid() ? at.date() : QDate::fromString(v.left(10), Qt::ISODate);
            TDateTime value = EncodeDate(day.year(), day.month(), day.day());
            if (at.isValid())
                value += EncodeTime(at.time().hour(), at.time().minute(), at.time().second(), 0);
            return BrDateTimeToStr(value);
        }
        default:
            return v;
        }
    }

    static bool isReal(TDSField* field)
    {
        return field->FieldType() == ftFloat || field->FieldType() == ftCurrency || field->FieldType() == ftBCD
               || field->IsAggregate();
    }

    // A bound between the data's values, so that no row sits on it: reals
    // summed in different orders differ in their last bits.
    QString between(const QStringList& pool)
    {
        QList<double> numbers;
        for (const QString& v : pool)
            numbers.append(v.toDouble());
        std::sort(numbers.begin(), numbers.end());
        const qsizetype i = pick(static_cast<int>(numbers.size()));
        const double next = i + 1 < numbers.size() ? numbers[i + 1] : numbers[i] + 1;
        return QString::number((numbers[i] + next) / 2, 'f', 6);
    }

    // Gives the condition an operator of its field and values from the data.
    void fill(TSimpleCond* cond)
    {
        TDSField* field = cond->Field();
        const QStringList& pool = valuesOf(field);
        QList<TDSOperator*> usable;
        for (int i = 0; i < field->OperatCount(); ++i) {
            TDSOperator* op = field->Operators(i);
            // Reals compare only against bounds between the data's values.
            const bool list = op->Name().contains(QStringLiteral("List"));
            const bool exact = list || (op->Name().contains(QStringLiteral("Equal")) && !op->Name().contains(QStringLiteral("OrEqual")));
            const bool dated = field->FieldType() == ftDate || field->FieldType() == ftDateTime
                               || field->FieldType() == ftTimeStamp;
            if (!(isReal(field) && exact) && !(dated && list))
                usable.append(op);
        }
        if (usable.isEmpty() || pool.isEmpty())
            return;
        TDSOperator* op = usable[pick(static_cast<int>(usable.size()))];
        cond->SetOperator(op);
        const bool params = chance(3);
        const QString name = op->Name();
        const auto some = [&] {
            if (isReal(field))
                return between(pool);
            QString v = pool[pick(static_cast<int>(pool.size()))];
            const bool contains = name.contains(QStringLiteral("Contains"));
            if (!contains && !name.contains(QStringLiteral("StartsWith")))
                return valueText(field, v);
            // SQLite's LIKE ignores the case of ASCII letters, the servers'
            // do not: a pattern is taken only where that selects the same.
            const auto asciiLower = [](QString text) {
                for (QChar& c : text)
                    if (c.unicode() < 0x80)
                        c = c.toLower();
                return text;
            };
            for (int attempt = 0; attempt < 50; ++attempt, v = pool[pick(static_cast<int>(pool.size()))]) {
                const QString pattern = v.mid(contains ? pick(std::max<int>(1, v.size() - 1)) : 0, 1 + pick(4));
                const bool agree = std::all_of(pool.begin(), pool.end(), [&](const QString& other) {
                    return (contains ? other.contains(pattern) : other.startsWith(pattern))
                           == (contains ? asciiLower(other).contains(asciiLower(pattern))
                                        : asciiLower(other).startsWith(asciiLower(pattern)));
                });
                if (agree)
                    return pattern;
            }
            return v;
        };
        QStringList chosen;
        if (name.contains(QStringLiteral("List"))) {
            // Text items in double quotes, doubling the quotes they hold.
            const bool text = field->FieldType() == ftString || field->FieldType() == ftWideString;
            QStringList items;
            for (int n = 1 + pick(3); n > 0; --n) {
                QString item = pool[pick(static_cast<int>(pool.size()))];
                items.append(text ? u'"' + item.replace(u'"', QStringLiteral("\"\"")) + u'"' : item);
            }
            chosen = {items.join(u','), QString()};
        } else {
            chosen = {some(), some()};
            if (name.contains(QStringLiteral("Between")) && isReal(field)
                && chosen[0].toDouble() > chosen[1].toDouble())
                std::swap(chosen[0], chosen[1]);
        }
        for (int index = 1; index <= cond->GetValueCount(); ++index) {
            // A list is one text, never a parameter.
            const bool param = params && !name.contains(QStringLiteral("List"));
            cond->SetValueIsParam(index, param);
            if (param)
                cond->GetParam(index)->SetValue(chosen[index - 1]);
            else
                cond->SetValue(index, chosen[index - 1]);
        }
    }

    void addConditions(TVxQuery& query, TFilterBracket* bracket, int depth)
    {
        static constexpr TFilterLinkType links[] = {fltAll, fltAny, fltNone, fltNotAll};
        bracket->SetLinkType(links[pick(4)]);
        for (int n = 1 + pick(depth == 0 ? 4 : 3); n > 0; --n) {
            if (depth < 2 && chance(5)) {
                addConditions(query, query.AddBracket(bracket), depth + 1);
                continue;
            }
            TDSField* field = conditionFields[static_cast<std::size_t>(pick(static_cast<int>(conditionFields.size())))];
            fill(static_cast<TSimpleCond*>(query.AddCondition(bracket, field)));
            havingRows |= field->IsAggregate();
        }
    }

    // A random query, as its text.
    TStringList compose(bool& sorted, bool& limited)
    {
        TVxQuery query;
        query.SetDbStruct(model);
        query.SetActive(true);
        query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
        query.SetSQLOptions(chance(2) ? TSQLOptions{soSelectDistinct} : TSQLOptions{});
        TRFieldList& fields = query.QResult()->ResultFields();
        sorted = false;
        havingRows = false;
        addConditions(query, query.Filter(), 0);
        bool aggregated = false;
        for (int n = 1 + pick(3); n > 0 || (havingRows && !aggregated); --n) {
            TDSField* field = resultFields[static_cast<std::size_t>(pick(static_cast<int>(resultFields.size())))];
            static const char* const aggregates[] = {"count(@1)", "min(@1)", "max(@1)", "sum(@1)", "avg(@1)"};
            const bool numeric = isReal(field) || field->FieldType() == ftInteger || field->FieldType() == ftSmallint;
            // Servers have no minimum of Booleans.
            const int kinds = numeric ? 5 : field->FieldType() == ftBoolean ? 1 : 3;
            const QString formula = !field->IsAggregate() && chance(4) ? QString::fromLatin1(aggregates[pick(kinds)])
                                                                       : QStringLiteral("@1");
            TResultField* added = fields.GetRField(fields.Add(formula, {field}, field->DisplayName()));
            // HAVING needs the grouping that only an aggregate column gives.
            aggregated |= added->GetAgregate();
            if (chance(3)) {
                added->SetSorting(chance(2) ? stAscending : stDescending);
                added->SetSortOrder(1 + pick(3));
                sorted = true;
            }
        }
        limited = sorted && chance(4);
        if (limited)
            query.SetSQLLimitClause(QString::number(1 + pick(10)));
        TStringList text;
        query.SaveToStrings(text);
        return text;
    }

    const std::vector<Server> servers = {
        {"SQLite", Backend::SQLite, ssSQLite},
        {"PostgreSQL", Backend::Postgres, ssPostgreSQL},
        {"MariaDB", Backend::MariaDB, ssMySQL},
    };
    std::vector<std::unique_ptr<TVxSqlDBInfo>> infos;
    QObject owner;
    TVxDBStructure* model = nullptr;
    std::vector<TDSField*> conditionFields;
    std::vector<TDSField*> resultFields;
    std::map<TDSField*, QStringList> values;
    std::mt19937 random{20261207};
    bool havingRows = false;
};

TEST_F(AllServers, RandomQueriesGiveTheSameRows)
{
    const int count = qEnvironmentVariableIntValue("BRINDLE_ALL_SERVERS_QUERIES") > 0
                          ? qEnvironmentVariableIntValue("BRINDLE_ALL_SERVERS_QUERIES")
                          : 150;
    int selecting = 0;
    for (int n = 0; n < count && !HasFailure(); ++n) {
        bool sorted = false, limited = false;
        const TStringList text = compose(sorted, limited);
        Rows expected;
        QString expectedSQL;
        for (std::size_t s = 0; s < servers.size(); ++s) {
            TVxQuery query;
            query.SetDbStruct(model);
            query.LoadFromStrings(text);
            query.SetActive(true);
            query.SetSQLSyntax(servers[s].syntax);
            query.BuildQuery();
            const BoundStatement statement = BindStatement(query);
            const Rows rows = run(*infos[s], statement);
            if (s == 0) {
                expected = rows;
                expectedSQL = statement.SQL;
                selecting += rows.isEmpty() ? 0 : 1;
                continue;
            }
            const QList<int> columns = SortColumns(statement.SQL);
            const Rows got = SortKeys(rows, columns);
            const Rows want = SortKeys(expected, columns);
            // Where NULL keys sort differently, a limit keeps other rows.
            const bool nullKeys = got.size() < rows.size() || want.size() < expected.size();
            const bool same = limited ? rows.size() == expected.size() && (nullKeys || sameRows(got, want, true))
                                      : sameRows(rows, expected, false) && (!sorted || sameRows(got, want, true));
            EXPECT_TRUE(same) << "query " << n << " on " << servers[s].name << ":\n"
                              << statement.SQL.toStdString() << "\n" << show(rows).toStdString()
                              << "SQLite:\n" << expectedSQL.toStdString() << "\n" << show(expected).toStdString()
                              << "query text:\n" << text.Text().toStdString();
        }
    }
    // Queries that select nothing prove little: most must select rows.
    if (!HasFailure())
        EXPECT_GT(selecting, count / 3);
}

} // namespace
