#include <brindle/foundations/text_hash.h>

#include <gtest/gtest.h>

using namespace brindle;

namespace {

TEST(TextHash, StoredKeysOutliveTheirSourcesAndBorrowedKeysFindThem)
{
    TextHash<int> table;
    {
        // Keys made from temporaries that die here; growth rehashes and
        // moves every stored key many times over.
        for (int i = 0; i < 2000; ++i)
            table.insert(QString::number(i) + QStringLiteral("-key"), i);
    }
    const TextHash<int> copy = table;
    table.clear();
    for (int i = 0; i < 2000; i += 37) {
        const QString text = QString::number(i) + QStringLiteral("-key");
        EXPECT_EQ(copy.value(BorrowedKey(text), -1), i);
        EXPECT_EQ(copy.value(text, -1), i);
    }
    EXPECT_EQ(copy.value(BorrowedKey(u"2000-key"), -1), -1);
    // A key stored from a borrowed one holds its own copy of the text.
    TextHash<int> fromBorrowed;
    {
        QString text = QStringLiteral("gone-key");
        fromBorrowed.insert(BorrowedKey(text), 7);
        text.fill(u'x');
    }
    EXPECT_EQ(fromBorrowed.value(QStringLiteral("gone-key"), -1), 7);
    EXPECT_EQ(fromBorrowed.cbegin().key().Text(), QStringLiteral("gone-key"));
    // Equal texts are equal keys however they are held; length counts.
    EXPECT_EQ(TextKey(QStringLiteral("ab")), BorrowedKey(u"ab"));
    EXPECT_FALSE(TextKey(QStringLiteral("ab")) == BorrowedKey(QStringView(u"ab\0", 3)));
    EXPECT_NE(HashText(u"a", 1), HashText(QStringView(u"a\0", 2), 1));
    // Stored keys give their text back.
    QStringList texts;
    for (auto it = copy.cbegin(); it != copy.cend(); ++it)
        texts.append(it.key().Text());
    EXPECT_EQ(texts.size(), 2000);
    EXPECT_TRUE(texts.contains(QStringLiteral("1999-key")));
}

} // namespace
