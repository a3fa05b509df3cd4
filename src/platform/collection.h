#pragma once

#include "engine_kit/failure.h"

#include <QString>

#include <utility>
#include <vector>

namespace velscript {

// A keyed collection that keeps insertion order: unique text keys, lookup and removal by key,
// enumeration oldest first. A key that is present on add, or absent on lookup or removal, fails.
template <class Value> class Collection {
public:
    struct Entry {
        QString key;
        Value value;
    };

    void add(const QString& key, Value value)
    {
        if (find(key) != m_entries.end())
            throw Failure(failures::keyPresent(key));
        m_entries.push_back({key, std::move(value)});
    }

    const Value& item(const QString& key) const { return existing(key)->value; }

    void remove(const QString& key) { m_entries.erase(existing(key)); }

    int count() const { return int(m_entries.size()); }

    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

private:
    using Entries = std::vector<Entry>;

    typename Entries::const_iterator find(const QString& key) const
    {
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
            if (it->key == key)
                return it;
        return m_entries.end();
    }

    typename Entries::const_iterator existing(const QString& key) const
    {
        const auto it = find(key);
        if (it == m_entries.end())
            throw Failure(failures::keyAbsent(key));
        return it;
    }

    Entries m_entries;
};

// 32-bit signed addition that fails instead of wrapping.
inline qint32 checkedAdd(qint32 left, qint32 right)
{
    qint32 sum = 0;
    if (__builtin_add_overflow(left, right, &sum))
        throw Failure(failures::overflow());
    return sum;
}

} // namespace velscript
