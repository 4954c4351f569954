#include <brindle/designer/panel_palette.h>

#include <brindle/designer/struct_design_panel.h>
#include <brindle/panels/query_panel.h>
#include <brindle/panels/result_fields_panel.h>

#include <QPalette>

namespace brindle {
namespace {

// What the panels' words and marks are drawn in.
struct Colours {
    QColor Word;
    QColor Sort;
    QColor ActiveRow;
    QColor Frame;
    TDiagramColours Diagram;
};

Colours coloursFor(const QPalette& palette)
{
    Colours c;
    if (!IsDarkPalette(palette)) {
        c.Word = QColor(0x00, 0x00, 0xFF);
        c.Sort = QColor(0x00, 0x80, 0x00);
        c.ActiveRow = palette.color(QPalette::Light);
        c.Frame = QColor(0x00, 0x00, 0x00);
        return c;
    }
    // Light blue and green keep the words' meaning at a contrast above 6:1
    // on the usual dark greys.
    c.Word = QColor(0x8A, 0xB4, 0xF8);
    c.Sort = QColor(0x81, 0xC9, 0x95);
    c.ActiveRow = palette.color(QPalette::Window).lighter(125);
    c.Frame = palette.color(QPalette::WindowText);
    c.Diagram.ActiveTitle = palette.color(QPalette::Highlight);
    c.Diagram.ActiveTitleText = palette.color(QPalette::HighlightedText);
    c.Diagram.Title = palette.color(QPalette::Window).lighter(170);
    c.Diagram.TitleText = palette.color(QPalette::WindowText);
    c.Diagram.Line = palette.color(QPalette::WindowText);
    return c;
}

} // namespace

QPalette StandardDarkPalette()
{
    QPalette dark;
    const QColor window(0x35, 0x35, 0x35), text(0xE8, 0xE8, 0xE8);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, QColor(0x2A, 0x2A, 0x2A));
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    // Light is the result fields panel's current-row band: words stay readable on it.
    dark.setColor(QPalette::Light, QColor(0x42, 0x42, 0x42));
    dark.setColor(QPalette::Midlight, QColor(0x3C, 0x3C, 0x3C));
    dark.setColor(QPalette::Mid, QColor(0x28, 0x28, 0x28));
    dark.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
    dark.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

bool IsDarkPalette(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

void ApplyPalette(const QPalette& palette, TVxQueryPanel* queryPanel, TVxResultFieldsPanel* fieldsPanel,
                  TVxStructDesignPanel* designPanel)
{
    const Colours c = coloursFor(palette);
    if (queryPanel) {
        queryPanel->setPalette(palette);
        TQPAppearance& look = queryPanel->Appearance();
        look.BeginUpdate();
        look.SetActiveRowColor(c.ActiveRow);
        look.SetControlBorderColor(c.Frame);
        look.SetAddRowColor(c.Word);
        look.SetFieldColor(c.Word);
        look.SetOperatorColor(c.Word);
        look.SetValueColor(c.Word);
        look.SetBoolOpColor(c.Word);
        look.EndUpdate();
    }
    if (fieldsPanel) {
        fieldsPanel->setPalette(palette);
        fieldsPanel->Appearance().SetFieldColor(c.Word);
        fieldsPanel->Appearance().SetSortColor(c.Sort);
        fieldsPanel->Refresh();
    }
    if (designPanel) {
        designPanel->setPalette(palette);
        designPanel->SetDiagramColours(c.Diagram);
    }
}

} // namespace brindle
