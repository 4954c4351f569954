// Entities on their own: field groups, value editors, predefined conditions
// and the small rules of fields.

#include "datamodel/model_fixtures.h"

#include <algorithm>
#include <map>
#include <random>

using namespace brindle;
using namespace brindle::testing;

TEST(FieldGroups, AFieldStandsInOneGroup)
{
    TVxDBStructure model;
    TDSField* a = AddVirtual(model, "A");
    TDSField* b = AddVirtual(model, "B");
    TDSField* c = AddVirtual(model, "C");
    TDSFieldGroup* orders = model.FieldGroups().AddGroup("Orders", a);
    EXPECT_EQ(a->GetCompoundName(".") + "|" + b->GetCompoundName("."), "Orders.A|B");
    TDSFieldGroup* other = model.FieldGroups().AddGroup("Other", nullptr);
    a->SetGroup(other);
    EXPECT_EQ(orders->Count(), 0);
    other->Insert(99, b);
    other->Insert(-5, c);
    other->Add(a); // moves to the end, no second entry
    ASSERT_EQ(other->Count(), 3);
    EXPECT_TRUE(other->Items(0) == c && other->Items(1) == b && other->Items(2) == a && model.RootGroup()->Count() == 0);
    int index = 0;
    EXPECT_TRUE(model.FieldGroups().FindByField(b, index) == other && index == 1);
    TDSField stray(&model);
    EXPECT_TRUE(model.FieldGroups().FindByField(&stray, index) == nullptr && index == -1);
    EXPECT_EQ(model.FieldGroups().FindByName("OTHER"), other);
    other->Delete(0);
    EXPECT_EQ(c->Group(), nullptr);
    model.DelField(model.IndexOfField(b)); // a freed field leaves its group
    EXPECT_EQ(other->Count(), 1);
    model.FieldGroups().Delete(1); // a freed group clears its members' group
    EXPECT_EQ(a->Group(), nullptr);
}

// Members leave their group by a slot they remember, which inserts,
// deletes, moves and the list closing up make stale: random moves, with
// reads only now and then so that vacated slots pile up, must leave every
// group as a plain list would.
TEST(FieldGroups, MembershipAfterManyMoves)
{
    TVxDBStructure model;
    std::vector<TDSField*> fields;
    for (int f = 0; f < 60; ++f)
        fields.push_back(AddVirtual(model, QString::number(f)));
    std::vector<TDSFieldGroup*> groups{model.RootGroup()};
    for (int g = 0; g < 3; ++g)
        groups.push_back(model.FieldGroups().AddGroup(QString::number(g), nullptr));
    std::map<TDSFieldGroup*, std::vector<TDSField*>> expected{{groups[0], fields}};
    const auto leave = [&](TDSField* field) {
        for (auto& [group, members] : expected)
            members.erase(std::remove(members.begin(), members.end(), field), members.end());
    };
    std::mt19937 rng(11);
    for (int step = 0; step < 3000; ++step) {
        TDSFieldGroup* group = groups[rng() % groups.size()];
        std::vector<TDSField*>& members = expected[group];
        TDSField* field = fields[rng() % fields.size()];
        switch (rng() % 5) {
        case 0:
        case 1:
            leave(field);
            members.push_back(field);
            group->Add(field);
            break;
        case 2: {
            const int at = static_cast<int>(rng() % (members.size() + 3)) - 1;
            leave(field);
            members.insert(members.begin() + std::clamp<int>(at, 0, static_cast<int>(members.size())), field);
            group->Insert(at, field);
            break;
        }
        case 3:
            if (!members.empty()) {
                const int at = static_cast<int>(rng() % members.size());
                members.erase(members.begin() + at);
                group->Delete(at);
            }
            break;
        case 4:
            if (members.size() > 1) {
                const int from = static_cast<int>(rng() % members.size());
                const int to = static_cast<int>(rng() % members.size());
                TDSField* moved = members[from];
                members.erase(members.begin() + from);
                members.insert(members.begin() + to, moved);
                group->Move(from, to);
            }
            break;
        }
        if (rng() % 8 == 0 || step == 2999)
            for (TDSFieldGroup* g : groups) {
                ASSERT_EQ(std::vector<TDSField*>(g->begin(), g->end()), expected[g]) << "step " << step;
                for (TDSField* member : expected[g])
                    ASSERT_EQ(member->Group(), g);
            }
    }
}

TEST(FieldGroups, FirstResultFieldHonoursRootFieldsFirst)
{
    TVxDBStructure model;
    TDSField* root = AddVirtual(model, "Root");
    EXPECT_TRUE(model.Empty());
    TDSField* hidden = AddVirtual(model, "Hidden");
    TDSField* shown = AddVirtual(model, "Shown");
    EXPECT_FALSE(model.Empty());
    // Root fields count only when they come first; fields out of results never.
    QList<const TDSField*> first{model.GetFirstResultField()};
    model.SetRootFieldsFirst(true);
    first << model.GetFirstResultField();
    hidden->SetUseInResult(false);
    root->SetUseInResult(false);
    model.FieldGroups().AddGroup("Hidden", hidden);
    model.FieldGroups().AddGroup("Shown", shown);
    first << model.GetFirstResultField();
    shown->SetUseInResult(false);
    EXPECT_EQ(first << model.GetFirstResultField(), QList<const TDSField*>({model.NullField(), root, shown, model.NullField()}));
}

TEST(Fields, EditorsAndOperators)
{
    TVxDBStructure model;
    TDSField* f = AddVirtual(model, "F");
    f->SetEditType(etEdit);
    auto* text = dynamic_cast<TDSTextEditor*>(f->ValueEditor());
    ASSERT_NE(text, nullptr);
    f->SetEditType(etEdit);
    EXPECT_EQ(f->ValueEditor(), text); // the same type keeps its editor
    // The case options exclude each other; clearing one leaves the other.
    text->SetAutoUpperCase(true);
    text->SetAutoLowerCase(true);
    text->SetAutoUpperCase(false);
    EXPECT_TRUE(text->AutoLowerCase() && !text->AutoUpperCase());
    text->SetOptions(3);
    text->SetAutoLowerCase(false);
    EXPECT_TRUE(text->AutoUpperCase() && !text->HasOption(3));
    f->SetEditType(etSQL);
    auto* sql = dynamic_cast<TDSSQLEditor*>(f->ValueEditor());
    EXPECT_TRUE(sql && sql->DBStruct() == &model);
    f->SetEditType(etAuto);
    EXPECT_EQ(f->ValueEditor(), nullptr);
    f->SetUseInConditions(true);
    f->DelOperator(0);
    f->SetUseInConditions(true); // only an empty list is filled
    EXPECT_EQ(f->OperatCount(), model.OperatCount() - 1);
    EXPECT_EQ(f->ValueAsString("O'Neil"), "'O''Neil'");

    TDSSQLEditor editor(&model);
    editor.SQL.SetText("select id, name from t\nwhere a = :id and b = :id2");
    ExpectDBStructError([&] { editor.SetOpened(true); }, 11, "DatabaseInfo is not specified");

    // Parameters apply in order, so ":id" also takes the front of ":id2".
    editor.SetSQLParams(TStringList{"id=1", "id2=2"});
    EXPECT_EQ(editor.SQLText(), "select id, name from t\nwhere a = 1 and b = 12\n");
    EXPECT_TRUE(editor.HasParameter("id2") && !editor.HasParameter("name"));
    FakeDBInfo info;
    model.SetDatabaseInfo(&info);
    QString ran;
    int runs = 0;
    info.OnGetSQLValues = [&](TVxDBInfo*, const QString& sql, TStringList& values, TStringList& captions) {
        ++runs;
        ran = sql;
        values.Add("1");
        captions.Add("One");
    };
    editor.SetOpened(true);
    editor.SetOpened(true);
    EXPECT_TRUE(runs == 1 && ran == editor.SQLText());
    EXPECT_EQ(editor.Items.Lines() + editor.Values.Lines(), QStringList({"One", "1"}));
    editor.Refresh(); // runs again and replaces, never appends
    EXPECT_TRUE(runs == 2 && editor.Items.Count() == 1);

    editor.SetSQLParams(TStringList{"id=1", "id2=2"}); // same text: stays open
    EXPECT_TRUE(editor.Opened());
    editor.SetSQLParams(TStringList{"id=3"});
    EXPECT_TRUE(!editor.Opened() && editor.Items.IsEmpty() && editor.Values.IsEmpty());
}

