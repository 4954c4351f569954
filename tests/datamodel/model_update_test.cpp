// A model taking a working copy's content back (CopyOrigins over
// UpdateFromStrings): every entity the copy kept stays the same object with
// the copy's content, and only those the copy lost are announced; and a
// model text that fails, whichever way it is taken, changes nothing.

#include <brindle/datamodel/copy_origins.h>

#include <gtest/gtest.h>

#include <functional>

using namespace brindle;

namespace {

// Every entity of a removal or an entity list, whose kinds have the same names.
template <typename Kinds>
QSet<const void*> all(const Kinds& k)
{
    QSet<const void*> out;
    const auto add = [&](const auto& entities) {
        for (const void* entity : entities)
            out << entity;
    };
    add(k.Fields), add(k.Operators), add(k.Tables), add(k.Links), add(k.Conditions);
    return out;
}

struct RemovalLog : IModelListener {
    QSet<const void*> Removed;
    int Updates = 0;
    void ModelEntitiesRemoving(TVxCustomDBStructure*, const TModelRemoval& r) override { Removed += all(r); }
    void ModelEntitiesUpdated(TVxCustomDBStructure*) override { ++Updates; }
    void ModelDestroying(TVxCustomDBStructure*) override {}
};

QString text(const TVxCustomDBStructure& model)
{
    TStringList lines;
    model.SaveToStrings(lines);
    return lines.Text();
}

QSet<const void*> fieldsAndLinksOf(const TDSTable* table, const TVxCustomDBStructure& model)
{
    QSet<const void*> out{table};
    for (int i = 0; i < model.FieldCount(); ++i)
        if (model.Fields(i)->Tables().IndexOf(table) >= 0)
            out << model.Fields(i);
    for (int i = 0; i < table->LinkCount(); ++i)
        out << table->Links(i);
    return out;
}

struct Edit {
    const char* name;
    // Changes the copy.
    std::function<void(TVxDBStructure& copy)> edit;
    // What of the model must go.
    std::function<QSet<const void*>(const TVxDBStructure& model)> gone;
};

class ModelUpdateTest : public ::testing::TestWithParam<Edit> {};

TEST_P(ModelUpdateTest, KeptEntitiesStayAndTakeTheCopysContent)
{
    RemovalLog log;
    TVxDBStructure model;
    model.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_MODEL));
    TVxDBStructure copy;
    copy.Assign(model);
    CopyOrigins origins(model, copy);
    model.AddModelListener(&log);
    const QSet<const void*> before = all(model.TextEntities());
    const QSet<const void*> gone = GetParam().gone(model);

    GetParam().edit(copy);
    origins.Apply();
    // The same content as a model that reads the copy's text afresh.
    TVxDBStructure fresh;
    fresh.Assign(copy);
    EXPECT_EQ(text(model), text(fresh));
    EXPECT_EQ(log.Removed, gone);
    EXPECT_EQ(log.Updates, 1);
    // Kept means the same object, still the model's.
    const QSet<const void*> now = all(model.TextEntities());
    EXPECT_EQ(QSet<const void*>(before).subtract(gone), QSet<const void*>(before).intersect(now));
    // A second OK finds every entity paired.
    origins.Apply();
    EXPECT_EQ(all(model.TextEntities()), now);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ModelUpdateTest,
    ::testing::Values(
        Edit{"Nothing", [](TVxDBStructure&) {}, [](const TVxDBStructure&) { return QSet<const void*>{}; }},
        Edit{"Renames",
             [](TVxDBStructure& c) {
                 c.TableByName(tlByName, "Customers")->SetTableName("Clients");
                 c.TableByName(tlByAlias, "Ord")->SetTableAlias("O");
                 c.FieldByName(flByDisplayName, "Order date")->SetDisplayName("Placed on");
                 c.OperatorByName("Between")->SetName("Within");
             },
             [](const TVxDBStructure&) { return QSet<const void*>{}; }},
        Edit{"FieldDeleted",
             [](TVxDBStructure& c) { c.DelField(c.IndexOfField(c.FieldByName(flByDisplayName, "Order date"))); },
             [](const TVxDBStructure& m) { return QSet<const void*>{m.FieldByName(flByDisplayName, "Order date")}; }},
        Edit{"TableDeleted",
             [](TVxDBStructure& c) { c.DelTable(c.IndexOfTable(c.TableByName(tlByAlias, "Shp"))); },
             [](const TVxDBStructure& m) { return fieldsAndLinksOf(m.TableByName(tlByAlias, "Shp"), m); }},
        Edit{"OperatorAndConditionDeleted",
             [](TVxDBStructure& c) {
                 c.DelOperator(c.OperatorIndexByName("Between"));
                 c.Conditions().Delete(0);
             },
             [](const TVxDBStructure& m) {
                 return QSet<const void*>{m.OperatorByName("Between"), m.Conditions().Items(0)};
             }},
        Edit{"AddedAndReordered",
             [](TVxDBStructure& c) {
                 c.MoveTable(0, c.TableCount() - 1);
                 c.AddOperator("Near", "is near", "abs(@f - @1) < 1", QString(), TDSOperator::DefaultAppliedTypes);
                 c.FieldByName(flByDisplayName, "Quantity")->AddOperatorByName("Near");
                 c.AddTable("Regions", "Regions");
             },
             [](const TVxDBStructure&) { return QSet<const void*>{}; }}),
    [](const ::testing::TestParamInfo<Edit>& info) { return std::string(info.param.name); });

// Both ways of taking a model text: a text that fails at its last field
// leaves the model, and whoever follows it, as they were.
TEST(ModelUpdate, AFailingTextLeavesTheModelAsItWasAndTellsNothing)
{
    const std::function<void(TVxDBStructure&, const TStringList&)> takes[] = {
        [](TVxDBStructure& m, const TStringList& lines) { m.UpdateFromStrings(lines, m.TextEntities()); },
        [](TVxDBStructure& m, const TStringList& lines) { m.LoadFromStrings(lines); },
    };
    for (const auto& take : takes) {
        RemovalLog log;
        TVxDBStructure model;
        model.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_MODEL));
        const QString before = text(model);
        model.AddModelListener(&log);
        TStringList lines;
        model.SaveToStrings(lines);
        // The last field names a table that the text lacks.
        int at = lines.Count() - 1;
        while (!lines[at].startsWith(QStringLiteral("TableAlias=")))
            --at;
        lines.SetString(at, QStringLiteral("TableAlias=Nowhere"));
        EXPECT_THROW(take(model, lines), EVxDBStructError);
        EXPECT_EQ(text(model), before);
        EXPECT_TRUE(log.Removed.isEmpty());
        EXPECT_EQ(log.Updates, 0);
        model.RemoveModelListener(&log);
    }
}

} // namespace
