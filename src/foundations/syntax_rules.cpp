#include <brindle/foundations/syntax_rules.h>

#include <algorithm>
#include <iterator>

namespace brindle {
namespace {

// Words at least one of the servers reserves, lower case, sorted. One list
// for all four keeps a model portable: a name is written the same way
// whichever server syntax is chosen, save for its quote characters.
constexpr QStringView kReservedWords[] = {
    u"add",        u"all",       u"alter",      u"analyse",   u"analyze",  u"and",        u"any",
    u"array",      u"as",        u"asc",        u"between",   u"both",     u"by",         u"case",
    u"cast",       u"check",     u"collate",    u"column",    u"constraint", u"create",   u"cross",
    u"current_date", u"current_time", u"current_timestamp", u"current_user", u"database", u"default",
    u"delete",     u"desc",      u"distinct",   u"drop",      u"else",     u"end",        u"escape",
    u"except",     u"exists",    u"false",      u"fetch",     u"for",      u"foreign",    u"from",
    u"full",       u"grant",     u"group",      u"having",    u"in",       u"index",      u"inner",
    u"insert",     u"intersect", u"into",       u"is",        u"join",     u"key",        u"leading",
    u"left",       u"like",      u"limit",      u"natural",   u"not",      u"null",       u"offset",
    u"on",         u"or",        u"order",      u"outer",     u"percent",  u"primary",    u"references",
    u"right",      u"rows",      u"select",     u"session_user", u"set",   u"table",      u"then",
    u"to",         u"top",       u"trailing",   u"true",      u"union",    u"unique",     u"update",
    u"user",       u"using",     u"values",     u"when",      u"where",    u"window",     u"with",
};

bool isReserved(QStringView name)
{
    if (name.size() > 17)
        return false;
    char16_t lower[18];
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        lower[i] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    }
    const QStringView key(lower, name.size());
    return std::binary_search(std::begin(kReservedWords), std::end(kReservedWords), key,
                              [](QStringView a, QStringView b) { return a.compare(b) < 0; });
}

bool isNameStart(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; }
bool isNameChar(char16_t c) { return isNameStart(c) || (c >= u'0' && c <= u'9'); }

bool startsWord(QStringView text, qsizetype at, QStringView word)
{
    if (at > 0 && (isNameChar(text[at - 1].unicode()) || text[at - 1] == u'.'))
        return false;
    if (text.size() - at < word.size() || text.mid(at, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    return at + word.size() >= text.size() || !isNameChar(text[at + word.size()].unicode());
}

qsizetype skipBlanks(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at].isSpace())
        ++at;
    return at;
}

// A literal read from the text: its value and where its text ended.
struct ReadLiteral {
    QString Value;
    qsizetype End = 0;
};

ReadLiteral readLiteral(TSQLSyntax syntax, QStringView text, qsizetype at)
{
    ReadLiteral read;
    qsizetype i = at + 1;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && syntax == ssMySQL && i + 1 < text.size()) {
            read.Value += text[++i];
            continue;
        }
        if (c == u'\'') {
            if (i + 1 < text.size() && text[i + 1] == u'\'') {
                read.Value += c;
                ++i;
                continue;
            }
            ++i;
            break;
        }
        read.Value += c;
    }
    read.End = i;
    return read;
}

// The name delimited by open/close starting at text[at], doubled closing
// quotes undone.
ReadLiteral readDelimited(QStringView text, qsizetype at, QChar close)
{
    ReadLiteral read;
    qsizetype i = at + 1;
    for (; i < text.size(); ++i) {
        if (text[i] == close) {
            if (i + 1 < text.size() && text[i + 1] == close) {
                read.Value += close;
                ++i;
                continue;
            }
            ++i;
            break;
        }
        read.Value += text[i];
    }
    read.End = i;
    return read;
}

QString standardLiteral(const QString& value)
{
    QString text = value;
    text.replace(u'\'', QStringLiteral("''"));
    return u'\'' + text + u'\'';
}

// The pattern's value with the escape character's work undone.
QString unescaped(const QString& pattern, QChar escape, bool markEscapes)
{
    QString value;
    value.reserve(pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != escape || i + 1 == pattern.size()) {
            value += pattern[i];
            continue;
        }
        const QChar c = pattern[++i];
        if (markEscapes && c == u'%')
            value += QChar(kEscapedPercent);
        else if (markEscapes && c == u'_')
            value += QChar(kEscapedUnderscore);
        else
            value += c;
    }
    return value;
}

// The end of the bracket opened at text[open], literals and names skipped.
qsizetype closingBracket(QStringView text, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"') {
            i = readDelimited(text, i, c).End - 1;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')' && --depth == 0) {
            return i;
        }
    }
    return -1;
}

// LIST(x) for the list aggregates the server syntaxes write; the text is
// already in standard spelling, so only ' and " need skipping.
QString standardListAggregates(const QString& text)
{
    static constexpr QStringView functions[] = {u"string_agg", u"group_concat"};
    QString out;
    qsizetype done = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"') {
            i = readDelimited(text, i, c).End - 1;
            continue;
        }
        for (const QStringView function : functions) {
            if (!startsWord(text, i, function))
                continue;
            const qsizetype open = skipBlanks(text, i + function.size());
            const qsizetype close = open < text.size() && text[open] == u'(' ? closingBracket(text, open) : -1;
            if (close < 0)
                break;
            QString inner = text.mid(open + 1, close - open - 1).trimmed();
            // The separator goes: ", ', '" or "SEPARATOR ', '" at the end.
            const qsizetype literal = inner.endsWith(u'\'') ? inner.lastIndexOf(u'\'', inner.size() - 2) : -1;
            if (literal > 0) {
                QString head = inner.left(literal).trimmed();
                if (head.endsWith(u','))
                    head.chop(1);
                else if (head.endsWith(QLatin1String("separator"), Qt::CaseInsensitive))
                    head.chop(9);
                inner = head.trimmed();
            }
            if (inner.startsWith(QLatin1String("CAST("), Qt::CaseInsensitive)
                && inner.endsWith(QLatin1String(" AS text)"), Qt::CaseInsensitive))
                inner = inner.mid(5, inner.size() - 5 - 9);
            out += QStringView(text).mid(done, i - done);
            out += QStringLiteral("LIST(") + inner + u')';
            done = close + 1;
            i = close;
            break;
        }
    }
    if (done == 0)
        return text;
    out += QStringView(text).mid(done);
    return out;
}

} // namespace

bool IsServerSyntax(TSQLSyntax syntax)
{
    return syntax == ssPostgreSQL || syntax == ssSQLite || syntax == ssMySQL || syntax == ssMSSQL;
}

QChar NameOpenQuote(TSQLSyntax syntax)
{
    return syntax == ssMySQL ? u'`' : syntax == ssMSSQL ? u'[' : u'"';
}

QChar NameCloseQuote(TSQLSyntax syntax)
{
    return syntax == ssMySQL ? u'`' : syntax == ssMSSQL ? u']' : u'"';
}

bool NameNeedsQuotes(QStringView name)
{
    if (name.isEmpty() || !isNameStart(name[0].unicode()))
        return true;
    for (const QChar c : name)
        if (!isNameChar(c.unicode()))
            return true;
    return isReserved(name);
}

QString DelimitedName(TSQLSyntax syntax, const QString& name)
{
    const QChar close = NameCloseQuote(syntax);
    QString text = name;
    text.replace(close, QString(2, close));
    return NameOpenQuote(syntax) + text + close;
}

QString NameInSyntax(TSQLSyntax syntax, const QString& name, bool forced)
{
    if (!IsServerSyntax(syntax) || !(forced || NameNeedsQuotes(name)))
        return name;
    return DelimitedName(syntax, name);
}

QString NamesInSyntax(TSQLSyntax syntax, const QString& expr)
{
    if (NameOpenQuote(syntax) == u'"' || !IsServerSyntax(syntax) || !expr.contains(u'"'))
        return expr;
    const QStringView text(expr);
    QString out;
    out.reserve(expr.size());
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"') {
            const ReadLiteral read = readDelimited(text, i, c);
            if (c == u'"')
                out += DelimitedName(syntax, read.Value);
            else
                out += text.mid(i, read.End - i);
            i = read.End;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

QString LiteralText(TSQLSyntax syntax, const QString& value)
{
    const bool backslashes = syntax == ssMySQL && value.contains(u'\\');
    if (!backslashes && !value.contains(u'\''))
        return value;
    QString text;
    text.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == u'\'' || (backslashes && c == u'\\'))
            text += c;
        text += c;
    }
    return text;
}

QChar LikeEscapeChar(TSQLSyntax syntax)
{
    if (!IsServerSyntax(syntax))
        return {};
    // A backslash would need doubling in a MySQL literal as well.
    return syntax == ssMySQL ? u'!' : u'\\';
}

bool EscapeLikeText(TSQLSyntax syntax, QString& literalText)
{
    const QChar escape = LikeEscapeChar(syntax);
    if (escape.isNull())
        return false;
    // PostgreSQL and MySQL take the backslash as the escape when no ESCAPE
    // clause names another; SQL Server reads "[" as a character class.
    const auto special = [&](QChar c) {
        return c == u'%' || c == u'_' || c == escape || (c == u'[' && syntax == ssMSSQL)
               || (c == u'\\' && (syntax == ssPostgreSQL || syntax == ssMySQL));
    };
    if (std::none_of(literalText.cbegin(), literalText.cend(), special))
        return false;
    QString text;
    text.reserve(literalText.size() + 8);
    for (qsizetype i = 0; i < literalText.size(); ++i) {
        const QChar c = literalText[i];
        // In MySQL a backslash arrives doubled and is plain text under "!".
        if (c == u'\\' && syntax == ssMySQL) {
            text += c;
            if (i + 1 < literalText.size())
                text += literalText[++i];
            continue;
        }
        if (special(c))
            text += escape;
        text += c;
    }
    literalText = text;
    return true;
}

QString WithILike(const QString& sql)
{
    const QStringView text(sql);
    QString out;
    out.reserve(sql.size() + 4);
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = readDelimited(text, i, c).End;
            out += text.mid(i, end - i);
            i = end;
        } else if (startsWord(text, i, u"like")) {
            out += QStringLiteral("ILIKE");
            i += 4;
        } else if (isNameChar(c.unicode())) {
            qsizetype end = i;
            while (end < text.size() && isNameChar(text[end].unicode()))
                ++end;
            out += text.mid(i, end - i);
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString EscapeLikeParam(TSQLSyntax syntax, const QString& value)
{
    const QChar escape = LikeEscapeChar(syntax);
    if (escape.isNull())
        return value;
    QString text;
    text.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == u'%' || c == u'_' || c == escape || (c == u'[' && syntax == ssMSSQL))
            text += escape;
        text += c;
    }
    return text;
}

QString LikeEscapeClause(TSQLSyntax syntax)
{
    return QStringLiteral(" ESCAPE '") + LikeEscapeChar(syntax) + u'\'';
}

QString ListAggregate(TSQLSyntax syntax, const QString& expr)
{
    switch (syntax) {
    case ssPostgreSQL:
        return QStringLiteral("string_agg(CAST(") + expr + QStringLiteral(" AS text), ', ')");
    case ssSQLite:
        return QStringLiteral("group_concat(") + expr + QStringLiteral(", ', ')");
    case ssMySQL:
        return QStringLiteral("GROUP_CONCAT(") + expr + QStringLiteral(" SEPARATOR ', ')");
    case ssMSSQL:
        return QStringLiteral("STRING_AGG(") + expr + QStringLiteral(", ', ')");
    case ssSQL1:
    case ssSQL2:
    case ssOracle:
    case ssAccess:
    case ssNexusDB:
        break;
    }
    return QStringLiteral("LIST(") + expr + u')';
}

QString DateLiteral(TSQLSyntax syntax, const QString& date)
{
    switch (syntax) {
    case ssSQLite:
        return u'\'' + date + u'\'';
    case ssMSSQL:
        // yyyymmdd is read the same under every language and DATEFORMAT.
        return u'\'' + QString(date).remove(u'-') + u'\'';
    default:
        return QStringLiteral("DATE '") + date + u'\'';
    }
}

QString TimeLiteral(TSQLSyntax syntax, const QString& time)
{
    if (syntax == ssSQLite || syntax == ssMSSQL)
        return u'\'' + time + u'\'';
    return QStringLiteral("TIME '") + time + u'\'';
}

QString DateTimeLiteral(TSQLSyntax syntax, const QString& date, const QString& time)
{
    switch (syntax) {
    case ssSQLite:
        return u'\'' + date + u' ' + time + u'\'';
    case ssMSSQL:
        // The ISO form with "T" is likewise independent of the settings.
        return u'\'' + date + u'T' + time + u'\'';
    default:
        return QStringLiteral("TIMESTAMP '") + date + u' ' + time + u'\'';
    }
}

// Whether the text may hold anything StandardSpelling rewrites; most
// conditions hold nothing, and the import asks for every one: one pass over
// the characters and the words.
bool mayNeedRespelling(TSQLSyntax syntax, QStringView text)
{
    static constexpr QStringView words[] = {u"date", u"time", u"ilike", u"escape", u"timestamp", u"string_agg",
                                            u"group_concat"};
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text[i].unicode();
        if (c == u'`' || c == u'[' || (c == u'\\' && syntax == ssMySQL))
            return true;
        if (!isNameChar(c)) {
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < text.size() && isNameChar(text[end].unicode()))
            ++end;
        const QStringView word = text.mid(i, end - i);
        for (const QStringView known : words)
            if (word.size() == known.size() && word.compare(known, Qt::CaseInsensitive) == 0)
                return true;
        i = end;
    }
    return false;
}

QString StandardSpelling(TSQLSyntax syntax, const QString& expr, bool markEscapes)
{
    if (!IsServerSyntax(syntax))
        return expr;
    if (!mayNeedRespelling(syntax, expr))
        return expr;
    const QStringView text(expr);
    QString out;
    out.reserve(expr.size());
    qsizetype lastLiteral = -1; // where the last literal starts in out
    QString lastValue;
    const QChar open = NameOpenQuote(syntax);
    const QChar close = NameCloseQuote(syntax);
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == u'\'') {
            const ReadLiteral read = readLiteral(syntax, text, i);
            lastLiteral = out.size();
            lastValue = read.Value;
            out += standardLiteral(read.Value);
            i = read.End;
            continue;
        }
        if (c == open || c == u'"') {
            const ReadLiteral read = readDelimited(text, i, c == u'"' ? QChar(u'"') : close);
            out += u'"' + QString(read.Value).replace(u'"', QStringLiteral("\"\"")) + u'"';
            i = read.End;
            continue;
        }
        if (startsWord(text, i, u"escape") && lastLiteral >= 0) {
            const qsizetype at = skipBlanks(text, i + 6);
            if (at < text.size() && text[at] == u'\'') {
                const ReadLiteral escape = readLiteral(syntax, text, at);
                if (escape.Value.size() == 1) {
                    while (out.endsWith(u' '))
                        out.chop(1);
                    if (out.endsWith(u'\'')) {
                        out.truncate(lastLiteral);
                        out += standardLiteral(unescaped(lastValue, escape.Value[0], markEscapes));
                    }
                    i = escape.End;
                    continue;
                }
            }
        }
        bool typed = false;
        for (const QStringView word : {QStringView(u"timestamp"), QStringView(u"date"), QStringView(u"time")}) {
            if (!startsWord(text, i, word))
                continue;
            const qsizetype at = skipBlanks(text, i + word.size());
            if (at > i + word.size() && at < text.size() && text[at] == u'\'') {
                i = at;
                typed = true;
            }
            break;
        }
        if (typed)
            continue;
        // Words are copied whole, so that no word's tail reads as a keyword.
        if (isNameChar(c.unicode())) {
            qsizetype end = i;
            while (end < text.size() && isNameChar(text[end].unicode()))
                ++end;
            const QStringView word = text.mid(i, end - i);
            out += syntax == ssPostgreSQL && word.compare(u"ilike", Qt::CaseInsensitive) == 0 ? u"like" : word;
            i = end;
            continue;
        }
        out += c;
        ++i;
    }
    return standardListAggregates(out);
}

} // namespace brindle
