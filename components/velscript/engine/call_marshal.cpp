#include "engine/call_marshal.h"

#include <QMetaObject>

namespace velscript::engine {

struct CallMarshal::Call {
    std::shared_ptr<Shared> shared;
    QThread* thread = nullptr;
    std::function<void()> body;
    bool claimed = false; // guarded by shared->mutex
    bool done = false;    // guarded by shared->mutex

    // Runs the body once, whichever of the object's event loop and a waiting engine thread
    // comes first.
    void run()
    {
        {
            const std::lock_guard lock(shared->mutex);
            if (claimed)
                return;
            claimed = true;
        }
        body();
        {
            const std::lock_guard lock(shared->mutex);
            done = true;
        }
        shared->changed.notify_all();
    }
};

CallMarshal::CallMarshal() : m_shared(std::make_shared<Shared>()) {}

CallMarshal::~CallMarshal() = default;

bool CallMarshal::callOn(QObject* target, std::function<void()> body,
                         const std::function<bool()>& abandon)
{
    auto call = std::make_shared<Call>();
    call->shared = m_shared;
    call->thread = target->thread();
    call->body = std::move(body);
    {
        const std::lock_guard lock(m_shared->mutex);
        m_pending.push_back(call);
    }
    m_shared->changed.notify_all();
    QMetaObject::invokeMethod(
        target, [call] { call->run(); }, Qt::QueuedConnection);

    std::unique_lock lock(m_shared->mutex);
    m_shared->changed.wait(lock, [&] { return call->done || (!call->claimed && abandon()); });
    std::erase(m_pending, call);
    // A call not yet taken never runs: what it refers to is about to go.
    call->claimed = true;
    return call->done;
}

void CallMarshal::wake()
{
    {
        const std::lock_guard lock(m_shared->mutex);
    }
    m_shared->changed.notify_all();
}

std::shared_ptr<CallMarshal::Call> CallMarshal::takeCallFor(QThread* thread)
{
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
        if ((*it)->thread == thread && !(*it)->claimed) {
            auto call = *it;
            m_pending.erase(it);
            return call;
        }
    }
    return nullptr;
}

bool CallMarshal::waitUntil(const std::function<bool()>& done,
                            std::chrono::steady_clock::time_point deadline)
{
    QThread* const self = QThread::currentThread();
    std::unique_lock lock(m_shared->mutex);
    while (!done()) {
        if (auto call = takeCallFor(self)) {
            lock.unlock();
            call->run();
            lock.lock();
            continue;
        }
        if (m_shared->changed.wait_until(lock, deadline) == std::cv_status::timeout)
            return done();
    }
    return true;
}

} // namespace velscript::engine
