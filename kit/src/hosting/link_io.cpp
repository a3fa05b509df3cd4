#include "hosting/link_io.h"

#include "hosting/host_link.h"
#include "kit_logging.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>

#include <cstring>

namespace velscript::hosting {

namespace {

QString describeEnd(const QProcess& process)
{
    if (process.exitStatus() == QProcess::CrashExit) {
        const int signal = process.exitCode();
        const char* name = signal > 0 ? ::strsignal(signal) : nullptr;
        return name ? QStringLiteral("signal %1, %2").arg(signal).arg(QString::fromLocal8Bit(name))
                    : QStringLiteral("signal %1").arg(signal);
    }
    return QStringLiteral("exit code %1").arg(process.exitCode());
}

} // namespace

void LinkIo::start(const QString& program, const QStringList& arguments, const QString& server)
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(server)) {
        conclude(QStringLiteral("no connection could be offered: %1").arg(m_server->errorString()));
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        QLocalSocket* socket = m_server->nextPendingConnection();
        if (m_socket) { // one host, one connection
            socket->abort();
            socket->deleteLater();
            return;
        }
        m_socket = socket;
        m_server->close();
        m_link.m_writer.attach(m_socket->socketDescriptor());
        connect(m_socket, &QLocalSocket::readyRead, this, &LinkIo::readAvailable);
        connect(m_socket, &QLocalSocket::disconnected, this, &LinkIo::connectionClosed);
    });
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    m_process->setInputChannelMode(QProcess::ForwardedInputChannel);
    connect(m_process, &QProcess::finished, this, [this] { conclude(); });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            conclude(QStringLiteral("the program %1 does not start: %2")
                         .arg(m_process->program(), m_process->errorString()));
    });
    m_process->start(program, arguments);
}

void LinkIo::started()
{
    m_processId = m_process ? m_process->processId() : 0;
}

void LinkIo::kill()
{
    if (m_process && m_process->state() != QProcess::NotRunning)
        m_process->kill();
}

void LinkIo::close()
{
    m_link.m_writer.detach();
    if (m_socket)
        m_socket->disconnectFromServer();
    if (m_process && m_process->state() != QProcess::NotRunning &&
        !m_process->waitForFinished(1000)) {
        m_process->kill();
        m_process->waitForFinished(1000);
    }
    delete m_process;
    m_process = nullptr;
    delete m_socket;
    m_socket = nullptr;
}

void LinkIo::readAvailable()
{
    m_reader.feed(m_socket->readAll());
    try {
        while (auto message = m_reader.next())
            m_link.received(*message);
    } catch (const Failure& failure) {
        qCWarning(lcKit).noquote() << "A host sent what is no message:" << failure.description();
        kill();
    }
}

void LinkIo::connectionClosed()
{
    // The process is usually a moment behind its connection.
    if (m_process && m_process->state() != QProcess::NotRunning)
        m_process->waitForFinished(2000);
    conclude();
}

void LinkIo::conclude(const QString& problem)
{
    if (m_concluded)
        return;
    if (problem.isEmpty() && m_process && m_process->state() != QProcess::NotRunning) {
        if (m_socket && m_socket->state() == QLocalSocket::ConnectedState)
            return; // the connection will tell
        m_process->kill();
        m_process->waitForFinished(1000);
    }
    m_concluded = true;
    m_link.gone(!problem.isEmpty() ? problem
                : m_process        ? describeEnd(*m_process)
                                   : QStringLiteral("its connection closed"));
}

} // namespace velscript::hosting
