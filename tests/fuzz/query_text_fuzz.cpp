// Any text given to the query text reader, with its result fields block,
// sub-query texts and titles, ends in a query or in one of the library's
// errors: never a crash, a hang or unbounded memory. What was read must
// write, read back and build (or refuse to build with an error).

#include "query/query_fixtures.h"

#include <cstddef>
#include <cstdint>

namespace {

brindle::fixtures::QueryModel& model()
{
    static brindle::fixtures::QueryModel m;
    static const bool withSubQueries = [] {
        brindle::TDSOperator* op =
            m.model.Operators(m.model.AddOperator("InQuery", "is in", "@f in (@1)", "", brindle::BrStringTypes));
        op->SetValueKind(brindle::vkSubQuery);
        return true;
    }();
    (void)withSubQueries;
    return m;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    brindle::TStringList lines;
    lines.SetText(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    brindle::TVxQuery query;
    query.SetDbStruct(&model().model);
    query.SetActive(true);
    // Sub-query hints are made by reading the sub-query text as a query.
    query.SetSubQueryHint(brindle::sqhText);
    query.SetSaveSQLOptions(true);
    try {
        query.LoadFromStrings(lines);
        brindle::TStringList again;
        query.SaveToStrings(again);
        brindle::TVxQuery copy;
        copy.SetDbStruct(&model().model);
        copy.LoadFromStrings(again);
        query.BuildQuery();
    } catch (const brindle::Exception&) {
    }
    return 0;
}
