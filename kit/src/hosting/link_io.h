#pragma once

#include "hosting/wire.h"

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;
class QProcess;

namespace velscript::hosting {

class HostLink;

// The tester's end of a host, on the link's own thread: the listening server, the connection and
// the process. It hands every message it receives, and the host's end, to its link.
class LinkIo : public QObject {
public:
    explicit LinkIo(HostLink& link) : m_link(link) {}

    // Offers the connection SERVER and starts the host program.
    void start(const QString& program, const QStringList& arguments, const QString& server);
    void kill();
    // Lets the host go: it ends when its connection closes, or is ended after a second.
    void close();
    // Notes the started host's process id.
    void started();
    qint64 processId() const { return m_processId; }

private:
    void readAvailable();
    void connectionClosed();
    // Tells the link once that the host ended, and why.
    void conclude(const QString& problem = {});

    HostLink& m_link;
    QLocalServer* m_server = nullptr;
    QLocalSocket* m_socket = nullptr;
    QProcess* m_process = nullptr;
    FrameReader m_reader;
    bool m_concluded = false;
    qint64 m_processId = 0;
};

} // namespace velscript::hosting
