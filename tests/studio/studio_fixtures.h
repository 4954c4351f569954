#pragma once
// Brindle Studio on the bundled sample, with a copy of the example queries
// in a folder of its own and the window's settings kept out of the user's,
// and the moves of a user: clicks, keys and choices in popups and message
// boxes.

#include "sql_import_dialog.h"
#include "studio_window.h"

#include <brindle/designer/model_editor.h>
#include <brindle/panels/drop_down_label.h>
#include <brindle/panels/drop_down_list.h>
#include <brindle/panels/popup_menu.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/query_panel.h>

#include "result_output.h"

#include <brindle/query/bound_statement.h>
#include <brindle/query/result_model.h>

#include <QApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace fixtures {

inline void answer(QMessageBox::StandardButton button);

class Studio : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.filePath("settings"));
        queries = scratch.filePath("queries");
        QDir().mkpath(queries);
        for (const QString& name : QDir(BRINDLE_EXAMPLE_QUERIES).entryList({"*.qry"}))
            QFile::copy(QDir(BRINDLE_EXAMPLE_QUERIES).filePath(name), QDir(queries).filePath(name));
        brindle::SetWidgetErrorHandler([this](const QString& message) { errors << message; });
        brindle::InstallDataModelEditor();
        window = std::make_unique<brindle::studio::StudioWindow>();
        ASSERT_TRUE(window->OpenDatabase(QStringLiteral("sqlite:" BRINDLE_SAMPLE_DB), BRINDLE_SAMPLE_FORM));
        ASSERT_TRUE(window->OpenQueryFolder(queries));
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override
    {
        if (window)
            window->setAttribute(Qt::WA_DeleteOnClose, false);
        window.reset();
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    }

    // A key of the window's menus. The offscreen platform leaves no window
    // active once a popup closes, where a desktop gives it back.
    // A message box the key opens is answered with the button.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers, QMessageBox::StandardButton answer = QMessageBox::NoButton)
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        if (answer != QMessageBox::NoButton)
            fixtures::answer(answer);
        QTest::keyClick(window.get(), key, modifiers);
    }
    // Waits for the run to end, fetching every row as a scrolling grid would.
    bool waitForRun()
    {
        using State = brindle::QueryResultModel::State;
        brindle::QueryResultModel& rows = *window->Rows();
        for (int i = 0; i < 500; ++i) {
            if (rows.GetState() == State::Fetching && rows.canFetchMore({}))
                rows.fetchMore({});
            if (rows.GetState() == State::Finished)
                return true;
            if (rows.GetState() == State::Failed || rows.GetState() == State::Cancelled)
                return false;
            QTest::qWait(10);
        }
        return false;
    }
    QList<QStringList> gridRows() const
    {
        const QAbstractItemModel& rows = *window->Grid()->model();
        QList<QStringList> all;
        for (int row = 0; row < rows.rowCount(); ++row) {
            all.append(QStringList());
            for (int column = 0; column < rows.columnCount(); ++column)
                all.last() << brindle::cli::CellText(rows.data(rows.index(row, column), Qt::EditRole));
        }
        return all;
    }
    // The query's bound parameters, for running its statement by hand.
    QList<std::pair<QString, QVariant>> queryParameters() const
    {
        return brindle::BindStatement(query()).Values;
    }
    // The rows QtSql gives for the statement on the sample.
    static QList<QStringList> databaseRows(const QString& sql, const QList<std::pair<QString, QVariant>>& values)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "studio-check");
        db.setDatabaseName(BRINDLE_SAMPLE_DB);
        QList<QStringList> all;
        {
            EXPECT_TRUE(db.open());
            QSqlQuery run(db);
            EXPECT_TRUE(run.prepare(sql));
            for (const auto& [name, value] : values)
                run.bindValue(name, value);
            EXPECT_TRUE(run.exec()) << run.lastError().text().toStdString();
            while (run.next()) {
                all.append(QStringList());
                for (int column = 0; column < run.record().count(); ++column)
                    all.last() << brindle::cli::CellText(run.value(column));
            }
        }
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("studio-check");
        return all;
    }
    // The shared strings of a workbook, read with python3's zip module;
    // empty where there is no python3.
    static QStringList workbookStrings(const QString& path)
    {
        QProcess python;
        python.start("python3", {"-c", "import sys, zipfile, re; "
                                       "x = zipfile.ZipFile(sys.argv[1]).read('xl/sharedStrings.xml').decode(); "
                                       "print('\\n'.join(re.findall(r'<t[^>]*>([^<]*)</t>', x)))",
                                 path});
        if (!python.waitForFinished(10000) || python.exitCode() != 0)
            return {};
        return QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }
    brindle::TVxQuery& query() const { return window->Query(); }
    brindle::TVxQueryPanel* panel() const { return window->QueryPanel(); }
    std::string statement() const { return window->StatementView()->toPlainText().toStdString(); }
    std::string queryText() const
    {
        brindle::TStringList lines;
        query().SaveToStrings(lines);
        return lines.Text().toStdString();
    }

    QTemporaryDir scratch;
    QString queries;
    QStringList errors;
    std::unique_ptr<brindle::studio::StudioWindow> window;
};

// Once the word's menu opens, chooses the entry of that caption, in it or
// in one of its submenus, with the keys a user presses: Down to it, Right
// into its submenu, Return.
inline void choose(brindle::TDropDownLabel* word, const QString& caption)
{
    auto* popup = qobject_cast<brindle::TDropDownPopup*>(word);
    ASSERT_TRUE(popup) << caption.toStdString();
    QTimer::singleShot(0, [popup, caption] {
        QList<Qt::Key> keys;
        const auto find = [&](const brindle::TVxMenuItem& level, const auto& self) -> bool {
            for (int i = 0, shown = 0; i < level.Count(); ++i) {
                const brindle::TVxMenuItem& item = *level.Items(i);
                if (item.IsLine())
                    continue;
                ++shown;
                const qsizetype mark = keys.size();
                keys.append(QList<Qt::Key>(shown, Qt::Key_Down));
                if (item.Count() == 0 && item.ShownCaption() == caption)
                    return true;
                if (item.Count() > 0) {
                    keys << Qt::Key_Right;
                    const qsizetype inner = keys.size();
                    if (self(item, self)) {
                        // Right selects the submenu's first entry already.
                        keys.removeAt(inner);
                        return true;
                    }
                }
                keys.resize(mark);
            }
            return false;
        };
        QWidget* open = QApplication::activePopupWidget();
        ASSERT_TRUE(open) << caption.toStdString();
        if (!find(popup->Menu()->Items(), find)) {
            QTest::keyClick(open, Qt::Key_Escape);
            FAIL() << "no menu entry " << caption.toStdString();
        }
        keys << Qt::Key_Return;
        for (Qt::Key key : keys)
            QTest::keyClick(QApplication::activePopupWidget(), key);
    });
}

// Once a message box opens, presses its button of that role.
inline void answer(QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, [button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    });
}

// Clicks a word as a user does: at its left end, inside its text.
inline void clickWord(QWidget* word)
{
    ASSERT_TRUE(word);
    QTest::mouseClick(word, Qt::LeftButton, {}, QPoint(3, word->height() / 2));
}

// Clicks the word open and types the text into its editor.
inline void typeInto(brindle::TDropDownLabel* word, const QString& text)
{
    clickWord(word);
    ASSERT_TRUE(word->EditControl());
    QTest::keyClick(word->EditControl(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(word->EditControl(), text);
    QTest::keyClick(word->EditControl(), Qt::Key_Return);
}

} // namespace fixtures
