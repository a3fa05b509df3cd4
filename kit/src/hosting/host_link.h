#pragma once

#include "engine_kit/engine_operations.h"
#include "hosting/wire.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace velscript::hosting {

class LinkIo;
class ObjectTable;
struct ThreadTask;

// The tester's end of one host process: starts it, carries messages both ways on a thread of
// its own, lets a caller wait for an answer while the calls the host makes into add-in objects
// are served, and tells when and how the host ended.
class HostLink {
public:
    // Starts the host and waits until it made its instance; throws Failure when it cannot.
    HostLink(const QString& library, const QString& classId);
    ~HostLink();

    bool offersEngine() const { return m_offersEngine; }
    // The class of the instance in the host.
    QString className() const { return m_className; }
    qint64 processId() const;

    // Sends a message and waits for the answer with the same serial. MEMBER names the call in
    // the descriptions; EXTRA lengthens the wait before the first report of an unanswered call.
    // Answers nothing when the host ended first (see ended()).
    std::optional<QByteArray> request(Message kind, const QByteArray& body, const QString& member,
                                      std::chrono::milliseconds extra);

    const ObjectNumbers& numbers() const { return m_numbers; }

    // Whether the host has ended, and why: "signal 11, Segmentation fault", "exit code 3".
    bool ended();
    bool endedByRequest();
    QString endCause();

    QString name();
    void setName(const QString& name);

private:
    friend class LinkIo; // tells what arrives, and the host's end

    void shutDown();
    void received(const QByteArray& message); // on the link's thread
    void gone(const QString& cause);          // on the link's thread
    void serveMember(const QByteArray& message);
    void cancelCalls(qint64 number);
    void send(const QByteArray& message);
    // Runs CALL where OBJECT may be called: at once when it is thread-safe, on its own thread
    // otherwise, where a caller waiting in request() runs it if it is that thread.
    void onObjectThread(QObject* object, const std::function<void()>& call);
    std::shared_ptr<ThreadTask> takeTaskFor(QThread* thread);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<quint32, QByteArray> m_answers; // by serial
    std::deque<std::shared_ptr<ThreadTask>> m_tasks;
    quint32 m_nextSerial = 1;
    bool m_ready = false;
    QString m_refusal;
    bool m_ended = false;
    bool m_endRequested = false;
    QString m_endCause;
    QString m_name;

    FrameWriter m_writer; // any thread's messages to the host
    bool m_offersEngine = false;
    QString m_className;
    std::unique_ptr<ObjectTable> m_objects;
    ObjectNumbers m_numbers;
    QThread m_thread;       // carries the messages
    QThread m_memberThread; // calls the add-in objects on the host's behalf
    QObject* m_memberCaller = nullptr;
    LinkIo* m_io = nullptr;
};

} // namespace velscript::hosting
