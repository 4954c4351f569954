#include "query/query_fixtures.h"

#include <brindle/datamodel/form_classes.h>
#include <brindle/foundations/form_stream.h>
#include <brindle/query/titles.h>

#include <gtest/gtest.h>

#include <functional>

using namespace brindle;
using brindle::fixtures::QueryModel;

namespace {

constexpr auto text = fixtures::textLines;

TStringList saved(TVxQuery& query)
{
    TStringList lines;
    query.SaveToStrings(lines);
    return lines;
}

// The query's titles of the keys, joined by "|".
QString titles(const TVxQuery& query, const QStringList& keys)
{
    QStringList out;
    for (const QString& key : keys)
        out << query.GetTitle(key);
    return out.join('|');
}

} // namespace

class QueryText : public ::testing::Test, protected fixtures::ModelQuery {
protected:
    void SetUp() override { fresh.SetDbStruct(&m.model); }

    // A sub-query operator for the customer name.
    TDSOperator* subQueryOperator()
    {
        TDSOperator* op = m.model.Operators(m.model.AddOperator("InQuery", "is in", "@f in (@1)", "", BrStringTypes));
        op->SetValueKind(vkSubQuery);
        return op;
    }

    TVxQuery fresh;
};

TEST_F(QueryText, RoundTripKeepsTreeValuesParametersAndFields)
{
    query.SetQueryName("Big orders");
    // Titles take their merged form, with an empty line after each section,
    // once set; a load gives that form too.
    query.SetTitles(text("[PanelTitles]\nttlAll=every one\nttlUnknown=x\n"));
    query.Description().Add("Orders of the year");
    query.Description().Add("");
    TDSOperator* inQuery = subQueryOperator();
    add(m.custName, "Contains", "mit");
    TFilterCond* params = add(m.amount, "Between", "10", "20");
    for (int i : {1, 2})
        params->SetValueIsParam(i, true);
    params->GetParam(2)->SetValueFormat("@v + 1");
    query.AddCustomCondition(query.Filter(), m.bigOrders)->SetValue(1, "500");
    TSimpleCond* sub = add(m.custName, inQuery);
    sub->SubQuery().SetCommaText("[Main],\"Version=3.6\"");
    sub->SetValue(1, "SELECT Name FROM Customers");
    TFilterBracket* root = query.Filter();
    for (TFilterLinkType type : {fltAny, fltNone, fltNotAll}) {
        root = query.AddBracket(root);
        root->SetLinkType(type);
        add(m.status, "Equal", "S", {}, root);
    }
    TFilterBracket* off = query.AddBracket(query.Filter());
    add(m.paid, "Equal", "1", {}, off);
    off->SetEnabled(false);
    add(m.orderDate, "IsNull")->SetEnabled(false);
    TRFieldList& fields = query.QResult()->ResultFields();
    fields.Add("@1", {m.custName}, "Customer");
    fields[fields.Add("sum(@1)", {m.amount}, "Sum")]->SetSorting(stDescending);

    // The text holds every field, operator, value and flag (the committed
    // example queries pin the layout down): the same text back means the
    // same query back. Titles come first.
    const TStringList first = saved(query);
    EXPECT_TRUE(first[0] == "[Query Panel]" && !query.Modified()); // saved
    for (int load = 0; load < 2; ++load) { // a second load replaces all
        fresh.LoadFromStrings(first);
        EXPECT_EQ(saved(fresh).Lines(), first.Lines());
    }
    EXPECT_TRUE(fresh.GetTitle("ttlAll") == "every one"
                && fresh.Description().Lines() == QStringList({"Orders of the year", ""}));
    // Saved into a list the text repeats, the query writes aside; saved
    // into a list holding an older text, it replaces all of it.
    fresh.SaveToStrings(fresh.Description());
    EXPECT_EQ(fresh.Description().Count(), first.Count());
    EXPECT_EQ(fresh.Description()[first.IndexOf("[Description]") + 1], "Orders of the year");
    fresh.Description().SetText("Orders of the year\n\n");
    TStringList reused = first;
    reused.Add("stale");
    fresh.SaveToStrings(reused);
    EXPECT_EQ(reused.Lines(), first.Lines());
    ASSERT_EQ(fresh.QResult()->GetParamCount(), 2);
    EXPECT_EQ(fresh.QResult()->GetParam(1)->ParamName(), "Param2");
    EXPECT_EQ(static_cast<TFilterCond*>(fresh.Filter()->GetRow(3))->SubQuery().Lines(),
              QStringList({"[Main]", "Version=3.6"}));
}

TEST_F(QueryText, LoadingReportsOnceNeedsAModelAndFillsInWhatIsMissing)
{
    add(m.custName, "Equal", "A");
    add(m.custCity, "Equal", "B")->SetValueIsParam(1, true);
    const TStringList lines = saved(query);
    int changes = 0, paramChanges = 0;
    query.OnChange = [&](QObject*) { ++changes; };
    query.OnParamListChange = [&](QObject*) { ++paramChanges; };
    query.LoadFromStrings(lines);
    EXPECT_TRUE(changes == 1 && paramChanges == 1 && query.Modified() && query.Active());
    query.LoadFromStrings(TStringList()); // an empty text only clears
    EXPECT_EQ(query.Filter()->GetRowCount() + query.QResult()->GetParamCount(), 0);

    EXPECT_EQ(fixtures::errorOf<EVxQueryPanelError>([&] { TVxQuery().LoadFromStrings(lines); }),
              "3: DBStruct is not specified");

    fresh.LoadFromStrings(text("[Main]\nVersion=3.6\n[Row]\nRowType=1\nLinkType=1\nRowCount=2000000000\n"
                               "[Row2.]\nRowType=0\nFieldID=1\n"
                               "[Row1.]\nRowType=0\nFieldID=999\nOperator=Nope\n"
                               "[Row3.]\nRowType=2\nCondID=77\n"
                               "[row04.]\nRowType=0\nFieldID=1\n"
                               "[Row5.]\nRowType=1\nLinkType=2\nRowCount=1\n"
                               "[Row5.1.]\nRowType=0\nFieldID=" + QString::number(m.paid->ID()) + "\nOperator=Equal\n"));
    // Row2. stands before Row1., where the search for it starts: it is not found.
    ASSERT_EQ(fresh.Filter()->GetRowCount(), 3);
    EXPECT_EQ(fresh.Filter()->LinkType(), fltAny); // "1"
    const auto* unknown = static_cast<TSimpleCond*>(fresh.Filter()->GetRow(0));
    EXPECT_TRUE(unknown->Field() == m.model.NullField() && unknown->Operator() == m.model.NullOperator());
    EXPECT_EQ(static_cast<TCustomCond*>(fresh.Filter()->GetRow(1))->DSCondition(), m.model.NullCondition());
    const auto* inner = static_cast<TFilterBracket*>(fresh.Filter()->GetRow(2));
    EXPECT_TRUE(inner->LinkType() == fltNone && static_cast<TSimpleCond*>(inner->GetRow(0))->Field() == m.paid);
    // A root section that is no bracket reads nothing.
    fresh.LoadFromStrings(text("[Row]\nRowType=0\nFieldID=1\n"));
    EXPECT_EQ(fresh.Filter()->GetRowCount(), 0);
}

TEST_F(QueryText, NonNumericValuesRaiseAndOlderVersionsAreRead)
{
    query.SetSaveSQLOptions(true);
    const QString cond = "[Row1.]\nRowType=0\nEnabled=1\nFieldID=%1\nOperator=Equal\n";
    const QString field = QString::number(m.custName->ID());
    const QString good = "[Main]\nVersion=3.6\n[Row]\nRowType=1\nLinkType=0\nRowCount=1\n" + cond.arg(field);
    const struct { const char* key; QString text; } cases[] = {
        {"Options", "[Main]\nOptions=x\n" + good},
        {"RowType", "[Row]\nRowType=x\n"},
        {"bracket Enabled", "[Row]\nRowType=1\nEnabled=yes\nLinkType=0\nRowCount=0\n"},
        {"RowCount", "[Row]\nRowType=1\nLinkType=0\nRowCount=\n"},
        {"LinkType", "[Row]\nRowType=1\nLinkType=any\nRowCount=1\n" + cond.arg(field)},
        {"LinkType range", "[Row]\nRowType=1\nLinkType=4\nRowCount=0\n"},
        {"FieldID", "[Main]\nVersion=3.6\n[Row]\nRowType=1\nLinkType=0\nRowCount=1\n" + cond.arg("Name")},
        {"condition Enabled", QString(good).replace("Enabled=1", "Enabled=on")},
        {"CondID", "[Row]\nRowType=1\nLinkType=0\nRowCount=1\n[Row1.]\nRowType=2\nCondID=\n"},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(query.LoadFromStrings(text(c.text)), EConvertError) << c.key;
        EXPECT_TRUE(query.State() == stIdle && query.Active() && !query.Modified()) << c.key;
    }
    // Partly loaded: the rows before the fault stay.
    EXPECT_THROW(query.LoadFromStrings(text(QString(good).replace("RowCount=1", "RowCount=3")
                                            + "[Row2.]\nRowType=0\nFieldID=?\n[Row3.]\nRowType=2\nCondID=1\n")),
                 EConvertError);
    EXPECT_EQ(query.Filter()->GetRowCount(), 1);

    const QString condition = "[Row]\nRowType=1\nLinkType=0\nRowCount=1\n[Row1.]\nRowType=0\n%1\nOperator=Equal\n"
                              "Param1=%2\nValue1=Smith\nValue2=\nCaption1=Mr Smith\n";
    const QString id = "FieldID=" + QString::number(m.custName->ID());
    const struct { const char* version; QString field; bool param; QString caption; } versions[] = {
        {nullptr, "FldName=Customers.Name", false, "Smith"}, // 1.1: no Version line, values only
        {"1.2", "FldName=Customers.Name", true, "Customer Parameter"},
        {"1.4", "FldName=c.Name", true, "Customer Parameter"},
        {"2.0", id, true, "Customer Parameter"},
        {"2.1", id, true, "Customer Parameter"},
        {"2.2", id, false, "Mr Smith"},
    };
    for (const auto& c : versions) {
        SCOPED_TRACE(c.version ? c.version : "1.1");
        const QString lines = condition.arg(c.field, c.param || !c.version ? "1" : "0");
        fresh.LoadFromStrings(text(c.version ? QString("[Main]\nVersion=%1\n").arg(c.version) + lines : lines));
        EXPECT_DOUBLE_EQ(fresh.Version(), c.version ? QString(c.version).toDouble() : 1.1);
        ASSERT_EQ(fresh.Filter()->GetRowCount(), 1);
        const auto* cond = static_cast<TSimpleCond*>(fresh.Filter()->GetRow(0));
        EXPECT_EQ(std::tuple(cond->Field(), cond->GetValueIsParam(1), cond->GetCaption(1)),
                  std::tuple(m.custName, c.param, c.caption));
    }
    // Each old layout reads a field by its own key only.
    fresh.LoadFromStrings(text("[Main]\nVersion=1.4\n" + condition.arg("FldName=Customers.Name", "1")));
    EXPECT_EQ(static_cast<TSimpleCond*>(fresh.Filter()->GetRow(0))->Field(), m.model.NullField());
}

// --- the form stream

class QueryForm : public ::testing::Test {
protected:
    void SetUp() override { RegisterQueryFormClasses(); }
    QueryModel m;
};

TEST_F(QueryForm, RoundTripWithTheModelInOneForm)
{
    QObject form;
    auto* model = new TVxDBStructure(&form);
    model->setObjectName("Model");
    model->Assign(m.model);
    auto* query = new TVxQuery(&form);
    query->setObjectName("Query");
    query->SetDbStruct(model);
    query->SetSQLSyntax(ssOracle);
    query->SetSQLOptions({soQuoteAliases});
    query->SetSaveTitles(false);
    query->SetSubQueryHint(sqhText);
    query->SetQueryName("Q");
    query->SetMainTableName("Orders");
    query->SetTitle("ttlAll", "every one");
    TRFieldList& fields = query->QResult()->ResultFields();
    fields[fields.Add("@1", {model->Fields(0)}, "Who")]->SetSorting(stAscending);

    TStringList written;
    WriteForm("F", {model, query}, written);
    EXPECT_TRUE(written.Lines().contains("    DBStruct = @Model"));

    QObject owner;
    const QList<QObject*> read = ReadForm(written, &owner);
    auto* back = qobject_cast<TVxQuery*>(read[1]);
    const auto* backModel = qobject_cast<TVxDBStructure*>(read[0]);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->DbStruct() == backModel && back->MainTable() == backModel->Tables(1)
                && back->SQLSyntax() == ssOracle && back->SQLOptions() == TSQLOptions({soQuoteAliases})
                && !back->SaveTitles() && back->SubQueryHint() == sqhText && back->QueryName() == "Q"
                && !back->Modified() && back->State() == stIdle);
    // The root row shows the stored titles.
    EXPECT_TRUE(back->FullTitles() == back->Titles()
                && back->Filter()->Label2()->Items().Lines().first() == "every one");
    ASSERT_EQ(back->QResult()->ResultFields().Count(), 1);
    const TResultField* who = back->QResult()->ResultFields()[0];
    EXPECT_TRUE(who->DSFields()[0] == backModel->Fields(0) && who->Sorting() == stAscending);

    // Only the titles differ: the merge ends each section with an empty line.
    TStringList again;
    WriteForm("F", read, again);
    auto withoutTitles = [](const TStringList& lines) {
        QStringList kept = lines.Lines();
        kept.removeIf([](const QString& line) { return line.startsWith("    Titles = "); });
        return kept;
    };
    EXPECT_EQ(withoutTitles(again).join('\n').toStdString(), withoutTitles(written).join('\n').toStdString());
    EXPECT_NE(again, written);
    TStringList third;
    WriteForm("F", ReadForm(again, &owner), third);
    EXPECT_EQ(third, again);

    // An older form's option set gives the syntax and options; a malformed set is refused.
    const QString old = "form F\n  component Q: TVxQuery\n    Options = %1\n  end\nend\n";
    back = static_cast<TVxQuery*>(ReadForm(text(old.arg("[poOracleJoins, \"poSelectDistinct\", poNoSuch]")), &owner)[0]);
    EXPECT_TRUE(back->SQLSyntax() == ssOracle && back->SQLOptions() == TSQLOptions({soASCIIRFields, soSelectDistinct}));
    EXPECT_EQ(fixtures::errorOf<EFormStreamError>([&] { ReadForm(text(old.arg("[a b]")), &owner); }),
              "Form line 3: Invalid property value");
}

// --- titles

TEST(Titles, MergeSetAndReadInEveryForm)
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
    // The default titles' blank separator ends their first section.
    EXPECT_EQ(destination.Count(), DefaultTitles().Count() + 1);
    EXPECT_EQ(destination.Values("ttlAll") + destination.Values("ttlOkBtnCaption") + destination.Values("ttlAny"),
              "everyFineany");

    // A reference without sections is merged as one list, from anywhere in
    // the source; the destination may be the reference itself.
    TStringList flat = text("a=1\nb=2\nnote\n");
    TStringList flatSource = text("[S]\nb=B\nb=second\na=\n");
    LoadTitlesFromStrings(flat, flat, flatSource);
    EXPECT_EQ(flat.Lines(), QStringList({"a=1", "b=B", "note"}));

    QueryModel m;
    TVxQuery query;
    query.SetDbStruct(&m.model);
    // Keys ignore case and unknown ones are dropped; new rows show the titles.
    query.SetTitle("ttlAnd", "plus");
    query.SetTitle("ttlNoSuchTitle", "x");
    EXPECT_TRUE(query.GetTitle("TTLAND") == "plus" && query.Titles().IndexOfName("ttlNoSuchTitle") == -1);
    EXPECT_EQ(query.AddCondition(query.Filter(), m.custName)->Label9()->Items()[0], "plus");

    // "Title<i>" by the fixed keys, blank texts and keys without a default
    // title changing nothing; the form's lines by position.
    query.LoadOldTitlesFromStrings(text("Title0=Pick where @ apply\nTitle2=   \nTitle3=ANY\nTitle9=Fields\n"));
    query.MergeDFMTitles(text("\nsome\n"));
    EXPECT_EQ(titles(query, {"ttlFilter", "ttlBracket", "ttlAll", "ttlAny", "ttlFields"}),
              "Pick where @ apply|some|all|ANY|&Available fields");

    // Texts carry titles; the version last loaded decides how the next
    // text's titles are read.
    query.LoadFromStrings(text("[Query Panel]\nttlAll=alle\nttlExtra=x\n[Main]\nVersion=2.1\n[Titles]\nTitle2=not yet\n"));
    EXPECT_TRUE(query.GetTitle("ttlAll") == "alle" && query.Titles().IndexOfName("ttlExtra") == -1);
    query.LoadFromStrings(text("[Query Panel]\nttlAll=new\n[Main]\nVersion=2.2\n[Titles]\nTitle0=\nTitle1=\nTitle2=old\n"));
    EXPECT_EQ(query.GetTitle("ttlAll"), "old");
    query.LoadFromStrings(text("[Query Panel]\nttlAll=new\n[Titles]\nTitle0=\nTitle1=\nTitle2=old again\n"));
    EXPECT_EQ(query.GetTitle("ttlAll"), "new");
    query.SetSaveTitles(false); // then a text's titles are not read
    query.LoadFromStrings(text("[Query Panel]\nttlAll=ignored\n[Main]\nVersion=3.6\n"));
    EXPECT_EQ(query.GetTitle("ttlAll"), "new");
}

// --- round trips

// A query saved, loaded into a fresh query over the same model and saved
// again gives the same text; building twice gives the same statement and
// leaves the text as it was.
TEST_F(QueryText, SavedTextsAndStatementsStayPut)
{
    const struct {
        const char* name;
        std::function<void(ModelQuery&)> make;
    } cases[] = {
        {"row added to a disabled bracket",
         [](ModelQuery& q) {
             TFilterBracket* off = q.query.AddBracket(q.query.Filter());
             q.add(q.m.paid, "Equal", "1", {}, off);
             q.add(q.m.custCity, "Equal", "Rome");
             off->SetEnabled(false);
             q.query.AddConditionNum(off, off->GetLastRowNum() + 1, q.m.status);
             q.query.AddCondition(off, q.m.custName);
         }},
        {"the same column twice",
         [](ModelQuery& q) {
             TRFieldList& fields = q.query.QResult()->ResultFields();
             for (int i = 0; i < 3; ++i)
                 fields.Add("@1", {q.m.orderDate}, "Ordered on");
         }},
        {"stored options",
         [](ModelQuery& q) {
             q.query.SetSaveSQLOptions(true);
             q.query.QResult()->ResultFields().Add("@1", {q.m.amount}, "Sales total");
         }},
        {"default titles", [](ModelQuery& q) { q.add(q.m.custCity, "Equal", "Rome"); }},
        {"parameter of a patterned operator",
         [](ModelQuery& q) { q.add(q.m.custName, "Contains", "mit")->SetValueIsParam(1, true); }},
        {"no operator",
         [](ModelQuery& q) {
             q.query.AddCondition(q.query.Filter(), q.m.custCity);
             q.add(q.m.status, "Equal", "S")->SetOperator(nullptr);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModelQuery source;
        c.make(source);
        const TStringList first = saved(source.query);
        source.query.BuildQuery();
        const QStringList statement = source.query.QResult()->GetSQL().Lines();
        source.query.BuildQuery();
        EXPECT_EQ(source.query.QResult()->GetSQL().Lines(), statement);
        EXPECT_EQ(saved(source.query).Lines(), first.Lines());

        TVxQuery back;
        back.SetDbStruct(&source.m.model);
        back.SetActive(true);
        back.SetSaveSQLOptions(source.query.SaveSQLOptions());
        back.LoadFromStrings(first);
        EXPECT_EQ(saved(back).Lines(), first.Lines());
        back.BuildQuery();
        EXPECT_EQ(back.QResult()->GetSQL().Lines(), statement);
    }
}
