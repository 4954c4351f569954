#include "datamodel/model_fixtures.h"
#include "query/query_fixtures.h"
#include "query/query_mirror.h"

#include <gtest/gtest.h>

#include <random>

using namespace brindle;

namespace {

// Records what the model announces, to check nothing kept refers to it.
struct RemovalLog : IModelListener {
    TModelRemoval Last;
    void ModelEntitiesRemoving(TVxCustomDBStructure*, const TModelRemoval& removal) override { Last = removal; }
    void ModelDestroying(TVxCustomDBStructure*) override {}
};

// Every model entity the tree's rows and the result fields refer to.
QSet<const void*> referenced(const TVxQuery& query)
{
    QSet<const void*> out;
    std::function<void(const TFilterBracket*)> walk = [&](const TFilterBracket* bracket) {
        for (int i = 0; i < bracket->GetRowCount(); ++i) {
            const TFilterRow* row = bracket->GetRow(i);
            if (row->IsBracket())
                walk(static_cast<const TFilterBracket*>(row));
            else if (row->RowType() == frtSimpleCondition)
                out << static_cast<const TSimpleCond*>(row)->Field() << static_cast<const TSimpleCond*>(row)->Operator();
            else
                out << static_cast<const TCustomCond*>(row)->DSCondition();
        }
    };
    walk(query.Filter());
    for (const auto& field : query.QResult()->ResultFields())
        for (const TDSField* f : field->DSFields())
            out << f;
    out.remove(nullptr);
    return out;
}

// What the model holds now, its placeholders included.
QSet<const void*> live(const TVxCustomDBStructure* model)
{
    QSet<const void*> out;
    if (!model)
        return out;
    out << model->NullField() << model->NullOperator() << model->NullCondition();
    for (int i = 0; i < model->FieldCount(); ++i)
        out << model->Fields(i);
    for (int i = 0; i < model->OperatCount(); ++i)
        out << model->Operators(i);
    for (const auto& condition : model->Conditions())
        out << condition.get();
    return out;
}

bool namesAny(const QSet<const void*>& refs, const TModelRemoval& removal)
{
    return std::any_of(refs.begin(), refs.end(), [&](const void* p) {
        return removal.Fields.contains(static_cast<const TDSField*>(p))
               || removal.Operators.contains(static_cast<const TDSOperator*>(p))
               || removal.Conditions.contains(static_cast<const TDSCondition*>(p));
    });
}

// Conditions on Customer, Amount (in a bracket of its own), the predefined
// condition and City (a parameter); result fields on Customer and Order.
void fill(fixtures::ModelQuery& mq)
{
    fixtures::QueryModel& m = mq.m;
    mq.add(m.custName, "Equal", "Ann");
    // A new bracket comes with a condition, which becomes the one on Amount.
    auto* amount = static_cast<TSimpleCond*>(mq.query.AddBracket(mq.query.Filter())->GetRow(0));
    amount->SetField(m.amount);
    amount->SetOperator(m.op("GreaterThan"));
    amount->SetValue(1, "5");
    mq.query.AddCustomCondition(mq.query.Filter(), m.bigOrders)->SetValue(1, "100");
    mq.add(m.custCity, "Equal", "Rome")->SetValueIsParam(1, true);
    mq.query.QResult()->ResultFields().Add("@1", {m.custName}, "Name");
    mq.query.QResult()->ResultFields().Add("@1", {m.orderID}, "Order");
}

QString text(TVxQuery& query) { return query.GetQueryText().Text().simplified(); }

} // namespace

class ModelRepair : public ::testing::Test, protected fixtures::ModelQuery {
protected:
    void SetUp() override { fill(*this); }
    QString text() { return ::text(query); }
};

// Each kind of removal takes the rows and result fields that use it along,
// and the query builds again at once.
TEST(ModelRepairKinds, RemovalsTakeWhatUsesThem)
{
    using Model = fixtures::QueryModel;
    const struct {
        const char* name;
        std::function<void(Model&)> remove;
        const char* text;
        int resultFields;
        int changes;
        bool builds;
    } cases[] = {
        {"field", [](Model& m) { m.model.DelField(m.model.IndexOfField(m.amount)); }, "Ann amount above", 2, 1, true},
        {"field of a result", [](Model& m) { m.model.DelField(m.model.IndexOfField(m.custName)); },
         "apply any of the following apply Amount", 1, 1, true},
        {"operator", [](Model& m) { m.model.DeleteOperatorByName("GreaterThan"); }, "Ann amount above", 2, 1, true},
        {"predefined condition", [](Model& m) { m.model.Conditions().Delete(0); }, "greater than 5 City", 2, 1, true},
        {"table", [](Model& m) { m.model.DelTable(0); }, "apply any of the following apply Amount is greater than 5 amount",
         1, 1, true},
        // Nothing uses a link; the statement of the last build is dropped.
        {"link", [](Model& m) { m.model.DelLink(0); }, "Ann any of", 2, 0, false},
        {"everything", [](Model& m) { m.model.ClearStructure(); }, "following apply", 0, 1, false},
    };
    for (const auto& c : cases) {
        fixtures::ModelQuery mq;
        fill(mq);
        fixtures::QueryMirror mirror(mq.query);
        int changes = 0;
        mq.query.OnChange = [&](QObject*) { ++changes; };
        c.remove(mq.m);
        EXPECT_TRUE(text(mq.query).contains(c.text)) << c.name << ": " << text(mq.query);
        EXPECT_TRUE(mq.query.QResult()->ResultFields().Count() == c.resultFields && changes == c.changes
                    && mirror.Text() == fixtures::QueryMirror::TreeText(mq.query.Filter()))
            << c.name;
        if (c.builds)
            EXPECT_NO_THROW(mq.query.BuildQuery()) << c.name;
        else
            EXPECT_THROW(mq.query.BuildQuery(), EVxQueryPanelError) << c.name;
    }
}

// The random edits below run from inside the events too; these are the
// outcomes they cannot name.
TEST_F(ModelRepair, ReloadingOrDestroyingTheModelEmptiesTheQuery)
{
    query.OnBuildSQL = [&](TFilterCond*, QString&) { m.model.DelField(m.model.IndexOfField(m.custCity)); };
    EXPECT_EQ(fixtures::errorOf<Exception>([&] { query.BuildQuery(); }),
              "The data model changed while the query was being built");
    query.OnBuildSQL = nullptr;
    auto doomed = std::make_unique<TVxQuery>(); // the host frees a query from the model's event
    doomed->SetDbStruct(&m.model);
    doomed->AddCondition(doomed->Filter(), m.orderID);
    m.model.OnChange = [&](QObject*) { doomed.reset(); };
    m.model.DelField(m.model.IndexOfField(m.orderID));
    EXPECT_EQ(doomed, nullptr);
    m.model.OnChange = nullptr;

    TStringList text;
    m.model.SaveToStrings(text);
    m.model.LoadFromStrings(text); // the rows' entities were all replaced
    EXPECT_EQ(query.Filter()->GetRowCount() + query.QResult()->GetParamCount(), 0);

    auto model = std::make_unique<TVxDBStructure>();
    TRFieldList own(model.get());
    model->LoadFromStrings(text);
    query.SetDbStruct(model.get());
    query.SetActive(true);
    TDSField* name = model->FieldByName(flByDisplayName, "Customer");
    query.AddCondition(query.Filter(), name);
    own.Add("@1", {name}, "Name");
    own.Add("@1", {model->FieldByName(flByDisplayName, "Amount")}, "Amount");
    model->DelField(model->IndexOfField(name));
    EXPECT_EQ(own.Count(), 1) << "a list of its own follows the model too";
    bool activeEvent = false;
    query.OnActive = [&](QObject*) { activeEvent = true; };
    model.reset();
    EXPECT_TRUE(activeEvent && !query.Active() && query.DbStruct() == nullptr);
    EXPECT_EQ(query.Filter()->GetRowCount() + query.QResult()->ResultFields().Count() + own.Count(), 0);
    EXPECT_NO_THROW(query.BuildQuery(); query.GetQueryText());

    // Another model given to the query: the columns of the first do not
    // stay behind to outlive it.
    auto first = std::make_unique<TVxDBStructure>();
    first->LoadFromStrings(text);
    query.SetDbStruct(first.get());
    query.QResult()->ResultFields().Add("@1", {first->FieldByName(flByDisplayName, "Customer")}, "Name");
    query.SetDbStruct(&m.model);
    first.reset();
    EXPECT_EQ(query.QResult()->ResultFields().Count(), 0);
    EXPECT_NO_THROW(query.BuildQuery(); query.GetQueryText());
}

// Random queries over random models, random model edits in between and from
// inside the query's events: nothing kept ever refers to what went, the
// views' mirror stays exact, and the query keeps building, saving, loading
// and importing.
TEST(ModelRepairProperty, RandomEditsNeverLeaveDanglingReferences)
{
    for (unsigned seed = 1; seed <= 16; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return n <= 0 ? 0 : int(rng() % unsigned(n)); };
        TVxDBInfo info;
        info.OnFieldsRequest = [](TVxDBInfo*, const QString&, TDBFieldList& fields) {
            for (int f = 0; f < 6; ++f)
                fields.Add(QString("F%1").arg(f), ftString, 20);
        };
        RemovalLog log;
        std::unique_ptr<TVxDBStructure> model;
        TVxQuery query;
        fixtures::QueryMirror mirror(query);
        // Entities made after a removal may take the freed addresses: the
        // removal's own check then cannot tell them apart.
        bool madeAfter = false;

        auto newModel = [&] {
            model = std::make_unique<TVxDBStructure>();
            model->SetDatabaseInfo(&info);
            model->AddModelListener(&log);
            const TFieldType types[] = {ftString, ftInteger, ftFloat, ftDate, ftBoolean};
            const int tables = 2 + pick(3);
            for (int t = 0; t < tables; ++t) {
                TDSTable* table = model->Tables(model->AddTable(QString("T%1").arg(t), QString("Table %1").arg(t)));
                table->SetTableAlias(QString("t%1").arg(t));
                if (t > 0)
                    model->AddLinkByExpr(QString("T%1-T%2:ID=ID").arg(t).arg(pick(t)));
                for (int f = 0, n = 2 + pick(4); f < n; ++f) {
                    TDSField* field = model->Fields(model->AddField(kfkData, QString("F%1").arg(f),
                                                                    QString("Field %1.%2").arg(t).arg(f), table));
                    field->SetFieldType(types[pick(5)]);
                    field->AddAppliedOperators();
                }
            }
            for (int c = pick(3); c > 0; --c) {
                auto condition = std::make_unique<TDSCondition>(model.get());
                condition->SetDisplayFormat("value over @");
                condition->SetSQLExpr("t0.F0 > @1");
                model->Conditions().Add(std::move(condition));
            }
            query.SetDbStruct(model.get());
            query.SetActive(true);
        };
        auto removeSomething = [&] {
            if (!model)
                return;
            TVxDBStructure& mm = *model;
            switch (pick(9)) {
            case 0: if (mm.FieldCount()) mm.DelField(pick(mm.FieldCount())); break;
            case 1: if (mm.OperatCount()) mm.DelOperator(pick(mm.OperatCount())); break;
            case 2: if (mm.TableCount() > 1) mm.DelTable(pick(mm.TableCount())); break;
            case 3: if (mm.LinkCount()) mm.DelLink(pick(mm.LinkCount())); break;
            case 4: if (mm.Conditions().Count()) mm.Conditions().Delete(pick(mm.Conditions().Count())); break;
            case 5: if (mm.FieldCount()) mm.Fields(pick(mm.FieldCount()))->SetDisplayName("Renamed"); break;
            case 6: if (mm.TableCount()) mm.Tables(pick(mm.TableCount()))->SetTableAlias("r"); break;
            case 7: madeAfter = true; mm.SetStructString(mm.StructString()); break;
            default: madeAfter = true; pick(2) ? mm.ClearStructure() : model.reset();
            }
        };
        // Now and then the host edits the model from inside the query's events.
        bool fromEvent = false;
        auto edit = [&](auto&&...) {
            if (fromEvent && pick(3) == 0)
                removeSomething();
        };
        query.OnChange = query.OnActive = query.OnParamListChange = edit;
        query.OnConditionChange = edit;
        query.OnSetValue = edit;
        query.OnBuildSQL = edit;
        query.OnElementCreate = edit;
        newModel();
        for (int step = 0; step < 150; ++step) {
            log.Last = TModelRemoval();
            madeAfter = false;
            fromEvent = pick(4) == 0;
            if (!model)
                newModel();
            const QList<TDSField*> fields = query.FieldsForBracket(query.Filter());
            // New rows go into the bracket of a row picked at random.
            TFilterRow* at = query.GetRowByNum(pick(query.GetLastRow()->RowNum() + 1));
            TFilterBracket* bracket = !at                ? query.Filter()
                                      : at->IsBracket() ? static_cast<TFilterBracket*>(at)
                                                        : at->ParentBracket();
            auto any = [&](const auto& list) { return list[pick(list.count())]; };
            try {
                switch (pick(13)) {
                case 0:
                case 1: if (!fields.isEmpty()) query.AddCondition(bracket, any(fields))->SetValue(1, "7"); break;
                case 2: query.AddBracket(bracket); break;
                case 10:
                    if (TFilterRow* row = query.GetRowByNum(1 + pick(query.GetLastRow()->RowNum())); row && !row->IsBracket())
                        static_cast<TFilterCond*>(row)->SetValueIsParam(1, pick(2));
                    break;
                case 3: if (model && model->Conditions().Count()) query.AddCustomCondition(bracket, model->Conditions()[0]); break;
                case 4: if (!fields.isEmpty()) query.QResult()->ResultFields().Add("@1", {any(fields)}, "R"); break;
                case 5:
                    if (TFilterRow* row = query.GetRowByNum(pick(query.GetLastRow()->RowNum() + 1))) {
                        bool (TVxQuery::*moves[])(TFilterRow*) = {&TVxQuery::MoveRowUp, &TVxQuery::MoveRowDown,
                                                                   &TVxQuery::MoveRowLeft, &TVxQuery::MoveRowRight};
                        (query.*moves[pick(4)])(row);
                    }
                    break;
                case 6:
                    if (TFilterRow* row = query.GetRowByNum(1 + pick(query.GetLastRow()->RowNum()))) {
                        TQueryWord* word = any(query.RowWords(row)).Word;
                        if (word->Values().Count())
                            query.AcceptWordValue(row, word, word->Values()[pick(word->Values().Count())]);
                    }
                    break;
                case 7: if (query.Filter()->GetRowCount()) query.Filter()->DeleteRow(pick(query.Filter()->GetRowCount())); break;
                case 8: query.BuildQuery(); query.ParseSQL(TStringList(query.QResult()->GetSQL())); break;
                case 9: {
                    TStringList text;
                    query.SaveToStrings(text);
                    query.LoadFromStrings(text);
                    break;
                }
                default: removeSomething();
                }
            } catch (const Exception&) {
                // Errors of the library are fine here; crashes and reports are not.
            }
            const QSet<const void*> refs = referenced(query);
            ASSERT_TRUE(refs - live(model.get()) == QSet<const void*>()) << "seed " << seed << " step " << step;
            if (!fromEvent && !madeAfter) {
                ASSERT_FALSE(namesAny(refs, log.Last)) << "seed " << seed << " step " << step;
            }
            ASSERT_EQ(mirror.Text(), fixtures::QueryMirror::TreeText(query.Filter())) << seed << ":" << step;
            ASSERT_TRUE(mirror.Faults.isEmpty()) << mirror.Faults.join('\n').toStdString();
            // Without a model nothing refers to an entity (checked above); rows
            // the host adds afterwards stay, on no field.
            ASSERT_TRUE(model || !query.Active()) << seed << ":" << step;
        }
        fromEvent = false;
        query.SetDbStruct(nullptr);
    }
}
