// An engine in a host process as the component service hands it out: add-in objects of this
// process called from it, a stop that cuts such a call short, an engine that ended, and hosts
// that never outlive their engine or their program.
#include "engine_kit/add_in.h"
#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"
#include "engine_kit/hosting.h"
#include "journal/journal_entry.h"
#include "journal/variant_json.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <condition_variable>
#include <mutex>

#include <signal.h>

using namespace velscript;

namespace {

// Called on the thread it lives on, which is this test's: while the test waits on the engine.
class ThisThreadAddIn : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE int Twice(int n)
    {
        calledOn = QThread::currentThread();
        return 2 * n;
    }
    QThread* calledOn = nullptr;
};

// A call that lasts until it is cut short.
class BlockingAddIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("VelScriptThreadSafe", "true")
public:
    Q_INVOKABLE QVariant Block()
    {
        std::unique_lock lock(m_mutex);
        m_caller = QThread::currentThread();
        started = true;
        m_changed.wait(lock, [this] { return cancelled; });
        return QVariant::fromValue(AddInError{0, QStringLiteral("cut short")});
    }
    Q_INVOKABLE void VelScriptCancel(QThread* caller)
    {
        const std::lock_guard lock(m_mutex);
        if (caller == m_caller)
            cancelled = true;
        m_changed.notify_all();
    }
    std::atomic<bool> started = false;
    bool cancelled = false;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    QThread* m_caller = nullptr;
};

struct Hosted {
    ObjectRef object;
    VelScriptEngine* engine = nullptr;
};

Hosted hostedEngine(const char* components)
{
    qputenv("VELSCRIPT_COMPONENT_PATH", components);
    Hosted made;
    made.object = ComponentService::instance().create(VelScriptEngineClassId);
    qunsetenv("VELSCRIPT_COMPONENT_PATH");
    made.engine = made.object ? qobject_cast<VelScriptEngine*>(made.object.get()) : nullptr;
    if (made.engine && !made.engine->Create(Variant::missing()))
        made.engine = nullptr;
    return made;
}

// Whether a process runs: a zombie that nobody reaped has ended too.
bool runs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close > 0 && line.size() > close + 2 && line.at(close + 2) != 'Z';
}

// The pids of the processes whose parent is PARENT.
QList<qint64> childrenOf(qint64 parent)
{
    QList<qint64> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == parent)
            children.append(pid);
    }
    return children;
}

QByteArray line(QJsonObject entry)
{
    return QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

class tst_Hosting : public QObject {
    Q_OBJECT

private slots:
    // A text larger than the connection's buffer crosses both ways whole: the writer waits for
    // the reader instead of giving up on a full buffer.
    void aTextLargerThanTheConnectionsBufferCrossesWhole()
    {
        const Hosted hosted = hostedEngine(REFERENCE_COMPONENTS_DIR);
        QVERIFY(hosted.engine);
        QString text;
        for (int i = 0; text.size() < 4 << 20; ++i)
            text += QStringLiteral("' line %1\n").arg(i);
        QVERIFY(hosted.engine->Text(text));
        const Result<QString> back = hosted.engine->Text();
        QVERIFY(back);
        QCOMPARE(back->size(), text.size());
        QVERIFY(*back == text);
    }

    void anAddInOfThisThreadIsCalledWhileThisThreadWaits()
    {
        Hosted hosted = hostedEngine(REFERENCE_COMPONENTS_DIR);
        QVERIFY(hosted.engine && isHosted(*hosted.object));
        auto addIn = std::make_shared<ThisThreadAddIn>();
        ObjectRef handed = addIn;
        const auto added = hosted.engine->AddObject("o", handed);
        QVERIFY2(added, added ? "" : qPrintable(added.error()));
        QCOMPARE(handed, ObjectRef(addIn)); // the engine keeps the very object

        // Execute waits on the host while the host waits on this thread.
        const auto answer = hosted.engine->Execute("o.Twice(21)", Variant::missing());
        QVERIFY2(answer, answer ? "" : qPrintable(answer.error()));
        QCOMPARE(*answer, Variant(42));
        QCOMPARE(addIn->calledOn, QThread::currentThread());

        // A running script's call arrives through this thread's event loop.
        addIn->calledOn = nullptr;
        QVERIFY(hosted.engine->Text("Sub Main\n    Log o.Twice(5)\nEnd Sub\n"));
        QVERIFY(hosted.engine->Start(1, Variant::missing()));
        QTRY_COMPARE_WITH_TIMEOUT(*hosted.engine->State(), 0, 10000);
        QVERIFY(hosted.engine->LastLog()->endsWith("End (exit code 0)"));
        QVERIFY2(hosted.engine->Log()->contains("10"), qPrintable(*hosted.engine->Log()));
        QCOMPARE(addIn->calledOn, QThread::currentThread());
    }

    void aStopCutsShortAHostedScriptsCallIntoAnAddIn()
    {
        Hosted hosted = hostedEngine(REFERENCE_COMPONENTS_DIR);
        QVERIFY(hosted.engine);
        auto addIn = std::make_shared<BlockingAddIn>();
        ObjectRef handed = addIn;
        const auto added = hosted.engine->AddObject("o", handed);
        QVERIFY2(added, added ? "" : qPrintable(added.error()));
        QVERIFY(hosted.engine->Text("Sub Main\n    o.Block\n    Log \"after\"\nEnd Sub\n"));
        QVERIFY(hosted.engine->Start(1, Variant::missing()));
        QTRY_VERIFY_WITH_TIMEOUT(addIn->started, 10000);
        QCOMPARE(readProperty(*hosted.object, ScriptStateProperty), Variant(1));

        QVERIFY(hosted.engine->Stop(1, Variant::missing()));
        QTRY_COMPARE_WITH_TIMEOUT(*hosted.engine->State(), 0, 10000);
        QVERIFY(addIn->cancelled);
        QVERIFY2(!hosted.engine->Log()->contains("after"), qPrintable(*hosted.engine->Log()));
    }

    void anEndedEngineAnswersAsOneThatRunsNothing()
    {
        Hosted hosted = hostedEngine(MISBEHAVING_COMPONENTS_DIR);
        QVERIFY(hosted.engine);
        nameInstance(*hosted.object, "Engine X");
        const qint64 pid = hostProcessId(*hosted.object);
        QVERIFY(pid > 0 && runs(pid));
        QVERIFY(hosted.engine->Text("crash"));

        const auto started = hosted.engine->Start(1, Variant::missing());
        QVERIFY(!started);
        QVERIFY2(started.error().startsWith("Engine X ended unexpectedly during Start ("),
                 qPrintable(started.error()));
        QCOMPARE(hostProcessId(*hosted.object), 0);
        QVERIFY(!runs(pid));

        QCOMPARE(hosted.engine->State(), Result<qint32>(0));
        QCOMPARE(readProperty(*hosted.object, ScriptStateProperty), Variant(0));
        const QString cause = started.error().section('(', 1).chopped(2);
        const QString ended =
            "Engine X has ended (" + cause + "); release it and create a new one.";
        QCOMPARE(hosted.engine->Text(), Result<QString>(fail(ended)));
        QCOMPARE(hosted.engine->Start(1, Variant::missing()), Result<>(fail(ended)));
        QCOMPARE(hosted.engine->LineNumber(), Result<qint32>(fail(ended)));
        QVERIFY(hosted.engine->Release(Variant::missing()));
    }

    // Wait is given its time; only beyond it is the engine asked about.
    void aWaitIsAskedAboutFiveSecondsAfterItsTimeOut()
    {
        Hosted hosted = hostedEngine(MISBEHAVING_COMPONENTS_DIR);
        QVERIFY(hosted.engine);
        QVERIFY(hosted.engine->Text("hang"));
        QElapsedTimer clock;
        QList<qint64> asked;
        const auto previous =
            setUnansweredCallHandler([&](const QString& text, const std::function<bool()>&) {
                asked.append(clock.elapsed());
                return text.contains("has not answered Wait for 5 seconds")
                           ? UnansweredCall::EndEngine
                           : UnansweredCall::Wait;
            });
        clock.start();
        const auto waited = hosted.engine->Wait(1500, Variant::missing());
        setUnansweredCallHandler(previous);
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0] >= 6400 && asked[0] < 7500, qPrintable(QString::number(asked[0])));
        QCOMPARE(waited, Result<Boolean>(fail("The VelScript engine was ended during Wait.")));
    }

    void aHostEndsWithItsEngine()
    {
        Hosted hosted = hostedEngine(MISBEHAVING_COMPONENTS_DIR);
        QVERIFY(hosted.engine);
        const qint64 pid = hostProcessId(*hosted.object);
        QVERIFY(runs(pid));
        QVERIFY(hosted.engine->Release(Variant::missing()));
        hosted = {};
        QVERIFY(!runs(pid));
    }

    // A program that ends lets go of its hosts; one killed outright cannot, and its hosts notice
    // and end by themselves.
    void noHostOutlivesItsProgram_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::newRow("ended") << false;
        QTest::newRow("killed") << true;
    }
    void noHostOutlivesItsProgram()
    {
        QFETCH(bool, killed);
        QTemporaryDir dir;
        const QString journal = dir.filePath("session.jsonl");
        QFile file(journal);
        QVERIFY(file.open(QIODevice::WriteOnly));
        namespace field = journal::field;
        const auto call = [](const QString& op, QJsonArray arguments) {
            return QJsonObject{{field::Engine, 0},
                               {field::Instance, 0},
                               {field::Operation, op},
                               {field::Arguments, arguments}};
        };
        // A script that runs on while the replay waits for it, and is still running at the end.
        file.write(line({{field::Operation, journal::operation::Session}}));
        file.write(line(call(journal::operation::InstanceCreate,
                             {journal::encode(Variant(VelScriptEngineClassId))})));
        file.write(line(call("Create", {journal::encode(Variant::missing())})));
        file.write(line(call("Text.put", {journal::encode(Variant("Sub Main\nEnd Sub\n"))})));
        file.write(line(
            call("Start", {journal::encode(Variant(2)), journal::encode(Variant::missing())})));
        file.write(line(
            call("Wait", {journal::encode(Variant(3000)), journal::encode(Variant::missing())})));
        file.close();

        QProcess replay;
        replay.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        replay.start(REPLAY, {"--component-path", REFERENCE_COMPONENTS_DIR, journal});
        QVERIFY(replay.waitForStarted());
        QList<qint64> hosts;
        QTRY_VERIFY_WITH_TIMEOUT(!(hosts = childrenOf(replay.processId())).isEmpty(), 10000);
        QCOMPARE(hosts.size(), 1);
        QVERIFY(runs(hosts[0]));

        if (killed)
            ::kill(pid_t(replay.processId()), SIGKILL);
        QVERIFY(replay.waitForFinished(20000));
        QCOMPARE(replay.exitStatus(), killed ? QProcess::CrashExit : QProcess::NormalExit);
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(!runs(hosts[0]), 1000);
        qInfo() << "the host ended" << clock.elapsed() << "ms after its program";
    }
};

VELSCRIPT_TEST_MAIN(tst_Hosting)
#include "tst_hosting.moc"
