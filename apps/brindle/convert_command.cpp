// convert: a stored data model printed in the model text format or as the
// model XML document, whichever --to names.

#include "commands.h"
#include "model_loading.h"

#include <brindle/datamodel/model_xml.h>

namespace brindle::cli {

const std::vector<FlagInfo>& ConvertFlags()
{
    static const std::vector<FlagInfo> flags = {
        {"--model", "FILE", "the data model: model text, model XML (*.xml) or a form file holding a TVxDBStructure"},
        {"--to", "FORMAT", "text (the model text format) or xml (the model XML document)"},
    };
    return flags;
}

void RunConvertCommand(const Flags& flags, QTextStream& out)
{
    const QString modelFile = flags.Required(QStringLiteral("--model"));
    const QString format = flags.Required(QStringLiteral("--to"));
    const bool toXml = format == QStringLiteral("xml");
    if (!toXml && format != QStringLiteral("text"))
        throw UsageError{QStringLiteral("unknown format \"%1\" (text or xml)").arg(format)};

    struct Converted {
        QObject Owner;
        TStringList Lines;
    };
    auto made = std::make_unique<Converted>();
    TVxDBStructure* model = LoadModel(modelFile, &made->Owner);
    if (toXml)
        SaveDMToXml(*model, made->Lines);
    else
        model->SaveToStrings(made->Lines);
    for (const QString& line : made->Lines)
        out << line << '\n';
    Dispose(std::move(made));
}

} // namespace brindle::cli
