#pragma once

#include "engine_kit/variant.h"

#include <QObject>
#include <QPointer>

#include <map>
#include <mutex>

namespace velscript::hosting {

// The objects the tester handed to a host, by the numbers the host knows them by. An object
// handed over by reference is held until the host ends; one an add-in answered is only watched.
class ObjectTable {
public:
    qint64 numberOf(const ObjectRef& object)
    {
        const std::lock_guard lock(m_mutex);
        Entry& entry = m_entries[numberLocked(object.get())];
        if (!entry.owned)
            entry.owned = object;
        return entry.number;
    }
    qint64 numberOfPointer(QObject* object)
    {
        const std::lock_guard lock(m_mutex);
        return numberLocked(object);
    }
    ObjectRef objectOf(qint64 number)
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_entries.find(number);
        return found == m_entries.end() ? nullptr : found->second.owned;
    }
    QObject* pointerOf(qint64 number)
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_entries.find(number);
        return found == m_entries.end() ? nullptr : found->second.watched.data();
    }

private:
    struct Entry {
        qint64 number = 0;
        ObjectRef owned;
        QPointer<QObject> watched;
    };
    qint64 numberLocked(QObject* object)
    {
        if (const auto found = m_byPointer.find(object);
            found != m_byPointer.end() && m_entries[found->second].watched == object)
            return found->second;
        const qint64 number = m_next++;
        m_entries[number] = Entry{number, nullptr, object};
        m_byPointer[object] = number;
        return number;
    }

    std::mutex m_mutex;
    std::map<qint64, Entry> m_entries;
    std::map<QObject*, qint64> m_byPointer;
    qint64 m_next = 1;
};

} // namespace velscript::hosting
