#include "core/frm_vel_scr_tester.h"
#include "engine/engine_factory.h"
#include "platform/trap.h"
#include "velscript_version.h"
#include "velsql/registration.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

// Answered before the window system is reached, so they work without a display.
int answerInformationOption(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::printf("VelScriptTester %s\n", VELSCRIPT_VERSION);
            return 0;
        }
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::printf(
                "Usage: VelScriptTester [--help | --version]\n"
                "Interactive test bench for VelScript engines: create engines and call\n"
                "each of their operations from one window.\n\n"
                "Environment:\n"
                "  VELSCRIPT_COMPONENT_PATH  colon-separated folders searched first for\n"
                "                            engine and object plugins\n"
                "  VELSCRIPT_JOURNAL         file that records every engine call\n"
                "  VELSCRIPT_IN_PROCESS=1    load engine plugins into this process instead\n"
                "                            of a velscript-host process of their own\n");
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (const int status = answerInformationOption(argc, argv); status >= 0)
        return status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(velscript::ApplicationTitle);
    QApplication::setApplicationVersion(QStringLiteral(VELSCRIPT_VERSION));
    velscript::engine::registerReferenceEngine();
    velscript::registerVelSqlClass();

    velscript::frmVelScrTester form;
    velscript::guarded([&] { form.Form_Load(); });
    if (const int status = velscript::untrappedExitStatus())
        return status;
    form.show();
    const int status = QApplication::exec();
    return status != 0 ? status : velscript::untrappedExitStatus();
}
