#include "engine/breakpoints.h"

#include "lang/inspection.h"

#include <algorithm>

namespace velscript::engine {

void Breakpoints::reset(const QString& text, bool hookIdle)
{
    m_summary.store(0, std::memory_order_relaxed);
    if (m_owned)
        m_retired.push_back(std::move(m_owned));
    if (hookIdle)
        m_retired.clear();
    m_text = text;
    m_linesKnown = false;
    m_statementLines.clear();
    m_owned = std::make_unique<Table>(size_t(text.count(QLatin1Char('\n'))) + 2);
    m_table.store(m_owned.get(), std::memory_order_release);
}

int Breakpoints::statementAtOrAfter(int line)
{
    if (!m_linesKnown) {
        m_statementLines = lang::statementLines(m_text);
        m_linesKnown = true;
    }
    // A text that does not parse keeps its breakpoints where they are put.
    if (m_statementLines.empty())
        return line;
    const auto next = std::ranges::lower_bound(m_statementLines, line);
    return next == m_statementLines.end() ? 0 : *next;
}

int Breakpoints::set(int line, bool on)
{
    if (!m_owned || line <= 0)
        return 0;
    const int target = statementAtOrAfter(line);
    if (target <= 0 || size_t(target) >= m_owned->size())
        return 0;
    (*m_owned)[size_t(target)].store(on, std::memory_order_relaxed);
    summarise();
    return target;
}

int Breakpoints::toggle(int line)
{
    if (!m_owned || line <= 0)
        return 0;
    const int target = statementAtOrAfter(line);
    if (target <= 0 || size_t(target) >= m_owned->size())
        return 0;
    return set(target, !(*m_owned)[size_t(target)].load());
}

QList<int> Breakpoints::lines() const
{
    QList<int> set;
    if (!m_owned)
        return set;
    for (size_t line = 1; line < m_owned->size(); ++line) {
        if ((*m_owned)[line].load(std::memory_order_relaxed))
            set.append(int(line));
    }
    return set;
}

void Breakpoints::clear()
{
    if (!m_owned)
        return;
    for (auto& flag : *m_owned)
        flag.store(false, std::memory_order_relaxed);
    m_summary.store(0, std::memory_order_relaxed);
}

void Breakpoints::summarise()
{
    std::uint64_t summary = 0;
    for (const int line : lines())
        summary |= std::uint64_t(1) << (unsigned(line) & 63U);
    m_summary.store(summary, std::memory_order_relaxed);
}

} // namespace velscript::engine
