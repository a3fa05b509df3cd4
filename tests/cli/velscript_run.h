#pragma once

// The built velscript command run as a separate process, bounded: its exit status and what it
// wrote where. A run that does not end in time is killed and reported as such.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace velscript::test {

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

inline CliRun runVelscript(const QStringList& arguments, int timeoutMs = 60000)
{
    QProcess process;
    process.start(QStringLiteral(VELSCRIPT_CLI), arguments);
    CliRun run;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        run.err = "did not exit normally: " + process.readAllStandardError();
        return run;
    }
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace velscript::test
