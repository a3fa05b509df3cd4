// A session through the window with the built-in reference engine, journal on, replayed by
// velscript-replay against the same engine: nothing differs; a recorded answer altered by hand
// is found.
#include "engine/engine_factory.h"
#include "journal/journal_files.h"
#include "support/test_program.h"
#include "tester_session.h"

#include <QJsonArray>
#include <QtTest>

using namespace velscript;
using namespace velscript::test;

namespace {

ReplayRun runReplay(const QString& journal)
{
    return runReplayProgram(REPLAY, {journal});
}

void recordSession()
{
    TesterSession session;
    session.create();
    RUN_ONE_CYCLE(session, "Sub Main\n"
                           "    Log \"replayed \" & 6 * 7\n"
                           "End Sub\n");
    QVERIFY(session.log().contains("replayed 42"));
    QVERIFY(session.form.close());
    QCOMPARE(session.messages.messages, QList<Message>());
}

} // namespace

class tst_E2eReplay : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { engine::registerReferenceEngine(); }

    void aSessionReplaysWithoutDifference()
    {
        JournalFile file;
        recordSession();
        if (QTest::currentTestFailed())
            return;
        QStringList operations;
        for (const QJsonObject& entry : file.entries())
            operations << entry.value("op").toString();
        for (const char* op : {"instance.create", "Text.put", "Start", "State.get", "Log.get"})
            QVERIFY2(operations.contains(op), op);

        const ReplayRun run = runReplay(file.path);
        QCOMPARE(run.err, QString());
        QVERIFY2(run.out.contains(" 0 differ, "), qPrintable(run.out));
        QCOMPARE(run.status, 0);
    }

    // The replay really compares the log the engine writes now with the recorded one.
    void anAlteredLogIsFound()
    {
        JournalFile file;
        recordSession();
        if (QTest::currentTestFailed())
            return;
        QFile journal(file.path);
        QVERIFY(journal.open(QIODevice::ReadOnly));
        QByteArray content = journal.readAll();
        journal.close();
        QVERIFY(content.contains("replayed 42"));
        content.replace("replayed 42", "replayed 43");
        QVERIFY(journal.open(QIODevice::WriteOnly | QIODevice::Truncate));
        journal.write(content);
        journal.close();

        const ReplayRun run = runReplay(file.path);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.out.contains(QRegularExpression("#\\d+ Log.get on engine 0: recorded ")),
                 qPrintable(run.out));
    }
};

VELSCRIPT_TEST_MAIN(tst_E2eReplay)
#include "tst_e2e_replay.moc"
