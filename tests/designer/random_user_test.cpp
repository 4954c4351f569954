// A seeded random user of the sample model: it clicks words, row buttons,
// check boxes and the add-row lines of the query and result fields panels,
// presses keys and types into the editors it opened, selects and drags
// boxes of the design panel, edits the model through its editor and its
// calls, while a host loads queries, clears them and changes the panels'
// looks, at times from inside an open menu or dialog. After every step the
// query must still read back as it was saved, build the same statement
// twice without changing, be what the panels show, and have left the model
// alone; nothing but the library's own errors may come out.
//
// BRINDLE_RANDOM_SEEDS, BRINDLE_RANDOM_STEPS and BRINDLE_RANDOM_FIRST_SEED
// set the run; BRINDLE_RANDOM_VERBOSE=1 prints each step as it is taken,
// which shows the steps of a run that a sanitizer ends.

#include "designer/design_fixtures.h"

#include <brindle/datamodel/sql_db_info.h>
#include <brindle/designer/model_editor.h>
#include <brindle/designer/table_rep.h>
#include <brindle/foundations/errors.h>
#include <brindle/panels/interaction.h>
#include <brindle/panels/query_panel.h>
#include <brindle/panels/result_fields_panel.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace brindle;

namespace {

int envInt(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

std::string text(const QString& s)
{
    return s.toStdString();
}

QString saved(TVxQuery& query)
{
    TStringList lines;
    query.SaveToStrings(lines);
    return lines.Text();
}

// The lines between the common head and tail, "-" before and "+" after.
std::string difference(const QString& before, const QString& after)
{
    const QStringList a = before.split(u'\n');
    const QStringList b = after.split(u'\n');
    qsizetype head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    qsizetype tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    std::string out;
    for (qsizetype i = head; i < a.size() - tail; ++i)
        out += "  - " + a[i].toStdString() + '\n';
    for (qsizetype i = head; i < b.size() - tail; ++i)
        out += "  + " + b[i].toStdString() + '\n';
    return out;
}

// The button caption a row must show: its place in the tree, "2.1".
QString placeOf(const TFilterRow* row)
{
    QStringList parts;
    for (; row->ParentBracket(); row = row->ParentBracket())
        parts.prepend(QString::number(row->ParentBracket()->IndexOf(row) + 1));
    return parts.join(u'.');
}

template <typename W>
QList<W*> usable(QWidget* parent)
{
    QList<W*> found;
    for (W* widget : parent->findChildren<W*>())
        if (widget->isVisible() && widget->isEnabled())
            found << widget;
    return found;
}

// Input goes through the widget's window, as the platform delivers a
// user's: the widget may go inside its own event, and nothing here may
// touch it afterwards. A point out of view would reach another widget.
void click(QWidget* widget, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at, bool twice = false)
{
    if (!widget->visibleRegion().contains(at))
        return;
    QWindow* window = widget->window()->windowHandle();
    const QPoint there = widget->mapTo(widget->window(), at);
    if (twice)
        QTest::mouseDClick(window, button, modifiers, there);
    else
        QTest::mouseClick(window, button, modifiers, there);
}
void key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(widget->window()->windowHandle(), key, modifiers);
}
void type(QWidget* widget, const QString& typed)
{
    for (QChar c : typed)
        QTest::keyClick(widget->window()->windowHandle(), c.toLatin1());
}

class RandomUser {
public:
    RandomUser(unsigned seed, bool verbose) : FSeed(seed), FRandom(seed), FVerbose(verbose)
    {
        FModel.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_MODEL));
#ifdef BRINDLE_SAMPLE_DB
        FInfo.SetDatabaseName(QStringLiteral(BRINDLE_SAMPLE_DB));
        FInfo.Open();
        FModel.SetDatabaseInfo(&FInfo);
#endif
        for (const QFileInfo& file : QDir(QStringLiteral(BRINDLE_EXAMPLE_QUERIES)).entryInfoList({"*.qry"}))
            FQueries << file.absoluteFilePath();
        FWindow.resize(1000, 700);
        FPanel = new TVxQueryPanel(&FWindow);
        FPanel->setGeometry(0, 0, 500, 350);
        FFields = new TVxResultFieldsPanel(&FWindow);
        FFields->setGeometry(500, 0, 500, 350);
        FDesign = new TVxStructDesignPanel(&FWindow);
        FDesign->setGeometry(0, 350, 1000, 350);
        FWindow.show();
        FWindow.activateWindow();
        if (!QTest::qWaitForWindowActive(&FWindow))
            ADD_FAILURE() << "the window did not become active";
        FPanel->Query().SetDbStruct(&FModel);
        FPanel->SetActive(true);
        FFields->BindQuery(&FPanel->Query());
        FFields->SetActive(true);
#ifdef BRINDLE_SAMPLE_DB
        FDesign->SetDBStruct(&FModel);
        FDesign->Activate();
#endif
        if (!chance(3))
            hostLoadQuery();
        InstallDataModelEditor();
        SetAskHandler([this](const QString& question) {
            const bool yes = chance(2);
            note("  asked \"" + text(question.left(60)) + "\": " + (yes ? "yes" : "no"));
            return yes;
        });
        SetWidgetErrorHandler([this](const QString& message) { errorShown(message); });
        // The offscreen platform tells of every window it cannot raise.
        static QtMessageHandler shown = nullptr;
        shown = FMessages = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                if (shown && !message.startsWith(QLatin1String("This plugin does not support")))
                    shown(type, context, message);
            });
        FWatchdog.setInterval(2);
        QObject::connect(&FWatchdog, &QTimer::timeout, [this] { watch(); });
        FWatchdog.start();
        FModelText = fixtures::modelText(FModel);
    }
    ~RandomUser()
    {
        FWatchdog.stop();
        qInstallMessageHandler(FMessages);
        SetAskHandler({});
        SetWidgetErrorHandler([](const QString& message) { ADD_FAILURE() << message.toStdString(); });
    }

    // False, with the failure reported, when an invariant broke.
    bool run(int steps)
    {
        for (int step = 1; step <= steps && FFailure.empty(); ++step) {
            FModelStep = false;
            note("step " + std::to_string(step) + ":");
            try {
                act();
            } catch (const Exception& error) {
                note("  error: " + std::string(error.what()));
            } catch (const std::exception& error) {
                fail(std::string("a foreign exception came out: ") + error.what());
            }
            settle();
            if (FFailure.empty())
                check();
        }
        if (!FFailure.empty())
            ADD_FAILURE() << "seed " << FSeed << ": " << FFailure << "\nsteps:\n" << FTrail
                          << "replay: BRINDLE_RANDOM_FIRST_SEED=" << FSeed << " BRINDLE_RANDOM_SEEDS=1";
        return FFailure.empty();
    }

private:
    int pick(int count) { return count <= 1 ? 0 : std::uniform_int_distribution<int>(0, count - 1)(FRandom); }
    bool chance(int oneIn) { return pick(oneIn) == 0; }
    template <typename T>
    T* pickOf(const QList<T*>& list)
    {
        return list.isEmpty() ? nullptr : list[pick(static_cast<int>(list.size()))];
    }

    void note(const std::string& line)
    {
        FTrail += line + '\n';
        if (FVerbose)
            std::fprintf(stderr, "%s\n", line.c_str());
    }
    void fail(const std::string& what)
    {
        if (FFailure.empty())
            FFailure = what;
    }
    // What reached the event loop's boundary was caught there by the
    // library; it must be one of the library's errors, and not an index
    // past a list's end, which no click may give.
    void errorShown(const QString& message)
    {
        note("  error shown: " + text(message));
        const std::exception_ptr current = std::current_exception();
        if (!current)
            return;
        try {
            std::rethrow_exception(current);
        } catch (const EListError&) {
            fail("a list index error reached the user: " + text(message));
        } catch (const Exception&) {
        } catch (...) {
            fail("a foreign exception reached the event loop: " + text(message));
        }
    }
    // Deleted labels go, posted changes land.
    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    // --- the steps
    void act()
    {
        // Each step's share of a hundred, in order.
        static constexpr std::pair<int, void (RandomUser::*)()> steps[] = {
            {30, &RandomUser::clickWord},     {40, &RandomUser::pressKey},       {46, &RandomUser::typeText},
            {54, &RandomUser::clickRowButton}, {58, &RandomUser::clickCheckBox},  {64, &RandomUser::clickAddRow},
            {74, &RandomUser::useFieldsPanel}, {80, &RandomUser::useDesignPanel}, {86, &RandomUser::editModel},
            {100, &RandomUser::hostActs}};
        const int kind = pick(100);
        for (const auto& [below, step] : steps)
            if (kind < below)
                return (this->*step)();
    }

    // Every row, the root first, in tree order.
    QList<TFilterRow*> treeOrder() const
    {
        QList<TFilterRow*> rows;
        std::vector<TFilterRow*> stack{FPanel->Query().Filter()};
        while (!stack.empty()) {
            TFilterRow* row = stack.back();
            stack.pop_back();
            rows << row;
            if (row->IsBracket())
                for (int i = static_cast<TFilterBracket*>(row)->GetRowCount() - 1; i >= 0; --i)
                    stack.push_back(static_cast<TFilterBracket*>(row)->GetRow(i));
        }
        return rows;
    }
    // Rows near the viewport, which have controls, in tree order.
    QList<TFilterRow*> rowsWithControls() const
    {
        QList<TFilterRow*> rows;
        for (TFilterRow* row : treeOrder())
            if (FPanel->RowButton(row))
                rows << row;
        return rows;
    }
    void clickOn(QWidget* widget, const std::string& what)
    {
        static const struct {
            const char* name;
            Qt::MouseButton button;
            Qt::KeyboardModifiers modifiers;
            bool twice;
        } ways[] = {{"double-click", Qt::LeftButton, {}, true},
                    {"right-click", Qt::RightButton, {}, false},
                    {"ctrl-click", Qt::LeftButton, Qt::ControlModifier, false},
                    {"click", Qt::LeftButton, {}, false}};
        const auto& way = ways[std::min(pick(12), 3)];
        note(std::string("  ") + way.name + " " + what);
        click(widget, way.button, way.modifiers, widget->rect().center(), way.twice);
    }
    void clickWord()
    {
        QList<std::pair<TDropDownLabel*, std::string>> words;
        for (TFilterRow* row : rowsWithControls())
            for (int index : TVxQueryPanel::ControlIndexes)
                if (TDropDownLabel* label = FPanel->GetRowControl(row, index);
                    label && label->isVisible() && label->isEnabled())
                    words.append({label, "word " + std::to_string(index) + " \"" + text(label->Caption())
                                             + "\" of row " + text(placeOf(row))});
        if (words.isEmpty())
            return clickAddRow();
        const auto& [label, what] = words[pick(static_cast<int>(words.size()))];
        clickOn(label, what);
        if (chance(2))
            typeText();
    }
    // The editor that has the focus, or the panel.
    QWidget* keyTarget()
    {
        QWidget* focused = QApplication::focusWidget();
        if (focused && FPanel->isAncestorOf(focused))
            return focused;
        FPanel->setFocus();
        return FPanel;
    }
    void pressKey()
    {
        static const Qt::Key keys[] = {Qt::Key_Insert, Qt::Key_Delete, Qt::Key_Up,     Qt::Key_Down,
                                       Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Return, Qt::Key_Escape,
                                       Qt::Key_Tab,    Qt::Key_Space,  Qt::Key_Home,   Qt::Key_End,
                                       Qt::Key_Z};
        const Qt::Key pressed = keys[pick(std::size(keys))];
        Qt::KeyboardModifiers modifiers;
        if (pressed == Qt::Key_Z)
            modifiers = chance(3) ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier;
        else if (pressed >= Qt::Key_Left && pressed <= Qt::Key_Down && chance(3))
            modifiers = Qt::ControlModifier;
        QWidget* target = keyTarget();
        note("  key " + text(QKeySequence(pressed | modifiers).toString()) + " on " + target->metaObject()->className());
        key(target, pressed, modifiers);
    }
    QString randomText()
    {
        static const QString letters = QStringLiteral("abcXYZ 0123456789,.-:/'\"@%()=<>;");
        QString typed;
        for (int n = pick(9); n > 0; --n)
            typed += letters[pick(static_cast<int>(letters.size()))];
        return typed;
    }
    void typeText()
    {
        QWidget* target = keyTarget();
        if (!qobject_cast<QLineEdit*>(target) && !qobject_cast<QAbstractSpinBox*>(target))
            return;
        if (chance(5)) {
            note(std::string("  double-click inside ") + target->metaObject()->className());
            click(target, Qt::LeftButton, {}, target->rect().center(), true);
            target = keyTarget();
        }
        const QString typed = randomText();
        note("  type \"" + text(typed) + "\" into " + target->metaObject()->className());
        type(target, typed);
        if (!chance(3)) {
            const bool enter = !chance(3);
            note(enter ? "  key Return" : "  key Escape");
            key(target, enter ? Qt::Key_Return : Qt::Key_Escape);
        }
    }
    // A row whose control is shown, or none.
    template <typename Control>
    TFilterRow* rowShowing(Control control)
    {
        QList<TFilterRow*> rows;
        for (TFilterRow* row : rowsWithControls())
            if (QWidget* shown = (FPanel->*control)(row); shown && shown->isVisible())
                rows << row;
        return pickOf(rows);
    }
    void clickRowButton()
    {
        if (TFilterRow* row = rowShowing(&TVxQueryPanel::RowButton))
            clickOn(FPanel->RowButton(row), "button of row " + text(placeOf(row)));
    }
    void clickCheckBox()
    {
        if (TFilterRow* row = rowShowing(&TVxQueryPanel::RowCheckBox)) {
            note("  click check box of row " + text(placeOf(row)));
            QCheckBox* box = FPanel->RowCheckBox(row);
            click(box, Qt::LeftButton, {}, QPoint(qMin(8, box->width() / 2), box->height() / 2));
        }
    }
    void clickAddRow()
    {
        TDropDownLabel* line = FPanel->AddRowLabel();
        if (line && line->isVisible())
            clickOn(line, "the add-row line");
        else if (chance(2)) {
            note("  click the panel's background");
            click(FPanel->viewport(), Qt::LeftButton, {}, FPanel->viewport()->rect().bottomRight() - QPoint(3, 3));
        }
    }
    void useFieldsPanel()
    {
        QList<std::pair<QWidget*, std::string>> targets;
        if (FFields->AddRowLabel() && FFields->AddRowLabel()->isVisible())
            targets.append({FFields->AddRowLabel(), "the add-column line"});
        for (int i = 0; i < FFields->RowCount(); ++i) {
            TResultFieldRow* row = FFields->Row(i);
            const std::string n = std::to_string(i + 1);
            if (row->FieldLabel() && row->FieldLabel()->isVisible())
                targets.append({row->FieldLabel(), "field word of column " + n});
            if (row->SortLabel() && row->SortLabel()->isVisible())
                targets.append({row->SortLabel(), "sort word of column " + n});
            if (row->Button() && row->Button()->isVisible())
                targets.append({row->Button(), "button of column " + n});
        }
        if (targets.isEmpty())
            return;
        const auto& [widget, what] = targets[pick(static_cast<int>(targets.size()))];
        clickOn(widget, what);
    }
    void useDesignPanel()
    {
        if (!FDesign->Active() || FDesign->TablesRep().IsEmpty())
            return;
        TTableRep* box = FDesign->TablesRep()[pick(FDesign->TablesRep().Count())];
        const std::string name = "box " + text(box->DSTable() ? box->DSTable()->TableName() : QString());
        // Only boxes in view have widgets: the user scrolls to the box first.
        FDesign->DesignArea()->ensureVisible(box->geometry().x(), box->geometry().y());
        QWidget* title = box->TitleBar();
        if (!title)
            return fail("a box scrolled into view has no title bar");
        const QPoint from(title->width() / 2, title->height() / 2);
        if (chance(2)) {
            note("  click the title of " + name);
            click(title, Qt::LeftButton, {}, from);
            return;
        }
        const QPoint to = from + QPoint(pick(81) - 40, pick(81) - 40);
        note("  drag " + name + " by " + std::to_string(to.x() - from.x()) + "," + std::to_string(to.y() - from.y()));
        FModelStep = true;
        QTest::mousePress(title, Qt::LeftButton, {}, from);
        QTest::mouseMove(title, to);
        QTest::mouseRelease(title, Qt::LeftButton, {}, to);
    }

    // --- the model, changed on purpose
    void editModel()
    {
        FModelStep = true;
        const int what = pick(8);
        if (what == 0) {
            note("  open the data model editor");
            FModel.EditStructure();
        } else if (what == 1 && FModel.FieldCount() > 0) {
            const int index = pick(FModel.FieldCount());
            note("  delete field " + text(FModel.Fields(index)->DisplayName()));
            FModel.DelField(index);
        } else if (what == 2 && FModel.TableCount() > 0 && chance(3)) {
            const int index = pick(FModel.TableCount());
            note("  delete table " + text(FModel.Tables(index)->TableName()));
            FModel.DelTable(index);
        } else if (what == 3 && FModel.LinkCount() > 0) {
            note("  delete a link");
            FModel.DelLink(pick(FModel.LinkCount()));
        } else if (what == 4 && FModel.FieldCount() > 0) {
            TDSField* field = FModel.Fields(pick(FModel.FieldCount()));
            const QString name = randomText();
            note("  rename field " + text(field->DisplayName()) + " to \"" + text(name) + "\"");
            field->SetDisplayName(name);
        } else if (what == 5 && FModel.TableCount() > 0) {
            TDSTable* table = FModel.Tables(pick(FModel.TableCount()));
            const QString alias = randomText();
            note("  alias table " + text(table->TableName()) + " as \"" + text(alias) + "\"");
            table->SetTableAlias(alias);
        } else if (what == 6 && chance(2)) {
            note("  reload the sample model");
            FModel.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_MODEL));
        } else {
            note("  open the data model editor");
            FModel.EditStructure();
        }
    }

    // --- the host
    void hostLoadQuery()
    {
        const QString file = FQueries[pick(static_cast<int>(FQueries.size()))];
        note("  host loads " + text(QFileInfo(file).fileName()));
        FPanel->Query().LoadFromFile(file);
    }
    void hostActs()
    {
        const int what = pick(10);
        TVxQuery& query = FPanel->Query();
        if (what == 0) {
            hostLoadQuery();
        } else if (what == 1) {
            note("  host clears the query");
            query.ClearAll();
        } else if (what == 2) {
            TQPAppearanceOptions options = FPanel->Appearance().Options();
            const auto option = static_cast<TQPAppearanceOption>(pick(aoFieldsMenuOnAdd + 1));
            options.Set(option, !options.Contains(option));
            note("  host turns appearance option " + std::to_string(option) + (options.Contains(option) ? " on" : " off"));
            FPanel->Appearance().SetOptions(options);
        } else if (what == 3) {
            const auto style = static_cast<TLogicalOperatorStyle>(pick(3));
            note("  host sets the logical operator style " + std::to_string(style));
            FPanel->Appearance().SetLogOpStyle(style);
        } else if (what == 4) {
            QFont font = FPanel->font();
            font.setPointSize(6 + pick(14));
            note("  host sets the font size " + std::to_string(font.pointSize()));
            (chance(2) ? static_cast<QWidget*>(FPanel) : static_cast<QWidget*>(FFields))->setFont(font);
        } else if (what == 5) {
            note("  host loads the saved text back");
            TStringList lines;
            query.SaveToStrings(lines);
            query.LoadFromStrings(lines);
        } else if (what == 6) {
            const bool on = !query.SaveSQLOptions();
            note(std::string("  host ") + (on ? "saves" : "does not save") + " statement options");
            query.SetSaveSQLOptions(on);
        } else if (what == 7) {
            note("  host opens the titles editor");
            FPanel->EditTitles();
        } else if (what == 8) {
            note("  host opens the result fields editor");
            FPanel->EditQResult();
        } else {
            note("  host refreshes the panel");
            FPanel->RefreshPanel();
        }
    }

    // --- whatever is open: menus, lists, dialogs
    void watch()
    {
        if (FActing || (!QApplication::activePopupWidget() && !QApplication::activeModalWidget()))
            return;
        FActing = true;
        // A single shot runs inside the loop of whatever it opens, where the
        // watchdog's own tick would wait for it.
        QTimer::singleShot(0, &FWatchdog, [this] {
            FActing = false;
            try {
                if (QWidget* popup = QApplication::activePopupWidget())
                    actOnPopup(popup);
                else if (QWidget* modal = QApplication::activeModalWidget())
                    actOnDialog(modal);
            } catch (const Exception& error) {
                note("  error: " + std::string(error.what()));
            } catch (const std::exception& error) {
                fail(std::string("a foreign exception came out: ") + error.what());
            }
        });
    }
    bool stuck(QWidget* open)
    {
        if (open != FLastOpen) {
            FLastOpen = open;
            FActions = 0;
        }
        return ++FActions > 8;
    }
    void actOnPopup(QWidget* popup)
    {
        if (stuck(popup)) {
            note("  the popup is closed");
            popup->close();
            return;
        }
        if (chance(20)) {
            note("  while a popup is open:");
            chance(3) ? editModel() : hostActs();
        }
        if (QApplication::activePopupWidget() != popup)
            return;
        const int downs = pick(6);
        const bool accept = !chance(4);
        note("  in the popup: key Down x" + std::to_string(downs) + (accept ? ", Return" : ", Escape"));
        for (int i = 0; i < downs && QApplication::activePopupWidget(); ++i)
            key(QApplication::activePopupWidget(), Qt::Key_Down);
        if (QApplication::activePopupWidget())
            key(QApplication::activePopupWidget(), accept ? Qt::Key_Return : Qt::Key_Escape);
    }
    // A dialog's widgets outlive their own events: they take input directly.
    void actOnDialog(QWidget* dialog)
    {
        const std::string name = dialog->metaObject()->className();
        if (stuck(dialog) || qobject_cast<QFileDialog*>(dialog)) {
            note("  " + name + " is closed");
            if (auto* modal = qobject_cast<QDialog*>(dialog))
                modal->reject();
            else
                dialog->close();
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            QAbstractButton* button = pickOf(box->buttons());
            note("  in " + name + ": " + text(box->text().left(60)) + ": " + text(button->text()));
            button->click();
            return;
        }
        const int what = pick(10);
        if (what < 3) {
            if (QLineEdit* edit = pickOf(usable<QLineEdit>(dialog)); edit && !edit->isReadOnly()) {
                const QString typed = randomText();
                const bool replace = chance(2);
                // Editors' boxes are unnamed: the text they hold tells them apart.
                note("  in " + name + ": " + (replace ? "replace" : "type") + " \"" + text(typed) + "\" into " +
                     (edit->objectName().isEmpty() ? "the box holding \"" + text(edit->text()) + "\""
                                                   : text(edit->objectName())));
                edit->setFocus();
                if (replace)
                    key(edit, Qt::Key_A, Qt::ControlModifier);
                type(edit, typed);
            }
        } else if (what == 3) {
            if (QCheckBox* box = pickOf(usable<QCheckBox>(dialog))) {
                note("  in " + name + ": click " + text(box->text()));
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(qMin(8, box->width() / 2), box->height() / 2));
            }
        } else if (what == 4) {
            if (QTabWidget* tabs = pickOf(usable<QTabWidget>(dialog))) {
                const int page = pick(tabs->count());
                note("  in " + name + ": page " + std::to_string(page));
                tabs->setCurrentIndex(page);
            }
        } else if (what == 5) {
            if (QListWidget* list = pickOf(usable<QListWidget>(dialog)); list && list->count() > 0) {
                QListWidgetItem* item = list->item(pick(list->count()));
                note("  in " + name + ": click list row " + text(item->text()));
                list->scrollToItem(item);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
            }
        } else if (what == 6 && chance(3)) {
            note("  while " + name + " is open:");
            chance(2) ? editModel() : hostActs();
        } else {
            QList<QPushButton*> finish;
            for (QPushButton* button : usable<QPushButton>(dialog))
                if (button->text().remove(u'&') == "OK" || button->text().remove(u'&') == "Cancel")
                    finish << button;
            if (QPushButton* button = pickOf(finish)) {
                note("  in " + name + ": " + text(button->text()));
                QTest::mouseClick(button, Qt::LeftButton);
            } else {
                note("  in " + name + ": key Escape");
                key(dialog, Qt::Key_Escape);
            }
        }
    }

    // --- the invariants
    void check()
    {
        const QString model = fixtures::modelText(FModel);
        if (!FModelStep && model != FModelText)
            return fail("a panel action changed the data model:\n" + difference(FModelText, model));
        FModelText = model;
        try {
            checkQueryText();
            checkRows();
            checkFieldRows();
            checkDesign();
        } catch (const Exception& error) {
            fail("checking raised " + std::string(error.what()));
        }
    }
    void checkQueryText()
    {
        TVxQuery& query = FPanel->Query();
        const QString before = saved(query);
        TVxQuery fresh;
        fresh.SetDbStruct(&FModel);
        fresh.SetActive(query.Active());
        fresh.SetSaveTitles(query.SaveTitles());
        fresh.SetSaveSQLOptions(query.SaveSQLOptions());
        TStringList lines;
        lines.SetText(before);
        fresh.LoadFromStrings(lines);
        if (const QString again = saved(fresh); again != before)
            return fail("the query text reads back otherwise:\n" + difference(before, again));
        const auto build = [](TVxQuery& built) {
            try {
                built.BuildQuery();
                return built.QResult()->GetSQL().Text();
            } catch (const Exception& error) {
                return QStringLiteral("error: ") + QString::fromUtf8(error.what());
            }
        };
        // A build takes the input of an open editor, which is the user's step.
        for (TDropDownLabel* label : FPanel->findChildren<TDropDownLabel*>())
            if (label->Dropped())
                return;
        const QString first = build(query);
        const QString second = build(query);
        if (first != second)
            return fail("two builds differ:\n" + difference(first, second));
        // Reading numbers the parameters in tree order, as the format says.
        static const QRegularExpression parameter(QStringLiteral("Param\\d+"));
        const QString copy = build(fresh);
        if (QString(copy).replace(parameter, "Param#") != QString(first).replace(parameter, "Param#"))
            return fail("the query read back builds another statement:\n" + difference(first, copy));
        if (const QString after = saved(query); after != before)
            return fail("building changed the query text:\n" + difference(before, after));
    }
    void checkRows()
    {
        TVxQuery& query = FPanel->Query();
        if (!FPanel->Active())
            return;
        const bool hiddenRoot = FPanel->Appearance().Options().Contains(aoHideRootRow);
        int line = 0;
        int lastTop = -1;
        for (TFilterRow* row : treeOrder()) {
            const std::string where = "row " + text(placeOf(row));
            if (FPanel->RowSlot(row) != line - (hiddenRoot ? 1 : 0))
                return fail(where + " stands in slot " + std::to_string(FPanel->RowSlot(row)));
            if (TFilterBtn* button = FPanel->RowButton(row); button && button->isVisible() && row != query.Filter()) {
                if (button->Caption() != placeOf(row))
                    return fail(where + " shows the number " + text(button->Caption()));
                if (button->y() <= lastTop)
                    return fail(where + " stands above the row before it");
                lastTop = button->y();
                for (int index : TVxQueryPanel::ControlIndexes) {
                    TDropDownLabel* label = FPanel->GetRowControl(row, index);
                    TQueryWord* word = TVxQueryPanel::RowWord(row, index);
                    if (label && word && &label->Word() != word)
                        return fail(where + " word " + std::to_string(index) + " shows another word");
                }
            }
            ++line;
        }
        if (TFilterRow* current = FPanel->CurrentRow(); current && !query.Contains(current))
            fail("the current row is out of the tree");
    }
    void checkFieldRows()
    {
        TRFieldList& list = FFields->ResultFields();
        if (&list != &FPanel->Query().QResult()->ResultFields())
            return fail("the result fields panel left the query's columns");
        if (!FFields->Active())
            return;
        if (FFields->RowCount() != list.Count())
            return fail("the result fields panel shows " + std::to_string(FFields->RowCount()) + " of "
                        + std::to_string(list.Count()) + " columns");
        for (int i = 0; i < list.Count(); ++i)
            if (FFields->Row(i)->RField() != list.GetRField(i))
                return fail("column " + std::to_string(i + 1) + " shows another result field");
    }
    void checkDesign()
    {
        if (!FDesign->Active())
            return;
        for (const auto& box : FDesign->TablesRep())
            if (!tableInModel(box->DSTable()))
                return fail("a box shows a table the model no longer has");
    }

    bool tableInModel(const TDSTable* table) const
    {
        for (int i = 0; i < FModel.TableCount(); ++i)
            if (FModel.Tables(i) == table)
                return true;
        return false;
    }

    unsigned FSeed;
    std::mt19937 FRandom;
    bool FVerbose;
    std::string FTrail;
    std::string FFailure;
    bool FModelStep = false;
    QString FModelText;
    QStringList FQueries;
    TVxSqlDBInfo FInfo;
    TVxDBStructure FModel;
    QWidget FWindow;
    TVxQueryPanel* FPanel;
    TVxResultFieldsPanel* FFields;
    TVxStructDesignPanel* FDesign;
    QTimer FWatchdog;
    QtMessageHandler FMessages = nullptr;
    bool FActing = false;
    QWidget* FLastOpen = nullptr;
    int FActions = 0;
};

TEST(RandomUser, KeepsTheQueryWholeWhateverItClicks)
{
    const int first = envInt("BRINDLE_RANDOM_FIRST_SEED", 1);
    const int seeds = envInt("BRINDLE_RANDOM_SEEDS", 8);
    const int steps = envInt("BRINDLE_RANDOM_STEPS", 200);
    const bool verbose = envInt("BRINDLE_RANDOM_VERBOSE", 0) != 0;
    for (int seed = first; seed < first + seeds; ++seed) {
        std::fprintf(stderr, "random user: seed %d\n", seed);
        RandomUser user(static_cast<unsigned>(seed), verbose);
        if (!user.run(steps))
            break;
    }
}

} // namespace
