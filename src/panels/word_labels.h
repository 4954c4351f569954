#pragma once
// From a word of a query to the label that shows it: the label class that
// opens the word's editor, bound to the word, so that it shows the word's
// caption, items and state, follows the word's changes, and writes an
// accepted input back into it.

#include <brindle/brindle_widgets_export.h>
#include <brindle/panels/drop_down_label.h>

#include <memory>

namespace brindle {

// A label of the class for the word's editor kind, bound to the word. The
// word must outlive the label (a panel drops a row's labels when the query
// replaces or removes the row's words).
BRINDLE_WIDGETS_EXPORT std::unique_ptr<TDropDownLabel> CreateWordLabel(TQueryWord& word, QWidget* parent);

// Whether the label is of the class CreateWordLabel makes for an editor
// kind (a word whose editor kind changed needs a new label).
BRINDLE_WIDGETS_EXPORT bool LabelFitsEditor(const TDropDownLabel& label, TWordEditor editor);

} // namespace brindle
