// The reference engine's two speeds, each against a baseline measured in the same run:
// - Start (one cycle of an empty routine) until the engine is idle again, median of 1,000 runs,
//   against the bare cost of handing a task to a waiting thread and waiting for it to finish;
// - statements per second of a counting loop run continuously with the per-statement hook, with
//   no breakpoint and with one on a line the run never reaches, against the same loop run by
//   `velscript --fast`.
// Usage: velscript_engine_bench PATH-TO-velscript

#include "engine/reference_engine.h"
#include "engine/script_runner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

using namespace velscript;

namespace {

constexpr int StartRuns = 1000;
constexpr int Rounds = 1000000; // rounds of the counting loop per cycle
constexpr int CliCycles = 5;

const QString loop = QStringLiteral("Dim cycles\n"
                                    "Sub Main\n"
                                    "  Dim i, total\n"
                                    "  For i = 1 To %1\n"
                                    "    total = total + 1\n"
                                    "  Next\n"
                                    "  cycles = cycles + 1\n"
                                    "End Sub\n"
                                    "Sub Never\n"
                                    "  cycles = 0\n" // line 10: a breakpoint the run never reaches
                                    "End Sub\n")
                         .arg(Rounds);
constexpr int NeverReached = 10;

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Hands an empty task to a waiting thread and waits until it is done, as often as Start is timed.
std::vector<double> handoffMs()
{
    std::mutex mutex;
    std::condition_variable changed;
    int posted = 0;
    int done = 0;
    bool quit = false;
    std::thread worker([&] {
        std::unique_lock lock(mutex);
        while (true) {
            changed.wait(lock, [&] { return quit || posted > done; });
            if (quit)
                return;
            ++done;
            changed.notify_all();
        }
    });
    std::vector<double> samples;
    for (int run = 0; run < StartRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        std::unique_lock lock(mutex);
        ++posted;
        changed.notify_all();
        changed.wait(lock, [&] { return done == posted; });
        samples.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    {
        const std::lock_guard lock(mutex);
        quit = true;
    }
    changed.notify_all();
    worker.join();
    return samples;
}

bool ok(const Result<>& result)
{
    if (!result)
        std::fprintf(stderr, "engine: %s\n", qPrintable(result.error()));
    return bool(result);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velscript_engine_bench PATH-TO-velscript\n");
        return 2;
    }

    // Start latency.
    engine::ReferenceEngine engine;
    if (!ok(engine.Create(Variant::missing())) ||
        !ok(engine.Text(QStringLiteral("Sub Main\nEnd Sub\n"))))
        return 1;
    std::vector<double> startMs;
    for (int run = 0; run < StartRuns + 10; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!ok(engine.Start(1, Variant::missing())))
            return 1;
        if (!isTrue(engine.Wait(10000, Variant::missing()).value_or(False)))
            return 1;
        if (run >= 10) // the first runs load the program and warm up
            startMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const double start = median(startMs);
    const double handoff = median(handoffMs());
    std::printf("Start one cycle (empty routine) to idle: median %.4f ms over %d runs "
                "(goal < 1 ms)\n",
                start, StartRuns);
    std::printf("  a bare hand-over to a waiting thread and back: median %.4f ms; ratio %.1f\n",
                handoff, start / handoff);

    // Continuous mode with the hook, for about three seconds; rounds per second.
    const auto continuous = [&engine](int breakpoint) -> double {
        // A fresh module each time: cycles counts this run's alone.
        if (!ok(engine.Stop(4, Variant::missing())) || !ok(engine.Text(loop)))
            return -1;
        if (breakpoint > 0 && engine.runner()->breakpoints().set(breakpoint, true) != breakpoint)
            return -1;
        if (!ok(engine.Start(2, Variant::missing())))
            return -1;
        QElapsedTimer running;
        running.start();
        QThread::sleep(3);
        if (!ok(engine.Stop(3, Variant::missing())) ||
            !isTrue(engine.Wait(60000, Variant::missing()).value_or(False)))
            return -1;
        const double seconds = double(running.nsecsElapsed()) / 1e9;
        const auto cycles = engine.Execute(QStringLiteral("cycles"), Variant());
        if (!cycles || engine.State().value_or(-1) != 0)
            return -1;
        return double(cycles->integer()) * Rounds / seconds;
    };
    // Taken in turns, the better of two each: the machine's load changes over a run.
    double engineRate = 0;
    double breakpointRate = 0;
    for (int turn = 0; turn < 2; ++turn) {
        const double none = continuous(0);
        const double one = continuous(NeverReached);
        if (none < 0 || one < 0)
            return 1;
        engineRate = std::max(engineRate, none);
        breakpointRate = std::max(breakpointRate, one);
    }

    // The same loop through the command-line runner without the hook.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("loop.vbs"));
    QFile script(file);
    if (!script.open(QIODevice::WriteOnly))
        return 1;
    script.write(
        (loop + QStringLiteral("For c = 1 To %1\n  Main\nNext\n").arg(CliCycles)).toUtf8());
    script.close();
    QProcess cli;
    QElapsedTimer cliTimer;
    cliTimer.start();
    cli.start(QString::fromLocal8Bit(argv[1]), {QStringLiteral("--fast"), file});
    if (!cli.waitForFinished(120000) || cli.exitCode() != 0) {
        std::fprintf(stderr, "velscript failed: %s\n", cli.readAllStandardError().constData());
        return 1;
    }
    const double cliRate = double(CliCycles) * Rounds / (double(cliTimer.nsecsElapsed()) / 1e9);
    std::printf("counting loop, rounds (one statement and its Next) per second: engine "
                "continuous with the hook %.2f M, "
                "velscript --fast %.2f M\n",
                engineRate / 1e6, cliRate / 1e6);
    std::printf("  ratio engine/fast %.2f (goal >= 0.8)\n", engineRate / cliRate);
    std::printf("  with one breakpoint on a line never reached: %.2f M; ratio to fast %.2f, "
                "to no breakpoint %.3f\n",
                breakpointRate / 1e6, breakpointRate / cliRate, breakpointRate / engineRate);
    return 0;
}
