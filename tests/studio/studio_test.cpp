// Brindle Studio as a user works it: composing a query with clicks and
// keys, saving it into the query base and opening it again, being asked
// before unsaved changes go, importing SQL, and exporting rows.

#include "studio_fixtures.h"

#include <brindle/panels/result_fields_panel.h>
#include <brindle/query/query_base_files.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

using namespace brindle;
using namespace fixtures;

namespace {

// A condition "Customer country is equal to Germany" and a column
// "Customer"; the statement shown after each step a user takes.
QStringList composeGermanCustomers(studio::StudioWindow& window)
{
    QStringList shown{window.StatementView()->toPlainText()};
    const auto step = [&] { shown << window.StatementView()->toPlainText(); };
    TVxQueryPanel* panel = window.QueryPanel();
    choose(panel->AddRowLabel(), "Customer country");
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    step();
    typeInto(panel->GetRowControl(window.Query().Filter()->GetRow(0), 3), "Germany");
    step();
    TVxResultFieldsPanel* fields = window.FieldsPanel();
    QTest::mouseClick(fields->AddRowLabel(), Qt::LeftButton);
    step();
    choose(fields->GetLastRow()->FieldLabel(), "Customer");
    clickWord(fields->GetLastRow()->FieldLabel());
    step();
    return shown;
}

TEST_F(Studio, AComposedQueryIsSavedIntoTheBaseAndOpensAgain)
{
    press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(query().Filter()->GetRowCount(), 0);
    const QStringList steps = composeGermanCustomers(*window);
    EXPECT_TRUE(window->Modified());
    // Every step undone back to the empty query, and redone, through the Edit menu's keys.
    for (qsizetype i = steps.size() - 2; i >= 0; --i) {
        press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(window->StatementView()->toPlainText(), steps[i]) << "undo to step " << i;
    }
    EXPECT_FALSE(window->Action("undo")->isEnabled());
    for (qsizetype i = 1; i < steps.size(); ++i) {
        press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(window->StatementView()->toPlainText(), steps[i]) << "redo to step " << i;
    }
    EXPECT_FALSE(window->Action("redo")->isEnabled());
    const std::string sql = statement();
    EXPECT_NE(sql.find("Cust.Country = 'Germany'"), std::string::npos) << sql;
    EXPECT_NE(sql.find("Cust.CompanyName"), std::string::npos) << sql;
    const std::string text = queryText();
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(window->Modified());

    // Another query, then back through the list: the saved one reads back whole.
    const int saved = window->QueryBase()->ItemIndex();
    QListWidget* list = window->QueryList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(window->QueryBase()->ItemIndex(), 0);
    EXPECT_NE(queryText(), text);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(saved)).center());
    EXPECT_EQ(queryText(), text);
    EXPECT_EQ(statement(), sql);
}

// Moving away from a changed query asks: Cancel stays, Discard drops the
// change, Save keeps it in the file.
TEST_F(Studio, UnsavedChangesAreNeverLostWithoutAsking)
{
    ASSERT_TRUE(window->OpenStoredQuery("uk_orders_2024"));
    const std::string original = queryText();
    const auto change = [&] { typeInto(panel()->GetRowControl(query().Filter()->GetRow(0), 3), "Ireland"); };
    const auto changeAndMove = [&](QMessageBox::StandardButton button) {
        change();
        EXPECT_TRUE(window->Modified());
        press(Qt::Key_Home, Qt::ControlModifier, button);
    };
    const int uk = window->QueryBase()->ItemIndex();
    changeAndMove(QMessageBox::Cancel);
    EXPECT_EQ(window->QueryBase()->ItemIndex(), uk);
    EXPECT_TRUE(window->Modified());
    EXPECT_NE(queryText(), original);

    press(Qt::Key_Home, Qt::ControlModifier, QMessageBox::Discard);
    EXPECT_EQ(window->QueryBase()->ItemIndex(), 0);
    ASSERT_TRUE(window->OpenStoredQuery("uk_orders_2024"));
    EXPECT_EQ(queryText(), original);

    changeAndMove(QMessageBox::Save);
    ASSERT_TRUE(window->OpenStoredQuery("uk_orders_2024"));
    EXPECT_NE(queryText(), original);

    // Closing the window asks too.
    change();
    answer(QMessageBox::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    answer(QMessageBox::Discard);
    EXPECT_TRUE(window->close());
}

// A statement the parser stops at keeps the dialog open on the line it
// stopped at; a good one becomes the query.
TEST_F(Studio, ImportedSqlBecomesTheQueryAndAFaultIsShownAtItsLine)
{
    const QString wrong = "SELECT Cust.CompanyName\nFROM Customers Cust\nWHERE Cust.Country 'Spain'";
    const QString right = "SELECT Cust.CompanyName\nFROM Customers Cust\nWHERE Cust.Country = 'Spain'";
    bool sawProblem = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<studio::SqlImportDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        dialog->Statement()->setPlainText(wrong);
        dialog->accept();
        sawProblem = dialog->isVisible() && !dialog->Problem()->isHidden();
        EXPECT_EQ(dialog->Statement()->textCursor().block().blockNumber(), 2);
        dialog->Statement()->setPlainText(right);
        dialog->accept();
    });
    press(Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(sawProblem);
    const std::string sql = statement();
    EXPECT_NE(sql.find("Cust.Country = 'Spain'"), std::string::npos) << sql;
    EXPECT_TRUE(window->Modified());
    press(Qt::Key_F5, {});
    ASSERT_TRUE(waitForRun());
    EXPECT_FALSE(gridRows().isEmpty());
    EXPECT_EQ(gridRows(), databaseRows(right, {}));
}

// A statement typed with a doubled operator: pressing Import leaves the
// editor focused with the second "=" selected and the place shown; a
// character beyond the BMP before the fault still selects the right token.
TEST_F(Studio, ImportSelectsTheTokenAtFault)
{
    const auto importButton = [](studio::SqlImportDialog* dialog) {
        return dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    };
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<studio::SqlImportDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        QPlainTextEdit* editor = dialog->Statement();
        QTest::keyClicks(editor, "SELECT Cust.CompanyName\rFROM Customers Cust\r\tWHERE Cust.Country = = 'Spain'");
        QTest::mouseClick(importButton(dialog), Qt::LeftButton);
        ASSERT_TRUE(dialog->isVisible());
        QTextCursor cursor = editor->textCursor();
        EXPECT_EQ(cursor.block().blockNumber(), 2);
        EXPECT_EQ(cursor.selectionStart() - cursor.block().position(), 22);
        EXPECT_EQ(cursor.selectedText(), "=");
        EXPECT_EQ(dialog->focusWidget(), editor); // the Import button took it with the click
        EXPECT_TRUE(dialog->Problem()->text().startsWith("line 3, column 23: Wrong SQL statement")) << dialog->Problem()->text().toStdString();

        editor->setPlainText(QString::fromUtf8("SELECT Cust.CompanyName FROM Customers Cust\n"
                                               "WHERE Cust.CompanyName = '\xF0\x9F\x98\x80' AND AND Cust.Country = 'Spain'"));
        QTest::mouseClick(importButton(dialog), Qt::LeftButton);
        cursor = editor->textCursor();
        EXPECT_EQ(cursor.selectedText(), "AND");
        EXPECT_EQ(cursor.selectionStart() - cursor.block().position(), 34);
        dialog->reject();
    });
    press(Qt::Key_I, Qt::ControlModifier);
}

// The rows of a run are the rows QtSql gives for the same statement, and
// the exports of them read back as the same values.
TEST_F(Studio, RunsShowTheRowsOfTheStatementAndExportThem)
{
    ASSERT_TRUE(window->OpenStoredQuery("uk_orders_2024"));
    press(Qt::Key_F5, {});
    ASSERT_TRUE(waitForRun());
    const QList<QStringList> shown = gridRows();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown, databaseRows(QString::fromStdString(statement()), queryParameters()));
    EXPECT_EQ(window->Rows()->headerData(0, Qt::Horizontal).toString(), "Order number");
    EXPECT_NE(window->RowsLabel()->text().indexOf(QString::number(shown.size())), -1);

    const QString csv = scratch.filePath("rows.csv");
    ASSERT_TRUE(window->ExportRows(csv));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), shown.size() + 1);
    EXPECT_EQ(lines[0], "Order number,Order date,Customer,Sales total");
    EXPECT_EQ(lines[1], shown[0].join(','));

    const QString xlsx = scratch.filePath("rows.xlsx");
    ASSERT_TRUE(window->ExportRows(xlsx));
    const QStringList cells = workbookStrings(xlsx);
    if (cells.isEmpty())
        GTEST_SKIP() << "no python3 to read the workbook back";
    EXPECT_TRUE(cells.contains("Order number"));
    EXPECT_TRUE(cells.contains(shown[0][2])) << cells.join('|').toStdString();
    // A folder that cannot take the file: the error is shown, nothing thrown.
    EXPECT_FALSE(window->ExportRows(scratch.filePath("missing/rows.xlsx")));
    ASSERT_FALSE(errors.isEmpty());
    errors.clear();
}

// What cannot be opened or run is told in the window, and what was open
// stays: a database that is not there, a URL of no known form, a model
// that does not fit the database, a query file that is not a query.
TEST_F(Studio, BadInputIsToldAndLeavesWhatWasOpen)
{
    const studio::Workspace* before = window->CurrentWorkspace();
    for (const QString& url : {scratch.filePath("missing/none.sqlite"), QStringLiteral("nosuch:thing")}) {
        EXPECT_FALSE(window->OpenDatabase(url.startsWith("nosuch") ? url : "sqlite:" + url, BRINDLE_SAMPLE_FORM));
        EXPECT_EQ(window->CurrentWorkspace(), before);
        EXPECT_EQ(errors.size(), 1) << errors.join('\n').toStdString();
        errors.clear();
    }

    // The sample's model over an empty database: the database refuses the statement.
    QFile empty(scratch.filePath("empty.sqlite"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    ASSERT_TRUE(window->OpenDatabase(QStringLiteral("sqlite:") + scratch.filePath("empty.sqlite"), BRINDLE_SAMPLE_FORM));
    ASSERT_TRUE(window->OpenStoredQuery("uk_orders_2024"));
    press(Qt::Key_F5, {});
    EXPECT_FALSE(waitForRun());
    EXPECT_TRUE(window->RowsLabel()->text().startsWith("The statement failed")) << window->RowsLabel()->text().toStdString();

    QFile junk(QDir(queries).filePath("junk.qry"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("[Main]\nQueryName=Junk\nVersion=3.6\n[Row]\nRowCount=9999999999\n[Row1.]\nFieldID=oops\n");
    junk.close();
    ASSERT_TRUE(window->OpenQueryFolder(queries));
    window->OpenStoredQuery("Junk");
    errors.clear();
    EXPECT_TRUE(window->isVisible());
}

// The same query on the sample in one of the tests' servers gives the rows
// it gives on SQLite.
class StudioOnServer : public Studio {
protected:
    void expectTheSqliteRows(const char* urlFileName)
    {
        QFile urlFile(urlFileName);
        ASSERT_TRUE(urlFile.open(QIODevice::ReadOnly)) << "no test server: run through ctest";
        const QString url = QString::fromUtf8(urlFile.readAll()).trimmed();
        ASSERT_TRUE(window->OpenStoredQuery("uk_orders_2024"));
        press(Qt::Key_F5, {});
        ASSERT_TRUE(waitForRun());
        const QList<QStringList> onSqlite = gridRows();
        ASSERT_FALSE(onSqlite.isEmpty());

        ASSERT_TRUE(window->OpenDatabase(url, BRINDLE_SAMPLE_FORM));
        ASSERT_TRUE(window->OpenStoredQuery("uk_orders_2024"));
        press(Qt::Key_F5, {});
        ASSERT_TRUE(waitForRun()) << window->RowsLabel()->text().toStdString();
        EXPECT_EQ(gridRows(), onSqlite);
    }
};

TEST_F(StudioOnServer, PostgresGivesTheRowsSqliteGives)
{
    expectTheSqliteRows(BRINDLE_PG_URL_FILE);
}

TEST_F(StudioOnServer, MariaDBGivesTheRowsSqliteGives)
{
    expectTheSqliteRows(BRINDLE_MARIADB_URL_FILE);
}

} // namespace
