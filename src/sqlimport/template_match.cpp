#include "sqlimport/template_match.h"

#include <optional>

namespace brindle {
namespace {

bool isQuote(QChar c)
{
    return c == u'\'' || c == u'"';
}

void skipSpaces(QStringView text, qsizetype& pos)
{
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
}

// A placeholder's value from the text at pos, up to the stop character
// outside brackets (and outside quotes, unless the stop is the closing quote
// itself). The stop is not consumed.
QString readValue(QStringView text, qsizetype& pos, std::optional<QChar> stop)
{
    QString value;
    int depth = 0;
    std::optional<QChar> quote;
    for (; pos < text.size(); ++pos) {
        QChar c = text[pos];
        if (isQuote(c)) {
            if (!quote) {
                quote = c;
            } else if (c == *quote) {
                if (pos + 1 < text.size() && text[pos + 1] == c) {
                    // A doubled quote: the first goes into the value, the
                    // second is read on as the current character.
                    value += c;
                    ++pos;
                    c = text[pos];
                } else {
                    quote.reset();
                }
            }
        }
        if (depth == 0 && stop && c == *stop && (!quote || c == *quote))
            break;
        value += c;
        if (!quote) {
            if (c == u'(')
                ++depth;
            else if (c == u')' && depth > 0)
                --depth;
        }
    }
    return value;
}

} // namespace

bool MatchSQLTemplate(QStringView templ, QStringView text, TStringList& variables)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < templ.size() || j < text.size()) {
        if (i >= templ.size() || j >= text.size())
            return false;
        if (templ[i].toLower() == text[j].toLower()) {
            ++i;
            ++j;
            skipSpaces(templ, i);
            skipSpaces(text, j);
            continue;
        }
        bool quotePassed = false;
        if (templ[i] == u'\'') {
            ++i;
            quotePassed = true;
        }
        if (i >= templ.size() || templ[i] != u'@')
            return false;
        qsizetype end = i + 1;
        while (end < templ.size() && (templ[end].isDigit() || templ[end] == u'f' || templ[end] == u'F'))
            ++end;
        const QString name = templ.mid(i, end - i).toString();
        i = end;
        if (quotePassed && i < templ.size())
            ++i;
        const std::optional<QChar> stop = i < templ.size() ? std::optional<QChar>(templ[i]) : std::nullopt;
        variables.SetValue(name, readValue(text, j, stop));
    }
    return true;
}

} // namespace brindle
