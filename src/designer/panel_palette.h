#pragma once
// Colours of the query panel, the result fields panel and the structure
// design panel that follow a palette. On a light palette they are the
// panels' own defaults; on a dark one they are lighter colours of the same
// meaning that stay readable on the dark window.

#include <brindle/brindle_widgets_export.h>

#include <QPalette>

namespace brindle {

class TVxQueryPanel;
class TVxResultFieldsPanel;
class TVxStructDesignPanel;

// A dark palette of the usual greys, for an application that offers a dark
// scheme where the platform gives none.
BRINDLE_WIDGETS_EXPORT QPalette StandardDarkPalette();

// Whether text of the palette's window colour would be light on it.
BRINDLE_WIDGETS_EXPORT bool IsDarkPalette(const QPalette& palette);

// Gives each panel present the palette, and the colours of its words, add
// line, current row band, selection frame, title bars and lines to match.
BRINDLE_WIDGETS_EXPORT void ApplyPalette(const QPalette& palette, TVxQueryPanel* queryPanel,
                                         TVxResultFieldsPanel* fieldsPanel = nullptr,
                                         TVxStructDesignPanel* designPanel = nullptr);

} // namespace brindle
