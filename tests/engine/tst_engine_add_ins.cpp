// Add-in objects called from a script on the script's thread: methods and properties by name in
// any case, the rest-of-arguments list, failures as run-time errors, objects that must be called
// on their own thread and objects that may be called from any.

#include "engine_kit/add_in.h"
#include "engine_test_support.h"
#include "support/test_program.h"

#include <QSemaphore>
#include <QThread>

#include <atomic>

using namespace velscript;
using namespace velscript::engine;
using namespace velscript::engine::test;

namespace {

// An object of the window's thread that must be called there.
class Pump : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Level READ level WRITE setLevel)
    Q_PROPERTY(QString Name READ name)
public:
    Q_INVOKABLE int Add(int a, int b)
    {
        note();
        return a + b;
    }
    Q_INVOKABLE QString Join(const QString& separator, const QVariantList& rest)
    {
        note();
        QStringList parts;
        for (const QVariant& item : rest)
            parts << (item.isValid() ? item.toString() : QStringLiteral("<empty>"));
        return parts.join(separator);
    }
    Q_INVOKABLE QVariant Fail(const QString& why)
    {
        note();
        return QVariant::fromValue(AddInError{1234, why});
    }
    Q_INVOKABLE QVariant FailWithoutNumber()
    {
        note();
        return QVariant::fromValue(AddInError{0, QStringLiteral("no number")});
    }
    Q_INVOKABLE void Reset() { note(); }

    int level() const { return m_level; }
    void setLevel(int level)
    {
        note();
        m_level = level;
    }
    QString name() const { return QStringLiteral("pump 1"); }

    std::atomic<int> calls{0};
    std::atomic<bool> foreignThread{false}; // called anywhere but its own thread

private:
    void note()
    {
        ++calls;
        if (QThread::currentThread() != thread())
            foreignThread = true;
    }
    int m_level = 0;
};

// An object that promises to be callable from any thread.
class Counter : public QObject {
    Q_OBJECT
    Q_CLASSINFO("VelScriptThreadSafe", "true")
public:
    Q_INVOKABLE int Next()
    {
        if (QThread::currentThread() != thread())
            calledElsewhere = true;
        return ++m_count;
    }
    std::atomic<bool> calledElsewhere{false};

private:
    std::atomic<int> m_count{0};
};

// Hands back whatever value it is given: the shapes of values that add-ins return.
class Giver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("VelScriptThreadSafe", "true")
public:
    explicit Giver(QVariant value) : m_value(std::move(value)) {}
    Q_INVOKABLE QVariant Give() const { return m_value; }

private:
    const QVariant m_value;
};

} // namespace

class TestEngineAddIns : public QObject {
    Q_OBJECT

private slots:
    void calledFromScript_data();
    void calledFromScript();
    void threadSafeObjectIsCalledDirectly();
    void failuresAreRunTimeErrors();
    void namesAndRefusals();
    void addedAfterFirstRun();
    void releaseEndsInstancesThatCallAddIns();
    void stopAbandonsWaitForBusyThread_data();
    void stopAbandonsWaitForBusyThread();
    void everyValueAnAddInGivesIsAValueOrAnError_data();
    void everyValueAnAddInGivesIsAValueOrAnError();
};

void TestEngineAddIns::everyValueAnAddInGivesIsAValueOrAnError_data()
{
    QTest::addColumn<QVariant>("given");
    const double inf = std::numeric_limits<double>::infinity();
    const QList<std::pair<const char*, QVariant>> values = {
        {"NaN", QVariant(std::numeric_limits<double>::quiet_NaN())},
        {"infinity", QVariant(inf)},
        {"minus infinity", QVariant(-inf)},
        {"float NaN", QVariant(std::numeric_limits<float>::quiet_NaN())},
        {"float infinity", QVariant(std::numeric_limits<float>::infinity())},
        {"largest double", QVariant(std::numeric_limits<double>::max())},
        {"denormal", QVariant(std::numeric_limits<double>::denorm_min())},
        {"minus zero", QVariant(-0.0)},
        {"largest qint64", QVariant(std::numeric_limits<qint64>::max())},
        {"smallest qint64", QVariant(std::numeric_limits<qint64>::min())},
        {"largest quint64", QVariant(std::numeric_limits<quint64>::max())},
        {"largest uint", QVariant(std::numeric_limits<uint>::max())},
        {"bytes not UTF-8", QVariant(QByteArray("\xff\xfe\x00x", 4))},
        {"a lone surrogate QChar", QVariant(QChar(0xDC00))},
        {"a text with a NUL", QVariant(QStringLiteral("a") + QChar(0) + QStringLiteral("b"))},
        {"a null text", QVariant(QString())},
        {"a list holding NaN", QVariant(QVariantList{1, std::numeric_limits<double>::quiet_NaN()})},
        {"a list in a list", QVariant(QVariantList{QVariantList{QVariantList{}}})},
        {"a string list", QVariant(QStringList{QStringLiteral("a"), QString()})},
        {"a map", QVariant(QVariantMap{{QStringLiteral("k"), 1}})},
        {"a date and time", QVariant(QDateTime::fromSecsSinceEpoch(0, Qt::UTC))},
        {"a point", QVariant(QPoint(1, 2))},
        {"a null object", QVariant::fromValue<QObject*>(nullptr)},
        {"nullptr", QVariant::fromValue(nullptr)},
        {"invalid", QVariant()},
        {"a typed null int", QVariant(QMetaType::fromType<int>())},
    };
    for (const auto& [name, value] : values)
        QTest::newRow(name) << value;
}

// A value that the language can hold arrives as one; any other ends the script with a run-time
// error at the call. A number never arrives infinite or not a number.
void TestEngineAddIns::everyValueAnAddInGivesIsAValueOrAnError()
{
    QFETCH(QVariant, given);
    auto giver = std::make_shared<Giver>(given);
    ObjectRef object = giver;
    auto engine = createdEngine(QStringLiteral("Sub Main\n"
                                               "  v = giver.Give()\n"
                                               "  Log \"type \" & TypeName(v)\n"
                                               "  If IsNumeric(v) Then Log \"twice \" & (v * 2)\n"
                                               "End Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->AddObject(QStringLiteral("giver"), object));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    const QStringList log = entries(*engine);
    const bool arrived = log.join(u'\n').contains(QStringLiteral("type "));
    if (!arrived) {
        // The call is the statement that failed, with a number and a description.
        QVERIFY2(log.join(u'\n').contains(QRegularExpression(QStringLiteral("error \\d+"))),
                 qPrintable(log.join(u'\n')));
        return;
    }
    for (const QString& entry : log) {
        QVERIFY2(!entry.contains(QStringLiteral("nan"), Qt::CaseInsensitive) &&
                     !entry.contains(QStringLiteral("inf"), Qt::CaseInsensitive),
                 qPrintable(entry));
    }
}

void TestEngineAddIns::calledFromScript_data()
{
    QTest::addColumn<bool>("engineWaits");
    QTest::newRow("the engine's Wait runs the calls") << true;
    QTest::newRow("the event loop runs the calls") << false;
}

// The script calls a window-thread object from its own thread; every call runs on the object's
// thread, whether the window waits in the engine or goes on with its events.
void TestEngineAddIns::calledFromScript()
{
    QFETCH(bool, engineWaits);

    auto pump = std::make_shared<Pump>();
    ObjectRef object = pump;
    auto engine = createdEngine(QStringLiteral("Sub Main\n"
                                               "  Log pump.add(2, 3)\n"
                                               "  PUMP.Level = 7\n"
                                               "  Log Pump.LEVEL & \" \" & pump.Name\n"
                                               "  Log pump.Join(\"-\", 1, \"a\", True)\n"
                                               "  Log \"[\" & pump.Join(\"-\") & \"]\"\n"
                                               "  pump.Reset\n"
                                               "End Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->AddObject(QStringLiteral("Pump"), object));
    QCOMPARE(object, ObjectRef(pump)); // the engine hands the same object back
    ENGINE_OK(engine->Start(1, Variant::missing()));
    if (engineWaits)
        ENGINE_REST(*engine);
    else
        QTRY_COMPARE_WITH_TIMEOUT(value(engine->State()), 0, Patience);
    QCOMPARE(value(engine->ExitCode()), Variant(qint32(0)));
    const QStringList log = entries(*engine);
    QCOMPARE(log.mid(1, 4), (QStringList{"5", "7 pump 1", "1-a-true", "[]"}));
    QCOMPARE(pump->calls.load(), 5); // Add, Level written, Join twice, Reset
    QVERIFY(!pump->foreignThread);

    // Typed text reaches it too.
    QCOMPARE(shown(engine->Execute(QStringLiteral("Pump.Add(Arg, 1)"), Variant(qint32(41)))),
             QStringLiteral("42"));
    QVERIFY(!pump->foreignThread);
}

// An object that declares itself thread-safe is called straight from the script's thread.
void TestEngineAddIns::threadSafeObjectIsCalledDirectly()
{
    auto counter = std::make_shared<Counter>();
    ObjectRef object = counter;
    auto engine = createdEngine(QStringLiteral("Sub Main\n  For i = 1 To 3\n    Log c.Next()\n"
                                               "  Next\nEnd Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->AddObject(QStringLiteral("c"), object));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    // Nothing on this thread needs to run for it: a wait without events is enough.
    ENGINE_REST(*engine);
    QCOMPARE(entries(*engine).mid(1, 3), (QStringList{"1", "2", "3"}));
    QVERIFY(counter->calledElsewhere);
}

// A failure the object returns is the script's run-time error: trapped by On Error Resume Next,
// otherwise the run's exit code and log entry.
void TestEngineAddIns::failuresAreRunTimeErrors()
{
    ObjectRef object = std::make_shared<Pump>();
    auto engine = createdEngine(QStringLiteral("Sub Main\n"
                                               "  On Error Resume Next\n"
                                               "  pump.Fail \"dry\"\n"
                                               "  Log Err.Number & \": \" & Err.Description\n"
                                               "  Err.Clear\n"
                                               "  pump.FailWithoutNumber\n"
                                               "  Log Err.Number & \": \" & Err.Description\n"
                                               "  Err.Clear\n"
                                               "  pump.Missing 1\n"
                                               "  Log Err.Number\n"
                                               "  Err.Clear\n"
                                               "  pump.Add 1\n"
                                               "  Log Err.Number\n"
                                               "  Err.Clear\n"
                                               "  pump.Add \"one\", 2\n"
                                               "  Log Err.Number\n"
                                               "  On Error GoTo 0\n"
                                               "  pump.Fail \"empty\"\n"
                                               "End Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->AddObject(QStringLiteral("pump"), object));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(entries(*engine).mid(1), (QStringList{"1234: dry", "440: no number", "438", "450",
                                                   "13", "Run-time error 1234 at line 18: empty"}));
    QCOMPARE(value(engine->ExitCode()), Variant(qint32(1234)));
}

// A name must be an identifier not yet taken; objects change only while no script runs.
void TestEngineAddIns::namesAndRefusals()
{
    ObjectRef object = std::make_shared<Pump>();
    ObjectRef none;
    auto engine = createdEngine(QStringLiteral("Sub Main\n  Log pump.Add(1, 1)\n"
                                               "  Do\n  Loop\nEnd Sub\n"));
    QVERIFY(engine);
    for (const char* name : {"", "1pump", "a pump", "pump!", "Err"})
        ENGINE_FAILS(engine->AddObject(QString::fromLatin1(name), object));
    ENGINE_FAILS(engine->AddObject(QStringLiteral("pump"), none));
    ENGINE_OK(engine->AddObject(QStringLiteral("pump"), object));
    ENGINE_FAILS(engine->AddObject(QStringLiteral("PUMP"), object));
    ENGINE_FAILS(engine->RemoveObject(QStringLiteral("valve")));

    ENGINE_OK(engine->Start(1, Variant::missing()));
    QTRY_COMPARE_WITH_TIMEOUT(lastEntry(*engine), QStringLiteral("2"), Patience);
    ENGINE_FAILS(engine->AddObject(QStringLiteral("valve"), object));
    ENGINE_FAILS(engine->RemoveObject(QStringLiteral("pump")));
    ENGINE_OK(engine->Stop(1, Variant::missing()));
    ENGINE_REST(*engine);

    ENGINE_OK(engine->RemoveObject(QStringLiteral("Pump")));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(lastEntry(*engine), QStringLiteral("Run-time error 424 at line 2: Object required"));
    ENGINE_OK(engine->AddObject(QStringLiteral("pump"), object));
}

// An object added after the script has run is there at the next start.
void TestEngineAddIns::addedAfterFirstRun()
{
    auto engine = createdEngine(QStringLiteral("Sub Main\n  Log TypeName(pump)\nEnd Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(entries(*engine).at(1), QStringLiteral("Empty"));
    ObjectRef object = std::make_shared<Pump>();
    ENGINE_OK(engine->AddObject(QStringLiteral("pump"), object));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(entries(*engine).at(4), QStringLiteral("Pump"));
}

void TestEngineAddIns::stopAbandonsWaitForBusyThread_data()
{
    QTest::addColumn<bool>("destroy");
    QTest::newRow("immediate stop") << false;
    QTest::newRow("engine destroyed") << true;
}

// A script waiting for an object whose thread is busy ends at a stop request (or when the engine
// goes); the call it gave up never runs.
void TestEngineAddIns::stopAbandonsWaitForBusyThread()
{
    QFETCH(bool, destroy);

    QThread busy;
    busy.start();
    auto pump = std::make_shared<Pump>();
    pump->moveToThread(&busy);
    QSemaphore release;
    QSemaphore blocked;
    QMetaObject::invokeMethod(pump.get(), [&] {
        blocked.release();
        release.acquire();
    });
    blocked.acquire();

    ObjectRef object = pump;
    auto engine = createdEngine(QStringLiteral("Sub Main\n  Log \"calling\"\n  pump.Reset\n"
                                               "  Log \"called\"\nEnd Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->AddObject(QStringLiteral("pump"), object));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    QTRY_COMPARE_WITH_TIMEOUT(lastEntry(*engine), QStringLiteral("calling"), Patience);
    QCOMPARE(value(engine->State()), 1);
    if (destroy) {
        engine.reset();
    } else {
        ENGINE_OK(engine->Stop(1, Variant::missing()));
        ENGINE_REST(*engine);
        QCOMPARE(value(engine->State()), 0);
        QVERIFY(value(engine->ExitCode()).isEmpty());
        QVERIFY(!entries(*engine).contains(QStringLiteral("called")));
    }
    release.release();
    // Once the thread is free, the abandoned call is not made.
    QSemaphore drained;
    QMetaObject::invokeMethod(pump.get(), [&] { drained.release(); });
    QVERIFY(drained.tryAcquire(1, Patience));
    QCOMPARE(pump->calls.load(), 0);
    engine.reset();
    object.reset();
    // The object goes on its own thread.
    QMetaObject::invokeMethod(
        pump.get(), [&pump] { pump.reset(); }, Qt::BlockingQueuedConnection);
    busy.quit();
    busy.wait();
}

VELSCRIPT_TEST_MAIN(TestEngineAddIns)
// Releasing an idle engine ends its program: the Class_Terminate of the instances it keeps
// runs then and may still call the add-ins (a connection closed, a file flushed). One that was
// stopped runs no more script.
void TestEngineAddIns::releaseEndsInstancesThatCallAddIns()
{
    const QString script = QStringLiteral("Class Session\n"
                                          "  Private Sub Class_Terminate\n"
                                          "    pump.Level = pump.Level + 1\n"
                                          "  End Sub\n"
                                          "End Class\n"
                                          "Dim kept, cycle\n"
                                          "Set kept = New Session\n"
                                          "Sub Main\n"
                                          "End Sub\n");
    for (const bool stopped : {false, true}) {
        auto pump = std::make_shared<Pump>();
        ObjectRef object = pump;
        auto engine = createdEngine(script);
        QVERIFY(engine);
        ENGINE_OK(engine->AddObject(QStringLiteral("pump"), object));
        ENGINE_OK(engine->Start(stopped ? 3 : 1, Variant::missing()));
        ENGINE_REST(*engine);
        if (stopped)
            ENGINE_OK(engine->Stop(1, Variant::missing()));
        ENGINE_REST(*engine);
        QCOMPARE(pump->level(), 0);
        ENGINE_OK(engine->Release(Variant::missing()));
        QCOMPARE(pump->level(), stopped ? 0 : 1);
        QVERIFY(!pump->foreignThread);
    }
}

#include "tst_engine_add_ins.moc"
