// velscript-host: serves one instance of a component plugin's class to the program that started
// it, over a local connection, so that an engine that crashes or hangs ends only this process.
#include "host/host_server.h"
#include "velscript_version.h"
#include "velsql/registration.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

#include <signal.h>
#include <sys/prctl.h>

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("velscript-host %s\n", VELSCRIPT_VERSION);
            return 0;
        }
    }
    // A host never outlives the program it serves, even one that was killed.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The instance is made here, from the library named, whatever the component path says.
    qputenv("VELSCRIPT_IN_PROCESS", "1");

    QString server;
    QString library;
    QString classId;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString value = QString::fromLocal8Bit(argv[i + 1]);
        if (!std::strcmp(argv[i], "--server"))
            server = value;
        else if (!std::strcmp(argv[i], "--library"))
            library = value;
        else if (!std::strcmp(argv[i], "--class"))
            classId = value;
    }
    if (server.isEmpty() || library.isEmpty() || classId.isEmpty()) {
        std::fprintf(stderr, "Usage: velscript-host --server NAME --library PLUGIN --class ID\n"
                             "       velscript-host --version\n"
                             "Started by the programs that use VelScript engines, not by hand.\n");
        return 2;
    }
    // Engines own windows, and may make the VelSQL object.
    QApplication app(argc, argv);
    velscript::registerVelSqlClass();
    velscript::host::HostServer host;
    return host.run(server, library, classId);
}
