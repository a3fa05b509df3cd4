// velscript-replay: makes the engine calls of a journal again against the engines the component
// path gives now, and reports each outcome that differs from the recorded one.
#include "engine/engine_factory.h"
#include "replay/journal_reader.h"
#include "replay/replayer.h"
#include "velscript_version.h"
#include "velsql/registration.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

enum ExitStatus { AllAgree = 0, SomeDiffer = 1, Unreadable = 2 };

} // namespace

int main(int argc, char* argv[])
{
    // Engines own windows of their own and the journal may show or hide them, so the replay
    // needs the widget machinery, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velscript-replay"));
    QApplication::setApplicationVersion(QStringLiteral(VELSCRIPT_VERSION));
    // The same built-in components as the tester, so a journal replays out of the box.
    velscript::engine::registerReferenceEngine();
    velscript::registerVelSqlClass();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Makes the engine calls of a VelScriptTester journal again and reports "
        "every outcome that differs from the recorded one.\nExit status: 0 all "
        "agree, 1 some differ, 2 the journal cannot be read.\nEngines from plugins run in "
        "processes of their own, as in the tester (VELSCRIPT_IN_PROCESS=1 loads "
        "them here); one that leaves a call unanswered for 5 seconds is ended."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption componentPath(
        QStringLiteral("component-path"),
        QStringLiteral("Look for engine components in DIR before the usual places."),
        QStringLiteral("DIR"));
    const QCommandLineOption ignore(
        QStringLiteral("ignore"),
        QStringLiteral("Make these operations but do not compare their outcomes (Text.get, or "
                       "Text for both directions)."),
        QStringLiteral("OP,..."));
    const QCommandLineOption compareTiming(
        QStringLiteral("compare-timing"),
        QStringLiteral("Also compare what varies from run to run: State, LineNumber, hWnd, "
                       "Wait, ScriptState and the log's time stamps."));
    const QCommandLineOption waitMs(
        QStringLiteral("wait-ms"),
        QStringLiteral("How long a state read after Start waits for the recorded state "
                       "(default 5000)."),
        QStringLiteral("MS"), QStringLiteral("5000"));
    parser.addOptions({componentPath, ignore, compareTiming, waitMs});
    parser.addPositionalArgument(QStringLiteral("JOURNAL"),
                                 QStringLiteral("The journal file (JSON Lines)."));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList positional = parser.positionalArguments();
    bool waitOk = false;
    const int wait = parser.value(waitMs).toInt(&waitOk);
    if (positional.size() != 1 || !waitOk || wait < 0) {
        err << parser.helpText();
        return Unreadable;
    }

    if (parser.isSet(componentPath)) {
        QByteArray path = QFile::encodeName(parser.value(componentPath));
        const QByteArray current = qgetenv("VELSCRIPT_COMPONENT_PATH");
        if (!current.isEmpty())
            path += ':' + current;
        qputenv("VELSCRIPT_COMPONENT_PATH", path);
    }

    const auto journal = velscript::replay::readJournal(positional.first());
    if (!journal) {
        err << journal.error() << '\n';
        return Unreadable;
    }
    if (journal->cutOffLine != 0)
        out << QStringLiteral("Line %1 was cut off while it was written; replaying the lines "
                              "before it.\n")
                   .arg(journal->cutOffLine);

    velscript::replay::Options options;
    for (const QString& op : parser.values(ignore))
        options.ignored += op.split(QLatin1Char(','), Qt::SkipEmptyParts);
    options.compareTiming = parser.isSet(compareTiming);
    options.waitMs = wait;

    velscript::replay::Replayer replayer(options, out);
    const velscript::replay::Summary summary = replayer.run(*journal);
    out << QStringLiteral("%1 entries of %2 session(s) replayed: %3 differ, %4 not compared "
                          "(vary by run), %5 ignored, %6 skipped (engine not made).\n")
               .arg(summary.calls)
               .arg(summary.sessions)
               .arg(summary.differences)
               .arg(summary.notCompared)
               .arg(summary.ignored)
               .arg(summary.skipped);
    out << QStringLiteral("Engine calls took %1 µs when recorded, %2 µs now.\n")
               .arg(summary.recordedMicros)
               .arg(summary.nowMicros);
    return summary.differences == 0 ? AllAgree : SomeDiffer;
}
