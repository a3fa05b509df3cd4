#include "engine/add_in_bridge.h"

#include "engine/call_marshal.h"
#include "engine_kit/add_in.h"
#include "engine_kit/add_in_dispatch.h"
#include "lang/conversions.h"
#include "lang/errors.h"

#include <QThread>

#include <cmath>
#include <limits>
#include <optional>

namespace velscript::engine {

namespace {

QVariant toQVariant(const lang::Value& value)
{
    switch (value.type()) {
    case lang::Type::Empty:
        return QVariant();
    case lang::Type::Null:
        return QVariant::fromValue(nullptr);
    case lang::Type::Boolean:
        return QVariant(value.boolean());
    case lang::Type::Integer:
        return QVariant(int(value.integer()));
    case lang::Type::Double:
        return QVariant(value.number());
    case lang::Type::String:
        return QVariant(value.string());
    case lang::Type::Date:
        return QVariant(lang::toText(value)); // as a script writes it, ISO 8601
    case lang::Type::Array: {
        QVariantList items;
        for (const lang::Value& item : value.array())
            items.append(toQVariant(item));
        return items;
    }
    case lang::Type::Object:
        if (auto* bridge = dynamic_cast<AddInBridge*>(value.object()))
            return QVariant::fromValue(bridge->object());
        return QVariant::fromValue(static_cast<QObject*>(nullptr));
    case lang::Type::Reference:
        return toQVariant(*value.target());
    }
    return QVariant();
}

} // namespace

AddInBridge::AddInBridge(ObjectRef owned, CallMarshal& marshal, std::function<bool()> stopRequested)
    : m_owned(std::move(owned)), m_watched(m_owned.get()), m_marshal(marshal),
      m_stopRequested(std::move(stopRequested)), m_threadSafe(isThreadSafe(*m_owned))
{}

AddInBridge::AddInBridge(QObject* watched, CallMarshal& marshal,
                         std::function<bool()> stopRequested)
    : m_watched(watched), m_marshal(marshal), m_stopRequested(std::move(stopRequested)),
      m_threadSafe(isThreadSafe(*watched))
{}

AddInBridge::~AddInBridge()
{
    // The last reference to an object must go on the object's own thread.
    QObject* raw = m_owned.get();
    if (raw && m_owned.use_count() == 1 && raw->thread() != QThread::currentThread())
        QMetaObject::invokeMethod(
            raw, [owned = std::move(m_owned)] {}, Qt::QueuedConnection);
}

QString AddInBridge::typeName() const
{
    const QObject* object = m_watched.data();
    return object ? memberClassName(*object) : QStringLiteral("Nothing");
}

QObject* AddInBridge::target() const
{
    QObject* object = m_watched.data();
    if (!object)
        throw lang::RuntimeError(lang::ErrorNumber::ObjectRequired);
    return object;
}

void AddInBridge::onObjectThread(const std::function<void()>& body)
{
    QObject* object = target();
    // A call that a stop would cut short is not begun, and one that was cut short ends the script
    // as the stop does, whatever On Error says.
    const auto stopping = [this] { return m_stopRequested && m_stopRequested(); };
    if (stopping())
        throw lang::StopRequest{};
    std::optional<lang::RuntimeError> failure;
    const auto guarded = [&body, &failure] {
        try {
            body();
        } catch (const lang::RuntimeError& error) {
            failure = error;
        }
    };
    if (m_threadSafe || object->thread() == QThread::currentThread()) {
        guarded();
    } else if (!object->thread()) {
        throw lang::RuntimeError(AddInFailedNumber,
                                 QStringLiteral("The object's thread has ended."));
    } else {
        if (!m_marshal.callOn(object, guarded, m_stopRequested))
            throw lang::StopRequest{};
    }
    if (failure && stopping())
        throw lang::StopRequest{};
    if (failure)
        throw *failure;
}

void AddInBridge::raiseIfFailed(const QVariant& answer)
{
    if (answer.metaType() == QMetaType::fromType<AddInError>()) {
        const auto error = answer.value<AddInError>();
        throw lang::RuntimeError(error.number ? error.number : AddInFailedNumber,
                                 error.description);
    }
}

lang::Value AddInBridge::fromQVariant(const QVariant& value)
{
    if (!value.isValid())
        return lang::Value();
    raiseIfFailed(value);
    switch (value.metaType().id()) {
    case QMetaType::Nullptr:
        return lang::Value::null();
    case QMetaType::Bool:
        return lang::Value(value.toBool());
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return lang::Value(std::int32_t(value.toInt()));
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const double number = value.toDouble();
        if (number >= std::numeric_limits<std::int32_t>::min() &&
            number <= std::numeric_limits<std::int32_t>::max())
            return lang::Value(std::int32_t(value.toLongLong()));
        return lang::Value(number);
    }
    case QMetaType::Float:
    case QMetaType::Double: {
        // A script's number is finite: an add-in's infinity or not-a-number does not fit it.
        const double number = value.toDouble();
        if (!std::isfinite(number))
            throw lang::RuntimeError(lang::ErrorNumber::Overflow);
        return lang::Value(number);
    }
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QChar:
        return lang::Value(value.toString());
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        std::vector<lang::Value> items;
        for (const QVariant& item : value.toList())
            items.push_back(fromQVariant(item));
        return lang::Value(std::move(items));
    }
    default:
        break;
    }
    if (value.metaType().flags() & QMetaType::PointerToQObject) {
        QObject* object = value.value<QObject*>();
        if (!object)
            return lang::Value::nothing();
        return lang::Value(std::make_shared<AddInBridge>(object, m_marshal, m_stopRequested));
    }
    if (value.canConvert<QString>())
        return lang::Value(value.toString());
    throw lang::RuntimeError(lang::ErrorNumber::TypeMismatch);
}

lang::Value AddInBridge::call(const QString& name, std::span<const lang::Value> args)
{
    QVariantList arguments;
    arguments.reserve(qsizetype(args.size()));
    for (const lang::Value& arg : args)
        arguments.append(toQVariant(arg));
    return fromQVariant(run(MemberCall::invoke(*target(), name, arguments)));
}

lang::Value AddInBridge::getProperty(const QString& name)
{
    return fromQVariant(run(MemberCall::read(*target(), name)));
}

void AddInBridge::setProperty(const QString& name, const lang::Value& value)
{
    // Only a failure matters in a write's answer.
    raiseIfFailed(run(MemberCall::write(*target(), name, toQVariant(value))));
}

QVariant AddInBridge::run(MemberCall call)
{
    // The call is made ready here, on the script's thread; only the call itself crosses over.
    QVariant result;
    if (call.callsObject())
        onObjectThread([&] { result = call.run(); });
    else
        result = call.run();
    return result;
}

} // namespace velscript::engine
