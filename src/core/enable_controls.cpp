#include "core/frm_vel_scr_tester.h"

namespace velscript {

// Switches every engine-dependent control together. Create, the engine list, Exit and the page
// containers are switched by their own handlers; the controls this leaves alone are unreachable
// anyway while their containers are off.
void frmVelScrTester::EnableControls(bool Enabled)
{
    QWidget* const controls[] = {
        tabVelScript,     txtFileName,      txtExecute[0],  txtExecute[1],   txtTag,
        txtProgram,       txtStartUp,       txtGUIEnabled,  txtObjectName,   txtLog,
        lblState,         lblLineNumber,    chkReadOnly,    chkVisible,      chkEnabled,
        cmbStart,         cmbStop,          cmdOpen,        cmdSave,         cmdGetText,
        cmdPutText,       cmdGetHwnd,       cmdGetFileName, cmdGetState,     cmdShow,
        cmdHide,          cmdExecute,       cmdPutTag,      cmdGetTag,       cmdSetStartUp,
        cmdGetStartUp,    cmdStart,         cmdStop,        cmdRelease,      cmdGetLineNumber,
        cmdGetGUIEnabled, cmdPutGUIEnabled, cmdAddObject,   cmdRemoveObject, cmdGetLog,
        cmdGetLastLog,    cmdClearLog,      fraFile,        fraFileName,     fraHwnd,
        fraGUIEnabled,    fraExecute,       fraTag,         fraTask,         fraForm,
        fraState,         fraStartUp,       fraLineNumber,  fraAddIns,       fraLog,
        fraScrText,
    };
    for (QWidget* control : controls)
        control->setEnabled(Enabled);
}

} // namespace velscript
