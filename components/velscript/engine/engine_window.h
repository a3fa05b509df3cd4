#pragma once

#include "lang/inspection.h"

#include <QWidget>

#include <expected>

#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace velscript::engine {

class LogView;
class ReferenceEngine;
class ScriptRunner;
class ScriptView;
class VariablesTree;

// The engine's own window, a script debugger: the script with line numbers, breakpoints and the
// current line marked, the paused script's calls and variables, the log, and buttons and keys
// that start, stop and step this engine.
class EngineWindow : public QWidget {
    Q_OBJECT
public:
    explicit EngineWindow(ReferenceEngine& engine);

    // The part named "Start", "Stop", "Step", "Text" or "Log" (any case), or nullptr.
    QWidget* part(const QString& name) const;
    static QString unknownPart(const QString& name);

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum class Action { Start, Stop, StepOver, StepInto, StepOut, RunToCursor };

    QPushButton* button(const QString& name, const QString& text, const QString& tip,
                        const QKeySequence& key, Action action);
    void showText();
    void showNewEntries();
    void showState();
    void showTitle(int state, int line);
    void showPause();
    void showCall(int row);
    void toggleBreakpoint(int line);
    void showBreakpoints();
    std::expected<void, QString> runToCursor(ScriptRunner& runner, bool paused);
    void findNext();
    void press(Action action);
    std::optional<std::vector<lang::VariableView>> read(const lang::VariablePath& path,
                                                        qint64 first, qint64 count);

    ReferenceEngine& m_engine;
    ScriptView* m_text;
    LogView* m_log;
    QPushButton* m_start;
    QPushButton* m_stop;
    QPushButton* m_step; // over
    QPushButton* m_stepInto;
    QPushButton* m_stepOut;
    QPushButton* m_runToCursor;
    QLabel* m_status;
    QLineEdit* m_find;
    QListWidget* m_calls;
    VariablesTree* m_variables;
    QTimer* m_follow;      // follows the line of a script that runs freely
    qint64 m_seen = 0;     // the log's entries shown so far, counted as EngineLog::takeNew counts
    int m_shownPause = -1; // the pause the calls and variables show, as the runner counts them
    std::vector<lang::CallView> m_stack;
    int m_runTo = 0; // the breakpoint a run to the cursor set, taken away at the next rest
};

} // namespace velscript::engine
