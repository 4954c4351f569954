#pragma once
// Runs the built brindle tool as a process, the way a script does: its exit
// status (-1 when it crashed), standard output and standard error.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace toolrun {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline Outcome runTool(const QStringList& args, const QByteArray& input = {})
{
    QProcess process;
    process.start(QStringLiteral(BRINDLE_TOOL), args);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000)) << args.join(u' ').toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

} // namespace toolrun
