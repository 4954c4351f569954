// The example queries: the committed files are exactly what their generator
// writes now, and each reads back and writes again unchanged.

#include "datamodel/form_classes.h"
#include "query/query.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brindle;

namespace {

QStringList queryFiles(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.qry")}, QDir::Files, QDir::Name);
}

QByteArray bytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(ExampleQueries, AreWhatTheGeneratorWrites)
{
    const QString committed = QStringLiteral(BRINDLE_EXAMPLE_QUERIES);
    QTemporaryDir dir;
    QProcess generator;
    generator.start(QStringLiteral(BRINDLE_MAKE_EXAMPLE_QUERIES), {QStringLiteral(BRINDLE_SAMPLE_FORM), dir.path()});
    ASSERT_TRUE(generator.waitForFinished(60000));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();

    const QStringList names = queryFiles(committed);
    EXPECT_EQ(names.size(), 6);
    EXPECT_EQ(queryFiles(dir.path()), names);
    for (const QString& name : names)
        EXPECT_TRUE(bytes(dir.filePath(name)) == bytes(QDir(committed).filePath(name)))
            << "examples/queries/" << name.toStdString()
            << " is stale: build the example_queries target and copy its output";
}

TEST(ExampleQueries, ReadBackAndWriteAgainUnchanged)
{
    RegisterCoreFormClasses();
    QObject owner;
    const QList<QObject*> components = LoadFormFromFile(QStringLiteral(BRINDLE_SAMPLE_FORM), &owner);
    ASSERT_FALSE(components.isEmpty());
    auto* model = qobject_cast<TVxDBStructure*>(components.first());
    ASSERT_NE(model, nullptr);
    const QDir folder(QStringLiteral(BRINDLE_EXAMPLE_QUERIES));
    for (const QString& name : queryFiles(folder.path())) {
        SCOPED_TRACE(name.toStdString());
        TVxQuery query;
        query.SetDbStruct(model);
        query.SetSaveTitles(false);
        query.LoadFromFile(folder.filePath(name));
        TStringList saved;
        query.SaveToStrings(saved);
        EXPECT_EQ(saved.Text().toUtf8(), bytes(folder.filePath(name)));
    }
}

} // namespace
