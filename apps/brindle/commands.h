#pragma once
// The commands of the brindle tool. Each takes the arguments after its name
// and writes its result lines to standard output; errors are exceptions that
// main turns into the one-line error report.

#include <QStringList>
#include <QTextStream>

#include <functional>

namespace brindle::cli {

// A command line that does not fit the command's usage.
struct UsageError {
    QString message;
};

struct Command {
    const char* name;
    const char* usage;   // the synopsis line
    const char* summary; // one line of what it does
    std::function<void(const QStringList& args, QTextStream& out)> run;
};

const std::vector<Command>& Commands();

} // namespace brindle::cli
