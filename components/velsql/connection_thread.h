#pragma once

#include "sql_connection.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>

class QThread;

namespace velscript::velsql {

// A thread of its own that owns one SqlConnection and runs every call on it, one at a time in
// the order they came. Scripts on any thread wait for their call's answer; nothing here waits
// on the caller's thread, so the window's thread may call too.
class ConnectionThread {
public:
    using Job = std::function<Answer(SqlConnection&)>;

    ConnectionThread();
    // Shuts down, see below.
    ~ConnectionThread();
    ConnectionThread(const ConnectionThread&) = delete;
    ConnectionThread& operator=(const ConnectionThread&) = delete;

    // Runs the job on the connection's thread and answers what it answered; after shutDown()
    // answers at once that the object has been released. CALLER is the thread that asks, whose
    // calls cancel() may cut short.
    Answer call(Job job, QThread* caller);

    // From any thread: the call of CALLER under way is interrupted and answers that it was cut
    // short; one of CALLER's waiting for its turn is answered so without running. Answers at
    // once.
    void cancel(QThread* caller);

    static QString cancelledDescription();

    // Calls still waiting for their turn are answered that the object has been released, the
    // call under way finishes, the connection closes and the thread ends. Idempotent.
    void shutDown();

    static QString releasedDescription();

private:
    struct Call {
        Job job;
        QThread* caller = nullptr;
        bool cancelled = false; // guarded by m_mutex
        std::promise<Answer> answer;
    };

    void serve();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::shared_ptr<Call>> m_waiting; // guarded by m_mutex
    std::shared_ptr<Call> m_current;             // guarded by m_mutex: the call under way
    SqlConnection* m_connection = nullptr;       // guarded by m_mutex: while serve() runs
    bool m_stopping = false;                     // guarded by m_mutex
    std::unique_ptr<QThread> m_thread;
};

} // namespace velscript::velsql
