// The Execute and Tag panels: a single statement run with an argument, and the engine's tag.
// The tester always hands the engine text; a result is shown by its text form, and a result
// without one (null, an object) is refused with the reason before the box is touched.
#include "core/frm_vel_scr_tester.h"

#include "platform/trap.h"

namespace velscript {

void frmVelScrTester::cmdExecute_Click()
{
    trapped(MessageIcon::Warning, [this] {
        const QString statement = txtExecute[0]->text();
        const QString argument = txtExecute[1]->text();
        QLineEdit* const result = txtExecute[2];
        result->setText(check(objEngine->Execute(statement, Variant(argument))).toText());
    });
}

void frmVelScrTester::cmdPutTag_Click()
{
    trapped(MessageIcon::Warning, [this] { check(objEngine->Tag(Variant(txtTag->text()))); });
}

void frmVelScrTester::cmdGetTag_Click()
{
    trapped(MessageIcon::Warning, [this] { txtTag->setText(check(objEngine->Tag()).toText()); });
}

} // namespace velscript
