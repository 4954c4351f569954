// The sample database and its committed model: a model that agrees with the
// database column by column and key by key, and model and example query
// files that are still exactly what the writers and the generators produce.

#include "examples/sample_fixtures.h"
#include <brindle/query/query.h>

#include <QDir>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

using namespace brindle;
using fixtures::Select;

namespace {

class Sample : public fixtures::SampleSuite {
protected:
    static QString Scalar(const QString& sql)
    {
        const fixtures::Rows rows = Select(sql);
        return rows.isEmpty() ? QStringLiteral("<no row>") : rows.first().value(0);
    }
    // "Table.column>Table.column" for every declared foreign key.
    static QSet<QString> ForeignKeys()
    {
        QSet<QString> keys;
        for (const QStringList& table : Select(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
            for (const QStringList& fk : Select(QStringLiteral("PRAGMA foreign_key_list(\"%1\")").arg(table[0])))
                keys.insert(table[0] + u'.' + fk.value(3) + u'>' + fk.value(2) + u'.' + fk.value(4));
        return keys;
    }
};

TEST_F(Sample, ModelAgreesWithTheDatabaseAndIsWhatTheWritersProduce)
{
    TVxDBStructure model;
    model.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_MODEL));
    ASSERT_EQ(model.TableCount(), 9);
    ASSERT_EQ(model.DefaultMainTable(), model.TableByName(tlByAlias, "Ord"));

    // Every field runs over the tables it names (the retrieval test checks
    // the data fields' columns on both databases) and has operators.
    for (int i = 0; i < model.FieldCount(); ++i) {
        const TDSField* field = model.Fields(i);
        QStringList from;
        for (const TDSTable* table : field->Tables())
            if (!from.contains(table->FromExpr()))
                from.append(table->FromExpr());
        ASSERT_FALSE(from.isEmpty()) << field->FieldExpr().toStdString();
        Select(QStringLiteral("SELECT %1 FROM %2").arg(field->SQLExpr(), from.join(u',')));
        EXPECT_GT(field->OperatCount(), 0) << field->DisplayName().toStdString();
    }

    // Each link is a declared foreign key and joins rows; each key has its link.
    QSet<QString> linked;
    auto column = [](const QString& entry) { return entry.startsWith("fld:") ? entry.mid(4) : entry; };
    for (int i = 0; i < model.LinkCount(); ++i) {
        const TDSLink* link = model.Links(i);
        ASSERT_EQ(link->Fields1().Count(), 1);
        linked.insert(link->Table1()->TableName() + u'.' + column(link->Fields1()[0]) + u'>'
                      + link->Table2()->TableName() + u'.' + column(link->Fields2()[0]));
        EXPECT_NE(Scalar(QStringLiteral("SELECT count(*) FROM %1, %2 WHERE %3")
                             .arg(link->Table1()->FromExpr(), link->Table2()->FromExpr(), link->SQLExpr())),
                  "0")
            << link->SQLExpr().toStdString();
    }
    EXPECT_EQ(linked, ForeignKeys());

    const QByteArray committed = fixtures::FileBytes(QStringLiteral(BRINDLE_SAMPLE_MODEL));
    const QByteArray committedForm = fixtures::FileBytes(QStringLiteral(BRINDLE_SAMPLE_FORM));

    TStringList saved;
    model.SaveToStrings(saved);
    EXPECT_EQ(saved.Text().toUtf8(), committed);

    // The form keeps the same model.
    QObject owner;
    TVxDBStructure* formModel = fixtures::LoadSampleForm(owner);
    ASSERT_NE(formModel, nullptr);
    formModel->SaveToStrings(saved);
    EXPECT_EQ(saved.Text().toUtf8(), committed);
    WriteForm(QStringLiteral("SampleForm"), {formModel}, saved);
    EXPECT_EQ(saved.Text().toUtf8(), committedForm);

    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("sample.dbs"));
    const QString outForm = dir.filePath(QStringLiteral("sample.form"));
    ASSERT_EQ(fixtures::RunGenerator(QStringLiteral(BRINDLE_MAKE_SAMPLE_MODEL),
                                     {QStringLiteral(BRINDLE_SAMPLE_DB), out, outForm}), "");
    EXPECT_TRUE(fixtures::FileBytes(out) == committed)
        << "examples/sample/sample.dbs is stale: build the sample_model target and copy its output";
    EXPECT_TRUE(fixtures::FileBytes(outForm) == committedForm)
        << "examples/sample/sample.form is stale: build the sample_model target and copy its output";
}

QStringList queryFiles(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.qry")}, QDir::Files, QDir::Name);
}

// The committed queries are what the generator writes, and what a query
// that reads them writes again.
TEST(ExampleQueries, AreWhatTheGeneratorAndTheQueryWrite)
{
    const QDir committed(QStringLiteral(BRINDLE_EXAMPLE_QUERIES));
    QTemporaryDir dir;
    ASSERT_EQ(fixtures::RunGenerator(QStringLiteral(BRINDLE_MAKE_EXAMPLE_QUERIES),
                                     {QStringLiteral(BRINDLE_SAMPLE_FORM), dir.path()}), "");
    QObject owner;
    TVxDBStructure* model = fixtures::LoadSampleForm(owner);
    ASSERT_NE(model, nullptr);
    const QStringList names = queryFiles(committed.path());
    EXPECT_EQ(queryFiles(dir.path()), names);
    for (const QString& name : names) {
        const QByteArray bytes = fixtures::FileBytes(committed.filePath(name));
        EXPECT_TRUE(fixtures::FileBytes(dir.filePath(name)) == bytes)
            << "examples/queries/" << name.toStdString()
            << " is stale: build the example_queries target and copy its output";
        TVxQuery query;
        query.SetDbStruct(model);
        query.SetSaveTitles(false);
        query.LoadFromFile(committed.filePath(name));
        TStringList saved;
        query.SaveToStrings(saved);
        EXPECT_EQ(saved.Text().toUtf8(), bytes) << name.toStdString();
    }
}

} // namespace
