#pragma once

#include <QHashFunctions>
#include <QString>

#include <unordered_map>
#include <unordered_set>

namespace velscript::lang {

// Tables keyed by a name, for everything that grows while a source loads. Unlike QHash and QSet,
// a table that cannot grow for want of memory throws std::bad_alloc and stays as it was, so that
// loading a source too large for the memory left is an error instead of an abort.
struct NameHash {
    size_t operator()(const QString& name) const noexcept { return qHash(name); }
};

template <typename T> using NameMap = std::unordered_map<QString, T, NameHash>;
using NameSet = std::unordered_set<QString, NameHash>;

// The value stored under `name`, or `missing`.
template <typename T> T valueOr(const NameMap<T>& map, const QString& name, T missing)
{
    const auto it = map.find(name);
    return it == map.end() ? missing : it->second;
}

} // namespace velscript::lang
