// model: the data model of a live database, built by RetriveDataModelInfo
// through the QtSql database info and printed as model text or, with --xml,
// as the model XML document. Both keep the connection settings (without a
// password): the text in its [DBSpecInfo] section, the XML in DBParams.

#include "commands.h"
#include "database_url.h"

#include <brindle/datamodel/db_structure.h>
#include <brindle/datamodel/model_xml.h>

namespace brindle::cli {

void RunModelCommand(const Flags& flags, QTextStream& out)
{
    const DatabaseUrl url = ParseDatabaseUrl(flags.Required(QStringLiteral("--db")));
    TVxSqlDBInfo info;
    ApplyDatabaseUrl(url, info);
    TVxDBStructure model;
    model.SetDatabaseInfo(&info);
    model.RetriveDataModelInfo();
    TStringList lines;
    if (flags.Has(QStringLiteral("--xml")))
        SaveDMToXml(model, lines);
    else
        model.SaveToStrings(lines);
    for (const QString& line : lines)
        out << line << '\n';
}

} // namespace brindle::cli
