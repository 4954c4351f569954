// The query base's own rules, over a base that keeps its queries in memory:
// opening, scrolling, deleting in every position, the links' notifications
// and the exchange of content. The stored bases' tests follow them with a
// real query.

#include <brindle/query/query_base.h>
#include "query/query_fixtures.h"

#include <gtest/gtest.h>

namespace brindle {
namespace {

class MemoryItem : public TVxQueryItem {
public:
    using TVxQueryItem::TVxQueryItem;
    void LoadContent(TStringList& content) override { content.Assign(Stored); }
    void SaveContent(const TStringList& content) override { Stored.Assign(content); }
    TStringList Stored;
};

// Loads one item per name; logs its events with the position at that moment.
class MemoryBase : public TVxQueryBase {
public:
    explicit MemoryBase(QStringList names = {}, QStringList* log = nullptr) : FNames(std::move(names))
    {
        if (!log)
            return;
        const auto logger = [this, log](const char* what) {
            return [this, log, what](QObject* sender) {
                EXPECT_EQ(sender, this);
                *log << QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(ItemIndex());
            };
        };
        BeforeOpen = logger("BeforeOpen");
        AfterOpen = logger("AfterOpen");
        BeforeClose = logger("BeforeClose");
        AfterClose = logger("AfterClose");
        BeforeScroll = logger("BeforeScroll");
        AfterScroll = logger("AfterScroll");
    }
    MemoryItem* item(int index) const { return static_cast<MemoryItem*>(GetQuery(index)); }

protected:
    void LoadQueries() override
    {
        for (const QString& name : FNames)
            AddItem(std::make_unique<MemoryItem>(name, name + QStringLiteral(" notes")));
    }

private:
    QStringList FNames;
};

// Logs what the base tells it, with the base's position at that moment.
class LoggingLink : public TVxQueryBaseLink {
public:
    LoggingLink(QString tag, QStringList& log) : FTag(std::move(tag)), FLog(log) {}
    void QueryChanged(int index) override { note(QStringLiteral("changed %1").arg(index)); }
    void QueryIndexChanged() override { note(QStringLiteral("index")); }
    void QueryListChanged(TQBOperation operation, int index) override
    {
        note(QStringLiteral("list %1 %2").arg(operation).arg(index));
    }
    bool GetQueryContent(TStringList& content) override { content.Add(FTag); return Gives; }
    bool PutQueryContent(const TStringList& content) override { Taken = content; return Gives; }
    bool Gives = true;
    TStringList Taken;

private:
    void note(const QString& what)
    {
        FLog << QStringLiteral("%1 %2 at %3").arg(FTag, what).arg(QueryBase()->ItemIndex());
    }
    QString FTag;
    QStringList& FLog;
};

QStringList names(const TVxQueryBase& base)
{
    QStringList out;
    for (int i = 0; i < base.GetCount(); ++i)
        out << base.GetQuery(i)->QueryName();
    return out;
}

TEST(QueryBase, OpeningLookingUpAndClosing)
{
    QStringList log;
    MemoryBase empty({}, &log);
    empty.Open();
    EXPECT_EQ(log, QStringList({"BeforeOpen -1", "AfterOpen -1"}));
    EXPECT_TRUE(empty.Active() && empty.GetCurrentQuery() == nullptr);

    log.clear();
    MemoryBase base({"Sales", "Ärger", "sales"}, &log);
    LoggingLink link("L", log);
    link.SetQueryBase(&base);
    base.Open();
    base.Open(); // already open: nothing again
    EXPECT_EQ(log, QStringList({"BeforeOpen -1", "L list 0 -1 at -1", "BeforeScroll -1", "L index at 0",
                                "AfterScroll 0", "AfterOpen 0"}));
    EXPECT_EQ(base.GetCurrentQuery()->QueryName(), "Sales");
    // Names ignore case, the first one found wins.
    EXPECT_EQ(QList<int>({base.IndexByName("SALES"), base.IndexByName("äRGER"), base.IndexByName("Sale")}),
              QList<int>({0, 1, -1}));

    // The current position, or one outside the list, changes nothing.
    log.clear();
    base.SetItemIndex(0);
    for (const int bad : {-1, 3, 100}) {
        const QString message = QStringLiteral("0: List index out of bounds (%1)").arg(bad);
        EXPECT_EQ(fixtures::errorOf<EVxQueryBaseError>([&] { base.SetItemIndex(bad); }), message);
        EXPECT_EQ(fixtures::errorOf<EVxQueryBaseError>([&] { base.DeleteQuery(bad); }), message);
    }
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(base.ItemIndex(), 0);
    EXPECT_EQ(names(base), QStringList({"Sales", "Ärger", "sales"}));

    base.Close();
    EXPECT_EQ(log, QStringList({"BeforeClose 0", "L list 1 -1 at -1", "AfterClose -1"}));
    EXPECT_TRUE(base.GetCount() == 0 && !base.Active());
}

TEST(QueryBase, DeletingInEveryPosition)
{
    struct Case {
        const char* what;
        QStringList stored;
        int current, deleted, newIndex;
        QString newCurrent;
        QStringList log;
    };
    const QList<Case> cases = {
        {"the only query", {"A"}, 0, 0, -1, {}, {"L list 3 0 at 0"}},
        {"the current first", {"A", "B", "C"}, 0, 0, 0, "B",
         {"L list 3 0 at 0", "BeforeScroll 0", "L index at 0", "AfterScroll 0"}},
        {"the current middle", {"A", "B", "C"}, 1, 1, 1, "C",
         {"L list 3 1 at 1", "BeforeScroll 1", "L index at 1", "AfterScroll 1"}},
        {"the current last", {"A", "B", "C"}, 2, 2, 1, "B",
         {"L list 3 2 at 2", "BeforeScroll 2", "L index at 1", "AfterScroll 1"}},
        {"one before the current", {"A", "B", "C"}, 2, 0, 1, "C", {"L list 3 0 at 2"}},
        {"one after the current", {"A", "B", "C"}, 0, 2, 0, "A", {"L list 3 2 at 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList log;
        MemoryBase base(c.stored, &log);
        LoggingLink link("L", log);
        base.Open();
        base.SetItemIndex(c.current);
        link.SetQueryBase(&base);
        log.clear();
        base.EraseQuery(c.deleted);
        EXPECT_EQ(log, c.log);
        EXPECT_TRUE(base.ItemIndex() == c.newIndex && base.GetCount() == c.stored.size() - 1
                    && (base.GetCurrentQuery() ? base.GetCurrentQuery()->QueryName() : QString()) == c.newCurrent);
    }
}

TEST(QueryBase, LinksHearChangesUnlessTheBaseIsUpdating)
{
    QStringList log;
    MemoryBase base;
    LoggingLink first("1", log);
    LoggingLink second("2", log);
    first.SetQueryBase(&base);
    second.SetQueryBase(&base);

    base.SetBaseUpdating(true);
    base.AddItem(std::make_unique<MemoryItem>("A", ""));
    EXPECT_TRUE(log.isEmpty());
    base.SetBaseUpdating(false);
    base.AddItem(std::make_unique<MemoryItem>("B", ""));
    EXPECT_EQ(log, QStringList({"1 list 2 1 at -1", "2 list 2 1 at -1", "1 changed 1 at -1", "2 changed 1 at -1"}));

    // An item reports a change of name or description at its position, once.
    log.clear();
    base.GetQuery(1)->SetQueryName("Bee");
    base.GetQuery(1)->SetQueryName("Bee");
    base.GetQuery(1)->SetDescription("about bees");
    EXPECT_EQ(log, QStringList({"1 changed 1 at -1", "2 changed 1 at -1", "1 changed 1 at -1", "2 changed 1 at -1"}));
}

TEST(QueryBase, ContentGoesToAndFromTheFirstLinkThatAnswers)
{
    QStringList log;
    MemoryBase base({"A"});
    base.Open();
    MemoryItem* item = base.item(0);
    item->Stored.SetText("stored\n");
    item->Save(); // no link gives content: the stored text stays
    EXPECT_EQ(item->Stored.Text(), "stored\n");

    LoggingLink first("first", log);
    LoggingLink second("second", log);
    first.SetQueryBase(&base);
    second.SetQueryBase(&base);
    item->Save();
    EXPECT_EQ(item->Stored.Lines(), QStringList({"first"}));

    first.Gives = false;
    TStringList content;
    EXPECT_TRUE(item->TakeContent(content));
    EXPECT_EQ(content.Lines(), QStringList({"first", "second"})); // the first added, then said no

    item->Load();
    EXPECT_EQ(first.Taken.Lines() + second.Taken.Lines(), QStringList({"first", "first"}));
    second.Gives = false;
    EXPECT_FALSE(base.GiveContent(content));

    // An item without a base has nowhere to take content from or give it to.
    MemoryItem loose("Loose", "");
    for (const auto& call : std::initializer_list<std::function<void()>>{
             [&] { loose.TakeContent(content); }, [&] { loose.GiveContent(content); }, [&] { loose.Save(); },
             [&] { loose.Load(); }})
        EXPECT_EQ(fixtures::errorOf<EVxQueryBaseError>(call), "1: Query base is not specified");
}

TEST(QueryBase, LinksAndBasesOutliveEachOther)
{
    QStringList log;
    LoggingLink survivor("S", log);
    {
        MemoryBase base({"A"});
        auto gone = std::make_unique<LoggingLink>("G", log);
        gone->SetQueryBase(&base);
        survivor.SetQueryBase(&base);
        gone.reset();
        EXPECT_EQ(base.LinkCount(), 1);

        // A link may detach another while the base is telling them.
        struct Detacher : LoggingLink {
            using LoggingLink::LoggingLink;
            void QueryIndexChanged() override { Other->SetQueryBase(nullptr); }
            TVxQueryBaseLink* Other = nullptr;
        } detacher("D", log);
        survivor.SetQueryBase(nullptr);
        detacher.SetQueryBase(&base);
        survivor.SetQueryBase(&base);
        detacher.Other = &survivor;
        log.clear();
        base.Open();
        EXPECT_TRUE(log == QStringList({"D list 0 -1 at -1", "S list 0 -1 at -1"}) && survivor.QueryBase() == nullptr);
        survivor.SetQueryBase(&base);
    }
    EXPECT_EQ(survivor.QueryBase(), nullptr);
}

TEST(QueryBase, NameAndDescriptionInsideAQueryText)
{
    // Sections are added where missing and found ignoring case.
    for (const auto& [before, after] : {std::pair<QStringList, QStringList>{{"[Row]", "RowCount=0"},
             {"[Main]", "QueryName=N", "", "[Description]", "d1", "d2", "", "[Row]", "RowCount=0"}},
         {{"[Titles]", "[MAIN]", "Version=3.6", "queryname=old", "", "[Description]", "x", "", "", "[UserData]"},
          {"[Titles]", "[MAIN]", "Version=3.6", "QueryName=N", "", "[Description]", "d1", "d2", "", "[UserData]"}}}) {
        TStringList text(before);
        SetContentProperties(text, "N", "d1\nd2");
        EXPECT_EQ(text.Lines(), after);
        EXPECT_EQ(ContentQueryName(text) + "|" + ContentDescription(text), "N|d1\nd2");
    }
    TStringList empty; // an empty content becomes a new query's text
    SetContentProperties(empty, "N", "");
    EXPECT_TRUE(empty.Lines().contains("Version=3.6") && ContentQueryName(empty) == "N");
}

} // namespace
} // namespace brindle
