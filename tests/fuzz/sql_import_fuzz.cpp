// Any text given to the SQL import, parser included, ends in a query or in
// one of the library's errors: never a crash, a hang or unbounded memory.
// The statements are imported on the sample model (read from its form
// file, with its SQL formats), with a sub-query operator added; what was
// imported must save, read back and build (or refuse to build with an
// error). A parse error's place lies within the text: on one of its lines
// (the first of an empty text), at most just past the line's last character.

#include <brindle/datamodel/db_structure.h>
#include <brindle/query/query.h>
#include <brindle/sqlimport/sql_parser.h>

#include <QObject>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

brindle::TVxDBStructure& sampleModel()
{
    static QObject owner;
    static brindle::TVxDBStructure* model = [] {
        brindle::RegisterQueryFormClasses();
        brindle::TStringList form;
        form.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_FORM));
        brindle::TVxDBStructure* found = nullptr;
        for (QObject* component : brindle::ReadForm(form, &owner))
            if (auto* m = qobject_cast<brindle::TVxDBStructure*>(component); m && !found)
                found = m;
        brindle::TDSOperator* op =
            found->Operators(found->AddOperator("InQuery", "is in", "@f in (@1)", "", brindle::BrStringTypes));
        op->SetValueKind(brindle::vkSubQuery);
        return found;
    }();
    return *model;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    brindle::TStringList lines;
    lines.SetText(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    brindle::TVxQuery query;
    query.SetDbStruct(&sampleModel());
    query.SetActive(true);
    try {
        query.ParseSQL(lines);
        brindle::TStringList saved;
        query.SaveToStrings(saved);
        brindle::TVxQuery copy;
        copy.SetDbStruct(&sampleModel());
        copy.LoadFromStrings(saved);
        query.BuildQuery();
    } catch (const brindle::ESQLParserError& e) {
        // 0 and 0: a sub-query fault whose text was not found in the statement.
        if (e.Line() == 0 && e.Column() == 0)
            return 0;
        const QString line = e.Line() >= 1 && e.Line() <= lines.Count() ? lines[e.Line() - 1] : QString();
        if (e.Line() < 1 || e.Line() > std::max(lines.Count(), 1) || e.Column() < 1
            || e.Column() > line.toUcs4().size() + 1)
            std::abort();
    } catch (const brindle::Exception&) {
    }
    return 0;
}
