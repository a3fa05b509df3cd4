#include "core/frm_vel_scr_tester.h"
#include "engine/engine_factory.h"
#include "platform/trap.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(velscript::ApplicationTitle);
    velscript::engine::registerReferenceEngine();

    velscript::frmVelScrTester form;
    velscript::guarded([&] { form.Form_Load(); });
    if (const int status = velscript::untrappedExitStatus())
        return status;
    form.show();
    const int status = QApplication::exec();
    return status != 0 ? status : velscript::untrappedExitStatus();
}
