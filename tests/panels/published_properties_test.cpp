// The published properties as Qt Designer and a form loader use them: by
// name through the meta-object, enumerations and sets by their names, and
// showing on the panel at once. That each property reads back what was set
// is the Designer plugin's test.

#include "panels/panel_fixtures.h"

#include <brindle/panels/result_fields_panel.h>

using namespace brindle;

namespace {

QColor wordColour(const QWidget* label)
{
    return label->palette().color(QPalette::Active, QPalette::WindowText);
}

using QueryPanelProperties = ::fixtures::PanelWindow;

TEST_F(QueryPanelProperties, EnumerationsAndSetsAreWrittenByTheirNames)
{
    // How a form file holds them.
    ASSERT_TRUE(panel->setProperty("LogOpStyle", QStringLiteral("losBeforeCond")));
    EXPECT_EQ(panel->Appearance().LogOpStyle(), losBeforeCond);
    ASSERT_TRUE(panel->setProperty("Options", QStringLiteral("aoShowAddRow|aoSortListData")));
    EXPECT_EQ(panel->Appearance().Options(), (TQPAppearanceOptions{aoShowAddRow, aoSortListData}));
    ASSERT_TRUE(panel->setProperty("LinkTypes", QStringLiteral("fltNotAll")));
    EXPECT_EQ(panel->Appearance().LinkTypes(), TFilterLinkTypes{fltNotAll});
}

TEST_F(QueryPanelProperties, AChangeShowsOnAnActivePanelAtOnce)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    TFilterCond* cond = query.AddCondition(query.Filter(), m.custCity);
    const int top = panel->RowButton(cond)->y();

    panel->setProperty("RowSpace", panel->RowSpace() + 10);
    EXPECT_EQ(panel->RowButton(cond)->y(), top + 10);

    const QColor red(0xC0, 0x10, 0x10);
    panel->setProperty("FieldColor", red);
    cond = static_cast<TFilterCond*>(query.Filter()->GetRow(0));
    EXPECT_EQ(wordColour(panel->GetRowControl(cond, 1)), red);

    // The titles read as they are written: under their section.
    QStringList titles = panel->property("Titles").toStringList();
    ASSERT_EQ(titles.value(0), QStringLiteral("[Query Panel]"));
    panel->setProperty("Titles", QStringList{titles[0], QStringLiteral("ttlAll=every")});
    EXPECT_EQ(panel->Query().GetTitle(QStringLiteral("ttlAll")), QStringLiteral("every"));
    // Merged into the defaults, not replacing them.
    EXPECT_EQ(panel->Query().GetTitle(QStringLiteral("ttlAny")), QStringLiteral("any"));
    const auto labels = panel->findChildren<TDropDownLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                            [](const TDropDownLabel* l) { return l->isVisible() && l->Caption() == "every"; }));
}

using ResultFieldsPanelProperties = ::fixtures::FieldsPanelWindow;

TEST_F(ResultFieldsPanelProperties, AChangeShowsOnAnActivePanelAtOnce)
{
    panel->SetDBStruct(&m.model);
    panel->Activate();
    panel->AddEmptyRow();
    ASSERT_NE(panel->Row(0)->Button(), nullptr);

    panel->setProperty("LeftMargin", 25);
    EXPECT_EQ(panel->Row(0)->Button()->x(), 25);
    const QColor red(0xC0, 0x10, 0x10);
    panel->setProperty("SortColor", red);
    EXPECT_EQ(wordColour(panel->Row(0)->SortLabel()), red);

    panel->setProperty("Titles", QStringList{QStringLiteral("ttlNotSorted=unsorted")});
    EXPECT_EQ(panel->GetTitle(QStringLiteral("ttlNotSorted")), QStringLiteral("unsorted"));
    EXPECT_EQ(panel->GetTitle(QStringLiteral("ttlAscending")), QStringLiteral("Ascending"));
    EXPECT_EQ(panel->Row(0)->SortLabel()->Caption(), QStringLiteral("unsorted"));
}

} // namespace
