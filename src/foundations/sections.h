#pragma once
// Reading the sections of a sectioned text: a section starts at a header line
// "[Name]" and runs up to the next header line or the end of the text. A
// header line is a line that, trimmed on the right, starts with "[", ends
// with "]" and holds no other "]".

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/text_hash.h>
#include <brindle/foundations/string_list.h>

#include <QHash>

#include <vector>

namespace brindle {

// Copies the lines of the first section named `section` (letter case ignored)
// at or after line `start` into `dest` (emptied first). Returns the index of
// the line after the section, from which a search for a following section may
// start; -1 when there is no such section (dest is then empty).
BRINDLE_CORE_EXPORT int XReadSLSectionValues(int start, const TStringList& source,
                                             const QString& section, TStringList& dest);

// Lists the section names of `source`, without brackets, in order, into `dest`
// (emptied first).
BRINDLE_CORE_EXPORT void ReadSLSections(const TStringList& source, TStringList& dest);

// True when the line is a section header; gives its name.
BRINDLE_CORE_EXPORT bool IsSectionHeader(const QString& line, QString* name = nullptr);

// The sections of one text, indexed once: Read answers as XReadSLSectionValues
// does, in time proportional to the section's size, however many sections
// the text holds or a reader asks for. The source must outlive the index.
class BRINDLE_CORE_EXPORT SectionIndex {
public:
    explicit SectionIndex(const TStringList& source);
    int Read(int start, const QString& section, TStringList& dest) const;
    // The same section as lines [first, end) of the source, without copying
    // them; end is what Read returns, -1 when there is no such section.
    int Find(int start, const QString& section, int& first) const;
    bool Contains(const QString& section) const;
    int SectionCount() const { return static_cast<int>(FHeaders.size()); }
    const TStringList& Source() const { return FSource; }
    // The distinct section names, case-folded, in no particular order.
    QStringList FoldedNames() const;

private:
    const TStringList& FSource;
    std::vector<int> FHeaders;                      // header line indexes, in order
    TextHash<std::vector<int>> FByName;       // case-folded name -> ordinals in FHeaders
};

} // namespace brindle
