#include "commands.h"

#include "datamodel/db_structure.h"
#include "datamodel/sql_formats.h"

namespace brindle::cli {
namespace {

// Lists the operator catalogue of a new model: name, caption, SQL template,
// value kind, number of values and the field types it applies to.
void runOperators(const QStringList& args, QTextStream& out)
{
    if (!args.isEmpty())
        throw UsageError{QStringLiteral("operators takes no arguments")};
    TVxDBStructure model;
    for (int i = 0; i < model.OperatCount(); ++i) {
        const TDSOperator* op = model.Operators(i);
        out << op->Name() << '\t' << op->DisplayName() << '\t' << op->SQLExpr() << '\t'
            << ValueKindToStr(op->ValueKind()) << '\t' << op->ParamCount() << '\t'
            << FieldTypeNames(op->AppliedTypes).join(u',') << '\n';
    }
}

} // namespace

const std::vector<Command>& Commands()
{
    static const std::vector<Command> commands = {
        {"operators", "brindle operators", "list the operator catalogue of a new data model",
         runOperators},
    };
    return commands;
}

} // namespace brindle::cli
