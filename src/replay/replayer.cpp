#include "replay/replayer.h"

#include "engine_kit/component_service.h"
#include "engine_kit/hosting.h"
#include "engine_kit/velscript_engine.h"
#include "journal/journal_entry.h"
#include "journal/journaled_engine.h"
#include "journal/variant_json.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QRegularExpression>
#include <QThread>

namespace velscript::replay {

namespace {

namespace field = journal::field;
namespace operation = journal::operation;

const QString KindKey = QStringLiteral("kind");
const QString ValueKey = QStringLiteral("value");

// Dates and clock times as logs write them: 2026-12-08, 08/12/2026, 14:03:07.250.
QString withoutTimeStamps(QString text)
{
    static const QRegularExpression stamp(
        QStringLiteral(R"(\d{4}[-/.]\d{1,2}[-/.]\d{1,2}|\d{1,2}[-/.]\d{1,2}[-/.]\d{2,4}|)"
                       R"(\d{1,2}:\d{2}(:\d{2}([.,]\d+)?)?)"));
    return text.replace(stamp, QStringLiteral("<time>"));
}

QString classIdOf(const QJsonObject& encoded)
{
    return encoded.value(QStringLiteral("classId")).toString();
}

} // namespace

struct Replayer::Engine {
    ObjectRef object;
    VelScriptEngine* engine = nullptr;
    bool started = false;
};

Replayer::Replayer(Options options, QTextStream& out) : m_options(std::move(options)), m_out(out)
{
    // Nobody is there to ask: an engine that leaves a call unanswered is ended, and the call
    // then reads as the engine ending, which the journal may well have recorded too.
    m_previousHandler = setUnansweredCallHandler(
        [](const QString&, const std::function<bool()>&) { return UnansweredCall::EndEngine; });
}

Replayer::~Replayer()
{
    setUnansweredCallHandler(std::move(m_previousHandler));
}

Summary Replayer::run(const Journal& journal)
{
    for (const JournalLine& line : journal.lines) {
        if (line.op == operation::Session) {
            // A new run of the program: the engines of the last one ended with it.
            m_engines.clear();
            m_handed.clear();
            ++m_summary.sessions;
        } else if (line.op == operation::InstanceCreate) {
            create(line);
        } else if (line.op == operation::InstanceEnd) {
            m_engines.erase(line.instance);
            ++m_summary.calls;
        } else {
            call(line);
        }
        // What the window's event loop would do between two clicks, such as an add-in call that
        // a script's thread handed over.
        QCoreApplication::processEvents();
    }
    m_engines.clear();
    m_handed.clear();
    return m_summary;
}

void Replayer::create(const JournalLine& line)
{
    ++m_summary.calls;
    const QString classId = line.arguments.at(0).toText();
    QJsonObject now;
    Engine made;
    try {
        made.object = ComponentService::instance().create(classId);
        made.engine = made.object ? query<VelScriptEngine>(made.object) : nullptr;
        // Named as the window named it, so that descriptions of its end read the same.
        if (made.object)
            nameInstance(*made.object, journal::engineName(line.engine));
        now.insert(field::Result, journal::encode(made.object ? Variant(made.object) : Variant()));
    } catch (const Failure& failure) {
        now.insert(field::Failure, failure.description());
        made = {};
    }
    if (made.engine)
        m_engines.insert_or_assign(line.instance, std::move(made));
    else
        m_engines.erase(line.instance);
    compare(line, now);
}

void Replayer::call(const JournalLine& line)
{
    const auto found = m_engines.find(line.instance);
    if (found == m_engines.end()) {
        // Its creation already differed; every call on it would only repeat that.
        ++m_summary.skipped;
        return;
    }
    ++m_summary.calls;
    Engine& engine = found->second;
    const bool waits = engine.started && line.entry.contains(field::Result) &&
                       (line.byName || line.op == QStringLiteral("State.get"));
    qint64 micros = 0;
    const QJsonObject now =
        waits ? waitForRecordedState(line, engine, micros) : callNow(line, engine, micros);
    m_summary.nowMicros += micros;
    m_summary.recordedMicros += line.entry.value(field::Micros).toInteger();
    if (line.op == QStringLiteral("Start") && !now.contains(field::Failure))
        engine.started = true;
    compare(line, now);
}

QJsonObject Replayer::callNow(const JournalLine& line, Engine& engine, qint64& micros)
{
    QElapsedTimer timer;
    timer.start();
    QJsonObject now;
    if (line.byName) {
        const QByteArray name = line.op.chopped(int(qstrlen(".get"))).toUtf8();
        try {
            now.insert(field::Result, journal::encode(readProperty(*engine.object, name)));
        } catch (const Failure& failure) {
            now.insert(field::Failure, failure.description());
        }
    } else {
        QList<Variant> arguments = line.arguments;
        // The add-in object the window hands over: one per class, made on first use, and after
        // each hand-over whatever the engine left in the argument.
        const QJsonArray recorded = line.entry.value(field::Arguments).toArray();
        for (int i = 0; i < arguments.size(); ++i) {
            if (arguments[i].kind() != Variant::Kind::Object)
                continue;
            const QString classId = classIdOf(recorded.at(i).toObject());
            if (classId.isEmpty())
                continue;
            ObjectRef& handed = m_handed[classId];
            if (!handed) {
                try {
                    handed = ComponentService::instance().create(classId);
                } catch (const Failure& failure) {
                    m_out << QStringLiteral("#%1 %2 on engine %3: the object to hand over cannot "
                                            "be made: %4\n")
                                 .arg(line.line)
                                 .arg(line.op)
                                 .arg(line.engine)
                                 .arg(failure.description());
                }
            }
            arguments[i] = Variant(handed);
        }
        const QList<Variant> handed = arguments;
        const Outcome outcome = callOperation(*engine.engine, line.operation->id, arguments);
        journal::insertOutcome(now, line.operation->id, outcome, handed, arguments);
        for (int i = 0; i < arguments.size(); ++i) {
            const QString classId = classIdOf(recorded.at(i).toObject());
            if (arguments[i].kind() == Variant::Kind::Object && !classId.isEmpty())
                m_handed[classId] = arguments[i].object();
        }
    }
    micros = timer.nsecsElapsed() / 1000;
    return now;
}

QJsonObject Replayer::waitForRecordedState(const JournalLine& line, Engine& engine, qint64& micros)
{
    // The script runs on in the engine after Start returned: give it the time the recorded
    // session had, bounded, to reach the state read then.
    const QJsonObject wanted = comparable(line, line.entry);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const QJsonObject now = callNow(line, engine, micros);
        if (comparable(line, now) == wanted || waited.elapsed() >= m_options.waitMs)
            return now;
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
}

QJsonObject Replayer::comparable(const JournalLine& line, const QJsonObject& outcome) const
{
    QJsonObject kept;
    // How an engine's process ended (which signal, after how long) is not compared; that it
    // ended is.
    if (outcome.value(field::Ended).toBool() || outcome.value(field::Begun).toBool()) {
        kept.insert(field::Ended, true);
        return kept;
    }
    const QString how = line.entry.value(field::Compare).toString();
    if (how == journal::comparison::Failed) {
        kept.insert(field::Failure, outcome.contains(field::Failure));
        return kept;
    }
    if (how == journal::comparison::Value && outcome.contains(field::Failure))
        kept.insert(field::Failure, true);
    else if (outcome.contains(field::Failure))
        kept.insert(field::Failure, outcome.value(field::Failure));
    if (outcome.contains(field::Same))
        kept.insert(field::Same, outcome.value(field::Same));
    if (outcome.contains(field::Result)) {
        QJsonObject result = outcome.value(field::Result).toObject();
        // Which class an engine uses for its objects is its own business; which component
        // class they are is not.
        result.remove(QStringLiteral("class"));
        const bool isLog =
            line.op == QStringLiteral("Log.get") || line.op == QStringLiteral("LastLog.get");
        if (isLog && !m_options.compareTiming)
            result.insert(ValueKey, withoutTimeStamps(result.value(ValueKey).toString()));
        kept.insert(field::Result, result);
    }
    return kept;
}

bool Replayer::varies(const JournalLine& line) const
{
    static const QStringList timing = {QStringLiteral("State.get"),
                                       QStringLiteral("LineNumber.get"), QStringLiteral("hWnd.get"),
                                       QStringLiteral("Wait")};
    return !m_options.compareTiming && (line.byName || timing.contains(line.op));
}

bool Replayer::isIgnored(const QString& op) const
{
    return m_options.ignored.contains(op) ||
           m_options.ignored.contains(op.section(QLatin1Char('.'), 0, 0));
}

void Replayer::compare(const JournalLine& line, const QJsonObject& now)
{
    if (isIgnored(line.op)) {
        ++m_summary.ignored;
        return;
    }
    // The journal's own word on what is compared comes before the replay's defaults.
    const QString how = line.entry.value(field::Compare).toString();
    if (how == journal::comparison::None || (how.isEmpty() && varies(line))) {
        ++m_summary.notCompared;
        return;
    }
    if (comparable(line, line.entry) == comparable(line, now))
        return;
    ++m_summary.differences;
    // Beside an engine that ended, the other side's outcome is told as what it is: a return.
    const auto ended = [](const QJsonObject& outcome) {
        return outcome.value(field::Ended).toBool() || outcome.value(field::Begun).toBool();
    };
    const auto told = [&](const QJsonObject& outcome, const QJsonObject& other) {
        if (!ended(outcome) && ended(other) && !outcome.contains(field::Failure))
            return QStringLiteral("returned");
        return journal::readableOutcome(outcome);
    };
    m_out << QStringLiteral("#%1 %2 on engine %3: recorded %4, now %5\n")
                 .arg(line.line)
                 .arg(line.op)
                 .arg(line.engine)
                 .arg(told(line.entry, now), told(now, line.entry));
}

} // namespace velscript::replay
