// The window panel: the engine's own window shown, hidden and made visible, its handle, and the
// engine's GUIEnabled switch for a text argument.
#include "core/frm_vel_scr_tester.h"

#include "platform/trap.h"

namespace velscript {

// Runs on a user's click and whenever a handler changes the box; a failed write leaves the box
// as it now stands.
void frmVelScrTester::chkVisible_Click()
{
    trapped(MessageIcon::Warning,
            [this] { check(objEngine->Visible(toBoolean(chkVisible->value() == 1))); });
}

// Setting the box to the engine's answer writes that answer back through chkVisible_Click when
// the box changes; that nested handler reports its own failure.
void frmVelScrTester::cmdShow_Click()
{
    trapped(MessageIcon::Warning, [this] {
        check(objEngine->Show(Variant::missing()));
        chkVisible->setValue(checkBoxValue(check(objEngine->Visible())));
    });
}

void frmVelScrTester::cmdHide_Click()
{
    trapped(MessageIcon::Warning, [this] {
        check(objEngine->Hide(Variant::missing()));
        chkVisible->setValue(checkBoxValue(check(objEngine->Visible())));
    });
}

void frmVelScrTester::cmdGetHwnd_Click()
{
    trapped(MessageIcon::None,
            [this] { txtHwnd->setText(QString::number(check(objEngine->hWnd()))); });
}

void frmVelScrTester::cmdPutGUIEnabled_Click()
{
    trapped(MessageIcon::Warning, [this] {
        const Boolean enabled = toBoolean(chkEnabled->value() == 1);
        const QString name = txtGUIEnabled->text();
        check(objEngine->GUIEnabled(name, enabled));
    });
}

void frmVelScrTester::cmdGetGUIEnabled_Click()
{
    trapped(MessageIcon::Warning, [this] {
        const QString name = txtGUIEnabled->text();
        chkEnabled->setValue(checkBoxValue(check(objEngine->GUIEnabled(name))));
    });
}

} // namespace velscript
