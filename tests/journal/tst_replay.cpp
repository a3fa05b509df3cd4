// Replaying a journal: reading it (cut off, corrupt), waiting for a started script, and the
// velscript-replay program's report and exit status against the plugin fake and a changed one.
#include "engine_kit/class_ids.h"
#include "journal/journal_files.h"
#include "replay/journal_reader.h"
#include "replay/replayer.h"
#include "support/fake_engine.h"
#include "support/recorders.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

namespace {

using Run = ReplayRun;

Run runReplay(const QStringList& arguments)
{
    return runReplayProgram(REPLAY, arguments);
}

// A session through the window with the plugin fake: two engines, their script texts, a
// failing read and the close check.
void recordPluginSession()
{
    qputenv("VELSCRIPT_COMPONENT_PATH", FAKE_COMPONENTS_DIR);
    MessageRecorder messages;
    frmVelScrTester form;
    form.Form_Load();
    QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
    QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
    form.tabVelScript->setCurrentPage(1);
    form.txtProgram->setPlainText("Sub Main\nEnd Sub\n");
    QTest::mouseClick(form.cmdPutText, Qt::LeftButton);
    form.cmbIndex->setListIndex(0);
    QTest::mouseClick(form.cmdRelease, Qt::LeftButton);
    form.show();
    form.close();
    qunsetenv("VELSCRIPT_COMPONENT_PATH");
}

void writeLines(const QString& path, const QByteArray& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QByteArray entry(int instance, const char* op, const char* rest = "")
{
    return QStringLiteral(R"({"op":"%1","engine":%2,"instance":%2,"args":[]%3})")
               .arg(QLatin1StringView(op))
               .arg(instance)
               .arg(QLatin1StringView(rest))
               .toUtf8() +
           '\n';
}

const QByteArray SessionLine = R"({"op":"session","pid":1,"program":"t","time":"x"})"
                               "\n";
const QByteArray CreateLine =
    R"({"op":"instance.create","engine":0,"instance":0,"args":[{"kind":"Text","value":")" +
    VelScriptEngineClassId.toUtf8() + R"("}],"result":{"kind":"Object","classId":")" +
    VelScriptEngineClassId.toUtf8() + R"("}})" + "\n";

// An engine whose script runs for a few state reads after Start, then comes to rest.
class RunningEngine : public FakeEngine {
public:
    int readsUntilRest = 3;
    Result<qint32> State() override
    {
        FakeEngine::State();
        return readsUntilRest-- > 0 ? 1 : 0;
    }
};

} // namespace

class tst_Replay : public QObject {
    Q_OBJECT

private slots:
    void init() { RecordingEngine::resetAll(); }

    void aSessionReplaysAgainstTheSameEngineWithoutDifference()
    {
        JournalFile file;
        recordPluginSession();
        const Run run = runReplay({"--component-path", FAKE_COMPONENTS_DIR, file.path});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(" 0 differ, "), qPrintable(run.out));
    }

    void aChangedAnswerIsNamedWithItsCall()
    {
        JournalFile file;
        recordPluginSession();
        // The changed engine reads as hidden until the replay writes Visible to it, as the
        // recorded session did when a selection ticked the box; only reads before that differ.
        QStringList expected;
        QSet<int> written;
        const QList<QJsonObject> entries = file.entries();
        for (int i = 0; i < entries.size(); ++i) {
            if (entries[i].value("begun").toBool())
                continue;
            const int engine = entries[i].value("engine").toInt();
            if (entries[i].value("op") == "Visible.put")
                written.insert(engine);
            if (entries[i].value("op") == "Visible.get" && !written.contains(engine))
                expected.append(
                    QStringLiteral("#%1 Visible.get on engine %2: recorded True, now False")
                        .arg(i + 1)
                        .arg(engine));
        }
        // Each creation reads it before anything is written, and engine 1 again once 0 went.
        QCOMPARE(expected.size(), 3);

        const Run run = runReplay({"--component-path", CHANGED_FAKE_COMPONENTS_DIR, file.path});
        QCOMPARE(run.status, 1);
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), expected.size() + 2);
        QCOMPARE(lines.mid(0, expected.size()), expected);
        QVERIFY2(lines[expected.size()].contains(" 3 differ, "),
                 qPrintable(lines[expected.size()]));

        // The same answer left out of the comparison agrees.
        QCOMPARE(runReplay({"--component-path", CHANGED_FAKE_COMPONENTS_DIR, "--ignore",
                            "Text,Visible", file.path})
                     .status,
                 0);
    }

    void aJournalCutOffMidLineIsReplayedToTheCut()
    {
        JournalFile file;
        recordPluginSession();
        QFile journal(file.path);
        QVERIFY(journal.open(QIODevice::ReadWrite));
        const QByteArray content = journal.readAll();
        const int complete = int(content.count('\n'));
        QVERIFY(journal.resize(content.size() - 10));
        journal.close();
        // Of a call's two lines, its beginning and its end, the replay keeps the end.
        const qsizetype begun = content.count("\"begun\":true");
        QVERIFY(begun > 10);

        const auto read = replay::readJournal(file.path);
        QVERIFY2(read.has_value(), read ? "" : qPrintable(read.error()));
        QCOMPARE(read->lines.size(), complete - 1 - begun);
        QCOMPARE(read->cutOffLine, complete);

        const Run run = runReplay({"--component-path", FAKE_COMPONENTS_DIR, file.path});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith(QStringLiteral("Line %1 was cut off").arg(complete)));
    }

    void aJournalThatCannotBeReadIsNamedByLine_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("problem");
        QTest::newRow("not JSON") << SessionLine + "{\"op\":\n" + CreateLine << 2
                                  << "not a journal entry";
        QTest::newRow("not an object") << SessionLine + "[1]\n" << 2 << "not a JSON object";
        QTest::newRow("no operation") << SessionLine + "{}\n" << 2 << "names no operation";
        QTest::newRow("unknown operation")
            << SessionLine + CreateLine + entry(0, "Paint") << 3 << "Paint is not an operation";
        QTest::newRow("engine never created")
            << SessionLine + entry(0, "ClearLog") << 2 << "which this session did not create";
        QTest::newRow("engine of an earlier session")
            << SessionLine + CreateLine + SessionLine + entry(0, "ClearLog") << 4
            << "did not create";
        QTest::newRow("arguments that do not fit")
            << SessionLine + CreateLine + entry(0, "Text.put") << 3 << "do not fit";
        QTest::newRow("engine number not whole")
            << SessionLine + CreateLine +
                   R"({"op":"ClearLog","engine":0.5,"instance":0,"args":[]})"
                   "\n"
            << 3 << "ClearLog names no engine and instance";
        QTest::newRow("instance beyond 32 bits")
            << SessionLine + CreateLine +
                   R"({"op":"ClearLog","engine":0,"instance":4294967296,"args":[]})"
                   "\n"
            << 3 << "ClearLog names no engine and instance";
        QTest::newRow("unknown comparison")
            << SessionLine + CreateLine + entry(0, "ClearLog", R"(,"compare":"text")") << 3
            << "ClearLog asks for a comparison";
        QTest::newRow("corrupt value")
            << SessionLine + CreateLine + entry(0, "Text.get", R"(,"result":{"kind":"Text"})") << 3
            << "the result of Text.get is a Text value that is not one";
    }
    void aJournalThatCannotBeReadIsNamedByLine()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, line);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath("bad.jsonl");
        writeLines(path, content);

        const auto read = replay::readJournal(path);
        QVERIFY(!read.has_value());
        QVERIFY2(read.error().startsWith(QStringLiteral("%1:%2: ").arg(path).arg(line)),
                 qPrintable(read.error()));
        QVERIFY2(read.error().contains(problem), qPrintable(read.error()));

        const Run run = runReplay({path});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err.trimmed(), read.error());
    }

    void aMissingJournalIsUnreadable()
    {
        const Run run = runReplay({"/nonexistent/journal.jsonl"});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.startsWith("/nonexistent/journal.jsonl: "));
    }

    void failuresAndValuesAreComparedBothWays()
    {
        FakeEngineRegistration fakes([] {
            auto* fake = new FakeEngine;
            fake->set("Text", QString("now"));
            fake->failOn("Log", "log unavailable");
            return fake;
        });
        QTemporaryDir dir;
        const QString path = dir.filePath("j.jsonl");
        writeLines(path, SessionLine + CreateLine + entry(0, "Text.get", R"(,"failure":"locked")") +
                             entry(0, "Log.get", R"(,"result":{"kind":"Text","value":"x"})") +
                             entry(0, "ClearLog", R"(,"failure":"")"));
        const auto journal = replay::readJournal(path);
        QVERIFY(journal.has_value());
        QString out;
        QTextStream stream(&out);
        const replay::Summary summary = replay::Replayer({}, stream).run(*journal);
        QCOMPARE(summary.differences, 3);
        QCOMPARE(out.split('\n', Qt::SkipEmptyParts),
                 QStringList({"#3 Text.get on engine 0: recorded failed \"locked\", now \"now\"",
                              "#4 Log.get on engine 0: recorded \"x\", now failed \"log "
                              "unavailable\"",
                              "#5 ClearLog on engine 0: recorded failed \"\", now ok"}));
        QCOMPARE(RecordingEngine::journal().replaceInStrings(QRegularExpression("^\\d+:"), ""),
                 QStringList({"Text", "Log", "ClearLog", "end"}));
    }

    // A journal says per call what is the contract: failure texts and the engine's own values
    // drop out, and reads that vary by run are compared when it asks.
    void theJournalSaysWhatOfAnOutcomeIsCompared()
    {
        FakeEngineRegistration fakes([] {
            auto* fake = new FakeEngine;
            fake->set("Text", QString("now"));
            fake->set("LineNumber", qint32(7));
            fake->failOn("Log", "log unavailable here");
            fake->failOn("ClearLog", "refused here");
            return fake;
        });
        QTemporaryDir dir;
        const QString path = dir.filePath("j.jsonl");
        const auto marked = [](const char* op, const char* how, const char* outcome) {
            const QByteArray rest = QByteArray(",\"compare\":\"") + how + "\"" + outcome;
            return entry(0, op, rest.constData());
        };
        const QByteArray text = R"(,"result":{"kind":"Text","value":"then"})";
        const QByteArray line3 = R"(,"result":{"kind":"Integer","value":3})";
        writeLines(path, SessionLine + CreateLine +
                             // agree: only failed-ness, one failure text against another
                             marked("Text.get", "failed", text.constData()) +
                             marked("Log.get", "value", R"(,"failure":"log unavailable")") +
                             marked("ClearLog", "none", "") +
                             // differ: a value, a read that varies by run, failed-ness
                             marked("Text.get", "value", text.constData()) +
                             marked("LineNumber.get", "value", line3.constData()) +
                             marked("ClearLog", "failed", "") + entry(0, "LineNumber.get", line3));
        const auto journal = replay::readJournal(path);
        QVERIFY2(journal.has_value(), qPrintable(journal.error()));
        QString out;
        QTextStream stream(&out);
        const replay::Summary summary = replay::Replayer({}, stream).run(*journal);
        QCOMPARE(
            out.split('\n', Qt::SkipEmptyParts),
            QStringList({"#6 Text.get on engine 0: recorded \"then\", now \"now\"",
                         "#7 LineNumber.get on engine 0: recorded 3, now 7",
                         "#8 ClearLog on engine 0: recorded ok, now failed \"refused here\""}));
        QCOMPARE(summary.differences, 3);
        QCOMPARE(summary.notCompared, 2); // the unmarked LineNumber, and the one marked none
    }

    void logTimeStampsAreComparedOnlyWhenAsked()
    {
        FakeEngineRegistration fakes([] {
            auto* fake = new FakeEngine;
            fake->set("Log", QString("2026-12-09 08:15:02.125 started\n"));
            return fake;
        });
        QTemporaryDir dir;
        const QString path = dir.filePath("j.jsonl");
        writeLines(path, SessionLine + CreateLine +
                             entry(0, "Log.get",
                                   R"(,"result":{"kind":"Text","value":)"
                                   R"("2026-12-08 14:03:07.250 started\n"})"));
        const auto journal = replay::readJournal(path);
        QVERIFY(journal.has_value());
        QString out;
        QTextStream stream(&out);
        replay::Options options;
        QCOMPARE(replay::Replayer(options, stream).run(*journal).differences, 0);
        options.compareTiming = true;
        QCOMPARE(replay::Replayer(options, stream).run(*journal).differences, 1);
        QVERIFY(out.startsWith("#3 Log.get on engine 0: recorded \"2026-12-08 14:03:07.250"));
    }

    void stateReadsAfterStartWaitForTheRecordedState()
    {
        FakeEngineRegistration fakes([] { return new RunningEngine; });
        QTemporaryDir dir;
        const QString path = dir.filePath("j.jsonl");
        const QByteArray atRest = R"(,"result":{"kind":"Integer","value":0})";
        writeLines(path, SessionLine + CreateLine + entry(0, "State.get", atRest) +
                             R"({"op":"Start","engine":0,"instance":0,"args":[)"
                             R"({"kind":"Integer","value":1},{"kind":"Missing"}]})"
                             "\n" +
                             entry(0, "State.get", atRest));
        const auto journal = replay::readJournal(path);
        QVERIFY(journal.has_value());
        QString out;
        QTextStream stream(&out);
        replay::Options options;
        options.compareTiming = true;

        // Before Start nothing is waited for: the script's state is read once.
        const replay::Summary summary = replay::Replayer(options, stream).run(*journal);
        QCOMPARE(out, QString("#3 State.get on engine 0: recorded 0, now 1\n"));
        QCOMPARE(summary.differences, 1);
        auto* engine = static_cast<RunningEngine*>(RecordingEngine::made().value(0).data());
        QVERIFY(engine == nullptr); // ended with the replay
        QCOMPARE(RecordingEngine::journal().filter(":State").size(), 4);

        // An engine that never comes to rest is given up on after the bound.
        RecordingEngine::resetAll();
        FakeEngineRegistration never([] {
            auto* running = new RunningEngine;
            running->readsUntilRest = std::numeric_limits<int>::max();
            return running;
        });
        out.clear();
        options.waitMs = 20;
        QCOMPARE(replay::Replayer(options, stream).run(*journal).differences, 2);
        QVERIFY(out.endsWith("#5 State.get on engine 0: recorded 0, now 1\n"));
    }
};

VELSCRIPT_TEST_MAIN(tst_Replay)
#include "tst_replay.moc"
