// velscript-conformance: replays the conformance suite against the engine the component path
// serves and prints one line a group: passed, or failed with its first difference.
#include "conformance/conformance_run.h"
#include "conformance/junit.h"
#include "velscript_version.h"
#include "velsql/registration.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <algorithm>

using namespace velscript;

namespace {

enum ExitStatus { AllPass = 0, SomeFail = 1, Unreadable = 2 };

// Where the suite is installed with the kit, seen from the program's folder; the build tree
// keeps the same shape.
QString defaultSuite()
{
    return QDir(QApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../share/velscript-engine-kit/conformance"));
}

// A difference in a long log is as long as the log; the table shows its beginning.
QString elided(const QString& text)
{
    const qsizetype most = 300;
    return text.size() <= most ? text : text.left(most) + QStringLiteral("...");
}

} // namespace

int main(int argc, char* argv[])
{
    // Engines own windows, and the suite shows them, but never on a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velscript-conformance"));
    QApplication::setApplicationVersion(QStringLiteral(VELSCRIPT_VERSION));
    // The add-in the suite hands to engines; the engine under test is never a built-in one.
    registerVelSqlClass();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Checks a VelScript engine against the documented behaviour of the engine interface: "
        "replays each journal of the conformance suite against the engine the component path "
        "serves, hosted as the tester hosts it, and prints one line a group.\nExit status: 0 "
        "all pass, 1 some fail, 2 the suite cannot be read."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption componentPath(
        QStringLiteral("component-path"),
        QStringLiteral("Look for the engine in DIR before the usual places."),
        QStringLiteral("DIR"));
    const QCommandLineOption junit(QStringLiteral("junit"),
                                   QStringLiteral("Also write the results as JUnit XML to FILE."),
                                   QStringLiteral("FILE"));
    parser.addOptions({componentPath, junit});
    parser.addPositionalArgument(
        QStringLiteral("SUITE"),
        QStringLiteral("The suite's folder (default: the one installed with the kit)."),
        QStringLiteral("[SUITE]"));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        err << parser.helpText();
        return Unreadable;
    }
    if (parser.isSet(componentPath)) {
        QByteArray path = QFile::encodeName(QDir(parser.value(componentPath)).absolutePath());
        const QByteArray current = qgetenv("VELSCRIPT_COMPONENT_PATH");
        if (!current.isEmpty())
            path += ':' + current;
        qputenv("VELSCRIPT_COMPONENT_PATH", path);
    }

    const QString folder =
        QDir(positional.isEmpty() ? defaultSuite() : positional.first()).absolutePath();
    const auto suite = conformance::loadSuite(folder);
    if (!suite) {
        err << "The suite cannot be read: " << suite.error() << '\n';
        return Unreadable;
    }

    qsizetype width = 0;
    for (const conformance::SuiteGroup& group : suite->suite.groups)
        width = std::max(width, group.name.size());
    const QList<conformance::GroupResult> results =
        conformance::runSuite(*suite, [&](const conformance::GroupResult& result) {
            out << result.name.leftJustified(width + 2)
                << (result.passed
                        ? QStringLiteral("passed")
                        : QStringLiteral("failed: ") + elided(result.differences.value(0)))
                << '\n';
            out.flush();
        });

    const auto failed =
        std::ranges::count_if(results, [](const conformance::GroupResult& r) { return !r.passed; });
    out << QStringLiteral("%1 groups: %2 passed, %3 failed.\n")
               .arg(results.size())
               .arg(results.size() - failed)
               .arg(failed);
    if (parser.isSet(junit)) {
        if (const auto written = conformance::writeJUnit(parser.value(junit), results); !written) {
            err << "The JUnit file cannot be written: " << written.error() << '\n';
            return SomeFail;
        }
    }
    return failed == 0 ? AllPass : SomeFail;
}
