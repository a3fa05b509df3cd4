// The journal's cost on the window's most frequent call: 100,000 Text reads against an engine
// that answers at once, made bare through the interface, through an engine reference with the
// journal off, with the journal on to the velscript.calls category (its output discarded), and
// with the journal on to a file. Prints the median time per read of each and its ratio to the
// bare read, measured in the same run.
#include "core/engine_ref.h"
#include "engine_kit/class_ids.h"
#include "journal/journal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace velscript;

// An engine that answers every operation at once, so that what is measured is the way to it.
class BareEngine : public QObject, public VelScriptEngine {
    Q_OBJECT
    Q_INTERFACES(velscript::VelScriptEngine)
public:
    Result<> Create(const Variant&) override { return {}; }
    Result<> Release(const Variant&) override { return {}; }
    Result<> Show(const Variant&) override { return {}; }
    Result<> Hide(const Variant&) override { return {}; }
    Result<Boolean> Visible() override { return False; }
    Result<> Visible(Boolean) override { return {}; }
    Result<Boolean> ReadOnly() override { return False; }
    Result<> ReadOnly(Boolean) override { return {}; }
    Result<Boolean> Modified() override { return False; }
    Result<> Modified(Boolean) override { return {}; }
    Result<> GUIEnabled(const QString&, Boolean) override { return {}; }
    Result<Boolean> GUIEnabled(const QString&) override { return False; }
    Result<qint32> hWnd() override { return 0; }
    Result<Boolean> Open(const QString&, const Variant&) override { return False; }
    Result<Boolean> Save(const QString&, const Variant&) override { return False; }
    Result<QString> FileName() override { return QString(); }
    Result<> New(const Variant&) override { return {}; }
    Result<Boolean> Check(const Variant&) override { return True; }
    Result<> Start(qint32, const Variant&) override { return {}; }
    Result<> Stop(qint32, const Variant&) override { return {}; }
    Result<Boolean> Wait(qint32, const Variant&) override { return True; }
    Result<> AddObject(const QString&, ObjectRef&) override { return {}; }
    Result<> RemoveObject(const QString&) override { return {}; }
    Result<> ClearLog() override { return {}; }
    Result<qint32> State() override { return 0; }
    Result<qint32> LineNumber() override { return 0; }
    Result<QString> Text() override { return m_text; }
    Result<> Text(const QString& value) override
    {
        m_text = value;
        return {};
    }
    Result<QString> StartUp() override { return QString(); }
    Result<> StartUp(const QString&) override { return {}; }
    Result<Variant> ExitCode() override { return Variant(); }
    Result<QString> Log() override { return QString(); }
    Result<QString> LastLog() override { return QString(); }
    Result<Variant> Tag() override { return Variant(); }
    Result<> Tag(const Variant&) override { return {}; }
    Result<Variant> Execute(const QString&, const Variant&) override { return Variant(); }

private:
    QString m_text = QStringLiteral("Sub Main\n    Log \"hello\"\nEnd Sub\n");
};

constexpr int Reads = 100000;
constexpr int Rounds = 5;

// The median over the rounds of the time per read, in nanoseconds.
template <class Read> double nanosPerRead(Read&& read)
{
    std::vector<double> rounds;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        qsizetype total = 0;
        for (int i = 0; i < Reads; ++i)
            total += read();
        rounds.push_back(double(timer.nsecsElapsed()) / Reads);
        if (total == 0)
            std::puts("no text read");
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

double throughReference()
{
    velscript::journal::Journal::instance().restart();
    const EngineRef engine = EngineRef::create(VelScriptEngineClassId, 0);
    return nanosPerRead([&] { return check(engine->Text()).size(); });
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ComponentService::instance().registerClass(VelScriptEngineClassId,
                                               [] { return new BareEngine; });
    qunsetenv("VELSCRIPT_JOURNAL");
    QLoggingCategory::setFilterRules(QStringLiteral("velscript.calls.info=false"));

    BareEngine bareEngine;
    VelScriptEngine* bare = &bareEngine;
    const double baseline = nanosPerRead([&] { return check(bare->Text()).size(); });
    const double off = throughReference();

    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QLoggingCategory::setFilterRules(QStringLiteral("velscript.calls.info=true"));
    const double category = throughReference();
    QLoggingCategory::setFilterRules(QStringLiteral("velscript.calls.info=false"));

    QTemporaryDir dir;
    qputenv("VELSCRIPT_JOURNAL", QFile::encodeName(dir.filePath(QStringLiteral("calls.jsonl"))));
    const double file = throughReference();
    qunsetenv("VELSCRIPT_JOURNAL");

    std::printf("%d Text reads, median of %d rounds, time per read:\n", Reads, Rounds);
    const auto row = [&](const char* name, double nanos) {
        std::printf("  %-34s %9.1f ns   ratio to bare %7.1f\n", name, nanos, nanos / baseline);
    };
    row("bare call", baseline);
    row("journal off", off);
    row("journal on, category (discarded)", category);
    row("journal on, file", file);
    return 0;
}

#include "journal_bench.moc"
