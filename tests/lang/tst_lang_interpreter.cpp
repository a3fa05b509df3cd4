// The interface the engine drives, beyond what a script file can show: the statement hook and
// fast mode, stepping and stopping from another thread, routines called by name, statements and
// expressions typed at run time, host objects, the limits and how errors are reported.

#include "lang/conversions.h"
#include "lang/interpreter.h"
#include "support/test_program.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

using namespace velscript::lang;
using namespace std::chrono_literals;

namespace {

// Generous: the machine may be loaded, but a script that should have ended and has not failed.
constexpr auto patience = 30s;

// A host another thread may watch: the log, the lines the hook saw, and optionally a hold in the
// hook that lets one statement run per step(), as the engine's stepping does.
class WatchedHost : public Host {
public:
    explicit WatchedHost(bool holding = false) : m_free(!holding) {}

    void log(const QString& text) override
    {
        std::lock_guard lock(m_mutex);
        m_log << text;
        m_changed.notify_all();
    }

    void statement(int line) override
    {
        std::unique_lock lock(m_mutex);
        ++m_statements;
        if (m_recordLines)
            m_lines << line;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_permits > 0 || m_free; });
        if (m_permits > 0)
            --m_permits;
    }

    // Only for scripts that end: an endless loop would record without bound.
    void recordLines() { m_recordLines = true; }
    void step()
    {
        std::lock_guard lock(m_mutex);
        ++m_permits;
        m_changed.notify_all();
    }
    void resume()
    {
        std::lock_guard lock(m_mutex);
        m_free = true;
        m_changed.notify_all();
    }
    bool waitForLines(qsizetype count)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, patience, [&] { return m_lines.size() >= count; });
    }
    bool waitForLog(const QString& entry)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, patience, [&] { return m_log.contains(entry); });
    }
    QStringList entries() const
    {
        std::lock_guard lock(m_mutex);
        return m_log;
    }
    QList<int> lines() const
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    qint64 statements() const
    {
        std::lock_guard lock(m_mutex);
        return m_statements;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QStringList m_log;
    QList<int> m_lines;
    qint64 m_statements = 0;
    bool m_recordLines = false;
    int m_permits = 0;
    bool m_free;
};

// Runs a script on a worker thread. If a check fails before the script ends, the destructor
// unblocks and joins it, so that a failed test does not leave a thread behind.
class ScriptThread {
public:
    ScriptThread(std::function<Outcome()> body, std::function<void()> unblock)
        : m_unblock(std::move(unblock))
    {
        std::packaged_task<Outcome()> task(std::move(body));
        m_result = task.get_future();
        m_thread = std::thread(std::move(task));
    }
    ~ScriptThread()
    {
        if (!m_thread.joinable())
            return;
        if (m_result.wait_for(0s) != std::future_status::ready)
            m_unblock();
        m_thread.join();
    }
    ScriptThread(const ScriptThread&) = delete;
    ScriptThread& operator=(const ScriptThread&) = delete;

    std::optional<Outcome> finish()
    {
        if (m_result.wait_for(patience) != std::future_status::ready)
            return std::nullopt;
        m_thread.join();
        return m_result.get();
    }

private:
    std::function<void()> m_unblock;
    std::future<Outcome> m_result;
    std::thread m_thread;
};

QString shown(const Value& value)
{
    return value.isObject() ? typeName(value) : toText(value);
}

QString evaluated(Interpreter& interpreter, const QString& expression)
{
    Value value;
    const Outcome outcome = interpreter.evaluate(expression, &value);
    if (!outcome.finished())
        return QStringLiteral("<%1>").arg(outcome.error.text());
    return shown(value);
}

QString failure(const Outcome& outcome)
{
    return outcome.failed() ? outcome.error.text() : QString();
}

// A host object of the kind the engine binds: a method with arguments and a result, a readable
// and writable property, a read-only one, and a method that fails.
class Gauge : public HostObject {
public:
    QString typeName() const override { return QStringLiteral("Gauge"); }

    Value call(const QString& name, std::span<const Value> args) override
    {
        if (name.compare(QLatin1String("Add"), Qt::CaseInsensitive) == 0) {
            if (args.size() != 2)
                throw RuntimeError(ErrorNumber::WrongArgumentCount);
            lastArguments = {toText(args[0]), toText(args[1])};
            return Value(toInt32(args[0]) + toInt32(args[1]));
        }
        if (name.compare(QLatin1String("Fail"), Qt::CaseInsensitive) == 0)
            throw RuntimeError(1001, QStringLiteral("The gauge is not connected"));
        if (name.compare(QLatin1String("Readings"), Qt::CaseInsensitive) == 0)
            return Value(std::vector<Value>{Value(10), Value(20), Value(30)});
        if (name.compare(QLatin1String("Exhaust"), Qt::CaseInsensitive) == 0)
            throw std::bad_alloc();
        // Outside the contract: a host object should throw run-time errors only.
        if (name.compare(QLatin1String("Break"), Qt::CaseInsensitive) == 0)
            throw std::logic_error("broken gauge");
        return HostObject::call(name, args);
    }
    Value getProperty(const QString& name) override
    {
        if (name.compare(QLatin1String("Level"), Qt::CaseInsensitive) == 0)
            return Value(level);
        if (name.compare(QLatin1String("Unit"), Qt::CaseInsensitive) == 0)
            return Value(QStringLiteral("mm"));
        return HostObject::getProperty(name);
    }
    void setProperty(const QString& name, const Value& value) override
    {
        if (name.compare(QLatin1String("Level"), Qt::CaseInsensitive) == 0) {
            level = toInt32(value);
            return;
        }
        HostObject::setProperty(name, value);
    }

    std::int32_t level = 0;
    QStringList lastArguments;
};

} // namespace

class TestLanguageInterpreter : public QObject {
    Q_OBJECT

private slots:
    void hookLines_data();
    void hookLines();
    void currentLineAfterError();
    void stepping();
    void typedWhilePaused();
    void typedInPausedRoutine();
    void typedInPausedRoutineDeclares();
    void typedInPausedClassRoutine();
    void instancesEndWithTheProgram();
    void stepBack();
    void stopEndsEndlessLoop_data();
    void stopEndsEndlessLoop();
    void stopEndsSleep_data();
    void stopEndsSleep();
    void stopStaysRequested();
    void routines();
    void failedLoadLeavesNothingToRun();
    void executeAndEvaluate();
    void typedErrors_data();
    void typedErrors();
    void dimInExecute();
    void typedTextUnderOptionExplicit();
    void hostObjects_data();
    void hostObjects();
    void hostObjectArguments();
    void foreignExceptionLeavesInterpreterUsable();
    void recursionLimits_data();
    void recursionLimits();
    void smallNativeStack_data();
    void smallNativeStack();
    void lengthLimits_data();
    void lengthLimits();
    void syntaxErrors_data();
    void syntaxErrors();
    void flatBranchLists();
};

void TestLanguageInterpreter::hookLines_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<int>("lastLine");

    QTest::newRow("straight") << QStringLiteral("a = 1\nb = 2\n\nLog a + b\n")
                              << QList<int>{1, 2, 4} << 4;
    QTest::newRow("colon-separated")
        << QStringLiteral("a = 1 : b = 2\nLog a\n") << QList<int>{1, 1, 2} << 2;
    QTest::newRow("routine called twice")
        << QStringLiteral("Sub Show(x)\n  Log x\nEnd Sub\nShow 1\nShow 2\n")
        << QList<int>{4, 2, 5, 2} << 5;
    QTest::newRow("for rounds") << QStringLiteral("For i = 1 To 2\n  Log i\nNext\nLog \"done\"\n")
                                << QList<int>{1, 2, 3, 2, 3, 4} << 4;
    QTest::newRow("do rounds") << QStringLiteral("n = 0\nDo While n < 2\n  n = n + 1\nLoop\n") //
                               << QList<int>{1, 2, 3, 4, 3, 4} << 4;
    QTest::newRow("empty loop body")
        << QStringLiteral(
               "n = 0\nWhile n < 0\nWend\nDo\n  n = n + 1\n  If n = 2 Then Exit Do\nLoop\n")
        << QList<int>{1, 2, 4, 5, 6, 7, 5, 6, 6} << 6;
    QTest::newRow("if branches")
        << QStringLiteral("x = 5\nIf x > 3 Then\n  Log \"big\"\nElse\n  Log \"small\"\nEnd If\n")
        << QList<int>{1, 2, 3} << 3;
    QTest::newRow("function in a loop")
        << QStringLiteral("Function Twice(v)\n  Twice = v * 2\nEnd Function\n"
                          "For Each v In Array(1, 2)\n  Log Twice(v)\nNext\n")
        << QList<int>{4, 5, 2, 6, 5, 2, 6} << 6;
    QTest::newRow("nested routines")
        << QStringLiteral("Sub Inner\n  Log 1\nEnd Sub\nSub Outer\n  Inner\n  Log 2\nEnd Sub\n"
                          "Outer\nLog 3\n")
        << QList<int>{8, 5, 2, 6, 9} << 9;
    QTest::newRow("select") << QStringLiteral(
                                   "Select Case 2\nCase 1\n  Log 1\nCase 2\n  Log 2\nEnd Select\n")
                            << QList<int>{1, 5} << 5;
}

// The hook sees every statement, loop round and routine line in order; fast mode never calls it
// and runs the same script to the same end.
void TestLanguageInterpreter::hookLines()
{
    QFETCH(QString, source);
    QFETCH(QList<int>, lines);
    QFETCH(int, lastLine);

    WatchedHost hooked;
    hooked.recordLines();
    Interpreter interpreter(hooked);
    QVERIFY(interpreter.isHooked());
    QVERIFY(!interpreter.load(source));
    QCOMPARE(interpreter.currentLine(), 0);
    const Outcome outcome = interpreter.runModule();
    QVERIFY2(outcome.finished(), qPrintable(failure(outcome)));
    QCOMPARE(hooked.lines(), lines);
    QCOMPARE(interpreter.currentLine(), lastLine);

    WatchedHost fast;
    Interpreter fastInterpreter(fast);
    fastInterpreter.setHooked(false);
    QVERIFY(!fastInterpreter.isHooked());
    QVERIFY(!fastInterpreter.load(source));
    QVERIFY(fastInterpreter.runModule().finished());
    QCOMPARE(fast.statements(), 0);
    QCOMPARE(fast.entries(), hooked.entries());
    QCOMPARE(fastInterpreter.currentLine(), lastLine);
}

// After a failure the current line is where the script failed, also when that is deep inside a
// routine, so that the engine can show it.
void TestLanguageInterpreter::currentLineAfterError()
{
    const QString source = QStringLiteral("Function Ratio(a, b)\n"
                                          "  Ratio = a / b\n"
                                          "End Function\n"
                                          "Sub Main\n"
                                          "  Log Ratio(4, 2)\n"
                                          "  Log Ratio(1, 0)\n"
                                          "End Sub\n");
    for (const bool hooked : {true, false}) {
        WatchedHost host;
        Interpreter interpreter(host);
        interpreter.setHooked(hooked);
        QVERIFY(!interpreter.load(source));
        QVERIFY(interpreter.runModule().finished());
        const Outcome outcome = interpreter.callRoutine(QStringLiteral("Main"));
        QVERIFY(outcome.failed());
        QCOMPARE(outcome.error.number, ErrorNumber::DivisionByZero);
        QCOMPARE(outcome.error.line, 2);
        QCOMPARE(interpreter.currentLine(), 2);
        QCOMPARE(host.entries(), QStringList{QStringLiteral("2")});

        // The next run reports its own lines, not the failure's.
        QVERIFY(interpreter.execute(QStringLiteral("Log Ratio(9, 3)")).finished());
        QCOMPARE(interpreter.currentLine(), 1);
    }
}

// The engine steps by holding the script in the hook: each release runs exactly one statement
// and the script waits at the next; resuming lets it run to the end.
void TestLanguageInterpreter::stepping()
{
    const QString source = QStringLiteral("Sub Note(text)\n"      // 1
                                          "  Log text\n"          // 2
                                          "End Sub\n"             // 3
                                          "total = 0\n"           // 4
                                          "For i = 1 To 3\n"      // 5
                                          "  total = total + i\n" // 6
                                          "  Note i\n"            // 7
                                          "Next\n"                // 8
                                          "Log total\n");         // 9
    const QList<int> expected{4, 5, 6, 7, 2, 8, 6, 7, 2, 8, 6, 7, 2, 8, 9};

    WatchedHost host(true);
    host.recordLines();
    Interpreter interpreter(host);
    QVERIFY(!interpreter.load(source));
    ScriptThread script([&] { return interpreter.runModule(); },
                        [&] {
                            interpreter.requestStop();
                            host.resume();
                        });

    // Step through the first round and a half, watching one statement at a time.
    const qsizetype stepped = 8;
    for (qsizetype at = 1; at <= stepped; ++at) {
        QVERIFY2(host.waitForLines(at), "the script did not reach its next statement");
        const QList<int> seen = host.lines();
        QCOMPARE(seen.size(), at); // held: it has not run ahead
        QCOMPARE(seen, expected.first(at));
        QCOMPARE(interpreter.currentLine(), expected[at - 1]);
        // `Note 1` runs between the 5th and 6th hold, so its entry appears exactly then.
        QCOMPARE(host.entries().size(), at >= 6 ? 1 : 0);
        host.step();
    }
    QVERIFY(host.waitForLines(stepped + 1));
    QCOMPARE(host.lines().size(), stepped + 1);
    QCOMPARE(host.entries(), QStringList{QStringLiteral("1")});

    host.resume();
    const std::optional<Outcome> outcome = script.finish();
    QVERIFY2(outcome, "the script did not finish after resuming");
    QVERIFY2(outcome->finished(), qPrintable(failure(*outcome)));
    QCOMPARE(host.lines(), expected);
    QCOMPARE(host.entries(), (QStringList{QStringLiteral("1"), QStringLiteral("2"),
                                          QStringLiteral("3"), QStringLiteral("6")}));
    QCOMPARE(interpreter.currentLine(), 9);
}

namespace {

// Evaluates and executes typed text from inside the hook, as the engine does for watches and
// typed statements while the script is paused.
class PausedTyping : public Host {
public:
    void log(const QString& text) override { entries << text; }
    void statement(int line) override
    {
        if (typing || line != 6 || done)
            return;
        typing = true;
        done = true;
        results << evaluated(*interpreter, QStringLiteral("total + 100"));
        results << evaluated(*interpreter, QStringLiteral("Twice(total + 1)"));
        results << evaluated(*interpreter, QStringLiteral("1 / total"));
        const Outcome typed =
            interpreter->execute(QStringLiteral("total = total + 1000 : Log \"typed\""));
        results << (typed.finished() ? QStringLiteral("ok") : typed.error.text());
        lineAfter = interpreter->currentLine();
        typing = false;
    }

    Interpreter* interpreter = nullptr;
    QStringList entries;
    QStringList results;
    int lineAfter = 0;
    bool typing = false;
    bool done = false;
};

} // namespace

// Typed text run while the script waits in the hook inside a routine works on the module
// variables the routine does not hide, and the script then goes on from where it was, in the
// same frame and on the same line.
void TestLanguageInterpreter::typedWhilePaused()
{
    PausedTyping host;
    Interpreter interpreter(host);
    host.interpreter = &interpreter;
    QVERIFY(!interpreter.load(QStringLiteral("Dim total\n"                 // 1
                                             "total = 0\n"                 // 2
                                             "Sub Add(n)\n"                // 3
                                             "  Dim doubled\n"             // 4
                                             "  doubled = n * 2\n"         // 5
                                             "  total = total + doubled\n" // 6
                                             "End Sub\n"                   // 7
                                             "Function Twice(v)\n"         // 8
                                             "  Twice = v * 2\n"           // 9
                                             "End Function\n"              // 10
                                             "Add 1\n"                     // 11
                                             "Add 2\n"                     // 12
                                             "Log total\n")));             // 13
    const Outcome outcome = interpreter.runModule();
    QVERIFY2(outcome.finished(), qPrintable(failure(outcome)));
    QCOMPARE(host.results, (QStringList{QStringLiteral("100"), QStringLiteral("2"),
                                        QStringLiteral("<Run-time error 11: Division by zero>"),
                                        QStringLiteral("ok")}));
    QCOMPARE(host.lineAfter, 6);
    QCOMPARE(host.entries, (QStringList{QStringLiteral("typed"), QStringLiteral("1006")}));
    QCOMPARE(interpreter.currentLine(), 13);
}

namespace {

// Types text from inside the hook at chosen lines, the first time the script stands at each, as
// the engine does while the script is paused there. A text starting with "?" is evaluated; the
// others are executed and answer "ok" or their error.
class TypingAt : public Host {
public:
    void log(const QString& text) override { entries << text; }
    void statement(int line) override
    {
        if (typing || !pending.contains(line))
            return;
        typing = true;
        for (const QString& text : pending.take(line)) {
            if (text.startsWith(QLatin1Char('?'))) {
                answers << evaluated(*interpreter, text.mid(1));
            } else {
                const Outcome outcome = interpreter->execute(text);
                answers << (outcome.finished() ? QStringLiteral("ok") : outcome.error.text());
            }
        }
        typing = false;
    }

    Interpreter* interpreter = nullptr;
    QHash<int, QStringList> pending;
    QStringList entries;
    QStringList answers;
    bool typing = false;
};

} // namespace

// Paused in a routine, typed text reads and assigns the routine's local, its ByVal and ByRef
// parameters and its Function result, ahead of a module variable of the same name; the routine
// then goes on with what was typed. A routine called from the typed text gets a frame of its own.
void TestLanguageInterpreter::typedInPausedRoutine()
{
    TypingAt host;
    Interpreter interpreter(host);
    host.interpreter = &interpreter;
    QVERIFY(!interpreter.load(QStringLiteral("Dim n, total\n"                             // 1
                                             "n = \"module\"\n"                           // 2
                                             "total = 10\n"                               // 3
                                             "Function Scale(ByVal factor, ByRef sum)\n"  // 4
                                             "  Dim n\n"                                  // 5
                                             "  n = factor * 2\n"                         // 6
                                             "  sum = sum + n\n"                          // 7
                                             "  Log \"n=\" & n & \" factor=\" & factor\n" // 8
                                             "  Scale = Scale + sum\n"                    // 9
                                             "End Function\n"                             // 10
                                             "Log Scale(3, total)\n"                      // 11
                                             "Log \"total=\" & total & \" n=\" & n\n"))); // 12
    host.pending[7] = QStringList{
        QStringLiteral("?n & \"/\" & factor & \"/\" & sum & \"/\" & IsEmpty(Scale)"),
        // A recursive call through the paused local: the inner call's own `n` is 2, and its
        // ByRef `sum` is the paused routine's `n`.
        QStringLiteral("?Scale(1, n)"),
        QStringLiteral("?n"),
        QStringLiteral("n = 7 : factor = 100 : sum = sum + 1 : Scale = 1000"),
        QStringLiteral("?total"),
        // A name the routine does not have is a module variable, made by assigning it.
        QStringLiteral("fresh = n + 1"),
    };
    const Outcome outcome = interpreter.runModule();
    QVERIFY2(outcome.finished(), qPrintable(failure(outcome)));
    QCOMPARE(host.answers,
             (QStringList{QStringLiteral("6/3/10/True"), QStringLiteral("8"), QStringLiteral("8"),
                          QStringLiteral("ok"), QStringLiteral("11"), QStringLiteral("ok")}));
    QCOMPARE(host.entries,
             (QStringList{QStringLiteral("n=2 factor=1"), QStringLiteral("n=7 factor=100"),
                          QStringLiteral("1018"), QStringLiteral("total=18 n=module")}));
    // Not paused, typed text stands at module level again.
    QCOMPARE(evaluated(interpreter, QStringLiteral("n & \"/\" & fresh")),
             QStringLiteral("module/8"));
    QCOMPARE(evaluated(interpreter, QStringLiteral("IsEmpty(factor)")), QStringLiteral("True"));

    // In a recursion the typed text sees the innermost call, the one the script stands in.
    QVERIFY(!interpreter.load(QStringLiteral("Function Fact(k)\n"           // 1
                                             "  If k <= 1 Then\n"           // 2
                                             "    Fact = 1\n"               // 3
                                             "  Else\n"                     // 4
                                             "    Fact = k * Fact(k - 1)\n" // 5
                                             "  End If\n"                   // 6
                                             "End Function\n"               // 7
                                             "Log Fact(4)\n")));            // 8
    host.answers.clear();
    host.entries.clear();
    host.pending[3] = QStringList{QStringLiteral("?k"), QStringLiteral("Fact = 5")};
    QVERIFY(interpreter.runModule().finished());
    QCOMPARE(host.answers, (QStringList{QStringLiteral("1"), QStringLiteral("ok")}));
    QCOMPARE(host.entries, QStringList{QStringLiteral("24")}); // line 3 then sets Fact = 1 anyway
}

// Typed text cannot add a variable to the paused routine, whose frame is laid out: Dim and
// Const typed there declare module variables, and one naming the routine's own variable is
// refused. ReDim resizes the routine's array; its constants stay constant; Option Explicit still
// holds; paused at module level, the routines' variables are out of sight.
void TestLanguageInterpreter::typedInPausedRoutineDeclares()
{
    TypingAt host;
    Interpreter interpreter(host);
    host.interpreter = &interpreter;
    QVERIFY(!interpreter.load(QStringLiteral("Option Explicit\n"                     // 1
                                             "Dim calls\n"                           // 2
                                             "Sub Fill(count)\n"                     // 3
                                             "  Const Label = \"item\"\n"            // 4
                                             "  Dim items(0)\n"                      // 5
                                             "  calls = calls + 1\n"                 // 6
                                             "  Log Label & UBound(items) & count\n" // 7
                                             "End Sub\n"                             // 8
                                             "Fill 2\n")));                          // 9
    host.pending[2] = QStringList{QStringLiteral("?count")};
    host.pending[6] = QStringList{
        QStringLiteral("?Label"),
        QStringLiteral("Label = 1"),
        QStringLiteral("Const Label = 2"),
        QStringLiteral("Dim count"),
        QStringLiteral("tpyo = 1"),
        QStringLiteral("ReDim items(count) : count = count + 1"),
        QStringLiteral("Dim later : later = count * 10"),
        QStringLiteral("Fill = 1"), // a Sub has no result to assign
    };
    const Outcome outcome = interpreter.runModule();
    QVERIFY2(outcome.finished(), qPrintable(failure(outcome)));
    QCOMPARE(host.answers,
             (QStringList{
                 QStringLiteral("<Run-time error 500: Variable is undefined>"),
                 QStringLiteral("item"),
                 QStringLiteral("Syntax error at column 1: Illegal assignment to constant 'Label'"),
                 QStringLiteral("Syntax error at column 7: Name redefined: 'Label'"),
                 QStringLiteral("Syntax error at column 5: Name redefined: 'count'"),
                 QStringLiteral("Run-time error 500: Variable is undefined"),
                 QStringLiteral("ok"),
                 QStringLiteral("ok"),
                 QStringLiteral("Syntax error at column 1: Illegal assignment to 'Fill'"),
             }));
    QCOMPARE(host.entries, QStringList{QStringLiteral("item23")});
    QCOMPARE(evaluated(interpreter, QStringLiteral("later & \"/\" & calls")),
             QStringLiteral("30/1"));
    QCOMPARE(evaluated(interpreter, QStringLiteral("count")),
             QStringLiteral("<Run-time error 500: Variable is undefined>"));
}

namespace {

// Steps back at chosen visits of the hook, as the engine does when asked to, and records the
// lines the hook saw and what each step back answered.
class SteppingBack : public Host {
public:
    void log(const QString& text) override { entries << text; }
    void statement(int line) override
    {
        lines << line;
        if (backAt.contains(int(lines.size())))
            answers << interpreter->stepBack();
    }

    Interpreter* interpreter = nullptr;
    QList<int> backAt; // 1-based visits of the hook
    QList<int> lines;
    QList<int> answers;
    QStringList entries;
};

} // namespace

// Stepping back moves the execution point to the previous statement of the same routine, to the
// statement that holds a body from the body's first statement, and to the loop from its Next;
// nothing is undone and the script goes on from there. At a routine's first statement there is
// nothing to go back to.
void TestLanguageInterpreter::stepBack()
{
    SteppingBack host;
    Interpreter interpreter(host);
    host.interpreter = &interpreter;
    QVERIFY(!interpreter.load(QStringLiteral("Sub Work\n"          // 1
                                             "  a = 1\n"           // 2
                                             "  For i = 1 To 2\n"  // 3
                                             "    Log i\n"         // 4
                                             "  Next\n"            // 5
                                             "  Log \"end\"\n"     // 6
                                             "End Sub\n"           // 7
                                             "Work\n"              // 8
                                             "Log \"after\"\n"))); // 9
    host.backAt = {2, 4, 7, 13, 20};
    const Outcome outcome = interpreter.runModule();
    QVERIFY2(outcome.finished(), qPrintable(failure(outcome)));
    QCOMPARE(host.answers, (QList<int>{0, 3, 3, 3, 8}));
    QCOMPARE(host.lines, (QList<int>{8, 2, 3, 4, 3, 4, 5, 3, 4, 5, 4, 5, 6, 3, 4,
                                     5, 4, 5, 6, 9, 8, 2, 3, 4, 5, 4, 5, 6, 9}));
    QCOMPARE(host.entries, (QStringList{"1", "1", "2", "1", "2", "end", "1", "2", "end", "after"}));
}

void TestLanguageInterpreter::stopEndsEndlessLoop_data()
{
    QTest::addColumn<bool>("hooked");
    QTest::addColumn<QString>("source");

    // `n` is set before "ready" is logged, so it has its value whenever the stop comes.
    const QList<std::pair<const char*, QString>> loops{
        {"do loop", QStringLiteral("n = 1\nLog \"ready\"\nDo\n  n = n + 1\nLoop\nLog \"after\"\n")},
        {"empty do loop", QStringLiteral("n = 1\nLog \"ready\"\nDo\nLoop\nLog \"after\"\n")},
        {"while", QStringLiteral("n = 1\nLog \"ready\"\nWhile True\n  n = n + 1\nWend\n"
                                 "Log \"after\"\n")},
        {"for without end", QStringLiteral("n = 1\nLog \"ready\"\nFor i = 1 To 2\n  n = n + 1\n"
                                           "  i = 1\nNext\nLog \"after\"\n")},
        {"inside a routine", QStringLiteral("Sub Spin\n  Do\n    n = n + 1\n  Loop\nEnd Sub\n"
                                            "n = 1\nLog \"ready\"\nSpin\nLog \"after\"\n")},
        {"endless recursion trapped",
         QStringLiteral("Sub Again\n  On Error Resume Next\n  n = n + 1\n  Again\nEnd Sub\n"
                        "n = 1\nLog \"ready\"\nDo\n  Again\nLoop\nLog \"after\"\n")},
    };
    for (const auto& [name, source] : loops) {
        QTest::addRow("%s, hooked", name) << true << source;
        QTest::addRow("%s, fast", name) << false << source;
    }
}

// A stop from another thread ends the script at its next statement boundary, in both modes: it
// is no error, and what the script logged before stays logged.
void TestLanguageInterpreter::stopEndsEndlessLoop()
{
    QFETCH(bool, hooked);
    QFETCH(QString, source);

    WatchedHost host;
    Interpreter interpreter(host);
    interpreter.setHooked(hooked);
    QVERIFY(!interpreter.load(source));
    ScriptThread script([&] { return interpreter.runModule(); },
                        [&] { interpreter.requestStop(); });
    QVERIFY(host.waitForLog(QStringLiteral("ready")));
    interpreter.requestStop();
    const std::optional<Outcome> outcome = script.finish();
    QVERIFY2(outcome, "the stop request did not end the script");
    QVERIFY(outcome->stopped());
    QCOMPARE(outcome->error.number, 0);
    QVERIFY(outcome->error.description.isEmpty());
    QCOMPARE(host.entries(), QStringList{QStringLiteral("ready")});
    QVERIFY(interpreter.stopRequested());
    QVERIFY(interpreter.currentLine() > 1);
    if (!hooked)
        QCOMPARE(host.statements(), 0);

    // The module variables are as the loop left them, and usable once the stop is cleared.
    interpreter.clearStop();
    QVERIFY(evaluated(interpreter, QStringLiteral("n")).toLongLong() >= 1);
    QVERIFY(interpreter.execute(QStringLiteral("Log \"again\"")).finished());
    QCOMPARE(host.entries().last(), QStringLiteral("again"));
}

void TestLanguageInterpreter::stopEndsSleep_data()
{
    QTest::addColumn<bool>("hooked");
    QTest::newRow("hooked") << true;
    QTest::newRow("fast") << false;
}

// A long Sleep ends as soon as the stop is requested, not when its time is up.
void TestLanguageInterpreter::stopEndsSleep()
{
    QFETCH(bool, hooked);

    WatchedHost host;
    Interpreter interpreter(host);
    interpreter.setHooked(hooked);
    QVERIFY(!interpreter.load(QStringLiteral("Sub Wait\n  Log \"sleeping\"\n  Sleep 100000\n"
                                             "  Log \"woke\"\nEnd Sub\nWait\n")));
    ScriptThread script([&] { return interpreter.runModule(); },
                        [&] { interpreter.requestStop(); });
    QVERIFY(host.waitForLog(QStringLiteral("sleeping")));
    // Let the script get into the Sleep (it is fine either way: a stop before it ends it too).
    QThread::msleep(50);
    QElapsedTimer sinceStop;
    sinceStop.start();
    interpreter.requestStop();
    const std::optional<Outcome> outcome = script.finish();
    QVERIFY2(outcome, "the stop request did not end the Sleep");
    QVERIFY2(sinceStop.elapsed() < 5000, "the Sleep ran far beyond the stop request");
    QVERIFY(outcome->stopped());
    QCOMPARE(host.entries(), QStringList{QStringLiteral("sleeping")});
    QCOMPARE(interpreter.currentLine(), 3); // in the routine, where it stopped
}

// A stop stays requested until cleared: whatever starts meanwhile stops at once. Once cleared,
// the same interpreter runs again with the module variables as they were.
void TestLanguageInterpreter::stopStaysRequested()
{
    WatchedHost host;
    Interpreter interpreter(host);
    QVERIFY(
        !interpreter.load(QStringLiteral("count = 41\n"
                                         "Sub Cycle\n  count = count + 1\n  Log count\nEnd Sub\n"
                                         "Function Slow()\n  Sleep 100000\n  Slow = 1\n"
                                         "End Function\n")));
    QVERIFY(interpreter.runModule().finished());
    QVERIFY(!interpreter.stopRequested());

    const qint64 statementsBeforeStop = host.statements();
    interpreter.requestStop();
    QVERIFY(interpreter.stopRequested());
    QVERIFY(interpreter.callRoutine(QStringLiteral("Cycle")).stopped());
    QVERIFY(interpreter.execute(QStringLiteral("Log \"typed\"")).stopped());
    QElapsedTimer timer;
    timer.start();
    Value value;
    QVERIFY(interpreter.evaluate(QStringLiteral("Slow()"), &value).stopped());
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(interpreter.runModule().stopped());
    QVERIFY(host.entries().isEmpty());
    // A stopped script never entered the hook, where a stepping host would have held it.
    QCOMPARE(host.statements(), statementsBeforeStop);
    QVERIFY(interpreter.stopRequested());
    // Reading a variable runs no statement; it still works while stopped.
    QCOMPARE(evaluated(interpreter, QStringLiteral("count")), QStringLiteral("41"));

    interpreter.clearStop();
    QVERIFY(!interpreter.stopRequested());
    QVERIFY(interpreter.callRoutine(QStringLiteral("Cycle")).finished());
    QCOMPARE(host.entries(), QStringList{QStringLiteral("42")});
}

// The engine runs the module once, then its routines by name, as cycles.
void TestLanguageInterpreter::routines()
{
    WatchedHost host;
    Interpreter interpreter(host);
    QVERIFY(!interpreter.load(QStringLiteral("Dim rounds\n"
                                             "rounds = 0\n"
                                             "Log \"module\"\n"
                                             "Sub Cycle\n"
                                             "  rounds = rounds + 1\n"
                                             "  Log \"cycle \" & rounds\n"
                                             "End Sub\n"
                                             "Function Answer()\n"
                                             "  Answer = 42\n"
                                             "  Log \"answered\"\n"
                                             "End Function\n"
                                             "Sub Needs(x)\n"
                                             "  Log x\n"
                                             "End Sub\n")));
    QVERIFY(host.entries().isEmpty()); // loading runs nothing
    QVERIFY(interpreter.hasRoutine(QStringLiteral("Cycle")));
    QVERIFY(interpreter.hasRoutine(QStringLiteral("cYCLE")));
    QVERIFY(interpreter.hasRoutine(QStringLiteral("answer")));
    QVERIFY(!interpreter.hasRoutine(QStringLiteral("Main")));
    QVERIFY(!interpreter.hasRoutine(QStringLiteral("rounds")));

    QVERIFY(interpreter.runModule().finished());
    for (const char* name : {"Cycle", "CYCLE", "cycle"})
        QVERIFY(interpreter.callRoutine(QString::fromLatin1(name)).finished());
    QVERIFY(interpreter.callRoutine(QStringLiteral("Answer")).finished());
    QCOMPARE(host.entries(), (QStringList{QStringLiteral("module"), QStringLiteral("cycle 1"),
                                          QStringLiteral("cycle 2"), QStringLiteral("cycle 3"),
                                          QStringLiteral("answered")}));
    QCOMPARE(evaluated(interpreter, QStringLiteral("rounds")), QStringLiteral("3"));

    const Outcome missing = interpreter.callRoutine(QStringLiteral("Teardown"));
    QVERIFY(missing.failed());
    QCOMPARE(missing.error.kind, ScriptError::Kind::Runtime);
    QCOMPARE(missing.error.text(),
             QStringLiteral("Run-time error 35: Sub or Function not defined"));

    // A routine that wants arguments cannot be the one the engine calls by name.
    const Outcome withArguments = interpreter.callRoutine(QStringLiteral("Needs"));
    QVERIFY(withArguments.failed());
    QCOMPARE(withArguments.error.number, ErrorNumber::WrongArgumentCount);
    QCOMPARE(host.entries().size(), 5);

    // An error in one cycle does not spoil the next.
    QVERIFY(interpreter.execute(QStringLiteral("rounds = \"many\"")).finished());
    const Outcome broken = interpreter.callRoutine(QStringLiteral("Cycle"));
    QVERIFY(broken.failed());
    QCOMPARE(broken.error.number, ErrorNumber::TypeMismatch);
    QCOMPARE(broken.error.line, 5);
    QVERIFY(interpreter.execute(QStringLiteral("rounds = 10")).finished());
    QVERIFY(interpreter.callRoutine(QStringLiteral("Cycle")).finished());
    QCOMPARE(host.entries().last(), QStringLiteral("cycle 11"));

    // A new source starts from fresh module variables.
    QVERIFY(!interpreter.load(QStringLiteral("Sub Other\nEnd Sub\n")));
    QVERIFY(!interpreter.hasRoutine(QStringLiteral("Cycle")));
    QCOMPARE(evaluated(interpreter, QStringLiteral("IsEmpty(rounds)")), QStringLiteral("True"));
}

// A source that does not load leaves nothing of the one before to run.
void TestLanguageInterpreter::failedLoadLeavesNothingToRun()
{
    const QStringList broken{QStringLiteral("Log \"new\"\nIf x Then\n"),                  // parse
                             QStringLiteral("Const k = 1\nk = 2\nSub Cycle\nEnd Sub\n")}; // resolve
    for (const QString& source : broken) {
        WatchedHost host;
        Interpreter interpreter(host);
        QVERIFY(!interpreter.load(QStringLiteral("kept = 1\nLog \"old\"\nSub Cycle\n"
                                                 "  Log \"old cycle\"\nEnd Sub\n")));
        QVERIFY(interpreter.runModule().finished());
        QVERIFY(interpreter.load(source));
        QVERIFY(!interpreter.hasRoutine(QStringLiteral("Cycle")));
        QVERIFY(interpreter.runModule().finished());
        QVERIFY(interpreter.callRoutine(QStringLiteral("Cycle")).failed());
        QCOMPARE(host.entries(), QStringList{QStringLiteral("old")});
        QCOMPARE(evaluated(interpreter, QStringLiteral("IsEmpty(kept)")), QStringLiteral("True"));
    }
}

// Statements and expressions typed while the module is loaded work on its variables and
// routines.
void TestLanguageInterpreter::executeAndEvaluate()
{
    WatchedHost host;
    Interpreter interpreter(host);
    QVERIFY(!interpreter.load(QStringLiteral("Dim limit, name\n"
                                             "limit = 3\n"
                                             "name = \"pump\"\n"
                                             "Sub Report\n"
                                             "  Log name & \" limit \" & limit\n"
                                             "End Sub\n"
                                             "Function Twice(v)\n"
                                             "  Twice = v * 2\n"
                                             "End Function\n"
                                             "Function Counted()\n"
                                             "  calls = calls + 1\n"
                                             "  Counted = calls\n"
                                             "End Function\n"
                                             "Dim calls\n")));
    QVERIFY(interpreter.runModule().finished());

    QVERIFY(interpreter.execute(QStringLiteral("limit = 7")).finished());
    QVERIFY(interpreter.callRoutine(QStringLiteral("Report")).finished());
    QCOMPARE(host.entries(), QStringList{QStringLiteral("pump limit 7")});

    QCOMPARE(evaluated(interpreter, QStringLiteral("limit * 2 + Len(name)")), QStringLiteral("18"));
    QCOMPARE(evaluated(interpreter, QStringLiteral("Twice(limit)")), QStringLiteral("14"));
    QCOMPARE(evaluated(interpreter, QStringLiteral("UCase(name) & Twice(0.25)")),
             QStringLiteral("PUMP0.5"));
    // A Function called from an expression keeps what it changed.
    QCOMPARE(evaluated(interpreter, QStringLiteral("Counted() + Counted()")), QStringLiteral("3"));
    QCOMPARE(evaluated(interpreter, QStringLiteral("calls")), QStringLiteral("2"));
    // evaluate() without a place for the result still runs the expression.
    QVERIFY(interpreter.evaluate(QStringLiteral("Counted()"), nullptr).finished());
    QCOMPARE(evaluated(interpreter, QStringLiteral("calls")), QStringLiteral("3"));

    QVERIFY(
        interpreter.execute(QStringLiteral("a = 1 : b = a + 1 : Log a + b : Report")).finished());
    QCOMPARE(host.entries().mid(1),
             (QStringList{QStringLiteral("3"), QStringLiteral("pump limit 7")}));
    QCOMPARE(evaluated(interpreter, QStringLiteral("a & b")), QStringLiteral("12"));

    // Block statements and error handling work typed on one line.
    QVERIFY(interpreter
                .execute(QStringLiteral("For i = 1 To 3 : limit = limit + i : Next : "
                                        "If limit > 10 Then Log \"over\" Else Log \"under\""))
                .finished());
    QCOMPARE(host.entries().last(), QStringLiteral("over"));
    QVERIFY(interpreter.execute(QStringLiteral("On Error Resume Next : x = 1 / 0 : Log Err.Number"))
                .finished());
    QCOMPARE(host.entries().last(), QStringLiteral("11"));
    // ...and the error handling ends with the typed line.
    QCOMPARE(interpreter.execute(QStringLiteral("x = 1 / 0")).error.number,
             ErrorNumber::DivisionByZero);

    // Routine definitions are for the source, not for a typed line.
    const Outcome definition = interpreter.execute(QStringLiteral("Sub Extra : End Sub"));
    QVERIFY(definition.failed());
    QCOMPARE(definition.error.kind, ScriptError::Kind::Syntax);
    QVERIFY(!interpreter.hasRoutine(QStringLiteral("Extra")));
}

void TestLanguageInterpreter::typedErrors_data()
{
    QTest::addColumn<bool>("expression");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("line");

    QTest::newRow("statement: syntax")
        << false << QStringLiteral("Log \"ran\" : If limit Then")
        << QStringLiteral("Syntax error at column 26: Expected 'End If'") << 1;
    QTest::newRow("statement: unclosed parenthesis")
        << false << QStringLiteral("Log \"ran\" : Log (limit")
        << QStringLiteral("Syntax error at column 23: Expected ')'") << 1;
    QTest::newRow("statement: assigning a routine")
        << false << QStringLiteral("Log \"ran\" : Report = 1")
        << QStringLiteral("Syntax error at column 13: Illegal assignment to 'Report'") << 1;
    QTest::newRow("statement: assigning a constant")
        << false << QStringLiteral("Log \"ran\" : Ceiling = 1")
        << QStringLiteral("Syntax error at column 13: Illegal assignment to constant 'Ceiling'")
        << 1;
    QTest::newRow("statement: run-time")
        << false << QStringLiteral("Log \"ran\" : limit = limit / 0")
        << QStringLiteral("Run-time error 11: Division by zero") << 1;
    QTest::newRow("statement: assigning Err")
        << false << QStringLiteral("Log \"ran\" : Err = 1")
        << QStringLiteral(
               "Syntax error at column 13: Illegal assignment: 'Err' is bound by the host")
        << 1;
    QTest::newRow("statement: declaring Err")
        << false << QStringLiteral("Log \"ran\" : Dim err")
        << QStringLiteral("Syntax error at column 17: Name redefined: 'err'") << 1;
    QTest::newRow("expression: incomplete")
        << true << QStringLiteral("limit +")
        << QStringLiteral("Syntax error at column 8: Expected expression") << 1;
    QTest::newRow("expression: trailing text")
        << true << QStringLiteral("limit limit")
        << QStringLiteral("Syntax error at column 7: Expected end of expression") << 1;
    QTest::newRow("expression: a statement")
        << true << QStringLiteral("limit = 1 : Log 1")
        << QStringLiteral("Syntax error at column 13: Expected end of expression") << 1;
    QTest::newRow("expression: run-time")
        << true << QStringLiteral("limit + \"many\"")
        << QStringLiteral("Run-time error 13: Type mismatch") << 1;
    QTest::newRow("expression: in a function")
        << true << QStringLiteral("Ratio(limit, 0)")
        << QStringLiteral("Run-time error 11: Division by zero") << 4;
    QTest::newRow("expression: unknown function")
        << true << QStringLiteral("Missing(1)")
        << QStringLiteral("Run-time error 35: Sub or Function not defined") << 1;
}

// Errors in typed text are reported like a source's: a syntax error with its column and what was
// expected, before anything runs; a run-time error with its number.
void TestLanguageInterpreter::typedErrors()
{
    QFETCH(bool, expression);
    QFETCH(QString, text);
    QFETCH(QString, error);
    QFETCH(int, line);

    WatchedHost host;
    Interpreter interpreter(host);
    QVERIFY(!interpreter.load(QStringLiteral("Const Ceiling = 9\n"
                                             "limit = 5\n"
                                             "Function Ratio(a, b)\n  Ratio = a / b\nEnd Function\n"
                                             "Sub Report\nEnd Sub\n")));
    QVERIFY(interpreter.runModule().finished());

    Value value(QStringLiteral("untouched"));
    const Outcome outcome =
        expression ? interpreter.evaluate(text, &value) : interpreter.execute(text);
    QVERIFY(outcome.failed());
    QCOMPARE(outcome.error.text(), error);
    QCOMPARE(outcome.error.line, line);
    QCOMPARE(shown(value), QStringLiteral("untouched"));
    if (outcome.error.kind == ScriptError::Kind::Syntax)
        QVERIFY(host.entries().isEmpty());
    QCOMPARE(evaluated(interpreter, QStringLiteral("limit")), QStringLiteral("5"));
}

// `Dim` typed at run time declares a module variable for what is typed later; it neither clears
// a variable that exists nor reaches into the routines, which were resolved with the source.
// Typed text follows the module's Option Explicit: a misspelt name is an error, not a new
// variable; a variable the host sets is declared for it. A routine's value reaches the host.
void TestLanguageInterpreter::typedTextUnderOptionExplicit()
{
    WatchedHost host;
    Interpreter interpreter(host);
    QVERIFY(!interpreter.load(QStringLiteral("Option Explicit\nDim total\ntotal = 1\n"
                                             "Function Answer()\n  Answer = total * 42\n"
                                             "End Function\n")));
    QVERIFY(interpreter.runModule().finished());

    const Outcome misspelt = interpreter.execute(QStringLiteral("totl = 5"));
    QVERIFY(misspelt.failed());
    QCOMPARE(misspelt.error.number, ErrorNumber::VariableUndefined);
    QCOMPARE(evaluated(interpreter, QStringLiteral("tpyo + 1")),
             QStringLiteral("<Run-time error 500: Variable is undefined>"));
    QVERIFY(interpreter.execute(QStringLiteral("total = 2")).finished());

    interpreter.setVariable(QStringLiteral("Arg"), Value(QStringLiteral("x")));
    QCOMPARE(evaluated(interpreter, QStringLiteral("arg & total")), QStringLiteral("x2"));

    Value answer;
    QVERIFY(interpreter.callRoutine(QStringLiteral("Answer"), &answer).finished());
    QCOMPARE(toText(answer), QStringLiteral("84"));

    // Without Option Explicit typed text still makes variables by assigning them.
    QVERIFY(!interpreter.load(QStringLiteral("Dim total\n")));
    QVERIFY(interpreter.execute(QStringLiteral("fresh = 5")).finished());
    QCOMPARE(evaluated(interpreter, QStringLiteral("fresh")), QStringLiteral("5"));
}

void TestLanguageInterpreter::dimInExecute()
{
    WatchedHost host;
    Interpreter interpreter(host);
    QVERIFY(
        !interpreter.load(QStringLiteral("Dim kept\nkept = 5\n"
                                         "Sub UsesFresh\n  fresh = 1\n  Log fresh\nEnd Sub\n")));
    QVERIFY(interpreter.runModule().finished());

    QVERIFY(interpreter.execute(QStringLiteral("Dim fresh")).finished());
    QCOMPARE(evaluated(interpreter, QStringLiteral("IsEmpty(fresh)")), QStringLiteral("True"));
    QVERIFY(interpreter.execute(QStringLiteral("fresh = 3")).finished());
    QVERIFY(interpreter.callRoutine(QStringLiteral("UsesFresh")).finished());
    QCOMPARE(evaluated(interpreter, QStringLiteral("fresh")), QStringLiteral("3"));

    QVERIFY(interpreter.execute(QStringLiteral("Dim kept")).finished());
    QCOMPARE(evaluated(interpreter, QStringLiteral("kept")), QStringLiteral("5"));
    QVERIFY(interpreter.execute(QStringLiteral("Dim fresh")).finished()); // again: no error
    QCOMPARE(evaluated(interpreter, QStringLiteral("fresh")), QStringLiteral("3"));

    QVERIFY(interpreter.execute(QStringLiteral("Dim items(2) : items(2) = \"c\"")).finished());
    QCOMPARE(evaluated(interpreter, QStringLiteral("UBound(items) & items(2)")),
             QStringLiteral("2c"));
    QVERIFY(interpreter.execute(QStringLiteral("ReDim Preserve items(4)")).finished());
    QCOMPARE(evaluated(interpreter, QStringLiteral("UBound(items) & items(2)")),
             QStringLiteral("4c"));

    const Outcome twice = interpreter.execute(QStringLiteral("Dim twice : Dim twice"));
    QVERIFY(twice.failed());
    QCOMPARE(twice.error.text(),
             QStringLiteral("Syntax error at column 17: Name redefined: 'twice'"));

    // A variable named like a routine does not take the routine's place in a call.
    QVERIFY(interpreter.execute(QStringLiteral("Dim UsesFresh")).finished());
    QVERIFY(interpreter.execute(QStringLiteral("UsesFresh")).finished());
    QVERIFY(interpreter.hasRoutine(QStringLiteral("UsesFresh")));
    QCOMPARE(host.entries(), (QStringList{QStringLiteral("1"), QStringLiteral("1")}));
}

void TestLanguageInterpreter::hostObjects_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("errorLine");

    QTest::newRow("method") << QStringLiteral("Log gauge.Add(2, 3)\nLog gauge.add(-1, 1)\n")
                            << QStringList{QStringLiteral("5"), QStringLiteral("0")} << QString()
                            << 0;
    QTest::newRow("property")
        << QStringLiteral("gauge.Level = 7\nLog gauge.Level\ngauge.level = gauge.LEVEL * 2\n"
                          "Log gauge.Level & gauge.Unit\n")
        << QStringList{QStringLiteral("7"), QStringLiteral("14mm")} << QString() << 0;
    const QString unsupported =
        QStringLiteral("Run-time error 438: Object doesn't support this property or method");
    QTest::newRow("unknown method") << QStringLiteral("Log 1\nx = gauge.Calibrate(1)\n")
                                    << QStringList{QStringLiteral("1")} << unsupported << 2;
    QTest::newRow("unknown method statement")
        << QStringLiteral("gauge.Calibrate\n") << QStringList{} << unsupported << 1;
    QTest::newRow("unknown property read")
        << QStringLiteral("x = gauge.Pressure\n") << QStringList{} << unsupported << 1;
    QTest::newRow("read-only property")
        << QStringLiteral("\ngauge.Unit = \"cm\"\n") << QStringList{} << unsupported << 2;
    QTest::newRow("index on a method's answer")
        << QStringLiteral("Log gauge.Readings()(2)\nLog gauge.Readings()(0) + gauge.Add(1, 2)\n"
                          "x = gauge.Add(1, 2)(0)\n")
        << QStringList{QStringLiteral("30"), QStringLiteral("13")}
        << QStringLiteral("Run-time error 13: Type mismatch") << 3;
    QTest::newRow("nested With reaches the innermost object")
        << QStringLiteral(
               "With gauge\n  .Level = 4\n  With Err\n    .Number = 7\n"
               "    Log .Number & \" \" & gauge.Level\n  End With\n  Log .Level + .Add(1, 1)\n"
               "End With\nErr.Clear\n")
        << QStringList{QStringLiteral("7 4"), QStringLiteral("6")} << QString() << 0;
    QTest::newRow("With on Nothing")
        << QStringLiteral("Set g = Nothing\nWith g\n  .Level = 1\nEnd With\n") << QStringList{}
        << QStringLiteral("Run-time error 424: Object required") << 2;
    QTest::newRow("index on the object itself")
        << QStringLiteral("Set g = gauge\nx = Array(g)(0)(1)\n") << QStringList{} << unsupported
        << 2;
    QTest::newRow("host error") << QStringLiteral("Sub Check\n  gauge.Fail\nEnd Sub\nCheck\n")
                                << QStringList{}
                                << QStringLiteral("Run-time error 1001: The gauge is not connected")
                                << 2;
    QTest::newRow("host error trapped")
        << QStringLiteral("On Error Resume Next\ngauge.Fail\nLog Err.Number\nLog Err.Description\n"
                          "x = gauge.Nope\nLog Err.Number\n")
        << QStringList{QStringLiteral("1001"), QStringLiteral("The gauge is not connected"),
                       QStringLiteral("438")}
        << QString() << 0;
    QTest::newRow("identity")
        << QStringLiteral("Set other = gauge\nLog gauge Is gauge\nLog other Is gauge\n"
                          "Log gauge Is Nothing\nLog IsObject(gauge)\nLog TypeName(gauge)\n"
                          "Set other = Nothing\nLog other Is Nothing\nLog TypeName(other)\n")
        << QStringList{QStringLiteral("True"),   QStringLiteral("True"),  QStringLiteral("False"),
                       QStringLiteral("True"),   QStringLiteral("Gauge"), QStringLiteral("True"),
                       QStringLiteral("Nothing")}
        << QString() << 0;
    QTest::newRow("passed to routines")
        << QStringLiteral("Sub Raise(g, by)\n  g.Level = g.Level + by\nEnd Sub\n"
                          "Function Same(g)\n  Set Same = g\nEnd Function\n"
                          "gauge.Level = 1\nRaise gauge, 4\nLog gauge.Level\n"
                          "Log Same(gauge) Is gauge\nLog Same(gauge).Add(1, 1)\n")
        << QStringList{QStringLiteral("5"), QStringLiteral("True"), QStringLiteral("2")}
        << QString() << 0;
    QTest::newRow("seen by routines")
        << QStringLiteral("Sub Main\n  Log gauge.Add(40, 2)\nEnd Sub\n")
        << QStringList{QStringLiteral("42")} << QString() << 0;
    QTest::newRow("host out of memory")
        << QStringLiteral("Sub Check\n  gauge.Exhaust\nEnd Sub\nLog 1\nCheck\n")
        << QStringList{QStringLiteral("1")} << QStringLiteral("Run-time error 7: Out of memory")
        << 2;
    QTest::newRow("host out of memory trapped")
        << QStringLiteral("On Error Resume Next\ngauge.Exhaust\nLog Err.Number\n")
        << QStringList{QStringLiteral("7")} << QString() << 0;
    QTest::newRow("member of a plain value")
        << QStringLiteral("level = 3\nLog level.Value\n") << QStringList{}
        << QStringLiteral("Run-time error 424: Object required") << 2;
}

// Objects the host binds by name: methods, properties, errors both ways, identity, and passing
// them around.
void TestLanguageInterpreter::hostObjects()
{
    QFETCH(QString, source);
    QFETCH(QStringList, log);
    QFETCH(QString, error);
    QFETCH(int, errorLine);

    for (const bool hooked : {true, false}) {
        WatchedHost host;
        Interpreter interpreter(host);
        interpreter.setHooked(hooked);
        interpreter.bindObject(QStringLiteral("Gauge"), std::make_shared<Gauge>());
        QVERIFY(!interpreter.load(source));
        Outcome outcome = interpreter.runModule();
        if (outcome.finished() && interpreter.hasRoutine(QStringLiteral("Main")))
            outcome = interpreter.callRoutine(QStringLiteral("Main"));
        QCOMPARE(failure(outcome), error);
        if (!error.isEmpty())
            QCOMPARE(outcome.error.line, errorLine);
        QCOMPARE(host.entries(), log);
    }
}

// What the host object receives and keeps, seen from the host's side; a rebound name and a new
// source keep the binding.
void TestLanguageInterpreter::hostObjectArguments()
{
    WatchedHost host;
    Interpreter interpreter(host);
    const auto gauge = std::make_shared<Gauge>();
    interpreter.bindObject(QStringLiteral("Gauge"), gauge);
    QVERIFY(
        !interpreter.load(QStringLiteral("a = \"12\"\nx = gauge.Add(a, 30)\ngauge.Level = x\n")));
    QVERIFY(interpreter.runModule().finished());
    QCOMPARE(gauge->lastArguments, (QStringList{QStringLiteral("12"), QStringLiteral("30")}));
    QCOMPARE(gauge->level, 42);

    QVERIFY(!interpreter.load(QStringLiteral("gauge.Level = 1\n")));
    QVERIFY(interpreter.runModule().finished());
    QCOMPARE(gauge->level, 1);

    const auto replacement = std::make_shared<Gauge>();
    interpreter.bindObject(QStringLiteral("GAUGE"), replacement);
    QVERIFY(!interpreter.load(QStringLiteral("gauge.Level = 2\n")));
    QVERIFY(interpreter.runModule().finished());
    QCOMPARE(gauge->level, 1);
    QCOMPARE(replacement->level, 2);
    QCOMPARE(evaluated(interpreter, QStringLiteral("TypeName(Err)")), QStringLiteral("ErrObject"));
    // Typed text reaches members by the names it spells itself.
    QVERIFY(
        interpreter.execute(QStringLiteral("gauge.Level = gauge.Add(gauge.Level, 3)")).finished());
    QCOMPARE(evaluated(interpreter, QStringLiteral("GAUGE.level & gauge.Unit")),
             QStringLiteral("5mm"));
}

// A host object that breaks the contract with another exception gets it back, and the interpreter
// is not left thinking a run is still going: the next failure reports its own line.
void TestLanguageInterpreter::foreignExceptionLeavesInterpreterUsable()
{
    WatchedHost host;
    Interpreter interpreter(host);
    interpreter.bindObject(QStringLiteral("Gauge"), std::make_shared<Gauge>());
    QVERIFY(!interpreter.load(QStringLiteral("Sub Main\n  Gauge.Break\nEnd Sub\n"
                                             "Sub Later\n  Log 1\n  x = 1 / 0\nEnd Sub\n")));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, interpreter.callRoutine(QStringLiteral("Main")));

    const Outcome outcome = interpreter.callRoutine(QStringLiteral("Later"));
    QCOMPARE(failure(outcome), QStringLiteral("Run-time error 11: Division by zero"));
    QCOMPARE(outcome.error.line, 6);
    QCOMPARE(interpreter.currentLine(), 6);
    QCOMPARE(evaluated(interpreter, QStringLiteral("1 + 2")), QStringLiteral("3"));
}

void TestLanguageInterpreter::recursionLimits_data()
{
    QTest::addColumn<int>("maxCallDepth");
    QTest::addColumn<int>("stackSlots");
    QTest::addColumn<int>("depth"); // the deepest call that ran; 0: not checked

    const Limits defaults;
    QTest::newRow("defaults") << defaults.maxCallDepth << defaults.stackSlots << 0;
    QTest::newRow("call depth 10") << 10 << defaults.stackSlots << 10;
    QTest::newRow("call depth 1") << 1 << defaults.stackSlots << 1;
    // Deep has four slots: its result, n and two locals.
    QTest::newRow("40 stack slots") << 1000 << 40 << 10;
}

// Runaway recursion is a run-time error the script can trap, and the interpreter is whole after
// it: the same recursion reaches the same depth again.
void TestLanguageInterpreter::recursionLimits()
{
    QFETCH(int, maxCallDepth);
    QFETCH(int, stackSlots);
    QFETCH(int, depth);

    WatchedHost host;
    Interpreter interpreter(host);
    Limits limits;
    limits.maxCallDepth = maxCallDepth;
    limits.stackSlots = stackSlots;
    interpreter.setLimits(limits);
    QCOMPARE(interpreter.limits().maxCallDepth, maxCallDepth);
    QVERIFY(!interpreter.load(QStringLiteral("Dim reached\n"
                                             "Function Deep(n)\n"
                                             "  Dim a, b\n"
                                             "  a = n : b = n\n"
                                             "  reached = n\n"
                                             "  Deep = Deep(n + 1)\n"
                                             "End Function\n"
                                             "Sub Trapped\n"
                                             "  reached = 0\n"
                                             "  On Error Resume Next\n"
                                             "  x = Deep(1)\n"
                                             "  Log Err.Number\n"
                                             "End Sub\n")));
    QVERIFY(interpreter.runModule().finished());

    const Outcome first = interpreter.evaluate(QStringLiteral("Deep(1)"), nullptr);
    QVERIFY(first.failed());
    QCOMPARE(first.error.text(), QStringLiteral("Run-time error 28: Out of stack space"));
    QCOMPARE(first.error.line, 6);
    const QString reached = evaluated(interpreter, QStringLiteral("reached"));
    QVERIFY(reached.toInt() >= 1);
    if (depth)
        QCOMPARE(reached.toInt(), depth);

    // One level less from a routine: Trapped takes a call (and its slots) itself.
    QVERIFY(interpreter.callRoutine(QStringLiteral("Trapped")).finished());
    QCOMPARE(host.entries(), QStringList{QStringLiteral("28")});
    if (depth)
        QCOMPARE(evaluated(interpreter, QStringLiteral("reached")).toInt(), depth - 1);

    QVERIFY(interpreter.execute(QStringLiteral("reached = 0 : x = Deep(1)")).failed());
    QCOMPARE(evaluated(interpreter, QStringLiteral("reached")), reached);
}

void TestLanguageInterpreter::smallNativeStack_data()
{
    QTest::addColumn<bool>("hooked");
    QTest::addColumn<QString>("source");

    const QString plain = QStringLiteral("Function Deep(n)\n  reached = n\n  Deep = Deep(n + 1)\n"
                                         "End Function\nDim reached\nx = Deep(1)\n");
    // More native frames between two calls: blocks, a loop, a select, built-ins.
    const QString nested =
        QStringLiteral("Sub Deep(n)\n  reached = n\n  For i = 1 To 1\n    If n > 0 Then\n"
                       "      Select Case Len(CStr(n)) > 0\n      Case True\n"
                       "        Deep Abs(n) + Len(Mid(\"ab\", 1, 1))\n      End Select\n"
                       "    End If\n  Next\nEnd Sub\nDim reached\nDeep 1\n");
    QTest::newRow("function, hooked") << true << plain;
    QTest::newRow("function, fast") << false << plain;
    QTest::newRow("nested blocks, hooked") << true << nested;
    QTest::newRow("nested blocks, fast") << false << nested;
}

// The engine may run scripts on a thread with a small stack; the interpreter measures that stack
// and ends deep recursion with the script's error before it runs out.
void TestLanguageInterpreter::smallNativeStack()
{
    QFETCH(bool, hooked);
    QFETCH(QString, source);

    WatchedHost host;
    Interpreter interpreter(host);
    interpreter.setHooked(hooked);
    Limits limits;
    limits.maxCallDepth = 1'000'000; // only the native stack can end it
    limits.stackSlots = 1 << 22;
    interpreter.setLimits(limits);
    QVERIFY(!interpreter.load(source));

    Outcome outcome;
    std::unique_ptr<QThread> thread(QThread::create([&] { outcome = interpreter.runModule(); }));
    thread->setStackSize(256 * 1024);
    thread->start();
    QVERIFY(thread->wait(QDeadlineTimer(std::chrono::milliseconds(patience))));
    QCOMPARE(failure(outcome), QStringLiteral("Run-time error 28: Out of stack space"));
    const int reached = evaluated(interpreter, QStringLiteral("reached")).toInt();
    QVERIFY2(reached > 5, qPrintable(QString::number(reached)));

    // The main thread's larger stack is measured anew: the same script gets deeper there.
    QVERIFY(!interpreter.load(source));
    QCOMPARE(failure(interpreter.runModule()),
             QStringLiteral("Run-time error 28: Out of stack space"));
    QVERIFY(evaluated(interpreter, QStringLiteral("reached")).toInt() > reached);
}

void TestLanguageInterpreter::lengthLimits_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("log");   // the one entry before the error, or of a finished script
    QTest::addColumn<int>("errorLine"); // 0: the script finishes

    // With texts up to 1000 characters and arrays up to 100 items.
    QTest::newRow("text at the limit")
        << QStringLiteral("s = Space(1000)\nLog Len(s & \"\")\n") << QStringLiteral("1000") << 0;
    QTest::newRow("Space") << QStringLiteral("Log 1\ns = Space(1001)\n") << QStringLiteral("1")
                           << 2;
    QTest::newRow("String") << QStringLiteral("Log 1\ns = String(1001, \"x\")\n")
                            << QStringLiteral("1") << 2;
    QTest::newRow("concatenation")
        << QStringLiteral("s = Space(600)\nLog Len(s)\nt = s & s\n") << QStringLiteral("600") << 3;
    QTest::newRow("appending") << QStringLiteral("s = \"x\"\nLog 1\nDo\n  s = s & s\nLoop\n")
                               << QStringLiteral("1") << 4;
    QTest::newRow("appending a number")
        << QStringLiteral("s = \"\"\nLog 1\nDo\n  s = s & 1234567\nLoop\n") << QStringLiteral("1")
        << 4;
    QTest::newRow("Replace") << QStringLiteral("Log 1\ns = Replace(Space(600), \" \", \"ab\")\n")
                             << QStringLiteral("1") << 2;
    QTest::newRow("Join") << QStringLiteral(
                                 "Log 1\ns = Join(Array(Space(600), Space(600)), \"\")\n")
                          << QStringLiteral("1") << 2;
    QTest::newRow("array at the limit")
        << QStringLiteral("Dim a(99)\nLog UBound(a)\n") << QStringLiteral("99") << 0;
    QTest::newRow("Dim") << QStringLiteral("Log 1\nDim a(100)\n") << QStringLiteral("1") << 2;
    QTest::newRow("ReDim") << QStringLiteral("Dim a()\nReDim a(5)\nLog UBound(a)\nReDim a(100)\n")
                           << QStringLiteral("5") << 4;
    QTest::newRow("Split") << QStringLiteral("Log 1\na = Split(String(100, \",\"), \",\")\n")
                           << QStringLiteral("1") << 2;
}

// Texts and arrays beyond the limits are the script's error, not the process's exhaustion.
void TestLanguageInterpreter::lengthLimits()
{
    QFETCH(QString, source);
    QFETCH(QString, log);
    QFETCH(int, errorLine);

    WatchedHost host;
    Interpreter interpreter(host);
    Limits limits;
    limits.maxStringLength = 1000;
    limits.maxArrayLength = 100;
    interpreter.setLimits(limits);
    QVERIFY(!interpreter.load(source));
    const Outcome outcome = interpreter.runModule();
    QCOMPARE(host.entries(), QStringList{log});
    if (!errorLine) {
        QVERIFY2(outcome.finished(), qPrintable(failure(outcome)));
        return;
    }
    QCOMPARE(failure(outcome), QStringLiteral("Run-time error 7: Out of memory"));
    QCOMPARE(outcome.error.line, errorLine);
}

void TestLanguageInterpreter::syntaxErrors_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("message");

    QTest::newRow("stray Next") << QStringLiteral("Log 1\n  Next\n") << 2 << 3
                                << QStringLiteral("Expected statement");
    QTest::newRow("constant assigned")
        << QStringLiteral("Const k = 1\nSub S\n  k = 2\nEnd Sub\n") << 3 << 3
        << QStringLiteral("Illegal assignment to constant 'k'");
    QTest::newRow("constant as a loop counter")
        << QStringLiteral("Const k = 1\nFor Each k In Array(1)\nNext\n") << 2 << 10
        << QStringLiteral("Illegal assignment to constant 'k'");
    // CR LF, LF and a lone CR each end a line.
    QTest::newRow("lone CR") << QStringLiteral("Log 1\rIf x Then\r\n  Log 2\r\r") << 4 << 1
                             << QStringLiteral("Expected 'End If'");
    QTest::newRow("continued over CR") << QStringLiteral("x = 1 + _\r  2 +\rLog x") << 2 << 6
                                       << QStringLiteral("Expected expression");
    QTest::newRow("NUL shown escaped") << QStringLiteral("x = 1\nx = ") + QChar(0) + u'1' << 2 << 5
                                       << QStringLiteral("Invalid character U+0000");
    QTest::newRow("half a surrogate pair shown escaped")
        << QStringLiteral("x = ") + QChar(0xDC00) << 1 << 5
        << QStringLiteral("Invalid character U+DC00");
    QTest::newRow("printable shown as it is")
        << QStringLiteral("x = 1 $ 2") << 1 << 7 << QStringLiteral("Invalid character '$'");
}

// One operator in each of thousands of conditions is not one expression too complex.
void TestLanguageInterpreter::flatBranchLists()
{
    QString ifs = QStringLiteral("x = 999\nIf x = 0 Then\n  Log 0\n");
    QString cases = QStringLiteral("Select Case x + 1\n");
    for (int k = 1; k < 1000; ++k)
        ifs += QStringLiteral("ElseIf x = %1 Then\n  Log %1\n").arg(k);
    for (int k = 0; k < 1500; ++k)
        cases += QStringLiteral("Case %1 + 1\n  Log \"case \" & %1\n").arg(k);
    WatchedHost host;
    Interpreter interpreter(host);
    const auto error =
        interpreter.load(ifs + QStringLiteral("End If\n") + cases + QStringLiteral("End Select\n"));
    QVERIFY2(!error, error ? qPrintable(error->text()) : "");
    QVERIFY(interpreter.runModule().finished());
    QCOMPARE(host.entries(), (QStringList{QStringLiteral("999"), QStringLiteral("case 999")}));
}

// A source that does not parse is reported where it goes wrong, with what was expected, as the
// interface hands it to a host: kind, line and column apart, and nothing of the source run. The
// feature scripts show each syntax rule; these are the shapes a script file there cannot hold
// (control characters, lone CRs) and errors found in a routine or in a loop's counter.
void TestLanguageInterpreter::syntaxErrors()
{
    QFETCH(QString, source);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, message);

    WatchedHost host;
    Interpreter interpreter(host);
    const std::optional<ScriptError> error = interpreter.load(source);
    QVERIFY(error);
    QCOMPARE(error->kind, ScriptError::Kind::Syntax);
    QCOMPARE(error->description, message);
    QCOMPARE(error->line, line);
    QCOMPARE(error->column, column);
    QCOMPARE(error->text(),
             QStringLiteral("Syntax error at column %1: %2").arg(column).arg(message));
    QVERIFY(interpreter.runModule().finished());
    QVERIFY(host.entries().isEmpty());
}

VELSCRIPT_TEST_GUILESS_MAIN(TestLanguageInterpreter)
// Paused in a class's routine, typed text sees the routine's locals, then the instance's
// variables and routines, Me included; other instances' members are reached with `.`, Private
// ones too, as from any routine of their class. At module level again, Private members are
// refused and Me means nothing.
void TestLanguageInterpreter::typedInPausedClassRoutine()
{
    TypingAt host;
    Interpreter interpreter(host);
    host.interpreter = &interpreter;
    QVERIFY(!interpreter.load(QStringLiteral("Class Counter\n"                         // 1
                                             "  Private m_count\n"                     // 2
                                             "  Public Sub Add(n)\n"                   // 3
                                             "    Dim before\n"                        // 4
                                             "    before = m_count\n"                  // 5
                                             "    m_count = m_count + n\n"             // 6
                                             "  End Sub\n"                             // 7
                                             "  Public Property Get Count\n"           // 8
                                             "    Count = m_count\n"                   // 9
                                             "  End Property\n"                        // 10
                                             "End Class\n"                             // 11
                                             "Dim c, other\n"                          // 12
                                             "Set c = New Counter\n"                   // 13
                                             "Set other = New Counter\n"               // 14
                                             "c.Add 2\n"                               // 15
                                             "c.Add 3\n"                               // 16
                                             "Log c.Count & \" \" & other.Count\n"))); // 17
    host.pending[6] = QStringList{
        QStringLiteral("?before & \"/\" & m_count & \"/\" & n & \"/\" & Me.Count"),
        QStringLiteral("?Me Is c"),
        QStringLiteral("m_count = 40"),
        QStringLiteral("?other.Count"),
        QStringLiteral("?other.m_count"),
        QStringLiteral("?TypeName(Me) & Count"),
    };
    const Outcome outcome = interpreter.runModule();
    QVERIFY2(outcome.finished(), qPrintable(failure(outcome)));
    QCOMPARE(host.answers,
             (QStringList{QStringLiteral("//2/"), QStringLiteral("True"), QStringLiteral("ok"),
                          QStringLiteral(""), QStringLiteral(""), QStringLiteral("Counter40")}));
    QCOMPARE(host.entries, QStringList{QStringLiteral("45 ")});
    QCOMPARE(evaluated(interpreter, QStringLiteral("c.Count")), QStringLiteral("45"));
    QCOMPARE(
        evaluated(interpreter, QStringLiteral("c.m_count")),
        QStringLiteral("<Run-time error 438: Object doesn't support this property or method>"));
    QCOMPARE(evaluated(interpreter, QStringLiteral("Me")),
             QStringLiteral("<Syntax error at column 1: Invalid use of 'Me' keyword>"));
}

namespace {

class EndLoggingHost : public Host {
public:
    void log(const QString& text) override { entries << text; }
    QStringList entries;
};

// Counts the Class_Terminate entries in a log.
qsizetype ended(const QStringList& entries)
{
    return entries.filter(QStringLiteral("ended")).size();
}

const QString trackedClass = QStringLiteral("Class Tracked\n"
                                            "  Public Other\n"
                                            "  Private Sub Class_Terminate\n"
                                            "    Log \"ended\"\n"
                                            "  End Sub\n"
                                            "End Class\n");

} // namespace

// A program's instances end when it does: at the load of another source, and with the
// interpreter, cycles included; a stopped program runs no more script code, not even a
// Class_Terminate, yet frees its instances all the same (LeakSanitizer checks the asan build).
void TestLanguageInterpreter::instancesEndWithTheProgram()
{
    EndLoggingHost host;
    const QString cycle = trackedClass + QStringLiteral("Dim a, b\n"
                                                        "Set a = New Tracked\n"
                                                        "Set b = New Tracked\n"
                                                        "Set a.Other = b\n"
                                                        "Set b.Other = a\n"
                                                        "Set a = Nothing : Set b = Nothing\n"
                                                        "Dim kept\n"
                                                        "Set kept = New Tracked\n");
    {
        Interpreter interpreter(host);
        QVERIFY(!interpreter.load(cycle));
        QVERIFY(interpreter.runModule().finished());
        QCOMPARE(ended(host.entries), 0);
        QVERIFY(!interpreter.load(QStringLiteral("Log \"next\"")));
        QCOMPARE(ended(host.entries), 3);
        QVERIFY(interpreter.runModule().finished());
        QCOMPARE(host.entries.last(), QStringLiteral("next"));
    }
    host.entries.clear();
    {
        Interpreter interpreter(host);
        QVERIFY(!interpreter.load(cycle));
        QVERIFY(interpreter.runModule().finished());
    }
    QCOMPARE(ended(host.entries), 3);

    // A chain far longer than the stack could free by recursion ends one instance at a time.
    host.entries.clear();
    {
        Interpreter interpreter(host);
        interpreter.setHooked(false);
        QVERIFY(!interpreter.load(trackedClass + QStringLiteral("Dim head, node, i\n"
                                                                "Set head = New Tracked\n"
                                                                "Set node = head\n"
                                                                "For i = 1 To 200000\n"
                                                                "  Set node.Other = New Tracked\n"
                                                                "  Set node = node.Other\n"
                                                                "Next\n"
                                                                "Set node = Nothing\n"
                                                                "Set head = Nothing\n"
                                                                "Log \"freed\"\n")));
        const Outcome outcome = interpreter.runModule();
        QVERIFY2(outcome.finished(), qPrintable(failure(outcome)));
        QCOMPARE(ended(host.entries), 200001);
        QCOMPARE(host.entries.last(), QStringLiteral("freed"));
    }

    host.entries.clear();
    {
        Interpreter interpreter(host);
        QVERIFY(!interpreter.load(cycle));
        QVERIFY(interpreter.runModule().finished());
        interpreter.requestStop();
    }
    QCOMPARE(ended(host.entries), 0);
}

#include "tst_lang_interpreter.moc"
