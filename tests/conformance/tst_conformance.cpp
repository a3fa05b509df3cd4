// velscript-conformance as an engine's maker runs it: the table and exit status against the
// reference engine, against builds of it with one behaviour changed, crashing or hanging, and
// against the outside engine through the installed kit; its JUnit file read back by junitparser.
#include "conformance/suite.h"
#include "journal/journal_files.h"
#include "replay/journal_reader.h"

#include <QtTest>

using namespace velscript;

namespace {

struct Table {
    int status = -1;
    QString out;
    QString err;
    // By group: "passed", or the failure's first difference.
    QMap<QString, QString> groups;
};

Table runConformance(const QStringList& arguments, const QString& program = CONFORMANCE)
{
    const test::ReplayRun run = test::runReplayProgram(program, arguments);
    Table table{run.status, run.out, run.err, {}};
    static const QRegularExpression line(QStringLiteral(R"(^(\w+) +(passed|failed: (.*))$)"));
    for (const QString& text : run.out.split(u'\n', Qt::SkipEmptyParts)) {
        const auto match = line.match(text);
        if (match.hasMatch())
            table.groups.insert(match.captured(1), match.captured(3).isEmpty() ? match.captured(2)
                                                                               : match.captured(3));
    }
    return table;
}

QString faulty(const char* fault)
{
    return QStringLiteral(FAULTY_COMPONENTS_DIR "/") + QLatin1StringView(fault);
}

QStringList suiteGroups(const QString& folder = SUITE_DIR)
{
    QStringList names;
    const auto suite = conformance::readSuite(folder);
    for (const conformance::SuiteGroup& group :
         suite ? suite->groups : QList<conformance::SuiteGroup>())
        names.append(group.name);
    return names;
}

// The groups whose journal starts a script.
QStringList groupsThatStart()
{
    QStringList names;
    const auto suite = conformance::readSuite(SUITE_DIR);
    for (const conformance::SuiteGroup& group : suite->groups) {
        const auto journal = replay::readJournal(QDir(SUITE_DIR).filePath(group.journal));
        if (journal && std::ranges::any_of(journal->lines, [](const replay::JournalLine& line) {
                return line.op == QStringLiteral("Start");
            }))
            names.append(group.name);
    }
    return names;
}

QStringList failing(const Table& table)
{
    QStringList names;
    for (auto group = table.groups.begin(); group != table.groups.end(); ++group) {
        if (group.value() != QStringLiteral("passed"))
            names.append(group.key());
    }
    names.sort();
    return names;
}

// The JUnit file as junitparser reads it, in the table's form, its test cases by name: a name
// twice counts twice. Nothing when junitparser is not installed.
struct Cases : QMap<QString, QString> {
    int count = 0;
};

std::optional<Cases> readJUnit(const QString& path)
{
    QProcess reader;
    reader.start(QStringLiteral(PYTHON3), {QStringLiteral(JUNIT_READER), path});
    if (!reader.waitForFinished(30000) || reader.exitCode() == 77)
        return std::nullopt;
    Cases cases;
    for (const QString& text : QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n')) {
        const qsizetype space = text.indexOf(u' ');
        if (space > 0) {
            cases.insert(text.left(space), text.mid(space + 1));
            ++cases.count;
        }
    }
    return cases;
}

} // namespace

class tst_Conformance : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(suiteGroups().size() >= 10); }

    // The suite in the tree is what its recorder records now: the same groups, files, calls,
    // arguments and comparisons. A recorder changed without `make conformance-suite` fails here.
    void theSuiteIsWhatTheRecorderRecords()
    {
        QTemporaryDir dir;
        QProcess recorder;
        recorder.start(QStringLiteral(RECORDER), {dir.path()});
        QVERIFY(recorder.waitForFinished(120000));
        QVERIFY2(recorder.exitCode() == 0, recorder.readAllStandardError().constData());

        const auto kept = conformance::readSuite(SUITE_SOURCE_DIR);
        const auto now = conformance::readSuite(dir.path());
        QVERIFY(kept && now);
        QCOMPARE(suiteGroups(SUITE_SOURCE_DIR), suiteGroups(dir.path()));
        const auto calls = [](const QString& folder, const conformance::SuiteGroup& group) {
            QStringList made;
            const auto journal = replay::readJournal(QDir(folder).filePath(group.journal));
            for (const replay::JournalLine& line :
                 journal ? journal->lines : QList<replay::JournalLine>()) {
                QJsonObject call = line.entry;
                for (const char* varies : {"time", "us", "pid", "result", "failure", "same"})
                    call.remove(QLatin1StringView(varies));
                made.append(QString::fromUtf8(QJsonDocument(call).toJson(QJsonDocument::Compact)));
            }
            return made;
        };
        for (qsizetype i = 0; i < kept->groups.size(); ++i) {
            const conformance::SuiteGroup& group = kept->groups.at(i);
            QCOMPARE(group.files.size(), now->groups.at(i).files.size());
            for (qsizetype f = 0; f < group.files.size(); ++f) {
                QCOMPARE(group.files.at(f).name, now->groups.at(i).files.at(f).name);
                QCOMPARE(group.files.at(f).bytes, now->groups.at(i).files.at(f).bytes);
            }
            const QStringList recorded = calls(SUITE_SOURCE_DIR, group);
            QVERIFY(!recorded.isEmpty());
            QCOMPARE(calls(dir.path(), now->groups.at(i)), recorded);
        }
    }

    void theReferenceEnginePassesEveryGroup()
    {
        QTemporaryDir dir;
        const QString junit = dir.filePath(QStringLiteral("results.xml"));
        const Table table =
            runConformance({QStringLiteral("--component-path"), REFERENCE_COMPONENTS_DIR,
                            QStringLiteral("--junit"), junit, QStringLiteral(SUITE_DIR)});
        QVERIFY2(table.status == 0, qPrintable(table.out + table.err));
        QCOMPARE(table.groups.keys(), [] {
            QStringList sorted = suiteGroups();
            sorted.sort();
            return sorted;
        }());
        QCOMPARE(failing(table), QStringList());
        QVERIFY(table.out.endsWith(
            QStringLiteral("groups: %1 passed, 0 failed.\n").arg(table.groups.size())));

        const auto cases = readJUnit(junit);
        if (!cases)
            QSKIP("python3-junitparser is not installed");
        QCOMPARE(cases->count, table.groups.size());
        for (const QString& name : table.groups.keys())
            QCOMPARE(cases->value(name), QStringLiteral("passed"));
    }

    // One behaviour changed on purpose fails the group that covers it, and no other.
    void aChangedBehaviourFailsExactlyItsGroup_data()
    {
        QTest::addColumn<QString>("components");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("difference");
        QTest::newRow("log without time stamps") << faulty("log_without_time_stamps") << "log"
                                                 << "Log.get on engine 0: recorded \"";
        QTest::newRow("cycle stop acting as immediate stop")
            << faulty("cycle_stop_as_immediate") << "stop"
            << "ExitCode.get on engine 0: recorded 7, now Empty";
    }
    void aChangedBehaviourFailsExactlyItsGroup()
    {
        QFETCH(QString, components);
        QFETCH(QString, group);
        QFETCH(QString, difference);
        QTemporaryDir dir;
        const QString junit = dir.filePath(QStringLiteral("results.xml"));
        const Table table = runConformance(
            {QStringLiteral("--component-path"), components, QStringLiteral("--junit"), junit});
        QCOMPARE(table.status, 1);
        QCOMPARE(table.groups.size(), suiteGroups().size());
        QCOMPARE(failing(table), QStringList{group});
        QVERIFY2(table.groups.value(group).startsWith(u'#'), qPrintable(table.groups.value(group)));
        QVERIFY2(table.groups.value(group).contains(difference),
                 qPrintable(table.groups.value(group)));

        const auto cases = readJUnit(junit);
        if (!cases)
            QSKIP("python3-junitparser is not installed");
        QCOMPARE(cases->count, table.groups.size());
        for (const QString& name : table.groups.keys()) {
            const QString expected =
                name == group ? QStringLiteral("failed: ") : QStringLiteral("passed");
            QVERIFY2(cases->value(name).startsWith(expected), qPrintable(name));
        }
        QVERIFY(cases->value(group).contains(difference));
    }

    void anEngineThatCrashesInStartFailsTheGroupsThatStartAndTheRunCompletes()
    {
        const Table table =
            runConformance({QStringLiteral("--component-path"), faulty("start_crashes")});
        QCOMPARE(table.status, 1);
        QCOMPARE(table.groups.size(), suiteGroups().size());
        QStringList starting = groupsThatStart();
        starting.sort();
        QVERIFY(starting.contains(QStringLiteral("start")) &&
                starting.size() < table.groups.size());
        QCOMPARE(failing(table), starting);
        // Whatever the journal recorded for the first Start, now the engine ended in it.
        for (const QString& name : starting) {
            const QString difference = table.groups.value(name);
            QVERIFY2(difference.contains(QStringLiteral(" Start on engine 0: recorded ")) &&
                         difference.endsWith(QStringLiteral(", now the engine ending")),
                     qPrintable(difference));
        }
    }

    // A call left unanswered ends the engine after the hosts' bound; the next group gets a new one.
    void anEngineThatHangsFailsItsGroupAndTheRunGoesOn()
    {
        QTemporaryDir dir;
        const auto whole = conformance::readSuite(SUITE_DIR);
        QVERIFY(whole.has_value());
        conformance::Suite two{dir.path(), {}};
        for (const conformance::SuiteGroup& group : whole->groups) {
            if (group.name == QStringLiteral("start") || group.name == QStringLiteral("text")) {
                two.groups.append(group);
                QVERIFY(QFile::copy(QDir(SUITE_DIR).filePath(group.journal),
                                    dir.filePath(group.journal)));
            }
        }
        QVERIFY(conformance::writeSuite(two).has_value());

        QElapsedTimer timer;
        timer.start();
        const Table table =
            runConformance({QStringLiteral("--component-path"), faulty("start_hangs"), dir.path()});
        QCOMPARE(table.status, 1);
        QCOMPARE(failing(table), QStringList{QStringLiteral("start")});
        QCOMPARE(table.groups.value(QStringLiteral("text")), QStringLiteral("passed"));
        QVERIFY2(table.groups.value(QStringLiteral("start"))
                     .contains(QStringLiteral("the engine ending")),
                 qPrintable(table.groups.value(QStringLiteral("start"))));
        QVERIFY(timer.elapsed() < 30000);
    }

    void aSuiteThatCannotBeReadExitsWithTwo_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<QString>("problem");
        const QByteArray oneGroup =
            R"({"format": 1, "groups": [{"name": "text", "journal": "text.jsonl"}]})";
        QTest::newRow("no table of contents") << QByteArray() << QByteArray() << "suite.json";
        QTest::newRow("not JSON") << QByteArray("{") << QByteArray() << "suite.json";
        QTest::newRow("another format")
            << QByteArray(R"({"format": 2, "groups": []})") << QByteArray() << "format";
        QTest::newRow("no groups")
            << QByteArray(R"({"format": 1, "groups": []})") << QByteArray() << "no groups";
        QTest::newRow("a file outside the group's folder")
            << QByteArray(R"({"format": 1, "groups": [{"name": "text", "journal": "text.jsonl", )"
                          R"("files": [{"name": "../x", "base64": ""}]}]})")
            << QByteArray("{}") << "not a name inside";
        QTest::newRow("a journal missing") << oneGroup << QByteArray() << "text.jsonl";
        QTest::newRow("a journal line that is no entry")
            << oneGroup << QByteArray("{\"op\":\"session\"}\n[1]\n{}\n") << "text.jsonl:2:";
    }
    void aSuiteThatCannotBeReadExitsWithTwo()
    {
        QFETCH(QByteArray, manifest);
        QFETCH(QByteArray, journal);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const auto write = [&dir](const char* name, const QByteArray& content) {
            QFile file(dir.filePath(QLatin1StringView(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        };
        if (!manifest.isEmpty())
            write("suite.json", manifest);
        if (!journal.isEmpty())
            write("text.jsonl", journal);
        const Table table = runConformance(
            {QStringLiteral("--component-path"), REFERENCE_COMPONENTS_DIR, dir.path()});
        QCOMPARE(table.status, 2);
        QVERIFY(table.groups.isEmpty());
        QVERIFY2(table.err.startsWith(QStringLiteral("The suite cannot be read: ")),
                 qPrintable(table.err));
        QVERIFY2(table.err.contains(problem), qPrintable(table.err));
    }

    // The runner and the suite as the kit installs them, against an engine built with the kit
    // alone: what the engine declines fails its groups, the script text passes.
    void theOutsideEngineFailsWhatItDeclines()
    {
        const QString prefix = QStringLiteral(OUTSIDE_ENGINE_WORK_DIR "/prefix");
        // Hosted, as engines from plugins run: its Create makes the VelSQL object in the host.
        const Table table = runConformance(
            {QStringLiteral("--component-path"), QStringLiteral(OUTSIDE_ENGINE_WORK_DIR "/build")},
            prefix + QStringLiteral("/bin/velscript-conformance"));
        // The same run as the engine's own test, wired as the kit's guide shows.
        QTemporaryFile::remove(QStringLiteral(OUTSIDE_ENGINE_WORK_DIR "/build/conformance.xml"));
        QProcess ctest;
        ctest.start(QStringLiteral("ctest"),
                    {QStringLiteral("--test-dir"), QStringLiteral(OUTSIDE_ENGINE_WORK_DIR "/build"),
                     QStringLiteral("-R"), QStringLiteral("^conformance$")});
        QVERIFY(ctest.waitForFinished(120000));
        QVERIFY2(ctest.exitCode() != 0, ctest.readAllStandardOutput().constData());
        const auto cases =
            readJUnit(QStringLiteral(OUTSIDE_ENGINE_WORK_DIR "/build/conformance.xml"));
        if (cases) {
            QCOMPARE(cases->count, table.groups.size());
            QCOMPARE(cases->value(QStringLiteral("text")), QStringLiteral("passed"));
        }

        QCOMPARE(table.status, 1);
        QCOMPARE(table.groups.size(), suiteGroups().size());
        QCOMPARE(table.groups.value(QStringLiteral("text")), QStringLiteral("passed"));
        QCOMPARE(failing(table).size(), table.groups.size() - 1);
        // Its first refusal is where a group first goes wrong.
        for (const char* declined : {"modified", "files", "start", "stop", "tag", "window"}) {
            const QString difference = table.groups.value(QLatin1StringView(declined));
            QVERIFY2(difference.contains(
                         QStringLiteral("now failed \"The outside engine does not offer")),
                     qPrintable(difference));
        }
    }
};

VELSCRIPT_TEST_MAIN(tst_Conformance)
#include "tst_conformance.moc"
