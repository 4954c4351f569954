// The example queries built in every syntax PostgreSQL reads, run on the
// PostgreSQL copy of the sample and compared with the SQLite rows.
//
// Cells are compared as text: dates and moments in ISO form (SQLite keeps
// them as text, PostgreSQL as dates), reals to six decimals (sums over the
// same rows may differ in their last bits), Booleans as 1 and 0. Rows are
// compared as multisets; where the statement sorts, the sequence of sort
// keys must agree too, except for rows whose key holds NULL, which the two
// place at opposite ends.

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

class PostgresRows : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseSample(postgres, Backend::Postgres);
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

    TVxSqlDBInfo postgres, sqlite;
    QObject owner;
    TVxDBStructure* model = nullptr;
};

TEST_F(PostgresRows, ExampleQueriesGiveTheSQLiteRows)
{
    const QDir folder(QStringLiteral(BRINDLE_EXAMPLE_QUERIES));
    const QStringList files = folder.entryList({QStringLiteral("*.qry")}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 6);
    // SQLite reads no DATE '...' literals, so the NexusDB statements are
    // held against SQLite's rows of the same joins in SQL-92 form; the
    // PostgreSQL ones against those in SQLite's own syntax.
    const struct {
        TSQLSyntax syntax;
        TSQLSyntax sqliteSyntax;
    } syntaxes[] = {{ssSQL1, ssSQL1}, {ssSQL2, ssSQL2}, {ssNexusDB, ssSQL2}, {ssPostgreSQL, ssSQLite}};
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
            Rows actual = rows(postgres, folder.filePath(name), s.syntax, sql);
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

} // namespace

// A value with every pattern and quote character, in a "contains" over a
// virtual field: the servers themselves find it in a text that holds it,
// and not in one where its pattern characters stand for other ones.
TEST_F(PostgresRows, LikePatternsMatchTheirValueLiterally)
{
    const QStringList values = {"50%", "a_b", "\\", "\\%_", "[x]", "it's", "!%!", "%%__", "\u00fc\\n", "plain"};
    TVxQuery query;
    query.SetDbStruct(model);
    query.SetActive(true);
    TDSField* text = model->Fields(model->AddField(kfkVirtual, "''", "Text", nullptr));
    text->SetFieldType(ftString);
    text->AddAppliedOperators();
    auto* condition = static_cast<TSimpleCond*>(query.AddCondition(query.Filter(), text));
    condition->SetOperator(model->OperatorByName(QStringLiteral("Contains")));
    const struct {
        TSQLSyntax syntax;
        TVxSqlDBInfo* info;
    } servers[] = {{ssPostgreSQL, &postgres}, {ssSQLite, &sqlite}};
    for (const auto& server : servers) {
        query.SetSQLSyntax(server.syntax);
        for (const QString& value : values) {
            QString other = value;
            other.replace(u'%', u'x').replace(u'_', u'y');
            for (const QString& held : {value, other}) {
                text->SetSQLExpr(QStringLiteral("'<%1>'").arg(QString(held).replace(u'\'', QStringLiteral("''"))));
                condition->SetValue(1, value);
                const QString sql = QStringLiteral("SELECT 1 WHERE ") + query.ConditionSQL(condition);
                QSqlQuery run(server.info->Database());
                ASSERT_TRUE(run.exec(sql)) << run.lastError().text().toStdString() << "\n" << sql.toStdString();
                EXPECT_EQ(run.next(), held == value) << sql.toStdString();
            }
        }
    }
}
