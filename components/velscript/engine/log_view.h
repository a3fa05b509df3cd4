#pragma once

#include <QPlainTextEdit>

namespace velscript::engine {

// The engine's log as the window shows it: it follows the newest entry unless the person has
// scrolled up to read, and a right-click copies the selection or the whole log.
class LogView : public QPlainTextEdit {
public:
    explicit LogView(QWidget* parent = nullptr);

    void appendEntries(const QString& entries);
    bool following() const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace velscript::engine
