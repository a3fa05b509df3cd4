#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace velscript::engine {

class ReferenceEngine;

// The engine's own window: the script text with the current line marked, the log, and buttons
// that start, stop and step this engine.
class EngineWindow : public QWidget {
    Q_OBJECT
public:
    explicit EngineWindow(ReferenceEngine& engine);

    // The part named "Start", "Stop", "Step", "Text" or "Log" (any case), or nullptr.
    QWidget* part(const QString& name) const;
    static QString unknownPart(const QString& name);

private:
    void showText();
    void showNewEntries();
    void showState();
    void press(const char* what);

    ReferenceEngine& m_engine;
    QPlainTextEdit* m_text;
    QPlainTextEdit* m_log;
    QPushButton* m_start;
    QPushButton* m_stop;
    QPushButton* m_step;
    QLabel* m_status;
    QTimer* m_follow;  // follows the line of a script that runs freely
    qint64 m_seen = 0; // the log's entries shown so far, counted as EngineLog::takeNew counts
};

} // namespace velscript::engine
