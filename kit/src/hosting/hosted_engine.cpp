#include "hosting/hosted_engine.h"

#include "engine_kit/hosting.h"
#include "hosting/host_link.h"
#include "kit_logging.h"

#include <QDataStream>

namespace velscript::hosting {

std::unique_ptr<HostedEngine> HostedEngine::start(const QString& library, const QString& classId)
{
    auto link = std::make_unique<HostLink>(library, classId);
    if (!link->offersEngine())
        return nullptr;
    return std::unique_ptr<HostedEngine>(new HostedEngine(std::move(link)));
}

HostedEngine::HostedEngine(std::unique_ptr<HostLink> link) : m_link(std::move(link))
{
    m_link->setName(QStringLiteral("The VelScript engine"));
}

HostedEngine::~HostedEngine() = default;

void HostedEngine::setDisplayName(const QString& name)
{
    m_link->setName(name);
}

QString HostedEngine::className() const
{
    return m_link->className();
}

qint64 HostedEngine::processId() const
{
    return m_link->ended() ? 0 : m_link->processId();
}

Outcome HostedEngine::forward(Operation operation, QList<Variant>& arguments)
{
    m_endedDuringLastCall = false;
    const OperationInfo& about = info(operation);
    const QString member = QLatin1StringView(about.member);
    if (m_link->ended()) {
        // What a caller's own paths need from an engine that runs nothing.
        if (operation == Operation::StateGet)
            return Outcome::of(Variant(0));
        if (operation == Operation::Release)
            return Outcome();
        return Outcome::failedWith(QStringLiteral("%1 has ended (%2); release it and create a new "
                                                  "one.")
                                       .arg(m_link->name(), m_link->endCause()));
    }
    const QByteArray body = written([&](QDataStream& out) {
        out << quint8(operation);
        writeVariants(out, arguments, m_link->numbers());
    });
    // Wait is given its own time; only beyond it does an engine keep the caller waiting.
    std::chrono::milliseconds extra(0);
    if (operation == Operation::Wait && arguments.value(0).kind() == Variant::Kind::Integer)
        extra = std::chrono::milliseconds(std::max(0, arguments[0].integer()));
    const auto answer = m_link->request(Message::Call, body, member, extra);
    if (!answer) {
        m_endedDuringLastCall = true;
        if (m_link->endedByRequest())
            return Outcome::failedWith(
                QStringLiteral("%1 was ended during %2.").arg(m_link->name(), member), true);
        return Outcome::failedWith(QStringLiteral("%1 ended unexpectedly during %2 (%3).")
                                       .arg(m_link->name(), member, m_link->endCause()),
                                   true);
    }
    QDataStream in(*answer);
    bool foreign = false;
    const Outcome outcome = readOutcome(in, m_link->numbers(), foreign);
    const QList<Variant> after = readVariants(in, m_link->numbers(), foreign);
    if (in.status() != QDataStream::Ok || after.size() != arguments.size())
        return Outcome::failedWith(
            QStringLiteral("%1 answered %2 with what is no answer.").arg(m_link->name(), member));
    if (foreign)
        return Outcome::failedWith(QStringLiteral("%1 answered %2 with an object of its own "
                                                  "process, which cannot reach this one.")
                                       .arg(m_link->name(), member));
    arguments = after;
    return outcome;
}

int HostedEngine::scriptState()
{
    const auto answer =
        m_link->request(Message::ReadProperty,
                        written([](QDataStream& out) { out << QByteArray(ScriptStateProperty); }),
                        QString::fromLatin1(ScriptStateProperty), {});
    if (!answer)
        return 0; // an engine that ended runs nothing
    QDataStream in(*answer);
    bool foreign = false;
    const Outcome outcome = readOutcome(in, m_link->numbers(), foreign);
    if (outcome.failed || outcome.value.kind() != Variant::Kind::Integer) {
        qCWarning(lcKit).noquote()
            << m_link->name() << "answered no ScriptState:" << outcome.failure;
        return 0;
    }
    return outcome.value.integer();
}

} // namespace velscript::hosting

#include "moc_hosted_engine.cpp"
