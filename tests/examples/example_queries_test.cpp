// The example queries: the committed files are exactly what their generator
// writes now, and each reads back and writes again unchanged.

#include "examples/sample_fixtures.h"
#include <brindle/query/query.h>

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace brindle;
using fixtures::FileBytes;

namespace {

QStringList queryFiles(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.qry")}, QDir::Files, QDir::Name);
}

TEST(ExampleQueries, AreWhatTheGeneratorWrites)
{
    const QDir committed(QStringLiteral(BRINDLE_EXAMPLE_QUERIES));
    QTemporaryDir dir;
    ASSERT_EQ(fixtures::RunGenerator(QStringLiteral(BRINDLE_MAKE_EXAMPLE_QUERIES),
                                     {QStringLiteral(BRINDLE_SAMPLE_FORM), dir.path()}), "");
    const QStringList names = queryFiles(committed.path());
    EXPECT_EQ(names.size(), 6);
    EXPECT_EQ(queryFiles(dir.path()), names);
    for (const QString& name : names)
        EXPECT_TRUE(FileBytes(dir.filePath(name)) == FileBytes(committed.filePath(name)))
            << "examples/queries/" << name.toStdString()
            << " is stale: build the example_queries target and copy its output";
}

TEST(ExampleQueries, ReadBackAndWriteAgainUnchanged)
{
    QObject owner;
    TVxDBStructure* model = fixtures::LoadSampleForm(owner);
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
        EXPECT_EQ(saved.Text().toUtf8(), FileBytes(folder.filePath(name)));
    }
}

} // namespace
