#pragma once
// Reading the sections of a sectioned text: a section starts at a header line
// "[Name]" and runs up to the next header line or the end of the text. A
// header line is a line that, trimmed on the right, starts with "[", ends
// with "]" and holds no other "]".

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/string_list.h>

#include <utility>
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
//
// Readers mostly ask for the section that comes next, so a search first
// looks at the first header at or after the start; only when that one has
// another name does it go to the index of names. The index holds a hash of
// each case-folded name rather than the name itself, so making it costs no
// allocation per section; a hash that matches is confirmed against the
// header's text.
class BRINDLE_CORE_EXPORT SectionIndex {
public:
    explicit SectionIndex(const TStringList& source);
    int Read(int start, QStringView section, TStringList& dest) const;
    // The same section as lines [first, end) of the source, without copying
    // them; end is what Read returns, -1 when there is no such section.
    int Find(int start, QStringView section, int& first) const;
    bool Contains(QStringView section) const;
    int SectionCount() const { return static_cast<int>(FHeaders.size()); }
    // The name of the section of the ordinal, without brackets, as written.
    QStringView Name(int ordinal) const;
    const TStringList& Source() const { return FSource; }

private:
    // The first ordinal at or after `ordinal` whose name is the section's,
    // or -1.
    int byName(int ordinal, QStringView section) const;

    const TStringList& FSource;
    std::vector<int> FHeaders;                          // header line indexes, in order
    std::vector<std::pair<size_t, int>> FByHash;        // (hash of the folded name, ordinal), sorted
    size_t FSeed;
};

} // namespace brindle
