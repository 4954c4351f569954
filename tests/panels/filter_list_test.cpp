// Finding a field among thousands: a field popup or list too big for the
// screen opens as a search line over a filtered list, typed into as a user
// types, its choice checked through the query.

#include "panels/panel_fixtures.h"

#include <brindle/panels/drop_down_list_box.h>
#include <brindle/panels/filter_list.h>
#include <brindle/panels/system_metrics.h>

#include <QLineEdit>
#include <QListView>

using namespace brindle;
using brindle::fixtures::addCondition;

namespace {

// Once the next popup is open: the search form it must be, typed into.
void onFilter(std::function<void(TFilterList*)> work)
{
    QTimer::singleShot(0, [work] {
        auto* form = qobject_cast<TFilterList*>(QApplication::activePopupWidget());
        ASSERT_TRUE(form) << "a menu too big for the screen opens as a search";
        work(form);
        if (form->isVisible())
            QTest::keyClick(form, Qt::Key_Escape);
    });
}

QStringList shown(TFilterList* form)
{
    QStringList captions;
    for (int row = 0; row < form->Model().rowCount(); ++row)
        captions << form->Model().index(row).data().toString();
    return captions;
}

class Filtering : public ::fixtures::PanelWindow {
protected:
    void SetUp() override
    {
        ::fixtures::PanelWindow::SetUp();
        TDSTable* orders = m.orderID->Table();
        for (int i = 0; i < 1500; ++i)
            extra.push_back(add(orders, QStringLiteral("X%1").arg(i), QStringLiteral("Extra %1").arg(i)));
        shipVia = add(orders, "ShipVia", "Ship via");
        TDSFieldGroup* shipping = m.model.FieldGroups().AddGroup("Shipping", shipVia);
        shipping->Add(add(orders, "Price", "Price (€) [net]*"));
        panel->Query().SetActive(true);
        cond = static_cast<TSimpleCond*>(addCondition(panel->Query(), panel->Query().Filter(), m.custCity,
                                                      m.op("Equal"), "Cork"));
    }
    TDSField* add(TDSTable* table, const QString& column, const QString& caption)
    {
        TDSField* field = m.model.Fields(m.model.AddField(kfkVirtual, "o." + column, caption, table));
        field->SetFieldType(ftString);
        field->AddAppliedOperators();
        return field;
    }
    TDropDownLabel* fieldWord() { return panel->GetRowControl(cond, 1); }

    std::vector<TDSField*> extra;
    TDSField* shipVia = nullptr;
    TSimpleCond* cond = nullptr;
};

TEST_F(Filtering, TypingFindsAFieldAmongThousandsAndChoosesItAsAClickWould)
{
    const int steps = panel->CanUndo() ? 1 : 0;
    onFilter([](TFilterList* form) {
        EXPECT_GE(form->Model().rowCount(), 1500);
        QTest::keyClicks(form->SearchLine(), "eXtRa 149");
        EXPECT_EQ(shown(form).mid(0, 3), QStringList({"Extra 149", "Extra 1149", "Extra 1490"}));
        EXPECT_EQ(shown(form).size(), 12);
        QTest::keyClick(form->SearchLine(), Qt::Key_Down);
        QTest::keyClick(form->SearchLine(), Qt::Key_Down);
        QTest::keyClick(form->SearchLine(), Qt::Key_Up);
        QTest::keyClick(form->SearchLine(), Qt::Key_Return);
    });
    QTest::mouseClick(fieldWord(), Qt::LeftButton);
    EXPECT_EQ(cond->Field(), extra[1149]);
    EXPECT_FALSE(fieldWord()->Dropped());
    panel->Query().BuildQuery();
    EXPECT_TRUE(panel->Query().QResult()->GetSQL().Text().contains("o.X1149")) << panel->Query().QResult()->GetSQL().Text().toStdString();
    // One step, as a click in the menu makes.
    ASSERT_TRUE(panel->Undo());
    EXPECT_EQ(static_cast<TSimpleCond*>(panel->Query().Filter()->GetRow(0))->Field(), m.custCity);
    EXPECT_EQ(panel->CanUndo(), steps > 0);
}

TEST_F(Filtering, GroupsAreFoundByTheirNameAndEscapeChoosesNothing)
{
    onFilter([](TFilterList* form) {
        QTest::keyClicks(form->SearchLine(), "SHIPPING");
        EXPECT_EQ(shown(form), QStringList({"Ship via", "Price (€) [net]*"}));
        EXPECT_EQ(form->Model().index(0).data(TFilterListModel::GroupRole), "Shipping");
        form->SearchLine()->clear();
        QTest::keyClicks(form->SearchLine(), "shipping PRICE");
        EXPECT_EQ(shown(form), QStringList({"Price (€) [net]*"}));
        QTest::keyClick(form, Qt::Key_Escape);
    });
    QTest::mouseClick(fieldWord(), Qt::LeftButton);
    EXPECT_EQ(cond->Field(), m.custCity);
    EXPECT_FALSE(fieldWord()->Dropped());

    // Without typing nothing is current: Enter takes nothing, a click does.
    onFilter([](TFilterList* form) {
        QTest::keyClick(form, Qt::Key_Return);
        EXPECT_TRUE(form->isVisible());
        QTest::keyClicks(form, "via");
        QListView* list = form->List();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(form->Model().index(0)).center());
    });
    QTest::mouseClick(fieldWord(), Qt::LeftButton);
    EXPECT_EQ(cond->Field(), shipVia);
}

TEST_F(Filtering, TheAddLineAddsTheFieldFound)
{
    onFilter([](TFilterList* form) {
        QTest::keyClicks(form->SearchLine(), "extra 1499");
        QTest::keyClick(form->SearchLine(), Qt::Key_Enter);
    });
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    ASSERT_EQ(panel->Query().Filter()->GetRowCount(), 2);
    EXPECT_EQ(static_cast<TSimpleCond*>(panel->Query().Filter()->GetRow(1))->Field(), extra[1499]);
}

TEST_F(Filtering, HostileTextFiltersAsPlainText)
{
    onFilter([](TFilterList* form) {
        for (const QString& text : {QStringLiteral("(.*["), QStringLiteral("\\d+$^|"), QString(20000, u'a')}) {
            form->SearchLine()->setText(text);
            EXPECT_EQ(form->Model().rowCount(), 0) << text.left(10).toStdString();
            QTest::keyClick(form, Qt::Key_Return);
            EXPECT_TRUE(form->isVisible());
        }
        form->SearchLine()->setText(QStringLiteral("(€) [NET]*"));
        EXPECT_EQ(shown(form), QStringList({"Price (€) [net]*"}));
    });
    QTest::mouseClick(fieldWord(), Qt::LeftButton);
    EXPECT_EQ(cond->Field(), m.custCity);
}

TEST(PopupFit, AMenuFitsWhileItsColumnsDo)
{
    const int entry = QFontMetrics(TVxSystemMetrics::Instance().MenuFont()).height() + 4;
    const QSize screen(800, 10 * entry);
    struct Case {
        int entries;
        int perColumn; // 0: no columns
        bool inGroup;
        bool fits;
    } const cases[] = {
        {10, 0, false, true}, {11, 0, false, false}, {11, 10, false, true},
        {11, 0, true, false}, {11, 10, true, true},  {2000, 10, false, false},
    };
    for (const Case& c : cases) {
        TVxPopupMenu menu;
        TVxMenuItem* level = c.inGroup ? menu.Items().Add(QStringLiteral("group")) : &menu.Items();
        for (int i = 0; i < c.entries; ++i)
            level->Add(QStringLiteral("item %1").arg(i));
        if (c.perColumn > 0)
            menu.FitColumns(c.perColumn);
        EXPECT_EQ(menu.FitsScreen(screen), c.fits) << c.entries << " by " << c.perColumn;
    }
}

TEST_F(Filtering, ShortListsKeepTheirMenusAndLists)
{
    TDropDownPopup popup(&window);
    for (int i = 0; i < 40; ++i)
        popup.AddItem(QStringLiteral("Group"), QString::number(i), QStringLiteral("item %1").arg(i));
    bool menu = false;
    ::fixtures::onPopup({Qt::Key_Escape}, [&](QWidget* open) { menu = !qobject_cast<TFilterList*>(open); });
    popup.DropDown();
    EXPECT_TRUE(menu);

    TDropDownListBox list(&window);
    list.AddItems({}, TStringList(QStringList{"1", "2"}), TStringList(QStringList{"one", "two"}));
    list.DropDown();
    EXPECT_TRUE(list.ListBox()->isVisible());
    EXPECT_FALSE(list.FilterList());
    list.CloseEdit(false);
}

TEST_F(Filtering, ATallListBoxIsSearchedInItsPlace)
{
    TDropDownListBox label(&window);
    label.SetSortList(true);
    for (int i = 0; i < 3000; ++i)
        label.AddItem({}, QString::number(i), QStringLiteral("Row %1").arg(2999 - i, 4, 10, QChar(u'0')));
    label.move(20, 40);
    label.DropDown();
    TFilterList* form = label.FilterList();
    ASSERT_TRUE(form && form->isVisible());
    EXPECT_FALSE(label.ListBox()->isVisible());
    EXPECT_LE(form->geometry().bottom(), window.height());
    EXPECT_EQ(shown(form).first(), "Row 0000") << "sorted by caption";
    QTest::keyClicks(form->SearchLine(), "rOw 002");
    EXPECT_EQ(shown(form).size(), 13);
    QTest::keyClick(form->SearchLine(), Qt::Key_PageDown);
    QTest::keyClick(form->SearchLine(), Qt::Key_PageDown);
    QTest::keyClick(form->SearchLine(), Qt::Key_Up);
    QTest::keyClick(form->SearchLine(), Qt::Key_Return);
    EXPECT_EQ(label.Caption(), "Row 1002");
    EXPECT_EQ(label.Value(), "1997");

    label.DropDown();
    EXPECT_EQ(form->Model().rowCount(), 3000) << "each opening starts unfiltered";
    QTest::keyClicks(form->SearchLine(), "row 1");
    QTest::keyClick(form->SearchLine(), Qt::Key_Escape);
    EXPECT_EQ(label.Value(), "1997");
    EXPECT_FALSE(label.Dropped());
}

} // namespace
