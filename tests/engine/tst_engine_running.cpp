// Running scripts: the start and stop modes, stepping forward and backward, state and line while
// paused, exit codes, refusals, and the engine going away while its script runs.

#include "engine_kit/component_service.h"
#include "engine_test_support.h"
#include "support/test_program.h"

using namespace velscript;
using namespace velscript::engine;
using namespace velscript::engine::test;

namespace {

const QString counting = QStringLiteral("Dim n\n"          // 1
                                        "n = 0\n"          // 2
                                        "Log \"module\"\n" // 3
                                        "Sub Main\n"       // 4
                                        "  n = n + 1\n"    // 5
                                        "  Log n\n"        // 6
                                        "End Sub\n");      // 7

const QString endless = QStringLiteral("Dim n\n"         // 1
                                       "Sub Main\n"      // 2
                                       "  Do\n"          // 3
                                       "    n = n + 1\n" // 4
                                       "  Loop\n"        // 5
                                       "End Sub\n");     // 6

} // namespace

class TestEngineRunning : public QObject {
    Q_OBJECT

private slots:
    void oneCycle();
    void exitCodes_data();
    void exitCodes();
    void continuousUntilCycleStop_data();
    void continuousUntilCycleStop();
    void immediateStop_data();
    void immediateStop();
    void stepForwardAndBackward();
    void stepStopPausesRunningScript();
    void executeInPausedRoutine();
    void executeOverrunKeepsPause();
    void initializeResetsModule();
    void programEndEndsInstances();
    void fastCycle();
    void refusals();
    void syntaxErrorFailsStart();
    void destroyedWhile_data();
    void destroyedWhile();
};

// One cycle runs the module statements on the first run only, then the start-up routine once.
void TestEngineRunning::oneCycle()
{
    auto engine = createdEngine(counting);
    QVERIFY(engine);
    QCOMPARE(value(engine->State()), 0);
    QVERIFY(value(engine->ExitCode()).isEmpty());
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QCOMPARE(value(engine->LineNumber()), 0);
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(entries(*engine),
             (QStringList{"Start One Cycle (Main)", "module", "1", "End (exit code 0)",
                          "Start One Cycle (Main)", "2", "End (exit code 0)"}));
    QCOMPARE(value(engine->ExitCode()), Variant(qint32(0)));
    QCOMPARE(readProperty(*engine, ScriptStateProperty), Variant(qint32(0)));

    // The start-up routine is looked up by name, in any case.
    ENGINE_OK(engine->StartUp(QStringLiteral("MAIN")));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(shown(engine->Execute(QStringLiteral("n"), Variant::missing())), QStringLiteral("3"));
}

void TestEngineRunning::exitCodes_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("exitCode");
    QTest::addColumn<QString>("lastEntry");

    QTest::newRow("sub") << QStringLiteral("Sub Main\nEnd Sub\n") << QStringLiteral("0")
                         << QStringLiteral("End (exit code 0)");
    QTest::newRow("function") << QStringLiteral("Function Main()\n  Main = 42\nEnd Function\n")
                              << QStringLiteral("42") << QStringLiteral("End (exit code 42)");
    QTest::newRow("function returning text")
        << QStringLiteral("Function Main()\n  Main = \"done\"\nEnd Function\n")
        << QStringLiteral("done") << QStringLiteral("End (exit code done)");
    QTest::newRow("run-time error")
        << QStringLiteral("Sub Main\n  Log \"before\"\n  x = 1 / 0\nEnd Sub\n")
        << QStringLiteral("11") << QStringLiteral("Run-time error 11 at line 3: Division by zero");
    QTest::newRow("raised error")
        << QStringLiteral("Sub Main\n  Err.Raise 1234, \"pump\", \"Pump failed\"\nEnd Sub\n")
        << QStringLiteral("1234") << QStringLiteral("Run-time error 1234 at line 2: Pump failed");
    QTest::newRow("error in a nested call keeps the calls")
        << QStringLiteral("Sub Main\n  Pump 0\nEnd Sub\nSub Pump(n)\n  x = 1 / n\nEnd Sub\n")
        << QStringLiteral("11")
        << QStringLiteral("Run-time error 11 at line 5: Division by zero (in Pump at line 5, in "
                          "Main at line 2)");
    QTest::newRow("error in the module statements")
        << QStringLiteral("Dim a(1)\na(5) = 1\nSub Main\nEnd Sub\n") << QStringLiteral("9")
        << QStringLiteral("Run-time error 9 at line 2: Subscript out of range");
}

// A finished run's exit code is the start-up function's value (0 for a Sub); a failed run's is
// its error number, and the error with its line goes to the log.
void TestEngineRunning::exitCodes()
{
    QFETCH(QString, source);
    QFETCH(QString, exitCode);
    QFETCH(QString, lastEntry);

    auto engine = createdEngine(source);
    QVERIFY(engine);
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QCOMPARE(shown(engine->ExitCode()), exitCode);
    QCOMPARE(::lastEntry(*engine), lastEntry);
}

void TestEngineRunning::continuousUntilCycleStop_data()
{
    QTest::addColumn<int>("stopMode");
    QTest::newRow("cycle stop") << 3;
    QTest::newRow("default stop of a continuous run") << 0;
}

// Continuous mode calls the start-up routine again and again; a cycle stop (the default for a
// continuous run) lets the current cycle finish, so the last cycle's Log always follows its count.
void TestEngineRunning::continuousUntilCycleStop()
{
    QFETCH(int, stopMode);

    auto engine = createdEngine(counting);
    QVERIFY(engine);
    ENGINE_OK(engine->Start(2, Variant::missing()));
    // Three cycles have run once the newest entry counts 3 or more; a fast continuous run fills
    // the bounded log, so the entry "3" itself may already have been dropped.
    QTRY_VERIFY_WITH_TIMEOUT(lastEntry(*engine).toInt() >= 3, Patience);
    QCOMPARE(value(engine->State()), 1);
    QCOMPARE(readProperty(*engine, ScriptStateProperty), Variant(qint32(1)));
    ENGINE_FAILS(engine->Start(1, Variant::missing()));
    ENGINE_OK(engine->Stop(stopMode, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QCOMPARE(value(engine->ExitCode()), Variant(qint32(0)));
    const QStringList log = entries(*engine);
    QCOMPARE(log.last(), QStringLiteral("End (exit code 0)"));
    QCOMPARE(log.at(log.size() - 2), shown(engine->Execute(QStringLiteral("n"), Variant())));
}

void TestEngineRunning::immediateStop_data()
{
    QTest::addColumn<int>("startMode");
    QTest::addColumn<int>("stopMode");
    QTest::addColumn<QString>("source");

    QTest::newRow("one cycle, default stop") << 1 << 0 << endless;
    QTest::newRow("one cycle, immediate") << 1 << 1 << endless;
    QTest::newRow("continuous, immediate") << 2 << 1 << endless;
    QTest::newRow("fast, immediate") << 5 << 1 << endless;
    QTest::newRow("sleeping") << 1 << 1
                              << QStringLiteral("Sub Main\n  Log \"sleeping\"\n  Sleep 600000\n"
                                                "  Log \"woke\"\nEnd Sub\n");
    QTest::newRow("continuous, empty routine") << 2 << 1 << QStringLiteral("Sub Main\nEnd Sub\n");
}

// An immediate stop ends the script at its next statement boundary (a Sleep at once) with no
// exit code; the module variables keep what the script did.
void TestEngineRunning::immediateStop()
{
    QFETCH(int, startMode);
    QFETCH(int, stopMode);
    QFETCH(QString, source);

    auto engine = createdEngine(source);
    QVERIFY(engine);
    ENGINE_OK(engine->Start(startMode, Variant::missing()));
    if (source.contains(QLatin1String("sleeping")))
        QTRY_COMPARE_WITH_TIMEOUT(lastEntry(*engine), QStringLiteral("sleeping"), Patience);
    QCOMPARE(value(engine->State()), 1);
    ENGINE_OK(engine->Stop(stopMode, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QCOMPARE(value(engine->LineNumber()), 0);
    QVERIFY(value(engine->ExitCode()).isEmpty());
    QVERIFY2(lastEntry(*engine).startsWith(QLatin1String("Stopped at line")),
             qPrintable(lastEntry(*engine)));
    QVERIFY(!entries(*engine).contains(QStringLiteral("woke")));

    // The engine runs again after a stop.
    ENGINE_OK(engine->Start(startMode, Variant::missing()));
    ENGINE_OK(engine->Stop(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
}

// Step forward runs one statement and pauses; step backward moves the paused position back to
// the previous statement without undoing it, and the next step runs it again.
void TestEngineRunning::stepForwardAndBackward()
{
    auto engine = createdEngine(stepped);
    QVERIFY(engine);
    ENGINE_FAILS(engine->Start(4, Variant::missing())); // nothing is paused
    ENGINE_OK(engine->Start(3, Variant::missing()));
    ENGINE_REST(*engine);
    // From idle the script pauses at its first statement, in the module.
    QCOMPARE(value(engine->State()), 2);
    QCOMPARE(value(engine->LineNumber()), 1);
    QCOMPARE(readProperty(*engine, ScriptStateProperty), Variant(qint32(2)));

    const auto step = [&](int mode, int line) {
        const auto started = engine->Start(mode, Variant::missing());
        if (!started)
            return QStringLiteral("<%1>").arg(started.error());
        if (!isTrue(value(engine->Wait(Patience, Variant::missing()))))
            return QStringLiteral("<not at rest>");
        return QStringLiteral("%1:%2")
                   .arg(value(engine->State()))
                   .arg(value(engine->LineNumber())) +
               (value(engine->LineNumber()) == line ? QString() : QStringLiteral(" (expected)"));
    };
    QCOMPARE(step(3, 3), QStringLiteral("2:3"));
    QCOMPARE(step(3, 4), QStringLiteral("2:4"));
    QCOMPARE(shown(engine->Execute(QStringLiteral("a"), Variant())), QStringLiteral("1"));
    QCOMPARE(step(4, 3), QStringLiteral("2:3"));
    // Nothing was undone.
    QCOMPARE(shown(engine->Execute(QStringLiteral("a"), Variant())), QStringLiteral("1"));
    QCOMPARE(step(4, 3).startsWith(QLatin1String("<The script stands at the first statement")),
             true);
    QCOMPARE(value(engine->State()), 2);
    QCOMPARE(value(engine->LineNumber()), 3);
    QCOMPARE(step(3, 4), QStringLiteral("2:4"));
    ENGINE_OK(engine->Execute(QStringLiteral("a = 10"), Variant()));
    QCOMPARE(step(3, 5), QStringLiteral("2:5"));
    QCOMPARE(shown(engine->Execute(QStringLiteral("b"), Variant())), QStringLiteral("11"));
    QCOMPARE(step(4, 4), QStringLiteral("2:4"));
    QCOMPARE(step(3, 5), QStringLiteral("2:5"));
    // Start while paused resumes the cycle to its end.
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QCOMPARE(shown(engine->Execute(QStringLiteral("c"), Variant())), QStringLiteral("12"));
    QCOMPARE(value(engine->ExitCode()), Variant(qint32(0)));
}

// A step stop pauses a running script after its current statement; typed text then sees its
// variables; stepping goes on one statement at a time; an immediate stop ends it from the pause.
void TestEngineRunning::stepStopPausesRunningScript()
{
    auto engine = createdEngine(QStringLiteral("Dim n\n"             // 1
                                               "Sub Main\n"          // 2
                                               "  Log \"looping\"\n" // 3
                                               "  Do\n"              // 4
                                               "    n = n + 1\n"     // 5
                                               "  Loop\n"            // 6
                                               "End Sub\n"));        // 7
    QVERIFY(engine);
    ENGINE_OK(engine->Start(2, Variant::missing()));
    QTRY_COMPARE_WITH_TIMEOUT(lastEntry(*engine), QStringLiteral("looping"), Patience);
    ENGINE_OK(engine->Stop(2, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 2);
    const int line = value(engine->LineNumber());
    QVERIFY2(line >= 4 && line <= 6, qPrintable(QString::number(line)));

    const QString before = shown(engine->Execute(QStringLiteral("n"), Variant()));
    // Paused, the script runs nothing: the count stays until a step runs a statement.
    QCOMPARE(shown(engine->Execute(QStringLiteral("n"), Variant())), before);
    for (int round = 0; round < 2; ++round) {
        ENGINE_OK(engine->Start(3, Variant::missing()));
        ENGINE_REST(*engine);
        QCOMPARE(value(engine->State()), 2);
    }
    // Wherever in the loop it paused, two steps run its one counting statement once.
    QCOMPARE(shown(engine->Execute(QStringLiteral("n - ") + before, Variant())),
             QStringLiteral("1"));
    ENGINE_OK(engine->Stop(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QVERIFY(value(engine->ExitCode()).isEmpty());
}

// Stepped into a routine, typed text reads and changes the routine's own variables, ahead of a
// module variable of the same name, and the script goes on with what was typed; a ByRef parameter
// reaches the caller's variable. Idle, the same name is the module variable again.
void TestEngineRunning::executeInPausedRoutine()
{
    auto engine = createdEngine(QStringLiteral("Dim n\n"                 // 1
                                               "n = \"module\"\n"        // 2
                                               "Sub Main\n"              // 3
                                               "  Dim n\n"               // 4
                                               "  n = 1\n"               // 5
                                               "  Log \"local \" & n\n"  // 6
                                               "  Bump n\n"              // 7
                                               "  Log \"bumped \" & n\n" // 8
                                               "End Sub\n"               // 9
                                               "Sub Bump(count)\n"       // 10
                                               "  count = count + 1\n"   // 11
                                               "End Sub\n"));            // 12
    QVERIFY(engine);
    // One step; answers "state:line".
    const auto step = [&] {
        const auto started = engine->Start(3, Variant::missing());
        if (!started)
            return QStringLiteral("<%1>").arg(started.error());
        if (!isTrue(value(engine->Wait(Patience, Variant::missing()))))
            return QStringLiteral("<not at rest>");
        return QStringLiteral("%1:%2").arg(value(engine->State())).arg(value(engine->LineNumber()));
    };
    for (const char* at : {"2:1", "2:2", "2:4", "2:5", "2:6"})
        QCOMPARE(step(), QString::fromLatin1(at));
    QCOMPARE(shown(engine->Execute(QStringLiteral("n"), Variant())), QStringLiteral("1"));
    QCOMPARE(shown(engine->Execute(QStringLiteral("n = Arg"), Variant(qint32(5)))),
             QStringLiteral("<empty>"));
    QCOMPARE(shown(engine->Execute(QStringLiteral("n * 2"), Variant())), QStringLiteral("10"));
    QCOMPARE(step(), QStringLiteral("2:7"));
    QCOMPARE(lastEntry(*engine), QStringLiteral("local 5"));
    QCOMPARE(step(), QStringLiteral("2:11"));
    // In Bump, `n` is not a variable of its own: the module's shows through.
    QCOMPARE(shown(engine->Execute(QStringLiteral("count & \"/\" & n"), Variant())),
             QStringLiteral("5/module"));
    ENGINE_OK(engine->Execute(QStringLiteral("count = 41"), Variant()));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QCOMPARE(lastEntry(*engine), QStringLiteral("End (exit code 0)"));
    QVERIFY(entries(*engine).contains(QStringLiteral("bumped 42")));
    QCOMPARE(shown(engine->Execute(QStringLiteral("n"), Variant())), QStringLiteral("module"));
    QCOMPARE(shown(engine->Execute(QStringLiteral("IsEmpty(count)"), Variant())),
             QStringLiteral("True"));
}

// Typed text that runs past its bound is stopped on its own: the script paused under it stays
// paused where it stood and steps on.
void TestEngineRunning::executeOverrunKeepsPause()
{
    auto engine = createdEngine(stepped);
    QVERIFY(engine);
    for (int line : {1, 3}) {
        ENGINE_OK(engine->Start(3, Variant::missing()));
        ENGINE_REST(*engine);
        QCOMPARE(value(engine->LineNumber()), line);
    }
    QCOMPARE(shown(engine->Execute(QStringLiteral("Do : Loop"), Variant())),
             QStringLiteral("<The typed text ran longer than 5000 ms and was stopped.>"));
    ENGINE_OK(engine->Start(3, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 2);
    QCOMPARE(value(engine->LineNumber()), 4);
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(lastEntry(*engine), QStringLiteral("End (exit code 0)"));
    QCOMPARE(shown(engine->Execute(QStringLiteral("c"), Variant())), QStringLiteral("3"));
}

// Initialize stops the script and forgets its module variables, line and exit code: the next
// start runs the module statements again.
void TestEngineRunning::initializeResetsModule()
{
    auto engine = createdEngine(counting);
    QVERIFY(engine);
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(shown(engine->Execute(QStringLiteral("n"), Variant())), QStringLiteral("1"));
    ENGINE_OK(engine->Stop(4, Variant::missing()));
    QCOMPARE(shown(engine->Execute(QStringLiteral("IsEmpty(n)"), Variant())),
             QStringLiteral("True"));
    QVERIFY(value(engine->ExitCode()).isEmpty());
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(entries(*engine).count(QStringLiteral("module")), 2);

    // While a script runs.
    ENGINE_OK(engine->Text(endless));
    ENGINE_OK(engine->Start(2, Variant::missing()));
    ENGINE_OK(engine->Stop(4, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QCOMPARE(value(engine->LineNumber()), 0);
    QVERIFY(value(engine->ExitCode()).isEmpty());
    QCOMPARE(shown(engine->Execute(QStringLiteral("IsEmpty(n)"), Variant())),
             QStringLiteral("True"));
}

// An instance ends when its last reference goes (a local at the end of Main) and, for those the
// module keeps, when the program ends: Initialize while idle, or another script text at the next
// Start. A Class_Terminate that never returns is stopped by the clock, not by hanging the engine.
void TestEngineRunning::programEndEndsInstances()
{
    const QString tracked = QStringLiteral("Class Tracked\n"
                                           "  Public Label\n"
                                           "  Private Sub Class_Terminate\n"
                                           "    Log \"ended \" & Label\n"
                                           "    If Label = \"stuck\" Then\n"
                                           "      Do : Loop\n"
                                           "    End If\n"
                                           "  End Sub\n"
                                           "End Class\n");
    const QString script = tracked + QStringLiteral("Dim kept\n"
                                                    "Set kept = New Tracked\n"
                                                    "kept.Label = \"kept\"\n"
                                                    "Sub Main\n"
                                                    "  Dim local\n"
                                                    "  Set local = New Tracked\n"
                                                    "  local.Label = \"local\"\n"
                                                    "End Sub\n");
    auto engine = createdEngine(script);
    QVERIFY(engine);
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(entries(*engine).mid(1), (QStringList{"ended local", "End (exit code 0)"}));
    ENGINE_OK(engine->ClearLog());
    ENGINE_OK(engine->Stop(4, Variant::missing()));
    QCOMPARE(entries(*engine), (QStringList{"ended kept", "Initialized"}));

    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    ENGINE_OK(engine->ClearLog());
    ENGINE_OK(engine->Text(counting));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(entries(*engine).first(2), (QStringList{"ended kept", "Start One Cycle (Main)"}));

    ENGINE_OK(engine->Text(script + QStringLiteral("kept.Label = \"stuck\"\n")));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    ENGINE_OK(engine->ClearLog());
    QElapsedTimer clock;
    clock.start();
    ENGINE_OK(engine->Stop(4, Variant::missing()));
    QVERIFY(clock.elapsed() < Patience);
    const QStringList ended = entries(*engine);
    QCOMPARE(ended.size(), 3);
    QCOMPARE(ended[0], QStringLiteral("ended stuck"));
    QCOMPARE(ended[1], QStringLiteral("Class_Terminate stopped at line 6: the program's end gives "
                                      "it 2 seconds"));
    QCOMPARE(ended[2], QStringLiteral("Initialized"));
    QCOMPARE(shown(engine->Execute(QStringLiteral("IsEmpty(kept)"), Variant())),
             QStringLiteral("True"));
}

// One cycle without the hook runs like one cycle; it cannot be paused.
void TestEngineRunning::fastCycle()
{
    auto engine = createdEngine(counting);
    QVERIFY(engine);
    ENGINE_OK(engine->Start(5, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(entries(*engine),
             (QStringList{"Start One Cycle (Fast) (Main)", "module", "1", "End (exit code 0)"}));

    ENGINE_OK(engine->Text(endless));
    ENGINE_OK(engine->Start(5, Variant::missing()));
    ENGINE_FAILS(engine->Stop(2, Variant::missing()));
    QCOMPARE(value(engine->State()), 1);
    ENGINE_OK(engine->Stop(0, Variant::missing())); // immediate: not a continuous run
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
}

// What cannot be done is refused with a description and changes nothing.
void TestEngineRunning::refusals()
{
    ReferenceEngine fresh;
    const auto beforeCreate = fresh.Start(1, Variant::missing());
    QVERIFY(!beforeCreate);
    QCOMPARE(beforeCreate.error(),
             QStringLiteral("The engine is not created yet: call Create first."));
    ENGINE_FAILS(fresh.State());

    auto engine = createdEngine(endless);
    QVERIFY(engine);
    ENGINE_FAILS(engine->Start(0, Variant::missing()));
    ENGINE_FAILS(engine->Start(6, Variant::missing()));
    ENGINE_FAILS(engine->Stop(5, Variant::missing()));
    ENGINE_OK(engine->Stop(1, Variant::missing())); // nothing runs: nothing to do
    ENGINE_OK(engine->StartUp(QStringLiteral("Teardown")));
    const auto missing = engine->Start(1, Variant::missing());
    QVERIFY(!missing);
    QVERIFY2(missing.error().contains(QLatin1String("'Teardown'")), qPrintable(missing.error()));
    QCOMPARE(value(engine->State()), 0);
    ENGINE_OK(engine->StartUp(QStringLiteral("Main")));

    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_FAILS(engine->Start(1, Variant::missing()));
    ENGINE_FAILS(engine->Start(3, Variant::missing()));
    ENGINE_FAILS(engine->Text(QStringLiteral("Sub Main\nEnd Sub\n")));
    ENGINE_FAILS(engine->Open(QStringLiteral("/nonexistent.vbs"), Variant::missing()));
    ENGINE_FAILS(engine->New(Variant::missing()));
    ENGINE_FAILS(engine->Execute(QStringLiteral("n"), Variant()));
    ENGINE_FAILS(engine->Release(Variant::missing()));
    QCOMPARE(value(engine->Text()), endless);
    ENGINE_OK(engine->Stop(1, Variant::missing()));
    ENGINE_REST(*engine);
    ENGINE_OK(engine->Release(Variant::missing()));
    const auto afterRelease = engine->Text();
    QVERIFY(!afterRelease);
    QCOMPARE(afterRelease.error(), QStringLiteral("The engine has been released."));
    ENGINE_FAILS(engine->Create(Variant::missing()));
}

// A syntax error fails Start with its description, which the log keeps too.
void TestEngineRunning::syntaxErrorFailsStart()
{
    auto engine = createdEngine(QStringLiteral("Sub Main\n  If x Then\nEnd Sub\n"));
    QVERIFY(engine);
    const auto started = engine->Start(1, Variant::missing());
    QVERIFY(!started);
    QVERIFY2(started.error().startsWith(QLatin1String("Syntax error at line 3")),
             qPrintable(started.error()));
    QCOMPARE(lastEntry(*engine), started.error());
    QCOMPARE(value(engine->State()), 0);
    QVERIFY(!isTrue(value(engine->Check(Variant::missing()))));

    ENGINE_OK(engine->Text(QStringLiteral("Sub Main\nEnd Sub\n")));
    QVERIFY(isTrue(value(engine->Check(Variant::missing()))));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->ExitCode()), Variant(qint32(0)));
}

void TestEngineRunning::destroyedWhile_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("state");

    QTest::newRow("running") << endless << 2 << 1;
    QTest::newRow("paused") << endless << 3 << 2;
    QTest::newRow("in Sleep") << QStringLiteral("Sub Main\n  Log \"sleeping\"\n  Sleep 600000\n"
                                                "End Sub\n")
                              << 1 << 1;
    QTest::newRow("paused, released through the service") << stepped << 3 << 2;
}

// The last reference going stops the script and joins its thread, whatever the script does.
void TestEngineRunning::destroyedWhile()
{
    QFETCH(QString, source);
    QFETCH(int, mode);
    QFETCH(int, state);

    auto engine = createdEngine(source);
    QVERIFY(engine);
    QPointer<QObject> watched(engine.get());
    ENGINE_OK(engine->Start(mode, Variant::missing()));
    if (source.contains(QLatin1String("sleeping")))
        QTRY_COMPARE_WITH_TIMEOUT(lastEntry(*engine), QStringLiteral("sleeping"), Patience);
    if (state == 2)
        ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), state);
    engine.reset();
    QVERIFY(watched.isNull());
}

VELSCRIPT_TEST_MAIN(TestEngineRunning)
#include "tst_engine_running.moc"
