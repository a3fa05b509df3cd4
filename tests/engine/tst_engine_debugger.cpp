// The engine's window as a script debugger, driven through its widgets: breakpoints set in the
// gutter while a script runs, the paused script's calls and variables, stepping over, into and
// out, the log that follows, the title, the script's colours and find; and reading a paused
// script while it is stopped from another thread.

#include "engine/script_highlighter.h"
#include "engine/script_runner.h"
#include "engine/script_view.h"
#include "engine_test_support.h"

#include "lang/inspection.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTreeWidget>

#include <atomic>
#include <thread>

using namespace velscript;
using namespace velscript::engine;
using namespace velscript::engine::test;

namespace {

QWidget* debuggerWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("VelScriptEngineWindow") && widget->isVisible())
            return widget;
    }
    return nullptr;
}

template <class T> T* windowPart(const char* name)
{
    QWidget* window = debuggerWindow();
    return window ? window->findChild<T*>(QLatin1String(name)) : nullptr;
}

// The engine, created with TEXT, its window shown and laid out.
std::unique_ptr<ReferenceEngine> shownEngine(const QString& text)
{
    auto engine = createdEngine(text);
    if (!engine || !engine->Show(Variant::missing()) || !debuggerWindow() ||
        !QTest::qWaitForWindowExposed(debuggerWindow()))
        return nullptr;
    return engine;
}

void clickGutter(int line)
{
    auto* view = windowPart<ScriptView>("Text");
    QVERIFY(view);
    QTest::mouseClick(view->gutter(), Qt::LeftButton, {}, view->gutterPoint(line));
}

void pressKey(QKeyCombination key)
{
    QTest::keyClick(debuggerWindow(), key.key(), key.keyboardModifiers());
}

// The variables tree's item named NAME (below PARENT, or anywhere), or nullptr.
QTreeWidgetItem* variable(const QString& name, QTreeWidgetItem* parent = nullptr)
{
    auto* tree = windowPart<QTreeWidget>("Variables");
    if (!tree)
        return nullptr;
    if (!parent) {
        const auto found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive, 0);
        return found.isEmpty() ? nullptr : found.first();
    }
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == name)
            return parent->child(i);
    }
    return nullptr;
}

// NAME's type and text as the tree shows them, "Type = text".
QString shownVariable(const QString& name, QTreeWidgetItem* parent = nullptr)
{
    const QTreeWidgetItem* item = variable(name, parent);
    return item ? item->text(1) + QStringLiteral(" = ") + item->text(2) : QStringLiteral("<none>");
}

QStringList callStack()
{
    QStringList calls;
    if (auto* list = windowPart<QListWidget>("CallStack")) {
        for (int i = 0; i < list->count(); ++i)
            calls << list->item(i)->text();
    }
    return calls;
}

#define PAUSED_AT(engine, line)                                                                    \
    do {                                                                                           \
        ENGINE_REST(engine);                                                                       \
        QCOMPARE(value((engine).State()), 2);                                                      \
        QCOMPARE(value((engine).LineNumber()), line);                                              \
    } while (false)

const QString rounds = QStringLiteral("Sub Main\n"                     // 1
                                      "  Dim i\n"                      // 2
                                      "  For i = 1 To 5\n"             // 3
                                      "    Log \"round \" & i\n"       // 4
                                      "    If i = 2 Then Sleep 1500\n" // 5
                                      "  Next\n"                       // 6
                                      "End Sub\n");                    // 7

} // namespace

class TestEngineDebugger : public QObject {
    Q_OBJECT

private slots:
    void breakpointSetWhileRunning();
    void breakpointsFollowStatementsAndText();
    void breakpointsSharingSummaryBit();
    void variablesAtBreakpoint();
    void manyElementsShownBounded();
    void callStackThreeDeep();
    void stepsLandWherePersonExpects();
    void runToCursor();
    void logFollowsNewest();
    void titleNamesScriptAndState();
    void scriptColoursAndFind();
    void readingWhileStopped();
};

// A breakpoint set in the gutter while a continuous run goes pauses it at the breakpoint's
// line, in the loop's round that reaches it next; cleared, the run goes on from there.
void TestEngineDebugger::breakpointSetWhileRunning()
{
    auto engine = shownEngine(rounds);
    QVERIFY(engine);
    ENGINE_OK(engine->Start(2, Variant::missing()));
    // Round 2 sleeps: time enough to set the breakpoint before round 3 reaches it.
    QTRY_VERIFY_WITH_TIMEOUT(lastEntry(*engine) == QLatin1String("round 2"), Patience);
    clickGutter(4);
    QCOMPARE(windowPart<ScriptView>("Text")->breakpoints(), QList<int>{4});
    PAUSED_AT(*engine, 4);
    QCOMPARE(lastEntry(*engine), QStringLiteral("round 2"));
    QTRY_COMPARE_WITH_TIMEOUT(shownVariable(QStringLiteral("i")), QStringLiteral("Long = 3"),
                              Patience);
    QTRY_VERIFY_WITH_TIMEOUT(
        debuggerWindow()->windowTitle().contains(QLatin1String("Paused at line 4")), Patience);
    // The tester's own operations work from a breakpoint's pause as from a step's.
    QCOMPARE(value(engine->Execute(QStringLiteral("i * 10"), Variant())), Variant(qint32(30)));

    clickGutter(4);
    QVERIFY(windowPart<ScriptView>("Text")->breakpoints().isEmpty());
    pressKey(Qt::Key_F5);
    QTRY_VERIFY_WITH_TIMEOUT(entries(*engine).contains(QLatin1String("round 5")), Patience);
    // Still the continuous run: it starts its next cycle instead of ending.
    QTRY_COMPARE_WITH_TIMEOUT(entries(*engine).count(QLatin1String("round 1")), 2, Patience);
    QCOMPARE(value(engine->State()), 1);
    pressKey(Qt::SHIFT | Qt::Key_F5);
    ENGINE_REST(*engine);
    QTRY_COMPARE_WITH_TIMEOUT(value(engine->State()), 0, Patience);
}

// A breakpoint goes on the line that holds a statement, or moves to the next one; F9 sets it on
// the cursor's line; a new text takes every breakpoint away.
void TestEngineDebugger::breakpointsFollowStatementsAndText()
{
    const QString text = QStringLiteral("Sub Main\n"  // 1
                                        "  ' note\n"  // 2
                                        "\n"          // 3
                                        "  Log 1\n"   // 4
                                        "End Sub\n"); // 5
    auto engine = shownEngine(text);
    QVERIFY(engine);
    auto* view = windowPart<ScriptView>("Text");
    clickGutter(2);
    QCOMPARE(view->breakpoints(), QList<int>{4});
    clickGutter(3);
    QVERIFY(view->breakpoints().isEmpty());
    // After the last statement there is nothing to set it on.
    clickGutter(5);
    QVERIFY(view->breakpoints().isEmpty());

    view->setFocus();
    view->setTextCursor(QTextCursor(view->document()->findBlockByNumber(0)));
    QTest::keyClick(view, Qt::Key_F9);
    QCOMPARE(view->breakpoints(), QList<int>{4});
    QCOMPARE(engine->runner()->breakpoints().lines(), QList<int>{4});

    // One cycle pauses there too, and goes on to its end.
    pressKey(Qt::Key_F5);
    PAUSED_AT(*engine, 4);
    pressKey(Qt::Key_F5);
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QCOMPARE(lastEntry(*engine), QStringLiteral("End (exit code 0)"));

    ENGINE_OK(engine->Text(text));
    QVERIFY(view->breakpoints().isEmpty());
    QVERIFY(engine->runner()->breakpoints().lines().isEmpty());
    QVERIFY(!engine->runner()->breakpoints().any());
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
}

// Lines 64 apart share the hook's first look: only the one with the breakpoint pauses, and a
// breakpoint cleared there pauses no more.
void TestEngineDebugger::breakpointsSharingSummaryBit()
{
    QString text = QStringLiteral("Sub Main\n  Dim i\n  For i = 1 To 2\n");
    while (text.count(u'\n') < 5)
        text += QStringLiteral("    '\n");
    text += QStringLiteral("    Log \"six \" & i\n"); // 6
    while (text.count(u'\n') < 69)
        text += QStringLiteral("    '\n");
    text += QStringLiteral("    Log \"seventy \" & i\n  Next\nEnd Sub\n"); // 70
    auto engine = createdEngine(text);
    QVERIFY(engine);
    Breakpoints& breakpoints = engine->runner()->breakpoints();
    QCOMPARE(breakpoints.set(70, true), 70);
    QVERIFY(breakpoints.mayHold(6) && !breakpoints.mayHold(7));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    PAUSED_AT(*engine, 70);
    QCOMPARE(lastEntry(*engine), QStringLiteral("six 1"));
    QCOMPARE(breakpoints.set(70, false), 70);
    QVERIFY(!breakpoints.any());
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QCOMPARE(entries(*engine).filter(QStringLiteral("seventy")).size(), 2);
}

// Paused, the tree shows the routine's locals, then the module's variables; an array and a
// class instance open to their elements and members as they are at that moment.
void TestEngineDebugger::variablesAtBreakpoint()
{
    auto engine = shownEngine(QStringLiteral("Class Point\n"           // 1
                                             "  Public X, Y\n"         // 2
                                             "  Private tag\n"         // 3
                                             "End Class\n"             // 4
                                             "Dim grid(2), count\n"    // 5
                                             "Sub Main\n"              // 6
                                             "  Dim p, total\n"        // 7
                                             "  Set p = New Point\n"   // 8
                                             "  p.X = 3\n"             // 9
                                             "  p.Y = 4.5\n"           // 10
                                             "  grid(0) = \"first\"\n" // 11
                                             "  grid(2) = True\n"      // 12
                                             "  count = 7\n"           // 13
                                             "  total = p.X + p.Y\n"   // 14
                                             "  Log total\n"           // 15
                                             "End Sub\n"));            // 16
    QVERIFY(engine);
    clickGutter(14);
    pressKey(Qt::Key_F5);
    PAUSED_AT(*engine, 14);
    auto* tree = windowPart<QTreeWidget>("Variables");
    QVERIFY(tree);
    QTRY_COMPARE_WITH_TIMEOUT(tree->topLevelItemCount(), 2, Patience);
    QTreeWidgetItem* routine = tree->topLevelItem(0);
    QTreeWidgetItem* module = tree->topLevelItem(1);
    QCOMPARE(routine->text(0), QStringLiteral("Main"));
    QCOMPARE(module->text(0), QStringLiteral("Module"));
    QCOMPARE(shownVariable(QStringLiteral("total"), routine), QStringLiteral("Empty = Empty"));
    QCOMPARE(shownVariable(QStringLiteral("count"), module), QStringLiteral("Long = 7"));
    QCOMPARE(shownVariable(QStringLiteral("p"), routine), QStringLiteral("Point = {Point}"));
    // Module variables are not a routine's, nor the language's constants the module's.
    QVERIFY(!variable(QStringLiteral("count"), routine));
    QVERIFY(!variable(QStringLiteral("vbCrLf"), module));

    QTreeWidgetItem* p = variable(QStringLiteral("p"), routine);
    // Not read until opened.
    QCOMPARE(p->childCount(), 0);
    QCOMPARE(p->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    p->setExpanded(true);
    QCOMPARE(p->childCount(), 3);
    QCOMPARE(shownVariable(QStringLiteral("X"), p), QStringLiteral("Long = 3"));
    QCOMPARE(shownVariable(QStringLiteral("Y"), p), QStringLiteral("Double = 4.5"));
    QCOMPARE(shownVariable(QStringLiteral("tag"), p), QStringLiteral("Empty = Empty"));

    QTreeWidgetItem* grid = variable(QStringLiteral("grid"), module);
    QVERIFY(grid);
    QCOMPARE(grid->text(2), QStringLiteral("(0 To 2)"));
    grid->setExpanded(true);
    QCOMPARE(grid->childCount(), 3);
    QCOMPARE(shownVariable(QStringLiteral("(0)"), grid), QStringLiteral("String = \"first\""));
    QCOMPARE(shownVariable(QStringLiteral("(1)"), grid), QStringLiteral("Empty = Empty"));
    QCOMPARE(shownVariable(QStringLiteral("(2)"), grid), QStringLiteral("Boolean = True"));

    // A step shows the values of the next pause.
    ENGINE_OK(engine->Execute(QStringLiteral("count = 8"), Variant()));
    pressKey(Qt::Key_F10);
    PAUSED_AT(*engine, 15);
    QTRY_COMPARE_WITH_TIMEOUT(shownVariable(QStringLiteral("total")),
                              QStringLiteral("Double = 7.5"), Patience);
    QCOMPARE(shownVariable(QStringLiteral("count")), QStringLiteral("Long = 8"));
    pressKey(Qt::SHIFT | Qt::Key_F5);
    ENGINE_REST(*engine);
    QTRY_COMPARE_WITH_TIMEOUT(tree->topLevelItemCount(), 1, Patience);
    QVERIFY(!variable(QStringLiteral("count")));
}

// An array of thousands opens to the first thousand elements and a line saying how many more.
void TestEngineDebugger::manyElementsShownBounded()
{
    auto engine = shownEngine(QStringLiteral("Dim big(2499), square(1, 2)\n" // 1
                                             "Sub Main\n"                    // 2
                                             "  big(999) = 999\n"            // 3
                                             "  square(1, 2) = \"corner\"\n" // 4
                                             "  Log 1\n"                     // 5
                                             "End Sub\n"));                  // 6
    QVERIFY(engine);
    clickGutter(5);
    pressKey(Qt::Key_F5);
    PAUSED_AT(*engine, 5);
    QTreeWidgetItem* big = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((big = variable(QStringLiteral("big"))) != nullptr, Patience);
    big->setExpanded(true);
    QCOMPARE(big->childCount(), 1001);
    QCOMPARE(shownVariable(QStringLiteral("(999)"), big), QStringLiteral("Long = 999"));
    QCOMPARE(big->child(1000)->text(0), QStringLiteral("(1,500 more not shown)"));
    QTreeWidgetItem* square = variable(QStringLiteral("square"));
    QCOMPARE(square->text(2), QStringLiteral("(0 To 1, 0 To 2)"));
    square->setExpanded(true);
    QCOMPARE(square->childCount(), 6);
    QCOMPARE(shownVariable(QStringLiteral("(1, 2)"), square),
             QStringLiteral("String = \"corner\""));
    ENGINE_OK(engine->Stop(1, Variant::missing()));
    ENGINE_REST(*engine);
}

// Paused three calls deep, the calls show innermost first with the lines they stand at;
// choosing a caller shows its line and its own variables.
void TestEngineDebugger::callStackThreeDeep()
{
    auto engine = shownEngine(QStringLiteral("Sub Main\n"             // 1
                                             "  Dim start\n"          // 2
                                             "  start = 5\n"          // 3
                                             "  Outer start\n"        // 4
                                             "End Sub\n"              // 5
                                             "Sub Outer(n)\n"         // 6
                                             "  Dim doubled\n"        // 7
                                             "  doubled = n * 2\n"    // 8
                                             "  Log Inner(doubled)\n" // 9
                                             "End Sub\n"              // 10
                                             "Function Inner(k)\n"    // 11
                                             "  Inner = k + 1\n"      // 12
                                             "End Function\n"));      // 13
    QVERIFY(engine);
    clickGutter(12);
    pressKey(Qt::Key_F5);
    PAUSED_AT(*engine, 12);
    QTRY_COMPARE_WITH_TIMEOUT(
        callStack(),
        (QStringList{QStringLiteral("Inner (line 12)"), QStringLiteral("Outer (line 9)"),
                     QStringLiteral("Main (line 4)")}),
        Patience);
    QTreeWidgetItem* inner = windowPart<QTreeWidget>("Variables")->topLevelItem(0);
    QCOMPARE(inner->text(0), QStringLiteral("Inner"));
    QCOMPARE(shownVariable(QStringLiteral("k"), inner), QStringLiteral("Long = 10"));
    QCOMPARE(shownVariable(QStringLiteral("Inner"), inner), QStringLiteral("Empty = Empty"));

    auto* calls = windowPart<QListWidget>("CallStack");
    calls->setCurrentRow(1);
    QCOMPARE(windowPart<QTreeWidget>("Variables")->topLevelItem(0)->text(0),
             QStringLiteral("Outer"));
    QCOMPARE(shownVariable(QStringLiteral("n")), QStringLiteral("Long = 5"));
    QCOMPARE(shownVariable(QStringLiteral("doubled")), QStringLiteral("Long = 10"));
    QVERIFY(!variable(QStringLiteral("k")));
    QCOMPARE(windowPart<ScriptView>("Text")->textCursor().blockNumber() + 1, 9);
    calls->setCurrentRow(2);
    QCOMPARE(shownVariable(QStringLiteral("start")), QStringLiteral("Long = 5"));
    QCOMPARE(windowPart<ScriptView>("Text")->textCursor().blockNumber() + 1, 4);
    // The pause itself stays marked where the script stands.
    QCOMPARE(windowPart<ScriptView>("Text")->markedLine(), 12);
    ENGINE_OK(engine->Stop(1, Variant::missing()));
    ENGINE_REST(*engine);
}

// Step over runs a call through, step into stops in it, step out runs to the caller's next
// statement; the keys and the buttons do the same.
void TestEngineDebugger::stepsLandWherePersonExpects()
{
    auto engine = shownEngine(QStringLiteral("Sub Main\n"          // 1
                                             "  Dim x\n"           // 2
                                             "  x = Twice(2)\n"    // 3
                                             "  x = Twice(x)\n"    // 4
                                             "  Log x\n"           // 5
                                             "End Sub\n"           // 6
                                             "Function Twice(v)\n" // 7
                                             "  Dim r\n"           // 8
                                             "  r = v * 2\n"       // 9
                                             "  Twice = r\n"       // 10
                                             "End Function\n"));   // 11
    QVERIFY(engine);
    clickGutter(3);
    pressKey(Qt::Key_F5);
    PAUSED_AT(*engine, 3);
    pressKey(Qt::Key_F10);
    PAUSED_AT(*engine, 4);
    pressKey(Qt::Key_F11);
    PAUSED_AT(*engine, 8);
    QTest::mouseClick(windowPart<QPushButton>("Step"), Qt::LeftButton);
    PAUSED_AT(*engine, 9);
    pressKey(Qt::SHIFT | Qt::Key_F11);
    PAUSED_AT(*engine, 5);
    QTRY_COMPARE_WITH_TIMEOUT(shownVariable(QStringLiteral("x")), QStringLiteral("Long = 8"),
                              Patience);
    // Out of the outermost routine the run goes to its end.
    QTest::mouseClick(windowPart<QPushButton>("StepOut"), Qt::LeftButton);
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QCOMPARE(entries(*engine).mid(entries(*engine).size() - 2, 1), QStringList{"8"});

    // Idle, a step starts the run at its first statement; into a call, then over its end.
    QTest::mouseClick(windowPart<QPushButton>("StepInto"), Qt::LeftButton);
    PAUSED_AT(*engine, 2);
    QTRY_VERIFY_WITH_TIMEOUT(windowPart<QPushButton>("StepOut")->isEnabled(), Patience);
    pressKey(Qt::Key_F10);
    PAUSED_AT(*engine, 3);
    pressKey(Qt::Key_F11);
    PAUSED_AT(*engine, 8);
    pressKey(Qt::Key_F10);
    PAUSED_AT(*engine, 9);
    pressKey(Qt::Key_F10);
    PAUSED_AT(*engine, 10);
    pressKey(Qt::Key_F10);
    PAUSED_AT(*engine, 4);
    pressKey(Qt::SHIFT | Qt::Key_F5);
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!windowPart<QPushButton>("StepOut")->isEnabled(), Patience);
}

// Run to the cursor pauses at the cursor's statement once, leaving no breakpoint behind, and
// leaves the person's own breakpoint there alone.
void TestEngineDebugger::runToCursor()
{
    auto engine = shownEngine(QStringLiteral("Sub Main\n"            // 1
                                             "  Dim i\n"             // 2
                                             "  For i = 1 To 3\n"    // 3
                                             "    Log \"at \" & i\n" // 4
                                             "\n"                    // 5
                                             "    Log \"on \" & i\n" // 6
                                             "  Next\n"              // 7
                                             "End Sub\n"));          // 8
    QVERIFY(engine);
    auto* view = windowPart<ScriptView>("Text");
    view->setTextCursor(QTextCursor(view->document()->findBlockByNumber(4)));
    pressKey(Qt::CTRL | Qt::Key_F10);
    PAUSED_AT(*engine, 6);
    QCOMPARE(lastEntry(*engine), QStringLiteral("at 1"));
    QTRY_VERIFY_WITH_TIMEOUT(engine->runner()->breakpoints().lines().isEmpty(), Patience);
    QVERIFY(view->breakpoints().isEmpty());
    // Paused, it runs on to the cursor's line in the next round.
    view->setTextCursor(QTextCursor(view->document()->findBlockByNumber(3)));
    QTest::mouseClick(windowPart<QPushButton>("RunToCursor"), Qt::LeftButton);
    PAUSED_AT(*engine, 4);
    QCOMPARE(lastEntry(*engine), QStringLiteral("on 1"));
    QTRY_VERIFY_WITH_TIMEOUT(engine->runner()->breakpoints().lines().isEmpty(), Patience);

    clickGutter(6);
    view->setTextCursor(QTextCursor(view->document()->findBlockByNumber(5)));
    pressKey(Qt::CTRL | Qt::Key_F10);
    PAUSED_AT(*engine, 6);
    QTRY_COMPARE_WITH_TIMEOUT(view->breakpoints(), QList<int>{6}, Patience);
    QCOMPARE(engine->runner()->breakpoints().lines(), QList<int>{6});
    pressKey(Qt::Key_F5);
    PAUSED_AT(*engine, 6);
    QCOMPARE(lastEntry(*engine), QStringLiteral("at 3"));
    ENGINE_OK(engine->Stop(1, Variant::missing()));
    ENGINE_REST(*engine);
}

// The log keeps its newest entry in view until the person scrolls up, and again once they
// scroll back to the end; a right-click copies the selection or the whole log.
void TestEngineDebugger::logFollowsNewest()
{
    auto engine = shownEngine(QStringLiteral("Sub Main\n  Dim i\n  For i = 1 To 200\n"
                                             "    Log \"entry \" & i\n  Next\nEnd Sub\n"));
    QVERIFY(engine);
    auto* log = windowPart<QPlainTextEdit>("Log");
    QScrollBar* bar = log->verticalScrollBar();
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QTRY_VERIFY_WITH_TIMEOUT(log->toPlainText().endsWith(QLatin1String("End (exit code 0)")),
                             Patience);
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    bar->setValue(bar->maximum() / 2);
    const int reading = bar->value();
    const int lines = log->blockCount();
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QTRY_VERIFY_WITH_TIMEOUT(log->blockCount() > lines + 200, Patience);
    QCOMPARE(bar->value(), reading);

    bar->setValue(bar->maximum());
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QTRY_VERIFY_WITH_TIMEOUT(log->blockCount() > lines + 400, Patience);
    QCOMPARE(bar->value(), bar->maximum());

    const auto copyFromMenu = [log](const char* action) {
        QTimer::singleShot(0, [action] {
            QWidget* menu = QApplication::activePopupWidget();
            if (auto* chosen = menu ? menu->findChild<QAction*>(QLatin1String(action)) : nullptr)
                chosen->trigger();
            if (menu)
                menu->close();
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                                log->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(log->viewport(), &click);
    };
    QApplication::clipboard()->clear();
    copyFromMenu("CopyLog");
    QCOMPARE(QApplication::clipboard()->text(), log->toPlainText());
    QTextCursor selection(log->document()->findBlockByNumber(1));
    selection.select(QTextCursor::LineUnderCursor);
    log->setTextCursor(selection);
    copyFromMenu("CopySelection");
    QCOMPARE(QApplication::clipboard()->text(), selection.selectedText());
    QVERIFY(selection.selectedText().endsWith(QLatin1String("entry 1")));
}

// The title names the script and the engine's state, so that several windows differ.
void TestEngineDebugger::titleNamesScriptAndState()
{
    auto engine = shownEngine(rounds);
    QVERIFY(engine);
    QCOMPARE(debuggerWindow()->windowTitle(), QStringLiteral("Untitled - Idle - VelScript Engine"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("counter.vbs"));
    QVERIFY(write(path, rounds.toUtf8()));
    QCOMPARE(value(engine->Open(path, Variant::missing())), True);
    QCOMPARE(debuggerWindow()->windowTitle(),
             QStringLiteral("counter.vbs - Idle - VelScript Engine"));
    ENGINE_OK(engine->Start(2, Variant::missing()));
    QTRY_COMPARE_WITH_TIMEOUT(debuggerWindow()->windowTitle(),
                              QStringLiteral("counter.vbs - Running - VelScript Engine"), Patience);
    ENGINE_OK(engine->Stop(2, Variant::missing()));
    ENGINE_REST(*engine);
    QTRY_COMPARE_WITH_TIMEOUT(debuggerWindow()->windowTitle(),
                              QStringLiteral("counter.vbs - Paused at line %1 - VelScript Engine")
                                  .arg(value(engine->LineNumber())),
                              Patience);
    ENGINE_OK(engine->Stop(1, Variant::missing()));
    ENGINE_REST(*engine);
    ENGINE_OK(engine->New(Variant::missing()));
    QTRY_COMPARE_WITH_TIMEOUT(debuggerWindow()->windowTitle(),
                              QStringLiteral("Untitled - Idle - VelScript Engine"), Patience);
}

// Keywords, texts, numbers and comments each have their colour, a quote or keyword inside a
// text or comment keeping that one's; Ctrl+F finds text in the script.
void TestEngineDebugger::scriptColoursAndFind()
{
    auto engine = shownEngine(QStringLiteral("Sub Main\n"
                                             "  If x = 12 Then Log \"Then 'x\" ' Then 3\n"
                                             "End Sub\n"));
    QVERIFY(engine);
    auto* view = windowPart<ScriptView>("Text");
    QVERIFY(view->font().fixedPitch() || QFontInfo(view->font()).fixedPitch());
    const ScriptHighlighter& colours = *view->highlighter();
    const QTextBlock line = view->document()->findBlockByNumber(1);
    const auto colourAt = [&line](int column) {
        for (const QTextLayout::FormatRange& range : line.layout()->formats()) {
            if (column >= range.start && column < range.start + range.length)
                return range.format.foreground().color();
        }
        return QColor();
    };
    const QString text = line.text();
    QCOMPARE(colourAt(int(text.indexOf(QLatin1String("If")))),
             colours.keywordFormat().foreground().color());
    QCOMPARE(colourAt(int(text.indexOf(QLatin1String("12")))),
             colours.numberFormat().foreground().color());
    QCOMPARE(colourAt(int(text.indexOf(QLatin1String("Then 'x")))),
             colours.textFormat().foreground().color());
    QCOMPARE(colourAt(int(text.indexOf(QLatin1String("' Then 3")) + 2)),
             colours.commentFormat().foreground().color());
    QCOMPARE(colourAt(int(text.indexOf(QLatin1String("x =")))), QColor());

    auto* find = windowPart<QLineEdit>("Find");
    QVERIFY(find && !find->isVisible());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(find->isVisible());
    QTest::keyClicks(find, QStringLiteral("log"));
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(view->textCursor().selectedText(), QStringLiteral("Log"));
    QCOMPARE(view->textCursor().blockNumber(), 1);
}

// Reading a paused script's variables from one thread while another stops it: every read either
// answers or is refused, and the script ends.
void TestEngineDebugger::readingWhileStopped()
{
    auto engine = createdEngine(QStringLiteral("Dim items(50)\n"
                                               "Sub Main\n"
                                               "  Dim i, s\n"
                                               "  For i = 0 To 50\n"
                                               "    items(i) = \"item \" & i\n"
                                               "    s = s & i\n"
                                               "  Next\n"
                                               "End Sub\n"));
    QVERIFY(engine);
    ScriptRunner& runner = *engine->runner();
    for (int round = 0; round < 20; ++round) {
        runner.breakpoints().set(6, true);
        ENGINE_OK(engine->Start(1, Variant::missing()));
        ENGINE_REST(*engine);
        QCOMPARE(value(engine->State()), 2);
        std::atomic<bool> reading{true};
        std::atomic<int> answered{0};
        std::thread reader([&] {
            while (reading) {
                auto texts = std::make_shared<QStringList>();
                const auto read = runner.inspect([texts](const lang::Interpreter& script) {
                    for (const auto& view : lang::inspect(script, {lang::ModuleScope, {0}}, 0, 51))
                        texts->append(view.text);
                    for (const auto& view : lang::inspect(script, {0, {}}, 0, 10))
                        texts->append(view.text);
                });
                if (read && texts->size() == 51 + 2)
                    ++answered;
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(answered > 0, Patience);
        ENGINE_OK(engine->Stop(1, Variant::missing()));
        ENGINE_REST(*engine);
        reading = false;
        reader.join();
        QCOMPARE(value(engine->State()), 0);
        QCOMPARE(lastEntry(*engine), QStringLiteral("Stopped at line 6"));
        QVERIFY(!runner.inspect([](const lang::Interpreter&) {}));
    }
    QCOMPARE(runner.transitionFaults(), 0);
}

VELSCRIPT_TEST_MAIN(TestEngineDebugger)
#include "tst_engine_debugger.moc"
