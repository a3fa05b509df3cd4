#pragma once

#include "engine_kit/add_in_dispatch.h"
#include "engine_kit/velscript_engine.h"
#include "hosting/wire.h"

#include <QLocalSocket>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <map>
#include <mutex>

namespace velscript::host {

// The host's end of the connection: makes the one instance, answers the tester's calls on the
// main thread, where the instance lives, and carries the instance's calls into the tester's
// add-in objects from whatever thread makes them. The host ends when its connection closes.
class HostServer : public QObject {
public:
    HostServer();
    ~HostServer() override;

    // Connects, makes the instance and serves until the connection closes. Answers the exit
    // status for a host that could not begin.
    int run(const QString& server, const QString& library, const QString& classId);

    // A call into an object of the tester; waits for its answer.
    QVariant callMember(qint64 number, hosting::MemberAccess access, const QString& name,
                        const QVariantList& values);
    void cancelCalls(qint64 number);

private:
    class Io;

    void makeInstance(const QString& library, const QString& classId, QString& refusal);
    void received(const QByteArray& message); // on the connection's thread
    void answerCall(const QByteArray& message);
    void send(const QByteArray& message);
    ObjectRef remoteObject(qint64 number, const QString& className);

    ObjectRef m_instance;
    VelScriptEngine* m_engine = nullptr;
    hosting::ObjectNumbers m_numbers;
    std::map<qint64, ObjectRef> m_remote; // the tester's objects, kept while the host lives

    std::mutex m_mutex;
    std::condition_variable m_answered;
    std::map<quint32, QByteArray> m_answers;
    quint32 m_nextSerial = 1;

    QThread m_thread;
    Io* m_io = nullptr;
    hosting::FrameWriter m_writer; // any thread's messages to the tester
};

} // namespace velscript::host
