#include "datamodel/model_fixtures.h"
#include <brindle/query/words.h>
#include "query/query_fixtures.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace brindle;

TEST(QueryWord, EditWordsApplyTheCaseOptionAndNotifyOncePerChange)
{
    for (TWordEditor editor : {weNone, weCustom, weEdit, weMaskEdit, weDateTime}) {
        TQueryWord word(editor);
        int calls = 0;
        word.OnChanged = [&](TQueryWord*) { ++calls; };
        word.SetAutoUpperCase(true);
        word.SetValue("äbc");
        word.SetValue("ÄBC");
        EXPECT_EQ(word.Caption(), "ÄBC");
        word.SetAutoLowerCase(true);
        EXPECT_EQ(word.Options(), 2) << "the two options exclude each other";
        word.SetValue("XÖ");
        EXPECT_EQ(word.Value(), "xö");
        EXPECT_EQ(calls, 2);
    }
}

TEST(QueryWord, ItemsGroupsAndItemIndex)
{
    TQueryWord word(wePopup);
    word.AddItem("Group", "a", "Alpha");
    word.AddItems("", TStringList{"b", "O", "b"}, TStringList{"Beta", "Open", "Beta 2"});
    word.AddItem("GROUP", "c", "Gamma");
    ASSERT_EQ(word.Groups().Count(), 2);
    EXPECT_EQ(word.Groups()[0]->Indexes, QList<int>({0, 4}));
    EXPECT_EQ(word.Groups().FindByName("group"), word.Groups()[0]);
    EXPECT_THROW(word.AddItems("", TStringList{"x"}, TStringList{"X", "Y"}), EListError);
    EXPECT_EQ(word.Values().Count(), 5) << "a short value list adds nothing";

    int calls = 0;
    word.OnChanged = [&](TQueryWord*) { ++calls; };
    for (int bad : {5, -2})
        EXPECT_EQ(fixtures::errorOf<EDDLabelError>([&] { word.SetItemIndex(bad); }), "Index out of bounds") << bad;
    EXPECT_EQ(calls, 0);
    word.SetItemIndex(3);
    EXPECT_EQ(word.Caption(), "Beta 2") << "the chosen item, not the first equal value";
    word.SetItemIndex(3);
    EXPECT_EQ(calls, 1);
    word.SetItemIndex(-1);
    EXPECT_EQ(word.Value() + word.Caption(), "");

    // The first exact match; an unknown value clears the word.
    const std::tuple<const char*, int, const char*> values[] = {
        {"O", 2, "O|Open"}, {"b", 1, "b|Beta"}, {"o", -1, "|"}, {"zz", -1, "|"}};
    for (const auto& [value, index, shown] : values) {
        word.SetValue(value);
        EXPECT_EQ(word.ItemIndex(), index) << value;
        EXPECT_EQ(word.Value() + "|" + word.Caption(), shown) << value;
    }
    word.SetValue("c");
    word.ClearAll();
    EXPECT_TRUE(word.Groups().IsEmpty() && word.Items().IsEmpty() && word.ItemIndex() == -1);
    EXPECT_EQ(word.Caption(), "Gamma") << "value and caption stay";
    word.EnsureDefaultGroup();
    EXPECT_TRUE(word.Groups().IsEmpty()) << "no values, no default group";
}

TEST(QueryWord, CheckListCaptionsFollowTheValueElements)
{
    TQueryWord word(weCheckList);
    word.AddItems("", TStringList{"1", "2", "x y"}, TStringList{"one", "two words", "three"});
    word.SetValue("2,9,\"x y\",1");
    EXPECT_EQ(word.Caption(), "\"two words\",three,one");
    EXPECT_EQ(word.Value(), "2,9,\"x y\",1") << "unknown elements stay in the value";
    word.SetValue("");
    EXPECT_EQ(word.ShownCaption(), EmptyWordCaption);
}

TEST(QueryWord, ASharedValueIndexServesOnlyTheListsItCameWith)
{
    auto shared = std::make_shared<WordItems>();
    shared->Items = TStringList{"One", "Two"};
    shared->Values = TStringList{"1", "2"};
    shared->Groups = {{"Numbers", {0, 1}}};
    shared->ValueIndex = {{QStringLiteral("1"), 0}, {QStringLiteral("2"), 1}};
    TQueryWord word(weListBox);
    TQueryWord other(weListBox);
    word.LoadItems(shared);
    other.LoadItems(shared);
    word.SetValue("2");
    EXPECT_EQ(word.Caption(), "Two");
    word.AddItem("Numbers", "3", "Three"); // the word takes its own copy, without the index
    EXPECT_EQ(word.IndexOfValue("3"), 2);
    word.SetValue("3");
    EXPECT_EQ(word.Caption(), "Three");
    ASSERT_EQ(word.Groups().Count(), 1);
    EXPECT_EQ(word.Groups()[0]->Indexes, QList<int>({0, 1, 2}));
    // The shared block and the other word are untouched.
    EXPECT_EQ(shared->Values.Count(), 2);
    EXPECT_EQ(other.IndexOfValue("3"), -1);
    EXPECT_EQ(other.Groups()[0]->Indexes, QList<int>({0, 1}));
    word.ClearAll();
    EXPECT_EQ(word.IndexOfValue("1"), -1);
}
