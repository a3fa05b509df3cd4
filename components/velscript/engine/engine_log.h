#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <mutex>

namespace velscript::engine {

// The engine's log: timestamped entries from the script's Log statements and from the engine's
// own starts, stops and errors. Any thread may add to it; the oldest entries go beyond either
// bound, so that a script logging long texts in a loop cannot fill the memory.
class EngineLog : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype MaxEntries = 10000;
    // Of all entries together; an entry longer than this keeps its beginning.
    static constexpr qsizetype MaxCharacters = qsizetype(1) << 24;

    void append(const QString& text);
    // Every entry, oldest first, joined by CR LF.
    QString all() const;
    QString last() const;
    qsizetype size() const;
    void clear();
    // The entries added after the first `seen` ever added, as far as the log still holds them;
    // `seen` becomes the count of entries ever added. Reading them makes the next entry announce
    // itself again.
    QStringList takeNew(qint64& seen);

signals:
    // Emitted on the thread that added an entry, once until the new entries are taken: a script
    // that logs in a tight loop must not queue a notice per entry for a window that shows them.
    void appended();
    void cleared();

private:
    mutable std::mutex m_mutex;
    std::deque<QString> m_entries;
    qint64 m_added = 0;         // entries ever added, cleared ones too
    qsizetype m_characters = 0; // of the entries held
    bool m_announced = false;
};

} // namespace velscript::engine
