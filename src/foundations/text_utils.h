#pragma once
// Small text routines the formats, the builder and the parser share:
// replacing, splitting at separators, searching with 1-based positions,
// quoting and comparing texts loosely. Positions are 1-based, as the callers
// count them; 0 means "not found".
//
// A "blank" is any character from #0 to " ". A "word character" is a letter
// (any Unicode letter), a digit or "_".

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/string_list.h>

#include <QChar>
#include <QString>
#include <QStringList>

namespace brindle {

// Every occurrence of oldText replaced by newText, letter case counting.
// An empty oldText leaves the text unchanged.
BRINDLE_CORE_EXPORT QString ReplaceStr(const QString& text, const QString& oldText,
                                       const QString& newText);

// Mode bits of XReplaceStr.
inline constexpr int rmIgnoreCase = 1; // letter case ignored when matching
inline constexpr int rmWholeWord = 2;  // only matches not touching a word character on either side

// ReplaceStr with a mode: any combination of rmIgnoreCase and rmWholeWord
// (0 behaves as ReplaceStr). Replaced text is never searched again.
BRINDLE_CORE_EXPORT QString XReplaceStr(const QString& text, const QString& oldText,
                                        const QString& newText, int mode);

// Whether text begins with prefix, letter case counting.
BRINDLE_CORE_EXPORT bool StartsWith(const QString& text, const QString& prefix);

// The part before the first sep; the whole text when sep does not occur
// (an empty sep never occurs).
BRINDLE_CORE_EXPORT QString GetBeforeSep(const QString& text, const QString& sep);
// The part after the first sep; empty when sep does not occur.
BRINDLE_CORE_EXPORT QString GetAfterSep(const QString& text, const QString& sep);
// Splits at the first sep; without one, name is the whole text and value is empty.
BRINDLE_CORE_EXPORT void GetNameAndValueSep(const QString& text, const QString& sep,
                                            QString& name, QString& value);

BRINDLE_CORE_EXPORT int CharCount(const QString& text, QChar c);

// The 1-based position of sub in text, searching from the 1-based start;
// 0 when absent, when sub is empty or start lies outside the text.
BRINDLE_CORE_EXPORT int XPos(const QString& sub, const QString& text, int start);
// XPos with letter case ignored.
BRINDLE_CORE_EXPORT int CXPos(const QString& sub, const QString& text, int start);

// Whether the list holds the text, letter case ignored.
BRINDLE_CORE_EXPORT bool StrInList(const QString& text, const QStringList& list);

// Non-empty, a letter or "_" first, then letters, digits or "_".
BRINDLE_CORE_EXPORT bool IsIdentifier(const QString& text);

// A blank: a character from #0 to " ".
inline bool IsSpace(QChar c) { return c.unicode() <= u' '; }
// Two ASCII characters equal with letter case ignored; the comparers below
// use it for their ASCII path and the Unicode tables for the rest.
inline bool SameAsciiIgnoringCase(char16_t x, char16_t y)
{
    const char16_t lower = x | 0x20;
    return x == y || (lower == (y | 0x20) && lower >= u'a' && lower <= u'z');
}

// The decimal digits of n appended to the text, without QString::number's
// locale machinery: row identifiers and field IDs are written for every row.
BRINDLE_CORE_EXPORT void AppendNumber(QString& text, long long n);

// A set of ASCII characters, letters kept in lower case.
class AsciiSet {
public:
    void Add(char16_t c)
    {
        if (c >= u'A' && c <= u'Z')
            c += 32;
        if (c < 0x80)
            FBits[c >> 6] |= quint64(1) << (c & 63);
    }
    bool IsWithin(const AsciiSet& other) const
    {
        return (FBits[0] & ~other.FBits[0]) == 0 && (FBits[1] & ~other.FBits[1]) == 0;
    }

private:
    quint64 FBits[2] = {0, 0};
};

// The text with blanks removed from both ends.
BRINDLE_CORE_EXPORT QString TrimBlanks(const QString& text);

// quote + text with every quote doubled + quote.
BRINDLE_CORE_EXPORT QString QuotedString(const QString& text, QChar quote);
// The reverse of QuotedString when the text starts and ends with the quote;
// any other text comes back unchanged.
BRINDLE_CORE_EXPORT QString UnquotedString(const QString& text, QChar quote);

// Whether word occurs in text, letter case ignored, with no word character
// directly before or after it. An empty word never occurs.
BRINDLE_CORE_EXPORT bool ContainsAsWholeWord(const QString& text, const QString& word);

// Equal once every blank is removed from both, letter case ignored.
BRINDLE_CORE_EXPORT bool EqualToSpaces(QStringView a, QStringView b);
// Equal (case counting) once every character of symbols is removed from both.
BRINDLE_CORE_EXPORT bool EqualToSymbols(const QString& a, const QString& b, const QString& symbols);

// The items joined by "," with no quoting.
BRINDLE_CORE_EXPORT QString ComposeCommaText(const QStringList& items);

// Clears the list and adds the parts of text between separators, each with
// its blanks trimmed. The empty text gives an empty list.
BRINDLE_CORE_EXPORT void SetSeparatorList(const QString& text, QChar sep, TStringList& list);

// dir and name joined by "/", unless dir is empty or already ends with a
// slash or backslash.
BRINDLE_CORE_EXPORT QString ConcPath(const QString& dir, const QString& name);

// The text case-folded, as a key for lookups that ignore letter case. Plain
// ASCII text, the usual case of names, is folded without the general
// Unicode tables and without a copy when it has no capitals.
BRINDLE_CORE_EXPORT QString FoldCase(const QString& text);

} // namespace brindle
