// The examples a new user runs first, run with the velscript command as the user would: what
// they log, and where the one with a deliberate error stops; and in the reference engine, as the
// tester opens and starts them: the exit code each ends with.

#include "engine/reference_engine.h"
#include "support/test_program.h"

#include <QProcess>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestExamples : public QObject {
    Q_OBJECT

private slots:
    void runWithTheVelscriptCommand_data()
    {
        QTest::addColumn<QString>("example");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("status");

        QTest::newRow("hello") << u"hello.vbs"_s
                               << u"Hello, world!\n1 + 2 = 3\nThe time has come.\n"_s << QString()
                               << 0;
        QTest::newRow("counter, one cycle")
            << u"counter.vbs"_s << u"Cycle 1 begins\n  step 1\n  step 2\n  step 3\nCycle 1 ends\n"_s
            << QString() << 0;
        QTest::newRow("errors") << u"errors.vbs"_s
                                << u"Trapped error 11: Division by zero\n"
                                   "Raised error 5: Invalid procedure call or argument\n"
                                   "Err is clear again: 0\n"
                                   "Now an error nobody traps: the script stops at it.\n"_s
                                << u"%1:18: Run-time error 13: Type mismatch\n"
                                   "%1:18: in Main\n"_s
                                << 1;
        QTest::newRow("exit code")
            << u"exit_code.vbs"_s
            << u"Below zero: -3\nBelow zero: -7\n2 of 4 readings below zero\n"_s << QString() << 0;
    }
    void runWithTheVelscriptCommand()
    {
        QFETCH(QString, example);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, status);

        const QString file = QStringLiteral(EXAMPLES_DIR "/") + example;
        QProcess velscript;
        velscript.start(QStringLiteral(VELSCRIPT_CLI), {u"--routine"_s, u"Main"_s, file});
        QVERIFY(velscript.waitForFinished(60000));
        QCOMPARE(velscript.exitStatus(), QProcess::NormalExit);
        QCOMPARE(QString::fromUtf8(velscript.readAllStandardError()),
                 err.isEmpty() ? err : err.arg(file));
        QCOMPARE(QString::fromUtf8(velscript.readAllStandardOutput()), out);
        QCOMPARE(velscript.exitCode(), status);
    }

    // What Get on ExitCode and the log's last entry show after a One Cycle run of the example.
    void exitCodeInTheEngine_data()
    {
        QTest::addColumn<QString>("example");
        QTest::addColumn<qint32>("exitCode");
        QTest::addColumn<QString>("lastEntry");

        QTest::newRow("a Sub ends with 0") << u"hello.vbs"_s << 0 << u"End (exit code 0)"_s;
        QTest::newRow("a Function's result") << u"exit_code.vbs"_s << 2 << u"End (exit code 2)"_s;
        QTest::newRow("an untrapped error's number")
            << u"errors.vbs"_s << 13 << u"Run-time error 13 at line 18: Type mismatch"_s;
    }
    void exitCodeInTheEngine()
    {
        QFETCH(QString, example);
        QFETCH(qint32, exitCode);
        QFETCH(QString, lastEntry);

        using velscript::Variant;
        velscript::engine::ReferenceEngine engine;
        QVERIFY(engine.Create(Variant::missing()));
        const auto opened =
            engine.Open(QStringLiteral(EXAMPLES_DIR "/") + example, Variant::missing());
        QVERIFY2(opened && velscript::isTrue(*opened),
                 qPrintable(opened ? u"False"_s : opened.error()));
        QVERIFY(engine.Start(1, Variant::missing()));
        const auto rested = engine.Wait(60000, Variant::missing());
        QVERIFY(rested && velscript::isTrue(*rested));
        QCOMPARE(engine.ExitCode().value_or(Variant()), Variant(exitCode));
        // The log's entries begin with a time stamp of 24 characters.
        QCOMPARE(engine.LastLog().value_or(QString()).mid(24), lastEntry);
    }

    // sql.vbs needs the VelSQL object bound as db, which only an engine gives it; without a
    // routine the command still reads the whole script, so a slip in its syntax shows here.
    void sqlExampleIsWellFormed()
    {
        QProcess velscript;
        velscript.start(QStringLiteral(VELSCRIPT_CLI), {QStringLiteral(EXAMPLES_DIR "/sql.vbs")});
        QVERIFY(velscript.waitForFinished(60000));
        QCOMPARE(velscript.readAllStandardError(), QByteArray());
        QCOMPARE(velscript.exitCode(), 0);
    }
};

VELSCRIPT_TEST_MAIN(TestExamples)
#include "tst_examples.moc"
