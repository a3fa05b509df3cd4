// The script runner's state machine: the moves its table refuses, and the engine operations that
// come while the runner is between two states (a stop pending, typed text running, a step back
// being answered), which must be refused or wait without any move outside the table.

#include "engine/add_in_bridge.h"
#include "engine/engine_log.h"
#include "engine/script_runner.h"
#include "engine_test_support.h"
#include "support/test_program.h"

#include <QtTest>

#include <atomic>
#include <functional>
#include <thread>

using namespace velscript;
using namespace velscript::engine;
using namespace velscript::engine::test;

Q_DECLARE_METATYPE(velscript::engine::RunnerPhase)

namespace {

// An object of the test's thread that the script calls through the marshal, as a window's add-in
// is called: while it runs, the engine's thread is inside one of the runner's waits.
class Probe : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void Poke()
    {
        if (during)
            during();
    }

    std::function<void()> during;
};

// Each phase from idle along allowed moves.
bool walkTo(RunnerStates& states, RunnerPhase phase)
{
    using enum RunnerPhase;
    std::vector<RunnerPhase> path;
    switch (phase) {
    case Idle:
        break;
    case TypingIdle:
    case Running:
        path = {phase};
        break;
    case Stopping:
    case Paused:
        path = {Running, phase};
        break;
    case SteppingBack:
    case TypingPaused:
        path = {Running, Paused, phase};
        break;
    }
    for (RunnerPhase step : path) {
        if (!states.moveTo(step))
            return false;
    }
    return states.phase() == phase && states.faults() == 0;
}

// The newest log entry without its timestamp.
QString lastEntry(const EngineLog& log)
{
    return log.last().mid(24);
}

QString answer(const std::expected<void, QString>& result)
{
    return result ? QStringLiteral("ok") : result.error();
}

// A runner with the probe bound as `probe`, and the log it writes to.
struct Bench {
    explicit Bench(const QString& text)
    {
        auto bridge = std::make_shared<AddInBridge>(std::static_pointer_cast<QObject>(probe),
                                                    runner.marshal(),
                                                    [this] { return runner.stopRequested(); });
        runner.setProgram(
            Program{text, QStringLiteral("Main"), {{QStringLiteral("probe"), bridge}}});
    }

    EngineLog log;
    ScriptRunner runner{log};
    std::shared_ptr<Probe> probe = std::make_shared<Probe>();
};

} // namespace

class TestEngineRunnerStates : public QObject {
    Q_OBJECT

private slots:
    void refusedMoves_data();
    void refusedMoves();
    void documentedStates();
    void startWhileStopPending();
    void whileTypedTextRuns_data();
    void whileTypedTextRuns();
    void stopDuringStepBack();
};

void TestEngineRunnerStates::refusedMoves_data()
{
    QTest::addColumn<RunnerPhase>("from");
    QTest::addColumn<RunnerPhase>("to");

    using enum RunnerPhase;
    QTest::newRow("start while a stop is pending") << Stopping << Running;
    QTest::newRow("pause on the way out") << Stopping << Paused;
    QTest::newRow("start while typed text runs") << TypingIdle << Running;
    QTest::newRow("step while typed text runs in the pause") << TypingPaused << Running;
    QTest::newRow("stop during step back") << SteppingBack << Stopping;
    QTest::newRow("typed text during step back") << SteppingBack << TypingPaused;
    QTest::newRow("pause without a run") << Idle << Paused;
    QTest::newRow("a paused script ends without stopping") << Paused << Idle;
}

// A move outside the table is refused and counted: the phase and the state stay as they were.
void TestEngineRunnerStates::refusedMoves()
{
    QFETCH(RunnerPhase, from);
    QFETCH(RunnerPhase, to);

    QVERIFY(!isAllowed(from, to));
    RunnerStates states;
    QVERIFY(walkTo(states, from));
    const ScriptState before = states.state();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("may not go from")));
    QVERIFY(!states.moveTo(to));
    QCOMPARE(states.phase(), from);
    QCOMPARE(states.state(), before);
    QCOMPARE(states.faults(), 1);
}

// A step, a step back, typed text and a stop, with the state the engine reports at each phase.
void TestEngineRunnerStates::documentedStates()
{
    using enum RunnerPhase;
    RunnerStates states;
    QString shown = QString::number(int(states.state()));
    for (RunnerPhase phase : {Running, Paused, SteppingBack, Paused, TypingPaused, Paused, Stopping,
                              Idle, TypingIdle, Idle}) {
        QVERIFY2(states.moveTo(phase), qPrintable(phaseName(phase)));
        shown += QString::number(int(states.state()));
    }
    QCOMPARE(shown, QStringLiteral("01212221000"));
    QCOMPARE(states.faults(), 0);
}

// Stopped at once while the script waits for an add-in call, the script is on its way out: a
// start is refused until it has ended, and works again afterwards.
void TestEngineRunnerStates::startWhileStopPending()
{
    Bench bench(QStringLiteral("Sub Main\n  probe.Poke\n  Log \"after\"\nEnd Sub\n"));
    QStringList answers;
    bench.probe->during = [&] {
        answers << answer(bench.runner.stop(int(StopMode::Immediate)));
        answers << QString::number(int(bench.runner.state()));
        answers << answer(bench.runner.start(int(StartMode::OneCycle)));
        answers << answer(bench.runner.start(int(StartMode::StepForward)));
    };
    QVERIFY(bench.runner.start(int(StartMode::OneCycle)));
    QVERIFY(bench.runner.waitForRest(Patience));
    QCOMPARE(answers, (QStringList{"ok", "1", "A script is running.", "A script is running."}));
    QCOMPARE(bench.runner.state(), ScriptState::Idle);
    QCOMPARE(lastEntry(bench.log), QStringLiteral("Stopped at line 3"));
    QCOMPARE(bench.runner.transitionFaults(), 0);

    bench.probe->during = nullptr;
    QVERIFY(bench.runner.start(int(StartMode::OneCycle)));
    QVERIFY(bench.runner.waitForRest(Patience));
    QCOMPARE(lastEntry(bench.log), QStringLiteral("End (exit code 0)"));
    QCOMPARE(bench.runner.transitionFaults(), 0);
}

void TestEngineRunnerStates::whileTypedTextRuns_data()
{
    QTest::addColumn<bool>("paused");
    QTest::addColumn<int>("stopMode");
    QTest::addColumn<QString>("stateAfter");

    // Idle, the typed text is bounded by its own time: a stop does not end it.
    QTest::newRow("idle, immediate stop") << false << 1 << "0";
    QTest::newRow("idle, initialize") << false << 4 << "0";
    // Paused, the script goes on once the text has ended: a cycle stop resumes it to the end of
    // its cycle, a stop at once ends it at its next statement.
    QTest::newRow("paused, step stop") << true << 2 << "2";
    QTest::newRow("paused, cycle stop") << true << 3 << "0";
    QTest::newRow("paused, immediate stop") << true << 1 << "0";
}

// Typed text runs alone: a start, a step or more typed text that come while it runs (here from an
// add-in it calls) are refused; a stop acts as the text's phase allows. No move leaves the table.
void TestEngineRunnerStates::whileTypedTextRuns()
{
    QFETCH(bool, paused);
    QFETCH(int, stopMode);
    QFETCH(QString, stateAfter);

    Bench bench(stepped);
    if (paused) {
        QVERIFY(bench.runner.start(int(StartMode::StepForward)));
        QVERIFY(bench.runner.waitForRest(Patience));
        QCOMPARE(bench.runner.state(), ScriptState::Paused);
    }
    const QString before = QString::number(int(bench.runner.state()));
    QStringList answers;
    bench.probe->during = [&] {
        answers << answer(bench.runner.start(int(StartMode::OneCycle)));
        answers << answer(bench.runner.start(int(StartMode::StepForward)));
        const auto nested = bench.runner.execute(QStringLiteral("a"), Variant());
        answers << (nested ? QStringLiteral("ok") : nested.error());
        answers << QString::number(int(bench.runner.state()));
        answers << answer(bench.runner.stop(stopMode));
    };
    const auto typed = bench.runner.execute(QStringLiteral("probe.Poke"), Variant());
    QCOMPARE(typed ? QStringLiteral("ok") : typed.error(), QStringLiteral("ok"));
    QCOMPARE(answers,
             (QStringList{"A script is running.", "A script is running.",
                          "A script is running: Execute waits until it is paused or stopped.",
                          before, "ok"}));
    QVERIFY(bench.runner.waitForRest(Patience));
    QCOMPARE(QString::number(int(bench.runner.state())), stateAfter);
    QCOMPARE(bench.runner.transitionFaults(), 0);

    // Whatever the stop did, the runner takes a start again once at rest.
    bench.probe->during = nullptr;
    if (bench.runner.state() == ScriptState::Paused)
        QVERIFY(bench.runner.stop(int(StopMode::Immediate)));
    QVERIFY(bench.runner.waitForRest(Patience));
    QVERIFY(bench.runner.start(int(StartMode::OneCycle)));
    QVERIFY(bench.runner.waitForRest(Patience));
    QCOMPARE(lastEntry(bench.log), QStringLiteral("End (exit code 0)"));
    QCOMPARE(bench.runner.transitionFaults(), 0);
}

// A stop that comes while a step back is answered waits for the answer and then ends the script,
// wherever the worker happens to be; many rounds, so that the stop lands at each point.
void TestEngineRunnerStates::stopDuringStepBack()
{
    Bench bench(stepped);
    for (int round = 0; round < 200; ++round) {
        // From idle the first pause is in the module on the first run, in Main afterwards.
        for (int step = 0; step < 3 && bench.runner.lineNumber() != 4; ++step) {
            QVERIFY(bench.runner.start(int(StartMode::StepForward)));
            QVERIFY(bench.runner.waitForRest(Patience));
        }
        QCOMPARE(bench.runner.lineNumber(), 4);
        std::expected<void, QString> back;
        std::atomic<bool> answered{false};
        std::thread stepper([&] {
            back = bench.runner.start(int(StartMode::StepBackward));
            answered = true;
        });
        // Every other round the stop waits until the step back has begun.
        while (round % 2 == 0 && !answered && bench.runner.state() == ScriptState::Paused &&
               bench.runner.lineNumber() == 4)
            std::this_thread::yield();
        QVERIFY(bench.runner.stop(int(StopMode::Immediate)));
        stepper.join();
        QVERIFY(bench.runner.waitForRest(Patience));
        QCOMPARE(bench.runner.state(), ScriptState::Idle);
        QVERIFY2(lastEntry(bench.log).startsWith(QLatin1String("Stopped at line")),
                 qPrintable(lastEntry(bench.log)));
        // Refused only as a step back that came after the stop: the script was on its way out,
        // or already at rest.
        if (!back)
            QVERIFY2(back.error() == QLatin1String("A script is running.") ||
                         back.error() == QLatin1String("Step back needs a paused script."),
                     qPrintable(back.error()));
        QCOMPARE(bench.runner.transitionFaults(), 0);
    }
}

VELSCRIPT_TEST_MAIN(TestEngineRunnerStates)
#include "tst_engine_runner_states.moc"
