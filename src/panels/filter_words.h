#pragma once
// How typed text picks entries wherever a list filters as the user types:
// the text splits at blanks into words, and an entry stays when every word
// occurs in its caption or in the name of its group, letter case ignored,
// the text taken literally (no patterns). Lists fold their captions once
// (FilterKey) and compare each keystroke's words with them.

#include <brindle/brindle_widgets_export.h>

#include <QStringList>

namespace brindle {

// The words of the typed text, case-folded; none for a blank text.
BRINDLE_WIDGETS_EXPORT QStringList FilterWords(const QString& text);
// A caption or group name as the words are compared with it.
inline QString FilterKey(const QString& text)
{
    return text.toCaseFolded();
}
// Whether every word occurs in the caption or the group (both folded).
BRINDLE_WIDGETS_EXPORT bool HoldsEvery(const QString& captionKey, const QString& groupKey, const QStringList& words);

} // namespace brindle
