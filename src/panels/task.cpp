// The task panel: the selected engine's start-up routine, starting and stopping its script, and
// the run-time values State, LineNumber and ExitCode.
#include "core/frm_vel_scr_tester.h"

#include "platform/trap.h"

namespace velscript {

void frmVelScrTester::cmdSetStartUp_Click()
{
    trapped(MessageIcon::Warning, [this] { check(objEngine->StartUp(txtStartUp->text())); });
}

void frmVelScrTester::cmdGetStartUp_Click()
{
    trapped(MessageIcon::Warning, [this] { txtStartUp->setText(check(objEngine->StartUp())); });
}

// Start returns as soon as the engine does; the script goes on inside the engine, and the panel
// shows nothing of it until one of its Get buttons is pressed.
void frmVelScrTester::cmdStart_Click()
{
    trapped(MessageIcon::Warning, [this] {
        const qint32 mode = cmbStart->listIndex() + 1;
        check(objEngine->Start(mode, Variant::missing()));
    });
}

// The stop list starts at mode 0 ("<Default>"), unlike the start list.
void frmVelScrTester::cmdStop_Click()
{
    trapped(MessageIcon::Warning, [this] {
        const qint32 mode = cmbStop->listIndex();
        check(objEngine->Stop(mode, Variant::missing()));
    });
}

void frmVelScrTester::cmdGetState_Click()
{
    trapped(MessageIcon::Warning,
            [this] { lblState->setText(QString::number(check(objEngine->State()))); });
}

void frmVelScrTester::cmdGetLineNumber_Click()
{
    trapped(MessageIcon::Warning,
            [this] { lblLineNumber->setText(QString::number(check(objEngine->LineNumber()))); });
}

// A null exit code has no text form: the conversion fails before the label is touched.
void frmVelScrTester::cmdGetExitCode_Click()
{
    trapped(MessageIcon::Warning,
            [this] { lblExitCode->setText(check(objEngine->ExitCode()).toText()); });
}

} // namespace velscript
