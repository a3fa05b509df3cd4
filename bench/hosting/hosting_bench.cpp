// An engine in a host process against the same engine loaded in process, in the same run, with
// the reference engine built as a plugin:
// - a read of Text, median of 2,000;
// - Create of an engine (the host's start included), median of 20;
// - Start of one cycle of an empty routine until State reads 0 again, median of 300.
// Usage: velscript_hosting_bench REFERENCE-COMPONENTS-FOLDER

#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"
#include "engine_kit/hosting.h"
#include "engine_kit/velscript_engine.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace velscript;

namespace {

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double microseconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1000.0;
}

struct Made {
    ObjectRef object;
    VelScriptEngine* engine = nullptr;
};

Made make(bool hosted)
{
    if (hosted)
        qunsetenv("VELSCRIPT_IN_PROCESS");
    else
        qputenv("VELSCRIPT_IN_PROCESS", "1");
    Made made;
    made.object = ComponentService::instance().create(VelScriptEngineClassId);
    made.engine = qobject_cast<VelScriptEngine*>(made.object.get());
    if (!made.engine || isHosted(*made.object) != hosted ||
        !made.engine->Create(Variant::missing()))
        std::fprintf(stderr, "The engine was not made %s.\n", hosted ? "hosted" : "in process");
    return made;
}

std::vector<double> textReads(VelScriptEngine& engine)
{
    std::vector<double> samples;
    for (int i = 0; i < 2000; ++i) {
        QElapsedTimer timer;
        timer.start();
        const auto text = engine.Text();
        samples.push_back(microseconds(timer));
        if (!text)
            std::fprintf(stderr, "Text failed: %s\n", qPrintable(text.error()));
    }
    return samples;
}

std::vector<double> creates(bool hosted)
{
    std::vector<double> samples;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer timer;
        timer.start();
        Made made = make(hosted);
        samples.push_back(microseconds(timer));
    }
    return samples;
}

std::vector<double> emptyCycles(VelScriptEngine& engine)
{
    if (!engine.Text(QStringLiteral("Sub Main\nEnd Sub\n")))
        std::fprintf(stderr, "Text could not be put.\n");
    std::vector<double> samples;
    for (int i = 0; i < 300; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!engine.Start(1, Variant::missing()))
            std::fprintf(stderr, "Start failed.\n");
        while (engine.State().value_or(0) != 0) {
        }
        samples.push_back(microseconds(timer));
    }
    return samples;
}

void report(const char* what, double inProcess, double hosted, const char* goal)
{
    std::printf("%-34s in process %9.3f µs   hosted %9.1f µs   ratio %7.0f   (goal: hosted %s)\n",
                what, inProcess, hosted, hosted / inProcess, goal);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: velscript_hosting_bench REFERENCE-COMPONENTS-FOLDER\n");
        return 2;
    }
    qputenv("VELSCRIPT_COMPONENT_PATH", argv[1]);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Each engine once before timing, so that the library is loaded and the caches are warm.
    Made inProcess = make(false);
    Made hosted = make(true);
    if (!inProcess.engine || !hosted.engine)
        return 1;

    report("Text read (median of 2,000)", median(textReads(*inProcess.engine)),
           median(textReads(*hosted.engine)), "under 100 µs");
    report("Create (median of 20)", median(creates(false)), median(creates(true)), "under 150 ms");
    report("Start, empty cycle to State 0", median(emptyCycles(*inProcess.engine)),
           median(emptyCycles(*hosted.engine)), "under 2 ms");
    return 0;
}
