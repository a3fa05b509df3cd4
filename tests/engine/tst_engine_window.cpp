// The engine's own window: showing and hiding it, its native id, its parts and their enabled
// state, the script text with the current line marked, the log, and its buttons.

#include "engine_test_support.h"
#include "support/test_program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

using namespace velscript;
using namespace velscript::engine;
using namespace velscript::engine::test;

namespace {

QWidget* engineWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("VelScriptEngineWindow"))
            return widget;
    }
    return nullptr;
}

template <class T> T* part(const char* name)
{
    QWidget* window = engineWindow();
    return window ? window->findChild<T*>(QLatin1String(name)) : nullptr;
}

// The line the text view marks, or 0.
int markedLine()
{
    auto* text = part<QPlainTextEdit>("Text");
    if (!text || text->extraSelections().isEmpty())
        return 0;
    return text->extraSelections().first().cursor.block().blockNumber() + 1;
}

const QString oneLogScript = QStringLiteral("Dim a\n"         // 1
                                            "Sub Main\n"      // 2
                                            "  a = 1\n"       // 3
                                            "  Log \"one\"\n" // 4
                                            "End Sub\n");     // 5

} // namespace

class TestEngineWindow : public QObject {
    Q_OBJECT

private slots:
    void showAndHide();
    void guiEnabled_data();
    void guiEnabled();
    void unknownPart();
    void showsTextLineAndLog();
    void keepsUpWithLoggingScript();
    void buttonsActOnEngine();
    void goesWithEngine();
};

// Show, Hide and Visible act on the window; its native id fits the interface's integer.
void TestEngineWindow::showAndHide()
{
    auto engine = createdEngine(oneLogScript);
    QVERIFY(engine);
    QCOMPARE(value(engine->Visible()), False);
    ENGINE_OK(engine->Show(Variant::missing()));
    QCOMPARE(value(engine->Visible()), True);
    QVERIFY(engineWindow());
    QVERIFY(engineWindow()->isVisible());
    const qint32 id = value(engine->hWnd());
    QVERIFY(id != 0);
    QCOMPARE(id, qint32(quint32(engineWindow()->winId())));
    ENGINE_OK(engine->Hide(Variant::missing()));
    QCOMPARE(value(engine->Visible()), False);
    ENGINE_OK(engine->Visible(True));
    QCOMPARE(value(engine->Visible()), True);
    ENGINE_OK(engine->Visible(False));
    QVERIFY(!engineWindow()->isVisible());
    QCOMPARE(value(engine->hWnd()), id); // the same window throughout
}

void TestEngineWindow::guiEnabled_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("objectName");
    for (const char* name : {"Start", "Stop", "Step", "Text", "Log"}) {
        const QString exact = QString::fromLatin1(name);
        QTest::addRow("%s", name) << exact << exact;
        QTest::addRow("%s, upper case", name) << exact.toUpper() << exact;
        QTest::addRow("%s, lower case", name) << exact.toLower() << exact;
    }
}

// Each part's enabled state can be read and written by its name in any case.
void TestEngineWindow::guiEnabled()
{
    QFETCH(QString, name);
    QFETCH(QString, objectName);

    auto engine = createdEngine();
    QVERIFY(engine);
    QCOMPARE(value(engine->GUIEnabled(name)), True);
    ENGINE_OK(engine->GUIEnabled(name, False));
    QCOMPARE(value(engine->GUIEnabled(name)), False);
    QWidget* widget = engineWindow()->findChild<QWidget*>(objectName);
    QVERIFY(widget);
    QVERIFY(!widget->isEnabled());
    // The other parts are untouched.
    for (const char* other : {"Start", "Stop", "Step", "Text", "Log"}) {
        if (objectName != QLatin1String(other))
            QCOMPARE(value(engine->GUIEnabled(QString::fromLatin1(other))), True);
    }
    ENGINE_OK(engine->GUIEnabled(name, True));
    QVERIFY(widget->isEnabled());
}

void TestEngineWindow::unknownPart()
{
    auto engine = createdEngine();
    QVERIFY(engine);
    for (const char* name : {"", "Start ", "Window", "Status"}) {
        const auto read = engine->GUIEnabled(QString::fromLatin1(name));
        QVERIFY(!read);
        QVERIFY2(read.error().contains(QLatin1String("has no part")), qPrintable(read.error()));
        ENGINE_FAILS(engine->GUIEnabled(QString::fromLatin1(name), False));
    }
    ReferenceEngine notCreated;
    ENGINE_FAILS(notCreated.Show(Variant::missing()));
    ENGINE_FAILS(notCreated.hWnd());
}

// The window shows the engine's text, marks the line a paused script stands at and shows the log.
void TestEngineWindow::showsTextLineAndLog()
{
    auto engine = createdEngine(oneLogScript);
    QVERIFY(engine);
    ENGINE_OK(engine->Show(Variant::missing()));
    auto* text = part<QPlainTextEdit>("Text");
    auto* log = part<QPlainTextEdit>("Log");
    QVERIFY(text && log);
    QCOMPARE(text->toPlainText(), oneLogScript);
    QCOMPARE(markedLine(), 0);

    ENGINE_OK(engine->Start(3, Variant::missing()));
    ENGINE_REST(*engine);
    ENGINE_OK(engine->Start(3, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->LineNumber()), 3);
    QTRY_COMPARE_WITH_TIMEOUT(markedLine(), 3, Patience);
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QTRY_COMPARE_WITH_TIMEOUT(markedLine(), 0, Patience);
    QTRY_VERIFY_WITH_TIMEOUT(log->toPlainText().endsWith(QLatin1String("End (exit code 0)")),
                             Patience);
    QVERIFY(log->toPlainText().contains(QLatin1String(" one\n")));

    ENGINE_OK(engine->Text(QStringLiteral("Sub Main\nEnd Sub\n")));
    QCOMPARE(text->toPlainText(), QStringLiteral("Sub Main\nEnd Sub\n"));
    ENGINE_OK(engine->ClearLog());
    QTRY_COMPARE_WITH_TIMEOUT(log->toPlainText(), QString(), Patience);
}

// A script that logs in a tight loop does not bury the window's thread under its entries: the
// window catches up at once when the script stops and shows what the log holds.
void TestEngineWindow::keepsUpWithLoggingScript()
{
    auto engine = createdEngine(QStringLiteral("Sub Main\n  Do\n    Log \"entry\"\n  Loop\n"
                                               "End Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->Show(Variant::missing()));
    auto* log = part<QPlainTextEdit>("Log");
    QVERIFY(log);
    ENGINE_OK(engine->Start(5, Variant::missing()));
    QTest::qWait(2000);
    ENGINE_OK(engine->Stop(1, Variant::missing()));
    ENGINE_REST(*engine);
    const QString held = value(engine->Log()).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QElapsedTimer catchingUp;
    catchingUp.start();
    QTRY_VERIFY_WITH_TIMEOUT(log->toPlainText().endsWith(lastEntry(*engine)), Patience);
    QVERIFY2(catchingUp.elapsed() < 5000, qPrintable(QString::number(catchingUp.elapsed())));
    QCOMPARE(log->toPlainText(), held);
}

// Start, Step and Stop in the window act on its engine.
void TestEngineWindow::buttonsActOnEngine()
{
    auto engine = createdEngine(oneLogScript);
    QVERIFY(engine);
    ENGINE_OK(engine->Show(Variant::missing()));
    auto* start = part<QPushButton>("Start");
    auto* stop = part<QPushButton>("Stop");
    auto* step = part<QPushButton>("Step");
    QVERIFY(start && stop && step);

    QTest::mouseClick(step, Qt::LeftButton);
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 2);
    QCOMPARE(value(engine->LineNumber()), 1);
    QTest::mouseClick(step, Qt::LeftButton);
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->LineNumber()), 3);
    QTest::mouseClick(stop, Qt::LeftButton);
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QVERIFY(value(engine->ExitCode()).isEmpty());

    QTest::mouseClick(start, Qt::LeftButton);
    ENGINE_REST(*engine);
    QCOMPARE(value(engine->State()), 0);
    QCOMPARE(value(engine->ExitCode()), Variant(qint32(0)));

    // A refusal shows in the window's status line.
    ENGINE_OK(engine->Text(QStringLiteral("Sub Main\n  If\nEnd Sub\n")));
    QTest::mouseClick(start, Qt::LeftButton);
    auto* status = part<QLabel>("Status");
    QVERIFY(status);
    QVERIFY2(status->text().startsWith(QLatin1String("Syntax error")), qPrintable(status->text()));
}

// The window goes with its engine, also while its script runs.
void TestEngineWindow::goesWithEngine()
{
    auto engine = createdEngine(QStringLiteral("Sub Main\n  Do\n  Loop\nEnd Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->Show(Variant::missing()));
    QPointer<QWidget> window = engineWindow();
    QVERIFY(window);
    ENGINE_OK(engine->Start(2, Variant::missing()));
    QCOMPARE(value(engine->State()), 1);
    engine.reset();
    QVERIFY(window.isNull());
    QCoreApplication::processEvents(); // what the script's thread posted finds no window
}

VELSCRIPT_TEST_MAIN(TestEngineWindow)
#include "tst_engine_window.moc"
