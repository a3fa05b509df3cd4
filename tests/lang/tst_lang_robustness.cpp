// Feeds the language thousands of random, mutated and hostile scripts. Each must end as a script
// may end: a syntax error with a position, or a run that finishes, fails with a located run-time
// error, or is stopped by the host; nothing may crash, hang or let a C++ exception out. Every
// case comes from one seed, and a failing case is printed whole so that it can become a script.

#include "lang/interpreter.h"
#include "lang/text_search.h"
#include "support/test_program.h"

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

using namespace velscript::lang;
using namespace std::chrono_literals;

// The bytes the memory-limited loads may have in use through operator new, in a forked child; -1
// is no limit. It reaches the parser's and the resolver's allocations in every build, where an
// address-space limit cannot be used under the address sanitizer.
static qint64 allocationLimit = -1;
static qint64 allocatedBytes = 0;
// The allocation through operator new, counted from 1, that fails on its own; 0 is none.
static qint64 failingAllocation = 0;
static qint64 allocationCount = 0;

void* operator new(std::size_t size)
{
    if (failingAllocation > 0 && ++allocationCount == failingAllocation)
        throw std::bad_alloc();
    void* memory = std::malloc(size ? size : 1);
    if (!memory)
        throw std::bad_alloc();
    if (allocationLimit >= 0) {
        allocatedBytes += qint64(malloc_usable_size(memory));
        if (allocatedBytes > allocationLimit) {
            allocatedBytes -= qint64(malloc_usable_size(memory));
            std::free(memory);
            throw std::bad_alloc();
        }
    }
    return memory;
}

void operator delete(void* memory) noexcept
{
    if (memory && allocationLimit >= 0)
        allocatedBytes -= qint64(malloc_usable_size(memory));
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    operator delete(memory);
}

namespace {

// VELSCRIPT_ROBUSTNESS_SEED=<number> explores other cases; a failure names the seed in use.
constexpr quint32 defaultSeed = 20240611;
// Statements a hooked run may take before the host stops it: enough for nearly every feature
// script.
constexpr int statementBudget = 4000;
// A run still going after this long is stopped from outside, as a user would stop it...
constexpr auto deadline = 1s;
// ... and must then end within this long: more is a hang.
constexpr auto stopLag = 2s;
constexpr int maxText = 1 << 16;
constexpr int maxArray = 1 << 14;

quint32 seed()
{
    bool ok = false;
    const quint32 fromEnvironment = qEnvironmentVariable("VELSCRIPT_ROBUSTNESS_SEED").toUInt(&ok);
    return ok ? fromEnvironment : defaultSeed;
}

// Small enough that every limit is reached in milliseconds.
Limits smallLimits()
{
    Limits limits;
    limits.maxCallDepth = 300;
    limits.stackSlots = 1 << 13;
    limits.maxStringLength = maxText;
    limits.maxArrayLength = maxArray;
    return limits;
}

// CR LF, a lone CR and a lone LF each end a line.
int lineCount(const QString& source)
{
    return int(source.count(u'\n') + source.count(u'\r') - source.count(u"\r\n")) + 1;
}

long peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Counts statements and stops the script when its budget is spent; records any statement line
// that is not a line of the script.
class BudgetHost : public Host {
public:
    BudgetHost(int lines, int budget) : m_lines(lines), m_budget(budget) {}

    void log(const QString& text) override
    {
        if (entries.size() < 100)
            entries << text;
    }

    void statement(int line) override
    {
        if ((line < 1 || line > m_lines) && !badLine)
            badLine = line;
        if (++statements == m_budget && interpreter) {
            budgetSpent = true;
            interpreter->requestStop();
        }
    }

    Interpreter* interpreter = nullptr;
    QStringList entries;
    int statements = 0;
    int badLine = 0;
    bool budgetSpent = false;

private:
    int m_lines;
    int m_budget;
};

// Stops the armed interpreter from another thread once its deadline passes, as a host's stop
// button does; the only way to end a fast-mode run that does not end by itself.
class Watchdog {
public:
    Watchdog() : m_thread([this] { watch(); }) {}
    ~Watchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    void arm(Interpreter* target, std::chrono::milliseconds after)
    {
        {
            std::lock_guard lock(m_mutex);
            m_target = target;
            m_deadline = std::chrono::steady_clock::now() + after;
            m_fired = false;
        }
        m_wake.notify_all();
    }

    // Returns how long ago the watchdog had to stop the run, if it had to.
    std::optional<std::chrono::milliseconds> disarm()
    {
        std::lock_guard lock(m_mutex);
        m_target = nullptr;
        if (!m_fired)
            return std::nullopt;
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - m_firedAt);
    }

private:
    void watch()
    {
        std::unique_lock lock(m_mutex);
        while (!m_quit) {
            if (!m_target) {
                m_wake.wait(lock);
            } else if (std::chrono::steady_clock::now() >= m_deadline) {
                m_target->requestStop();
                m_fired = true;
                m_firedAt = std::chrono::steady_clock::now();
                m_target = nullptr;
            } else {
                m_wake.wait_until(lock, m_deadline);
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    Interpreter* m_target = nullptr;
    std::chrono::steady_clock::time_point m_deadline;
    std::chrono::steady_clock::time_point m_firedAt;
    bool m_fired = false;
    bool m_quit = false;
    std::thread m_thread; // last: starts after the members it uses
};

struct Run {
    Outcome outcome; // a syntax error is a Failed outcome of kind Syntax
    QStringList log;
    bool stoppedByHost = false;
    bool watchdogFired = false;
    QString problem; // empty when the run ended as a run may end
};

QString describe(const Outcome& outcome)
{
    switch (outcome.completion) {
    case Outcome::Completion::Finished:
        return QStringLiteral("finished");
    case Outcome::Completion::Stopped:
        return QStringLiteral("stopped");
    case Outcome::Completion::Failed:
        break;
    }
    return QStringLiteral("%1 on line %2").arg(outcome.error.text()).arg(outcome.error.line);
}

QString checkOutcome(const Outcome& outcome, int lines, bool stopAllowed)
{
    const ScriptError& error = outcome.error;
    switch (outcome.completion) {
    case Outcome::Completion::Finished:
        return QString();
    case Outcome::Completion::Stopped:
        return stopAllowed ? QString() : QStringLiteral("stopped although nobody asked it to");
    case Outcome::Completion::Failed:
        break;
    }
    if (error.kind != ScriptError::Kind::Runtime || error.number <= 0 ||
        error.description.isEmpty() || error.line < 1 || error.line > lines)
        return QStringLiteral("a malformed run-time error: %1 (number %2, line %3 of %4)")
            .arg(error.text())
            .arg(error.number)
            .arg(error.line)
            .arg(lines);
    return QString();
}

QString checkSyntaxError(const ScriptError& error, int lines)
{
    if (error.kind != ScriptError::Kind::Syntax || error.description.isEmpty() || error.line < 1 ||
        error.line > lines || error.column < 1)
        return QStringLiteral("a malformed syntax error: %1 (line %2 of %3, column %4)")
            .arg(error.text())
            .arg(error.line)
            .arg(lines)
            .arg(error.column);
    return QString();
}

// Loads and runs one script in a fresh interpreter: the module, then Main if there is one.
Run runScript(const QString& source, bool hooked, Watchdog& watchdog,
              const Limits& limits = smallLimits(), std::chrono::milliseconds allowed = deadline,
              int budget = statementBudget)
{
    const int lines = lineCount(source);
    BudgetHost host(lines, hooked ? budget : 0);
    Interpreter interpreter(host);
    host.interpreter = &interpreter;
    interpreter.setLimits(limits);
    interpreter.setHooked(hooked);
    Run run;
    watchdog.arm(&interpreter, allowed);
    try {
        if (const auto syntax = interpreter.load(source)) {
            run.outcome.completion = Outcome::Completion::Failed;
            run.outcome.error = *syntax;
            run.problem = checkSyntaxError(*syntax, lines);
        } else {
            run.outcome = interpreter.runModule();
            if (run.outcome.finished() && interpreter.hasRoutine(QStringLiteral("Main")))
                run.outcome = interpreter.callRoutine(QStringLiteral("Main"));
        }
    } catch (const std::exception& e) {
        run.problem = QStringLiteral("a C++ exception escaped: %1").arg(e.what());
    } catch (const RuntimeError& e) {
        run.problem = QStringLiteral("a run-time error escaped: %1").arg(e.description());
    } catch (...) {
        run.problem = QStringLiteral("an unknown exception escaped");
    }
    const auto sinceStop = watchdog.disarm();
    run.watchdogFired = sinceStop.has_value();
    run.stoppedByHost = host.budgetSpent || run.watchdogFired;
    run.log = host.entries;
    if (run.problem.isEmpty() && run.outcome.error.kind == ScriptError::Kind::Runtime)
        run.problem = checkOutcome(run.outcome, lines, run.stoppedByHost);
    if (run.problem.isEmpty() && sinceStop && *sinceStop > stopLag)
        run.problem =
            QStringLiteral("still running %1 ms after the stop request").arg(sinceStop->count());
    // No operation may make a Double that is not a number or infinite.
    static const QRegularExpression notFinite(QStringLiteral("^Double:.*(nan|inf)"),
                                              QRegularExpression::CaseInsensitiveOption);
    if (run.problem.isEmpty() && !run.log.filter(notFinite).isEmpty())
        run.problem = QStringLiteral("logged %1").arg(run.log.filter(notFinite).first());
    if (run.problem.isEmpty() && host.badLine)
        run.problem = QStringLiteral("the statement hook was given line %1").arg(host.badLine);
    if (run.problem.isEmpty() &&
        (interpreter.currentLine() < 0 || interpreter.currentLine() > lines))
        run.problem = QStringLiteral("currentLine() is %1").arg(interpreter.currentLine());
    if (run.problem.isEmpty()) {
        // Whatever the script did, the interpreter must still work.
        interpreter.clearStop();
        Value value;
        const Outcome after = interpreter.evaluate(QStringLiteral("1 + 2"), &value);
        if (!after.finished() || !value.isInteger() || value.integer() != 3)
            run.problem = QStringLiteral("afterwards `1 + 2` gives %1").arg(describe(after));
    }
    return run;
}

// Scripts whose Log output depends on the clock cannot be compared run against run; Randomize
// without a number seeds Rnd from the clock.
bool deterministic(const QString& source)
{
    static const QRegularExpression clock(
        QStringLiteral("\\b(Timer|Now|Date|Time)\\b|\\bRandomize\\s*(\\(\\s*\\))?\\s*($|:|')"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    return !source.contains(clock);
}

// A hooked run that ended by itself must end the same way in fast mode.
QString compareWithFastMode(const QString& source, const Run& hooked, Watchdog& watchdog)
{
    if (hooked.outcome.stopped() || !hooked.problem.isEmpty() || !deterministic(source) ||
        hooked.outcome.error.kind == ScriptError::Kind::Syntax)
        return QString();
    const Run fast = runScript(source, false, watchdog);
    if (!fast.problem.isEmpty())
        return QStringLiteral("in fast mode: %1").arg(fast.problem);
    if (fast.watchdogFired)
        return QStringLiteral("in fast mode: still running after %1 ms")
            .arg(std::chrono::milliseconds(deadline).count());
    if (describe(fast.outcome) != describe(hooked.outcome) || fast.log != hooked.log)
        return QStringLiteral("hooked: %1 after %2 Log entries; fast: %3 after %4")
            .arg(describe(hooked.outcome))
            .arg(hooked.log.size())
            .arg(describe(fast.outcome))
            .arg(fast.log.size());
    return QString();
}

// Collects the failing cases of one group and prints the first few in full.
class Failures {
public:
    explicit Failures(QString group) : m_group(std::move(group)) {}

    void check(int index, const QString& source, const QString& problem)
    {
        ++m_cases;
        if (problem.isEmpty())
            return;
        if (m_count++ < 5)
            qWarning().noquote() << QStringLiteral("%1 case %2 (seed %3): %4\n--- script ---\n%5\n"
                                                   "--- end ---")
                                        .arg(m_group)
                                        .arg(index)
                                        .arg(seed())
                                        .arg(problem, source.left(20000));
    }

    int count() const { return m_count; }
    int cases() const { return m_cases; }
    QByteArray summary() const
    {
        return QStringLiteral("%1 of %2 %3 cases failed (seed %4)")
            .arg(m_count)
            .arg(m_cases)
            .arg(m_group)
            .arg(seed())
            .toUtf8();
    }

private:
    QString m_group;
    int m_count = 0;
    int m_cases = 0;
};

// The runner's verdict on one case, with the fast-mode comparison where it applies.
QString runCase(const QString& source, Watchdog& watchdog, bool compare)
{
    const Run hooked = runScript(source, true, watchdog);
    if (!hooked.problem.isEmpty())
        return hooked.problem;
    return compare ? compareWithFastMode(source, hooked, watchdog) : QString();
}

// --- Token soup ---------------------------------------------------------------------------------

const QStringList& words()
{
    static const QStringList all = [] {
        QStringList w =
            QStringLiteral(
                "And ByRef ByVal Call Case Const Dim Do Each Else ElseIf Empty End Error "
                "Exit Explicit False For Function GoTo If In Is Loop Mod Next Not "
                "Nothing Null On Option Or Preserve Private Public ReDim Resume Select "
                "Set Step Sub Then To True Until Wend While Xor Rem")
                .split(u' ');
        w << QStringLiteral("( ) , . = <> < > <= >= + - * / \\ ^ & ( ) = ,").split(u' ');
        w << QStringLiteral("x y i s a n Main F S Err Log Len Mid String Space Array UBound "
                            "Split Join Replace CInt CStr Abs Round Chr Asc TypeName Number Raise")
                 .split(u' ');
        w << QStringLiteral("Eval Execute ExecuteGlobal GetRef Class New Me Property Default "
                            "Get Let")
                 .split(u' ');
        w << QStringLiteral("InStrRev StrComp Filter FormatNumber FormatPercent Hex Oct CByte CSng "
                            "Rnd Randomize ChrW AscW VarType Exp Atn Sin Cos Tan vbCrLf vbNullChar "
                            "vbTextCompare vbObjectError vbUseDefault vbArray")
                 .split(u' ');
        w << QStringLiteral("DateAdd DateDiff DatePart FormatDateTime vbFirstFourDays vbUseSystem "
                            "\"yyyy\" \"ww\" \"q\" #9999-12-31# #100-01-01#")
                 .split(u' ');
        w << QStringLiteral("0 1 2 42 -1 1.5 .5 1e308 1e309 1e-320 2147483647 2147483648 "
                            "99999999999999999999 &HFF &HFFFFFFFF &H7FFFFFFF& &H &H123456789 1e "
                            "1.2.3 0x10 1_")
                 .split(u' ');
        w << QStringLiteral("\"x\"") << QStringLiteral("\"\"") << QStringLiteral("\"a\"\"b\"")
          << QStringLiteral("\"unterminated") << QStringLiteral("\"é∑\"");
        return w;
    }();
    return all;
}

QString soupWord(QRandomGenerator& rng)
{
    switch (rng.bounded(12)) {
    case 0:
        return QStringLiteral("\n");
    case 1:
        return QStringLiteral(":");
    case 2:
        return QStringLiteral(" _\n");
    case 3:
        return rng.bounded(2) ? QStringLiteral("' note\n") : QStringLiteral("Rem note\n");
    default:
        break;
    }
    QString word = words()[rng.bounded(int(words().size()))];
    if (rng.bounded(8) == 0)
        word = rng.bounded(2) ? word.toUpper() : word.toLower();
    return word;
}

QString soupScript(QRandomGenerator& rng)
{
    static const QStringList starters =
        QStringLiteral("If|x =|Do|For i = 1 To|While|Select Case|Sub S|"
                       "Function F|Dim|ReDim a(|Call|Log|On Error|End|Next|Loop")
            .split(u'|');
    QString source;
    const int count = 1 + rng.bounded(rng.bounded(2) ? 6 : 80);
    const bool startLines = rng.bounded(2);
    for (int i = 0; i < count; ++i) {
        if (startLines && (source.isEmpty() || source.endsWith(u'\n')))
            source += starters[rng.bounded(int(starters.size()))] + u' ';
        source += soupWord(rng);
        if (rng.bounded(6) != 0)
            source += u' ';
    }
    return source;
}

// --- Mutations ----------------------------------------------------------------------------------

QString nested(const QString& open, const QString& inner, const QString& close, int depth)
{
    return open.repeated(depth) + inner + close.repeated(depth);
}

QString hostileInsertion(QRandomGenerator& rng)
{
    const int depth = 10 + rng.bounded(290);
    switch (rng.bounded(12)) {
    case 0:
        return QStringLiteral("x = ") +
               nested(QStringLiteral("("), QStringLiteral("1"), QStringLiteral(")"), depth);
    case 1:
        return nested(QStringLiteral("If True Then\n"), QStringLiteral("x = 1\n"),
                      QStringLiteral("End If\n"), depth / 2);
    case 2:
        return nested(QStringLiteral("Do\n"), QString(), QStringLiteral("Loop\n"), depth / 4);
    case 3:
        return QStringLiteral("s = \"%1\"").arg(QString(1000 + rng.bounded(200000), u'x'));
    case 4:
        return QStringLiteral("x = 1") + QStringLiteral(" + 1").repeated(500 + rng.bounded(1000));
    case 5:
        return QStringLiteral("x = Err") + QStringLiteral(".Number").repeated(rng.bounded(1500));
    case 6:
        return QStringLiteral("x = ") + QStringLiteral("-").repeated(depth) + QStringLiteral("1");
    case 7:
        return QStringLiteral("x = Len(") + QStringLiteral("Len(").repeated(depth) +
               QStringLiteral("1") + QStringLiteral(")").repeated(depth + 1);
    case 8:
        return nested(QStringLiteral("With Err\n"), QStringLiteral(".Number = .Number + 1\n"),
                      QStringLiteral("End With\n"), depth / 2);
    case 10: { // arrays of many dimensions, at and past the bounds on dimensions and elements
        QStringList bounds;
        const int dimensions = 1 + rng.bounded(70);
        for (int d = 0; d < dimensions; ++d)
            bounds << QString::number(rng.bounded(4) ? int(rng.bounded(3))
                                                     : rng.bounded(70000) - 2);
        const QString list = bounds.join(u',');
        return QStringLiteral(
                   "ReDim z(%1)\nz(%1) = 1\nReDim Preserve z(%1, 1)\nFor Each e In z\nNext")
            .arg(list);
    }
    case 9: // an index chained past what the arrays hold, read and assigned
        return QStringLiteral("a = Array(Array(1))\nx = a") +
               QStringLiteral("(0)").repeated(depth) + QStringLiteral("\na") +
               QStringLiteral("(0)").repeated(depth) + QStringLiteral(" = 2");
    default:
        return QStringLiteral("x = ") + QStringLiteral("9").repeated(1 + rng.bounded(400));
    }
}

QString blockLine(QRandomGenerator& rng)
{
    static const QStringList lines =
        QStringLiteral("If x Then|Else|ElseIf x Then|End If|Do|Do While x|Loop|Loop Until x|"
                       "For i = 1 To 3|For Each v In a|Next|While x|Wend|Select Case x|Case 1|"
                       "Case Else|End Select|Sub Q|End Sub|Function G(a)|End Function|Exit Do|"
                       "Exit For|Exit Sub|Exit Function|On Error Resume Next|On Error GoTo 0|"
                       "With Err|With x|End With|.Number = 1|Log .Number|x = a(0)(1)|a(0)(1) = 2|"
                       "x = #9999-12-31 23:59:59# + x|x = #1/1/100# - x|x = CDate(x)|"
                       "x = Now - #100-01-01#|Log #12:00 AM# & x|"
                       "x = DateAdd(\"m\", x, #9999-12-31#)|x = DateDiff(\"s\", #100-01-01#, x)|"
                       "Log FormatDateTime(x, vbLongDate)")
            .split(u'|');
    return lines[rng.bounded(int(lines.size()))];
}

QString mutate(const QString& source, QRandomGenerator& rng)
{
    static const QRegularExpression word(QStringLiteral("\\w+|\"[^\"\\n]*\"?|[^\\w\\s]"));
    static const QString characters =
        QStringLiteral("\"()_:'\n&.,=#\t\r<>-+*/\\^ é٣€\u00a0") + QChar(0xD800) + QChar(0);
    QString text = source;
    const int steps = 1 + rng.bounded(3);
    for (int step = 0; step < steps; ++step) {
        QStringList lines = text.split(u'\n');
        const int at = rng.bounded(int(lines.size()));
        QString& line = lines[at];
        const int column = int(rng.bounded(line.size() + 1));
        switch (rng.bounded(12)) {
        case 0:
            lines.removeAt(at);
            break;
        case 1:
            lines.insert(at, line);
            break;
        case 2:
            lines.swapItemsAt(at, rng.bounded(int(lines.size())));
            break;
        case 3:
            line.remove(column, 1 + rng.bounded(3));
            break;
        case 4:
            line.insert(column, characters[rng.bounded(int(characters.size()))]);
            break;
        case 5:
            if (column < line.size())
                line[column] = characters[rng.bounded(int(characters.size()))];
            break;
        case 6:
        case 7: {
            // A whole word: dropped, doubled or replaced by another.
            QList<QRegularExpressionMatch> matches;
            for (auto it = word.globalMatch(line); it.hasNext();)
                matches << it.next();
            if (matches.isEmpty())
                break;
            const auto& match = matches[rng.bounded(int(matches.size()))];
            const QString replacement = rng.bounded(3) == 0 ? QString()
                                        : rng.bounded(2)
                                            ? match.captured() + u' ' + match.captured()
                                            : soupWord(rng);
            line.replace(match.capturedStart(), match.capturedLength(), replacement);
            break;
        }
        case 8:
            lines.insert(at, blockLine(rng));
            break;
        case 9:
            lines.insert(at, hostileInsertion(rng));
            break;
        case 10:
            line.replace(QRegularExpression(QStringLiteral("\\b\\d+\\b")),
                         rng.bounded(2) ? QStringLiteral("2147483648") : QStringLiteral("1E+308"));
            break;
        default:
            text = lines.join(u'\n');
            text.truncate(rng.bounded(text.size() + 1));
            continue;
        }
        text = lines.join(u'\n');
    }
    return text;
}

// --- Hostile programs ---------------------------------------------------------------------------

// Every shape of value a script can pass where a built-in takes a number or a text.
const QStringList& argumentShapes()
{
    static const QStringList all =
        QStringLiteral("0|-1|-2|255|256|-32769|65536|2147483647|-2147483648|2147483648|1e10|"
                       "-1e10|1e308|-1e308|0.5|-0.5|1e-320|\"12\"|\"x\"|\"\"|Null|Empty|"
                       "True|Array()|Array(1, 2)|Nothing|Err|vbObjectError|vbNullChar")
            .split(u'|');
    return all;
}

// The newer built-ins, `%1` standing where each takes an argument.
const QStringList& callsWithShapes()
{
    static const QStringList all =
        QStringLiteral("Hex(%1)|Oct(%1)|CByte(%1)|CSng(%1)|Exp(%1)|Atn(%1)|Sin(%1)|Cos(%1)|"
                       "Tan(%1)|Rnd(%1)|Randomize(%1)|ChrW(%1)|AscW(%1)|VarType(%1)|"
                       "InStrRev(\"abcabc\", \"c\", %1)|InStrRev(\"abc\", \"b\", -1, %1)|"
                       "InStrRev(%1, %1)|StrComp(\"a\", \"B\", %1)|StrComp(%1, %1)|"
                       "Filter(Array(\"a\", 1), \"a\", %1, %1)|Filter(%1, %1)|"
                       "Filter(Array(%1), \"\")|FormatNumber(%1)|FormatNumber(1.5, %1)|"
                       "FormatNumber(-1.5, 2, %1, %1, %1)|FormatPercent(%1, %1)|"
                       "FormatPercent(0.5, 1, -1, %1)|CDate(%1)|IsDate(%1)|Year(%1)|"
                       "Second(%1)|Weekday(%1, %1)|WeekdayName(%1, %1, %1)|MonthName(%1, %1)|"
                       "DateSerial(%1, %1, %1)|TimeSerial(%1, 1, 1)|DateValue(%1)|TimeValue(%1)|"
                       "#9999-12-31# + %1|#100-01-01# - %1|"
                       "DateAdd(\"yyyy\", %1, #2024-02-29#)|DateAdd(\"s\", %1, #100-01-01#)|"
                       "DateAdd(\"m\", %1, #9999-12-31 23:59:59#)|DateAdd(%1, 1, %1)|"
                       "DateDiff(\"s\", %1, #9999-12-31#)|DateDiff(%1, #100-01-01#, %1, %1, %1)|"
                       "DatePart(\"ww\", %1, %1, %1)|DatePart(%1, #9999-12-31#, %1, %1)|"
                       "FormatDateTime(%1, %1)|FormatDateTime(#100-01-01#, %1)")
            .split(u'|');
    return all;
}

struct Program {
    QStringList definitions;
    QStringList statements;
};

// One hostile piece: routines it needs and the statements that use them. `n` is a fresh name.
void addHostilePiece(Program& program, QRandomGenerator& rng, int n)
{
    const QString f = QStringLiteral("F%1").arg(n);
    const QString v = QStringLiteral("v%1").arg(n);
    static const QStringList sizes =
        QStringLiteral("0|1|-1|-2|16383|16384|65535|65536|65537|"
                       "2147483647|2147483648|1e10|-1e10|0.5|\"12\"|\"x\"|\"\"|"
                       "Null|Empty")
            .split(u'|');
    const QString size = sizes[rng.bounded(int(sizes.size()))];
    QStringList& s = program.statements;
    switch (rng.bounded(21)) {
    case 0: // endless recursion
        program.definitions
            << QStringLiteral("Function %1(k)\n  %1 = %1(k + 1) + 1\nEnd Function").arg(f);
        s << QStringLiteral("%1 = %2(0)").arg(v, f);
        break;
    case 1: // recursion that swallows its own failure and tries again
        program.definitions << QStringLiteral("Sub %1(k)\n  On Error Resume Next\n  %1 k + 1\n"
                                              "  %1 k + 1\nEnd Sub")
                                   .arg(f);
        s << QStringLiteral("%1 0").arg(f);
        break;
    case 2: // deep but finite recursion
        program.definitions
            << QStringLiteral("Function %1(k)\n  If k <= 0 Then %1 = 0 Else %1 = %1(k - 1) + 1\n"
                              "End Function")
                   .arg(f);
        s << QStringLiteral("Log %1(%2)").arg(f).arg(rng.bounded(400));
        break;
    case 3: // endless loops of every kind
        s << QStringList{QStringLiteral("Do\nLoop"), QStringLiteral("While True\nWend"),
                         QStringLiteral("For %1 = 1 To 2 Step 0\nNext").arg(v),
                         QStringLiteral("Do\n  %1 = %1 + 1\nLoop Until False").arg(v),
                         QStringLiteral("For %1 = 1 To 10\n  %1 = 1\nNext").arg(v)}[rng.bounded(5)];
        break;
    case 4:
        s << QStringLiteral("%1 = String(%2, \"x\")").arg(v, size)
          << QStringLiteral("%1 = Space(%2)").arg(v, size);
        break;
    case 5:
        s << QStringLiteral("ReDim %1(%2)").arg(v, size)
          << QStringLiteral("ReDim Preserve %1(%2)").arg(v, size);
        break;
    case 6: // doubling a text until something gives
        s << QStringLiteral("%1 = \"ab\"").arg(v)
          << QStringList{QStringLiteral("Do\n  %1 = %1 & %1\nLoop"),
                         QStringLiteral("Do\n  %1 = %1 + %1\nLoop"),
                         QStringLiteral("Do\n  %1 = Replace(%1, \"a\", \"aa\")\nLoop"),
                         QStringLiteral("Do\n  %1 = Join(Array(%1, %1), %1)\nLoop"),
                         QStringLiteral("Do\n  %1 = Space(Len(%1) * 2)\nLoop")}[rng.bounded(5)]
                 .arg(v);
        break;
    case 7: // growing an array until something gives
        s << QStringLiteral("ReDim %1(0)\nDo\n  ReDim Preserve %1(UBound(%1) * 2 + 1)\nLoop")
                 .arg(v);
        break;
    case 8: {
        static const QStringList overflows =
            QStringLiteral("2147483647 + 1|-2147483647 - 2|65536 * 65536|"
                           "1e308 * 10|-2147483648 \\ -1|CInt(1e10)|"
                           "Abs(-2147483647 - 1)|10 ^ 400|(-8) ^ (1 / 3)|"
                           "-(-2147483647 - 1)|CInt(\"1e400\")|Round(1e308, 15)")
                .split(u'|');
        s << QStringLiteral("%1 = %2").arg(v, overflows[rng.bounded(int(overflows.size()))]);
        s << QStringLiteral("%1 = 3\nDo\n  %1 = %1 * 3\nLoop").arg(v);
        break;
    }
    case 9: {
        static const QStringList divisions =
            QStringLiteral("1 / 0|1 \\ 0|1 Mod 0|0 / 0|1 / Empty|5 Mod 0.4|Null / 0").split(u'|');
        s << QStringLiteral("%1 = %2").arg(v, divisions[rng.bounded(int(divisions.size()))]);
        break;
    }
    case 10:
        s << QStringLiteral("%1 = Split(String(%2, \",\"), \",\")").arg(v, size);
        break;
    case 11: // arrays in arrays, shared and nested, sometimes through a second variable
        if (rng.bounded(2))
            s << QStringLiteral("%1 = Empty\nFor k%2 = 1 To %3\n  %1 = Array(%1, %1)\nNext")
                     .arg(v)
                     .arg(n)
                     .arg(rng.bounded(2000));
        else
            s << QStringLiteral("For k%2 = 1 To %3\n  w%2 = Array(%1, w%2)\n"
                                "  %1 = Array(w%2, %1, w%2)\nNext\n%1 = w%2(1)")
                     .arg(v)
                     .arg(n)
                     .arg(rng.bounded(2000));
        break;
    case 16: { // texts the C library reads as numbers, and arithmetic at the ends of the doubles
        static const QStringList texts =
            QStringLiteral("nan|NaN|-nan|inf|-inf|+inf|INF|infinity|-Infinity|0x10|0x1p3|1e400|"
                           "-1e400|1e-400| 1E308 |1.7976931348623157e308|&H|1d2|0b1")
                .split(u'|');
        static const QStringList uses =
            QStringLiteral("CDbl(%1)|%1 + 0|%1 * 1|-%1|Abs(%1)|Int(%1)|Fix(%1)|Sqr(%1)|"
                           "Round(%1, 15)|Round(%1)|CInt(%1)|%1 * 10|%1 / 0.1|%1 ^ 2|Sgn(%1)")
                .split(u'|');
        const QString text = u'"' + texts[rng.bounded(int(texts.size()))] + u'"';
        s << QStringLiteral("On Error Resume Next\n%1 = %2\nLog TypeName(%1) & \":\" & %1")
                 .arg(v, uses[rng.bounded(int(uses.size()))].arg(text))
          << QStringLiteral("Log IsNumeric(%1)\nFor %2 = 1 To %1\nNext").arg(text, v);
        break;
    }
    case 17: { // searches and case mappings made to take quadratic time
        static const QStringList calls =
            QStringLiteral(
                "InStr(%1, \"b\" & %2)|InStr(1, %1, \"B\" & %2, 1)|"
                "Replace(%1, %2 & \"b\", \"x\")|Split(%1 & \"b\", \"b\" & %2)|"
                "UCase(String(Len(%1), Chr(223)))|LCase(String(Len(%1), Chr(304)))|"
                "Replace(%1, \"a\", \"A\", 1, -1, 1)|InStrRev(%1, \"b\" & %2)|"
                "InStrRev(%1, %2 & \"B\", -1, 1)|InStrRev(%1, %2 & \"b\" & %2, Len(%1) - 1)|"
                "Filter(Array(%1, %2), \"b\" & %2, False, 1)|StrComp(%1, %2 & \"A\", 1)")
                .split(u'|');
        s << QStringLiteral("%1 = String(%2, \"a\")\nw%3 = String(%4, \"a\")")
                 .arg(v)
                 .arg(maxText - rng.bounded(3))
                 .arg(n)
                 .arg(rng.bounded(maxText / 2))
          << QStringLiteral("x%1 = %2")
                 .arg(n)
                 .arg(calls[rng.bounded(int(calls.size()))].arg(v, QStringLiteral("w%1").arg(n)));
        break;
    }
    case 12:
        s << QStringLiteral("Err.Raise %1").arg(size)
          << QStringLiteral("Err.Raise 1000, \"here\", %1").arg(size);
        break;
    case 13: // by-reference parameters that outlive and replace what they point at
        program.definitions
            << QStringLiteral("Sub %1(a)\n  a = Array(a)\n  ReDim a(2)\nEnd Sub").arg(f);
        s << QStringLiteral("%1 = 1\n%2 %1\n%2 (%1)\n%1(0) = %1").arg(v, f);
        break;
    case 14: {
        static const QStringList calls =
            QStringLiteral("Mid(\"abc\", %1)|Left(\"abc\", %1)|Chr(%1)|"
                           "InStr(%1, \"abc\", \"c\")|Round(1.5, %1)|"
                           "Replace(\"aaa\", \"a\", \"b\", %1)|UBound(Array(), %1)|"
                           "Asc(%1)|Sqr(%1)|CStr(%1)|Join(%1)")
                .split(u'|');
        s << QStringLiteral("%1 = %2").arg(v, calls[rng.bounded(int(calls.size()))].arg(size));
        break;
    }
    case 18: { // the newer built-ins given every shape of argument where they take a number
        const QStringList& shapes = argumentShapes();
        const QStringList& calls = callsWithShapes();
        const QString shape = shapes[rng.bounded(int(shapes.size()))];
        s << QStringLiteral("%1 = %2").arg(v, calls[rng.bounded(int(calls.size()))].arg(shape));
        break;
    }
    case 19: { // classes turned against themselves and their holders
        // @C is the class, @N the piece's number.
        const auto fill = [&](QString text) {
            return text.replace(QStringLiteral("@C"), QStringLiteral("C%1").arg(n))
                .replace(QStringLiteral("@N"), QString::number(n));
        };
        static const QStringList members = QStringList{
            // recursion through a property, a Default member and Class_Initialize
            QStringLiteral("Public Property Get P\n  P = Me.P + 1\nEnd Property"),
            QStringLiteral("Public Default Function D()\n  D = Me + 1\nEnd Function"),
            QStringLiteral("Private Sub Class_Initialize\n  Set Other = New @C\nEnd Sub"),
            // an end that keeps itself alive, makes more instances, or fails
            QStringLiteral("Private Sub Class_Terminate\n  Set keep@N = Me\nEnd Sub"),
            QStringLiteral("Private Sub Class_Terminate\n  Dim t\n  Set t = New @C\nEnd Sub"),
            QStringLiteral("Private Sub Class_Terminate\n  Err.Raise 1000\nEnd Sub"),
            QStringLiteral("Private Sub Class_Terminate\n  Set Other = Nothing\n"
                           "  Set holder@N = Nothing\nEnd Sub"),
            // variables too large to make
            QStringLiteral("Private big(16777216)"),
            QStringLiteral("Private cube(2000, 2000, 2000)"),
            // a routine that drops the last reference to its own instance, then uses it
            QStringLiteral("Public Sub Drop\n  Set holder@N = Nothing\n  Other = 1\n"
                           "  Log Me.Other\nEnd Sub"),
            QStringLiteral("Public Sub Pass\n  Steal@N Other\n  Log TypeName(Other)\nEnd Sub"),
        };
        QStringList body{QStringLiteral("Public Other")};
        QStringList firstLines;
        for (int i = 0, count = 1 + rng.bounded(3); i < count; ++i) {
            const QString member = members[rng.bounded(int(members.size()))];
            // A member written twice is a syntax error, not abuse.
            if (firstLines.contains(member.section(u'\n', 0, 0)))
                continue;
            firstLines << member.section(u'\n', 0, 0);
            body << fill(member);
        }
        program.definitions << fill(QStringLiteral("Class @C\n")) + body.join(u'\n') +
                                   QStringLiteral("\nEnd Class")
                            << fill(QStringLiteral("Sub Steal@N(ByRef x)\n  Set holder@N = "
                                                   "Nothing\n  x = Array(x)\nEnd Sub"));
        s << fill(QStringLiteral("Set holder@N = New @C"));
        static const QStringList uses =
            QStringLiteral("Log holder@N.P|Log holder@N|x@N = holder@N + 1|holder@N.Drop|"
                           "holder@N.Pass|Set holder@N = Nothing|Set holder@N.Other = holder@N|"
                           "Set holder@N = New @C|w@N = Array(holder@N, holder@N)|"
                           "With holder@N\n  Set holder@N = Nothing\n  .Other = 2\nEnd With|"
                           "For k@N = 1 To 1000\n  Set holder@N = New @C\nNext")
                .split(u'|');
        for (int i = 0, count = 1 + rng.bounded(4); i < count; ++i)
            s << fill(uses[rng.bounded(int(uses.size()))]);
        break;
    }
    case 20: { // code given as text: nested, recursive, cut short, or defining things twice
        static const QStringList texts = QStringList{
            QStringLiteral("String(300, \"(\") & \"1\" & String(300, \")\")"),
            QStringLiteral("\"1\" & String(5000, \"+\") & \"1\""),
            QStringLiteral("\"1 + \""),
            QStringLiteral("\"If True Then\""),
            QStringLiteral("\"Log \"\"unterminated\""),
            QStringLiteral("\"Exit Sub\""),
            QStringLiteral("\"Class Inner\" & vbCrLf & \"End Class\""),
            QStringLiteral("\"Sub S@N\" & vbCrLf & \"End Sub\""),
            QStringLiteral("\"Execute again@N\""),
            QStringLiteral("\"Eval(again@N)\""),
            QStringLiteral("String(100000, \"x\")"),
            QStringLiteral("\"x@N = \" & String(2000, \"-\") & \"1\""),
            QStringLiteral("\"ReDim q@N(\" & %1 & \")\"").arg(size),
            QStringLiteral("\"F@N\" & vbLf & \"Log 1\""),
            QStringLiteral("Null"),
        };
        static const QStringList runs =
            QStringLiteral("Execute %1|ExecuteGlobal %1|x@N = Eval(%1)|Execute Eval(%1)")
                .split(u'|');
        const auto fill = [&](QString text) {
            return text.replace(QStringLiteral("@N"), QString::number(n));
        };
        program.definitions << fill(
            QStringLiteral("Function F@N()\n  F@N = Eval(\"F@N()\")\nEnd Function"));
        s << fill(QStringLiteral("again@N = \"Execute again@N\""));
        for (int i = 0, count = 1 + rng.bounded(3); i < count; ++i) {
            const QString text = fill(texts[rng.bounded(int(texts.size()))]);
            s << fill(runs[rng.bounded(int(runs.size()))].arg(text));
        }
        if (rng.bounded(2))
            s << fill(QStringLiteral("Set r@N = GetRef(\"F@N\")\nx@N = r@N()"));
        break;
    }
    default: // an expression near the operator bound
        s << QStringLiteral("%1 = 1").arg(v) + QStringLiteral(" & 1").repeated(rng.bounded(1001));
        break;
    }
}

QString hostileProgram(QRandomGenerator& rng)
{
    Program program;
    const int pieces = 1 + rng.bounded(4);
    for (int i = 0; i < pieces; ++i)
        addHostilePiece(program, rng, i);
    const bool resumeNext = rng.bounded(2);
    QStringList body;
    if (resumeNext)
        body << QStringLiteral("On Error Resume Next");
    body << program.statements;
    body << QStringLiteral("Log \"end\"");
    if (rng.bounded(2)) {
        // Inside Main, where the variables are locals.
        program.definitions << QStringLiteral("Sub Main\n") + body.join(u'\n') +
                                   QStringLiteral("\nEnd Sub");
        return program.definitions.join(u'\n');
    }
    return (program.definitions + body).join(u'\n');
}

// How a load in a forked child ended, as its exit status.
enum LoadStatus { Loaded = 0, OutOfMemory = 1, OtherError = 3, Unusable = 4, Escaped = 5 };

// A failed load must be Out of memory, and the interpreter must work after any load.
int statusAfterLoad(Interpreter& interpreter, const std::optional<ScriptError>& error)
{
    int status = Loaded;
    if (error)
        status = error->kind == ScriptError::Kind::Runtime && error->number == 7 ? OutOfMemory
                                                                                 : OtherError;
    Value value;
    if (!interpreter.evaluate(QStringLiteral("1 + 2"), &value).finished() || !value.isInteger() ||
        value.integer() != 3)
        status = Unusable;
    return status;
}

// Waits for a forked load child: empty when it exited with a status up to `accepted`.
QString childProblem(pid_t child, int accepted)
{
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return QStringLiteral("the child was lost");
    if (!WIFEXITED(status))
        return QStringLiteral("a load ended by signal %1").arg(WTERMSIG(status));
    switch (WEXITSTATUS(status) <= accepted ? Loaded : WEXITSTATUS(status)) {
    case Loaded:
        return QString();
    case OtherError:
        return QStringLiteral("a load failed with another error than Out of memory");
    case Unusable:
        return QStringLiteral("the interpreter does not work after a load");
    default:
        return QStringLiteral("an exception escaped a load");
    }
}

} // namespace

class TestLanguageRobustness : public QObject {
    Q_OBJECT

private slots:
    void limitsGiveRunTimeErrors_data();
    void limitsGiveRunTimeErrors();
    void deepStructures_data();
    void deepStructures();
    void deepExpressionsInDeepRecursion_data();
    void deepExpressionsInDeepRecursion();
    void fastModeHonoursStopRequests_data();
    void fastModeHonoursStopRequests();
    void constantsStayConstant();
    void searchAndCaseMapping();
    void everyArgumentShape();
    void memoryLimitedLoads_data();
    void memoryLimitedLoads();
    void eachAllocationOfALoadFails();
    void longScriptsLoadInLittleMemory();
    void tokenSoup();
    void mutatedFeatureScripts();
    void hostilePrograms();

private:
    Watchdog m_watchdog;
};

// First, while the process is small: the memory a script takes is bounded by the limits, and
// reaching one is a run-time error, not an allocation failure.
void TestLanguageRobustness::limitsGiveRunTimeErrors_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("textLimit"); // 0: the small limits' own
    const QString text = QString::number(maxText);
    const QString array = QString::number(maxArray);
    QTest::newRow("String") << "s = String(" + text + " + 1, \"x\")" << 7 << 0;
    QTest::newRow("String at the limit") << "s = String(" + text + ", \"x\")" << 0 << 0;
    QTest::newRow("String of 2^31-1") << "s = String(2147483647, \"x\")" << 7 << 0;
    QTest::newRow("String negative") << "s = String(-1, \"x\")" << 5 << 0;
    QTest::newRow("Space beyond Long") << "s = Space(1e10)" << 6 << 0;
    QTest::newRow("ReDim") << "ReDim a(" + array + ")" << 7 << 0;
    QTest::newRow("ReDim at the limit") << "ReDim a(" + array + " - 1)" << 0 << 0;
    QTest::newRow("ReDim 2^31-1") << "ReDim a(2147483647)" << 7 << 0;
    QTest::newRow("ReDim negative") << "ReDim a(-2)" << 9 << 0;
    QTest::newRow("doubling in place") << "s = \"x\"\nDo\n  s = s & s\nLoop" << 7 << 0;
    QTest::newRow("doubling by +") << "s = \"x\"\nDo\n  s = s + s\nLoop" << 7 << 0;
    QTest::newRow("doubling twice") << "s = \"x\"\nDo\n  s = s & s & s\nLoop" << 7 << 0;
    QTest::newRow("Replace") << "s = \"x\"\nDo\n  s = Replace(s, \"x\", \"xx\")\nLoop" << 7 << 0;
    QTest::newRow("Join") << "s = \"x\"\nDo\n  s = Join(Array(s, s), s)\nLoop" << 7 << 0;
    // Millions of parts would be made before a limit checked only at the end.
    QTest::newRow("Split") << "a = Split(String(4194304, \",\"), \",\")" << 7 << (1 << 22);
    QTest::newRow("ReDim Preserve")
        << "ReDim a(0)\nDo\n  ReDim Preserve a(UBound(a) * 2 + 1)\nLoop" << 7 << 0;
    QTest::newRow("recursion") << "Function F(n)\n  F = F(n + 1)\nEnd Function\nx = F(1)" << 28
                               << 0;
    QTest::newRow("locals") << "Sub S\n  Dim a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, "
                               "a12, a13, a14, a15, a16, a17, a18, a19, a20, a21, a22, a23, "
                               "a24, a25, a26, a27, a28, a29, a30\n  S\nEnd Sub\nS"
                            << 28 << 0;
}

void TestLanguageRobustness::limitsGiveRunTimeErrors()
{
    QFETCH(QString, source);
    QFETCH(int, number);
    QFETCH(int, textLimit);
    Limits limits = smallLimits();
    if (textLimit)
        limits.maxStringLength = textLimit;
    for (const bool hooked : {true, false}) {
        const long before = peakResidentKiB();
        const Run run = runScript(source, hooked, m_watchdog, limits);
        QVERIFY2(run.problem.isEmpty(), qPrintable(run.problem));
        QCOMPARE(run.outcome.error.number, number);
        QCOMPARE(run.outcome.failed(), number != 0);
        // A few texts at the limit may be in use at once, not tens of MiB more.
        const long grownMiB = (peakResidentKiB() - before) / 1024;
        const long allowedMiB = 16 + 4 * limits.maxStringLength * 2 / (1024 * 1024);
        QVERIFY2(grownMiB < allowedMiB, qPrintable(QStringLiteral("grew by %1 MiB").arg(grownMiB)));
    }
}

// Chains the parser reads in a loop and values a script builds in one: nothing that walks them
// may need stack in proportion to their depth.
void TestLanguageRobustness::deepStructures_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("outcome");
    const int n = 100000;
    QTest::newRow("+ chain") << "x = 1" + QStringLiteral(" + 1").repeated(n)
                             << "Syntax error at column 4007: Expression too complex on line 1";
    QTest::newRow("& chain") << "x = \"a\"" + QStringLiteral(" & \"a\"").repeated(n)
                             << "Syntax error at column 6009: Expression too complex on line 1";
    QTest::newRow("member chain")
        << "x = Err" + QStringLiteral(".Number").repeated(n)
        << "Syntax error at column 7008: Expression too complex on line 1";
    QTest::newRow("And chain in If")
        << "x = True\nIf x" + QStringLiteral(" And x").repeated(n) + " Then Log 1"
        << "Syntax error at column 6006: Expression too complex on line 2";
    QTest::newRow("nested arrays")
        << "a = Empty\nFor i = 1 To 300000\n  a = Array(a)\nNext\na = Empty"
        << "finished";
    // Each array held twice: releasing one slot does not free it, the other does.
    QTest::newRow("shared nested arrays")
        << "a = Empty\nFor i = 1 To 200000\n  a = Array(a, a)\nNext\na = Empty"
        << "finished";
    // Instances that hold the next one: freed one at a time, not by recursion.
    QTest::newRow("instance chain")
        << "Class Node\n  Public NextNode\nEnd Class\nSet head = New Node\nSet at = head\n"
           "For i = 1 To 300000\n  Set at.NextNode = New Node\n  Set at = at.NextNode\nNext\n"
           "Set at = Nothing\nSet head = Nothing"
        << "finished";
    QTest::newRow("instance ring left to the end")
        << "Class Node\n  Public NextNode\n  Private Sub Class_Terminate\n  End Sub\n"
           "End Class\nSet head = New Node\nSet at = head\n"
           "For i = 1 To 100000\n  Set at.NextNode = New Node\n  Set at = at.NextNode\nNext\n"
           "Set at.NextNode = head\nSet at = Nothing\nSet head = Nothing"
        << "finished";
    QTest::newRow("arrays sharing across variables")
        << "For i = 1 To 100000\n  b = Array(a, b)\n  a = Array(b, a, b)\nNext\nLog 1"
        << "finished";
}

void TestLanguageRobustness::deepStructures()
{
    QFETCH(QString, source);
    QFETCH(QString, outcome);
    const Run run = runScript(source, false, m_watchdog, smallLimits(), 30s);
    QVERIFY2(run.problem.isEmpty(), qPrintable(run.problem));
    QCOMPARE(describe(run.outcome), outcome);
}

// Every call leaves the next one a reserve of native stack; one statement's expressions, as deep
// as the parser lets them be, must fit in it, on a thread with a small stack too.
void TestLanguageRobustness::deepExpressionsInDeepRecursion_data()
{
    QTest::addColumn<int>("stackKiB"); // 0: the test's own thread
    QTest::newRow("main thread") << 0;
    QTest::newRow("1 MiB thread") << 1024;
    QTest::newRow("4 MiB thread") << 4096;
}

void TestLanguageRobustness::deepExpressionsInDeepRecursion()
{
    QFETCH(int, stackKiB);
    // The call sits at the bottom of a 1000-operator chain, so every level is as deep as allowed.
    const QString source = QStringLiteral("Function F(n)\n  F = F(n + 1)") +
                           QStringLiteral(" + 1").repeated(999) +
                           QStringLiteral("\nEnd Function\nLog F(0)");
    Limits limits = smallLimits();
    limits.maxCallDepth = 1 << 20; // only the native stack bounds it
    limits.stackSlots = 1 << 20;
    Run run;
    auto body = [&] { run = runScript(source, false, m_watchdog, limits, 30s); };
    if (stackKiB == 0) {
        body();
    } else {
        std::unique_ptr<QThread> thread(QThread::create(body));
        thread->setStackSize(uint(stackKiB) * 1024);
        thread->start();
        QVERIFY(thread->wait(QDeadlineTimer(60s)));
    }
    QVERIFY2(run.problem.isEmpty(), qPrintable(run.problem));
    QCOMPARE(run.outcome.error.text(), QStringLiteral("Run-time error 28: Out of stack space"));
    QCOMPARE(run.outcome.error.line, 2);
}

// Fast mode has no hook: only a stop request from another thread ends these.
void TestLanguageRobustness::fastModeHonoursStopRequests_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("Do Loop") << "Do\nLoop";
    QTest::newRow("While Wend") << "While True\nWend";
    QTest::newRow("For Step 0") << "For i = 1 To 2 Step 0\nNext";
    QTest::newRow("For Each forever") << "a = Array(1, 2)\nFor Each v In a\n  Do\n  Loop\nNext";
    QTest::newRow("resumed recursion")
        << "Sub S\n  On Error Resume Next\n  S\n  S\nEnd Sub\nSub Main\n  S\nEnd Sub";
    QTest::newRow("Sleep") << "Sleep 100000";
    QTest::newRow("busy text") << "On Error Resume Next\nDo\n  s = String(65536, \"x\")\n"
                                  "  s = Replace(s, \"x\", \"yy\")\nLoop";
}

void TestLanguageRobustness::fastModeHonoursStopRequests()
{
    QFETCH(QString, source);
    QElapsedTimer timer;
    timer.start();
    const Run run = runScript(source, false, m_watchdog, smallLimits(), 50ms);
    QVERIFY2(run.problem.isEmpty(), qPrintable(run.problem));
    QVERIFY(run.outcome.stopped());
    QVERIFY(run.watchdogFired);
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
}

// A constant, declared in the module or in a routine, and a bound object, in every position that
// could change it: the load refuses it with "Illegal assignment" on that line, or the run leaves
// the value as it was.
void TestLanguageRobustness::constantsStayConstant()
{
    const QStringList positions = {
        QStringLiteral("%1 = 2"),
        QStringLiteral("Set %1 = Nothing"),
        QStringLiteral("%1(0) = 2"),
        QStringLiteral("ReDim %1(3)"),
        QStringLiteral("ReDim Preserve %1(3)"),
        QStringLiteral("For %1 = 1 To 2: Next"),
        QStringLiteral("For Each %1 In Array(2): Next"),
        QStringLiteral("Change %1"),
        QStringLiteral("Call Change(%1)"),
        QStringLiteral("x = Changed(%1)"),
        QStringLiteral("Resize %1"),
        QStringLiteral("Change (%1)"),
    };
    const QString routines = QStringLiteral(
        "Sub Change(v)\n  v = 2\nEnd Sub\nFunction Changed(ByRef v)\n  v = 2\nEnd Function\n"
        "Sub Resize(v)\n  ReDim v(3)\nEnd Sub\n");
    int failures = 0;
    for (const QString& position : positions) {
        // A module constant, a routine's constant, a bound object, the language's own constant.
        for (const int where : {0, 1, 2, 3}) {
            const QString name = where == 2   ? QStringLiteral("Err")
                                 : where == 3 ? QStringLiteral("vbTextCompare")
                                              : QStringLiteral("K");
            const QString declaration = where >= 2 ? QString() : QStringLiteral("Const K = 1\n");
            const QString check = where == 2 ? QStringLiteral("Log TypeName(Err)\n")
                                             : QStringLiteral("Log %1\n").arg(name);
            const QString body = declaration + position.arg(name) + u'\n' + check;
            const QString source = where == 1 ? routines + QStringLiteral("Sub Main\n") + body +
                                                    QStringLiteral("End Sub\n")
                                              : routines + body;
            const int positionLine =
                int(routines.count(u'\n')) + (where == 1 ? 2 : 1) + (where >= 2 ? 0 : 1);
            const QString expected = where == 2 ? QStringLiteral("ErrObject") : QStringLiteral("1");
            const Run run = runScript(source, true, m_watchdog);
            QString problem = run.problem;
            const ScriptError& error = run.outcome.error;
            if (problem.isEmpty() && run.outcome.failed()) {
                if (error.kind != ScriptError::Kind::Syntax ||
                    !error.description.startsWith(QStringLiteral("Illegal assignment")) ||
                    error.line != positionLine)
                    problem = QStringLiteral("failed with %1").arg(describe(run.outcome));
            } else if (problem.isEmpty() && run.log != QStringList{expected}) {
                problem = QStringLiteral("logged %1").arg(run.log.join(u'|'));
            }
            if (!problem.isEmpty() && failures++ < 5)
                qWarning().noquote() << problem << "\n--- script ---\n" << source;
        }
    }
    QCOMPARE(failures, 0);
}

// Each of the newer built-ins with each shape of argument, in a routine and at module level: it
// answers or raises a well-formed run-time error, the same in fast mode, and never crashes or
// hangs.
void TestLanguageRobustness::everyArgumentShape()
{
    int failures = 0;
    int failed = 0;
    for (const QString& call : callsWithShapes()) {
        for (const QString& shape : argumentShapes()) {
            const QString statement =
                QStringLiteral("x = %1\nLog VarType(x) & \":\" & x").arg(call.arg(shape));
            for (const bool inRoutine : {false, true}) {
                const QString source = inRoutine ? QStringLiteral("Sub Main\n") + statement +
                                                       QStringLiteral("\nEnd Sub")
                                                 : statement;
                const Run run = runScript(source, true, m_watchdog);
                QString problem = run.problem;
                if (problem.isEmpty())
                    problem = compareWithFastMode(source, run, m_watchdog);
                if (run.outcome.failed())
                    ++failed;
                if (!problem.isEmpty() && failures++ < 5)
                    qWarning().noquote() << problem << "\n--- script ---\n" << source;
            }
        }
    }
    QCOMPARE(failures, 0);
    // Most shapes are wrong somewhere: the calls must be refusing some, not ignoring them.
    QVERIFY(failed > 0);
}

// Texts from a few letters that repeat, change length in another case, differ only in case or
// stand outside the basic plane: the linear search finds what QString finds, and case mapping
// gives what QString gives (on texts short enough for QString's own way).
void TestLanguageRobustness::searchAndCaseMapping()
{
    // Whole characters: QString maps a lone surrogate differently by whether the text has a
    // character that changes length.
    QStringList letters =
        QStringLiteral("a a b A B \u00df \u0130 i \u03a3 \u03c3 \u03c2").split(u' ');
    letters << QString::fromUcs4(U"\U00010400") << QString::fromUcs4(U"\U00010428");
    QRandomGenerator rng(seed() ^ 0x5ea7u);
    const auto randomText = [&](int length) {
        QString result;
        const int alphabet = 1 + int(rng.bounded(int(letters.size())));
        while (result.size() < length)
            result += letters[rng.bounded(alphabet)];
        return result;
    };
    int failures = 0;
    for (int i = 0; i < 3000 && failures < 5; ++i) {
        const QString haystack = randomText(int(rng.bounded(rng.bounded(2) ? 12 : 300)));
        QString needle = randomText(int(rng.bounded(8)));
        if (rng.bounded(3) == 0 && !haystack.isEmpty()) // often one that is there
            needle = haystack.mid(rng.bounded(int(haystack.size())), rng.bounded(40));
        // Half a character is not sought: QString folds it by what stands beside it.
        if (!needle.isEmpty() && needle.front().isLowSurrogate())
            needle.remove(0, 1);
        if (!needle.isEmpty() && needle.back().isHighSurrogate())
            needle.chop(1);
        for (const auto mode : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
            // InStrRev's backward search, on the whole text and on a prefix.
            const qsizetype prefix = rng.bounded(int(haystack.size()) + 1);
            for (const QStringView part :
                 {QStringView(haystack), QStringView(haystack).left(prefix)}) {
                const qsizetype expected = part.lastIndexOf(needle, -1, mode);
                const qsizetype found = lastIndexOf(part, needle, mode);
                if (found != expected && failures++ < 5)
                    qWarning().noquote() << "last" << needle << "in" << part.toString() << "mode"
                                         << mode << ": found" << found << "expected" << expected;
            }
            const TextSearch search(haystack, needle, mode);
            for (qsizetype from = 0; from <= haystack.size(); ++from) {
                const qsizetype expected = haystack.indexOf(needle, from, mode);
                const qsizetype found = search.indexFrom(from);
                if (found != expected && failures++ < 5)
                    qWarning().noquote()
                        << "searching" << needle << "in" << haystack << "from" << from << "mode"
                        << mode << "found" << found << "instead of" << expected;
            }
        }
        for (const bool upper : {true, false}) {
            const QString expected = upper ? haystack.toUpper() : haystack.toLower();
            if (caseMapped(haystack, upper, 1 << 20) != expected && failures++ < 5)
                qWarning().noquote()
                    << "case mapping" << haystack << "gave" << caseMapped(haystack, upper, 1 << 20);
        }
    }
    QCOMPARE(failures, 0);
    // A mapping that grows past the limit is an error, not a text longer than allowed.
    QVERIFY_THROWS_EXCEPTION(RuntimeError, caseMapped(QString(600, QChar(0xdf)), true, 1000));
    QCOMPARE(caseMapped(QString(500, QChar(0xdf)), true, 1000).size(), 1000);
}

// Long sources loaded with little memory left: loading ends in "Out of memory" or loads, and the
// interpreter works afterwards. Each case runs in a forked child, so that an abort is seen as one.
void TestLanguageRobustness::memoryLimitedLoads_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<qint64>("budget"); // bytes in use through operator new
    const QString flat = QStringLiteral("x = 1\n").repeated(200000);
    const QString ifs =
        QStringLiteral("If x < 3 Then y = Len(\"abc\") * 2 + x Else y = 0\n").repeated(20000);
    const QString routine = QStringLiteral("Sub S(a, b)\n  a = b & \"x\"\n  S b, a\nEnd Sub\n");
    const QString routines = routine + QStringLiteral("Sub T\n") +
                             QStringLiteral("  S 1, 2\n").repeated(50000) +
                             QStringLiteral("End Sub\n");
    const QString branches = QStringLiteral("If x = 0 Then\n") +
                             QStringLiteral("ElseIf x = 1 Then\n  Log 1\n").repeated(20000) +
                             QStringLiteral("End If\n");
    const QString text = QStringLiteral("s = \"%1\"\n").arg(QString(100000, u'x')).repeated(50);
    // Many distinct names: the tables of module variables, routines and locals grow while loading.
    QString names;
    for (int i = 0; i < 30000; ++i)
        names += QStringLiteral("v%1 = %1\nSub R%1(p)\n  Dim a%1, b%1\nEnd Sub\n").arg(i);
    QRandomGenerator rng(seed() ^ 0x3e3u);
    const std::pair<const char*, QString> sources[] = {
        {"flat", flat},         {"ifs", ifs},    {"routines", routines},
        {"branches", branches}, {"texts", text}, {"names", names}};
    for (const auto& [name, source] : sources) {
        for (int i = 0; i < 4; ++i) {
            // From nearly nothing to more than the load needs.
            const qint64 budget = qint64(rng.bounded(1 << 20)) << rng.bounded(8);
            QTest::addRow("%s, %lld bytes", name, qlonglong(budget)) << source << budget;
        }
    }
}

void TestLanguageRobustness::memoryLimitedLoads()
{
    QFETCH(QString, source);
    QFETCH(qint64, budget);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        alarm(120); // a hang ends the child with a signal
#ifndef __SANITIZE_ADDRESS__
        // The address space as well, for what the C library allocates directly (the texts).
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        const rlimit limit{rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (64 << 20),
                           RLIM_INFINITY};
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
#else
        const rlimit limit{RLIM_INFINITY, RLIM_INFINITY};
        const rlimit unlimited = limit;
        const long pages = 0;
#endif
        // Nothing may leave the child but through _exit: the test framework's threads are gone.
        int status = Escaped;
        try {
            BudgetHost host(1, 0);
            Interpreter interpreter(host);
            if (pages > 0)
                setrlimit(RLIMIT_AS, &limit);
            allocatedBytes = 0;
            allocationLimit = budget;
            const std::optional<ScriptError> error = interpreter.load(source);
            allocationLimit = -1;
            setrlimit(RLIMIT_AS, &unlimited);
            status = statusAfterLoad(interpreter, error);
        } catch (...) {
            status = Escaped;
        }
        _exit(status);
    }
    const QString problem = childProblem(child, OutOfMemory);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

// What a loaded program keeps per statement, through operator new: a 20 MB script has 3.5 million
// statements, and each byte here is 3.5 MB there.
void TestLanguageRobustness::longScriptsLoadInLittleMemory()
{
    const struct {
        const char* line;
        qint64 bytes; // a statement may keep
    } cases[] = {
        {"x = 1", 200}, {"If a < 10 Then b = b + Len(s) * 2", 1100}, {"Log \"t\" & i", 500}};
    for (const auto& [line, bytes] : cases) {
        const int count = 20000;
        const QString source = (QString::fromLatin1(line) + u'\n').repeated(count);
        BudgetHost host(count, 0);
        Interpreter interpreter(host);
        allocatedBytes = 0;
        allocationLimit = bytes * count;
        const std::optional<ScriptError> error = interpreter.load(source);
        const qint64 used = allocatedBytes;
        allocationLimit = -1;
        QVERIFY2(!error, qPrintable(QStringLiteral("`%1` needs more than %2 bytes a statement")
                                        .arg(QLatin1String(line))
                                        .arg(bytes)));
        qInfo("`%s`: %lld bytes a statement", line, used / count);
    }
}

// Each allocation a load makes fails once, in turn: wherever it happens (a syntax node, a name
// table growing, a routine's locals), the load ends in "Out of memory" and the interpreter works
// afterwards. All in one forked child, so that an abort is seen as one.
void TestLanguageRobustness::eachAllocationOfALoadFails()
{
    QString source = QStringLiteral("Const C = 3\nDim g(2)\n");
    for (int i = 0; i < 12; ++i) {
        source += QStringLiteral("v%1 = \"t\" & %1\n"
                                 "Function F%1(a, ByVal b)\n"
                                 "  Dim l%1, m%1: l%1 = a + b * C\n"
                                 "  If l%1 > 2 Then F%1 = Len(m%1) Else F%1 = g(1)\n"
                                 "End Function\n")
                      .arg(i);
    }
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        alarm(120);
        int status = Loaded;
        try {
            BudgetHost host(1, 0);
            Interpreter interpreter(host);
            for (qint64 failing = 1; status == 0; ++failing) {
                allocationCount = 0;
                failingAllocation = failing;
                const std::optional<ScriptError> error = interpreter.load(source);
                failingAllocation = 0;
                if (!error && allocationCount < failing)
                    break; // every allocation of the load has failed once
                const int after = statusAfterLoad(interpreter, error);
                if (after != Loaded && after != OutOfMemory)
                    status = after;
            }
        } catch (...) {
            status = Escaped;
        }
        _exit(status);
    }
    const QString problem = childProblem(child, Loaded);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TestLanguageRobustness::tokenSoup()
{
    QRandomGenerator rng(seed() ^ 0x50u);
    Failures failures(QStringLiteral("token soup"));
    int loaded = 0;
    for (int i = 0; i < 1500; ++i) {
        const QString source = soupScript(rng);
        const Run hooked = runScript(source, true, m_watchdog);
        if (hooked.outcome.error.kind != ScriptError::Kind::Syntax)
            ++loaded;
        failures.check(i, source, hooked.problem);
    }
    qInfo("%d cases, %d of them loaded", failures.cases(), loaded);
    QVERIFY2(failures.count() == 0, failures.summary().constData());
    QVERIFY2(loaded > 20, "hardly any soup got past the parser; the generator is broken");
}

void TestLanguageRobustness::mutatedFeatureScripts()
{
    const QString root = QStringLiteral(VELSCRIPT_LANG_TESTS);
    QStringList sources;
    QDirIterator it(root, {QStringLiteral("*.vbs")}, QDir::Files, QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    for (const QString& path : paths) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        sources << QString::fromUtf8(file.readAll());
    }
    QVERIFY2(sources.size() > 20, "the language scripts were not found");

    QRandomGenerator rng(seed() ^ 0x3a7u);
    Failures failures(QStringLiteral("mutated script"));
    int index = 0;
    int overBudget = 0;
    for (const QString& original : sources) {
        // Mutants of a script the budget cannot run whole are mostly stopped, which tests little.
        overBudget += runScript(original, true, m_watchdog).outcome.stopped();
        for (int i = 0; i < 20; ++i, ++index) {
            const QString source = mutate(original, rng);
            failures.check(index, source, runCase(source, m_watchdog, true));
        }
    }
    qInfo("%d cases from %d scripts, %d of which run past the budget", failures.cases(),
          int(sources.size()), overBudget);
    QVERIFY2(overBudget * 10 < sources.size(), "the statement budget is too small");
    QVERIFY2(failures.count() == 0, failures.summary().constData());
}

void TestLanguageRobustness::hostilePrograms()
{
    QRandomGenerator rng(seed() ^ 0xbadu);
    Failures failures(QStringLiteral("hostile program"));
    int finished = 0;
    int failed = 0;
    int stopped = 0;
    int outOfTime = 0;
    for (int i = 0; i < 600; ++i) {
        const QString source = hostileProgram(rng);
        // Each statement may be slow here (texts at the limit), so fewer of them.
        const Run hooked = runScript(source, true, m_watchdog, smallLimits(), deadline, 1000);
        QString problem = hooked.problem;
        if (problem.isEmpty() && hooked.outcome.error.kind == ScriptError::Kind::Syntax)
            problem =
                QStringLiteral("a generated program does not load: ") + hooked.outcome.error.text();
        if (problem.isEmpty())
            problem = compareWithFastMode(source, hooked, m_watchdog);
        failures.check(i, source, problem);
        finished += hooked.outcome.finished();
        failed += hooked.outcome.failed();
        stopped += hooked.outcome.stopped();
        outOfTime += hooked.watchdogFired;
    }
    qInfo("%d cases: %d finished, %d failed, %d stopped (%d of them after %lld ms)",
          failures.cases(), finished, failed, stopped, outOfTime,
          qlonglong(std::chrono::milliseconds(deadline).count()));
    QVERIFY2(failures.count() == 0, failures.summary().constData());
    // Each way of ending must be exercised, or the generator has lost its teeth.
    QVERIFY(finished > 20 && failed > 20 && stopped > 20);
}

VELSCRIPT_TEST_GUILESS_MAIN(TestLanguageRobustness)
#include "tst_lang_robustness.moc"
