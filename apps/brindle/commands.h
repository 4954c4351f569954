#pragma once
// The commands of the brindle tool. Each gets its checked flags and writes
// its result lines to standard output; errors are exceptions that main turns
// into the one-line error report, and UsageError into the usage.

#include "options.h"

#include <QTextStream>

#include <functional>
#include <vector>

namespace brindle::cli {

struct Command {
    const char* name;
    const char* synopsis;
    const char* summary; // one line of what it does
    std::vector<FlagInfo> flags;
    std::function<void(const Flags& flags, QTextStream& out)> run;
};

const std::vector<Command>& Commands();

// The synopsis, the summary and a line per flag.
QString CommandUsage(const Command& command);
// Every command's synopsis and summary.
QString ToolUsage();

// The commands, each in the file of its concern.
void RunSqlCommand(const Flags& flags, QTextStream& out);
void RunTextCommand(const Flags& flags, QTextStream& out);
void RunParamsCommand(const Flags& flags, QTextStream& out);
void RunRunCommand(const Flags& flags, QTextStream& out);
void RunImportCommand(const Flags& flags, QTextStream& out);
void RunConvertCommand(const Flags& flags, QTextStream& out);
void RunModelCommand(const Flags& flags, QTextStream& out);
// --model, --sql and --syntax.
const std::vector<FlagInfo>& ImportFlags();
// --model and --to.
const std::vector<FlagInfo>& ConvertFlags();

} // namespace brindle::cli
