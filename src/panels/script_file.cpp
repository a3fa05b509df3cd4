// The script file panel. Its handlers are bound to their controls and do nothing yet.
#include "core/frm_vel_scr_tester.h"

namespace velscript {

void frmVelScrTester::cmdOpen_Click() {}

void frmVelScrTester::cmdSave_Click() {}

void frmVelScrTester::cmdGetFileName_Click() {}

} // namespace velscript
