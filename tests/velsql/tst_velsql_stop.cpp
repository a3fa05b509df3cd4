// A script of the reference engine that waits in a VelSQL call that would run for good: Stop and
// the end of the engine cut the call short, and Release follows a stop at once.

#include "engine/engine_test_support.h"
#include "engine/runner_states.h"
#include "support/test_program.h"
#include "velsql/velsql.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace velscript;
using namespace velscript::engine;
using namespace velscript::engine::test;

namespace {

// Opens the database, says so, then counts without end.
const QString Endless =
    QStringLiteral("Sub Main\n"
                   "  On Error Resume Next\n"
                   "  db.Open \":memory:\"\n"
                   "  Log \"asking\"\n"
                   "  v = db.Scalar(\"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
                   "FROM c) SELECT count(*) FROM c\")\n"
                   "  Log \"after\"\n"
                   "End Sub\n");

// An engine whose script is under way in the endless call.
std::unique_ptr<ReferenceEngine> engineInTheCall(const std::shared_ptr<VelSql>& db)
{
    auto engine = createdEngine(Endless);
    if (!engine)
        return nullptr;
    ObjectRef object = db;
    if (!engine->AddObject(QStringLiteral("db"), object) ||
        !engine->Start(int(StartMode::OneCycle), Variant::missing()))
        return nullptr;
    QElapsedTimer waited;
    waited.start();
    while (!entries(*engine).contains(QStringLiteral("asking")) || db->callsUnderWay() == 0) {
        if (waited.elapsed() > Patience)
            return nullptr;
        QThread::msleep(10);
    }
    QThread::msleep(200); // well inside the count
    return engine;
}

} // namespace

class TestVelSqlStop : public QObject {
    Q_OBJECT

private slots:
    void stopCutsTheCallShort_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("immediate") << int(StopMode::Immediate);
        QTest::newRow("default, in one cycle") << int(StopMode::Default);
        QTest::newRow("initialize") << int(StopMode::Initialize);
    }
    void stopCutsTheCallShort()
    {
        QFETCH(int, mode);
        auto db = std::make_shared<VelSql>();
        auto engine = engineInTheCall(db);
        QVERIFY(engine);
        QElapsedTimer cut;
        cut.start();
        ENGINE_OK(engine->Stop(mode, Variant::missing()));
        QCOMPARE(value(engine->Wait(Patience, Variant::missing())), True);
        qInfo("Stop came to rest %lld ms after it was asked.", cut.elapsed());
        QCOMPARE(value(engine->State()), 0);
        // On Error Resume Next does not carry the script past a call a stop cut short.
        QVERIFY(!entries(*engine).contains(QStringLiteral("after")));
        ENGINE_OK(engine->Release(Variant::missing()));
        // The object serves the next caller.
        QCOMPARE(db->Scalar(QStringLiteral("SELECT 6 * 7"), {}), QVariant(42));
    }

    void theEndOfTheEngineCutsTheCallShort()
    {
        auto db = std::make_shared<VelSql>();
        auto engine = engineInTheCall(db);
        QVERIFY(engine);
        QElapsedTimer cut;
        cut.start();
        engine.reset();
        qInfo("The engine ended %lld ms after it was asked.", cut.elapsed());
        QCOMPARE(db->callsUnderWay(), 0);
    }

    // Stepping pauses at the next statement; it does not cut the call, which goes on.
    void aStepStopLeavesTheCallRunning()
    {
        auto db = std::make_shared<VelSql>();
        auto engine = engineInTheCall(db);
        QVERIFY(engine);
        ENGINE_OK(engine->Stop(int(StopMode::StepStop), Variant::missing()));
        QCOMPARE(value(engine->Wait(300, Variant::missing())), False);
        QCOMPARE(db->callsUnderWay(), 1);
        ENGINE_OK(engine->Stop(int(StopMode::Immediate), Variant::missing()));
        QCOMPARE(value(engine->Wait(Patience, Variant::missing())), True);
    }
};

VELSCRIPT_TEST_MAIN(TestVelSqlStop)
#include "tst_velsql_stop.moc"
