#include "sqlimport/template_match.h"

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

// The end of a placeholder's value that starts at pos: the stop character
// outside brackets (and outside quotes, unless the stop is the closing quote
// itself), or the end of the text. Every character before it belongs to
// the value, a doubled quote's two included.
qsizetype valueEnd(QStringView text, qsizetype pos, bool hasStop, QChar stop)
{
    int depth = 0;
    bool quoted = false;
    QChar quote;
    for (; pos < text.size(); ++pos) {
        QChar c = text[pos];
        if (isQuote(c)) {
            if (!quoted) {
                quoted = true;
                quote = c;
            } else if (c == quote) {
                if (pos + 1 < text.size() && text[pos + 1] == c) {
                    // A doubled quote: the second is read on as the current
                    // character.
                    ++pos;
                    c = text[pos];
                } else {
                    quoted = false;
                }
            }
        }
        if (depth == 0 && hasStop && c == stop && (!quoted || c == quote))
            break;
        if (!quoted) {
            if (c == u'(')
                ++depth;
            else if (c == u')' && depth > 0)
                --depth;
        }
    }
    return pos;
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The match itself; store(name, value) keeps each value as it is read.
template <typename Store>
bool matchTemplate(QStringView templ, QStringView text, Store&& store)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < templ.size() || j < text.size()) {
        if (i >= templ.size() || j >= text.size())
            return false;
        if (templ[i] == text[j] || templ[i].toLower() == text[j].toLower()) {
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
        const QStringView name = templ.mid(i, end - i);
        i = end;
        if (quotePassed && i < templ.size())
            ++i;
        const bool hasStop = i < templ.size();
        const qsizetype valueStart = j;
        j = valueEnd(text, j, hasStop, hasStop ? templ[i] : QChar());
        store(name, text.mid(valueStart, j - valueStart));
    }
    return true;
}

} // namespace

void TTemplateVariables::Set(QStringView name, QStringView value)
{
    for (Entry& entry : FEntries)
        if (sameName(entry.Name, name)) {
            entry.Value.resize(0);
            entry.Value.append(value);
            return;
        }
    FEntries.append({name.toString(), value.toString()});
}

QString TTemplateVariables::Value(QStringView name) const
{
    for (const Entry& entry : FEntries)
        if (sameName(entry.Name, name))
            return entry.Value;
    return {};
}

bool MatchSQLTemplate(QStringView templ, QStringView text, TTemplateVariables& variables)
{
    return matchTemplate(templ, text, [&](QStringView name, QStringView value) { variables.Set(name, value); });
}

bool MatchSQLTemplate(QStringView templ, QStringView text, TStringList& variables)
{
    return matchTemplate(templ, text, [&](QStringView name, QStringView value) {
        variables.SetValue(name.toString(), value.toString());
    });
}

} // namespace brindle
