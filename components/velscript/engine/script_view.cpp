#include "engine/script_view.h"

#include "engine/script_highlighter.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QTextBlock>

namespace velscript::engine {

namespace {

const QColor pausedColour(255, 230, 120);
const QColor runningColour(200, 225, 255);
const QColor breakpointColour(200, 40, 40);
const QColor breakpointLineColour(255, 215, 215);

} // namespace

class ScriptGutter : public QWidget {
public:
    explicit ScriptGutter(ScriptView* view) : QWidget(view), m_view(view)
    {
        setObjectName(QStringLiteral("Gutter"));
        setCursor(Qt::PointingHandCursor);
    }
    QSize sizeHint() const override { return {m_view->gutterWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { m_view->paintGutter(event); }
    void mousePressEvent(QMouseEvent* event) override
    {
        const QTextCursor at = m_view->cursorForPosition(QPoint(0, int(event->position().y())));
        emit m_view->breakpointToggled(at.blockNumber() + 1);
    }

private:
    ScriptView* m_view;
};

ScriptView::ScriptView(QWidget* parent)
    : QPlainTextEdit(parent), m_gutter(new ScriptGutter(this)),
      m_highlighter(new ScriptHighlighter(document()))
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(this, &QPlainTextEdit::blockCountChanged, this,
            [this] { setViewportMargins(gutterWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy)
            m_gutter->scroll(0, dy);
        else
            m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
    });
    setViewportMargins(gutterWidth(), 0, 0, 0);
}

int ScriptView::gutterWidth() const
{
    const int digits = int(QString::number(std::max(1, blockCount())).size());
    return fontMetrics().horizontalAdvance(u'9') * (digits + 1) + fontMetrics().height() + 6;
}

void ScriptView::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect inside = contentsRect();
    m_gutter->setGeometry(inside.left(), inside.top(), gutterWidth(), inside.height());
}

void ScriptView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F9 && event->modifiers() == Qt::NoModifier) {
        emit breakpointToggled(textCursor().blockNumber() + 1);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QPoint ScriptView::gutterPoint(int line) const
{
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
    return {m_gutter->width() / 2, int(box.center().y())};
}

void ScriptView::paintGutter(QPaintEvent* event)
{
    QPainter painter(m_gutter);
    painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
    const int dot = fontMetrics().height() - 4;
    QTextBlock block = firstVisibleBlock();
    int top = int(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = int(blockBoundingRect(block).height());
        const int line = block.blockNumber() + 1;
        if (block.isVisible() && top + height >= event->rect().top()) {
            if (m_breakpoints.contains(line)) {
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setBrush(breakpointColour);
                painter.setPen(Qt::NoPen);
                painter.drawEllipse(3, top + (height - dot) / 2, dot, dot);
            }
            painter.setPen(line == m_marked ? palette().color(QPalette::Text)
                                            : palette().color(QPalette::PlaceholderText));
            painter.drawText(0, top, m_gutter->width() - 4, height, Qt::AlignRight,
                             QString::number(line));
        }
        top += height;
        block = block.next();
    }
}

void ScriptView::markLine(int line, bool paused)
{
    const bool moved = line != m_marked;
    m_marked = line;
    m_markPaused = paused;
    showMarks();
    if (line > 0 && moved) {
        // Scrolls the line into view without taking the person's selection for a find.
        QTextCursor at(document()->findBlockByNumber(line - 1));
        setTextCursor(at);
        centerCursor();
    }
    m_gutter->update();
}

void ScriptView::setBreakpoints(const QList<int>& lines)
{
    m_breakpoints = lines;
    showMarks();
    m_gutter->update();
}

void ScriptView::showMarks()
{
    QList<QTextEdit::ExtraSelection> marks;
    // The line the script stands at comes first, over a breakpoint's own colour.
    if (m_marked > 0) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(document()->findBlockByNumber(m_marked - 1));
        mark.format.setBackground(m_markPaused ? pausedColour : runningColour);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    for (const int line : m_breakpoints) {
        if (line == m_marked)
            continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(document()->findBlockByNumber(line - 1));
        mark.format.setBackground(breakpointLineColour);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    setExtraSelections(marks);
}

} // namespace velscript::engine

#include "moc_script_view.cpp"
