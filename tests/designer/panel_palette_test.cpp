// The panels' colours from a palette: the documented defaults on a light
// palette, and words, marks, title bars and lines readable on a dark one.

#include "panels/panel_fixtures.h"

#include <brindle/designer/panel_palette.h>
#include <brindle/designer/struct_design_panel.h>
#include <brindle/panels/result_fields_panel.h>

#include <QApplication>

#include <QStyle>

#include <cmath>

using namespace brindle;
using brindle::fixtures::addCondition;

namespace {

double luminance(const QColor& colour)
{
    const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

// The contrast ratio of two colours, from 1 (none) to 21 (black on white).
double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class PanelPalette : public ::fixtures::PanelWindow {
protected:
    void SetUp() override
    {
        PanelWindow::SetUp();
        panel->SetActive(true);
        addCondition(panel->Query(), panel->Query().Filter(), m.custCity, m.op("Equal"), "Rome");
        fields = new TVxResultFieldsPanel(&window);
        fields->BindQuery(&panel->Query());
        fields->show();
        fields->Activate();
        fields->ResultFields().Add("@1", {m.custName}, "Name");
        design = new TVxStructDesignPanel(&window);
    }
    // Every word of the condition and of the column, in the colour it is drawn in.
    // A new appearance rebuilds the rows, so the condition is looked up anew.
    QList<QColor> wordColours() const
    {
        const TFilterRow* cond = panel->Query().Filter()->GetRow(0);
        QList<QColor> colours;
        for (int index = 1; index <= 3; ++index) {
            const QWidget* word = panel->GetRowControl(cond, index);
            colours << word->palette().color(word->foregroundRole());
        }
        for (const QWidget* word : fields->findChildren<TDropDownLabel*>())
            if (word->isVisible())
                colours << word->palette().color(word->foregroundRole());
        return colours;
    }

    TVxResultFieldsPanel* fields = nullptr;
    TVxStructDesignPanel* design = nullptr;
};

TEST_F(PanelPalette, ALightPaletteKeepsTheDefaults)
{
    const TQPAppearance defaults;
    ApplyPalette(QApplication::style()->standardPalette(), panel, fields, design);
    EXPECT_FALSE(IsDarkPalette(panel->palette()));
    EXPECT_EQ(panel->Appearance().FieldColor(), defaults.FieldColor());
    EXPECT_EQ(panel->Appearance().BoolOpColor(), defaults.BoolOpColor());
    EXPECT_EQ(panel->Appearance().ControlBorderColor(), defaults.ControlBorderColor());
    EXPECT_EQ(fields->Appearance().SortColor(), TRFPAppearance().SortColor());
    EXPECT_EQ(design->DiagramColours(), TDiagramColours());
    // Blue words, and the sorting word in green.
    for (const QColor& colour : wordColours())
        EXPECT_TRUE(colour == QColor(Qt::blue) || colour == QColor(0, 0x80, 0)) << colour.name().toStdString();
}

TEST_F(PanelPalette, ADarkPaletteKeepsEveryMarkReadable)
{
    const QPalette dark = StandardDarkPalette();
    ApplyPalette(dark, panel, fields, design);
    ASSERT_TRUE(IsDarkPalette(panel->palette()));
    const QColor window = dark.color(QPalette::Window);
    const QColor band = panel->Appearance().ActiveRowColor();
    EXPECT_NE(band, window);
    const QList<QColor> words = wordColours();
    ASSERT_GE(words.size(), 4);
    for (const QColor& colour : words) {
        EXPECT_GE(contrast(colour, window), 4.5) << colour.name().toStdString();
        EXPECT_GE(contrast(colour, band), 4.5) << colour.name().toStdString();
    }
    EXPECT_GE(contrast(panel->Appearance().ControlBorderColor(), band), 4.5);
    EXPECT_GE(contrast(fields->Appearance().SortColor(), window), 4.5);
    const TDiagramColours& diagram = design->DiagramColours();
    EXPECT_GE(contrast(diagram.ActiveTitleText, diagram.ActiveTitle), 3.0);
    EXPECT_GE(contrast(diagram.TitleText, diagram.Title), 4.5);
    EXPECT_GE(contrast(diagram.Line, dark.color(QPalette::Base)), 4.5);
}

} // namespace
