// The default operator catalogue, its families, captions and name lookups.

#include "datamodel/model_fixtures.h"

using namespace brindle;
using namespace brindle::testing;

namespace {

// Written out rather than taken from the library, so that a wrong constant shows.
const TFieldTypes kCommon = {ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat,
                             ftCurrency, ftBCD, ftDate, ftTime, ftDateTime, ftAutoInc,
                             ftFixedChar, ftWideString, ftLargeint, ftTimeStamp};
const TFieldTypes kComparable = kCommon - TFieldTypes{ftBoolean};
const TFieldTypes kNullable = kCommon + TFieldTypes{ftMemo, ftFmtMemo};
const TFieldTypes kText = {ftString, ftMemo, ftFmtMemo, ftFixedChar, ftWideString};
const QString kAlways = "Equal,NotEqual,LessThan,LessOrEqual,GreaterThan,GreaterOrEqual,IsNull";

QString CatalogueNames(const TVxCustomDBStructure& model)
{
    TStringList names;
    model.GetOperatorNames(names);
    return names.CommaText();
}

} // namespace

TEST(OperatorCatalogue, NewModelHoldsTheFifteenDefaultsInOrder)
{
    const struct {
        const char *name, *caption, *sql;
        int params;
        TValueKind kind;
        TFieldTypes types;
    } expected[] = {
        {"Equal", "is equal to", "@f = '@1'", 1, vkScalar, kCommon},
        {"NotEqual", "is not equal to", "@f <> '@1'", 1, vkScalar, kCommon},
        {"LessThan", "is less than", "@f < '@1'", 1, vkScalar, kComparable},
        {"LessOrEqual", "is less than or equal to", "@f <= '@1'", 1, vkScalar, kComparable},
        {"GreaterThan", "is greater than", "@f >'@1'", 1, vkScalar, kComparable},
        {"GreaterOrEqual", "is greater than or equal to", "@f >= '@1'", 1, vkScalar, kComparable},
        {"IsNull", "is null", "@f is null", 0, vkScalar, kNullable},
        {"InList", "is in list", "@f in (@1)", 1, vkList, kCommon},
        {"NotInList", "is not in list", "NOT (@f in (@1))", 1, vkList, kCommon},
        {"StartsWith", "starts with", "@f like '@1%'", 1, vkScalar, kText},
        {"NotStartsWith", "does not start with", "not(@f like '@1%')", 1, vkScalar, kText},
        {"Contains", "contains", "@f like '%@1%'", 1, vkScalar, kText},
        {"NotContains", "does not contain", "not(@f like '%@1%')", 1, vkScalar, kText},
        {"Between", "is between", "@f between '@1' and '@2'", 2, vkScalar, kComparable},
        {"NotBetween", "is not between", "NOT (@f between '@1' and '@2')", 2, vkScalar, kComparable},
    };
    TVxDBStructure model;
    ASSERT_EQ(model.OperatCount(), 15);
    for (int i = 0; i < 15; ++i) {
        const auto& e = expected[i];
        const TDSOperator* op = model.Operators(i);
        SCOPED_TRACE(e.name);
        EXPECT_EQ(QStringList({op->Name(), op->DisplayName(), op->SQLExpr(), op->ValFormat()}),
                  QStringList({e.name, e.caption, e.sql, i >= 13 ? "and" : ""}));
        EXPECT_TRUE(op->ParamCount() == e.params && op->ValueKind() == e.kind && op->AppliedTypes == e.types);
    }
}

TEST(OperatorCatalogue, AppliedOperatorsFollowTheFieldType)
{
    TVxDBStructure model;
    for (auto [type, names] : {std::pair{ftBlob, QString()},
                               {ftMemo, "IsNull,StartsWith,NotStartsWith,Contains,NotContains"},
                               {ftBoolean, "Equal,NotEqual,IsNull,InList,NotInList"},
                               {ftInteger, kAlways + ",InList,NotInList,Between,NotBetween"}}) {
        TDSField field(&model);
        field.SetFieldType(type);
        field.AddAppliedOperators();
        EXPECT_EQ(field.GetOperatorNames(), names) << FldTypeToStr(type).toStdString();
    }
}

TEST(OperatorCatalogue, DisablingFamiliesRemovesThemAndReEnablingAppends)
{
    TVxDBStructure model;
    TDSField* field = AddVirtual(model, "upper(x)");
    field->AddAppliedOperators();

    model.SetExOperators({xoBetween});
    EXPECT_EQ(CatalogueNames(model), kAlways + ",Between,NotBetween");
    // Deleted operators leave every field, the placeholder included.
    EXPECT_EQ(field->GetOperatorNames(), kAlways + ",Between,NotBetween");
    EXPECT_EQ(model.NullField()->OperatCount(), 9);
    model.SetExOperators({xoInList, xoBetween, xoStartsWith, xoContains});
    EXPECT_EQ(CatalogueNames(model), kAlways + ",Between,NotBetween,InList,NotInList,"
                                               "StartsWith,NotStartsWith,Contains,NotContains");
    const TDSOperator* notInList = model.OperatorByName("NotInList"); // re-enabled as it was
    EXPECT_TRUE(notInList->ValueKind() == vkList && notInList->DisplayName() == "is not in list");
    EXPECT_EQ(field->OperatCount(), 9); // fields are not refilled by themselves

    // A rebuilt catalogue is in the default order again, with the enabled families.
    model.SetExOperators({xoContains});
    model.AddOperator("Custom", "custom", "@f ~ '@1'", {}, kText);
    model.ClearStructure();
    EXPECT_EQ(CatalogueNames(model), kAlways + ",Contains,NotContains");
    EXPECT_EQ(model.NullField()->GetOperatorNames(), kAlways + ",Contains,NotContains");
}

TEST(OperatorCatalogue, LookupsIgnoreCaseAndMapOnlyTheExactOldName)
{
    TVxDBStructure model;
    for (auto [text, index] : {std::pair{"EQUAL", 0}, {"EqualTo", 0}, {"equalto", -1}, {"EQUALTO", -1},
                               {"notbetween", 14}, {"", -1}}) {
        EXPECT_EQ(model.OperatorIndexByName(text), index) << text;
        EXPECT_EQ(model.OperatorByName(text), index < 0 ? nullptr : model.Operators(index)) << text;
    }
    // An operator really named so is found, yet "EqualTo" keeps meaning Equal.
    const int own = model.AddOperator("EqualTo", "old equal", "@f == @1", {}, kCommon);
    EXPECT_EQ(model.OperatorIndexByName("equalto"), own);
    EXPECT_EQ(model.OperatorIndexByName("EqualTo"), 0);
    EXPECT_EQ(model.OperatorByExpr("LIKE '@1%'")->Name(), "StartsWith");
    EXPECT_EQ(model.AddUpdateOperator(true, "contains", "x", "x", {}, {}), 11);
    EXPECT_EQ(model.AddUpdateOperator(false, "Contains", "x", "x", {}, {}), 16);

    ExpectDBStructError([&] { model.Operators(17); }, 3, "Invalid operator index 17");
    ExpectDBStructError([&] { model.DelOperator(-1); }, 3, "Invalid operator index -1");
    EXPECT_EQ(model.OperatCount(), 17);
    TDSField field(&model);
    ExpectDBStructError([&] { field.AddOperatorByName("Like"); }, 6, "Operator not found: Like");
    ExpectDBStructError([&] { field.Operators(0); }, 3, "Invalid operator index 0");
    EXPECT_EQ(field.AddOperatorByName("isnull"), 0);
    EXPECT_EQ(field.AddOperatorByName("IsNull"), 0); // only once
}

TEST(OperatorCatalogue, CaptionsComeFromDefOperators)
{
    TVxDBStructure model;
    model.AddOperator("Matches", "matches", "@f ~ '@1'", {}, kText);
    model.SetDefOperators(TStringList{"Equal=equals", "CONTAINS=has"});
    auto caption = [&](const char* name) { return model.OperatorByName(name)->DisplayName(); };
    EXPECT_EQ(QStringList({caption("Equal"), caption("Contains"), caption("NotEqual"), caption("Matches")}),
              QStringList({"equals", "has", "", "matches"}));

    // Merging keeps the lines there and appends the missing defaults in order.
    model.MergeDefOperators();
    model.UpdateDefOperators();
    const TStringList& lines = model.DefOperators();
    ASSERT_EQ(lines.Count(), 15);
    EXPECT_EQ(lines.Lines().mid(0, 3), QStringList({"Equal=equals", "CONTAINS=has", "NotEqual=is not equal to"}));
    EXPECT_EQ(lines[14], "NotBetween=is not between");
    EXPECT_EQ(caption("NotEqual"), "is not equal to");

    model.ClearStructure(); // a rebuilt catalogue takes the current captions
    EXPECT_EQ(model.Operators(0)->DisplayName(), "equals");
}

TEST(OperatorCatalogue, ParamCountAndAggregateDetection)
{
    TDSOperator op;
    for (auto [sql, count] : {std::pair{"@f = '@2'", 0}, {"@f in (@1, @3)", 1}, {"@3 @2 @1", 3}}) {
        op.SetSQLExpr(sql);
        EXPECT_EQ(op.ParamCount(), count) << sql;
    }
    for (auto [expr, aggregate] : {std::pair{"SUM(o.Amount)", true}, {"checksum(a)", true}, {"Summary(x)", false},
                                   {"count (x)", false}, {"a + Count(*)", true}, {"list(name)", true},
                                   {"MIN(a)-Max(b)", true}, {"avg(x)", true}, {"minimum", false}})
        EXPECT_EQ(CheckIfAggregate(expr), aggregate) << expr;
}
