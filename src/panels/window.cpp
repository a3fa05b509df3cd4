// The window panel. Its handlers are bound to their controls and do nothing yet.
#include "core/frm_vel_scr_tester.h"

namespace velscript {

void frmVelScrTester::chkVisible_Click() {}

void frmVelScrTester::cmdShow_Click() {}

void frmVelScrTester::cmdHide_Click() {}

void frmVelScrTester::cmdGetHwnd_Click() {}

void frmVelScrTester::cmdPutGUIEnabled_Click() {}

void frmVelScrTester::cmdGetGUIEnabled_Click() {}

} // namespace velscript
