// brindle: the non-visual library on the command line.

#include "commands.h"
#include "error_report.h"
#include <brindle/foundations/errors.h>

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

using namespace brindle;

namespace {

void printErr(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stderr);
}

// Reading a large model and query makes a string per line: tens of
// megabytes of new heap, and where page faults are dear (virtual machines)
// faulting that in 4 KB pages took longer than reading the lines. The heap
// is grown once by a large step, kept, and marked for transparent huge
// pages where the system offers them on request; big buffers come from it
// too. Untouched parts of the step cost no memory.
void preferLargeHeapPages()
{
#if defined(__linux__) && defined(__GLIBC__)
    constexpr std::size_t step = std::size_t{512} << 20;
    constexpr std::uintptr_t hugePage = std::uintptr_t{2} << 20;
    if (!mallopt(M_TOP_PAD, static_cast<int>(step)) || !mallopt(M_TRIM_THRESHOLD, static_cast<int>(step))
        || !mallopt(M_MMAP_THRESHOLD, 32 << 20))
        return;
    // Grows the heap by the step; freed, it stays as the heap's top. The
    // pointer is volatile so that the pair is not left out. Only what the
    // heap grew by is marked: under a malloc of its own it does not grow.
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    void* volatile block = std::malloc(hugePage);
    std::free(block);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t start = (before + hugePage - 1) & ~(hugePage - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
}

int runCommand(const cli::Command& command, const QStringList& args, QTextStream& out)
{
    if (args.contains(QStringLiteral("--help"))) {
        out << cli::CommandUsage(command);
        return 0;
    }
    try {
        command.run(cli::Flags(args, command.flags), out);
        out.flush();
        return 0;
    } catch (const cli::UsageError& e) {
        printErr(QStringLiteral("brindle: %1\n\n").arg(e.message) + cli::CommandUsage(command));
        return 2;
    } catch (const Exception& e) {
        out.flush();
        printErr(cli::ErrorReport(e));
        return 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    preferLargeHeapPages();
#ifndef BRINDLE_FREE_AT_EXIT
    cli::SetLeaveToProcessEnd(true);
#endif
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);

    if (args.isEmpty()) {
        printErr(cli::ToolUsage());
        return 2;
    }
    const QString first = args.takeFirst();
    if (first == QStringLiteral("--help") || first == QStringLiteral("-h")) {
        out << cli::ToolUsage();
        return 0;
    }
    if (first == QStringLiteral("--version")) {
        out << "brindle " << BRINDLE_VERSION << '\n';
        return 0;
    }
    for (const cli::Command& c : cli::Commands())
        if (first == QLatin1String(c.name))
            return runCommand(c, args, out);
    printErr(QStringLiteral("brindle: unknown command \"%1\"\n\n").arg(first) + cli::ToolUsage());
    return 2;
}
