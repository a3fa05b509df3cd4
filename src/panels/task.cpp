// The task panel. Its handlers are bound to their controls and do nothing yet.
#include "core/frm_vel_scr_tester.h"

namespace velscript {

void frmVelScrTester::cmdSetStartUp_Click() {}

void frmVelScrTester::cmdGetStartUp_Click() {}

void frmVelScrTester::cmdStart_Click() {}

void frmVelScrTester::cmdStop_Click() {}

void frmVelScrTester::cmdGetState_Click() {}

void frmVelScrTester::cmdGetLineNumber_Click() {}

void frmVelScrTester::cmdGetExitCode_Click() {}

} // namespace velscript
