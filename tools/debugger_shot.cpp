// Pictures the engine's window as a debugger: examples/stock.vbs opened, a breakpoint set in the
// gutter, the script paused there two calls deep, and the variables tree open on an instance.
// It drives the real window over the built-in engine.
// Usage: debugger_shot OUTPUT.png   (run it under a display: tools/screenshot.sh --driver)
#include "engine/reference_engine.h"
#include "engine/script_view.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

using namespace velscript;

namespace {

// The line of the example the breakpoint goes on.
int lineOf(const QString& text, const QString& wanted)
{
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].trimmed() == wanted)
            return i + 1;
    return 0;
}

QTreeWidgetItem* child(QTreeWidgetItem* parent, const QString& name)
{
    for (int i = 0; parent && i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == name)
            return parent->child(i);
    return nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "Usage: debugger_shot OUTPUT.png\n");
        return 2;
    }
    const QString script = QDir(QStringLiteral(VELSCRIPT_EXAMPLES)).filePath("stock.vbs");
    const QString output = QString::fromLocal8Bit(argv[1]);

    engine::ReferenceEngine engine;
    if (!engine.Create(Variant::missing()) || !isTrue(engine.Open(script, {}).value_or(False)) ||
        !engine.Show(Variant::missing())) {
        std::fprintf(stderr, "cannot open %s in the engine\n", qPrintable(script));
        return 1;
    }
    QWidget* window = nullptr;
    for (QWidget* shown : QApplication::topLevelWidgets())
        if (shown->objectName() == QLatin1String("VelScriptEngineWindow"))
            window = shown;
    auto* view = window ? window->findChild<engine::ScriptView*>(QStringLiteral("Text")) : nullptr;
    const int line =
        lineOf(engine.Text().value_or(QString()), QStringLiteral("total = total + entry.Value"));
    if (!view || line == 0) {
        std::fprintf(stderr, "the breakpoint's line is not in the script\n");
        return 1;
    }
    window->setGeometry(0, 0, 1100, 720);
    // A click in the gutter, as a person sets the breakpoint.
    emit view->breakpointToggled(line);

    // The third round of the loop: the breakpoint passed twice.
    int status = 0;
    for (int round = 0; round < 3 && status == 0; ++round) {
        if (!engine.Start(1, Variant::missing()) ||
            !isTrue(engine.Wait(10000, Variant::missing()).value_or(False)) ||
            engine.State().value_or(0) != 2) {
            std::fprintf(stderr, "the script did not pause at the breakpoint\n");
            return 1;
        }
        QApplication::processEvents();
    }

    QTimer::singleShot(500, [&] {
        auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("Variables"));
        QTreeWidgetItem* locals = tree ? tree->topLevelItem(0) : nullptr;
        if (QTreeWidgetItem* entry = child(locals, QStringLiteral("entry")))
            entry->setExpanded(true);
        if (QTreeWidgetItem* shelf =
                child(tree ? tree->topLevelItem(1) : nullptr, QStringLiteral("shelf")))
            shelf->setExpanded(true);
        QTimer::singleShot(500, [&] {
            if (!window->grab().save(output)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
                status = 1;
            }
            static_cast<void>(engine.Stop(1, Variant::missing()));
            static_cast<void>(engine.Wait(10000, Variant::missing()));
            QApplication::quit();
        });
    });
    QApplication::exec();
    return status;
}
