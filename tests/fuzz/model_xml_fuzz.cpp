// Any text given to the model XML reader ends in a model or in one of the
// library's errors: never a crash, a hang or unbounded memory. Inputs of odd
// length are read with an unconnected database info attached, which takes
// the settings and types data fields as strings.

#include <brindle/datamodel/model_xml.h>

#include <cstddef>
#include <cstdint>

namespace {

class OfflineDBInfo : public brindle::TVxDBInfo {
public:
    bool GetConnected() override { return false; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    brindle::TStringList lines;
    lines.SetText(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    OfflineDBInfo info;
    brindle::TVxDBStructure model;
    if (size % 2)
        model.SetDatabaseInfo(&info);
    try {
        brindle::LoadDMFromXml(model, lines);
        // What was read must write, as XML and as text, and the XML must
        // read again (its named groups may stop the reader, with an error).
        brindle::TStringList xml;
        brindle::SaveDMToXml(model, xml);
        brindle::TStringList text;
        model.SaveToStrings(text);
        brindle::TVxDBStructure copy;
        brindle::LoadDMFromXml(copy, xml);
    } catch (const brindle::Exception&) {
    }
    return 0;
}
