// Any form text ends in components or in an error, leaving nothing behind.

#include <brindle/foundations/form_stream.h>
#include <brindle/query/query.h>

#include <QObject>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool registered = (brindle::RegisterQueryFormClasses(), true);
    (void)registered;
    brindle::TStringList lines;
    lines.SetText(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    QObject owner;
    try {
        brindle::ReadForm(lines, &owner);
    } catch (const brindle::Exception&) {
    }
    return 0;
}
