#include <brindle/sqlimport/template_match.h>

#include <brindle/foundations/text_utils.h>

namespace brindle {
namespace {

bool isQuote(QChar c)
{
    return c == u'\'' || c == u'"';
}

// Letters compare as toLower sees them; ASCII without a table.
bool sameLetter(QChar a, QChar b)
{
    if (a == b)
        return true;
    const char16_t x = a.unicode();
    const char16_t y = b.unicode();
    if (x < 0x80 && y < 0x80)
        return SameAsciiIgnoringCase(x, y);
    return a.toLower() == b.toLower();
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

// The end of a value inside a quoted literal of the template: the stop
// character or the literal's closing quote, a doubled quote being part of
// the value.
qsizetype literalValueEnd(QStringView text, qsizetype pos, bool hasStop, QChar stop)
{
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (c == u'\'') {
            if (pos + 1 < text.size() && text[pos + 1] == u'\'') {
                ++pos;
                continue;
            }
            break;
        }
        if (hasStop && c == stop)
            break;
    }
    return pos;
}

// Placeholder names are "@" with digits or "f": ASCII.
bool sameName(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (!sameLetter(a[i], b[i]))
            return false;
    return true;
}

// Where the placeholder name that starts with the "@" at pos ends: "@"
// with digits or "f".
qsizetype placeholderEnd(QStringView templ, qsizetype pos)
{
    ++pos;
    while (pos < templ.size() && (templ[pos].isDigit() || templ[pos] == u'f' || templ[pos] == u'F'))
        ++pos;
    return pos;
}

// The match itself; store(name, value) keeps each value as it is read.
// Values at the start of the text end as ends, when given, has found them.
template <typename Store>
bool matchTemplate(QStringView templ, QStringView text, Store&& store, TemplateText* ends = nullptr)
{
    qsizetype i = 0;
    qsizetype j = 0;
    // Inside a quoted literal that the template and the text share.
    bool literal = false;
    while (i < templ.size() || j < text.size()) {
        if (i >= templ.size() || j >= text.size())
            return false;
        if (sameLetter(templ[i], text[j])) {
            if (templ[i] == u'\'')
                literal = !literal;
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
        const qsizetype end = placeholderEnd(templ, i);
        const QStringView name = templ.mid(i, end - i);
        i = end;
        if (quotePassed && i < templ.size())
            ++i;
        const bool hasStop = i < templ.size();
        const qsizetype valueStart = j;
        const QChar stop = hasStop ? templ[i] : QChar();
        if (literal)
            j = literalValueEnd(text, j, hasStop, stop);
        else if (j == 0 && ends)
            j = ends->LeadingValueEnd(hasStop, stop);
        else
            j = valueEnd(text, j, hasStop, stop);
        store(name, text.mid(valueStart, j - valueStart), literal);
    }
    return true;
}

} // namespace

AsciiSet TemplateCharacters(QStringView templ)
{
    AsciiSet set;
    for (qsizetype i = 0; i < templ.size(); ++i) {
        const bool quoted = templ[i] == u'\'' && i + 1 < templ.size() && templ[i + 1] == u'@';
        if (quoted)
            ++i;
        if (templ[i] == u'@') {
            // A placeholder, read as the match reads one.
            i = placeholderEnd(templ, i);
            if (!quoted)
                --i;
            continue;
        }
        if (!templ[i].isSpace())
            set.Add(templ[i].unicode());
    }
    return set;
}

AsciiSet TextCharacters(QStringView text)
{
    AsciiSet set;
    for (const QChar c : text) {
        // A letter outside ASCII may match an ASCII one through toLower.
        const char16_t u = c.unicode() < 0x80 ? c.unicode() : c.toLower().unicode();
        set.Add(u);
    }
    return set;
}

void TemplateVariables::Set(QStringView name, QStringView value, bool literal)
{
    for (Entry& entry : FEntries)
        if (sameName(entry.Name, name)) {
            entry.Value = value;
            entry.Literal = literal;
            return;
        }
    FEntries.append({name, value, literal});
}

bool TemplateVariables::Literal(QStringView name) const
{
    for (const Entry& entry : FEntries)
        if (sameName(entry.Name, name))
            return entry.Literal;
    return false;
}

QString TemplateVariables::Text(QStringView name) const
{
    QString text = Value(name).toString();
    if (Literal(name))
        text.replace(QStringLiteral("''"), QStringLiteral("'"));
    return text;
}

QStringView TemplateVariables::Value(QStringView name) const
{
    for (const Entry& entry : FEntries)
        if (sameName(entry.Name, name))
            return entry.Value;
    return {};
}

qsizetype TemplateText::LeadingValueEnd(bool hasStop, QChar stop)
{
    for (const Known& known : FEnds)
        if (known.HasStop == hasStop && known.Stop == stop)
            return known.End;
    const qsizetype end = valueEnd(FText, 0, hasStop, stop);
    FEnds.append({stop, hasStop, end});
    return end;
}

bool MatchSQLTemplate(QStringView templ, QStringView text, TemplateVariables& variables)
{
    return matchTemplate(templ, text,
                         [&](QStringView name, QStringView value, bool literal) { variables.Set(name, value, literal); });
}

bool MatchSQLTemplate(QStringView templ, TemplateText& text, TemplateVariables& variables)
{
    return matchTemplate(
        templ, text.Text(),
        [&](QStringView name, QStringView value, bool literal) { variables.Set(name, value, literal); }, &text);
}

bool MatchSQLTemplate(QStringView templ, QStringView text, TStringList& variables)
{
    return matchTemplate(templ, text, [&](QStringView name, QStringView value, bool) {
        variables.SetValue(name.toString(), value.toString());
    });
}

} // namespace brindle
