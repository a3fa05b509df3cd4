// The add-ins panel. Its handlers are bound to their controls and do nothing yet.
#include "core/frm_vel_scr_tester.h"

namespace velscript {

void frmVelScrTester::cmdAddObject_Click() {}

void frmVelScrTester::cmdRemoveObject_Click() {}

} // namespace velscript
