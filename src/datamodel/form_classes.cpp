#include <brindle/datamodel/form_classes.h>

#include <brindle/datamodel/db_info.h>
#include <brindle/datamodel/db_structure.h>
#include <brindle/datamodel/sql_db_info.h>

namespace brindle {

void RegisterCoreFormClasses()
{
    TFormClasses::Register<TVxDBStructure>(QStringLiteral("TVxDBStructure"));
    TFormClasses::Register<TVxDBInfo>(QStringLiteral("TVxDBInfo"));
    TFormClasses::Register<TVxSqlDBInfo>(QStringLiteral("TVxSqlDBInfo"));
}

} // namespace brindle
