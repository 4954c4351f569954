// The design panel's published properties by name, as Qt Designer sets
// them: each reaches the panel, and the diagram's colours show at once.

#include "designer/design_fixtures.h"

#include <QLabel>

#include <functional>

using namespace brindle;

namespace {

using DesignPanelProperties = ::fixtures::DesignWindow;

TEST_F(DesignPanelProperties, EachReachesThePanel)
{
    const QColor red(0xC0, 0x10, 0x10);
    const QStringList hints{QStringLiteral("IdleHint=Pick a table")};
    struct Case {
        const char* name;
        QVariant value;
        std::function<QVariant(const TVxStructDesignPanel&)> seen;
    };
    const Case cases[] = {
        {"ShowFullScreenButton", false, [](const auto& p) { return p.ShowFullScreenButton(); }},
        {"ShowActionHints", false, [](const auto& p) { return p.ShowActionHints(); }},
        {"ActionHints", hints, [](const auto& p) { return p.ActionHints().Lines(); }},
        {"ActiveTitleColor", red, [](const auto& p) { return p.DiagramColours().ActiveTitle; }},
        {"ActiveTitleTextColor", red, [](const auto& p) { return p.DiagramColours().ActiveTitleText; }},
        {"TitleColor", red, [](const auto& p) { return p.DiagramColours().Title; }},
        {"TitleTextColor", red, [](const auto& p) { return p.DiagramColours().TitleText; }},
        {"LineColor", red, [](const auto& p) { return p.DiagramColours().Line; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(panel->setProperty(c.name, c.value));
        EXPECT_EQ(panel->property(c.name), c.value);
        EXPECT_EQ(c.seen(*panel), c.value);
    }
}

TEST_F(DesignPanelProperties, ColoursAndHintsShowOnAnActivePanelAtOnce)
{
    addTable(QStringLiteral("A"), QRect(10, 10, 110, 160));
    addTable(QStringLiteral("B"), QRect(300, 10, 110, 160));
    activate();
    const QColor green(0x10, 0xA0, 0x10);
    panel->setProperty("TitleColor", green);
    QApplication::processEvents();
    EXPECT_EQ(box(1)->TitleBar()->grab().toImage().pixelColor(1, 1), green);

    panel->setProperty("ActionHints", QStringList{QStringLiteral("IdleHint=Pick a table")});
    EXPECT_EQ(panel->HintLine()->text(), QStringLiteral("Pick a table"));
    panel->setProperty("ShowActionHints", false);
    EXPECT_FALSE(panel->HintLine()->isVisible());
}

} // namespace
