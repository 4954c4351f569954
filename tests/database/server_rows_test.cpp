// The example queries built in every syntax the servers read, run on the
// PostgreSQL and MariaDB copies of the sample and compared with the SQLite
// rows. MariaDB reads the double-quoted names and || as SQL-92 means them
// only because the test server runs with ANSI_QUOTES and PIPES_AS_CONCAT.
//
// Cells are compared as text: dates and moments in ISO form (SQLite keeps
// them as text, the servers as dates), reals to six decimals (sums over the
// same rows may differ in their last bits), Booleans as 1 and 0. Rows are
// compared as multisets; where the statement sorts, the sequence of sort
// keys must agree too, except for rows whose key holds NULL, which
// PostgreSQL places at the other end.

#include "database/databases.h"

#include <brindle/datamodel/form_classes.h>
#include <brindle/query/query.h>

#include <QDir>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>

#include <algorithm>

using namespace brindle;
using namespace brindle::testing;

namespace {

using Rows = QList<QStringList>;

QString cell(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'f', 6);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return value.toString();
    }
}

// The 1-based result columns of "ORDER BY 2 DESC, 1 ASC".
QList<int> sortColumns(const QString& sql)
{
    QList<int> columns;
    const qsizetype at = sql.lastIndexOf(QStringLiteral("ORDER BY "));
    if (at < 0)
        return columns;
    static const QRegularExpression position(QStringLiteral("(\\d+) (?:ASC|DESC)"));
    for (const auto& m : position.globalMatch(sql.mid(at)))
        columns.append(m.captured(1).toInt());
    return columns;
}

Rows sortKeys(const Rows& rows, const QList<int>& columns)
{
    Rows keys;
    for (const QStringList& row : rows) {
        QStringList key;
        for (int column : columns)
            key.append(row.value(column - 1));
        if (!key.contains(QStringLiteral("NULL")))
            keys.append(key);
    }
    return keys;
}

class ServerRows : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        UseSample(server, GetParam());
        UseSample(sqlite, Backend::SQLite);
        RegisterCoreFormClasses();
        const QList<QObject*> components = LoadFormFromFile(QStringLiteral(BRINDLE_SAMPLE_FORM), &owner);
        ASSERT_FALSE(components.isEmpty());
        model = qobject_cast<TVxDBStructure*>(components.first());
        ASSERT_NE(model, nullptr);
    }

    // The statement and rows of a stored query in a syntax.
    Rows rows(TVxSqlDBInfo& info, const QString& file, TSQLSyntax syntax, QString& sql)
    {
        TVxQuery built;
        built.SetDbStruct(model);
        built.SetSaveSQLOptions(true);
        built.LoadFromFile(file);
        built.SetActive(true);
        built.SetSQLSyntax(syntax);
        built.BuildQuery();
        sql = built.QResult()->GetSQL().Text();
        QSqlQuery query(info.Database());
        EXPECT_TRUE(query.prepare(sql)) << query.lastError().text().toStdString() << "\n" << sql.toStdString();
        for (int i = 0; i < built.QResult()->GetParamCount(); ++i) {
            const auto* param = built.QResult()->GetParam(i);
            query.bindValue(u':' + param->ParamName(), param->GetFullValue());
        }
        EXPECT_TRUE(query.exec()) << query.lastError().text().toStdString() << "\n" << sql.toStdString();
        Rows rows;
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < query.record().count(); ++i)
                row.append(cell(query.value(i)));
            rows.append(row);
        }
        return rows;
    }

    TVxSqlDBInfo server, sqlite;
    QObject owner;
    TVxDBStructure* model = nullptr;
};

TEST_P(ServerRows, ExampleQueriesGiveTheSQLiteRows)
{
    const QDir folder(QStringLiteral(BRINDLE_EXAMPLE_QUERIES));
    const QStringList files = folder.entryList({QStringLiteral("*.qry")}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 6);
    // SQLite reads no DATE '...' literals, so the NexusDB statements are
    // held against SQLite's rows of the same joins in SQL-92 form.
    const struct {
        TSQLSyntax syntax;
        TSQLSyntax sqliteSyntax;
    } syntaxes[] = {{ssSQL1, ssSQL1}, {ssSQL2, ssSQL2}, {ssNexusDB, ssSQL2}};
    const TQuotedTypes quoted = model->QuotedTypes();
    // NexusDB's date literals carry their own quotes.
    const TQuotedTypes nexus = quoted - TQuotedTypes{ftDate, ftTime, ftDateTime, ftTimeStamp};
    for (const auto& s : syntaxes) {
        int compared = 0;
        for (const QString& name : files) {
            SCOPED_TRACE(QStringLiteral("%1 in syntax %2").arg(name).arg(int(s.syntax)).toStdString());
            QString sql;
            model->SetQuotedTypes(quoted);
            Rows expected = rows(sqlite, folder.filePath(name), s.sqliteSyntax, sql);
            model->SetQuotedTypes(s.syntax == ssNexusDB ? nexus : quoted);
            Rows actual = rows(server, folder.filePath(name), s.syntax, sql);
            compared += expected.size();
            const QList<int> columns = sortColumns(sql);
            EXPECT_EQ(sortKeys(actual, columns), sortKeys(expected, columns)) << sql.toStdString();
            std::sort(actual.begin(), actual.end());
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(actual, expected) << sql.toStdString();
        }
        EXPECT_GT(compared, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerRows, ::testing::Values(Backend::Postgres, Backend::MariaDB), BackendName);

} // namespace
