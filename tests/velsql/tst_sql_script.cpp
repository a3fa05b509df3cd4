// How a script is cut into the statements Qt's SQLite driver prepares one at a time.

#include "support/test_program.h"
#include "velsql/sql_script.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using velscript::velsql::splitSqlScript;

class TestSqlScript : public QObject {
    Q_OBJECT

private slots:
    void splitsStatements_data()
    {
        QTest::addColumn<QString>("script");
        // Each statement as "first word/placeholders".
        QTest::addColumn<QStringList>("statements");

        QTest::newRow("one, no semicolon") << u"select ?"_s << QStringList{u"SELECT/1"_s};
        QTest::newRow("two, blanks and an empty one between")
            << u"  INSERT INTO t VALUES (?, ?);;\n\n UPDATE t SET a = ? ;  "_s
            << QStringList{u"INSERT/2"_s, u"UPDATE/1"_s};
        QTest::newRow("nothing but blanks and comments")
            << u" -- one; two\n /* three; ? */ "_s << QStringList{};
        QTest::newRow("quotes of every kind, doubled quotes inside")
            << u"SELECT 'it''s; ?', \"a;\"\"?\", `b;?`, [c;?] FROM t; SELECT ?"_s
            << QStringList{u"SELECT/0"_s, u"SELECT/1"_s};
        QTest::newRow("a comment after the last statement is dropped")
            << u"DELETE FROM t; -- done; really"_s << QStringList{u"DELETE/0"_s};
        QTest::newRow("an unterminated text runs to the end")
            << u"SELECT 'open; ?; SELECT 2"_s << QStringList{u"SELECT/0"_s};
        QTest::newRow("an unterminated comment runs to the end")
            << u"SELECT ?; /* open; SELECT ?"_s << QStringList{u"SELECT/1"_s};
        QTest::newRow("a trigger's body, with CASE ... END inside")
            << u"CREATE TEMP TRIGGER tr AFTER INSERT ON t WHEN new.a = ? BEGIN\n"
               " UPDATE t SET b = CASE WHEN ? THEN 1 END;\n"
               " DELETE FROM u;\n"
               "END; INSERT INTO t VALUES (?)"_s
            << QStringList{u"CREATE/2"_s, u"INSERT/1"_s};
        QTest::newRow("BEGIN outside a trigger is a statement of its own")
            << u"BEGIN; CREATE TABLE trigger_log (x); END"_s
            << QStringList{u"BEGIN/0"_s, u"CREATE/0"_s, u"END/0"_s};
        QTest::newRow("a word that only starts like a keyword")
            << u"CREATE TABLE triggers (begins); SELECT 1"_s
            << QStringList{u"CREATE/0"_s, u"SELECT/0"_s};
        QTest::newRow("placeholder next to other tokens")
            << u"SELECT ?+?,?||'?'"_s << QStringList{u"SELECT/3"_s};
    }
    void splitsStatements()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, statements);

        const auto split = splitSqlScript(script);
        QVERIFY2(split.has_value(), qPrintable(split ? QString() : split.error()));
        QStringList found;
        for (const auto& statement : *split)
            found << u"%1/%2"_s.arg(statement.firstWord).arg(statement.placeholders);
        QCOMPARE(found, statements);
    }

    // The statements' texts are what SQLite is given: each whole, none with another's part.
    void keepsEachStatementWhole()
    {
        const auto split = splitSqlScript(u"INSERT INTO t VALUES ('a;b'); -- note\nSELECT 1"_s);
        QVERIFY(split.has_value());
        QCOMPARE(split->size(), size_t(2));
        QCOMPARE(split->at(0).text, u"INSERT INTO t VALUES ('a;b');"_s);
        QCOMPARE(split->at(1).text, u"-- note\nSELECT 1"_s);
    }

    void refusesPlaceholdersByNumberOrName_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("numbered") << u"SELECT ?2"_s;
        QTest::newRow("colon") << u"SELECT :name"_s;
        QTest::newRow("at") << u"SELECT 1; SELECT @name"_s;
        QTest::newRow("dollar") << u"SELECT $name"_s;
        QTest::newRow("colon and a number") << u"SELECT :1"_s;
        QTest::newRow("at and a number") << u"SELECT @1"_s;
        QTest::newRow("dollar and a number") << u"SELECT $1"_s;
        QTest::newRow("colon and a number beside a question mark") << u"SELECT ?, :1"_s;
    }
    void refusesPlaceholdersByNumberOrName()
    {
        QFETCH(QString, script);
        const auto split = splitSqlScript(script);
        QVERIFY(!split.has_value());
        QVERIFY(split.error().startsWith(u"Only ? placeholders can be used"_s));
        // Inside a text they are just characters.
        QVERIFY(splitSqlScript(u"SELECT '"_s + script + u"'"_s).has_value());
    }
};

VELSCRIPT_TEST_GUILESS_MAIN(TestSqlScript)
#include "tst_sql_script.moc"
