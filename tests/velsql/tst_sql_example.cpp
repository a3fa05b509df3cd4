// sql.vbs and other scripts using the VelSQL object through the script language and the engine's
// add-in bridge, without an engine around them.

#include "add_in_call.h"
#include "engine/add_in_bridge.h"
#include "engine/call_marshal.h"
#include "lang/interpreter.h"
#include "support/test_program.h"
#include "velsql/velsql.h"

#include <QFile>
#include <QtTest>

#include <thread>

using namespace Qt::StringLiterals;
using velscript::VelSql;
namespace lang = velscript::lang;

namespace {

class LogHost : public lang::Host {
public:
    void log(const QString& text) override { entries << text; }
    QStringList entries;
};

// Runs a script's module statements and then Main, with the object bound as db.
struct Script {
    LogHost host;
    velscript::engine::CallMarshal marshal; // outlives the interpreter and the bridge it holds
    lang::Interpreter interpreter{host};

    Script(VelSql& db, const QString& source)
    {
        interpreter.bindObject(u"db"_s, std::make_shared<velscript::engine::AddInBridge>(
                                            &db, marshal, [] { return false; }));
        if (const auto error = interpreter.load(source))
            qFatal("%s", qPrintable(error->text()));
    }
    QString run()
    {
        lang::Outcome outcome = interpreter.runModule();
        if (outcome.finished() && interpreter.hasRoutine(u"Main"_s))
            outcome = interpreter.callRoutine(u"Main"_s);
        return outcome.failed() ? outcome.error.text() : QString();
    }
};

} // namespace

class TestSqlExample : public QObject {
    Q_OBJECT

private slots:
    void sqlExampleKeepsAndShowsItsRows()
    {
        QFile file(QStringLiteral(EXAMPLES_DIR "/sql.vbs"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        VelSql db;
        Script example(db, QString::fromUtf8(file.readAll()));
        QCOMPARE(example.run(), QString());
        QCOMPARE(example.host.entries,
                 QStringList({u"4 rows added"_s, u"In stock: 158"_s,
                              u"name\tprice\tstock\r\nO'Neill's pear\t0.75\t\r\napple\t0.5\t120\r\n"
                              "date\t2.25\t8"_s,
                              u"Trapped: no such table: vegetables"_s,
                              u"LastError: no such table: vegetables"_s}));

        // Another script given the same object reads what the example left.
        Script reader(db, u"Sub Main\nLog db.Scalar(\"SELECT count(*) FROM fruit\")\nEnd Sub\n"_s);
        QCOMPARE(reader.run(), QString());
        QCOMPARE(reader.host.entries, QStringList{u"4"_s});
    }

    void anUntrappedSqlErrorStopsTheScript()
    {
        VelSql db;
        Script script(db, u"Log \"before\"\ndb.Execute \"CREATE TABLE t (x)\"\nLog \"after\"\n"_s);
        QCOMPARE(script.run(), u"Run-time error 440: No database is open: call Open first."_s);
        QCOMPARE(script.host.entries, QStringList{u"before"_s});
    }

    // Two engines' scripts, each on its own thread, write through the same object at once.
    void twoScriptsWriteAtOnce()
    {
        VelSql db;
        QVERIFY(!velscript::test::isAddInError(
            velscript::test::callAddIn(db, "Open", {u":memory:"_s})));
        QVERIFY(!velscript::test::isAddInError(
            velscript::test::callAddIn(db, "Execute", {u"CREATE TABLE t (who, n)"_s})));
        const QString writer = u"Sub Main\n"
                               "  Dim i\n"
                               "  For i = 1 To 200\n"
                               "    db.Execute \"INSERT INTO t VALUES (?, ?)\", Who, i\n"
                               "  Next\n"
                               "End Sub\n"_s;
        Script first(db, u"Const Who = \"first\"\n"_s + writer);
        Script second(db, u"Const Who = \"second\"\n"_s + writer);
        QString firstOutcome, secondOutcome;
        std::thread one([&] { firstOutcome = first.run(); });
        std::thread two([&] { secondOutcome = second.run(); });
        one.join();
        two.join();
        QCOMPARE(firstOutcome, QString());
        QCOMPARE(secondOutcome, QString());
        QCOMPARE(velscript::test::callAddIn(
                     db, "Scalar", {u"SELECT count(DISTINCT who || n) FROM t WHERE n <= 200"_s}),
                 QVariant(400));
    }
};

VELSCRIPT_TEST_GUILESS_MAIN(TestSqlExample)
#include "tst_sql_example.moc"
