#include "engine/add_in_bridge.h"

#include "engine/call_marshal.h"
#include "engine_kit/add_in.h"
#include "lang/conversions.h"
#include "lang/errors.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QThread>

#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace velscript::engine {

namespace {

// The number a script sees for an add-in failure that names none.
constexpr int AddInFailedNumber = 440;
constexpr int MaxArguments = 10;

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

// A value for a parameter of type `type`; QVariant parameters take it as it is.
std::optional<QVariant> forParameter(const QVariant& value, QMetaType type)
{
    if (type == QMetaType::fromType<QVariant>())
        return value;
    QVariant converted = value;
    if (!value.isValid())
        return QVariant(type);
    if (!converted.convert(type))
        return std::nullopt;
    return converted;
}

bool sameName(const QByteArray& declared, const QString& name)
{
    return QString::fromLatin1(declared).compare(name, Qt::CaseInsensitive) == 0;
}

std::optional<QMetaProperty> findProperty(const QMetaObject& meta, const QString& name)
{
    for (int i = 0; i < meta.propertyCount(); ++i) {
        if (sameName(meta.property(i).name(), name))
            return meta.property(i);
    }
    return std::nullopt;
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

bool AddInBridge::isThreadSafe(const QObject& object)
{
    const QMetaObject* meta = object.metaObject();
    const int index = meta->indexOfClassInfo(AddInThreadSafeClassInfo);
    return index >= 0 &&
           QByteArray(meta->classInfo(index).value()).compare("true", Qt::CaseInsensitive) == 0;
}

QString AddInBridge::typeName() const
{
    const QObject* object = m_watched.data();
    return object ? QString::fromLatin1(object->metaObject()->className())
                  : QStringLiteral("Nothing");
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

lang::Value AddInBridge::fromQVariant(const QVariant& value)
{
    if (!value.isValid())
        return lang::Value();
    if (value.metaType() == QMetaType::fromType<AddInError>()) {
        const auto error = value.value<AddInError>();
        throw lang::RuntimeError(error.number ? error.number : AddInFailedNumber,
                                 error.description);
    }
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
    const QMetaObject* meta = target()->metaObject();
    std::optional<QMetaMethod> chosen;
    bool named = false;
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        // The engine's own call to cut a call short is no method for scripts.
        if (method.access() != QMetaMethod::Public || method.methodType() == QMetaMethod::Signal ||
            !sameName(method.name(), name) ||
            sameName(method.name(), QString::fromLatin1(AddInCancelMethod)))
            continue;
        named = true;
        const int count = method.parameterCount();
        const bool rest =
            count > 0 && method.parameterMetaType(count - 1) == QMetaType::fromType<QVariantList>();
        if (qsizetype(args.size()) == count || (rest && qsizetype(args.size()) >= count - 1)) {
            chosen = method;
            break;
        }
    }
    if (!chosen) {
        if (!named && args.empty()) {
            if (const auto property = findProperty(*meta, name); property && property->isReadable())
                return getProperty(name);
        }
        throw lang::RuntimeError(named ? lang::ErrorNumber::WrongArgumentCount
                                       : lang::ErrorNumber::UnsupportedMember);
    }
    const QMetaMethod method = *chosen;
    const int count = method.parameterCount();
    if (count > MaxArguments)
        throw lang::RuntimeError(lang::ErrorNumber::WrongArgumentCount);

    // Arguments are made ready here, on the script's thread; only the call crosses over.
    const bool rest =
        count > 0 && method.parameterMetaType(count - 1) == QMetaType::fromType<QVariantList>();
    auto values = std::vector<QVariant>(size_t(count));
    for (int i = 0; i < count; ++i) {
        if (rest && i == count - 1) {
            QVariantList list;
            for (size_t j = size_t(i); j < args.size(); ++j)
                list.append(toQVariant(args[j]));
            values[size_t(i)] = list;
            continue;
        }
        const auto ready = forParameter(toQVariant(args[size_t(i)]), method.parameterMetaType(i));
        if (!ready)
            throw lang::RuntimeError(lang::ErrorNumber::TypeMismatch);
        values[size_t(i)] = *ready;
    }

    QVariant result;
    bool invoked = false;
    onObjectThread([&] {
        std::array<QGenericArgument, MaxArguments> arguments;
        for (int i = 0; i < count; ++i) {
            const QMetaType type = method.parameterMetaType(i);
            arguments[size_t(i)] =
                QGenericArgument(type.name(), type == QMetaType::fromType<QVariant>()
                                                  ? static_cast<const void*>(&values[size_t(i)])
                                                  : values[size_t(i)].constData());
        }
        const QMetaType returnType = method.returnMetaType();
        QVariant returned;
        QGenericReturnArgument returnArgument;
        if (returnType == QMetaType::fromType<QVariant>())
            returnArgument = QGenericReturnArgument("QVariant", &returned);
        else if (returnType.isValid() && returnType.id() != QMetaType::Void) {
            returned = QVariant(returnType);
            returnArgument = QGenericReturnArgument(returnType.name(), returned.data());
        }
        invoked =
            method.invoke(m_watched.data(), Qt::DirectConnection, returnArgument, arguments[0],
                          arguments[1], arguments[2], arguments[3], arguments[4], arguments[5],
                          arguments[6], arguments[7], arguments[8], arguments[9]);
        result = returned;
    });
    if (!invoked)
        throw lang::RuntimeError(AddInFailedNumber,
                                 QStringLiteral("The method %1 could not be called.").arg(name));
    return fromQVariant(result);
}

lang::Value AddInBridge::getProperty(const QString& name)
{
    const auto property = findProperty(*target()->metaObject(), name);
    if (!property || !property->isReadable()) {
        // A method without arguments reads like a property: `db.Count`.
        return call(name, {});
    }
    QVariant value;
    onObjectThread([&] { value = property->read(m_watched.data()); });
    return fromQVariant(value);
}

void AddInBridge::setProperty(const QString& name, const lang::Value& value)
{
    const auto property = findProperty(*target()->metaObject(), name);
    if (!property || !property->isWritable())
        throw lang::RuntimeError(lang::ErrorNumber::UnsupportedMember);
    const auto ready = forParameter(toQVariant(value), property->metaType());
    if (!ready)
        throw lang::RuntimeError(lang::ErrorNumber::TypeMismatch);
    bool written = false;
    onObjectThread([&] { written = property->write(m_watched.data(), *ready); });
    if (!written)
        throw lang::RuntimeError(lang::ErrorNumber::TypeMismatch);
}

} // namespace velscript::engine
