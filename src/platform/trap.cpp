#include "platform/trap.h"

#include "platform/logging.h"

#include <QCoreApplication>

namespace velscript {

namespace {

void leaveEventLoop(int status)
{
    QCoreApplication::exit(status);
}

ProgramEnd& programEnd()
{
    static ProgramEnd current = leaveEventLoop;
    return current;
}

int& exitStatus()
{
    static int status = 0;
    return status;
}

} // namespace

void reportUntrapped(const QString& description)
{
    qCCritical(lcPlatform) << "untrapped failure:" << description;
    exitStatus() = 1;
    showMessage(description, MessageIcon::Error);
    programEnd()(1);
}

int untrappedExitStatus()
{
    return exitStatus();
}

void resetUntrappedExitStatus()
{
    exitStatus() = 0;
}

ProgramEnd setProgramEnd(ProgramEnd end)
{
    return std::exchange(programEnd(), end ? std::move(end) : leaveEventLoop);
}

} // namespace velscript
