#include <brindle/foundations/text_utils.h>

#include <algorithm>

namespace brindle {
namespace {

bool isWordCodePoint(char32_t cp)
{
    return cp == U'_' || QChar::isLetter(cp) || QChar::isDigit(cp);
}

// The code point that starts at pos; a lone surrogate stands for itself.
char32_t codePointAt(const QString& text, qsizetype pos)
{
    const QChar c = text.at(pos);
    if (c.isHighSurrogate() && pos + 1 < text.size() && text.at(pos + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(c, text.at(pos + 1));
    return c.unicode();
}

// The code point that ends just before pos.
char32_t codePointBefore(const QString& text, qsizetype pos)
{
    const QChar c = text.at(pos - 1);
    if (c.isLowSurrogate() && pos >= 2 && text.at(pos - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(text.at(pos - 2), c);
    return c.unicode();
}

bool isWholeWordAt(const QString& text, qsizetype pos, qsizetype length)
{
    if (pos > 0 && isWordCodePoint(codePointBefore(text, pos)))
        return false;
    const qsizetype end = pos + length;
    return end >= text.size() || !isWordCodePoint(codePointAt(text, end));
}

// Position of the first match of sub at or after from that satisfies the
// whole-word rule when asked; -1 when none.
qsizetype findMatch(const QString& text, const QString& sub, qsizetype from, Qt::CaseSensitivity cs,
                    bool wholeWord)
{
    for (qsizetype pos = text.indexOf(sub, from, cs); pos >= 0; pos = text.indexOf(sub, pos + 1, cs)) {
        if (!wholeWord || isWholeWordAt(text, pos, sub.size()))
            return pos;
    }
    return -1;
}

int xpos(const QString& sub, const QString& text, int start, Qt::CaseSensitivity cs)
{
    if (sub.isEmpty() || start < 1 || start > text.size())
        return 0;
    return static_cast<int>(text.indexOf(sub, start - 1, cs) + 1);
}

QString withoutBlanks(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!IsSpace(c))
            out += c;
    return out;
}

} // namespace

QString ReplaceStr(const QString& text, const QString& oldText, const QString& newText)
{
    return XReplaceStr(text, oldText, newText, 0);
}

QString XReplaceStr(const QString& text, const QString& oldText, const QString& newText, int mode)
{
    if (oldText.isEmpty())
        return text;
    const Qt::CaseSensitivity cs = (mode & rmIgnoreCase) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const bool wholeWord = (mode & rmWholeWord) != 0;
    QString out;
    qsizetype done = 0;
    for (qsizetype pos = findMatch(text, oldText, 0, cs, wholeWord); pos >= 0;
         pos = findMatch(text, oldText, done, cs, wholeWord)) {
        out += QStringView(text).mid(done, pos - done);
        out += newText;
        done = pos + oldText.size();
    }
    if (done == 0)
        return text;
    out += QStringView(text).mid(done);
    return out;
}

bool StartsWith(const QString& text, const QString& prefix)
{
    return text.startsWith(prefix, Qt::CaseSensitive);
}

QString GetBeforeSep(const QString& text, const QString& sep)
{
    QString name, value;
    GetNameAndValueSep(text, sep, name, value);
    return name;
}

QString GetAfterSep(const QString& text, const QString& sep)
{
    QString name, value;
    GetNameAndValueSep(text, sep, name, value);
    return value;
}

void GetNameAndValueSep(const QString& text, const QString& sep, QString& name, QString& value)
{
    const qsizetype pos = sep.isEmpty() ? -1 : text.indexOf(sep);
    if (pos < 0) {
        name = text;
        value.clear();
        return;
    }
    // Read both parts before assigning: text may be the same object as name or value.
    QString before = text.left(pos);
    QString after = text.mid(pos + sep.size());
    name = std::move(before);
    value = std::move(after);
}

int CharCount(const QString& text, QChar c)
{
    return static_cast<int>(text.count(c));
}

int XPos(const QString& sub, const QString& text, int start)
{
    return xpos(sub, text, start, Qt::CaseSensitive);
}

int CXPos(const QString& sub, const QString& text, int start)
{
    return xpos(sub, text, start, Qt::CaseInsensitive);
}

bool StrInList(const QString& text, const QStringList& list)
{
    return list.contains(text, Qt::CaseInsensitive);
}

bool IsIdentifier(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (qsizetype i = 0; i < text.size();) {
        const char32_t cp = codePointAt(text, i);
        if (i == 0 ? !(cp == U'_' || QChar::isLetter(cp)) : !isWordCodePoint(cp))
            return false;
        i += QChar::requiresSurrogates(cp) ? 2 : 1;
    }
    return true;
}

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsSpace(text.at(first)))
        ++first;
    while (last > first && IsSpace(text.at(last - 1)))
        --last;
    if (first == 0 && last == text.size())
        return text;
    return text.mid(first, last - first);
}

QString QuotedString(const QString& text, QChar quote)
{
    const qsizetype doubled = text.count(quote);
    QString out(text.size() + doubled + 2, Qt::Uninitialized);
    QChar* to = out.data();
    *to++ = quote;
    for (const QChar c : text) {
        *to++ = c;
        if (c == quote)
            *to++ = c;
    }
    *to = quote;
    return out;
}

QString UnquotedString(const QString& text, QChar quote)
{
    if (text.size() < 2 || text.front() != quote || text.back() != quote)
        return text;
    const QString doubled(2, quote);
    return text.mid(1, text.size() - 2).replace(doubled, QString(quote));
}

bool ContainsAsWholeWord(const QString& text, const QString& word)
{
    return !word.isEmpty() && findMatch(text, word, 0, Qt::CaseInsensitive, true) >= 0;
}

bool EqualToSpaces(QStringView a, QStringView b)
{
    // Most texts compared are equal as they stand.
    if (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin()))
        return true;
    // ASCII texts are compared in place; others through Qt's case folding.
    qsizetype i = 0;
    qsizetype j = 0;
    for (;;) {
        while (i < a.size() && a[i].unicode() < 0x80 && IsSpace(a[i]))
            ++i;
        while (j < b.size() && b[j].unicode() < 0x80 && IsSpace(b[j]))
            ++j;
        if (i == a.size() || j == b.size())
            return i == a.size() && j == b.size();
        const char16_t x = a[i].unicode();
        const char16_t y = b[j].unicode();
        if (x >= 0x80 || y >= 0x80)
            break;
        if (!SameAsciiIgnoringCase(x, y))
            return false;
        ++i;
        ++j;
    }
    return withoutBlanks(a.toString()).compare(withoutBlanks(b.toString()), Qt::CaseInsensitive) == 0;
}

bool EqualToSymbols(const QString& a, const QString& b, const QString& symbols)
{
    const auto strip = [&symbols](const QString& text) {
        QString out;
        out.reserve(text.size());
        for (QChar c : text)
            if (!symbols.contains(c))
                out += c;
        return out;
    };
    return strip(a) == strip(b);
}

QString ComposeCommaText(const QStringList& items)
{
    return items.join(u',');
}

void SetSeparatorList(const QString& text, QChar sep, TStringList& list)
{
    // Split first: text may belong to the list being cleared.
    const QStringList parts = text.isEmpty() ? QStringList() : text.split(sep);
    list.Clear();
    for (const QString& part : parts)
        list.Add(TrimBlanks(part));
}

QString ConcPath(const QString& dir, const QString& name)
{
    if (dir.isEmpty() || dir.endsWith(u'/') || dir.endsWith(u'\\'))
        return dir + name;
    return dir + u'/' + name;
}

void AppendNumber(QString& text, long long n)
{
    char16_t digits[24];
    int count = 0;
    // Negative numbers are counted down so that the smallest one has digits too.
    const bool negative = n < 0;
    do {
        const int digit = static_cast<int>(n % 10);
        digits[count++] = static_cast<char16_t>(u'0' + (negative ? -digit : digit));
        n /= 10;
    } while (n != 0);
    if (negative)
        digits[count++] = u'-';
    // Room for a following separator too: row identifiers append one.
    const qsizetype at = text.size();
    text.reserve(at + count + 1);
    text.resize(at + count);
    QChar* to = text.data() + at;
    while (count > 0)
        *to++ = QChar(digits[--count]);
}

QString FoldCase(const QString& text)
{
    bool hasCapitals = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80)
            return text.toCaseFolded();
        hasCapitals = hasCapitals || (u >= u'A' && u <= u'Z');
    }
    if (!hasCapitals)
        return text;
    QString folded = text;
    for (QChar& c : folded)
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(static_cast<char16_t>(c.unicode() + 32));
    return folded;
}

} // namespace brindle
