// The database info component: the column cache, the text form of a column
// list, and how a model attaches it.

#include "datamodel/model_fixtures.h"

#include <brindle/foundations/conversions.h>

using namespace brindle;
using namespace brindle::testing;

TEST(DBInfo, FieldListsAreCachedAndTheirTextRoundTrips)
{
    FakeDBInfo info;
    info.columns["Orders"] = {{"ID", ftInteger, 4}, {"Note", ftMemo, 0}};
    info.columns["Items"] = {{"Qty", ftSmallint, 2}};
    info.GetFieldList("Orders");
    TDBFieldList& orders = info.GetFieldList("Orders");
    EXPECT_TRUE(orders.FindByName("note")->FieldType == ftMemo && orders.FindByName("Nope") == nullptr);
    EXPECT_EQ(info.GetFieldList("Items").Count(), 1);
    EXPECT_EQ(info.fieldsCalls, 2);
    info.Update(); // an update and a new connection empty the cache
    info.GetFieldList("Items");
    info.ConnectionChanged();
    TStringList names;
    info.GetFieldNamesByTable("Items", names);
    EXPECT_EQ(names.Lines(), QStringList{"Qty"});
    EXPECT_EQ(info.fieldsCalls, 4);

    // A request that fails leaves nothing cached, so the next call asks again.
    info.OnFieldsRequest = [](TVxDBInfo*, const QString&, TDBFieldList& fields) {
        fields.Add("Half", ftString, 1);
        throw Exception(QStringLiteral("connection lost"));
    };
    EXPECT_THROW(info.GetFieldList("Orders"), Exception);
    info.OnFieldsRequest = nullptr;
    EXPECT_EQ(info.GetFieldList("Orders").GetItem(0)->FieldName, "ID");

    TDBFieldList fields;
    fields.Add("ID", ftInteger, 4);
    fields.Add("Order Date", ftDateTime, 8);
    TStringList lines{"stale"};
    fields.SaveToStrings(lines);
    EXPECT_EQ(lines.Lines(), QStringList({"Count=2", "F1Name=ID", "F1Size=4", "F1Type=ftInteger",
                                          "F2Name=Order Date", "F2Size=8", "F2Type=ftDateTime"}));
    char* text = fields.GetText();
    TDBFieldList copy, third;
    copy.Add("Old", ftBlob, 1);
    copy.SetText(text);
    StrDispose(text);
    copy.CopyTo(third);
    TStringList copied;
    third.SaveToStrings(copied);
    EXPECT_EQ(copied, lines);

    // Hostile counts and values: no more columns than lines, and no crash.
    const struct {
        QStringList lines;
        int maxCount;
        const char* firstName; // none: no column expected
        TFieldType firstType;
    } cases[] = {
        {{"Count=2147483647", "F1Name=ID", "F1Type=ftInteger"}, 3, "ID", ftInteger},
        {{"Count=-3", "F1Name=ID"}, 0, nullptr, ftUnknown},
        {{"Count=abc", "F1Name=ID"}, 0, nullptr, ftUnknown},
        {{}, 0, nullptr, ftUnknown},
        {{"Count=1", "F1Name=ID", "F1Size=big", "F1Type=ftNothing"}, 1, "ID", ftUnknown},
        {{"Count=2", "F2Name=B", "F2Type=ftMemo", "x"}, 2, "", ftUnknown},
    };
    for (const auto& c : cases) {
        fields.LoadFromStrings(TStringList(c.lines));
        SCOPED_TRACE(c.lines.join(u'|').toStdString());
        EXPECT_LE(fields.Count(), c.maxCount);
        if (!c.firstName)
            continue;
        ASSERT_GE(fields.Count(), 1);
        const TDBFieldInfo* first = fields.GetItem(0);
        EXPECT_TRUE(first->FieldName == c.firstName && first->FieldType == c.firstType && first->FieldSize == 0);
    }
}
