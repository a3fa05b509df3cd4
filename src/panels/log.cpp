// The log panel: the engine's log and its last entry, and clearing the log. Its failures are
// shown in a plain box. txtLog belongs to the window: clearing the engine's log leaves it as it
// is until one of the Get buttons reads the log again.
#include "core/frm_vel_scr_tester.h"

#include "platform/trap.h"

namespace velscript {

void frmVelScrTester::cmdGetLog_Click()
{
    trapped(MessageIcon::None, [this] { txtLog->setPlainText(check(objEngine->Log())); });
}

void frmVelScrTester::cmdGetLastLog_Click()
{
    trapped(MessageIcon::None, [this] { txtLog->setPlainText(check(objEngine->LastLog())); });
}

void frmVelScrTester::cmdClearLog_Click()
{
    trapped(MessageIcon::None, [this] { check(objEngine->ClearLog()); });
}

} // namespace velscript
