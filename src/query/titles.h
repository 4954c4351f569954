#pragma once
// The titles of a query: the texts of its user interface as lines of
// key=text under section headers. This file holds the merge that takes
// stored titles into a reference list and the fixed keys of the older
// storage forms; the query keeps its current, default and streamed titles.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/string_list.h>

namespace brindle {

// Fills the destination with the reference's names, sections and order,
// each name taking the source's text when the source has a non-empty one
// (section by section when the reference has sections). Names only the
// source holds are dropped. The older section names "[PanelTitles]" and
// "[RFETitles]" are first renamed in the source, which is changed in place.
BRINDLE_CORE_EXPORT void LoadTitlesFromStrings(const TStringList& reference, TStringList& destination,
                                               TStringList& source);

// The keys that the older forms store by position: 22 of them.
BRINDLE_CORE_EXPORT const QStringList& OldTitleKeys();

} // namespace brindle
