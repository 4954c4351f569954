// Any text given to the model text reader ends in a model or in one of the
// library's errors: never a crash, a hang or unbounded memory. A model read
// is copied both ways, through its text and directly, and the two copies
// must write the same text.

#include <brindle/datamodel/db_structure.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    brindle::TStringList lines;
    lines.SetText(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    brindle::TVxDBStructure model;
    try {
        model.LoadFromStrings(lines);
        // What was read must write and read back.
        brindle::TStringList again;
        model.SaveToStrings(again);
        brindle::TVxDBStructure copy;
        copy.LoadFromStrings(again);
        brindle::TVxDBStructure direct;
        model.CopyContentTo(direct);
        brindle::TStringList viaText, viaCopy;
        copy.SaveToStrings(viaText);
        direct.SaveToStrings(viaCopy);
        if (viaText.Text() != viaCopy.Text())
            std::abort();
    } catch (const brindle::Exception&) {
    }
    return 0;
}
