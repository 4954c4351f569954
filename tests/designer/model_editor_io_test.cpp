// The data model editor's files, database, host events and its opening
// through EditStructure.

#include "designer/editor_fixtures.h"

#include <brindle/datamodel/model_xml.h>
#include <brindle/designer/tables_page.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace brindle;
using ::fixtures::EditorTest;
using ::fixtures::modelText;

namespace {

QString fileText(const QString& path)
{
    TStringList lines;
    lines.LoadFromFile(path);
    return lines.Text();
}

void writeFile(const QString& path, const QString& text)
{
    TStringList lines;
    lines.SetText(text);
    lines.SaveToFile(path);
}

} // namespace

TEST_F(EditorTest, SavedFilesOpenBackAsTheSameModel)
{
    QTemporaryDir dir;
    page(editor->Tables());
    clickRow(editor->Tables()->TableList(), "Orders");
    type(editor->Tables()->DisplayNameEdit(), "Sales");
    const QString copy = modelText(editor->Copy());
    for (const char* name : {"model.dbs", "model.form"}) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(name);
        ASSERT_NO_THROW(editor->SaveModelFile(path));
        TdlgDataModelEditor reopened(m.model);
        ASSERT_NO_THROW(reopened.OpenModelFile(path));
        EXPECT_EQ(modelText(reopened.Copy()), copy);
    }
    // The settings of the database info go into the model text, as the model writes them.
    EXPECT_EQ(fileText(dir.filePath("model.dbs")), copy);

    // The XML's reader and writer are no pair: the reader takes no named
    // groups and no table of a data field, and type names and value formats
    // narrow on the way. Once read, a document writes what it reads.
    m.model.FieldGroups().Clear();
    open();
    const QString xml = dir.filePath("model.xml");
    editor->SaveModelFile(xml);
    TStringList document;
    document.LoadFromFile(xml);
    EXPECT_TRUE(document.Text().contains("<DBParams/>"));
    const auto readWrite = [](TStringList lines) {
        TVxDBStructure back;
        LoadDMFromXml(back, lines);
        EXPECT_EQ(back.FieldCount(), 8);
        TStringList written;
        SaveDMToXml(back, written);
        return written;
    };
    const TStringList once = readWrite(document);
    EXPECT_EQ(readWrite(once).Text().toStdString(), once.Text().toStdString());
    const QString before = modelText(editor->Copy());
    EXPECT_THROW(editor->OpenModelFile(xml), EVxDBStructError);
    EXPECT_EQ(modelText(editor->Copy()), before);
}

TEST_F(EditorTest, FilesThatDoNotReadLeaveTheCopyAsItWas)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        const char* text;
    } broken[] = {
        {"no_table.dbs", "[Main]\nVersion=3.6\nFieldCount=1\n \n[Field:1]\nID=1\nKind=kfkData\nFieldExpr=x\nTableAlias=zz\n"},
        {"broken.xml", "<DataModel><Entities><Attr id=\"x\"/></Entities>"},
        {"empty.form", "form F\n  component M: TVxQuery\n  end\nend\n"},
    };
    const QString copy = modelText(editor->Copy());
    for (const auto& file : broken) {
        SCOPED_TRACE(file.name);
        writeFile(dir.filePath(file.name), QString::fromLatin1(file.text));
        EXPECT_THROW(editor->OpenModelFile(dir.filePath(file.name)), Exception);
        EXPECT_EQ(modelText(editor->Copy()), copy);
    }

    // Text the host reads itself goes the same way, and its error is shown.
    m.model.OnLoadModel = [](QObject*, TStringList& lines, bool& processed) {
        lines.SetText("[Main]\nVersion=3.6\nTableCount=1\n \n[Table:1]\nName=T\nAlias=t\nLinks=u\n");
        processed = true;
    };
    click(editor->OpenButton());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.takeFirst(), "Can not find section Link:t-u");
    EXPECT_EQ(modelText(editor->Copy()), copy);
}

TEST_F(EditorTest, HostEventsReadAndWriteTheModelText)
{
    QString saved;
    m.model.OnSaveModel = [&](QObject* sender, TStringList& lines, bool& processed) {
        EXPECT_EQ(sender, &m.model);
        saved = lines.Text();
        processed = true;
    };
    m.model.OnLoadModel = [](QObject*, TStringList& lines, bool& processed) {
        lines.SetText("[Main]\nVersion=3.6\nTableCount=1\n \n[Table:1]\nName=Items\nAlias=i\n");
        processed = true;
    };
    click(editor->SaveButton());
    EXPECT_EQ(saved, before);
    click(editor->OpenButton());
    EXPECT_EQ(rows(editor->Tables()->TableList()), 1);
    ok();
    EXPECT_EQ(m.model.TableCount(), 1);
    EXPECT_EQ(m.model.Tables(0)->TableAlias(), "i");
}

TEST_F(EditorTest, LoadFromDatabaseRefusesWithoutDatabaseAndKeepsTheCopyWhenTheDatabaseFails)
{
    const QString copy = modelText(editor->Copy());
    m.info.OnTablesRequest = [](TVxDBInfo*, TStringList&) { throw EVxDBInfoError(2, QStringLiteral("connection lost")); };
    click(editor->DatabaseButton());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.takeFirst(), "connection lost");
    EXPECT_EQ(modelText(editor->Copy()), copy);

    m.info.OnTablesRequest = [](TVxDBInfo*, TStringList& tables) { tables.Add("Customers"); };
    click(editor->DatabaseButton());
    EXPECT_EQ(editor->Copy().TableCount(), 1);
    EXPECT_EQ(editor->Copy().FieldCount(), 3);
    EXPECT_EQ(rows(editor->Tables()->TableList()), 1);
    click(editor->CancelButton());
    EXPECT_EQ(modelText(m.model), before);

    m.model.SetDatabaseInfo(nullptr);
    open();
    EXPECT_FALSE(editor->DatabaseButton()->isEnabled());
    EXPECT_TRUE(editor->DatabaseButton()->toolTip().startsWith("Database info component is not specified"));
    EXPECT_THROW(editor->LoadFromDatabase(), Exception);
}

TEST_F(EditorTest, ButtonsFollowTheModelsSettingsAndEvents)
{
    EXPECT_TRUE(editor->OpenButton()->isVisible());
    EXPECT_FALSE(editor->ConnectButton()->isVisible());
    EXPECT_FALSE(editor->HelpButton()->isVisible());

    class Offline : public TVxDBInfo {
    public:
        bool GetConnected() override { return online; }
        bool online = false;
    } offline;
    int helps = 0;
    m.model.SetDatabaseInfo(&offline);
    m.model.SetDMEButtons({dmbConnect});
    m.model.OnSEHelpClick = [&](QObject*) { ++helps; };
    m.model.OnConnectClick = [&](QObject*) { offline.online = true; };
    open();
    EXPECT_FALSE(editor->OpenButton()->isVisible());
    EXPECT_FALSE(editor->DatabaseButton()->isEnabled());
    EXPECT_EQ(editor->DatabaseButton()->toolTip(), "Database not connected: connect first.");
    click(editor->ConnectButton());
    EXPECT_TRUE(editor->DatabaseButton()->isEnabled());
    click(editor->HelpButton());
    EXPECT_EQ(helps, 1);
    m.model.SetDatabaseInfo(nullptr);
}

TEST(EditStructureTest, NeedsAnInstalledEditorAndReturnsItsModalResult)
{
    const auto previous = TVxCustomDBStructure::SetDataModelEditor({});
    brindle::fixtures::QueryModel m;
    try {
        m.model.EditStructure();
        ADD_FAILURE() << "no error";
    } catch (const EVxDBStructError& error) {
        EXPECT_EQ(error.ErrorCode(), 12);
        EXPECT_TRUE(error.Message().contains("InstallDataModelEditor()")) << error.Message().toStdString();
    }

    InstallDataModelEditor();
    InstallDataModelEditor();
    const QString before = modelText(m.model);
    // Each run closes whatever modal is left after a while, so a failing step never hangs.
    const auto run = [&](const std::function<void(TdlgDataModelEditor*)>& steps) {
        // Timers die with the guard: none runs after this call.
        QObject guard;
        QTimer::singleShot(0, &guard, [&] {
            auto* dialog = qobject_cast<TdlgDataModelEditor*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            steps(dialog);
        });
        QTimer::singleShot(5000, &guard, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        return m.model.EditStructure();
    };
    EXPECT_EQ(run([](TdlgDataModelEditor* dialog) {
                  dialog->Tables()->AddButton()->click();
                  dialog->CancelButton()->click();
              }),
              QDialog::Rejected);
    EXPECT_EQ(modelText(m.model), before);
    EXPECT_EQ(run([](TdlgDataModelEditor* dialog) {
                  dialog->Tables()->AddButton()->click();
                  dialog->OkButton()->click();
              }),
              QDialog::Accepted);
    EXPECT_EQ(m.model.TableCount(), 3);
    TVxCustomDBStructure::SetDataModelEditor(previous);
}
