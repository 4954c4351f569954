#include "query/query_fixtures.h"

#include <brindle/query/titles.h>

#include <gtest/gtest.h>

using namespace brindle;
using brindle::fixtures::QueryModel;

namespace {

constexpr auto text = fixtures::textLines;

// The query's titles of the keys, joined by "|".
QString titles(const TVxQuery& query, const QStringList& keys)
{
    QStringList out;
    for (const QString& key : keys)
        out << query.GetTitle(key);
    return out.join('|');
}

} // namespace

TEST(Titles, MergeKeepsTheReferenceShape)
{
    const TStringList reference = text("[A]\nx=1\ny=2\n[B]\nz=3\n");
    // Renamed old sections, an unknown name, an empty text, another case,
    // a section the reference lacks.
    TStringList source = text("[B]\nZ=three\nz=ignored\n[A]\nunknown=u\nx=\ny=two\n[C]\nx=never\n");
    TStringList destination = text("old");
    LoadTitlesFromStrings(reference, destination, source);
    EXPECT_EQ(destination.Lines(), QStringList({"[A]", "x=1", "y=two", "", "[B]", "z=three", ""}));

    TStringList renamed = text("[PanelTitles]\nttlAll=every\n[RFETitles]\nttlOkBtnCaption=Fine\n");
    LoadTitlesFromStrings(DefaultTitles(), destination, renamed);
    EXPECT_EQ(renamed[0] + renamed[2], "[Query Panel][Result Fields Editor]");
    EXPECT_EQ(destination.Count(), DefaultTitles().Count() + 2);
    EXPECT_EQ(destination.Values("ttlAll") + destination.Values("ttlOkBtnCaption") + destination.Values("ttlAny"),
              "everyFineany");

    // A reference without sections is merged as one list, from anywhere in
    // the source; the destination may be the reference itself.
    TStringList flat = text("a=1\nb=2\nnote\n");
    TStringList flatSource = text("[S]\nb=B\nb=second\na=\n");
    LoadTitlesFromStrings(flat, flat, flatSource);
    EXPECT_EQ(flat.Lines(), QStringList({"a=1", "b=B", "note"}));
}

TEST(Titles, SettingAndTheOlderForms)
{
    QueryModel m;
    TVxQuery query;
    query.SetTitle("ttlAnd", "plus");
    query.SetTitle("ttlNoSuchTitle", "x");
    EXPECT_EQ(query.GetTitle("TTLAND"), "plus");
    EXPECT_EQ(query.Titles().IndexOfName("ttlNoSuchTitle"), -1);

    // The titles are read anew after each change: new rows show them.
    query.SetTitles(text("[Query Panel]\nttlAnd=und\nttlParameter=Parameter\n"));
    EXPECT_EQ(query.GetTitle("ttlAnd"), "und");
    query.SetDbStruct(&m.model);
    TFilterCond* cond = query.AddCondition(query.Filter(), m.custName);
    EXPECT_EQ(cond->Label9()->Items()[0], "und");

    query.LoadDefTitles();
    EXPECT_EQ(query.DefTitles(), DefaultTitles());

    // "Title<i>" by the fixed keys: blank texts and keys without a default
    // title change nothing, and only the first line count + 1 indexes count.
    query.LoadOldTitlesFromStrings(text("Title0=Pick where @ apply\nTitle2=   \nTitle3=ANY\nTitle9=Fields\n"
                                        "Title13=Sort\nTitle21=All\n"));
    EXPECT_EQ(titles(query, {"ttlFilter", "ttlAll", "ttlAny", "ttlFields"}),
              "Pick where @ apply|all|ANY|&Available fields");
    EXPECT_EQ(query.Titles().IndexOfName("ttlSortTypeHint"), -1);
    query.LoadOldTitlesFromStrings(text("Title1=@ hold\nTitle2=EVERY\n"));
    EXPECT_EQ(titles(query, {"ttlBracket", "ttlAll"}), "@ hold|EVERY");
    query.LoadOldTitlesFromStrings(text("Title3=none of these\n"));
    EXPECT_EQ(query.GetTitle("ttlAny"), "ANY");

    query.MergeDFMTitles(text("\nsome\n \nnot any\n"));
    EXPECT_EQ(titles(query, {"ttlFilter", "ttlBracket", "ttlAny"}), "Pick where @ apply|some|not any");
}

TEST(Titles, QueryTextsCarryTitlesByVersion)
{
    QueryModel m;
    TVxQuery query;
    query.SetDbStruct(&m.model);
    query.LoadFromStrings(text("[Query Panel]\nttlAll=alle\nttlExtra=x\n[Main]\nVersion=2.1\n"
                               "[Titles]\nTitle2=ignored for now\n"));
    EXPECT_EQ(query.GetTitle("ttlAll"), "alle");
    EXPECT_EQ(query.Titles().IndexOfName("ttlExtra"), -1);
    EXPECT_EQ(query.Titles().Values("ttlAny"), "any");

    // The version last loaded decides how the next text's titles are read.
    query.LoadFromStrings(text("[Query Panel]\nttlAll=new\n[Main]\nVersion=2.2\n[Titles]\nTitle0=\nTitle1=\nTitle2=old form\n"));
    EXPECT_EQ(query.GetTitle("ttlAll"), "old form");
    query.LoadFromStrings(text("[Query Panel]\nttlAll=new\n[Titles]\nTitle0=\nTitle1=\nTitle2=old form again\n"));
    EXPECT_EQ(query.GetTitle("ttlAll"), "new");

    // Without SaveTitles, a text's titles are not read.
    query.SetSaveTitles(false);
    query.LoadFromStrings(text("[Query Panel]\nttlAll=ignored\n[Main]\nVersion=3.6\n"));
    EXPECT_EQ(query.GetTitle("ttlAll"), "new");
}
