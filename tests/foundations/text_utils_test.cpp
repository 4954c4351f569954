#include <brindle/foundations/text_utils.h>

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

using namespace brindle;

TEST(TextUtils, ReplacingSplittingAndSearching)
{
    struct Case { const char* text; const char* oldText; const char* newText; int mode; const char* expected; };
    const Case cases[] = {
        {"a.b.c", ".", "::", 0, "a::b::c"},
        {"abc", "", "x", 0, "abc"},
        {"aaa", "aa", "a", 0, "aa"}, // replaced text is not searched again
        {"Aa aA", "a", "b", 0, "Ab bA"},
        {"Aa aA", "a", "b", rmIgnoreCase, "bb bb"},
        {"id idx _id id", "id", "X", rmWholeWord, "X idx _id X"},
        {"t.id=id2+ID", "id", "x", rmWholeWord | rmIgnoreCase, "t.x=id2+x"},
        {"\u00e9id id", "id", "x", rmWholeWord, "\u00e9id x"}, // a Unicode letter is a word character
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(XReplaceStr(text, c.oldText, c.newText, c.mode), QString::fromUtf8(c.expected)) << c.text;
        if (c.mode == 0) {
            EXPECT_EQ(ReplaceStr(text, c.oldText, c.newText), QString::fromUtf8(c.expected));
        }
    }

    struct Split { const char* text; const char* sep; const char* before; const char* after; };
    const Split splits[] = {
        {"a=b=c", "=", "a", "b=c"}, {"abc", "=", "abc", ""}, {"abc", "", "abc", ""}, {"=x", "=", "", "x"},
        {"k::v", "::", "k", "v"},
    };
    for (const Split& c : splits) {
        QString name = "stale", value = "stale";
        GetNameAndValueSep(c.text, c.sep, name, value);
        EXPECT_EQ(QStringList({GetBeforeSep(c.text, c.sep), GetAfterSep(c.text, c.sep), name, value}),
                  QStringList({c.before, c.after, c.before, c.after}))
            << c.text;
    }
    // The text may be one of the outputs.
    QString text = "name=value", value;
    GetNameAndValueSep(text, "=", text, value);
    EXPECT_EQ(text + "|" + value, "name|value");

    struct Position { const char* sub; const char* text; int start; int pos; int cpos; };
    const Position positions[] = {
        {"b", "abcb", 1, 2, 2}, {"b", "abcb", 3, 4, 4},  {"b", "abcb", 4, 4, 4},   {"b", "abcb", 5, 0, 0},
        {"b", "abcb", 0, 0, 0}, {"b", "abcb", -3, 0, 0}, {"", "abcb", 1, 0, 0},    {"B", "abcb", 1, 0, 2},
        {"cbx", "abcb", 1, 0, 0}, {"a", "", 1, 0, 0},
    };
    for (const Position& c : positions)
        EXPECT_EQ(std::pair(XPos(c.sub, c.text, c.start), CXPos(c.sub, c.text, c.start)), std::pair(c.pos, c.cpos))
            << c.sub << " in " << c.text << " from " << c.start;
}

TEST(TextUtils, WordsQuotesNumbersListsAndPaths)
{
    for (const char* yes : {"a", "_", "_a1", "\u00c4pfel", "t\u00e9_2", "\U0001D400x"})
        EXPECT_TRUE(IsIdentifier(QString::fromUtf8(yes))) << yes;
    for (const char* no : {"", "1a", "a b", "a-b", "a.b", "$a", "a$"})
        EXPECT_FALSE(IsIdentifier(QString::fromUtf8(no))) << no;

    for (const char* text : {"", "abc", "it's", "''", "'", "a''b"}) {
        const QString quoted = QuotedString(text, u'\'');
        EXPECT_TRUE(quoted.startsWith(u'\'') && quoted.endsWith(u'\''));
        EXPECT_EQ(UnquotedString(quoted, u'\''), text) << text;
    }
    EXPECT_EQ(QuotedString("a\"b", u'"'), "\"a\"\"b\"");
    // Texts not enclosed in the quote come back unchanged.
    for (const char* text : {"'", "'abc", "abc'", "\"a\"", ""})
        EXPECT_EQ(UnquotedString(text, u'\''), text) << text;

    const std::pair<long long, const char*> numbers[] = {
        {0, "0"}, {7, "7"}, {-12, "-12"}, {1000, "1000"},
        {std::numeric_limits<long long>::min(), "-9223372036854775808"},
        {std::numeric_limits<long long>::max(), "9223372036854775807"},
    };
    for (const auto& [number, digits] : numbers) {
        QString text = QStringLiteral("1.2.");
        const QString shared = text; // a shared text is copied, never written through
        AppendNumber(text, number);
        EXPECT_EQ(text + "|" + shared, QStringLiteral("1.2.") + digits + "|1.2.");
    }

    // A later occurrence may qualify; "_" and digits are word characters.
    const std::tuple<const char*, const char*, bool> words[] = {
        {"select ID from t", "id", true}, {"t.id", "ID", true}, {"idx id", "id", true}, {"idx", "id", false},
        {"a_id", "id", false}, {"id9", "id", false}, {"abc", "", false}};
    for (const auto& [text, word, found] : words)
        EXPECT_EQ(ContainsAsWholeWord(text, word), found) << text << " / " << word;

    // The ASCII path and the folding path for other letters.
    EXPECT_TRUE(EqualToSpaces(u"a = B\t", u" A=b") && EqualToSpaces(u"", u" \n"));
    EXPECT_FALSE(EqualToSpaces(u"ab", u"a.b") || EqualToSpaces(u"ab", u"ab c") || EqualToSpaces(u"a[", u"a{"));
    EXPECT_TRUE(EqualToSpaces(u"x.Größe = 1", u"X.GRÖSSE=1") == (QStringLiteral("x.Größe=1").compare(QStringLiteral("X.GRÖSSE=1"), Qt::CaseInsensitive) == 0));
    EXPECT_TRUE(EqualToSpaces(u"Ärger = 1", u"ärger=1"));
    EXPECT_TRUE(EqualToSymbols("(a.b)", "a.b", "()") && !EqualToSymbols("(A)", "a", "()"));
    EXPECT_TRUE(StrInList("Foo", {"bar", "FOO"}) && !StrInList("Foo", {}));
    EXPECT_EQ(CharCount("a,b,,c", u','), 3);
    EXPECT_TRUE(StartsWith("abc", "") && !StartsWith("abc", "A"));

    TStringList list{"stale"};
    SetSeparatorList(" a ; b ;;c\t", u';', list);
    EXPECT_EQ(list.Lines(), QStringList({"a", "b", "", "c"}));
    SetSeparatorList("", u';', list);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(ComposeCommaText({"a b", "", "c"}), "a b,,c");
    EXPECT_EQ(TrimBlanks(QString("\x01 x y\t\n")), "x y");
    struct Case { const char* dir; const char* name; const char* path; };
    const Case cases[] = {{"", "f", "f"}, {"d", "f", "d/f"}, {"d/", "f", "d/f"}, {"d\\", "f", "d\\f"}};
    for (const Case& c : cases)
        EXPECT_EQ(ConcPath(c.dir, c.name), c.path);
}
