#pragma once

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace velscript::hosting {

// A call that must run on a given thread; whoever gets to it first runs it, once.
struct ThreadTask {
    QThread* thread = nullptr;
    std::function<void()> call;
    std::atomic<bool> taken = false;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;

    void run()
    {
        if (taken.exchange(true))
            return;
        call();
        {
            const std::lock_guard lock(mutex);
            done = true;
        }
        finished.notify_all();
    }
    void wait()
    {
        std::unique_lock lock(mutex);
        finished.wait(lock, [this] { return done; });
    }
};

// The objects the tester handed to a host, by the numbers the host knows them by. An object

} // namespace velscript::hosting
