// velscript-conformance-record: records the conformance suite from the reference engine, one
// journal a group, through the journal layer the tester uses. `make conformance-suite` runs it
// into kit/conformance.
#include "conformance/recording.h"
#include "engine/engine_factory.h"
#include "engine_kit/class_ids.h"
#include "journal/journal.h"
#include "journal/journal_entry.h"
#include "journal/journaled_engine.h"
#include "velsql/registration.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

using namespace velscript;

namespace {

// Records one group's journal into PATH, in a fresh folder that holds the group's files.
QString recordGroup(const conformance::RecordedGroup& recorded, const QString& path)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return QStringLiteral("no folder to record in: %1").arg(folder.errorString());
    if (const auto made = conformance::makeFiles(recorded.group, folder.path()); !made)
        return made.error();
    QFile::remove(path);
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());

    journal::Journal& journal = journal::Journal::instance();
    qputenv("VELSCRIPT_JOURNAL", QFile::encodeName(path));
    journal.restart();
    journal.setMarks({{journal::field::Compare, journal::comparison::Value}});
    QString problem;
    try {
        const auto engine = journal::JournaledEngine::create(VelScriptEngineClassId, 0);
        if (!engine) {
            problem = QStringLiteral("the reference engine cannot be made");
        } else {
            conformance::Recording recording(*engine);
            recorded.record(recording);
        }
    } catch (const Failure& failure) {
        problem = failure.description();
    }
    journal.setMarks({});
    qunsetenv("VELSCRIPT_JOURNAL");
    journal.restart();
    QDir::setCurrent(before);
    return problem;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velscript-conformance-record"));
    engine::registerReferenceEngine();
    registerVelSqlClass();

    QTextStream err(stderr);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        err << "Usage: velscript-conformance-record FOLDER\n"
               "Records the conformance suite from the reference engine into FOLDER.\n";
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!folder.mkpath(QStringLiteral("."))) {
        err << "The folder " << folder.path() << " cannot be made.\n";
        return 1;
    }

    conformance::Suite suite;
    suite.folder = folder.absolutePath();
    for (const conformance::RecordedGroup& recorded : conformance::recordedGroups()) {
        conformance::SuiteGroup group = recorded.group;
        group.journal = group.name + QStringLiteral(".jsonl");
        if (const QString problem = recordGroup(recorded, folder.absoluteFilePath(group.journal));
            !problem.isEmpty()) {
            err << "The group " << group.name << " cannot be recorded: " << problem << '\n';
            return 1;
        }
        suite.groups.append(group);
    }
    if (const auto written = conformance::writeSuite(suite); !written) {
        err << written.error() << '\n';
        return 1;
    }
    QTextStream(stdout) << suite.groups.size() << " groups recorded into " << suite.folder << '\n';
    return 0;
}
