#pragma once
// TVxScanner: the tokenizer the SQL parser and the expression readers run
// over a list of lines. It copies the lines it is given and scans them
// lazily, one token per NextToken, so a pass is linear in the source length.
//
// Token rules:
// - Blanks (characters up to " " and other Unicode white space) and line
//   breaks separate tokens; no token spans a line break except a string
//   literal, whose text then holds "\n" where the lines were joined.
// - Comments are skipped. scsSQL: "--" to the end of the line and "/* */";
//   scsPascal: "{ }", "(* *)" and "//"; scsC: "//" and "/* */"; scsPlain: none.
//   Block comments do not nest.
// - tkString: a single-quoted literal, a quote inside doubled (''), in every
//   style; in scsC also a double-quoted literal whose backslash escapes the
//   next character. The text keeps its quotes. In the other styles '"' is a
//   symbol token of its own (the parser assembles quoted identifiers itself).
// - tkWord: a letter or "_", then letters (with their combining marks),
//   digits, "_", "$" or "#". tkKeyword: a word found in Keywords(), letter
//   case ignored.
// - tkInteger: ASCII digits. tkFloat: digits followed by "." and digits
//   and/or an exponent ("e" or "E", an optional sign, digits): "1.5", "1e5",
//   "2.5E-3". "1." before a non-digit is the integer 1 and the symbol ".";
//   ".5" is the symbol "." and the integer 5; "1e" is 1 and the word "e".
// - tkSymbol: "<>", "!=", ">=" and "<=" as one token each; any other
//   character (a code point beyond the BMP counts as one) by itself.
// - An unterminated string literal or block comment runs to the end of the
//   source.
//
// Keywords(): changes made to the list directly take effect at the next
// FirstToken or GotoBookmark; AddKeyword takes effect at once.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/string_list.h>

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace brindle {

enum ScannerStyle { scsPlain = 0, scsPascal = 1, scsC = 2, scsSQL = 3 };

// Token kinds as GetTokType returns them; the codes are fixed because
// callers compare the numbers.
inline constexpr int tkNone = 0; // past the end
inline constexpr int tkWord = 1;
inline constexpr int tkKeyword = 2;
inline constexpr int tkSymbol = 3;
inline constexpr int tkString = 4;
inline constexpr int tkFloat = 5;
inline constexpr int tkInteger = 7;

// The position of a token's first character (0-based line and column) and
// its ordinal in the token stream.
struct TVxScannerBookmark {
    int Line = 0;
    int Column = 0;
    int Index = 0;
};

class BRINDLE_CORE_EXPORT TVxScanner {
public:
    TVxScanner() = default;
    // The current token is a view into the scanner's own lines.
    TVxScanner(const TVxScanner&) = delete;
    TVxScanner& operator=(const TVxScanner&) = delete;

    // Applies from the next token scanned; set it before FirstToken.
    void SetSourceStyle(ScannerStyle style);
    ScannerStyle SourceStyle() const { return FStyle; }

    QStringList& Keywords() { return FKeywords; }
    // Adds a keyword, stored lower-cased.
    void AddKeyword(const QString& keyword);

    // Copies the lines and moves to the first token.
    void SetSource(const TStringList& lines);
    void SetSource(const QStringList& lines);

    void FirstToken();
    // Moves to the next token; past the last one EOS becomes true and stays so.
    void NextToken();
    bool EOS() const { return FToken.Kind == tkNone; }

    // The current token as written; empty at EOS.
    QString GetToken() const { return TokenView().toString(); }
    // The current token lower-cased.
    QString GetTokStr() const { return TokenView().toString().toLower(); }
    // The current token as written.
    QString GetRealStr() const { return TokenView().toString(); }
    // The current token as written, without a copy: valid until the next
    // move. Only a string literal that spans lines is assembled.
    QStringView TokenView() const { return FTokenView; }
    // Whether the current token, letter case ignored, is the text, given in
    // lower case. Compares without a copy; most tokens differ in length.
    bool TokenIs(QStringView lower) const
    {
        return FTokenView.size() == lower.size() && EqualsLower(FTokenView, lower);
    }
    // Whether the texts are equal once the first is lower-cased character by
    // character; the second is in lower case already.
    static bool EqualsLower(QStringView text, QStringView lower)
    {
        if (text.size() != lower.size())
            return false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            const char16_t l = lower[i].unicode();
            if (c != l && (c >= 0x80 ? !sameLowerOutsideAscii(c, l) : c < u'A' || c > u'Z' || c + 32 != l))
                return false;
        }
        return true;
    }
    int GetTokType() const { return FToken.Kind; }
    // The 1-based line of the token's first character; at EOS the line after
    // the last token's line (1 when the source has no token).
    int GetTokLine() const;

    // Marks the current token; at EOS it marks the end of the source.
    TVxScannerBookmark GetBookmark() const;
    // The place just past the current token's last character, 0-based as a
    // bookmark's; at EOS the end of the source.
    TVxScannerBookmark GetTokEnd() const { return {FToken.End.Line, FToken.End.Column, FIndex}; }
    // Makes the marked token current. A bookmark outside the source is
    // clamped to it.
    void GotoBookmark(const TVxScannerBookmark& bookmark);

    // The source text as written from the first character of first's token
    // up to second's token (through its end when includeSecond), lines joined
    // by "\n", blanks trimmed from both ends. Empty when second lies before
    // first.
    QString ExtractPiece(const TVxScannerBookmark& first, const TVxScannerBookmark& second,
                         bool includeSecond) const;

private:
    struct Position {
        int Line = 0;
        int Column = 0;
    };
    struct Token {
        int Kind = tkNone;
        Position Start; // at EOS: the end of the source
        Position End;   // just past the token's last character
    };

    Token scan(Position from) const;
    Position scanQuoted(Position start, QChar quote, bool backslashEscapes) const;
    // Past the closer of a block comment, or the end of the source.
    Position skipBlockComment(Position afterOpener, QStringView closer) const;
    Position endOfSource() const;
    Position clamp(int line, int column) const;
    QString textBetween(Position from, Position to) const;
    void rebuildKeywordSet();
    void indexKeyword(const QString& lower);
    bool isKeyword(QStringView word) const;
    int lastTokenLine();

    QStringList FLines;
    ScannerStyle FStyle = scsSQL;
    QStringList FKeywords;
    // The keywords by length, lower-cased: a word is compared only with
    // those of its own length, without being copied.
    std::vector<std::vector<QString>> FKeywordsByLength;
    // The text of a string literal that spans lines.
    QString FJoinedToken;
    void setToken(const Token& token);
    static bool sameLowerOutsideAscii(char16_t c, char16_t lower);

    Token FToken;
    QStringView FTokenView;
    int FIndex = 0;
    int FEosLine = 0; // 0-based line GetTokLine reports at EOS: the last token's
    // 0-based start line of the source's last token (-1: no token), once known.
    std::optional<int> FLastTokenLine;
};

} // namespace brindle
