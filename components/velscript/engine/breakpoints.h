#pragma once

#include <QList>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace velscript::engine {

// The lines of the script text a run pauses before. The window's thread sets and clears them at
// any time, the script's hook reads them before every statement. The hook first looks at a
// 64-bit summary, one bit for the lines of each remainder by 64: with no breakpoint set, or none
// whose bit the line shares, that is all it costs, one relaxed load.
class Breakpoints {
public:
    // A new script text: every breakpoint goes. A table the hook may still be reading (typed
    // text that overran its time) is kept until the runner is idle again.
    void reset(const QString& text, bool hookIdle);
    bool any() const { return m_summary.load(std::memory_order_relaxed) != 0; }
    // Whether `line` may hold a breakpoint: false is sure, true is to be checked with at().
    bool mayHold(int line) const
    {
        return (m_summary.load(std::memory_order_relaxed) >> (unsigned(line) & 63U)) & 1U;
    }
    // The hook's exact look, on the script's thread.
    bool at(int line) const
    {
        const Table* table = m_table.load(std::memory_order_acquire);
        return table && line > 0 && size_t(line) < table->size() &&
               (*table)[size_t(line)].load(std::memory_order_relaxed);
    }

    // From the window's thread. Sets or clears the breakpoint of the statement on `line`, or of
    // the next line that holds one, as a debugger moves it; answers that line, or 0 when no
    // statement follows.
    int toggle(int line);
    // Sets or clears the breakpoint on a statement's line, moved as toggle() moves it.
    int set(int line, bool on);
    QList<int> lines() const;
    void clear();

private:
    using Table = std::vector<std::atomic<bool>>;

    int statementAtOrAfter(int line);
    void summarise();

    QString m_text;
    bool m_linesKnown = false;
    std::vector<int> m_statementLines; // worked out at the first breakpoint a text gets
    std::unique_ptr<Table> m_owned;
    std::vector<std::unique_ptr<Table>> m_retired;
    std::atomic<Table*> m_table{nullptr};
    std::atomic<std::uint64_t> m_summary{0};
};

} // namespace velscript::engine
