// The log panel. Its handlers are bound to their controls and do nothing yet.
#include "core/frm_vel_scr_tester.h"

namespace velscript {

void frmVelScrTester::cmdGetLog_Click() {}

void frmVelScrTester::cmdGetLastLog_Click() {}

void frmVelScrTester::cmdClearLog_Click() {}

} // namespace velscript
