// The VelSQL object through the window and the built-in engine: a script's rows, errors and
// trapped failures; two engines sharing the one object; two engines writing at once while one
// is stopped in the middle.
#include "engine/engine_factory.h"
#include "support/test_program.h"
#include "tester_session.h"
#include "velsql/registration.h"
#include "velsql/velsql.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

namespace {

Message added(const QString& name)
{
    return {"AddObject(\"" + name + "\", [VelSQL object])\r\nSucceeded.", MessageIcon::None};
}

QVariant scalar(TesterSession& session, const QString& sql)
{
    auto* db = qobject_cast<VelSql*>(session.form.objVelSQL.get());
    return db ? db->Scalar(sql, {}) : QVariant();
}

// A script adding numbered rows under its own name, one a cycle; `done` counts the inserts the
// object has answered.
QString writer(const QString& who)
{
    return "Dim done\n"
           "Sub Main\n"
           "    db.Execute \"INSERT INTO t VALUES (?, ?)\", \"" +
           who +
           "\", done + 1\n"
           "    done = done + 1\n"
           "End Sub\n";
}

} // namespace

class tst_E2eVelSql : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        engine::registerReferenceEngine();
        registerVelSqlClass();
    }

    void aScriptKeepsRowsAndTrapsSqlErrors()
    {
        TesterSession session;
        session.create();
        session.addObject("db");
        QCOMPARE(session.messages.messages, QList<Message>{added("db")});
        RUN_ONE_CYCLE(
            session,
            "Sub Main\n"
            "    db.Open \":memory:\"\n"
            "    db.Execute \"CREATE TABLE t (name TEXT, n INTEGER)\"\n"
            "    Log \"inserted \" & db.Execute(\"INSERT INTO t VALUES (?, ?), (?, ?)\", "
            "\"it's\", 1, \"b\", Null)\n"
            "    Log Replace(db.Query(\"SELECT name, n FROM t ORDER BY name\"), Chr(13) & Chr(10), "
            "\" | \")\n"
            "    On Error Resume Next\n"
            "    db.Execute \"INSERT INTO missing VALUES (1)\"\n"
            "    Log \"error \" & Err.Number & \": \" & Err.Description\n"
            "    Err.Clear\n"
            "    Log \"rows \" & db.Scalar(\"SELECT count(*) FROM t\") & \", error \" & "
            "Err.Number\n"
            "End Sub\n");

        const QStringList log = session.log();
        QCOMPARE(log.mid(1), (QStringList{"inserted 2", "name\tn | b\t | it's\t1",
                                          "error 440: no such table: missing", "rows 2, error 0",
                                          "End (exit code 0)"}));
        QCOMPARE(session.messages.messages.size(), 1);
    }

    void anUntrappedSqlErrorStopsTheScriptWithItsNumber()
    {
        TesterSession session;
        session.create();
        session.addObject("db");
        RUN_ONE_CYCLE(session, "Sub Main\n"
                               "    db.Execute \"SELECT 1\"\n"
                               "    Log \"never\"\n"
                               "End Sub\n");
        const QStringList log = session.log();
        QVERIFY2(!log.contains("never"), qPrintable(log.join('\n')));
        QVERIFY2(log.filter("No database is open").size() == 1, qPrintable(log.join('\n')));
        session.page(TesterSession::TaskPage);
        session.click(session.form.cmdGetExitCode);
        QCOMPARE(session.form.lblExitCode->text(), QString("440"));
    }

    void twoEnginesShareTheObject()
    {
        TesterSession session;
        FileDialogScript dialogs({QString(EXAMPLES_DIR "/sql.vbs")});
        session.create();
        session.create();
        session.addObject("db");
        session.choose(0);
        session.addObject("db");
        QCOMPARE(session.messages.messages, (QList<Message>{added("db"), added("db")}));

        session.page(TesterSession::FormPage);
        session.click(session.form.cmdOpen);
        QCOMPARE(dialogs.answers.size(), 0);
        QVERIFY(session.form.txtProgram->toPlainText().startsWith("' sql.vbs"));
        session.start(OneCycle);
        WAIT_FOR_REST(session);
        QVERIFY2(session.log().contains("4 rows added"), qPrintable(session.log().join('\n')));

        session.choose(1);
        RUN_ONE_CYCLE(
            session, "Sub Main\n"
                     "    Log db.Scalar(\"SELECT count(*) FROM fruit\") & \" fruits, cheapest \" & "
                     "db.Scalar(\"SELECT name FROM fruit ORDER BY price LIMIT 1\")\n"
                     "End Sub\n");
        const QStringList log = session.log();
        QVERIFY2(log.contains("4 fruits, cheapest apple"), qPrintable(log.join('\n')));
        QCOMPARE(session.messages.messages.size(), 2);
    }

    // Every insert a script saw answered is in the table, the one under way when the stop came
    // at most once more, and the other engine goes on writing.
    void twoWritersAndAnImmediateStopMidRun()
    {
        TesterSession session;
        session.create();
        session.create();
        session.addObject("db");
        RUN_ONE_CYCLE(session, "Sub Main\n"
                               "    db.Open \":memory:\"\n"
                               "    db.Execute \"CREATE TABLE t (who TEXT, n INTEGER)\"\n"
                               "End Sub\n");
        session.put(writer("b"));
        session.choose(0);
        session.addObject("db");
        session.put(writer("a"));

        session.start(Continuous);
        session.choose(1);
        session.start(Continuous);
        const auto rows = [&](const char* who) {
            return scalar(session, QString("SELECT count(*) FROM t WHERE who = '%1'").arg(who))
                .toInt();
        };
        QTRY_VERIFY_WITH_TIMEOUT(rows("a") >= 50 && rows("b") >= 50, Patience);

        session.choose(0);
        session.stop(ImmediateStop);
        WAIT_FOR_REST(session);
        const int doneA = session.execute("done").toInt();
        const int rowsA = rows("a");
        QVERIFY2(rowsA == doneA || rowsA == doneA + 1,
                 qPrintable(QString("%1 rows for %2 answered inserts").arg(rowsA).arg(doneA)));

        const int rowsB = rows("b");
        QTRY_VERIFY_WITH_TIMEOUT(rows("b") > rowsB + 10, Patience);
        QCOMPARE(rows("a"), rowsA);

        session.choose(1);
        session.stop(CycleStop);
        WAIT_FOR_REST(session);
        QCOMPARE(rows("b"), session.execute("done").toInt());
        for (const char* who : {"a", "b"})
            QCOMPARE(scalar(session, QString("SELECT count(DISTINCT n) = count(*) AND max(n) = "
                                             "count(*) FROM t WHERE who = '%1'")
                                         .arg(who))
                         .toInt(),
                     1);
        QCOMPARE(session.messages.messages.size(), 2);
        QVERIFY(session.form.close());
    }
};

VELSCRIPT_TEST_MAIN(tst_E2eVelSql)
#include "tst_e2e_velsql.moc"
