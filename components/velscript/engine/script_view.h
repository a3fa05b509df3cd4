#pragma once

#include <QList>
#include <QPlainTextEdit>

namespace velscript::engine {

class ScriptHighlighter;

// The script as a debugger shows it: line numbers and breakpoints in a gutter, a fixed-width
// font, the dialect's colours, and the line the script stands at marked and kept in view.
class ScriptView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ScriptView(QWidget* parent = nullptr);

    // 0 clears the mark; `paused` picks the colour of a pause over that of a running script.
    void markLine(int line, bool paused);
    int markedLine() const { return m_marked; }
    void setBreakpoints(const QList<int>& lines);
    const QList<int>& breakpoints() const { return m_breakpoints; }
    // Where a click on `line` of the gutter lands, for a test to press there.
    QPoint gutterPoint(int line) const;
    QWidget* gutter() const { return m_gutter; }
    ScriptHighlighter* highlighter() const { return m_highlighter; }

signals:
    // A click in the gutter, or F9, on that line.
    void breakpointToggled(int line);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class ScriptGutter;
    int gutterWidth() const;
    void paintGutter(QPaintEvent* event);
    void showMarks();

    QWidget* m_gutter;
    ScriptHighlighter* m_highlighter;
    QList<int> m_breakpoints;
    int m_marked = 0;
    bool m_markPaused = false;
};

} // namespace velscript::engine
