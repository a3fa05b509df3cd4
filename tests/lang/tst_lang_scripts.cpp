// Runs every script under tests/lang/<feature>/ through the language library and compares its
// Log entries and its error with the script's own `' expect:` and `' expect error:` comments.
// Each script runs twice, with the statement hook and in fast mode; both must agree.

#include "lang/interpreter.h"
#include "support/test_program.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace velscript::lang;

namespace {

struct Expectation {
    QStringList log;
    QString error; // empty: the script must finish
    int errorLine = 0;
    QString calls; // `' expect calls: Inner 2, Outer 7`, innermost first; empty: not checked
};

Expectation readExpectation(const QString& source)
{
    static const QRegularExpression expect(QStringLiteral("' expect: (.*)$"));
    static const QRegularExpression expectError(QStringLiteral("' expect error: (.*)$"));
    static const QRegularExpression expectCalls(QStringLiteral("' expect calls: (.*)$"));
    Expectation result;
    const QStringList lines = source.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (const auto match = expect.match(line); match.hasMatch())
            result.log << match.captured(1);
        else if (const auto calls = expectCalls.match(line); calls.hasMatch())
            result.calls = calls.captured(1);
        else if (const auto err = expectError.match(line); err.hasMatch()) {
            result.error = err.captured(1);
            result.errorLine = i + 1;
        }
    }
    return result;
}

class RecordingHost : public Host {
public:
    void log(const QString& text) override { entries << text; }
    void statement(int line) override
    {
        ++statements;
        lastLine = line;
    }

    QStringList entries;
    int statements = 0;
    int lastLine = 0;
};

struct ScriptRun {
    QStringList log;
    QString error;
    int errorLine = 0;
    QString calls;
    int hookCalls = 0;
};

ScriptRun runScript(const QString& source, bool hooked)
{
    RecordingHost host;
    ScriptRun run;
    Outcome outcome;
    {
        // The program ends with its interpreter: what its instances' Class_Terminate logs then
        // is part of the run.
        Interpreter interpreter(host);
        interpreter.setHooked(hooked);
        if (const auto syntax = interpreter.load(source)) {
            outcome.completion = Outcome::Completion::Failed;
            outcome.error = *syntax;
        } else {
            outcome = interpreter.runModule();
            if (outcome.finished() && interpreter.hasRoutine(QStringLiteral("Main")))
                outcome = interpreter.callRoutine(QStringLiteral("Main"));
        }
    }
    if (outcome.failed()) {
        run.error = outcome.error.text();
        run.errorLine = outcome.error.line;
        QStringList calls;
        for (const CallFrame& frame : outcome.error.frames)
            calls << QStringLiteral("%1 %2").arg(frame.routine).arg(frame.line);
        run.calls = calls.join(QStringLiteral(", "));
    }
    run.log = host.entries;
    run.hookCalls = host.statements;
    return run;
}

} // namespace

class TestLanguageScripts : public QObject {
    Q_OBJECT

private slots:
    void scripts_data();
    void scripts();
};

void TestLanguageScripts::scripts_data()
{
    QTest::addColumn<QString>("path");
    const QString root = QStringLiteral(VELSCRIPT_LANG_TESTS);
    QDirIterator it(root, {QStringLiteral("*.vbs")}, QDir::Files, QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    QVERIFY2(paths.size() > 20, "the language scripts were not found");
    for (const QString& path : paths)
        QTest::newRow(qPrintable(QDir(root).relativeFilePath(path))) << path;
}

void TestLanguageScripts::scripts()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString source = QString::fromUtf8(file.readAll());
    const Expectation expected = readExpectation(source);
    QVERIFY2(!expected.log.isEmpty() || !expected.error.isEmpty(),
             "a script must expect something");

    const ScriptRun hooked = runScript(source, true);
    QCOMPARE(hooked.log, expected.log);
    QCOMPARE(hooked.error, expected.error);
    if (!expected.error.isEmpty())
        QCOMPARE(hooked.errorLine, expected.errorLine);
    if (!expected.calls.isEmpty())
        QCOMPARE(hooked.calls, expected.calls);

    const ScriptRun fast = runScript(source, false);
    QCOMPARE(fast.log, hooked.log);
    QCOMPARE(fast.error, hooked.error);
    QCOMPARE(fast.errorLine, hooked.errorLine);
    QCOMPARE(fast.calls, hooked.calls);
    QCOMPARE(fast.hookCalls, 0);
}

VELSCRIPT_TEST_GUILESS_MAIN(TestLanguageScripts)
#include "tst_lang_scripts.moc"
