#include "form_classes.h"

#include "db_info.h"
#include "db_structure.h"
#include "sql_db_info.h"

namespace brindle {

void RegisterCoreFormClasses()
{
    TFormClasses::Register<TVxDBStructure>(QStringLiteral("TVxDBStructure"));
    TFormClasses::Register<TVxDBInfo>(QStringLiteral("TVxDBInfo"));
    TFormClasses::Register<TVxSqlDBInfo>(QStringLiteral("TVxSqlDBInfo"));
}

} // namespace brindle
