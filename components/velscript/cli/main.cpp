// The command-line runner: runs a script's module-level statements, then the named routine, and
// writes each Log entry to standard output. Exit status 0 on success, 1 on a script error
// (reported as FILE:LINE: message on standard error, followed by the calls that were active),
// 2 on a usage error.

#include "lang/interpreter.h"
#include "lang/script_file.h"
#include "velscript_version.h"

#include <QString>

#include <cstdio>
#include <new>
#include <optional>

namespace {

using velscript::lang::Interpreter;
using velscript::lang::Outcome;
using velscript::lang::ScriptError;

class ConsoleHost : public velscript::lang::Host {
public:
    void log(const QString& text) override
    {
        const QByteArray bytes = text.toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        std::fputc('\n', stdout);
    }
};

int usage(const char* message)
{
    std::fprintf(stderr, "velscript: %s\nusage: velscript [--routine NAME] [--fast] FILE\n",
                 message);
    return 2;
}

constexpr char helpText[] =
    "usage: velscript [--routine NAME] [--fast] FILE\n"
    "Runs a VelScript program: its module-level statements, then the routine NAME if given.\n"
    "Each Log entry is written to standard output; errors go to standard error.\n\n"
    "  --routine NAME  call this Sub or Function after the module-level statements\n"
    "  --fast          run without the per-statement hook the engine uses for stepping\n"
    "  -h, --help      show this text\n"
    "  -v, --version   show the version\n\n"
    "Exit status: 0 the script ran to its end, 1 a syntax or run-time error,\n"
    "2 a usage error or a file that cannot be read.\n";

// Well past the engine's bound, so that generated scripts of tens of MB run; a larger file would
// take many GB to load (a plain statement keeps some 30 bytes a byte of source), so it is refused
// before any of it is read.
constexpr qint64 MaxScriptFileSize = qint64(256) << 20;

int unreadable(const QString& file, const QString& reason)
{
    std::fprintf(stderr, "velscript: cannot read %s: %s\n", qPrintable(file), qPrintable(reason));
    return 2;
}

int report(const QString& file, const ScriptError& error)
{
    std::fflush(stdout);
    const QByteArray bytes =
        velscript::lang::formatError(error, velscript::lang::ErrorLayout::Listing, file).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QString routine;
    QString file;
    bool fast = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {
            std::printf("velscript %s\n", VELSCRIPT_VERSION);
            return 0;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(helpText, stdout);
            return 0;
        } else if (arg == QLatin1String("--fast")) {
            fast = true;
        } else if (arg == QLatin1String("--routine")) {
            if (++i >= argc || !*argv[i])
                return usage("--routine needs a name");
            routine = QString::fromLocal8Bit(argv[i]);
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return usage(qPrintable(QStringLiteral("unknown option %1").arg(arg)));
        } else if (file.isEmpty()) {
            file = arg;
        } else {
            return usage("only one script file can be run");
        }
    }
    if (file.isEmpty())
        return usage("no script file given");

    ConsoleHost host;
    Interpreter interpreter(host);
    interpreter.setHooked(!fast);
    std::optional<ScriptError> error;
    try {
        // Read as the engine's Open reads it; the file's bytes are freed before the load, which
        // needs the memory more.
        const auto text = velscript::lang::readScriptFile(file, MaxScriptFileSize);
        if (!text)
            return unreadable(file, text.error());
        error = interpreter.load(*text);
    } catch (const std::bad_alloc&) {
        // Too large even to read: the error load() gives for a source too large to load.
        error = velscript::lang::outOfMemory();
    }
    if (error)
        return report(file, *error);
    // A misspelt routine name is found before the module's statements run, as a syntax error is.
    if (!routine.isEmpty() && !interpreter.hasRoutine(routine)) {
        std::fprintf(stderr, "%s: no Sub or Function named %s\n", qPrintable(file),
                     qPrintable(routine));
        return 1;
    }
    Outcome outcome = interpreter.runModule();
    if (outcome.finished() && !routine.isEmpty())
        outcome = interpreter.callRoutine(routine);
    std::fflush(stdout);
    if (outcome.failed())
        return report(file, outcome.error);
    return 0;
}
