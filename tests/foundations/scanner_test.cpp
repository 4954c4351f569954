#include <brindle/foundations/scanner.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace brindle;

namespace {

// The tokens of one pass as "kind:text" (w word, k keyword, s symbol,
// q string, f float, i integer), with "[n]" where the tokens of line n start.
std::string tokens(const QStringList& lines, ScannerStyle style = scsSQL)
{
    TVxScanner scanner;
    scanner.SetSourceStyle(style);
    for (const char* k : {"select", "from", "join", "where", "order", "group", "by"})
        scanner.AddKeyword(k);
    scanner.SetSource(lines);
    scanner.FirstToken();
    QStringList out;
    for (int line = 0, guard = 0; !scanner.EOS() && guard < 10000; ++guard, scanner.NextToken()) {
        if (scanner.GetTokLine() != line)
            out << QStringLiteral("[%1]").arg(line = scanner.GetTokLine());
        const int kind = scanner.GetTokType();
        out << QChar(kind > 0 && kind < 8 ? "?wksqf?i"[kind] : '?') + QStringLiteral(":") + scanner.GetRealStr();
    }
    return out.join(u' ').toStdString();
}

// The bookmark of every token of the source, then the one past the end.
std::vector<TVxScannerBookmark> bookmarks(TVxScanner& scanner, const QStringList& source)
{
    scanner.SetSource(source);
    std::vector<TVxScannerBookmark> out;
    for (scanner.FirstToken(); !scanner.EOS(); scanner.NextToken())
        out.push_back(scanner.GetBookmark());
    out.push_back(scanner.GetBookmark());
    return out;
}

} // namespace

TEST(Scanner, TokensCommentsAndStrings)
{
    struct Case { ScannerStyle style; QStringList source; const char* tokens; };
    const Case cases[] = {
        // The double quote is a token of its own, so a keyword inside a quoted
        // name is still a keyword: assembling the name is the parser's job.
        {scsSQL, {"SELECT t.id, \"Order Date\" FROM Orders t -- note", "WHERE t.x <> 'it''s' AND n>=1.5e3 /* a",
                  "comment */ ORDER BY 2"},
         "[1] k:SELECT w:t s:. w:id s:, s:\" k:Order w:Date s:\" k:FROM w:Orders w:t "
         "[2] k:WHERE w:t s:. w:x s:<> q:'it''s' w:AND w:n s:>= f:1.5e3 [3] k:ORDER k:BY i:2"},
        {scsSQL, {"1.5 .5 1e5 2.5E-3 1."}, "[1] f:1.5 s:. i:5 f:1e5 f:2.5E-3 i:1 s:."},
        {scsSQL, {"1e+"}, "[1] i:1 w:e s:+"},
        {scsSQL, {"12.34.56 t1.x"}, "[1] f:12.34 s:. i:56 w:t1 s:. w:x"},
        {scsSQL, {"x$1#y _a $b"}, "[1] w:x$1#y w:_a s:$ w:b"},
        {scsSQL, {"a<>b!=c>=d<=e<f=>g"}, "[1] w:a s:<> w:b s:!= w:c s:>= w:d s:<= w:e s:< w:f s:= s:> w:g"},
        {scsSQL, {QString::fromUtf8("\u00c4rger.Stra\u00dfe")}, "[1] w:\u00c4rger s:. w:Stra\u00dfe"},
        {scsPascal, {"{c} a (* d", "*) b // x"}, "[1] w:a [2] w:b"},
        {scsC, {"a /* x */ \"s\\\"q\" 'c' // y"}, "[1] w:a q:\"s\\\"q\" q:'c'"},
        {scsPlain, {"-- a"}, "[1] s:- s:- w:a"},
        {scsSQL, {"a // b {c}"}, "[1] w:a s:/ s:/ w:b s:{ w:c s:}"},
        // A string literal may span lines; its text joins them with "\n".
        {scsSQL, {"x = 'a", "b''c'", "y"}, "[1] w:x s:= q:'a\nb''c' [3] w:y"},
        // Unterminated literals and comments run to the end.
        {scsSQL, {"x 'ab", "cd"}, "[1] w:x q:'ab\ncd"},
        {scsSQL, {"x /* ab", "cd"}, "[1] w:x"},
        {scsC, {"\"a\\", "b"}, "[1] q:\"a\\\nb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tokens(c.source, c.style), c.tokens) << c.source.join("|").toStdString();

    // Keywords are kept in lower case; a direct change counts from the next pass.
    TVxScanner scanner;
    scanner.AddKeyword("Select");
    EXPECT_EQ(scanner.Keywords(), QStringList{"select"});
    scanner.SetSource(QStringList{"SeLeCt aNd"});
    EXPECT_EQ(scanner.GetTokType(), tkKeyword);
    EXPECT_EQ(scanner.GetTokStr() + " " + scanner.GetRealStr(), "select SeLeCt");
    scanner.Keywords() << "AND";
    scanner.NextToken();
    EXPECT_EQ(scanner.GetTokType(), tkWord);
    scanner.FirstToken();
    scanner.NextToken();
    EXPECT_EQ(scanner.GetTokType(), tkKeyword);
}

TEST(Scanner, EmptyAndHostileSourcesEndCleanly)
{
    for (const QStringList& empty : {QStringList{}, QStringList{""}, QStringList{"  ", "\t"},
                                     QStringList{"-- only", "/* x */"}}) {
        TVxScanner scanner;
        scanner.SetSource(empty);
        scanner.FirstToken();
        EXPECT_TRUE(scanner.EOS() && scanner.GetTokType() == tkNone && scanner.GetToken().isEmpty()
                    && scanner.GetTokLine() == 1
                    && scanner.ExtractPiece(scanner.GetBookmark(), scanner.GetBookmark(), true).isEmpty());
    }

    TVxScanner scanner;
    scanner.SetSource(TStringList{"a", "", "b", "", "-- c"});
    scanner.FirstToken();
    scanner.NextToken();
    EXPECT_TRUE(scanner.GetTokLine() == 3 && !scanner.EOS());
    for (int i = 0; i < 3; ++i) { // stepping past the end stays there, on the last token's line
        scanner.NextToken();
        EXPECT_TRUE(scanner.EOS() && scanner.GetTokLine() == 3 && scanner.GetBookmark().Index == 2);
    }

    const QString nul(QChar(0));
    const QString loneHigh(QChar(0xD800));
    const QStringList sources[] = {
        {"'"}, {"\""}, {"\"abc\\"}, {"/* never", "ends"}, {"(*", "{"}, {"\\"}, {"--"}, {"/"}, {"1e", "."},
        {nul + "a\x01\x7f" + nul}, {loneHigh + "x" + loneHigh}, {QString(QChar(0xDC00)) + "'"},
        {"''''", "'"}, {"\u00a0\u2028x"},
    };
    for (ScannerStyle style : {scsPlain, scsPascal, scsC, scsSQL}) {
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

TEST(Scanner, BookmarksAndPieces)
{
    const QStringList source{"SELECT a +", "  b AS c  -- x", "FROM t"};
    TVxScanner scanner;
    const std::vector<TVxScannerBookmark> marks = bookmarks(scanner, source);
    ASSERT_EQ(marks.size(), 9u);
    const TVxScannerBookmark a = marks[1], as = marks[4], end = marks[8];
    EXPECT_TRUE(as.Index == 4 && as.Line == 1 && as.Column == 4);

    EXPECT_EQ(QStringList({scanner.ExtractPiece(a, as, false), scanner.ExtractPiece(a, as, true),
                           scanner.ExtractPiece(a, a, true), scanner.ExtractPiece(as, a, false),
                           scanner.ExtractPiece(as, end, false), scanner.ExtractPiece(end, end, true)}),
              QStringList({"a +\n  b", "a +\n  b AS", "a", "", "AS c  -- x\nFROM t", ""}));

    scanner.GotoBookmark(a);
    EXPECT_EQ(scanner.GetToken(), "a");
    scanner.NextToken();
    EXPECT_TRUE(scanner.GetToken() == "+" && scanner.GetBookmark().Index == 2);

    // A fresh scanner sent straight to the end still knows the last token's line.
    TVxScanner other;
    other.SetSource(source);
    other.GotoBookmark(end);
    EXPECT_TRUE(other.EOS() && other.GetTokLine() == 3);

    // Bookmarks outside the source are clamped.
    const TVxScannerBookmark before{-5, -5, -1}, after{100, 100, 7};
    EXPECT_EQ(scanner.ExtractPiece(before, after, true), "SELECT a +\n  b AS c  -- x\nFROM t");
    scanner.GotoBookmark(after);
    EXPECT_TRUE(scanner.EOS());
    scanner.GotoBookmark(before);
    EXPECT_TRUE(scanner.GetToken() == "SELECT" && scanner.GetBookmark().Index == 0);

    // Blank lines and blanks around a piece go, whichever lines they are on.
    TVxScanner spread;
    const std::vector<TVxScannerBookmark> at = bookmarks(spread, {"x  ", "", "  'v 1'  ", "   ", "  )", "y\t"});
    EXPECT_EQ(spread.ExtractPiece(at[1], at[2], false), "'v 1'");
    EXPECT_EQ(spread.ExtractPiece(at[0], at[2], false), "x  \n\n  'v 1'");
    EXPECT_EQ(spread.ExtractPiece(at[1], {100, 100, 9}, false), "'v 1'  \n   \n  )\ny");
}
