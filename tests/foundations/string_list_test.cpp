#include <brindle/foundations/sections.h>
#include <brindle/foundations/string_list.h>
#include <brindle/foundations/text_hash.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

using namespace brindle;

namespace {

QStringList commaItems(const QString& text)
{
    TStringList list;
    list.SetCommaText(text);
    return list.Lines();
}

} // namespace

TEST(StringList, CommaTextReadingAndWriting)
{
    struct Case { QString text; QStringList items; };
    // A trailing blank does not make an item; an unclosed quote takes the
    // rest; #0 ends the text.
    const Case cases[] = {
        {"a b,\"c d\"", {"a", "b", "c d"}}, {"a,,b", {"a", "", "b"}}, {"a,", {"a", ""}}, {"a, ", {"a"}},
        {"  a ,  b", {"a", "b"}}, {"\"x \"\"y\"\" z\",w", {"x \"y\" z", "w"}}, {"\"\"", {""}}, {"", {}},
        {"\"open", {"open"}}, {"\"ab\"cd", {"ab", "cd"}}, {QString("a") + QChar(0) + ",b", {"a"}}, {"\t\r\na", {"a"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(commaItems(c.text), c.items) << c.text.toStdString();

    // The strict reader splits at the delimiter only and keeps blanks;
    // quoted items read as in comma text.
    TStringList list;
    list.SetStrictDelimitedText("Cust ID=ID, x=y,\"a,b\",\"x \"\"y\"\" z\",\"open", u',');
    EXPECT_EQ(list.Lines(), QStringList({"Cust ID=ID", " x=y", "a,b", "x \"y\" z", "open"}));
    list.SetStrictDelimitedText("a,", u',');
    EXPECT_EQ(list.Lines(), QStringList({"a", ""}));

    const QList<QStringList> lists = {{"a", "b"}, {"with blank", "comma,inside", "quote\"inside"}, {""}, {"", ""},
                                      {"tab\there", "x"}, {}, {"a", "", "c"}};
    for (const QStringList& items : lists) {
        const QString text = TStringList(items).CommaText();
        EXPECT_EQ(commaItems(text), items) << text.toStdString();
    }
    EXPECT_EQ(TStringList({""}).CommaText() + "|" + TStringList({"a b", "c", "say \"hi\""}).CommaText(),
              "\"\"|\"a b\",c,\"say \"\"hi\"\"\"");
}

TEST(StringList, NamesValuesAndIndexes)
{
    TStringList list({"Name=first", "name=second", "Other=x=y", "NoEquals"});
    EXPECT_EQ(QStringList({list.Values("NAME"), list.Values("other"), list.Values("NoEquals"), list.Names(3)}),
              QStringList({"first", "x=y", "", "NoEquals"}));
    list.SetValue("name", "changed");
    EXPECT_EQ(list[0], "name=changed");
    list.SetValue("Name", "");          // the first match goes, the second remains
    EXPECT_EQ(list.Values("name"), "second");
    list.SetValue("Missing", "");       // nothing to delete
    list.SetValue("New", "v");
    EXPECT_EQ(list.Lines(), QStringList({"name=second", "Other=x=y", "NoEquals", "New=v"}));

    // Characters that fold alike though not ASCII letters, characters one
    // bit apart that are not letters, and names that hold "=" or end early.
    list = TStringList({QString::fromUtf8("Stra\u00dfe=1"), QString::fromUtf8("\u00c4rger=2"), "a@=3", "ab=4",
                        QString::fromUtf8("\U00010400x=5"), "=6", "kb=7"});
    const std::pair<const char*, int> names[] = {
        {"\u00e4RGER", 1}, {"\u212AB", 6} /* the Kelvin sign folds to k */, {"a`", -1}, {"A@", 2}, {"a", -1},
        {"ab=4", -1}, {"\U00010428X", 4}, {"", 5}};
    for (const auto& [name, index] : names)
        EXPECT_EQ(list.IndexOfName(QString::fromUtf8(name)), index) << name;
    EXPECT_EQ(QList<int>({list.IndexOf("AB=4"), list.IndexOf(QString::fromUtf8("STRA\u00dfE=1")), list.IndexOf("ab=5")}),
              QList<int>({3, 0, -1}));

    list.SetText("a\r\nb\nc\rd\n");
    EXPECT_EQ(list.Text(), "a\nb\nc\nd\n");
    list.SetText("\n\nx");
    EXPECT_EQ(list.Lines(), QStringList({"", "", "x"}));
    EXPECT_THROW(list.Strings(3), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Insert(5, "z"), EListError);
    EXPECT_EQ(list.Count(), 3);
}

TEST(StringList, LongListsFindNamesAsShortOnesDo)
{
    // Every change is followed by a search of each name, compared with a
    // plain scan for the first line of that name.
    const QStringList names{"Alpha", "beta", "GAMMA", "Straße", "STRASSE", "Ωmega", "x=y", "", "none"};
    const auto firstLine = [](const TStringList& list, const QString& name) {
        for (int i = 0; i < list.Count(); ++i) {
            const QString& line = list[i];
            const qsizetype eq = line.indexOf(u'=');
            if (eq >= 0 && !name.contains(u'=') && line.left(eq).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    };
    TStringList list;
    for (int i = 0; i < 40; ++i)
        list.Add(QStringLiteral("filler%1=%1").arg(i));
    using L = TStringList&;
    const std::function<void(TStringList&)> changes[] = {
        [](L l) { l.Add("alpha=1"); },           [](L l) { l.Add("ALPHA=2"); },
        [](L l) { l.Insert(0, "Alpha=0"); },     [](L l) { l.SetValue("beta", "b"); },
        [](L l) { l.SetValue("ALPHA", ""); },    [](L l) { l.Add("strasse=s"); },
        [](L l) { l.AddObject("ωMEGA=o", nullptr); }, [](L l) { l.Add("gamma"); },
        [](L l) { l.AppendToString(l.Count() - 1, u"=g"); }, [](L l) { l.Exchange(0, l.Count() - 1); },
        [](L l) { l.Move(l.Count() - 1, 3); },   [](L l) { l.SetString(3, "beta=first"); },
        [](L l) { l.Delete(3); },                [](L l) { l.AddStrings(QStringList{"GAMMA=late", "none"}); },
        [](L l) { l = TStringList(l); },         [](L l) { l.Clear(); },
    };
    for (const auto& change : changes) {
        change(list);
        for (const QString& name : names)
            ASSERT_EQ(list.IndexOfName(name), firstLine(list, name)) << name.toStdString() << " after "
                                                                     << list.Text().toStdString();
    }
}

TEST(StringList, FilesAreUtf8WithOrWithoutMark)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.txt");
    TStringList list({"Größe=1", "€"});
    list.SaveToFile(path);
    TStringList back;
    back.LoadFromFile(path);
    EXPECT_EQ(back, list);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xEF\xBB\xBF" "a=\xC3\xA9\r\n");
    f.close();
    back.LoadFromFile(path);
    EXPECT_EQ(back.Lines(), QStringList({"a=é"}));
    EXPECT_THROW(back.LoadFromFile(dir.filePath("missing")), Exception);

    // Lines are decoded one by one, as the whole decoded text would split:
    // marks after the first, broken sequences before a break, lone CRs.
    for (const QByteArray& bytes : {QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF" "a"), QByteArray("\xEF\xBB\xBF"),
                                   QByteArray("a\r\n\xEF\xBB\xBF\xEF\xBB\xBF" "b\n"), QByteArray("x\xE2\x82\ny\xF0\x9F"),
                                   QByteArray("\r\r\n\n\xC3\r\xA9\n"), QByteArray()}) {
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        back.LoadFromFile(path);
        TStringList whole;
        whole.SetText(QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes));
        EXPECT_EQ(back, whole) << bytes.toHex().constData();
    }
}

TEST(StringList, FilesSplitAndDecodeAtEveryPlaceOfAWord)
{
    // Breaks and non-ASCII bytes before, at and after each byte of an
    // eight-byte word; repeated lines read back as often as written.
    QByteArray bytes;
    for (int at = 0; at < 18; ++at)
        for (const char* inner : {"\n", "\r", "\r\n", "\xC3\xA9", "="}) {
            bytes += QByteArray(at, 'k') + inner + QByteArray(17 - at, 'v') + "\n";
            bytes += "Quoted=0\n";
        }
    bytes += QByteArray(300, 'x') + "\r" + QByteArray(300, 'x');
    QTemporaryDir dir;
    QFile f(dir.filePath("t.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    TStringList back;
    back.LoadFromFile(f.fileName());
    TStringList whole;
    whole.SetText(QString::fromUtf8(bytes));
    EXPECT_EQ(back, whole);

    // Lines that share their text still change one by one.
    const int first = back.IndexOf("Quoted=0");
    back.SetString(first, "Quoted=1");
    back.SetValue("Quoted", "2");
    EXPECT_EQ(back[first], "Quoted=2");
    EXPECT_EQ(back.IndexOf("Quoted=0"), first + 3);
}

TEST(Sections, RunningIndexFindsSectionsInOrder)
{
    const TStringList text({"[Main]", "Count=2", " ", "[Item]", "v=1", " ", "[Item]", "v=2", "",
                            "[Tail]", "x=y", "[Étape]", "e=1", "[]", "z=0"});
    TStringList section;
    QStringList read;
    for (int next = XReadSLSectionValues(0, text, "main", section); next >= 0;
         next = XReadSLSectionValues(next, text, "Item", section))
        read << section.Lines();
    // A section's lines run to the next header, blank ones included.
    EXPECT_TRUE(read == QStringList({"Count=2", " ", "v=1", " ", "v=2", ""}) && section.IsEmpty());
    EXPECT_EQ(XReadSLSectionValues(0, text, "Missing", section), -1);

    // The index answers exactly as the plain reader does.
    const SectionIndex index(text);
    TStringList fromIndex;
    for (int start : {0, 3, 4, 7, 11, 13})
        for (const QString name : {"Main", "ITEM", "Tail", "none", "éTAPE", ""}) {
            EXPECT_EQ(XReadSLSectionValues(start, text, name, section), index.Read(start, name, fromIndex));
            EXPECT_EQ(section, fromIndex);
        }

    TStringList names;
    ReadSLSections(text, names);
    EXPECT_EQ(names.Lines(), QStringList({"Main", "Item", "Item", "Tail", "Étape", ""}));
    EXPECT_FALSE(IsSectionHeader("[a] + [b]"));
    EXPECT_TRUE(IsSectionHeader("[Field:1.SQL]  "));
}

TEST(TextHash, StoredKeysOutliveTheirSourcesAndBorrowedKeysFindThem)
{
    // Keys made from temporaries, moved many times over as the table grows;
    // a key stored from a borrowed one holds its own copy of the text.
    TextHash<int> table;
    for (int i = 0; i < 2000; ++i)
        table.insert(QString::number(i) + QStringLiteral("-key"), i);
    QString borrowed = QStringLiteral("gone-key");
    table.insert(BorrowedKey(borrowed), 7);
    borrowed.fill(u'x');
    const TextHash<int> copy = table;
    table.clear();
    for (int i = 0; i < 2000; i += 37)
        EXPECT_EQ(copy.value(BorrowedKey(QString::number(i) + QStringLiteral("-key")), -1), i);
    EXPECT_TRUE(copy.value(BorrowedKey(u"2000-key"), -1) == -1 && copy.value(QStringLiteral("gone-key"), -1) == 7);
    int texts = 0;
    for (auto it = copy.cbegin(); it != copy.cend(); ++it)
        texts += it.key().Text().endsWith(QStringLiteral("-key"));
    EXPECT_EQ(texts, 2001);
    // Equal texts are equal keys however they are held; length counts.
    EXPECT_EQ(TextKey(QStringLiteral("ab")), BorrowedKey(u"ab"));
    EXPECT_FALSE(TextKey(QStringLiteral("ab")) == BorrowedKey(QStringView(u"ab\0", 3)));
    EXPECT_NE(HashText(u"a", 1), HashText(QStringView(u"a\0", 2), 1));
}
