// brindle: the non-visual library on the command line.

#include "commands.h"
#include <brindle/foundations/errors.h>

#include <QCoreApplication>

#include <cstdio>

using namespace brindle;

namespace {

void printErr(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stderr);
}

// One line: brindle: CLASS: MESSAGE, or CLASS(CODE) for coded errors; the
// message's own line breaks become blanks.
void reportError(const Exception& e)
{
    QString cls = e.ClassName();
    if (const auto* coded = dynamic_cast<const EVxBrindleError*>(&e))
        cls += QStringLiteral("(%1)").arg(coded->ErrorCode());
    QString message = e.Message();
    message.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    message.replace(u'\n', u' ');
    message.replace(u'\r', u' ');
    printErr(QStringLiteral("brindle: %1: %2\n").arg(cls, message));
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
        reportError(e);
        return 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
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
