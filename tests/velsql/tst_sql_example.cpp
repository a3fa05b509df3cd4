// sql.vbs and other scripts using the VelSQL object through the script language and the engine's
// add-in bridge, without an engine around them.

#include "add_in_call.h"
#include "engine/add_in_bridge.h"
#include "engine/call_marshal.h"
#include "lang/interpreter.h"
#include "support/test_program.h"
#include "velsql/velsql.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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

    // What SQLite would take differently from what the script said is refused with an error,
    // and a value the language cannot hold does not reach the script.
    void scriptsGetErrorsNotChangedData_data()
    {
        QTest::addColumn<QString>("statements");
        QTest::addColumn<QString>("error");
        const QString byPosition = u"Run-time error 440: Only ? placeholders can be used: the "
                                   "values are bound in the order the ? marks stand, not by "
                                   "number or name."_s;
        QTest::newRow(":1 placeholder") << u"Log db.Scalar(\"SELECT :1\")"_s << byPosition;
        QTest::newRow("@1 placeholder") << u"Log db.Scalar(\"SELECT @1\")"_s << byPosition;
        QTest::newRow(":1 beside ?") << u"Log db.Scalar(\"SELECT ?, :1\", 1, 2)"_s << byPosition;
        QTest::newRow("an infinity read back")
            << u"v = db.Scalar(\"SELECT 1e999\")\nLog v - v"_s << u"Run-time error 6: Overflow"_s;
        QTest::newRow("a lone surrogate bound")
            << u"db.Execute \"INSERT INTO t VALUES (?)\", \"k\" & Chr(&HDC00)"_s
            << u"Run-time error 440: Value 1 for the placeholders holds the lone surrogate U+DC00 "
               "at position 2, which the database cannot store."_s;
        QTest::newRow("a lone surrogate in the SQL")
            << u"db.Execute \"INSERT INTO t VALUES ('\" & Chr(&HDC01) & \"')\""_s
            << u"Run-time error 440: The SQL text holds the lone surrogate U+DC01 at position 24, "
               "which the database cannot store."_s;
    }
    void scriptsGetErrorsNotChangedData()
    {
        QFETCH(QString, statements);
        QFETCH(QString, error);
        VelSql db;
        Script script(db,
                      u"db.Open \":memory:\"\ndb.Execute \"CREATE TABLE t (k PRIMARY KEY)\"\n"_s +
                          statements + u"\nLog \"after\"\n"_s);
        QCOMPARE(script.run(), error);
        QVERIFY(!script.host.entries.contains(u"after"_s));
        QCOMPARE(velscript::test::callAddIn(db, "Scalar", {u"SELECT count(*) FROM t"_s}),
                 QVariant(0));
    }

    // The system would end the name at the NUL and open or make another file.
    void aNulInTheDatabasePathIsAnError()
    {
        QTemporaryDir dir;
        const QString cut = dir.filePath(u"fresh"_s);
        VelSql db;
        Script script(db, u"db.Open \""_s + cut + u"\" & Chr(0) & \"name.db\"\nLog \"after\"\n"_s);
        QCOMPARE(script.run(), u"Run-time error 440: The file name holds a NUL character at "
                               "position %1, where the system would end it."_s.arg(cut.size() + 1));
        QVERIFY(!QFileInfo::exists(cut));
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
