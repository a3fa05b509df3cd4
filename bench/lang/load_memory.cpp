// What loading a script costs in memory: the bytes the loaded program keeps per statement
// (counted by the C library's allocator) and the peak resident size while loading a long script
// of `x = 1` lines.
//
// velscript_load_memory [MEGABYTES]   (default 20)

#include "lang/interpreter.h"

#include <QString>

#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

class QuietHost : public velscript::lang::Host {
public:
    void log(const QString&) override {}
};

size_t allocatedBytes()
{
    return mallinfo2().uordblks + mallinfo2().hblkhd;
}

long peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QString lines(qsizetype count, const QString& line)
{
    QString source;
    source.reserve(count * (line.size() + 1));
    for (qsizetype i = 0; i < count; ++i) {
        source += line;
        source += u'\n';
    }
    return source;
}

// Bytes the interpreter holds per statement once the source is loaded.
double keptPerStatement(const QString& line, qsizetype count)
{
    const QString source = lines(count, line);
    QuietHost host;
    velscript::lang::Interpreter interpreter(host);
    malloc_trim(0);
    const size_t before = allocatedBytes();
    if (const auto error = interpreter.load(source)) {
        std::fprintf(stderr, "does not load: %s\n", qPrintable(error->text()));
        std::exit(1);
    }
    return double(allocatedBytes() - before) / double(count);
}

} // namespace

int main(int argc, char** argv)
{
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 20;
    for (const char* line : {"x = 1", "If a < 10 Then b = b + Len(s) * 2", "Log \"text\" & i"}) {
        std::printf("kept after load: %6.0f bytes a statement for `%s`\n",
                    keptPerStatement(QString::fromLatin1(line), 100000), line);
    }

    const qsizetype count = qsizetype(megabytes * 1024 * 1024 / 6);
    const QString source = lines(count, QStringLiteral("x = 1"));
    const long before = peakResidentKiB();
    QuietHost host;
    velscript::lang::Interpreter interpreter(host);
    const auto error = interpreter.load(source);
    const long peak = peakResidentKiB();
    std::printf("%.0f MB script of `x = 1` lines (%lld statements): %s, peak resident size "
                "%.0f MiB (%.0f MiB above the source in memory)\n",
                megabytes, qlonglong(count), error ? qPrintable(error->text()) : "loaded",
                peak / 1024.0, (peak - before) / 1024.0);
    return error ? 1 : 0;
}
