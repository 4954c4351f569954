#include <brindle/panels/filter_words.h>

namespace brindle {

QStringList FilterWords(const QString& text)
{
    return text.toCaseFolded().split(u' ', Qt::SkipEmptyParts);
}

bool HoldsEvery(const QString& captionKey, const QString& groupKey, const QStringList& words)
{
    for (const QString& word : words)
        if (!captionKey.contains(word) && !groupKey.contains(word))
            return false;
    return true;
}

} // namespace brindle
