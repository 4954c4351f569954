// The published properties as Qt Designer and a form loader use them: by
// name through the meta-object, each reaching the member it stands for
// and showing on the panel at once.

#include "panels/panel_fixtures.h"

#include <brindle/panels/result_fields_panel.h>

#include <QFont>

#include <functional>

using namespace brindle;
using Published::AppearanceOptions;

namespace {

template <typename Widget>
struct PropertyCase {
    const char* name;
    QVariant value;
    // What the widget's own interface shows after the write.
    std::function<QVariant(Widget&)> seen;
    QVariant expected;
};

template <typename Widget>
void checkCases(Widget& widget, const std::vector<PropertyCase<Widget>>& cases)
{
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(widget.setProperty(c.name, c.value));
        EXPECT_EQ(widget.property(c.name), c.value);
        EXPECT_EQ(c.seen(widget), c.expected);
    }
}

QColor wordColour(const QWidget* label)
{
    return label->palette().color(QPalette::Active, QPalette::WindowText);
}

using QueryPanelProperties = ::fixtures::PanelWindow;

TEST_F(QueryPanelProperties, EachReachesThePanelItsQueryOrItsAppearance)
{
    using P = TVxQueryPanel;
    const QColor red(0xC0, 0x10, 0x10);
    QFont subQueryFont(QStringLiteral("DejaVu Sans"), 13);
    subQueryFont.setItalic(true);
    const auto options = AppearanceOptions(Published::aoFlatButtons) | Published::aoHideRootRow |
                         Published::aoShowGroupName;
    // Both halves of the options: the tree's are the query's, the rest the panel's.
    const quint64 optionBits = TQPAppearanceOptions{aoFlatButtons, aoHideRootRow, aoShowGroupName}.Bits();
    const std::vector<PropertyCase<P>> cases = {
        {"RowSpace", 7, [](P& p) { return p.RowSpace(); }, 7},
        {"MaxPopupItemCount", 25, [](P& p) { return p.Query().MaxPopupItemCount(); }, 25},
        {"SaveTitles", false, [](P& p) { return p.Query().SaveTitles(); }, false},
        {"SubQueryFont", subQueryFont, [](P& p) { return p.SubQueryFont(); }, subQueryFont},
        {"ActiveRowColor", red, [](P& p) { return p.Appearance().ActiveRowColor(); }, red},
        {"FieldColor", red, [](P& p) { return p.Appearance().FieldColor(); }, red},
        {"Options", QVariant::fromValue(options), [](P& p) { return p.Appearance().Options().Bits(); },
         optionBits},
        {"LinkTypes", QVariant::fromValue(Published::LinkTypes(Published::fltAll) | Published::fltNone),
         [](P& p) { return p.Query().LinkTypes().Bits(); }, TFilterLinkTypes{fltAll, fltNone}.Bits()},
        {"MainBtnCaption", QStringLiteral("Go"), [](P& p) { return p.Appearance().MainBtnCaption(); },
         QStringLiteral("Go")},
        {"NameSeparator", QStringLiteral("/"), [](P& p) { return p.Query().NameSeparator(); }, QStringLiteral("/")},
        {"LogOpStyle", QVariant::fromValue(Published::losAfterCond),
         [](P& p) { return int(p.Query().LogOpStyle()); }, int(losAfterCond)},
    };
    checkCases(*panel, cases);
}

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

TEST_F(ResultFieldsPanelProperties, EachReachesTheAppearance)
{
    using P = TVxResultFieldsPanel;
    const QColor red(0xC0, 0x10, 0x10);
    const auto options = AppearanceOptions(Published::aoRoundButtons) | Published::aoShowGroupName;
    const std::vector<PropertyCase<P>> cases = {
        {"LeftMargin", 9, [](P& p) { return p.Appearance().LeftMargin(); }, 9},
        {"RowSpace", 6, [](P& p) { return p.Appearance().RowSpace(); }, 6},
        {"SortColor", red, [](P& p) { return p.Appearance().SortColor(); }, red},
        {"FieldColor", red, [](P& p) { return p.Appearance().FieldColor(); }, red},
        {"Options", QVariant::fromValue(options), [](P& p) { return p.Appearance().Options().Bits(); },
         TRFPAppearanceOptions{aoRoundButtons, aoShowGroupName}.Bits()},
        {"NameSeparator", QStringLiteral(":"), [](P& p) { return p.Appearance().NameSeparator(); },
         QStringLiteral(":")},
    };
    checkCases(*panel, cases);
}

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

using LabelProperties = ::fixtures::LabelWindow;

TEST_F(LabelProperties, EachIsTheWordsAndTheWidgetFollows)
{
    using L = TDropDownLabel;
    TDropDownLabel label(&window);
    const std::vector<PropertyCase<L>> cases = {
        {"Caption", QStringLiteral("a & b"), [](L& l) { return l.Word().Caption(); }, QStringLiteral("a & b")},
        {"Value", QStringLiteral("42"), [](L& l) { return l.Word().Value(); }, QStringLiteral("42")},
        {"Fixed", true, [](L& l) { return l.Word().Fixed(); }, true},
        {"Enabled", false, [](L& l) { return l.isEnabled(); }, false},
        {"Hint", QStringLiteral("the city"), [](L& l) { return l.toolTip(); }, QStringLiteral("the city")},
    };
    checkCases(label, cases);
}

} // namespace
