// The VelSQL object alone, called through the meta-object system as an engine calls it.

#include "add_in_call.h"
#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"
#include "support/odd_file_names.h"
#include "support/test_program.h"
#include "velsql/registration.h"
#include "velsql/velsql.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;
using velscript::AddInError;
using velscript::VelSql;
using velscript::test::callAddIn;
using velscript::test::failureOf;
using velscript::test::isAddInError;
using velscript::test::lastErrorOf;

// Declares `name` as the answer of a call that must succeed.
#define CALL_OK(name, ...)                                                                         \
    const QVariant name = callAddIn(*m_db, __VA_ARGS__);                                           \
    QVERIFY2(!isAddInError(name), qPrintable(failureOf(name)))

class TestVelSql : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<VelSql> m_db;
    QTemporaryDir m_dir;

    QVariant scalar(const QString& sql) { return callAddIn(*m_db, "Scalar", {sql}); }

private slots:
    void init()
    {
        m_db = std::make_unique<VelSql>();
        CALL_OK(opened, "Open", {u":memory:"_s});
        QCOMPARE(opened, QVariant());
    }
    void cleanup() { m_db.reset(); }

    void declaresTheAddInContract()
    {
        const QMetaObject* meta = m_db->metaObject();
        const int info = meta->indexOfClassInfo(velscript::AddInThreadSafeClassInfo);
        QVERIFY(info >= 0);
        QCOMPARE(meta->classInfo(info).value(), "true");
        QVERIFY(qobject_cast<velscript::VelSqlObject*>(m_db.get()));
        QVERIFY(meta->indexOfProperty("LastError") >= 0);
        // Methods are found without regard to case, as scripts write them.
        CALL_OK(answer, "sCaLaR", {u"SELECT 7"_s});
        QCOMPARE(answer, QVariant(7));
    }

    void isABuiltInClassThatTheComponentPathOverrides()
    {
        velscript::registerVelSqlClass();
        auto& service = velscript::ComponentService::instance();
        const velscript::ObjectRef builtIn = service.create(velscript::VelSqlObjectClassId);
        QVERIFY(qobject_cast<VelSql*>(builtIn.get()));
        QVERIFY(velscript::query<velscript::VelSqlObject>(builtIn));

        qputenv("VELSCRIPT_COMPONENT_PATH", VELSQL_FIXTURE_COMPONENTS);
        const velscript::ObjectRef replaced = service.create(velscript::VelSqlObjectClassId);
        qunsetenv("VELSCRIPT_COMPONENT_PATH");
        QVERIFY(replaced);
        QCOMPARE(replaced->objectName(), u"VelSQL object from the component path"_s);
    }

    void callsBeforeOpenAndAfterCloseFail_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::newRow("Execute") << QByteArray("Execute");
        QTest::newRow("Scalar") << QByteArray("Scalar");
        QTest::newRow("Query") << QByteArray("Query");
    }
    void callsBeforeOpenAndAfterCloseFail()
    {
        QFETCH(QByteArray, method);
        const QString notOpen = u"No database is open: call Open first."_s;

        VelSql fresh;
        QCOMPARE(failureOf(callAddIn(fresh, method, {u"SELECT 1"_s})), notOpen);
        QCOMPARE(lastErrorOf(fresh), notOpen);
        QCOMPARE(callAddIn(fresh, "Close"), QVariant()); // closing nothing is no fault

        CALL_OK(closed, "Close");
        QCOMPARE(closed, QVariant());
        const QVariant answer = callAddIn(*m_db, method, {u"SELECT 1"_s});
        QVERIFY(isAddInError(answer));
        QCOMPARE(answer.value<AddInError>().number, 0);
        QCOMPARE(failureOf(answer), notOpen);
    }

    // A failure carries SQLite's message; LastError keeps it until a call succeeds.
    void sqlErrorsCarrySqliteMessage()
    {
        const QVariant answer = callAddIn(*m_db, "Execute", {u"INSERT INTO nowhere VALUES (1)"_s});
        QCOMPARE(failureOf(answer), u"no such table: nowhere"_s);
        QCOMPARE(lastErrorOf(*m_db), u"no such table: nowhere"_s);
        QCOMPARE(failureOf(scalar(u"SELEKT 1"_s)), u"near \"SELEKT\": syntax error"_s);
        QCOMPARE(failureOf(callAddIn(*m_db, "Query", {u"SELECT nope FROM sqlite_master"_s})),
                 u"no such column: nope"_s);
        QCOMPARE(lastErrorOf(*m_db), u"no such column: nope"_s);
        CALL_OK(fine, "Scalar", {u"SELECT 1"_s});
        QCOMPARE(lastErrorOf(*m_db), QString());
        QCOMPARE(failureOf(callAddIn(*m_db, "Execute", {QVariant()})),
                 u"Execute needs SQL text."_s);
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("description");

        QVERIFY(m_dir.isValid());
        QFile garbage(m_dir.filePath(u"garbage.db"_s));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();

        QTest::newRow("no path") << QString()
                                 << u"Open needs the path of a database file, or \":memory:\"."_s;
        QTest::newRow("a file that is no database")
            << garbage.fileName() << u"file is not a database"_s;
        QTest::newRow("a folder") << m_dir.path() << u"unable to open database file"_s;
        QTest::newRow("a missing folder")
            << m_dir.filePath(u"absent/x.db"_s) << u"unable to open database file"_s;
        // The system would end the name at the NUL and open or make another file.
        const QString cut = m_dir.filePath(u"fresh"_s);
        QTest::newRow("a NUL in the path")
            << cut + QChar(0) + u"name.db"_s
            << u"The file name holds a NUL character at position %1, where the system would end "
               "it."_s.arg(cut.size() + 1);
    }
    void oddFileNamesAreThatDatabaseOrRefused_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& name : velscript::test::oddFileNames(u".db"_s))
            QTest::addRow("%s", qPrintable(QString(name).toHtmlEscaped().left(40))) << name;
    }
    // Open makes the database file of exactly the name given, or fails and makes none.
    void oddFileNamesAreThatDatabaseOrRefused()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QVariant answer = callAddIn(*m_db, "Open", {dir.path() + u'/' + name});
        if (!isAddInError(answer)) {
            // SQLite makes the file when it first writes.
            CALL_OK(created, "Execute", {u"CREATE TABLE t (x)"_s});
        }
        CALL_OK(closed, "Close");
        const QStringList made = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        if (isAddInError(answer)) {
            QVERIFY(!failureOf(answer).isEmpty());
            QVERIFY2(made.isEmpty(), qPrintable(made.join(u',')));
        } else {
            QCOMPARE(made, QStringList{name});
        }
    }

    void openFailures()
    {
        QFETCH(QString, path);
        QFETCH(QString, description);

        CALL_OK(created, "Execute", {u"CREATE TABLE t (x)"_s});
        const QVariant answer = callAddIn(*m_db, "Open", {path.isNull() ? QVariant() : path});
        QCOMPARE(failureOf(answer), description);
        QCOMPARE(lastErrorOf(*m_db), description);
        // The database open before is gone, not silently kept.
        QVERIFY(isAddInError(scalar(u"SELECT count(*) FROM t"_s)));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(u"fresh"_s)));
    }

    void aFileDatabaseSurvivesCloseAndOpen()
    {
        const QString first = m_dir.filePath(u"first.db"_s);
        const QString second = m_dir.filePath(u"second.db"_s);
        CALL_OK(opened, "Open", {first});
        CALL_OK(created, "Execute", {u"CREATE TABLE t (x); INSERT INTO t VALUES (1), (2)"_s});
        CALL_OK(closed, "Close");
        QVERIFY(QFileInfo(first).size() > 0);

        // Opening another file closes the first without a Close.
        CALL_OK(reopened, "Open", {first});
        QCOMPARE(scalar(u"SELECT sum(x) FROM t"_s), QVariant(3));
        CALL_OK(switched, "Open", {second});
        QCOMPARE(failureOf(scalar(u"SELECT sum(x) FROM t"_s)), u"no such table: t"_s);
        CALL_OK(back, "Open", {first});
        QCOMPARE(scalar(u"SELECT sum(x) FROM t"_s), QVariant(3));
    }

    // Rows inserted, updated or deleted; statements that change no rows count none, even
    // right after one that did.
    void executeAnswersRowsChanged()
    {
        auto execute = [this](const QString& sql) { return callAddIn(*m_db, "Execute", {sql}); };
        QCOMPARE(execute(u"CREATE TABLE t (x INTEGER)"_s), QVariant(0));
        QCOMPARE(execute(u"INSERT INTO t VALUES (1), (2), (3)"_s), QVariant(3));
        QCOMPARE(execute(u"CREATE TABLE u (y)"_s), QVariant(0));
        QCOMPARE(execute(u"SELECT * FROM t"_s), QVariant(0));
        QCOMPARE(execute(u"UPDATE t SET x = x * 10 WHERE x > 1"_s), QVariant(2));
        QCOMPARE(execute(u"DELETE FROM t WHERE x = 30"_s), QVariant(1));
        QCOMPARE(execute(u"WITH n(v) AS (SELECT 7) INSERT INTO t SELECT v FROM n"_s), QVariant(1));
        QCOMPARE(execute(u"INSERT INTO u VALUES (1); UPDATE t SET x = 0; DROP TABLE u"_s),
                 QVariant(4));
        QCOMPARE(execute(u""_s), QVariant(0));
        QCOMPARE(execute(u"-- nothing but a comment"_s), QVariant(0));
    }

    void placeholdersBindValuesInOrder()
    {
        CALL_OK(created, "Execute", {u"CREATE TABLE t (n INTEGER, a, b)"_s});
        const QStringList texts{u"O'Brien"_s, u"say \"hi\""_s, u"'); DROP TABLE t; --"_s, u"?"_s,
                                u"semi;colon"_s};
        for (int i = 0; i < texts.size(); ++i) {
            CALL_OK(added, "Execute", {u"INSERT INTO t VALUES (?, ?, '?;')"_s, i, texts[i]});
            QCOMPARE(added, QVariant(1));
        }
        for (int i = 0; i < texts.size(); ++i) {
            CALL_OK(back, "Scalar", {u"SELECT a FROM t WHERE n = ? AND b = '?;'"_s, i});
            QCOMPARE(back, QVariant(texts[i]));
        }
        // Several statements take the values in turn.
        CALL_OK(both, "Execute",
                {u"INSERT INTO t VALUES (?, ?, 'x'); INSERT INTO t (n, a) VALUES (?, ?)"_s, 10,
                 u"first"_s, 11, u"second"_s});
        QCOMPARE(both, QVariant(2));
        QCOMPARE(scalar(u"SELECT group_concat(a, '+') FROM t WHERE n >= 10 ORDER BY n"_s),
                 QVariant(u"first+second"_s));
    }

    void placeholderValuesOfEveryKind_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("stored"); // typeof() and quote() as SQLite sees them

        QTest::newRow("Null") << QVariant::fromValue(nullptr) << u"null NULL"_s;
        QTest::newRow("Empty") << QVariant() << u"null NULL"_s;
        // An engine may hand over an empty text as a null QString; it is still a text.
        QTest::newRow("empty text") << QVariant(QString()) << u"text ''"_s;
        QTest::newRow("integer") << QVariant(-42) << u"integer -42"_s;
        QTest::newRow("double") << QVariant(2.5) << u"real 2.5"_s;
        QTest::newRow("Boolean") << QVariant(true) << u"integer 1"_s;
        QTest::newRow("text with a quote") << QVariant(u"it's"_s) << u"text 'it''s'"_s;
    }
    void placeholderValuesOfEveryKind()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, stored);

        CALL_OK(created, "Execute", {u"CREATE TABLE t (v)"_s});
        CALL_OK(added, "Execute", {u"INSERT INTO t VALUES (?)"_s, value});
        QCOMPARE(scalar(u"SELECT typeof(v) || ' ' || quote(v) FROM t"_s), QVariant(stored));
    }

    // A call whose values do not fit its placeholders runs nothing at all.
    void placeholderMisuseIsRefused_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("description");

        QTest::newRow("too few values")
            << u"INSERT INTO t VALUES (1); INSERT INTO t VALUES (?)"_s << QVariantList{}
            << u"The SQL has 1 placeholder(s) but 0 value(s) were given."_s;
        QTest::newRow("too many values")
            << u"INSERT INTO t VALUES (?)"_s << QVariantList{1, 2}
            << u"The SQL has 1 placeholder(s) but 2 value(s) were given."_s;
        QTest::newRow("a question mark in a literal is no placeholder")
            << u"INSERT INTO t VALUES ('?')"_s << QVariantList{1}
            << u"The SQL has 0 placeholder(s) but 1 value(s) were given."_s;
        const QString byPosition = u"Only ? placeholders can be used: the values are bound in "
                                   "the order the ? marks stand, not by number or name."_s;
        QTest::newRow("numbered") << u"INSERT INTO t VALUES (?1)"_s << QVariantList{1}
                                  << byPosition;
        QTest::newRow("named") << u"INSERT INTO t VALUES (:x)"_s << QVariantList{1} << byPosition;
        // SQLite takes :1, @1 and $1 for names, which bound nothing, NULL, in silence.
        QTest::newRow("colon and a number")
            << u"INSERT INTO t VALUES (:1)"_s << QVariantList{1} << byPosition;
        QTest::newRow("at and a number")
            << u"INSERT INTO t VALUES (@1)"_s << QVariantList{1} << byPosition;
        QTest::newRow("dollar and a number")
            << u"INSERT INTO t VALUES ($1)"_s << QVariantList{1} << byPosition;
        QTest::newRow("colon and a number beside a question mark")
            << u"INSERT INTO t VALUES (?, :1)"_s << QVariantList{1, 2} << byPosition;
        // Not-a-number would be stored as NULL; an infinity could not be read into a script.
        QTest::newRow("not a number")
            << u"INSERT INTO t VALUES (?)"_s << QVariantList{qQNaN()}
            << u"Value 1 for the placeholders is not a number, which the database cannot store "
               "as a number."_s;
        QTest::newRow("an infinity")
            << u"INSERT INTO t VALUES (?, ?)"_s << QVariantList{2, -qInf()}
            << u"Value 2 for the placeholders is infinite, which the database cannot store as a "
               "number."_s;
        // UTF-8 would store both U+DC00 and U+DC01 as U+FFFD: two keys would become one.
        QTest::newRow("a lone surrogate in a value")
            << u"INSERT INTO t VALUES (?)"_s << QVariantList{u"ab"_s + QChar(0xDC01)}
            << u"Value 1 for the placeholders holds the lone surrogate U+DC01 at position 3, "
               "which the database cannot store."_s;
        QTest::newRow("a lone surrogate in the SQL text")
            << u"INSERT INTO t VALUES ('"_s + QChar(0xD800) + u"')"_s << QVariantList{}
            << u"The SQL text holds the lone surrogate U+D800 at position 24, which the database "
               "cannot store."_s;
        QTest::newRow("an object")
            << u"INSERT INTO t VALUES (?)"_s << QVariantList{QVariant::fromValue<QObject*>(this)}
            << u"Value 1 for the placeholders is a QObject*, which cannot be stored in the "
               "database."_s;
        QTest::newRow("an array")
            << u"INSERT INTO t VALUES (?)"_s << QVariantList{QVariant(QVariantList{1})}
            << u"Value 1 for the placeholders is a QVariantList, which cannot be stored in the "
               "database."_s;
    }
    void placeholderMisuseIsRefused()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        QFETCH(QString, description);

        CALL_OK(created, "Execute", {u"CREATE TABLE t (v)"_s});
        QCOMPARE(failureOf(callAddIn(*m_db, "Execute", QVariantList{sql} + values)), description);
        QCOMPARE(scalar(u"SELECT count(*) FROM t"_s), QVariant(0));
    }

    // SQLite stops reading a statement at a NUL, so one inside the SQL text would run a
    // different, shorter statement: here a DELETE of every row.
    void aNulInTheSqlTextIsRefused()
    {
        CALL_OK(created, "Execute", {u"CREATE TABLE t (v); INSERT INTO t VALUES (1), (2)"_s});
        const QString sql = u"DELETE FROM t"_s + QChar(0) + u" WHERE v = 1"_s;
        for (const char* operation : {"Execute", "Scalar", "Query"}) {
            QCOMPARE(failureOf(callAddIn(*m_db, operation, {sql})),
                     u"The SQL text holds a NUL character at position 14, where SQLite would stop "
                     "reading it: pass such a text as a value for a ? placeholder."_s);
            QCOMPARE(scalar(u"SELECT count(*) FROM t"_s), QVariant(2));
        }
        // As a value it is stored whole.
        const QString text = u"a"_s + QChar(0) + u"b"_s;
        CALL_OK(added, "Execute", {u"INSERT INTO t VALUES (?)"_s, text});
        QCOMPARE(scalar(u"SELECT v FROM t WHERE typeof(v) = 'text'"_s), QVariant(text));
    }

    // What Scalar answers, typed as the contract between engines and add-ins has it.
    void scalarAnswersTypedValues_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariant>("expected");

        QTest::newRow("integer") << u"SELECT 42"_s << QVariant(42);
        QTest::newRow("integer beyond 32 bits") << u"SELECT 4294967296"_s << QVariant(4294967296.0);
        QTest::newRow("real") << u"SELECT 0.25"_s << QVariant(0.25);
        QTest::newRow("text") << u"SELECT 'a' || 'b'"_s << QVariant(u"ab"_s);
        QTest::newRow("null") << u"SELECT NULL"_s << QVariant::fromValue(nullptr);
        QTest::newRow("no row: Empty") << u"SELECT 1 WHERE 0"_s << QVariant();
        QTest::newRow("no columns: Empty") << u"CREATE TABLE t (x)"_s << QVariant();
        QTest::newRow("blob as hexadecimal") << u"SELECT x'00ff10'"_s << QVariant(u"00FF10"_s);
        QTest::newRow("first column of first row")
            << u"SELECT v, 'other' FROM (SELECT 3 AS v UNION ALL SELECT 4) ORDER BY v"_s
            << QVariant(3);
    }
    void scalarAnswersTypedValues()
    {
        QFETCH(QString, sql);
        QFETCH(QVariant, expected);

        const QVariant answer = scalar(sql);
        QVERIFY2(!isAddInError(answer), qPrintable(failureOf(answer)));
        QCOMPARE(answer.metaType(), expected.metaType());
        QCOMPARE(answer, expected);
    }

    void scalarAndQueryRunOneStatement_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::newRow("Scalar") << QByteArray("Scalar");
        QTest::newRow("Query") << QByteArray("Query");
    }
    void scalarAndQueryRunOneStatement()
    {
        QFETCH(QByteArray, method);
        CALL_OK(created, "Execute", {u"CREATE TABLE t (x)"_s});
        const QVariant answer = callAddIn(*m_db, method, {u"INSERT INTO t VALUES (1); SELECT 1"_s});
        QCOMPARE(failureOf(answer),
                 QString::fromLatin1(method) +
                     u" runs one SQL statement; 2 were given. Run several with Execute."_s);
        QCOMPARE(scalar(u"SELECT count(*) FROM t"_s), QVariant(0));
        QVERIFY(isAddInError(callAddIn(*m_db, method, {u"  -- nothing"_s})));
    }

    void queryWritesRowsAsText_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("text");

        QTest::newRow("header, rows, CR LF between lines, none after the last")
            << u"SELECT 1 AS a, 'x' AS b UNION ALL SELECT 2, 'y'"_s << u"a\tb\r\n1\tx\r\n2\ty"_s;
        QTest::newRow("integers without a fraction, reals in their shortest form")
            << u"SELECT 3, -7, 9007199254740993, 2.5, 3.0, 0.1, -0.001, 1e20, 1.5e-5, 0.0"_s
            << u"3\t-7\t9007199254740993\t2.5\t3.0\t0.1\t-0.001\t1e20\t1.5e-5\t0.0\r\n"
               "3\t-7\t9007199254740993\t2.5\t3\t0.1\t-0.001\t1E+20\t1.5E-05\t0"_s;
        QTest::newRow("null as the empty text")
            << u"SELECT NULL AS n, '' AS e, 1 AS one"_s << u"n\te\tone\r\n\t\t1"_s;
        QTest::newRow("tabs, line breaks and backslashes escaped")
            << u"SELECT 'a' || char(9) || 'b' AS \"tab\tname\", 'l1' || char(13, 10) || 'l2', "
               "'C:\\dir\\n'"_s
            << u"tab\\tname\t'l1' || char(13, 10) || 'l2'\t'C:\\\\dir\\\\n'\r\n"
               "a\\tb\tl1\\r\\nl2\tC:\\\\dir\\\\n"_s;
        QTest::newRow("blob as hexadecimal") << u"SELECT x'0aff' AS b"_s << u"b\r\n0AFF"_s;
        QTest::newRow("no rows: the header alone")
            << u"SELECT 1 AS a, 2 AS b WHERE 0"_s << u"a\tb"_s;
        QTest::newRow("no columns: the empty text") << u"CREATE TABLE t (x)"_s << QString();
    }
    void queryWritesRowsAsText()
    {
        QFETCH(QString, sql);
        QFETCH(QString, text);

        CALL_OK(answer, "Query", {sql});
        QCOMPARE(answer.metaType(), QMetaType::fromType<QString>());
        QCOMPARE(answer.toString(), text);
    }

    void queryBindsPlaceholders()
    {
        CALL_OK(created, "Execute",
                {u"CREATE TABLE t (k, v); INSERT INTO t VALUES (1, 'a'), "
                 "(2, NULL), (3, 'c')"_s});
        CALL_OK(rows, "Query", {u"SELECT k, v FROM t WHERE k <> ? ORDER BY k"_s, 3});
        QCOMPARE(rows.toString(), u"k\tv\r\n1\ta\r\n2\t"_s);
    }

    // Several statements in one Execute take effect together or not at all.
    void aFailedScriptLeavesNoPartialChange()
    {
        CALL_OK(created, "Execute", {u"CREATE TABLE t (x UNIQUE)"_s});
        const QVariant failed = callAddIn(*m_db, "Execute",
                                          {u"INSERT INTO t VALUES (1); CREATE TABLE made (y); "
                                           "INSERT INTO t VALUES (2); INSERT INTO t VALUES (1)"_s});
        QCOMPARE(failureOf(failed), u"UNIQUE constraint failed: t.x"_s);
        QCOMPARE(scalar(u"SELECT count(*) FROM t"_s), QVariant(0));
        QCOMPARE(scalar(u"SELECT count(*) FROM sqlite_master WHERE name = 'made'"_s), QVariant(0));
        // ... and the connection is left fit for the next call.
        CALL_OK(added, "Execute", {u"INSERT INTO t VALUES (1); INSERT INTO t VALUES (2)"_s});
        QCOMPARE(added, QVariant(2));
    }

    // Semicolons inside texts, names, comments and a trigger's body do not end a statement.
    void scriptsSplitWhereSqliteWould()
    {
        CALL_OK(made, "Execute",
                {u"CREATE TABLE \"a;b\" (v); -- a comment; still a comment\n"
                 "CREATE TABLE log (n); /* one; two */\n"
                 "CREATE TRIGGER count_rows AFTER INSERT ON \"a;b\" BEGIN\n"
                 "  INSERT INTO log VALUES (CASE WHEN new.v = ';' THEN 1 ELSE 2 END);\n"
                 "  INSERT INTO log VALUES (3);\n"
                 "END;\n"
                 "INSERT INTO \"a;b\" VALUES (';');\n"
                 "INSERT INTO [a;b] VALUES ('x')"_s});
        QCOMPARE(made, QVariant(2));
        QCOMPARE(scalar(u"SELECT group_concat(n) FROM log"_s), QVariant(u"1,3,2,3"_s));
    }

    // One statement may begin or end the script's own transaction; several that do are refused,
    // since they would end the transaction the object wraps them in.
    void scriptsControlTheirOwnTransactions()
    {
        CALL_OK(created, "Execute", {u"CREATE TABLE t (x)"_s});
        CALL_OK(begun, "Execute", {u"BEGIN"_s});
        CALL_OK(added, "Execute", {u"INSERT INTO t VALUES (1); INSERT INTO t VALUES (2)"_s});
        CALL_OK(undone, "Execute", {u"ROLLBACK"_s});
        QCOMPARE(scalar(u"SELECT count(*) FROM t"_s), QVariant(0));

        const QVariant refused =
            callAddIn(*m_db, "Execute", {u"INSERT INTO t VALUES (1); COMMIT"_s});
        QCOMPARE(failureOf(refused), u"COMMIT begins or ends a transaction: run it in an Execute "
                                     "of its own, not among other statements."_s);
        QCOMPARE(scalar(u"SELECT count(*) FROM t"_s), QVariant(0));
    }
};

VELSCRIPT_TEST_GUILESS_MAIN(TestVelSql)
#include "tst_velsql.moc"
