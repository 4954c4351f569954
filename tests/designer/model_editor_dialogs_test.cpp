// The data model editor's questions, file dialogs and help, and the
// settings of a text editor.

#include "designer/editor_fixtures.h"

#include <brindle/designer/attributes_page.h>
#include <brindle/designer/conditions_page.h>
#include <brindle/designer/entities_page.h>
#include <brindle/designer/operators_page.h>
#include <brindle/designer/tables_page.h>

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

using namespace brindle;
using ::fixtures::EditorTest;
using ::fixtures::modelText;

TEST_F(EditorTest, DeletingAnythingTheUserDoesNotConfirmKeepsTheCopy)
{
    brindle::SetAskHandler([](const QString&) { return false; });
    const QString copy = modelText(editor->Copy());
    EntitiesPage* entities = editor->Entities();
    const std::pair<QWidget*, std::function<void()>> deletions[] = {
        {editor->Tables(), [&] { click(editor->Tables()->DeleteButton()); }},
        {editor->Attributes(), [&] { click(editor->Attributes()->DeleteButton()); }},
        {editor->Operators(), [&] { click(editor->Operators()->DeleteButton()); }},
        {editor->Operators(), [&] { click(editor->Operators()->ResetButton()); }},
        {editor->Conditions(), [&] { click(editor->Conditions()->DeleteButton()); }},
        {entities, [&] {
             clickNode(entities->Tree(), entities->GroupNode(editor->Copy().FieldGroups().FindByName("Orders")));
             click(entities->DeleteButton());
         }},
    };
    for (const auto& [shown, remove] : deletions) {
        page(shown);
        remove();
        EXPECT_EQ(modelText(editor->Copy()), copy) << shown->metaObject()->className();
    }
}

TEST_F(EditorTest, TextEditorSettingsAndRootFieldsFirstReachTheModel)
{
    AttributesPage* attributes = editor->Attributes();
    page(attributes);
    choose(attributes->EntityFilter(), "Orders");
    EXPECT_EQ(rows(attributes->FieldList()), 3);
    clickRow(attributes->FieldList(), "Order");
    choose(attributes->EditorCombo(), "Text");
    type(attributes->EditMaskEdit(), "99999");
    choose(attributes->TextKindCombo(), "Masked");
    choose(attributes->ValueTypeCombo(), "Integer");
    click(attributes->UpperCaseBox());
    click(attributes->LowerCaseBox());
    click(attributes->FormattedBox());
    EXPECT_FALSE(attributes->UpperCaseBox()->isChecked());
    page(editor->Entities());
    click(editor->Entities()->RootFirstBox());
    EXPECT_EQ(editor->Entities()->Tree()->topLevelItem(0), editor->Entities()->GroupNode(nullptr));
    ok();
    const auto* text = dynamic_cast<const TDSTextEditor*>(m.model.FieldByName(flByDisplayName, "Order")->ValueEditor());
    ASSERT_TRUE(text);
    EXPECT_EQ(text->EditMask, "99999");
    EXPECT_EQ(text->Kind, tekMask);
    EXPECT_EQ(text->ValueType, 1);
    EXPECT_TRUE(text->AutoLowerCase());
    EXPECT_FALSE(text->AutoUpperCase());
    EXPECT_TRUE(text->UseFormattedValue);
    EXPECT_TRUE(m.model.RootFieldsFirst());
}

TEST_F(EditorTest, FileDialogsStartInTheInitialFolderAndAddTheChosenSuffix)
{
    QTemporaryDir dir;
    m.model.SetInitialSEPath(dir.path());
    // Types the name into the next file dialog, with the filter chosen first.
    const auto answer = [](const QString& name, int filter) {
        QTimer::singleShot(0, [name, filter] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            const QString folder = dialog->directory().absolutePath();
            if (filter >= 0)
                dialog->selectNameFilter(dialog->nameFilters()[filter]);
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!edit) {
                dialog->reject();
                FAIL() << "no file name edit in " << folder.toStdString();
            }
            QTest::keyClicks(edit, name);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QObject guard;
        QTimer::singleShot(5000, &guard, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
    };
    answer("exported", 1);
    click(editor->SaveButton());
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("exported.xml")));
    answer("plain", 0);
    click(editor->SaveButton());
    ASSERT_TRUE(QFileInfo::exists(dir.filePath("plain.dbs")));

    page(editor->Tables());
    click(editor->Tables()->AddButton());
    answer("plain.dbs", -1);
    click(editor->OpenButton());
    EXPECT_EQ(modelText(editor->Copy()), before);
}

TEST_F(EditorTest, HelpOpensTheHelpFileWithoutAHandler)
{
    QList<QUrl> opened;
    brindle::SetOpenUrlHandler([&](const QUrl& url) {
        opened.append(url);
        return url.fileName() == "model.html";
    });
    for (const char* file : {"model.html", "missing.html"}) {
        m.model.SetHelpFileName(QString::fromLatin1("/help/") + file);
        open();
        // No assertion here: the process-wide handler must be unset below.
        EXPECT_TRUE(editor->HelpButton()->isVisible());
        click(editor->HelpButton());
    }
    brindle::SetOpenUrlHandler({});
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0].toLocalFile(), "/help/model.html");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.takeFirst(), "Cannot open the help file /help/missing.html");
}

TEST_F(EditorTest, DataFieldsNeedATable)
{
    page(editor->Tables());
    click(editor->Tables()->DeleteButton());
    click(editor->Tables()->DeleteButton());
    ASSERT_EQ(editor->Copy().TableCount(), 0);
    const QString copy = modelText(editor->Copy());
    AttributesPage* attributes = editor->Attributes();
    page(attributes);
    click(attributes->AddDataButton());
    EXPECT_EQ(modelText(editor->Copy()), copy);
    // A virtual field that names no table stays virtual.
    click(attributes->AddVirtualButton());
    const QString withVirtual = modelText(editor->Copy());
    attributes->KindCombo()->setFocus();
    QTest::keyClick(attributes->KindCombo(), Qt::Key_Home);
    EXPECT_EQ(attributes->KindCombo()->currentIndex(), int(kfkVirtual));
    EXPECT_EQ(modelText(editor->Copy()), withVirtual);
    ASSERT_EQ(errors.size(), 2);
    for (const QString& error : std::exchange(errors, {}))
        EXPECT_EQ(error, "Add a table first: a data field is a column of a table.");
}

TEST_F(EditorTest, AddOffersTheDatabasesMissingTablesWithTheirColumns)
{
    m.info.OnTablesRequest = [](TVxDBInfo*, TStringList& tables) { tables.SetCommaText("Customers,Orders,Items"); };
    page(editor->Tables());
    QStringList offered;
    // Timers die with the guard, so none runs after this body.
    QObject guard;
    QTimer::singleShot(0, &guard, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                offered.append(action->text());
        menu->setActiveAction(menu->actions().last());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTimer::singleShot(5000, &guard, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    click(editor->Tables()->AddButton());
    EXPECT_EQ(offered, QStringList({"New table", "Items"}));
    ok();
    const TDSFieldGroup* items = m.model.FieldGroups().FindByName("Items");
    ASSERT_TRUE(items);
    EXPECT_EQ(items->Count(), 6);
    EXPECT_EQ(m.model.FieldByName(flByFullName, "Items.Amount")->FieldType(), ftFloat);
}
