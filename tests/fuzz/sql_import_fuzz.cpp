// Any text given to the SQL import, parser included, ends in a query or in
// one of the library's errors: never a crash, a hang or unbounded memory.
// What was imported must save, read back and build (or refuse to build
// with an error).

#include "query/query_fixtures.h"
#include "sqlimport/sql_parser.h"

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
    try {
        query.ParseSQL(lines);
        brindle::TStringList saved;
        query.SaveToStrings(saved);
        brindle::TVxQuery copy;
        copy.SetDbStruct(&model().model);
        copy.LoadFromStrings(saved);
        query.BuildQuery();
    } catch (const brindle::Exception&) {
    }
    return 0;
}
