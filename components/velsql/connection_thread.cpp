#include "connection_thread.h"

#include <QThread>

#include <atomic>

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

Answer ConnectionThread::call(Job job)
{
    auto call = std::make_shared<Call>();
    call->job = std::move(job);
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
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
            if (m_stopping)
                return;
            call = std::move(m_waiting.front());
            m_waiting.pop_front();
        }
        // The caller waits for this answer: it must get one, whatever the job does.
        try {
            call->answer.set_value(call->job(connection));
        } catch (const std::exception& failure) {
            call->answer.set_value(std::unexpected(QString::fromLocal8Bit(failure.what())));
        } catch (...) {
            call->answer.set_value(std::unexpected(QStringLiteral("The database call failed.")));
        }
    }
}

} // namespace velscript::velsql
