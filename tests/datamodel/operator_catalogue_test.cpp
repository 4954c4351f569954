// The operator catalogue: its families, captions and name lookups.

#include "datamodel/model_fixtures.h"

using namespace brindle;
using namespace brindle::testing;

namespace {

const TFieldTypes kText = {ftString, ftMemo, ftFmtMemo, ftFixedChar, ftWideString};
} // namespace

TEST(OperatorCatalogue, LookupsValueCountsAndAggregates)
{
    TVxDBStructure model;
    for (auto [text, index] : {std::pair{"EQUAL", 0}, {"EqualTo", 0}, {"equalto", -1}, {"EQUALTO", -1},
                               {"notbetween", 14}, {"", -1}}) {
        EXPECT_EQ(model.OperatorIndexByName(text), index) << text;
        EXPECT_EQ(model.OperatorByName(text), index < 0 ? nullptr : model.Operators(index)) << text;
    }
    // An operator really named so is found, yet "EqualTo" keeps meaning Equal.
    const int own = model.AddOperator("EqualTo", "old equal", "@f == @1", {}, kText);
    EXPECT_EQ(model.OperatorIndexByName("equalto"), own);
    EXPECT_EQ(model.OperatorIndexByName("EqualTo"), 0);
    EXPECT_EQ(model.OperatorByExpr("LIKE '@1%'")->Name(), "StartsWith");
    EXPECT_EQ(model.AddUpdateOperator(true, "contains", "x", "x", {}, {}), 11); // updated in place
    EXPECT_EQ(model.AddUpdateOperator(false, "Contains", "x", "x", {}, {}), 16);

    ExpectDBStructError([&] { model.Operators(17); }, 3, "Invalid operator index 17");
    ExpectDBStructError([&] { model.DelOperator(-1); }, 3, "Invalid operator index -1");
    TDSField field(&model);
    ExpectDBStructError([&] { field.AddOperatorByName("Like"); }, 6, "Operator not found: Like");
    ExpectDBStructError([&] { field.Operators(0); }, 3, "Invalid operator index 0");
    EXPECT_EQ(field.AddOperatorByName("isnull"), 0);
    EXPECT_EQ(field.AddOperatorByName("IsNull"), 0); // only once

    // The count of values is the highest marker that follows @1 without a gap.
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
