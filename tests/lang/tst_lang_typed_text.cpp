// Text typed at run time through the interpreter's one entry for it: which texts are evaluated
// for their value and which run as statements, and the error a text that is neither reports.

#include "lang/conversions.h"
#include "lang/interpreter.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript::lang;

namespace {

class LoggingHost : public Host {
public:
    void log(const QString& text) override { entries << text; }
    QStringList entries;
};

const QString script = QStringLiteral("Dim n, shown\n"
                                      "n = 4\n"
                                      "Function Twice(v)\n"
                                      "  Twice = v * 2\n"
                                      "End Function\n"
                                      "Function Bump(count)\n"
                                      "  count = count + 1\n"
                                      "  Bump = count\n"
                                      "End Function\n"
                                      "Sub Show(a, b)\n"
                                      "  Log a & \",\" & b\n"
                                      "End Sub\n");

} // namespace

class TestLanguageTypedText : public QObject {
    Q_OBJECT

private slots:
    void typedText_data();
    void typedText();
};

void TestLanguageTypedText::typedText_data()
{
    QTest::addColumn<QString>("text");
    // "= value" for an expression, "log: entries" for statements, or the error.
    QTest::addColumn<QString>("answer");
    // What the typed text left in n.
    QTest::addColumn<int>("n");

    QTest::newRow("name") << "n"
                          << "= 4" << 4;
    QTest::newRow("operators") << "n * 2 - 1"
                               << "= 7" << 4;
    QTest::newRow("literal first") << "1 + n"
                                   << "= 5" << 4;
    QTest::newRow("Not first") << "Not (n > 3)"
                               << "= False" << 4;
    QTest::newRow("trailing separator") << "n :"
                                        << "= 4" << 4;
    // A single call written as a statement is evaluated; its argument goes by reference as in
    // any expression, so Bump changes n.
    QTest::newRow("call") << "Twice(3)"
                          << "= 6" << 4;
    QTest::newRow("call passing by reference") << "Bump(n)"
                                               << "= 5" << 5;
    // After the call, an operator makes it an expression, not the call's parenthesised argument.
    QTest::newRow("call and more") << "Twice(3) + Twice(1)"
                                   << "= 8" << 4;
    QTest::newRow("comparison") << "Twice(2) + 0 = n"
                                << "= True" << 4;
    QTest::newRow("assignment") << "n = 9"
                                << "log: " << 9;
    QTest::newRow("statement call") << "Log \"typed\""
                                    << "log: typed" << 4;
    QTest::newRow("statements") << "n = 1 : Log n"
                                << "log: 1" << 1;
    QTest::newRow("call then a statement") << "Bump n : Log n"
                                           << "log: 5" << 5;
    QTest::newRow("keyword statement") << "Dim k : k = 2 : n = k"
                                       << "log: " << 2;
    // What reads as an expression up to a comma is a call with arguments after all.
    QTest::newRow("signed first argument") << "Show -1, n"
                                           << "log: -1,4" << 4;
    QTest::newRow("parenthesised first argument") << "Show (1) + 2, 3"
                                                  << "log: 3,3" << 4;
    QTest::newRow("nothing") << " : "
                             << "log: " << 4;
    // Neither an expression nor statements: the statements' error.
    QTest::newRow("broken expression") << "1 +"
                                       << "Syntax error at column 1: Expected statement" << 4;
    QTest::newRow("broken call") << "Twice(1, 2) + 3 4"
                                 << "Syntax error at column 13: Expected end of statement" << 4;
    QTest::newRow("broken arguments") << "Show -1,"
                                      << "Syntax error at column 9: Expected expression" << 4;
    // The language's constants are there for typed text too, and as read-only as in a script.
    QTest::newRow("constant") << "vbTextCompare + n"
                              << "= 5" << 4;
    QTest::newRow("constant as an argument") << "InStr(1, \"aXa\", \"x\", VBTEXTCOMPARE) + n"
                                             << "= 6" << 4;
    QTest::newRow("constant assigned") << "vbTab = 1 : n = 1"
                                       << "Syntax error at column 1: Illegal assignment to "
                                          "constant 'vbTab'"
                                       << 4;
    QTest::newRow("constant declared") << "Dim vbCr : n = 1"
                                       << "Syntax error at column 5: Name redefined: 'vbCr'" << 4;
    QTest::newRow("run-time error") << "n / 0"
                                    << "Run-time error 11: Division by zero" << 4;
}

void TestLanguageTypedText::typedText()
{
    QFETCH(QString, text);
    QFETCH(QString, answer);
    QFETCH(int, n);

    LoggingHost host;
    Interpreter interpreter(host);
    QVERIFY(!interpreter.load(script));
    QVERIFY(interpreter.runModule().finished());

    Value value = Value(QStringLiteral("untouched"));
    const Outcome outcome = interpreter.runTyped(text, &value);
    QString shown;
    if (outcome.failed())
        shown = outcome.error.text();
    else if (value.isEmpty())
        shown = QStringLiteral("log: ") + host.entries.join(QLatin1Char('|'));
    else
        shown = QStringLiteral("= ") + toText(value);
    QCOMPARE(shown, answer);

    Value now;
    QVERIFY(interpreter.evaluate(QStringLiteral("n"), &now).finished());
    QCOMPARE(toText(now), QString::number(n));
}

VELSCRIPT_TEST_MAIN(TestLanguageTypedText)
#include "tst_lang_typed_text.moc"
