#include "hosting/host_link.h"

#include "engine_kit/add_in.h"
#include "engine_kit/add_in_dispatch.h"
#include "engine_kit/hosting.h"
#include "hosting/link_io.h"
#include "hosting/object_table.h"
#include "hosting/thread_task.h"
#include "kit_logging.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

namespace velscript::hosting {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto Unanswered = std::chrono::seconds(UnansweredCallSeconds);
constexpr auto Slice = std::chrono::milliseconds(100);
// A host loads a library and makes one instance: far less than this on any machine.
constexpr auto StartLimit = std::chrono::seconds(30);

std::mutex handlerMutex;
UnansweredCallHandler unansweredHandler;

UnansweredCallHandler currentHandler()
{
    const std::lock_guard lock(handlerMutex);
    return unansweredHandler;
}

QString hostProgram()
{
    const QString name = QStringLiteral("velscript-host");
    if (QCoreApplication::instance()) {
        const QFileInfo beside(QCoreApplication::applicationDirPath() + u'/' + name);
        if (beside.isExecutable())
            return beside.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(name);
}

} // namespace

HostLink::HostLink(const QString& library, const QString& classId)
    : m_objects(std::make_unique<ObjectTable>())
{
    m_numbers.numberOf = [this](const ObjectRef& object) { return m_objects->numberOf(object); };
    m_numbers.objectOf = [this](qint64 number, const QString&) {
        return m_objects->objectOf(number);
    };
    m_numbers.numberOfPointer = [this](QObject* object) {
        return m_objects->numberOfPointer(object);
    };
    m_numbers.pointerOf = [this](qint64 number, const QString&) {
        return m_objects->pointerOf(number);
    };

    const QString program = hostProgram();
    if (program.isEmpty()) {
        throw Failure(QStringLiteral("The component plugin %1 runs in a process of its own, but "
                                     "the program velscript-host is neither beside this program "
                                     "nor on the PATH. VELSCRIPT_IN_PROCESS=1 loads it here.")
                          .arg(library));
    }
    m_thread.setObjectName(QStringLiteral("velscript-host link"));
    m_memberThread.setObjectName(QStringLiteral("velscript-host add-in calls"));
    m_io = new LinkIo(*this);
    m_io->moveToThread(&m_thread);
    m_memberCaller = new QObject;
    m_memberCaller->moveToThread(&m_memberThread);
    m_thread.start();
    m_memberThread.start();

    const QString server = QStringLiteral("velscript-host-%1-%2")
                               .arg(QCoreApplication::applicationPid())
                               .arg(QUuid::createUuid().toString(QUuid::Id128));
    const QStringList arguments = {QStringLiteral("--server"),  server,
                                   QStringLiteral("--library"), library,
                                   QStringLiteral("--class"),   classId};
    QMetaObject::invokeMethod(
        m_io, [this, program, arguments, server] { m_io->start(program, arguments, server); },
        Qt::BlockingQueuedConnection);

    std::unique_lock lock(m_mutex);
    const bool settled =
        m_changed.wait_for(lock, StartLimit, [this] { return m_ready || m_ended; });
    lock.unlock();
    if (settled && m_ready && !m_refusal.isEmpty()) {
        // The host failed to make it as this process would have: its own words say why.
        const QString refusal = m_refusal;
        shutDown();
        throw Failure(refusal);
    }
    QString problem;
    if (!settled)
        problem = QStringLiteral("its host did not start within %1 seconds")
                      .arg(std::chrono::seconds(StartLimit).count());
    else if (!m_ready)
        problem = QStringLiteral("its host ended (%1)").arg(endCause());
    if (!problem.isEmpty()) {
        shutDown();
        throw Failure(QStringLiteral("The class %1 of the component plugin %2 cannot be made: %3.")
                          .arg(classId, library, problem));
    }
    QMetaObject::invokeMethod(
        m_io, [this] { m_io->started(); }, Qt::BlockingQueuedConnection);
}

HostLink::~HostLink()
{
    shutDown();
}

void HostLink::shutDown()
{
    if (!m_io)
        return;
    QMetaObject::invokeMethod(
        m_io, [this] { m_io->close(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_io;
    m_io = nullptr;
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    // A call into an add-in that waits for this thread would wait for ever: run it now.
    while (auto task = takeTaskFor(QThread::currentThread()))
        task->run();
    m_memberThread.quit();
    m_memberThread.wait();
    delete m_memberCaller;
    m_memberCaller = nullptr;
}

qint64 HostLink::processId() const
{
    return m_io ? m_io->processId() : 0;
}

bool HostLink::ended()
{
    const std::lock_guard lock(m_mutex);
    return m_ended;
}

bool HostLink::endedByRequest()
{
    const std::lock_guard lock(m_mutex);
    return m_endRequested;
}

QString HostLink::endCause()
{
    const std::lock_guard lock(m_mutex);
    return m_endCause;
}

QString HostLink::name()
{
    const std::lock_guard lock(m_mutex);
    return m_name;
}

void HostLink::setName(const QString& name)
{
    const std::lock_guard lock(m_mutex);
    m_name = name;
}

void HostLink::send(const QByteArray& message)
{
    m_writer.write(message);
}

std::shared_ptr<ThreadTask> HostLink::takeTaskFor(QThread* thread)
{
    for (auto task = m_tasks.begin(); task != m_tasks.end(); ++task) {
        if ((*task)->thread == thread) {
            std::shared_ptr<ThreadTask> taken = *task;
            m_tasks.erase(task);
            return taken;
        }
    }
    return nullptr;
}

std::optional<QByteArray> HostLink::request(Message kind, const QByteArray& body,
                                            const QString& member, std::chrono::milliseconds extra)
{
    quint32 serial = 0;
    {
        const std::lock_guard lock(m_mutex);
        if (m_ended)
            return std::nullopt;
        serial = m_nextSerial++;
    }
    send(written([&](QDataStream& out) { out << quint8(kind) << serial; }) + body);

    QThread* const here = QThread::currentThread();
    const auto answered = [this, serial] { return m_answers.contains(serial) || m_ended; };
    Clock::time_point deadline = Clock::now() + Unanswered + extra;
    for (;;) {
        std::shared_ptr<ThreadTask> task;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait_until(lock, std::min(deadline, Clock::now() + Slice), [&] {
                return answered() ||
                       std::any_of(m_tasks.begin(), m_tasks.end(),
                                   [here](const auto& waiting) { return waiting->thread == here; });
            });
            if (const auto found = m_answers.find(serial); found != m_answers.end()) {
                QByteArray answer = std::move(found->second);
                m_answers.erase(found);
                return answer;
            }
            if (m_ended)
                return std::nullopt;
            task = takeTaskFor(here);
        }
        if (task) {
            task->run();
            continue;
        }
        if (Clock::now() < deadline)
            continue;
        const UnansweredCallHandler handler = currentHandler();
        if (handler) {
            const QString text = QStringLiteral("%1 has not answered %2 for %3 seconds.")
                                     .arg(name(), member)
                                     .arg(UnansweredCallSeconds);
            const UnansweredCall choice = handler(text, [this, answered] {
                const std::lock_guard lock(m_mutex);
                return answered();
            });
            if (choice == UnansweredCall::EndEngine) {
                bool answeredMeanwhile = false;
                {
                    const std::lock_guard lock(m_mutex);
                    answeredMeanwhile = answered();
                    if (!answeredMeanwhile)
                        m_endRequested = true;
                }
                if (!answeredMeanwhile)
                    QMetaObject::invokeMethod(
                        m_io, [this] { m_io->kill(); }, Qt::QueuedConnection);
            }
        }
        deadline = Clock::now() + Unanswered;
    }
}

void HostLink::received(const QByteArray& message)
{
    QDataStream in(message);
    quint8 kind = 0;
    quint32 serial = 0;
    in >> kind >> serial;
    switch (Message(kind)) {
    case Message::Ready: {
        bool offers = false;
        QString refusal;
        QString className;
        in >> offers >> refusal >> className;
        {
            const std::lock_guard lock(m_mutex);
            m_offersEngine = offers;
            m_className = className;
            m_refusal = refusal;
            m_ready = true;
        }
        m_changed.notify_all();
        return;
    }
    case Message::Reply:
    case Message::PropertyValue: {
        const std::lock_guard lock(m_mutex);
        m_answers[serial] = message.mid(int(sizeof(quint8) + sizeof(quint32)));
    }
        m_changed.notify_all();
        return;
    case Message::MemberCall:
        QMetaObject::invokeMethod(
            m_memberCaller, [this, message] { serveMember(message); }, Qt::QueuedConnection);
        return;
    case Message::Cancel: {
        qint64 number = 0;
        in >> number;
        cancelCalls(number);
        return;
    }
    default:
        qCWarning(lcKit) << "A host sent a message of unknown kind" << kind;
        QMetaObject::invokeMethod(
            m_io, [this] { m_io->kill(); }, Qt::QueuedConnection);
        return;
    }
}

void HostLink::gone(const QString& cause)
{
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
        m_endCause = cause;
    }
    m_changed.notify_all();
}

void HostLink::serveMember(const QByteArray& message)
{
    QDataStream in(message);
    quint8 kind = 0;
    quint32 serial = 0;
    qint64 number = 0;
    quint8 access = 0;
    QString name;
    quint32 count = 0;
    in >> kind >> serial >> number >> access >> name >> count;
    QVariantList values;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i)
        values.append(readQVariant(in, m_numbers));

    QVariant result;
    QObject* object = m_objects->pointerOf(number);
    if (in.status() != QDataStream::Ok) {
        result =
            QVariant::fromValue(AddInError{0, QStringLiteral("The call did not arrive whole.")});
    } else if (!object) {
        result = QVariant::fromValue(
            AddInError{0, QStringLiteral("The object %1 was called after it ended.").arg(name)});
    } else {
        onObjectThread(object, [&] {
            switch (MemberAccess(access)) {
            case MemberAccess::Invoke:
                result = invokeMember(*object, name, values);
                break;
            case MemberAccess::Read:
                result = readMember(*object, name);
                break;
            case MemberAccess::Write:
                result = writeMember(*object, name, values.value(0));
                break;
            }
        });
    }
    send(written([&](QDataStream& out) {
        out << quint8(Message::MemberReply) << serial;
        writeQVariant(out, result, m_numbers);
    }));
}

void HostLink::onObjectThread(QObject* object, const std::function<void()>& call)
{
    QThread* thread = object->thread();
    if (isThreadSafe(*object) || thread == QThread::currentThread() || !thread) {
        call();
        return;
    }
    auto task = std::make_shared<ThreadTask>();
    task->thread = thread;
    task->call = call;
    {
        const std::lock_guard lock(m_mutex);
        m_tasks.push_back(task);
    }
    m_changed.notify_all();
    QMetaObject::invokeMethod(
        object, [task] { task->run(); }, Qt::QueuedConnection);
    task->wait();
    const std::lock_guard lock(m_mutex);
    std::erase(m_tasks, task);
}

void HostLink::cancelCalls(qint64 number)
{
    QObject* object = m_objects->pointerOf(number);
    if (!object)
        return;
    // The object's promise: safe from any thread, returns at once.
    if (object->metaObject()->indexOfMethod("VelScriptCancel(QThread*)") >= 0)
        QMetaObject::invokeMethod(object, AddInCancelMethod, Qt::DirectConnection,
                                  Q_ARG(QThread*, &m_memberThread));
}

} // namespace velscript::hosting

namespace velscript {

UnansweredCallHandler setUnansweredCallHandler(UnansweredCallHandler handler)
{
    const std::lock_guard lock(hosting::handlerMutex);
    return std::exchange(hosting::unansweredHandler, std::move(handler));
}

} // namespace velscript
