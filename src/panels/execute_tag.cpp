// The Execute and Tag panels. Its handlers are bound to their controls and do nothing yet.
#include "core/frm_vel_scr_tester.h"

namespace velscript {

void frmVelScrTester::cmdExecute_Click() {}

void frmVelScrTester::cmdPutTag_Click() {}

void frmVelScrTester::cmdGetTag_Click() {}

} // namespace velscript
