#include "engine/engine_log.h"

#include <QDateTime>

#include <algorithm>
#include <utility>

namespace velscript::engine {

void EngineLog::append(const QString& text)
{
    const QString entry =
        (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz ")) + text)
            .left(MaxCharacters);
    bool announce = false;
    {
        const std::lock_guard lock(m_mutex);
        m_entries.push_back(entry);
        m_characters += entry.size();
        ++m_added;
        while (qsizetype(m_entries.size()) > MaxEntries || m_characters > MaxCharacters) {
            m_characters -= m_entries.front().size();
            m_entries.pop_front();
        }
        announce = !std::exchange(m_announced, true);
    }
    if (announce)
        emit appended();
}

QStringList EngineLog::takeNew(qint64& seen)
{
    const std::lock_guard lock(m_mutex);
    m_announced = false;
    const qint64 held = qint64(m_entries.size());
    const qint64 count = std::min(m_added - seen, held);
    seen = m_added;
    QStringList taken;
    taken.reserve(qsizetype(count));
    for (auto it = m_entries.end() - count; it != m_entries.end(); ++it)
        taken.append(*it);
    return taken;
}

QString EngineLog::all() const
{
    const std::lock_guard lock(m_mutex);
    qsizetype length = 0;
    for (const QString& entry : m_entries)
        length += entry.size() + 2;
    QString joined;
    joined.reserve(length);
    for (const QString& entry : m_entries) {
        if (!joined.isEmpty())
            joined += QLatin1String("\r\n");
        joined += entry;
    }
    return joined;
}

QString EngineLog::last() const
{
    const std::lock_guard lock(m_mutex);
    return m_entries.empty() ? QString() : m_entries.back();
}

qsizetype EngineLog::size() const
{
    const std::lock_guard lock(m_mutex);
    return qsizetype(m_entries.size());
}

void EngineLog::clear()
{
    {
        const std::lock_guard lock(m_mutex);
        m_entries.clear();
        m_characters = 0;
    }
    emit cleared();
}

} // namespace velscript::engine

#include "moc_engine_log.cpp" // compiled here, with the precompiled Qt headers of this file
