#pragma once

#include <QObject>
#include <QThread>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace velscript::engine {

// Calls into objects that live on another thread, made from the script's thread. The call is
// posted to the object's thread; a thread of the engine that waits for the script meanwhile
// runs it itself, so that neither waits for the other. The script's wait ends early when the
// script is asked to stop.
class CallMarshal {
public:
    CallMarshal();
    ~CallMarshal();

    // Runs `call` on `target`'s thread and waits until it has run. Answers false when the wait
    // was abandoned because `abandon()` became true before the call began; it then never runs.
    // A call that has begun is waited for.
    bool callOn(QObject* target, std::function<void()> call, const std::function<bool()>& abandon);

    // Wakes callOn() waits so that they look at their abandon condition again.
    void wake();

    // Waits until `done()` is true or the deadline passes, running meanwhile the calls posted to
    // the calling thread. Answers done().
    bool waitUntil(const std::function<bool()>& done,
                   std::chrono::steady_clock::time_point deadline);

    // The lock and wake-up the engine's waits share with the marshalled calls.
    std::mutex& mutex() const { return m_shared->mutex; }
    std::condition_variable& changed() { return m_shared->changed; }
    void notifyAll() { m_shared->changed.notify_all(); }

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
    };
    struct Call;

    std::shared_ptr<Call> takeCallFor(QThread* thread);

    std::shared_ptr<Shared> m_shared;
    std::vector<std::shared_ptr<Call>> m_pending; // guarded by m_shared->mutex
};

} // namespace velscript::engine
