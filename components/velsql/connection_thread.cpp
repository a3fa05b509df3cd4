#include "connection_thread.h"

#include <QThread>

#include <atomic>
#include <vector>

namespace velscript::velsql {

namespace {

// Qt SQL names its connections process-wide; each object needs its own.
QString newConnectionName()
{
    static std::atomic<quint64> counter{0};
    return QStringLiteral("velsql-%1").arg(++counter);
}

} // namespace

ConnectionThread::ConnectionThread() : m_thread(QThread::create([this] { serve(); }))
{
    m_thread->setObjectName(QStringLiteral("VelSQL"));
    m_thread->start();
}

ConnectionThread::~ConnectionThread()
{
    shutDown();
}

QString ConnectionThread::releasedDescription()
{
    return QStringLiteral("The VelSQL object has been released.");
}

QString ConnectionThread::cancelledDescription()
{
    return QStringLiteral("The database call was cut short: the script is stopping.");
}

Answer ConnectionThread::call(Job job, QThread* caller)
{
    auto call = std::make_shared<Call>();
    call->job = std::move(job);
    call->caller = caller;
    std::future<Answer> answer = call->answer.get_future();
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopping)
            return std::unexpected(releasedDescription());
        m_waiting.push_back(call);
    }
    m_wake.notify_one();
    return answer.get();
}

void ConnectionThread::cancel(QThread* caller)
{
    std::vector<std::shared_ptr<Call>> unrun;
    {
        const std::lock_guard lock(m_mutex);
        std::erase_if(m_waiting, [&](const std::shared_ptr<Call>& call) {
            if (call->caller != caller)
                return false;
            unrun.push_back(call);
            return true;
        });
        if (m_current && m_current->caller == caller && !m_current->cancelled) {
            m_current->cancelled = true;
            // Under the lock, so that the call cannot end and another caller's begin meanwhile.
            m_connection->interrupt();
        }
    }
    for (const auto& call : unrun)
        call->answer.set_value(std::unexpected(cancelledDescription()));
}

void ConnectionThread::shutDown()
{
    std::deque<std::shared_ptr<Call>> unanswered;
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_stopping = true;
        unanswered.swap(m_waiting);
    }
    m_wake.notify_one();
    for (const auto& call : unanswered)
        call->answer.set_value(std::unexpected(releasedDescription()));
    m_thread->wait();
}

void ConnectionThread::serve()
{
    SqlConnection connection(newConnectionName());
    {
        const std::lock_guard lock(m_mutex);
        m_connection = &connection;
    }
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::unique_lock lock(m_mutex);
            m_current.reset();
            m_wake.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
            if (m_stopping) {
                m_connection = nullptr;
                return;
            }
            call = std::move(m_waiting.front());
            m_waiting.pop_front();
            m_current = call;
        }
        // The caller waits for this answer: it must get one, whatever the job does.
        Answer answer = std::unexpected(QString());
        try {
            answer = call->job(connection);
        } catch (const std::exception& failure) {
            answer = std::unexpected(QString::fromLocal8Bit(failure.what()));
        } catch (...) {
            answer = std::unexpected(QStringLiteral("The database call failed."));
        }
        {
            const std::lock_guard lock(m_mutex);
            if (call->cancelled)
                answer = std::unexpected(cancelledDescription());
        }
        call->answer.set_value(std::move(answer));
    }
}

} // namespace velscript::velsql
