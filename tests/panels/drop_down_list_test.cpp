// The list labels: items and groups, the popup menu's columns and screen
// fitting, the list box's placement, and the check list's comma texts.

#include "panels/label_fixtures.h"

#include <brindle/foundations/errors.h>
#include <brindle/panels/drop_down_list_box.h>

#include <QListWidget>
#include <QMouseEvent>

using namespace brindle;

namespace {

class Lists : public fixtures::LabelWindow {
protected:
    static QList<int> lengths(const TVxMenuItem& level)
    {
        QList<int> result;
        for (const auto& column : TVxPopupMenu::Columns(level))
            result.append(column.size());
        return result;
    }
};

TStringList list(std::initializer_list<const char*> texts)
{
    TStringList result;
    for (const char* text : texts)
        result.Add(QString::fromUtf8(text));
    return result;
}

TEST_F(Lists, ItemIndexAndValuesStayInStep)
{
    TDropDownPopup label(&window);
    label.AddItems({}, list({"DE", "FR"}), list({"Germany", "France"}));
    label.AddItem(QStringLiteral("more"), QStringLiteral("IT"), QStringLiteral("Italy"));
    label.AddItem(QStringLiteral("MORE"), QStringLiteral("ES"), QStringLiteral("Spain"));
    ASSERT_EQ(label.Groups().Count(), 2);
    EXPECT_EQ(label.Groups()[1]->Indexes, QList<int>({2, 3}));

    label.SetItemIndex(1);
    EXPECT_EQ(label.Value(), "FR");
    EXPECT_EQ(label.Caption(), "France");
    EXPECT_THROW(label.SetItemIndex(4), EDDLabelError);
    EXPECT_EQ(label.ItemIndex(), 1);
    label.SetValue(QStringLiteral("IT"));
    EXPECT_EQ(label.ItemIndex(), 2);
    EXPECT_EQ(label.Caption(), "Italy");
    label.SetValue(QStringLiteral("it")); // values match exactly
    EXPECT_EQ(label.ItemIndex(), -1);
    EXPECT_EQ(label.Caption(), "_____");
    label.ClearAll();
    EXPECT_EQ(label.Items().Count(), 0);
}

TEST_F(Lists, PopupChoosesByKeyAndClosesWithoutAChoice)
{
    TDropDownPopup label(&window);
    label.AddItems({}, list({"0", "1"}), list({"and", "or"}));
    label.AddItem(QStringLiteral("R&D"), QStringLiteral("2"), QStringLiteral("Fish & Chips"));
    QStringList events;
    label.AfterDropDown = [&](TDropDownLabel*) { events << "AfterDropDown"; };
    label.AfterDropUp = [&](TDropDownLabel*, bool accepted) { events << (accepted ? "accepted" : "cancelled"); };

    fixtures::onPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(label.Value(), "1");
    EXPECT_EQ(label.Caption(), "or");
    // The menu closed inside the opening: AfterDropDown never fires.
    EXPECT_EQ(events, QStringList{"accepted"});

    // A group is a submenu; ampersands show as written; the host picks images.
    label.OnGetGroupImageIndex = [](const QString& group, int& image) { image = group.size(); };
    label.OnGetItemImageIndex = [](const QString&, const QString& item, int& image) {
        if (item == QLatin1String("or"))
            image = 7;
    };
    fixtures::onPopup({Qt::Key_Escape});
    label.DropDown();
    TVxMenuItem& root = label.Menu()->Items();
    ASSERT_EQ(root.Count(), 3);
    EXPECT_EQ(root.Items(0)->ImageIndex, -1);
    EXPECT_EQ(root.Items(1)->ImageIndex, 7);
    EXPECT_EQ(root.Items(2)->ImageIndex, 3);
    EXPECT_EQ(root.Items(2)->ShownCaption(), "R&D");
    EXPECT_EQ(root.Items(2)->Items(0)->ShownCaption(), "Fish & Chips");
    fixtures::onPopup({Qt::Key_Up, Qt::Key_Right, Qt::Key_Return});
    label.DropDown();
    EXPECT_EQ(label.Value(), "2");

    // Right to left, the menu's right edge stands at the label's.
    label.SetBiDiMode(Qt::RightToLeft);
    QPoint menuRight;
    fixtures::onPopup({Qt::Key_Escape}, [&](QWidget* menu) { menuRight = menu->geometry().topRight(); });
    label.DropDown();
    EXPECT_EQ(menuRight + QPoint(1, 0), label.mapToGlobal(label.rect().bottomRight() + QPoint(1, 1)));
    EXPECT_EQ(label.Value(), "2");
    EXPECT_FALSE(label.Dropped());
    EXPECT_EQ(events.last(), "cancelled");
}

TEST_F(Lists, PopupColumnsByLimitAndByScreen)
{
    // A fixed column length counts the entries of each level.
    TDropDownPopup label(&window);
    label.SetMaxItemCount(3);
    for (int i = 0; i < 7; ++i)
        label.AddItem({}, QString::number(i), QStringLiteral("item %1").arg(i));
    QList<int> seen;
    fixtures::onPopup({Qt::Key_Escape}, [&](QWidget*) { seen = lengths(label.Menu()->Items()); });
    label.DropDown();
    EXPECT_EQ(seen, QList<int>({3, 3, 1}));
    EXPECT_FALSE(label.Menu()->FitToScreen());
    EXPECT_EQ(label.Menu()->Items().Items(3)->Break, mbBarBreak);

    // Fitting to the screen: full columns first, or balanced columns.
    struct Case {
        TVxPopupSplitType split;
        int count;
        int perColumn;
        QList<int> columns;
    } const cases[] = {
        {pstFillFirst, 7, 3, {3, 3, 1}}, {pstBalanced, 7, 3, {3, 3, 1}}, {pstBalanced, 10, 4, {4, 4, 2}},
        {pstBalanced, 4, 4, {2, 2}},     {pstBalanced, 3, 4, {3}},       {pstFillFirst, 4, 4, {4}},
        {pstFillFirst, 3, 0, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        TVxPopupMenu menu;
        menu.SetPopupSplitType(c.split);
        TVxMenuItem* group = menu.Items().Add(QStringLiteral("group"));
        for (int i = 0; i < c.count; ++i) {
            menu.Items().Add(QString::number(i));
            group->Add(QString::number(i));
        }
        menu.Items().Items(0)->Break = mbBreak; // reset by the fitting
        menu.FitColumns(c.perColumn);
        QList<int> top = lengths(menu.Items());
        EXPECT_EQ(lengths(*group), c.columns) << c.count << " in " << c.perColumn;
        EXPECT_EQ(top.size(), lengths(menu.Items()).size());
    }
    EXPECT_EQ(TVxPopupMenu::EntriesPerColumn(0), 1);
}

TEST_F(Lists, ListBoxOpensBelowAboveOrSqueezed)
{
    struct Case {
        int labelTop;
        int items;
        const char* where;
    } const cases[] = {{10, 3, "below"}, {250, 8, "above"}, {120, 17, "squeezed below"}, {180, 17, "squeezed above"}};
    for (const Case& c : cases) {
        TDropDownListBox label(&window);
        for (int i = 0; i < c.items; ++i)
            label.AddItem({}, QString::number(i), QStringLiteral("row %1").arg(i));
        label.move(30, c.labelTop);
        label.DropDown();
        QListWidget* box = label.ListBox();
        ASSERT_TRUE(box && !box->isHidden());
        const int rows = box->sizeHintForRow(0) * c.items + 4;
        const std::string where = c.where;
        if (where == "below")
            EXPECT_EQ(box->geometry(), QRect(30, c.labelTop + label.fontMetrics().height() + 2, box->width(), rows));
        else if (where == "above")
            EXPECT_EQ(box->y() + box->height(), c.labelTop);
        else if (where == "squeezed below")
            EXPECT_EQ(box->y() + box->height(), window.height() - 2);
        else
            EXPECT_EQ(box->geometry().top(), 2);
        EXPECT_LE(box->height(), window.height()) << c.where;
        EXPECT_GE(box->width(), label.width() + 23);
        label.CloseEdit(false);
    }
}

TEST_F(Lists, ListBoxChoosesByClickAndSortsByCaption)
{
    TDropDownListBox label(&window);
    label.SetSortList(true);
    label.AddItems({}, list({"c", "a", "b"}), list({"Cherry", "Apple", "Banana"}));
    label.DropDown();
    QListWidget* box = label.ListBox();
    EXPECT_EQ(box->item(0)->text(), "Apple");
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->visualItemRect(box->item(1)).center());
    EXPECT_EQ(label.Value(), "b");
    EXPECT_TRUE(box->isHidden());

    // Escape cancels; losing the focus hides the list but keeps the label
    // dropped until its next click, which chooses nothing.
    label.DropDown();
    box->setCurrentRow(0);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(label.Value(), "b");
    label.DropDown();
    box->setCurrentRow(0);
    window.setFocus();
    box->clearFocus();
    EXPECT_TRUE(label.Dropped());
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_FALSE(label.Dropped());
    EXPECT_EQ(label.Value(), "b");
}

TEST_F(Lists, AListOnAWindowOfItsOwnIsAtMostThreeHundredWide)
{
    TDropDownListBox label(&window);
    label.SetUseForm(true);
    label.AddItem({}, QStringLiteral("1"), QString(200, u'w'));
    label.AddItem({}, QStringLiteral("2"), QStringLiteral("short"));
    label.move(10, 10);
    label.DropDown();
    QWidget* form = label.Desktop();
    ASSERT_NE(form, &window);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->width(), 300);

    // A row wider than the list shows its text as a tool-tip.
    QListWidget* box = label.ListBox();
    const auto hover = [box](int row) {
        const QPoint at = box->visualItemRect(box->item(row)).center();
        QMouseEvent move(QEvent::MouseMove, at, box->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(box->viewport(), &move);
        return box->toolTip();
    };
    EXPECT_EQ(hover(0), QString(200, u'w'));
    EXPECT_EQ(hover(1), QString());
    EXPECT_EQ(form->pos(), window.mapToGlobal(QPoint(10, 10 + label.height() + 2)));
    box->setCurrentRow(0);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(label.Value(), "1");
    EXPECT_TRUE(form->isHidden());

    // A label without a parent has nowhere to open.
    TDropDownListBox orphan;
    orphan.DropDown();
    EXPECT_FALSE(orphan.Dropped());
}

TEST_F(Lists, CheckListsReadAndWriteCommaTexts)
{
    TDropDownCheckListBox label(&window);
    label.AddItems({}, list({"NY", "Los Angeles", "Say \"hi\""}), list({"New York", "L.A.", "Quoted"}));
    label.SetValue(QStringLiteral("\"Los Angeles\",Nowhere,\"Say \"\"hi\"\"\""));
    // Unknown elements have no caption.
    EXPECT_EQ(label.Caption(), "L.A.,Quoted");

    label.DropDown();
    TVxCheckListBox* box = label.CheckListBox();
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->Checked(0));
    EXPECT_TRUE(box->Checked(1));
    EXPECT_TRUE(box->Checked(2));
    // Space toggles every selected row.
    box->setCurrentRow(0);
    box->item(2)->setSelected(true);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_TRUE(box->Checked(0));
    EXPECT_FALSE(box->Checked(2));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(label.Value(), "NY,\"Los Angeles\"");
    EXPECT_EQ(label.Caption(), "\"New York\",L.A.");
}

TEST_F(Lists, HostileListsNeitherCrashNorLoseItems)
{
    TDropDownPopup popup(&window);
    TDropDownListBox box(&window);
    TStringList values;
    TStringList items;
    for (int i = 0; i < 100000; ++i) {
        values.Add(QString::number(i));
        items.Add(i % 1000 == 0 ? QString(5000, u'&') : QStringLiteral("&item %1").arg(i));
    }
    popup.AddItems(QStringLiteral("&&"), values, items);
    popup.AddItem({}, {}, {});
    box.AddItems({}, values, items);
    fixtures::onPopup({Qt::Key_Escape});
    popup.DropDown();
    EXPECT_EQ(popup.Menu()->Items().Items(0)->Count(), 100000);
    // Too tall for the window: searched, every item offered.
    box.DropDown();
    ASSERT_TRUE(box.FilterList());
    EXPECT_EQ(box.FilterList()->Model().rowCount(), 100000);
    EXPECT_LE(box.FilterList()->geometry().bottom(), window.height());
    box.CloseEdit(false);
}

} // namespace
