#pragma once

#include <QObject>
#include <QString>

#include <deque>
#include <mutex>

namespace velscript::engine {

// The engine's log: timestamped entries from the script's Log statements and from the engine's
// own starts, stops and errors. Any thread may add to it; the oldest entries go beyond the bound.
class EngineLog : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype MaxEntries = 10000;

    void append(const QString& text);
    // Every entry, oldest first, joined by CR LF.
    QString all() const;
    QString last() const;
    qsizetype size() const;
    void clear();

signals:
    // Emitted on the thread that added the entry.
    void appended(const QString& entry);
    void cleared();

private:
    mutable std::mutex m_mutex;
    std::deque<QString> m_entries;
};

} // namespace velscript::engine
