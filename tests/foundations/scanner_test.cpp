#include "scanner.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using namespace brindle;

namespace {

struct Tok {
    int kind;
    QString text;
    int line;
    bool operator==(const Tok&) const = default;
};

[[maybe_unused]] std::ostream& operator<<(std::ostream& os, const Tok& t)
{
    return os << "{" << t.kind << ", " << t.text.toStdString() << ", " << t.line << "}";
}

const QStringList kSqlKeywords = {"select", "from", "join", "where", "order", "group", "by"};

// Every token of one pass; line -1 in the result means "not compared".
std::vector<Tok> tokenize(const QStringList& lines, TVxSourceStyle style = scsSQL, bool withLines = true)
{
    TVxScanner scanner;
    scanner.SetSourceStyle(style);
    for (const QString& k : kSqlKeywords)
        scanner.AddKeyword(k);
    scanner.SetSource(lines);
    scanner.FirstToken();
    std::vector<Tok> out;
    for (int guard = 0; !scanner.EOS() && guard < 10000; ++guard) {
        out.push_back({scanner.GetTokType(), scanner.GetRealStr(), withLines ? scanner.GetTokLine() : -1});
        scanner.NextToken();
    }
    return out;
}

} // namespace

TEST(Scanner, SqlStatementStream)
{
    const QStringList sql = {
        "SELECT t.id, \"Order Date\" FROM Orders t -- note",
        "WHERE t.x <> 'it''s' AND n>=1.5e3 /* a",
        "comment */ ORDER BY 2",
    };
    // The double quote is a token of its own, so a keyword inside a quoted
    // name is still a keyword: assembling the name is the parser's job.
    const std::vector<Tok> expected = {
        {tkKeyword, "SELECT", 1}, {tkWord, "t", 1}, {tkSymbol, ".", 1}, {tkWord, "id", 1},
        {tkSymbol, ",", 1}, {tkSymbol, "\"", 1}, {tkKeyword, "Order", 1}, {tkWord, "Date", 1},
        {tkSymbol, "\"", 1}, {tkKeyword, "FROM", 1}, {tkWord, "Orders", 1}, {tkWord, "t", 1},
        {tkKeyword, "WHERE", 2}, {tkWord, "t", 2}, {tkSymbol, ".", 2}, {tkWord, "x", 2},
        {tkSymbol, "<>", 2}, {tkString, "'it''s'", 2}, {tkWord, "AND", 2}, {tkWord, "n", 2},
        {tkSymbol, ">=", 2}, {tkFloat, "1.5e3", 2}, {tkKeyword, "ORDER", 3}, {tkKeyword, "BY", 3},
        {tkInteger, "2", 3},
    };
    EXPECT_EQ(tokenize(sql), expected);
}

TEST(Scanner, NumbersOperatorsAndWords)
{
    struct Case { const char* source; std::vector<Tok> tokens; };
    const Case cases[] = {
        {"1.5", {{tkFloat, "1.5", -1}}},
        {"1.", {{tkInteger, "1", -1}, {tkSymbol, ".", -1}}},
        {".5", {{tkSymbol, ".", -1}, {tkInteger, "5", -1}}},
        {"1e5 2.5E-3", {{tkFloat, "1e5", -1}, {tkFloat, "2.5E-3", -1}}},
        {"1e+", {{tkInteger, "1", -1}, {tkWord, "e", -1}, {tkSymbol, "+", -1}}},
        {"12.34.56", {{tkFloat, "12.34", -1}, {tkSymbol, ".", -1}, {tkInteger, "56", -1}}},
        {"t1.x", {{tkWord, "t1", -1}, {tkSymbol, ".", -1}, {tkWord, "x", -1}}},
        {"x$1#y _a $b", {{tkWord, "x$1#y", -1}, {tkWord, "_a", -1}, {tkSymbol, "$", -1}, {tkWord, "b", -1}}},
        {"a<>b!=c>=d<=e<f=>g", {{tkWord, "a", -1}, {tkSymbol, "<>", -1}, {tkWord, "b", -1},
                                {tkSymbol, "!=", -1}, {tkWord, "c", -1}, {tkSymbol, ">=", -1},
                                {tkWord, "d", -1}, {tkSymbol, "<=", -1}, {tkWord, "e", -1},
                                {tkSymbol, "<", -1}, {tkWord, "f", -1}, {tkSymbol, "=", -1},
                                {tkSymbol, ">", -1}, {tkWord, "g", -1}}},
        {"\u00c4rger.Stra\u00dfe", {{tkWord, "\u00c4rger", -1}, {tkSymbol, ".", -1}, {tkWord, "Stra\u00dfe", -1}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tokenize({QString::fromUtf8(c.source)}, scsSQL, false), c.tokens) << c.source;
}

TEST(Scanner, CommentAndStringStyles)
{
    struct Case { TVxSourceStyle style; QStringList source; std::vector<Tok> tokens; };
    const Case cases[] = {
        {scsPascal, {"{c} a (* d", "*) b // x"}, {{tkWord, "a", 1}, {tkWord, "b", 2}}},
        {scsC, {"a /* x */ \"s\\\"q\" 'c' // y"},
         {{tkWord, "a", 1}, {tkString, "\"s\\\"q\"", 1}, {tkString, "'c'", 1}}},
        {scsPlain, {"-- a"}, {{tkSymbol, "-", 1}, {tkSymbol, "-", 1}, {tkWord, "a", 1}}},
        {scsSQL, {"a // b {c}"},
         {{tkWord, "a", 1}, {tkSymbol, "/", 1}, {tkSymbol, "/", 1}, {tkWord, "b", 1},
          {tkSymbol, "{", 1}, {tkWord, "c", 1}, {tkSymbol, "}", 1}}},
        // A string literal may span lines; its text joins them with "\n".
        {scsSQL, {"x = 'a", "b''c'", "y"},
         {{tkWord, "x", 1}, {tkSymbol, "=", 1}, {tkString, "'a\nb''c'", 1}, {tkWord, "y", 3}}},
        // Unterminated literals and comments run to the end.
        {scsSQL, {"x 'ab", "cd"}, {{tkWord, "x", 1}, {tkString, "'ab\ncd", 1}}},
        {scsSQL, {"x /* ab", "cd"}, {{tkWord, "x", 1}}},
        {scsC, {"\"a\\", "b"}, {{tkString, "\"a\\\nb", 1}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tokenize(c.source, c.style), c.tokens) << c.source.join("|").toStdString();
}

TEST(Scanner, KeywordsIgnoreCase)
{
    TVxScanner scanner;
    scanner.AddKeyword("Select");
    EXPECT_EQ(scanner.Keywords(), QStringList{"select"});
    scanner.SetSource(QStringList{"SeLeCt aNd"});
    EXPECT_EQ(scanner.GetTokType(), tkKeyword);
    EXPECT_EQ(scanner.GetTokStr(), "select");
    EXPECT_EQ(scanner.GetRealStr(), "SeLeCt");
    scanner.NextToken();
    EXPECT_EQ(scanner.GetTokType(), tkWord);
    scanner.Keywords() << "AND"; // a direct change counts from the next pass
    scanner.FirstToken();
    scanner.NextToken();
    EXPECT_EQ(scanner.GetTokType(), tkKeyword);
}

TEST(Scanner, EndOfSource)
{
    for (const QStringList& empty : {QStringList{}, QStringList{""}, QStringList{"  ", "\t"},
                                     QStringList{"-- only", "/* x */"}}) {
        TVxScanner scanner;
        scanner.SetSource(empty);
        scanner.FirstToken();
        EXPECT_TRUE(scanner.EOS());
        EXPECT_EQ(scanner.GetTokType(), tkNone);
        EXPECT_EQ(scanner.GetToken(), "");
        EXPECT_EQ(scanner.GetTokLine(), 1);
        EXPECT_EQ(scanner.ExtractPiece(scanner.GetBookmark(), scanner.GetBookmark(), true), "");
    }

    TVxScanner scanner;
    scanner.SetSource(TStringList{"a", "", "b", "", "-- c"});
    scanner.FirstToken();
    scanner.NextToken();
    EXPECT_EQ(scanner.GetTokLine(), 3);
    EXPECT_FALSE(scanner.EOS());
    for (int i = 0; i < 3; ++i) {
        scanner.NextToken();
        EXPECT_TRUE(scanner.EOS());
        EXPECT_EQ(scanner.GetTokLine(), 4);
        EXPECT_EQ(scanner.GetBookmark().Index, 2);
    }
}

TEST(Scanner, BookmarksAndPieces)
{
    TVxScanner scanner;
    scanner.SetSource(QStringList{"SELECT a +", "  b AS c  -- x", "FROM t"});
    scanner.FirstToken();
    TVxScannerBookmark a, as;
    for (; !scanner.EOS(); scanner.NextToken()) {
        if (scanner.GetToken() == "a")
            a = scanner.GetBookmark();
        if (scanner.GetToken() == "AS")
            as = scanner.GetBookmark();
    }
    const TVxScannerBookmark end = scanner.GetBookmark();
    EXPECT_EQ(a.Index, 1);
    EXPECT_EQ(as.Index, 4);
    EXPECT_EQ(as.Line, 1);
    EXPECT_EQ(as.Column, 4);

    EXPECT_EQ(scanner.ExtractPiece(a, as, false), "a +\n  b");
    EXPECT_EQ(scanner.ExtractPiece(a, as, true), "a +\n  b AS");
    EXPECT_EQ(scanner.ExtractPiece(a, a, true), "a");
    EXPECT_EQ(scanner.ExtractPiece(as, a, false), "");
    EXPECT_EQ(scanner.ExtractPiece(as, end, false), "AS c  -- x\nFROM t");
    EXPECT_EQ(scanner.ExtractPiece(end, end, true), "");

    scanner.GotoBookmark(a);
    EXPECT_EQ(scanner.GetToken(), "a");
    EXPECT_EQ(scanner.GetBookmark().Index, 1);
    scanner.NextToken();
    EXPECT_EQ(scanner.GetToken(), "+");
    EXPECT_EQ(scanner.GetBookmark().Index, 2);

    // A fresh scanner sent straight to the end still knows the last token's line.
    TVxScanner other;
    other.SetSource(QStringList{"SELECT a +", "  b AS c  -- x", "FROM t"});
    other.GotoBookmark(end);
    EXPECT_TRUE(other.EOS());
    EXPECT_EQ(other.GetTokLine(), 4);

    // Bookmarks outside the source are clamped.
    const TVxScannerBookmark before{-5, -5, -1}, after{100, 100, 7};
    EXPECT_EQ(scanner.ExtractPiece(before, after, true), "SELECT a +\n  b AS c  -- x\nFROM t");
    scanner.GotoBookmark(after);
    EXPECT_TRUE(scanner.EOS());

    // Blank lines and blanks around a piece go, whichever lines they are on.
    TVxScanner spread;
    spread.SetSource(QStringList{"x  ", "", "  'v 1'  ", "   ", "  )", "y\t"});
    spread.FirstToken();
    const TVxScannerBookmark x = spread.GetBookmark();
    spread.NextToken();
    const TVxScannerBookmark value = spread.GetBookmark();
    spread.NextToken();
    const TVxScannerBookmark bracket = spread.GetBookmark();
    EXPECT_EQ(spread.ExtractPiece(value, bracket, false), "'v 1'");
    EXPECT_EQ(spread.ExtractPiece(x, bracket, false), "x  \n\n  'v 1'");
    EXPECT_EQ(spread.ExtractPiece(value, {100, 100, 9}, false), "'v 1'  \n   \n  )\ny");
    scanner.GotoBookmark(before);
    EXPECT_EQ(scanner.GetToken(), "SELECT");
    EXPECT_EQ(scanner.GetBookmark().Index, 0);
}

TEST(Scanner, HostileSourcesTerminate)
{
    const QString nul(QChar(0));
    const QString loneHigh(QChar(0xD800));
    const QStringList sources[] = {
        {"'"}, {"\""}, {"\"abc\\"}, {"/* never", "ends"}, {"(*", "{"}, {"\\"}, {"--"}, {"/"}, {"1e", "."},
        {nul + "a\x01\x7f" + nul}, {loneHigh + "x" + loneHigh}, {QString(QChar(0xDC00)) + "'"},
        {"''''", "'"}, {"\u00a0\u2028x"},
    };
    for (TVxSourceStyle style : {scsPlain, scsPascal, scsC, scsSQL}) {
        for (const QStringList& source : sources) {
            const QString joined = source.join(u'\n');
            TVxScanner scanner;
            scanner.SetSourceStyle(style);
            scanner.SetSource(source);
            scanner.FirstToken();
            const TVxScannerBookmark first = scanner.GetBookmark();
            int count = 0;
            for (; !scanner.EOS() && count <= joined.size(); ++count) {
                EXPECT_FALSE(scanner.GetToken().isEmpty());
                scanner.NextToken();
            }
            EXPECT_TRUE(scanner.EOS()) << joined.toStdString();
            EXPECT_TRUE(joined.contains(scanner.ExtractPiece(first, scanner.GetBookmark(), true)));
        }
    }
}
