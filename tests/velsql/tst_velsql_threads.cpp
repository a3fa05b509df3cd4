// The VelSQL object made on the window's thread and called by the scripts of several engines at
// once, each on its own thread, and ended by the window while they call it.

#include "add_in_call.h"
#include "support/test_program.h"
#include "velsql/velsql.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;
using velscript::VelSql;
using velscript::test::callAddIn;
using velscript::test::failureOf;
using velscript::test::isAddInError;

namespace {

// Counts without end: only an interrupt ends it.
const QString EndlessQuery = u"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) "
                             "SELECT count(*) FROM c"_s;

} // namespace

class TestVelSqlThreads : public QObject {
    Q_OBJECT

private slots:
    // A query that would run for good ends as soon as the engine of its caller asks, with an
    // error; another caller's request does not touch it, and the object works on afterwards.
    void aCallerCutsItsLongCallShort()
    {
        VelSql db;
        QVERIFY(!isAddInError(callAddIn(db, "Open", {u":memory:"_s})));
        std::atomic<QThread*> caller{nullptr};
        QVariant answer;
        std::atomic<bool> answered{false};
        std::thread script([&] {
            caller = QThread::currentThread();
            answer = callAddIn(db, "Scalar", {EndlessQuery});
            answered = true;
        });
        QTRY_VERIFY(caller.load() != nullptr);
        QTRY_COMPARE(db.callsUnderWay(), 1);
        QThread::msleep(200);
        db.VelScriptCancel(QThread::currentThread());
        QThread::msleep(300);
        QVERIFY(!answered);

        QElapsedTimer cut;
        cut.start();
        db.VelScriptCancel(caller);
        QTRY_VERIFY_WITH_TIMEOUT(answered.load(), 5000);
        script.join();
        qInfo("The call answered %lld ms after it was cut short.", cut.elapsed());
        QCOMPARE(failureOf(answer), u"The database call was cut short: the script is stopping."_s);
        QCOMPARE(callAddIn(db, "Scalar", {u"SELECT 6 * 7"_s}), QVariant(42));
    }

    void scriptsOfTwoEnginesWriteAtOnce_data()
    {
        QTest::addColumn<bool>("inFile");
        QTest::newRow("in memory") << false;
        QTest::newRow("in a file") << true;
    }
    void scriptsOfTwoEnginesWriteAtOnce()
    {
        QFETCH(bool, inFile);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        VelSql db;
        const QString path = inFile ? dir.filePath(u"shared.db"_s) : u":memory:"_s;
        QVERIFY(!isAddInError(callAddIn(db, "Open", {path})));
        // The file is about sharing, not about waiting for the disk at every commit.
        QVERIFY(!isAddInError(callAddIn(db, "Execute", {u"PRAGMA synchronous = OFF"_s})));
        QVERIFY(!isAddInError(callAddIn(db, "Execute", {u"CREATE TABLE t (engine, n)"_s})));

        constexpr int Rows = 150;
        std::atomic<int> failures{0};
        auto script = [&](int engine) {
            for (int n = 0; n < Rows; ++n) {
                // Each round a write, a two-statement script and a read, as scripts mix them.
                if (isAddInError(
                        callAddIn(db, "Execute", {u"INSERT INTO t VALUES (?, ?)"_s, engine, n})) ||
                    isAddInError(callAddIn(db, "execute",
                                           {u"INSERT INTO t VALUES (?, -1); DELETE FROM t "
                                            "WHERE engine = ? AND n = -1"_s,
                                            engine, engine})) ||
                    isAddInError(callAddIn(db, "Scalar", {u"SELECT count(*) FROM t"_s})))
                    ++failures;
            }
        };
        std::thread first(script, 1);
        std::thread second(script, 2);
        first.join();
        second.join();

        QCOMPARE(failures.load(), 0);
        QCOMPARE(callAddIn(db, "Scalar", {u"SELECT count(*) FROM t"_s}), QVariant(2 * Rows));
        QCOMPARE(callAddIn(db, "Scalar", {u"SELECT count(DISTINCT engine || '/' || n) FROM t"_s}),
                 QVariant(2 * Rows));
        QCOMPARE(db.property("LastError").toString(), QString());
    }

    // The window ends the object while scripts wait on it: the call under way finishes, the
    // waiting ones are answered that the object is gone, and nothing hangs, crashes or is lost.
    void endingTheObjectWhileScriptsCall()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"busy.db"_s);
        auto db = std::make_unique<VelSql>();
        QVERIFY(!isAddInError(callAddIn(*db, "Open", {path})));
        QVERIFY(!isAddInError(callAddIn(*db, "Execute", {u"CREATE TABLE t (x)"_s})));

        // Another connection locks the file, so the first script's call stays under way, waiting
        // for SQLite, until the test lets it go.
        VelSql blocker;
        QVERIFY(!isAddInError(callAddIn(blocker, "Open", {path})));
        QVERIFY(!isAddInError(callAddIn(blocker, "Execute", {u"BEGIN EXCLUSIVE"_s})));

        constexpr int Scripts = 4;
        std::vector<QVariant> answers(Scripts);
        std::mutex mutex;
        std::condition_variable returned;
        int returnedCount = 0;
        std::vector<std::thread> scripts;
        for (int i = 0; i < Scripts; ++i) {
            scripts.emplace_back([&, i] {
                const QVariant answer =
                    callAddIn(*db, "Execute", {u"INSERT INTO t VALUES (?)"_s, i});
                const std::lock_guard lock(mutex);
                answers[i] = answer;
                ++returnedCount;
                returned.notify_all();
            });
        }
        QTRY_COMPARE_WITH_TIMEOUT(db->callsUnderWay(), Scripts, 10000);

        // Once the end has answered a waiting script, the lock goes and the call under way ends.
        bool endBegan = false;
        std::thread unlocker([&] {
            std::unique_lock lock(mutex);
            endBegan = returned.wait_for(lock, std::chrono::seconds(30),
                                         [&] { return returnedCount > 0; });
            lock.unlock();
            callAddIn(blocker, "Execute", {u"ROLLBACK"_s});
        });
        db.reset();
        unlocker.join();
        for (std::thread& script : scripts)
            script.join();
        QVERIFY(endBegan);

        int inserted = 0;
        int released = 0;
        for (const QVariant& answer : answers) {
            if (!isAddInError(answer)) {
                QCOMPARE(answer, QVariant(1));
                ++inserted;
            } else if (failureOf(answer) == u"The VelSQL object has been released."_s) {
                ++released;
            } else {
                // Only if the machine stalled beyond SQLite's wait for the lock.
                QCOMPARE(failureOf(answer), u"database is locked"_s);
            }
        }
        QVERIFY(released > 0);
        QCOMPARE(callAddIn(blocker, "Scalar", {u"SELECT count(*) FROM t"_s}), QVariant(inserted));
    }

    // Ending an object whose database is a file leaves the file closed and its data written.
    void endingTheObjectClosesItsFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"kept.db"_s);
        {
            VelSql db;
            QVERIFY(!isAddInError(callAddIn(db, "Open", {path})));
            QVERIFY(!isAddInError(
                callAddIn(db, "Execute", {u"CREATE TABLE t (x); INSERT INTO t VALUES (5)"_s})));
        }
        VelSql again;
        QVERIFY(!isAddInError(callAddIn(again, "Open", {path})));
        QCOMPARE(callAddIn(again, "Scalar", {u"SELECT x FROM t"_s}), QVariant(5));

        VelSql neverOpened; // ends without ever having had a database
    }
};

VELSCRIPT_TEST_GUILESS_MAIN(TestVelSqlThreads)
#include "tst_velsql_threads.moc"
