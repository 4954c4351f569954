// Statements in the server syntaxes read back over the sample model: every
// example query and one of hostile values comes back as the query SQL-92's
// statement gives, and is written again to the letter where SQL-92's is.
// SQLite's statements also run on the sample database.

#include "examples/sample_fixtures.h"
#include <brindle/foundations/date_time.h>
#include <brindle/query/query.h>

#include <QDir>

#include <gtest/gtest.h>

using namespace brindle;
using fixtures::Rows;

namespace {

class ServerSyntaxRoundTrip : public fixtures::SampleModelSuite {
protected:
    // The query's statement in the syntax, read back into a new query, and
    // that query's text and statement.
    struct Trip {
        QString written, rewritten, queryText;
    };
    static Trip roundTrip(TVxQuery& query, TSQLSyntax syntax)
    {
        Trip trip;
        query.SetSQLSyntax(syntax);
        query.BuildQuery();
        trip.written = query.QResult()->GetSQL().Text();
        TVxQuery back;
        back.SetDbStruct(model);
        back.SetActive(true);
        back.SetSQLSyntax(syntax);
        back.SetSQLOptions(query.SQLOptions());
        back.ParseSQL(query.QResult()->GetSQL());
        back.SetMainTableName(query.MainTableName());
        back.BuildQuery();
        trip.rewritten = back.QResult()->GetSQL().Text();
        TStringList text;
        back.SetSaveTitles(false);
        back.SaveToStrings(text);
        trip.queryText = text.Text();
        return trip;
    }
    // With likeStandard, the query comes back as from SQL-92's statement and
    // SQLite's statement returns the rows SQL-92's does; SQLite runs it in
    // any case unless it has parameters.
    static void checkAllSyntaxes(TVxQuery& query, const std::string& name, int& exact, bool likeStandard = true)
    {
        const Trip standard = roundTrip(query, ssSQL2);
        for (TSQLSyntax syntax : {ssPostgreSQL, ssSQLite, ssMySQL, ssMSSQL}) {
            SCOPED_TRACE(name + " in " + SQLSyntaxToStr(syntax).toStdString());
            Trip trip;
            ASSERT_NO_THROW(trip = roundTrip(query, syntax));
            if (likeStandard)
                EXPECT_EQ(trip.queryText.toStdString(), standard.queryText.toStdString()) << trip.written.toStdString();
            if (standard.rewritten == standard.written) {
                EXPECT_EQ(trip.rewritten.toStdString(), trip.written.toStdString());
                exact += trip.rewritten == trip.written;
            }
            if (syntax == ssSQLite && query.QResult()->GetParamCount() == 0) {
                const Rows rows = fixtures::Select(trip.written);
                if (likeStandard)
                    EXPECT_EQ(fixtures::ShowRows(rows, false),
                              fixtures::ShowRows(fixtures::Select(standard.written), false));
            }
        }
    }
};

TEST_F(ServerSyntaxRoundTrip, ExampleQueriesAndHostileValues)
{
    int exact = 0;
    const QDir folder(QStringLiteral(BRINDLE_EXAMPLE_QUERIES));
    for (const QString& name : folder.entryList({QStringLiteral("*.qry")}, QDir::Files, QDir::Name)) {
        TVxQuery query;
        query.SetDbStruct(model);
        query.LoadFromFile(folder.filePath(name));
        query.SetActive(true);
        checkAllSyntaxes(query, name.toStdString(), exact);
    }
    EXPECT_GE(exact, 4 * 3) << "most examples come back to the letter";

    // Values with pattern characters, backslashes, back-quotes, brackets,
    // quotes, a blank, a reserved word, a non-ASCII letter and a long run.
    TVxQuery query;
    query.SetDbStruct(model);
    query.SetActive(true);
    query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    const auto field = [](const char* caption) { return model->FieldByName(flByDisplayName, caption); };
    const auto add = [&](const char* caption, const char* op, const QString& value) {
        auto* cond = static_cast<TSimpleCond*>(query.AddCondition(query.Filter(), field(caption)));
        cond->SetOperator(model->OperatorByName(op));
        cond->SetValue(1, value);
    };
    add("Customer", "Contains", "50%_off\\[x]! `");
    add("Customer", "StartsWith", "O\\Brien\\");
    add("Customer city", "Equal", "Zürich select");
    add("Customer contact", "NotEqual", "O'Brien \"Bob\"");
    add("Customer country", "NotContains", QString(3000, u'%') + "_");
    add("Order date", "Equal", BrDateTimeToStr(EncodeDate(2024, 2, 29)));
    TRFieldList& fields = query.QResult()->ResultFields();
    fields.Add("@1", {field("Customer country")}, "Customer country");
    fields.Add("LIST(@1)", {field("Customer")}, "Customer");
    fields.GetRField(fields.Add("@1", {field("Order date")}, "Order date"))->SetSorting(stDescending);
    query.SetSQLLimitClause(QStringLiteral("10 OFFSET 20"));
    // SQL-92's LIST is no SQLite function, and SQL-92's import cannot tell
    // a value's "%" from a wildcard: the server syntaxes only answer to
    // themselves here.
    checkAllSyntaxes(query, "hostile values", exact, false);
    for (TSQLSyntax syntax : {ssPostgreSQL, ssSQLite, ssMySQL, ssMSSQL}) {
        const Trip trip = roundTrip(query, syntax);
        EXPECT_EQ(trip.rewritten.mid(trip.rewritten.indexOf("\nWHERE")).toStdString(),
                  trip.written.mid(trip.written.indexOf("\nWHERE")).toStdString());
        EXPECT_TRUE(trip.queryText.contains("Formula=LIST(@1)", Qt::CaseInsensitive)) << trip.queryText.toStdString();
    }
    // A top alone comes back as SQL Server's TOP.
    query.SetSQLLimitClause(QString());
    query.SetSQLTopClause(QStringLiteral("7"));
    const Trip top = roundTrip(query, ssMSSQL);
    EXPECT_TRUE(top.written.startsWith("SELECT DISTINCT  TOP 7 ") && top.rewritten == top.written)
        << top.rewritten.toStdString();
}

} // namespace
