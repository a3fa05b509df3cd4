#include "engine/engine_window.h"

#include "engine/log_view.h"
#include "engine/reference_engine.h"
#include "engine/script_runner.h"
#include "engine/script_view.h"
#include "engine/variables_tree.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTimer>

namespace velscript::engine {

namespace {

constexpr int FollowIntervalMs = 200;

} // namespace

EngineWindow::EngineWindow(ReferenceEngine& engine)
    : m_engine(engine), m_text(new ScriptView), m_log(new LogView), m_status(new QLabel),
      m_find(new QLineEdit), m_calls(new QListWidget),
      m_variables(new VariablesTree([this](const lang::VariablePath& path, qint64 first,
                                           qint64 count) { return read(path, first, count); })),
      m_follow(new QTimer(this))
{
    setObjectName(QStringLiteral("VelScriptEngineWindow"));
    m_text->setObjectName(QStringLiteral("Text"));
    m_log->setObjectName(QStringLiteral("Log"));
    m_status->setObjectName(QStringLiteral("Status"));
    m_find->setObjectName(QStringLiteral("Find"));
    m_calls->setObjectName(QStringLiteral("CallStack"));
    m_text->setReadOnly(true);
    m_log->setMaximumBlockCount(int(EngineLog::MaxEntries));
    m_find->setPlaceholderText(QStringLiteral("Find (Enter for the next)"));
    m_find->setClearButtonEnabled(true);
    m_find->hide();

    m_start = button(QStringLiteral("Start"), QStringLiteral("Start"),
                     QStringLiteral("Start, or continue a paused script (F5)"), Qt::Key_F5,
                     Action::Start);
    m_stop =
        button(QStringLiteral("Stop"), QStringLiteral("Stop"),
               QStringLiteral("Stop the script (Shift+F5)"), Qt::SHIFT | Qt::Key_F5, Action::Stop);
    m_step = button(QStringLiteral("Step"), QStringLiteral("Step"),
                    QStringLiteral("Step to the next statement of this routine, over calls (F10)"),
                    Qt::Key_F10, Action::StepOver);
    m_stepInto = button(QStringLiteral("StepInto"), QStringLiteral("Step Into"),
                        QStringLiteral("Step to the next statement, into calls (F11)"), Qt::Key_F11,
                        Action::StepInto);
    m_stepOut = button(QStringLiteral("StepOut"), QStringLiteral("Step Out"),
                       QStringLiteral("Run until this routine returns (Shift+F11)"),
                       Qt::SHIFT | Qt::Key_F11, Action::StepOut);
    m_runToCursor = button(QStringLiteral("RunToCursor"), QStringLiteral("Run to Cursor"),
                           QStringLiteral("Run until the script reaches the cursor's line "
                                          "(Ctrl+F10)"),
                           Qt::CTRL | Qt::Key_F10, Action::RunToCursor);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* each : {m_start, m_stop, m_step, m_stepInto, m_stepOut, m_runToCursor})
        buttons->addWidget(each);
    buttons->addWidget(m_status, 1);

    auto* script = new QWidget;
    auto* scriptLayout = new QVBoxLayout(script);
    scriptLayout->setContentsMargins(0, 0, 0, 0);
    scriptLayout->addWidget(m_text);
    scriptLayout->addWidget(m_find);
    auto* debug = new QSplitter(Qt::Vertical);
    debug->addWidget(m_calls);
    debug->addWidget(m_variables);
    debug->setStretchFactor(1, 3);
    debug->setSizes({150, 450});
    auto* top = new QSplitter(Qt::Horizontal);
    top->addWidget(script);
    top->addWidget(debug);
    top->setStretchFactor(0, 3);
    top->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(top);
    split->addWidget(m_log);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(split);
    resize(960, 640);

    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        m_find->show();
        m_find->setFocus();
        m_find->selectAll();
    });
    connect(m_find, &QLineEdit::returnPressed, this, &EngineWindow::findNext);
    connect(m_text, &ScriptView::breakpointToggled, this, &EngineWindow::toggleBreakpoint);
    connect(m_calls, &QListWidget::currentRowChanged, this, &EngineWindow::showCall);
    connect(&engine, &ReferenceEngine::textChanged, this, &EngineWindow::showText);
    // The script's thread reports its changes; they are shown on this one.
    connect(&engine, &ReferenceEngine::scriptStateChanged, this, &EngineWindow::showState,
            Qt::QueuedConnection);
    connect(&engine.log(), &EngineLog::appended, this, &EngineWindow::showNewEntries,
            Qt::QueuedConnection);
    connect(
        &engine.log(), &EngineLog::cleared, this,
        [this] {
            m_log->clear();
            m_seen = 0;
            showNewEntries();
        },
        Qt::QueuedConnection);
    connect(m_follow, &QTimer::timeout, this, &EngineWindow::showState);
    m_follow->setInterval(FollowIntervalMs);

    showNewEntries();
    showText();
}

QPushButton* EngineWindow::button(const QString& name, const QString& text, const QString& tip,
                                  const QKeySequence& key, Action action)
{
    auto* made = new QPushButton(text);
    made->setObjectName(name);
    made->setToolTip(tip);
    // The keys work wherever the focus is in the window, as the buttons' own shortcuts would
    // not while a button is disabled.
    auto* shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, this, [this, action] { press(action); });
    connect(made, &QPushButton::clicked, this, [this, action] { press(action); });
    return made;
}

QWidget* EngineWindow::part(const QString& name) const
{
    for (QWidget* widget : {static_cast<QWidget*>(m_start), static_cast<QWidget*>(m_stop),
                            static_cast<QWidget*>(m_step), static_cast<QWidget*>(m_text),
                            static_cast<QWidget*>(m_log)}) {
        if (widget->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return widget;
    }
    return nullptr;
}

QString EngineWindow::unknownPart(const QString& name)
{
    return QStringLiteral("The engine's window has no part '%1': the parts are Start, Stop, Step, "
                          "Text and Log.")
        .arg(name);
}

void EngineWindow::showText()
{
    const auto text = m_engine.Text();
    m_text->setPlainText(text ? *text : QString());
    m_text->setBreakpoints({});
    m_runTo = 0;
    m_variables->setScriptText(m_text->toPlainText());
    m_shownPause = -1;
    showState();
}

void EngineWindow::showNewEntries()
{
    const QStringList entries = m_engine.log().takeNew(m_seen);
    if (!entries.isEmpty())
        m_log->appendEntries(entries.join(QLatin1Char('\n')));
}

void EngineWindow::showState()
{
    const int state = m_engine.scriptState();
    const auto line = m_engine.LineNumber();
    const int at = line ? *line : 0;
    m_text->markLine(state != 0 ? at : 0, state == 2);
    static const char* const names[] = {"Idle", "Running", "Paused"};
    m_status->setText(at > 0 && state != 0
                          ? QStringLiteral("%1 at line %2").arg(QLatin1String(names[state])).arg(at)
                          : QLatin1String(names[state]));
    showTitle(state, at);
    m_stepOut->setEnabled(state == 2);
    if (m_runTo > 0 && state != 1) {
        if (ScriptRunner* runner = m_engine.runner())
            runner->breakpoints().set(std::exchange(m_runTo, 0), false);
        showBreakpoints();
    }
    if (state == 1 && isVisible())
        m_follow->start();
    else
        m_follow->stop();

    // A hidden window does not ask a paused script for its calls and variables.
    if (state == 2 && isVisible()) {
        showPause();
    } else if (m_shownPause != -1) {
        m_shownPause = -1;
        m_stack.clear();
        m_calls->clear();
        m_variables->showNothing(state == 1 ? QStringLiteral("(running)") : QString());
    }
}

void EngineWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_shownPause = -1;
    showState();
}

void EngineWindow::showTitle(int state, int line)
{
    const QString path = m_engine.fileName();
    const QString script = path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
    QString where = state == 0   ? QStringLiteral("Idle")
                    : state == 1 ? QStringLiteral("Running")
                                 : QStringLiteral("Paused at line %1").arg(line);
    setWindowTitle(QStringLiteral("%1 - %2 - VelScript Engine").arg(script, where));
}

void EngineWindow::showPause()
{
    ScriptRunner* runner = m_engine.runner();
    const int pause = runner ? runner->pauses() : -1;
    if (!runner || pause == m_shownPause)
        return;
    auto stack = std::make_shared<std::vector<lang::CallView>>();
    if (!runner->inspect([stack](const lang::Interpreter& interpreter) {
            *stack = lang::callStack(interpreter);
        }))
        return;
    m_shownPause = pause;
    m_stack = *stack;
    const QSignalBlocker quiet(m_calls);
    m_calls->clear();
    for (const lang::CallView& call : m_stack)
        m_calls->addItem(QStringLiteral("%1 (line %2)").arg(call.routine).arg(call.line));
    m_calls->setCurrentRow(0);
    showCall(0);
}

void EngineWindow::showCall(int row)
{
    if (row < 0 || size_t(row) >= m_stack.size())
        return;
    // The innermost entry at module level is the module itself: it has no variables of its own.
    const bool module = m_stack.size() == 1 && m_stack[0].routine == QLatin1String("Module");
    m_variables->showScope(module ? lang::ModuleScope : row, m_stack[size_t(row)].routine);
    if (row > 0) {
        QTextCursor at(m_text->document()->findBlockByNumber(m_stack[size_t(row)].line - 1));
        at.select(QTextCursor::LineUnderCursor);
        m_text->setTextCursor(at);
        m_text->centerCursor();
    } else {
        m_text->markLine(m_text->markedLine(), true);
    }
}

void EngineWindow::toggleBreakpoint(int line)
{
    if (ScriptRunner* runner = m_engine.runner()) {
        const int toggled = runner->breakpoints().toggle(line);
        // The person's own breakpoint on the line a run to the cursor aims at stays.
        if (toggled == m_runTo)
            m_runTo = 0;
        showBreakpoints();
    }
}

void EngineWindow::showBreakpoints()
{
    QList<int> lines;
    if (ScriptRunner* runner = m_engine.runner())
        lines = runner->breakpoints().lines();
    lines.removeOne(m_runTo);
    m_text->setBreakpoints(lines);
}

std::expected<void, QString> EngineWindow::runToCursor(ScriptRunner& runner, bool paused)
{
    Breakpoints& breakpoints = runner.breakpoints();
    const QList<int> before = breakpoints.lines();
    const int target = breakpoints.set(m_text->textCursor().blockNumber() + 1, true);
    if (target == 0)
        return std::unexpected(QStringLiteral("No statement follows the cursor."));
    if (!before.contains(target))
        m_runTo = target;
    auto run = paused ? runner.resume() : m_engine.Start(1, Variant::missing());
    if (!run && m_runTo > 0)
        breakpoints.set(std::exchange(m_runTo, 0), false);
    return run;
}

void EngineWindow::findNext()
{
    const QString wanted = m_find->text();
    if (wanted.isEmpty())
        return;
    // From the cursor on, then once more from the top.
    if (!m_text->find(wanted)) {
        m_text->moveCursor(QTextCursor::Start);
        m_text->find(wanted);
    }
}

void EngineWindow::press(Action action)
{
    ScriptRunner* runner = m_engine.runner();
    const bool paused = m_engine.scriptState() == 2;
    std::expected<void, QString> outcome;
    if (!runner) {
        outcome = std::unexpected(QStringLiteral("The engine is not created."));
    } else if (action == Action::Start) {
        outcome = paused ? runner->resume() : m_engine.Start(1, Variant::missing());
    } else if (action == Action::RunToCursor) {
        outcome = runToCursor(*runner, paused);
    } else if (action == Action::Stop) {
        outcome = m_engine.Stop(0, Variant::missing());
    } else if (!paused && action != Action::StepOut) {
        outcome = m_engine.Start(3, Variant::missing());
    } else {
        outcome = runner->step(action == Action::StepOver   ? ScriptRunner::Step::Over
                               : action == Action::StepInto ? ScriptRunner::Step::Into
                                                            : ScriptRunner::Step::Out);
    }
    if (!outcome)
        m_status->setText(outcome.error());
    else
        showState();
}

std::optional<std::vector<lang::VariableView>> EngineWindow::read(const lang::VariablePath& path,
                                                                  qint64 first, qint64 count)
{
    ScriptRunner* runner = m_engine.runner();
    if (!runner)
        return std::nullopt;
    auto views = std::make_shared<std::vector<lang::VariableView>>();
    if (!runner->inspect([views, path, first, count](const lang::Interpreter& interpreter) {
            *views = lang::inspect(interpreter, path, first, count);
        }))
        return std::nullopt;
    return *views;
}

} // namespace velscript::engine

#include "moc_engine_window.cpp" // compiled here, with the precompiled Qt headers of this file
