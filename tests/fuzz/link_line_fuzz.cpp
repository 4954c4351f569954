// Link text lines from a database info component: any line adds a link or
// nothing, and every link added writes and reads back.

#include <brindle/datamodel/db_structure.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    brindle::TVxDBStructure model;
    for (const char* name : {"Orders", "Customers", "Order Details", "A"})
        model.AddTable(QString::fromLatin1(name), QString());
    brindle::TStringList lines;
    lines.SetText(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    model.LoadLinksFromStrings(lines);
    brindle::TStringList written;
    model.SaveLinksToStrings(written);
    for (int i = 0; i < model.LinkCount(); ++i) {
        model.Links(i)->SQLExpr();
        model.Links(i)->OracleSQLExpr();
    }
    if (model.TableCount() > 1)
        model.GetPath(QStringLiteral("Orders"), QStringLiteral("A"));
    return 0;
}
