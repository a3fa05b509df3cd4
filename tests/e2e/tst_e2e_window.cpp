// The tester's window over the built-in reference engine, as a new user meets it: a script put,
// run once and its log read; numbers Execute shows as the log writes them; a continuous script
// that holds the window open until it is stopped.
#include "engine/engine_factory.h"
#include "support/test_program.h"
#include "tester_session.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

class tst_E2eWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { engine::registerReferenceEngine(); }

    void oneCycleLeavesItsOutputInTheLog()
    {
        TesterSession session;
        session.create();
        QVERIFY(session.form.objEngine);
        RUN_ONE_CYCLE(session, "Dim greeting\n"
                               "greeting = \"hello\"\n"
                               "Sub Main\n"
                               "    Log greeting & \" from line \" & 4\n"
                               "End Sub\n");

        const QStringList log = session.log();
        QVERIFY2(log.contains("hello from line 4"), qPrintable(log.join('\n')));
        QCOMPARE(log.last(), QString("End (exit code 0)"));
        session.page(TesterSession::TaskPage);
        session.click(session.form.cmdGetExitCode);
        QCOMPARE(session.form.lblExitCode->text(), QString("0"));
        QCOMPARE(session.messages.messages, QList<Message>());
    }

    // The Execute panel shows a number as the script's own Log writes it: both run in the same
    // engine, and the texts are compared.
    void executeShowsNumbersAsTheLogWritesThem_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("text");
        QTest::newRow("2^60") << "2^60"
                              << "1.152921504606847E+18";
        QTest::newRow("a third") << "1/3"
                                 << "0.3333333333333333";
        QTest::newRow("1E+14 plain") << "10^14"
                                     << "100000000000000";
        QTest::newRow("1E+15") << "10^15"
                               << "1E+15";
        QTest::newRow("small") << "-1/100000"
                               << "-1E-05";
    }

    void executeShowsNumbersAsTheLogWritesThem()
    {
        QFETCH(QString, expression);
        QFETCH(QString, text);
        TesterSession session;
        session.create();
        RUN_ONE_CYCLE(session, "Sub Main\n    Log " + expression + "\nEnd Sub\n");
        const QStringList log = session.log();
        QVERIFY2(log.size() >= 2 && log.last() == "End (exit code 0)", qPrintable(log.join('\n')));
        const QString logged = log.at(log.size() - 2);
        QCOMPARE(session.execute(expression), logged);
        QCOMPARE(logged, text);
        QCOMPARE(session.messages.messages, QList<Message>());
    }

    // The third cycle sleeps far beyond any wait here: only the immediate stop, which ends a
    // Sleep, lets the script come to rest in time.
    void aContinuousScriptHoldsTheWindowUntilStopped()
    {
        TesterSession session;
        session.create();
        session.put("Dim cycles\n"
                    "Sub Main\n"
                    "    cycles = cycles + 1\n"
                    "    Log \"cycle \" & cycles\n"
                    "    If cycles >= 3 Then Sleep 600000\n"
                    "End Sub\n");
        session.start(Continuous);
        QTRY_VERIFY_WITH_TIMEOUT(session.log().contains("cycle 3"), Patience);
        QCOMPARE(session.state(), QString("1"));

        QVERIFY(!session.form.close());
        QVERIFY(session.form.isVisible());
        QCOMPARE(session.messages.messages,
                 (QList<Message>{{"VelScript Engine No.(0)\r\nProgram is still running.",
                                  MessageIcon::Error}}));
        QCOMPARE(session.form.colEngine.count(), 1);

        session.stop(ImmediateStop);
        WAIT_FOR_REST(session);
        const QStringList log = session.log();
        QVERIFY2(!log.contains("cycle 4"), qPrintable(log.join('\n')));
        QVERIFY2(log.last().startsWith("Stopped at line"), qPrintable(log.last()));

        session.messages.messages.clear();
        QVERIFY(session.form.close());
        QVERIFY(!session.form.isVisible());
        QCOMPARE(session.messages.messages, QList<Message>());
        QCOMPARE(session.form.colEngine.count(), 0);
    }
};

VELSCRIPT_TEST_MAIN(tst_E2eWindow)
#include "tst_e2e_window.moc"
