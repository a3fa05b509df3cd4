// What a debugger reads of a script paused in the hook: the active calls with their lines, each
// call's variables and the module's, down through arrays and class instances; and the lines that
// hold a statement.

#include "lang/inspection.h"
#include "lang/interpreter.h"
#include "support/test_program.h"

#include <QtTest>

#include <functional>

using namespace velscript::lang;

namespace {

// Runs `look` in the hook before the statement on `line`, each time it comes.
class LookingHost : public Host {
public:
    LookingHost(int line, std::function<void()> look) : m_line(line), m_look(std::move(look)) {}
    void log(const QString&) override {}
    void statement(int line) override
    {
        if (line == m_line)
            m_look();
    }

private:
    int m_line;
    std::function<void()> m_look;
};

QStringList shown(const std::vector<VariableView>& views)
{
    QStringList texts;
    for (const VariableView& view : views)
        texts << QStringLiteral("%1 %2 %3%4")
                     .arg(view.name, view.typeName, view.text,
                          view.children ? QStringLiteral(" [%1]").arg(view.children) : QString());
    return texts;
}

QStringList shown(const std::vector<CallView>& calls)
{
    QStringList texts;
    for (const CallView& call : calls)
        texts << QStringLiteral("%1 %2").arg(call.routine).arg(call.line);
    return texts;
}

} // namespace

class TestLangInspection : public QObject {
    Q_OBJECT

private slots:
    void callsAndTheirVariables();
    void callsGoWithAnError();
    void statementLines();
};

// A class's routine called from a recursive one: the calls innermost first with the line each
// stands at, a ByRef parameter showing the caller's variable, Me with the instance's variables,
// and paths down into them.
void TestLangInspection::callsAndTheirVariables()
{
    const QString source = QStringLiteral("Class Counter\n"             // 1
                                          "  Public total, items(1)\n"  // 2
                                          "  Sub Add(ByRef n)\n"        // 3
                                          "    total = total + n\n"     // 4
                                          "  End Sub\n"                 // 5
                                          "End Class\n"                 // 6
                                          "Dim c, label\n"              // 7
                                          "Const Limit = 2\n"           // 8
                                          "Sub Down(depth)\n"           // 9
                                          "  Dim here\n"                // 10
                                          "  here = depth * 10\n"       // 11
                                          "  If depth < Limit Then\n"   // 12
                                          "    Down depth + 1\n"        // 13
                                          "  Else\n"                    // 14
                                          "    c.Add here\n"            // 15
                                          "  End If\n"                  // 16
                                          "End Sub\n"                   // 17
                                          "Sub Main\n"                  // 18
                                          "  Set c = New Counter\n"     // 19
                                          "  c.items(1) = \"second\"\n" // 20
                                          "  label = \"run\"\n"         // 21
                                          "  Down 1\n"                  // 22
                                          "End Sub\n");                 // 23
    QStringList calls;
    QStringList scope0;
    QStringList module;
    QStringList me;
    QStringList items;
    QStringList caller;
    QStringList beyond;
    int depth = -1;
    std::unique_ptr<Interpreter> interpreter;
    LookingHost host(4, [&] {
        depth = callDepth(*interpreter);
        calls = shown(callStack(*interpreter));
        scope0 = shown(inspect(*interpreter, {0, {}}, 0, 100));
        module = shown(inspect(*interpreter, {ModuleScope, {}}, 0, 100));
        me = shown(inspect(*interpreter, {0, {0}}, 0, 100));
        items = shown(inspect(*interpreter, {0, {0, 1}}, 1, 100));
        caller = shown(inspect(*interpreter, {1, {}}, 0, 100));
        beyond = shown(inspect(*interpreter, {7, {}}, 0, 100)) +
                 shown(inspect(*interpreter, {0, {0, 9}}, 0, 100));
    });
    interpreter = std::make_unique<Interpreter>(host);
    QVERIFY(!interpreter->load(source));
    QVERIFY(interpreter->runModule().finished());
    QVERIFY(interpreter->callRoutine(QStringLiteral("Main")).finished());

    QCOMPARE(depth, 4);
    QCOMPARE(calls, (QStringList{"Counter.Add 4", "Down 15", "Down 13", "Main 22"}));
    QCOMPARE(scope0, (QStringList{"Me Counter {Counter} [2]", "n Long 20"}));
    QCOMPARE(module, (QStringList{"c Counter {Counter} [2]", "label String \"run\""}));
    QCOMPARE(me, (QStringList{"total Empty Empty", "items Variant() (0 To 1) [2]"}));
    QCOMPARE(items, QStringList{"(1) String \"second\""});
    QCOMPARE(caller, (QStringList{"depth Long 2", "here Long 20"}));
    QVERIFY2(beyond.isEmpty(), qPrintable(beyond.join(u'|')));
    QCOMPARE(callDepth(*interpreter), 0);
    QCOMPARE(shown(callStack(*interpreter)).size(), 1);
}

// A run that fails deep in its calls leaves no call behind, and the next run's calls start
// afresh.
void TestLangInspection::callsGoWithAnError()
{
    std::unique_ptr<Interpreter> interpreter;
    QStringList calls;
    LookingHost host(5, [&] { calls = shown(callStack(*interpreter)); });
    interpreter = std::make_unique<Interpreter>(host);
    QVERIFY(!interpreter->load(QStringLiteral("Sub Fail\n"      // 1
                                              "  Err.Raise 5\n" // 2
                                              "End Sub\n"       // 3
                                              "Sub Main\n"      // 4
                                              "  Log 1\n"       // 5
                                              "  Fail\n"        // 6
                                              "End Sub\n")));   // 7
    QVERIFY(interpreter->callRoutine(QStringLiteral("Main")).failed());
    QCOMPARE(callDepth(*interpreter), 0);
    QVERIFY(interpreter->callRoutine(QStringLiteral("Main")).failed());
    QCOMPARE(calls, QStringList{"Main 5"});
}

// The lines a breakpoint can stand on: statements, loops' ends, routines' and classes' bodies;
// not declarations of routines, comments or blank lines.
void TestLangInspection::statementLines()
{
    const std::vector<int> lines =
        velscript::lang::statementLines(QStringLiteral("' a comment\n"                // 1
                                                       "Dim a\n"                      // 2
                                                       "\n"                           // 3
                                                       "Sub Main\n"                   // 4
                                                       "  For a = 1 To 2\n"           // 5
                                                       "    If a = 1 Then\n"          // 6
                                                       "      Log a\n"                // 7
                                                       "    End If\n"                 // 8
                                                       "  Next\n"                     // 9
                                                       "End Sub\n"                    // 10
                                                       "Class K\n"                    // 11
                                                       "  Sub Go : a = 2 : End Sub\n" // 12
                                                       "End Class\n"));               // 13
    QCOMPARE(lines, (std::vector<int>{2, 5, 6, 7, 9, 12}));
    QVERIFY(velscript::lang::statementLines(QStringLiteral("Sub Main\n  If\nEnd Sub\n")).empty());
}

VELSCRIPT_TEST_MAIN(TestLangInspection)
#include "tst_lang_inspection.moc"
