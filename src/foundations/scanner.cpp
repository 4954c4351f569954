#include <brindle/foundations/scanner.h>

#include <algorithm>

namespace brindle {
namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= u' ' || (c.unicode() >= 0x80 && c.isSpace());
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The code point at pos and the number of QChars it takes; a lone
// surrogate stands for itself.
char32_t codePointAt(const QString& s, int pos, int& length)
{
    const QChar c = s.at(pos);
    if (c.isHighSurrogate() && pos + 1 < s.size() && s.at(pos + 1).isLowSurrogate()) {
        length = 2;
        return QChar::surrogateToUcs4(c, s.at(pos + 1));
    }
    length = 1;
    return c.unicode();
}

bool isWordStart(char32_t cp)
{
    return cp == U'_' || QChar::isLetter(cp);
}

bool isAsciiWordPart(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'$'
        || c == u'#';
}

bool isWordPart(char32_t cp)
{
    return cp == U'_' || cp == U'$' || cp == U'#' || QChar::isLetter(cp) || QChar::isDigit(cp)
        || QChar::isMark(cp);
}

} // namespace

bool TVxScanner::sameLowerOutsideAscii(char16_t c, char16_t lower)
{
    return QChar::toLower(c) == lower;
}

namespace {

bool isTwoCharOperator(QChar c, QChar next)
{
    return (c == u'<' && (next == u'>' || next == u'=')) || (c == u'>' && next == u'=')
        || (c == u'!' && next == u'=');
}

bool opensLineComment(ScannerStyle style, QChar c, QChar next)
{
    return (style == scsSQL && c == u'-' && next == u'-')
        || ((style == scsPascal || style == scsC) && c == u'/' && next == u'/');
}

// The closer of the block comment that c and next open; empty when none
// opens there. Each opener is as long as its closer.
QStringView blockCommentCloser(ScannerStyle style, QChar c, QChar next)
{
    if ((style == scsSQL || style == scsC) && c == u'/' && next == u'*')
        return u"*/";
    if (style == scsPascal && c == u'{')
        return u"}";
    if (style == scsPascal && c == u'(' && next == u'*')
        return u"*)";
    return {};
}

int digitsEnd(const QString& s, int i, int len)
{
    while (i < len && isAsciiDigit(s.at(i)))
        ++i;
    return i;
}

// The end of the number that starts at col with a digit; isFloat tells
// whether a fraction or an exponent followed the digits.
int numberEnd(const QString& s, int col, int len, bool& isFloat)
{
    int i = digitsEnd(s, col, len);
    isFloat = false;
    if (i + 1 < len && s.at(i) == u'.' && isAsciiDigit(s.at(i + 1))) {
        i = digitsEnd(s, i + 2, len);
        isFloat = true;
    }
    if (i < len && (s.at(i) == u'e' || s.at(i) == u'E')) {
        int j = i + 1;
        if (j < len && (s.at(j) == u'+' || s.at(j) == u'-'))
            ++j;
        if (j < len && isAsciiDigit(s.at(j))) {
            i = digitsEnd(s, j, len);
            isFloat = true;
        }
    }
    return i;
}

// The end of a word whose further characters start at i.
int wordEnd(const QString& s, int i, int len)
{
    int length = 1;
    for (;;) {
        // Most words are ASCII: their characters need no table.
        while (i < len && isAsciiWordPart(s.at(i).unicode()))
            ++i;
        if (i >= len || s.at(i).unicode() < 0x80 || !isWordPart(codePointAt(s, i, length)))
            return i;
        i += length;
    }
}

} // namespace

void TVxScanner::SetSourceStyle(ScannerStyle style)
{
    FStyle = style;
    FLastTokenLine.reset();
}

void TVxScanner::AddKeyword(const QString& keyword)
{
    const QString lower = keyword.toLower();
    FKeywords.append(lower);
    indexKeyword(lower);
}

void TVxScanner::indexKeyword(const QString& lower)
{
    const auto length = static_cast<std::size_t>(lower.size());
    if (FKeywordsByLength.size() <= length)
        FKeywordsByLength.resize(length + 1);
    FKeywordsByLength[length].push_back(lower);
}

bool TVxScanner::isKeyword(QStringView word) const
{
    const auto length = static_cast<std::size_t>(word.size());
    if (length >= FKeywordsByLength.size())
        return false;
    for (const QString& keyword : FKeywordsByLength[length])
        if (EqualsLower(word, keyword))
            return true;
    return false;
}

void TVxScanner::setToken(const Token& token)
{
    FToken = token;
    if (token.Kind == tkNone) {
        FTokenView = {};
    } else if (token.Start.Line == token.End.Line) {
        FTokenView = QStringView(FLines.at(token.Start.Line)).mid(token.Start.Column, token.End.Column - token.Start.Column);
    } else {
        FJoinedToken = textBetween(token.Start, token.End);
        FTokenView = FJoinedToken;
    }
}

void TVxScanner::SetSource(const TStringList& lines)
{
    SetSource(lines.Lines());
}

void TVxScanner::SetSource(const QStringList& lines)
{
    FLines = lines;
    FLastTokenLine.reset();
    FirstToken();
}

void TVxScanner::FirstToken()
{
    rebuildKeywordSet();
    setToken(scan({0, 0}));
    FIndex = 0;
    if (EOS()) {
        FLastTokenLine = -1;
        FEosLine = 0;
    }
}

void TVxScanner::NextToken()
{
    if (EOS())
        return;
    const int line = FToken.Start.Line;
    setToken(scan(FToken.End));
    ++FIndex;
    if (EOS()) {
        FLastTokenLine = line;
        FEosLine = line;
    }
}

int TVxScanner::GetTokLine() const
{
    return (EOS() ? FEosLine : FToken.Start.Line) + 1;
}

TVxScannerBookmark TVxScanner::GetBookmark() const
{
    return {FToken.Start.Line, FToken.Start.Column, FIndex};
}

void TVxScanner::GotoBookmark(const TVxScannerBookmark& bookmark)
{
    rebuildKeywordSet();
    setToken(scan(clamp(bookmark.Line, bookmark.Column)));
    FIndex = std::max(bookmark.Index, 0);
    if (EOS())
        FEosLine = std::max(lastTokenLine(), 0);
}

QString TVxScanner::ExtractPiece(const TVxScannerBookmark& first, const TVxScannerBookmark& second,
                                 bool includeSecond) const
{
    if (FLines.isEmpty())
        return {};
    Position from = clamp(first.Line, first.Column);
    Position to = clamp(second.Line, second.Column);
    if (to.Line < from.Line || (to.Line == from.Line && to.Column < from.Column))
        return {};
    if (includeSecond) {
        const Token t = scan(to);
        if (t.Kind != tkNone)
            to = t.End;
    }
    // Blanks and line breaks are trimmed before the text is copied, so that
    // a piece ending at the next line's first token is copied from one line.
    const auto before = [](Position a, Position b) { return a.Line < b.Line || (a.Line == b.Line && a.Column < b.Column); };
    while (before(from, to)) {
        const QString& line = FLines.at(from.Line);
        if (from.Column >= line.size())
            from = {from.Line + 1, 0};
        else if (isBlank(line.at(from.Column)))
            ++from.Column;
        else
            break;
    }
    while (before(from, to)) {
        if (to.Column == 0)
            to = {to.Line - 1, static_cast<int>(FLines.at(to.Line - 1).size())};
        else if (isBlank(FLines.at(to.Line).at(to.Column - 1)))
            --to.Column;
        else
            break;
    }
    if (!before(from, to))
        return {};
    if (from.Line == to.Line)
        return FLines.at(from.Line).mid(from.Column, to.Column - from.Column);
    return textBetween(from, to);
}

TVxScanner::Token TVxScanner::scan(Position from) const
{
    const int lineCount = static_cast<int>(FLines.size());
    int line = from.Line;
    int col = from.Column;
    while (line < lineCount) {
        const QString& s = FLines.at(line);
        const int len = static_cast<int>(s.size());
        if (col >= len) {
            ++line;
            col = 0;
            continue;
        }
        const QChar c = s.at(col);
        const QChar next = col + 1 < len ? s.at(col + 1) : QChar();
        if (isBlank(c)) {
            ++col;
            continue;
        }
        if (opensLineComment(FStyle, c, next)) {
            ++line;
            col = 0;
            continue;
        }
        const QStringView closer = blockCommentCloser(FStyle, c, next);
        if (!closer.isEmpty()) {
            const Position resume = skipBlockComment({line, col + static_cast<int>(closer.size())}, closer);
            line = resume.Line;
            col = resume.Column;
            continue;
        }
        Token t;
        t.Start = {line, col};
        if (c == u'\'' || (c == u'"' && FStyle == scsC)) {
            t.Kind = tkString;
            t.End = scanQuoted(t.Start, c, c == u'"');
        } else if (isAsciiDigit(c)) {
            bool isFloat = false;
            t.End = {line, numberEnd(s, col, len, isFloat)};
            t.Kind = isFloat ? tkFloat : tkInteger;
        } else {
            int length = 1;
            const char32_t cp = codePointAt(s, col, length);
            if (isWordStart(cp)) {
                t.End = {line, wordEnd(s, col + length, len)};
                t.Kind = isKeyword(QStringView(s).mid(col, t.End.Column - col)) ? tkKeyword : tkWord;
            } else {
                t.Kind = tkSymbol;
                t.End = {line, col + (isTwoCharOperator(c, next) ? 2 : length)};
            }
        }
        return t;
    }
    Token eos;
    eos.Start = eos.End = endOfSource();
    return eos;
}

TVxScanner::Position TVxScanner::scanQuoted(Position start, QChar quote, bool backslashEscapes) const
{
    const int lineCount = static_cast<int>(FLines.size());
    int col = start.Column + 1;
    for (int line = start.Line; line < lineCount; ++line, col = 0) {
        const QString& s = FLines.at(line);
        const int len = static_cast<int>(s.size());
        if (backslashEscapes) {
            // A backslash at the end of a line escapes the line break.
            while (col < len) {
                const QChar c = s.at(col);
                if (c == u'\\') {
                    col += 2;
                } else if (c == quote) {
                    return {line, col + 1};
                } else {
                    ++col;
                }
            }
        } else {
            for (qsizetype at = s.indexOf(quote, col); at >= 0; at = s.indexOf(quote, at + 2)) {
                if (at + 1 >= len || s.at(at + 1) != quote)
                    return {line, static_cast<int>(at) + 1};
            }
        }
    }
    return endOfSource();
}

TVxScanner::Position TVxScanner::skipBlockComment(Position afterOpener, QStringView closer) const
{
    const int lineCount = static_cast<int>(FLines.size());
    int col = afterOpener.Column;
    for (int line = afterOpener.Line; line < lineCount; ++line, col = 0) {
        const qsizetype at = FLines.at(line).indexOf(closer, col);
        if (at >= 0)
            return {line, static_cast<int>(at + closer.size())};
    }
    return endOfSource();
}

TVxScanner::Position TVxScanner::endOfSource() const
{
    if (FLines.isEmpty())
        return {0, 0};
    return {static_cast<int>(FLines.size()) - 1, static_cast<int>(FLines.back().size())};
}

TVxScanner::Position TVxScanner::clamp(int line, int column) const
{
    if (FLines.isEmpty() || line < 0)
        return {0, 0};
    if (line >= FLines.size())
        return endOfSource();
    return {line, std::clamp(column, 0, static_cast<int>(FLines.at(line).size()))};
}

QString TVxScanner::textBetween(Position from, Position to) const
{
    if (FLines.isEmpty())
        return {};
    if (from.Line == to.Line)
        return FLines.at(from.Line).mid(from.Column, to.Column - from.Column);
    QString text = FLines.at(from.Line).mid(from.Column);
    for (int line = from.Line + 1; line < to.Line; ++line) {
        text += u'\n';
        text += FLines.at(line);
    }
    text += u'\n';
    text += QStringView(FLines.at(to.Line)).left(to.Column);
    return text;
}

void TVxScanner::rebuildKeywordSet()
{
    FKeywordsByLength.clear();
    for (const QString& keyword : std::as_const(FKeywords))
        indexKeyword(keyword.toLower());
}

int TVxScanner::lastTokenLine()
{
    if (!FLastTokenLine) {
        int last = -1;
        for (Token t = scan({0, 0}); t.Kind != tkNone; t = scan(t.End))
            last = t.Start.Line;
        FLastTokenLine = last;
    }
    return *FLastTokenLine;
}

} // namespace brindle
