// How a host hears of changes: one changed() and one OnChange for each
// complete change, never before the change is whole, and the panel keeps
// working whatever the host does with the events of the labels it made.

#include "panels/panel_fixtures.h"

#include <brindle/panels/drop_down_edits.h>
#include <brindle/panels/drop_down_list.h>
#include <brindle/panels/word_labels.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>

using namespace brindle;
using brindle::fixtures::addCondition;

namespace {

class ChangeSignals : public ::fixtures::PanelWindow {
protected:
    void SetUp() override
    {
        PanelWindow::SetUp();
        panel->SetActive(true);
        query().OnChange = [this](QObject*) {
            ++onChange;
            // What the host sees at each report.
            seen << QString("%1 rows, %2 columns")
                        .arg(query().Filter()->GetRowCount())
                        .arg(query().QResult()->ResultFields().Count());
        };
    }
    void TearDown() override
    {
        if (panel)
            query().OnChange = nullptr;
        PanelWindow::TearDown();
    }
    TVxQuery& query() { return panel->Query(); }
    TFilterRow* root() { return query().Filter(); }

    int onChange = 0;
    QStringList seen;
};

} // namespace

TEST_F(ChangeSignals, EachKindOfChangeIsReportedOnceWhenWhole)
{
    QSignalSpy changed(panel, &TVxQueryPanel::changed);
    TSimpleCond* cond = addCondition(query(), query().Filter(), m.amount, m.op("Equal"), "5");
    query().QResult()->ResultFields().Add("@1", {m.custName}, "Name");
    TStringList saved;
    query().SaveToStrings(saved);

    // A value typed into a word and taken with Enter: one choice, one change.
    struct Step {
        const char* name;
        std::function<void()> run;
    };
    const Step steps[] = {
        {"typed value",
         [&] {
             QTest::mouseClick(panel->GetRowControl(cond, 3), Qt::LeftButton);
             auto* edit = qobject_cast<QLineEdit*>(panel->GetRowControl(cond, 3)->EditControl());
             ASSERT_TRUE(edit);
             edit->selectAll();
             QTest::keyClicks(edit, "42");
             QTest::keyClick(edit, Qt::Key_Return);
         }},
        {"command", [&] { query().AddConditionNum(query().Filter(), 2, m.custCity); }},
        {"move",
         [&] {
             panel->SetCurrentRow(query().Filter()->GetRow(1));
             panel->MoveCurRowUp();
         }},
        {"clear", [&] { query().ClearAll(); }},
        {"load", [&] { query().LoadFromStrings(saved); }},
        {"import", [&] { query().ParseSQL(brindle::fixtures::textLines("SELECT o.Amount FROM Orders o WHERE o.Amount > 3")); }},
        {"word by role", [&] { query().AcceptWordValue(query().Filter()->GetRow(0), wrValue1, "7"); }},
    };
    for (const Step& step : steps) {
        changed.clear();
        onChange = 0;
        seen.clear();
        step.run();
        EXPECT_EQ(changed.count(), 1) << step.name;
        EXPECT_EQ(onChange, 1) << step.name << ": " << seen.join(" | ").toStdString();
    }
}

TEST_F(ChangeSignals, ClearAllReportsOnlyOnceRowsAndColumnsAreGone)
{
    addCondition(query(), query().Filter(), m.amount, m.op("Equal"), "5");
    addCondition(query(), query().Filter(), m.custCity, m.op("Equal"), "Rome");
    for (TDSField* field : {m.custName, m.custCity, m.amount, m.orderDate})
        query().QResult()->ResultFields().Add("@1", {field}, field->DisplayName());
    seen.clear();
    // A host that rebuilds its view from the signal sees the same.
    QStringList fromSignal;
    const auto heard = QObject::connect(&query(), &TVxQuery::changed, panel, [&] {
        fromSignal << QString::number(query().QResult()->ResultFields().Count());
    });
    query().ClearAll();
    QObject::disconnect(heard);
    EXPECT_EQ(seen, QStringList{"0 rows, 0 columns"});
    EXPECT_EQ(fromSignal, QStringList{"0"});
}

// The host may set any event of a label the panel made: the label still
// applies what the user chooses, and the panel still follows it.
TEST_F(ChangeSignals, AHostsLabelEventsLeaveThePanelWorking)
{
    TSimpleCond* cond = addCondition(query(), query().Filter(), m.amount, m.op("Equal"), "5");
    TDropDownLabel* field = panel->GetRowControl(cond, 1);
    ASSERT_TRUE(field);
    QStringList host;
    field->OnAcceptValue = [&](TDropDownLabel*, const QString& value) { host << value; };
    field->BeforeDropDown = [&](TDropDownLabel*) { host << "before"; };
    field->AfterDropUp = [&](TDropDownLabel*, bool) { host << "after"; };
    ::fixtures::onPopup({Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return});
    QTest::mouseClick(field, Qt::LeftButton);
    ASSERT_EQ(host.size(), 3) << host.join('|').toStdString();
    EXPECT_EQ(host[0], "before");
    EXPECT_EQ(host[2], "after");
    TDSField* chosen = m.model.FieldByID(host[1].toInt());
    ASSERT_TRUE(chosen && chosen != m.amount) << host[1].toStdString();
    EXPECT_EQ(cond->Field(), chosen) << "the word took the choice";
    EXPECT_EQ(panel->CurrentRow(), cond) << "the panel still selects the row it opens";
    query().BuildQuery();
    EXPECT_TRUE(query().QResult()->GetSQL().Text().contains(chosen->FieldName()))
        << query().QResult()->GetSQL().Text().toStdString();
    field->OnAcceptValue = nullptr;
    field->BeforeDropDown = nullptr;
    field->AfterDropUp = nullptr;
}

// Two views of one word, and two views of one column list, both follow.
TEST_F(ChangeSignals, EveryViewOfAWordOrAListFollowsIt)
{
    TSimpleCond* cond = addCondition(query(), query().Filter(), m.amount, m.op("Equal"), "5");
    auto second = CreateWordLabel(*cond->ValueWord(1), &window);
    cond->SetValue(1, "9");
    EXPECT_EQ(second->Caption(), "9");
    EXPECT_EQ(panel->GetRowControl(cond, 3)->Caption(), "9");

    TRFieldList& fields = query().QResult()->ResultFields();
    QSignalSpy inserted(&fields, &TRFieldList::fieldInserted);
    QStringList queryHeard;
    const auto heard = QObject::connect(&query(), &TVxQuery::resultFieldInserted, panel,
                                        [&](int index) { queryHeard << QString::number(index); });
    fields.Add("@1", {m.custName}, "Name");
    QObject::disconnect(heard);
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(queryHeard, QStringList{"0"});
}

// A host that frees the panel, or rows, from its handlers: nothing runs on
// the freed objects afterwards.
TEST_F(ChangeSignals, AHostMayFreeRowsOrThePanelFromItsHandlers)
{
    TSimpleCond* cond = addCondition(query(), query().Filter(), m.amount, m.op("Equal"), "5");
    addCondition(query(), query().Filter(), m.custCity, m.op("Equal"), "Rome");
    query().OnChange = [this](QObject*) {
        if (query().Filter()->GetRowCount() > 1)
            query().Filter()->DeleteRow(1);
    };
    cond->SetValue(1, "6");
    EXPECT_EQ(query().Filter()->GetRowCount(), 1);

    QPointer<TVxQueryPanel> alive(panel);
    query().OnChange = [&](QObject*) { delete alive.data(); };
    EXPECT_TRUE(query().AcceptWordValue(cond, wrValue1, "7"));
    EXPECT_TRUE(alive.isNull());
    panel = nullptr;
    QApplication::processEvents();
}

// The host reloads the query or changes the font while a word's menu
// (drop-down or context) is open: the labels of the old rows go inside the
// menu's own event loop, and nothing runs on them once the menu closes.
TEST_F(ChangeSignals, AHostMayRemakeTheRowsWhileAMenuIsOpen)
{
    TSimpleCond* cond = addCondition(query(), query().Filter(), m.amount, m.op("Equal"), "5");
    TStringList saved;
    query().SaveToStrings(saved);
    const auto reloadWhileOpen = [&] {
        QTimer::singleShot(0, panel, [&] {
            query().LoadFromStrings(saved);
            QApplication::processEvents();
            if (QWidget* popup = QApplication::activePopupWidget())
                QTest::keyClick(popup, Qt::Key_Escape);
        });
    };
    reloadWhileOpen();
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    QApplication::processEvents();

    cond = static_cast<TSimpleCond*>(query().Filter()->GetRow(0));
    panel->SetCurrentRow(cond);
    panel->SetCurrentControlIndex(1);
    panel->setFocus();
    reloadWhileOpen();
    QTest::keyClick(panel, Qt::Key_Return);
    QApplication::processEvents();

    // A value word's context menu, clicked through the window as the platform
    // delivers it: the label goes while Qt still holds it as the pressed widget.
    cond = static_cast<TSimpleCond*>(query().Filter()->GetRow(0));
    const TDropDownLabel* value = panel->GetRowControl(cond, 3);
    QTimer::singleShot(0, panel, [&] {
        QFont larger = panel->font();
        larger.setPointSize(larger.pointSize() + 2);
        panel->setFont(larger);
        QApplication::processEvents();
        if (QWidget* popup = QApplication::activePopupWidget())
            QTest::keyClick(popup, Qt::Key_Escape);
    });
    QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, value->mapTo(&window, QPoint(2, 2)));
    QApplication::processEvents();
    EXPECT_EQ(query().Filter()->GetRowCount(), 1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}
