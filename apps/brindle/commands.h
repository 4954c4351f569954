#pragma once
// The commands of the brindle tool. Each gets its checked flags and writes
// its result lines to standard output; errors are exceptions that main turns
// into the one-line error report, and UsageError into the usage.

#include "options.h"

#include <QTextStream>

#include <functional>
#include <memory>
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

// Whether what a command loaded is left to the end of the process rather
// than freed object by object when the command ends: the tool's main sets
// it, since its process ends with the command (freeing a large model and
// query took a tenth of its time); callers in a process that goes on
// leave it off.
void SetLeaveToProcessEnd(bool leave);
bool LeaveToProcessEnd();

// Frees what a command made, or leaves it to the end of the process.
template <typename T>
void Dispose(std::unique_ptr<T> made)
{
    if (LeaveToProcessEnd())
        static_cast<void>(made.release());
}

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
