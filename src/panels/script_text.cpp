// The script text panel: the selected engine's source text and its read-only and modified flags.
#include "core/frm_vel_scr_tester.h"

#include "platform/trap.h"

namespace velscript {

void frmVelScrTester::cmdPutText_Click()
{
    trapped(MessageIcon::Warning, [this] { check(objEngine->Text(txtProgram->toPlainText())); });
}

// Also the window's common step for loading the script text after the engine changed; it reports
// its own failure and always returns to its caller.
void frmVelScrTester::cmdGetText_Click()
{
    trapped(MessageIcon::Warning, [this] { txtProgram->setPlainText(check(objEngine->Text())); });
}

void frmVelScrTester::chkReadOnly_Click()
{
    trapped(MessageIcon::Warning,
            [this] { check(objEngine->ReadOnly(toBoolean(chkReadOnly->value() == 1))); });
}

void frmVelScrTester::chkModified_Click()
{
    trapped(MessageIcon::Warning,
            [this] { check(objEngine->Modified(toBoolean(chkModified->value() == 1))); });
}

} // namespace velscript
