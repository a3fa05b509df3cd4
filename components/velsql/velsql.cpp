#include "velsql.h"

#include "connection_thread.h"

#include "engine_kit/add_in.h"
#include <QThread>

namespace velscript {

using velsql::Answer;
using velsql::ConnectionThread;
using velsql::SqlConnection;

namespace {

// The SQL text or path a call needs, or why the argument is none.
std::expected<QString, QString> requiredText(const QVariant& value, const QString& operation,
                                             const QString& what)
{
    if (value.isValid() && !value.isNull() && value.canConvert<QString>())
        return value.toString();
    return std::unexpected(QStringLiteral("%1 needs %2.").arg(operation, what));
}

} // namespace

VelSql::VelSql(QObject* parent)
    : QObject(parent), m_connection(std::make_unique<ConnectionThread>())
{}

VelSql::~VelSql()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_connection->shutDown();
    std::unique_lock lock(m_mutex);
    m_allAnswered.wait(lock, [this] { return m_underWay == 0; });
}

template <class Job> QVariant VelSql::call(const QString& operation, Job job)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_ending)
            return QVariant::fromValue(AddInError{0, ConnectionThread::releasedDescription()});
        ++m_underWay;
    }
    Answer answer = std::unexpected(QString());
    try {
        answer = m_connection->call(std::move(job), QThread::currentThread());
    } catch (const std::exception& failure) {
        answer = std::unexpected(
            QStringLiteral("%1 failed: %2").arg(operation, QString::fromLocal8Bit(failure.what())));
    }
    // The last touch of the object: the destructor may go on once the count drops.
    const std::lock_guard lock(m_mutex);
    m_lastError = answer ? QString() : answer.error();
    --m_underWay;
    m_allAnswered.notify_all();
    return answer ? *answer : QVariant::fromValue(AddInError{0, answer.error()});
}

void VelSql::VelScriptCancel(QThread* caller)
{
    m_connection->cancel(caller);
}

QVariant VelSql::Open(const QVariant& path)
{
    // A missing path fails in open(), after the database open before has been closed.
    const QString text = path.isNull() || !path.canConvert<QString>() ? QString() : path.toString();
    return call(QStringLiteral("Open"),
                [text](SqlConnection& connection) { return connection.open(text); });
}

QVariant VelSql::Close()
{
    return call(QStringLiteral("Close"),
                [](SqlConnection& connection) { return connection.close(); });
}

QVariant VelSql::Execute(const QVariant& sql, const QVariantList& values)
{
    const auto text = requiredText(sql, QStringLiteral("Execute"), QStringLiteral("SQL text"));
    return call(QStringLiteral("Execute"), [&](SqlConnection& connection) -> Answer {
        if (!text)
            return std::unexpected(text.error());
        return connection.execute(*text, values);
    });
}

QVariant VelSql::Scalar(const QVariant& sql, const QVariantList& values)
{
    const auto text = requiredText(sql, QStringLiteral("Scalar"), QStringLiteral("SQL text"));
    return call(QStringLiteral("Scalar"), [&](SqlConnection& connection) -> Answer {
        if (!text)
            return std::unexpected(text.error());
        return connection.scalar(*text, values);
    });
}

QVariant VelSql::Query(const QVariant& sql, const QVariantList& values)
{
    const auto text = requiredText(sql, QStringLiteral("Query"), QStringLiteral("SQL text"));
    return call(QStringLiteral("Query"), [&](SqlConnection& connection) -> Answer {
        if (!text)
            return std::unexpected(text.error());
        return connection.query(*text, values);
    });
}

QString VelSql::lastError() const
{
    const std::lock_guard lock(m_mutex);
    return m_lastError;
}

int VelSql::callsUnderWay() const
{
    const std::lock_guard lock(m_mutex);
    return m_underWay;
}

} // namespace velscript

#include "moc_velsql.cpp" // compiled here, with the precompiled Qt headers of this file
