#include "host/host_server.h"

#include "engine_kit/component_service.h"
#include "engine_kit/engine_operations.h"
#include "host/remote_add_in.h"

#include <QCoreApplication>
#include <QDataStream>

#include <cstdio>
#include <cstdlib>

namespace velscript::host {

using hosting::Message;
using hosting::written;

// Lives on the connection's thread, so that answers from the tester arrive while the main
// thread is inside a call of the engine.
class HostServer::Io : public QObject {
public:
    explicit Io(HostServer& server) : m_server(server) {}

    bool connectTo(const QString& name)
    {
        m_socket = new QLocalSocket(this);
        m_socket->connectToServer(name);
        if (!m_socket->waitForConnected(10000))
            return false;
        connect(m_socket, &QLocalSocket::readyRead, this, [this] {
            m_reader.feed(m_socket->readAll());
            try {
                while (auto message = m_reader.next())
                    m_server.received(*message);
            } catch (const Failure&) {
                std::_Exit(3); // whoever is connected does not speak to hosts
            }
        });
        // The tester let go of the engine, or ended: so does the host, at once, whatever the
        // engine is doing.
        connect(m_socket, &QLocalSocket::disconnected, this, [] {
            std::fflush(nullptr);
            std::_Exit(0);
        });
        return true;
    }

    qintptr descriptor() const { return m_socket->socketDescriptor(); }

private:
    HostServer& m_server;
    QLocalSocket* m_socket = nullptr;
    hosting::FrameReader m_reader;
};

HostServer::HostServer()
{
    m_numbers.numberOf = [](const ObjectRef& object) {
        auto* remote = qobject_cast<RemoteAddIn*>(object.get());
        return remote ? remote->number() : hosting::ForeignObject;
    };
    m_numbers.objectOf = [this](qint64 number, const QString& className) {
        return remoteObject(number, className);
    };
    m_numbers.numberOfPointer = [](QObject* object) {
        auto* remote = qobject_cast<RemoteAddIn*>(object);
        return remote ? remote->number() : hosting::ForeignObject;
    };
    m_numbers.pointerOf = [this](qint64 number, const QString& className) {
        return remoteObject(number, className).get();
    };
}

HostServer::~HostServer()
{
    m_thread.quit();
    m_thread.wait();
    delete m_io;
}

ObjectRef HostServer::remoteObject(qint64 number, const QString& className)
{
    const std::lock_guard lock(m_mutex);
    ObjectRef& remote = m_remote[number];
    if (!remote)
        remote = std::make_shared<RemoteAddIn>(*this, number, className);
    return remote;
}

int HostServer::run(const QString& server, const QString& library, const QString& classId)
{
    m_io = new Io(*this);
    m_io->moveToThread(&m_thread);
    m_thread.start();
    bool connected = false;
    QMetaObject::invokeMethod(
        m_io, [&] { connected = m_io->connectTo(server); }, Qt::BlockingQueuedConnection);
    if (!connected) {
        std::fprintf(stderr, "velscript-host: cannot connect to %s\n", qPrintable(server));
        return 2;
    }
    m_writer.attach(m_io->descriptor());
    QString refusal;
    makeInstance(library, classId, refusal);
    send(written([&](QDataStream& out) {
        out << quint8(Message::Ready) << quint32(0) << (m_engine != nullptr) << refusal
            << (m_instance ? QString::fromLatin1(m_instance->metaObject()->className())
                           : QString());
    }));
    return QCoreApplication::exec();
}

void HostServer::makeInstance(const QString& library, const QString& classId, QString& refusal)
{
    try {
        m_instance = ComponentService::instance().createFromLibrary(library, classId);
    } catch (const Failure& failure) {
        refusal = failure.description();
        return;
    } catch (const std::exception& thrown) {
        refusal = QString::fromLocal8Bit(thrown.what());
        return;
    }
    if (!m_instance) {
        refusal = QStringLiteral("The class %1 is listed by the component plugin %2, which does "
                                 "not make it.")
                      .arg(classId, library);
        return;
    }
    m_engine = qobject_cast<VelScriptEngine*>(m_instance.get());
}
void HostServer::send(const QByteArray& message)
{
    m_writer.write(message);
}

void HostServer::received(const QByteArray& message)
{
    QDataStream in(message);
    quint8 kind = 0;
    quint32 serial = 0;
    in >> kind >> serial;
    switch (Message(kind)) {
    case Message::Call:
    case Message::ReadProperty:
        QMetaObject::invokeMethod(
            this, [this, message] { answerCall(message); }, Qt::QueuedConnection);
        return;
    case Message::MemberReply: {
        const std::lock_guard lock(m_mutex);
        m_answers[serial] = message;
    }
        m_answered.notify_all();
        return;
    default:
        std::_Exit(3);
    }
}

void HostServer::answerCall(const QByteArray& message)
{
    QDataStream in(message);
    quint8 kind = 0;
    quint32 serial = 0;
    in >> kind >> serial;
    bool foreign = false;
    if (Message(kind) == Message::ReadProperty) {
        QByteArray name;
        in >> name;
        Outcome outcome;
        try {
            outcome = Outcome::of(readProperty(*m_instance, name.constData()));
        } catch (const Failure& failure) {
            outcome = Outcome::failedWith(failure.description());
        }
        send(written([&](QDataStream& out) {
            out << quint8(Message::PropertyValue) << serial;
            hosting::writeOutcome(out, outcome, m_numbers);
        }));
        return;
    }

    quint8 operation = 0;
    in >> operation;
    QList<Variant> arguments = hosting::readVariants(in, m_numbers, foreign);
    Outcome outcome;
    if (in.status() != QDataStream::Ok || operation > quint8(Operation::Execute)) {
        outcome = Outcome::failedWith(QStringLiteral("The call did not arrive whole."));
    } else {
        // The engine's own exceptions end the call, not the host: the caller is told what.
        try {
            outcome = apply(*m_engine, Operation(operation), arguments);
        } catch (const std::exception& thrown) {
            outcome = Outcome::failedWith(QString::fromLocal8Bit(thrown.what()));
        } catch (...) {
            outcome = Outcome::failedWith(
                QStringLiteral("The engine's %1 threw something that is no exception.")
                    .arg(QLatin1StringView(info(Operation(operation)).member)));
        }
    }
    send(written([&](QDataStream& out) {
        out << quint8(Message::Reply) << serial;
        hosting::writeOutcome(out, outcome, m_numbers);
        hosting::writeVariants(out, arguments, m_numbers);
    }));
}

QVariant HostServer::callMember(qint64 number, hosting::MemberAccess access, const QString& name,
                                const QVariantList& values)
{
    quint32 serial = 0;
    {
        const std::lock_guard lock(m_mutex);
        serial = m_nextSerial++;
    }
    send(written([&](QDataStream& out) {
        out << quint8(Message::MemberCall) << serial << number << quint8(access) << name
            << quint32(values.size());
        for (const QVariant& value : values)
            hosting::writeQVariant(out, value, m_numbers);
    }));
    QByteArray answer;
    {
        std::unique_lock lock(m_mutex);
        m_answered.wait(lock, [&] { return m_answers.contains(serial); });
        answer = m_answers.extract(serial).mapped();
    }
    QDataStream in(answer);
    quint8 kind = 0;
    in >> kind >> serial;
    return hosting::readQVariant(in, m_numbers);
}

void HostServer::cancelCalls(qint64 number)
{
    send(
        written([&](QDataStream& out) { out << quint8(Message::Cancel) << quint32(0) << number; }));
}

} // namespace velscript::host
