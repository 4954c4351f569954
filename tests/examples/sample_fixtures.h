#pragma once
// The sample database, opened read-only by each suite in turn under one
// connection name, rows of its results as texts to compare, the sample model
// of the form file and the committed files the generators must write again.

#include <brindle/datamodel/db_structure.h>
#include <brindle/datamodel/form_classes.h>
#include <brindle/foundations/form_stream.h>

#include <QFile>
#include <QList>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

namespace brindle::fixtures {

using Rows = QList<QStringList>;
using Binds = QList<std::pair<QString, QVariant>>; // ":name", value

inline const QString kConnection = QStringLiteral("sample");

// A cell as compared: a sum over a join may differ in its last bits with
// the row order.
inline QString CellText(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'f', 4);
    return value.toString();
}

// The rows as one text: sorted unless the statement orders them.
inline std::string ShowRows(Rows rows, bool ordered)
{
    if (!ordered)
        std::sort(rows.begin(), rows.end());
    QString text;
    for (const QStringList& row : rows)
        text += row.join(u'|') + u'\n';
    return text.toStdString();
}

class SampleSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
        db.setDatabaseName(QStringLiteral(BRINDLE_SAMPLE_DB));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
    }
    static void TearDownTestSuite() { QSqlDatabase::removeDatabase(kConnection); }
};

// The sample model of the form file, which holds it alone; null otherwise.
inline TVxDBStructure* LoadSampleForm(QObject& owner)
{
    RegisterCoreFormClasses();
    const QList<QObject*> components = LoadFormFromFile(QStringLiteral(BRINDLE_SAMPLE_FORM), &owner);
    return components.size() == 1 ? qobject_cast<TVxDBStructure*>(components.first()) : nullptr;
}

// A suite on the sample database and the sample model of the form file,
// which keeps the SQL formats that suit SQLite.
struct SampleModelSuite : SampleSuite {
    static void SetUpTestSuite()
    {
        SampleSuite::SetUpTestSuite();
        owner = std::make_unique<QObject>();
        ASSERT_NE(model = LoadSampleForm(*owner), nullptr);
    }
    static void TearDownTestSuite()
    {
        owner.reset();
        SampleSuite::TearDownTestSuite();
    }
    static inline std::unique_ptr<QObject> owner;
    static inline TVxDBStructure* model = nullptr;
};

// Every row of the statement with its parameters bound; a statement the
// database refuses fails the test.
inline Rows Select(const QString& sql, const Binds& binds = {})
{
    QSqlQuery query(QSqlDatabase::database(kConnection));
    query.setForwardOnly(true);
    bool ok = binds.isEmpty() ? query.exec(sql) : query.prepare(sql);
    for (const auto& [name, value] : binds)
        query.bindValue(name, value);
    ok = ok && (binds.isEmpty() || query.exec());
    EXPECT_TRUE(ok) << "statement failed: " << query.lastError().text().toStdString() << "\n" << sql.toStdString();
    Rows rows;
    while (ok && query.next()) {
        QStringList row;
        for (int i = 0; i < query.record().count(); ++i)
            row.append(CellText(query.value(i)));
        rows.append(row);
    }
    return rows;
}

inline QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Runs a generator of committed files: empty when it succeeds, else why not.
inline std::string RunGenerator(const QString& program, const QStringList& args)
{
    QProcess generator;
    generator.start(program, args);
    if (!generator.waitForFinished(60000))
        return "the generator did not finish";
    return generator.exitStatus() == QProcess::NormalExit && generator.exitCode() == 0
               ? std::string()
               : "the generator failed: " + generator.readAllStandardError().toStdString();
}

} // namespace brindle::fixtures
