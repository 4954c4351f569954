#include "form_classes.h"

#include "db_info.h"
#include "db_structure.h"

namespace brindle {

void RegisterCoreFormClasses()
{
    TFormClasses::Register<TVxDBStructure>(QStringLiteral("TVxDBStructure"));
    TFormClasses::Register<TVxDBInfo>(QStringLiteral("TVxDBInfo"));
}

} // namespace brindle
