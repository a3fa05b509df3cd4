#include "engine/log_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>

namespace velscript::engine {

LogView::LogView(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
}

bool LogView::following() const
{
    const QScrollBar* bar = verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void LogView::appendEntries(const QString& entries)
{
    const bool follow = following();
    const int kept = verticalScrollBar()->value();
    appendPlainText(entries);
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(follow ? bar->maximum() : std::min(kept, bar->maximum()));
}

void LogView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("Copy"), this, [this] { this->copy(); });
    copy->setObjectName(QStringLiteral("CopySelection"));
    copy->setEnabled(textCursor().hasSelection());
    QAction* all = menu.addAction(QStringLiteral("Copy Whole Log"), this,
                                  [this] { QApplication::clipboard()->setText(toPlainText()); });
    all->setObjectName(QStringLiteral("CopyLog"));
    menu.exec(event->globalPos());
}

} // namespace velscript::engine
