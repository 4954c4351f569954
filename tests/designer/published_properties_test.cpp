// The design panel's published properties by name, as Qt Designer sets
// them: the diagram's colours and hints show at once.

#include "designer/design_fixtures.h"

#include <QLabel>

using namespace brindle;

namespace {

using DesignPanelProperties = ::fixtures::DesignWindow;

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
