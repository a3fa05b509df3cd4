#include "engine_kit/add_in_dispatch.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QPointer>

#include <array>
#include <optional>
#include <variant>
#include <vector>

namespace velscript {

namespace {

// As many arguments as a meta-object call passes.
constexpr int MaxArguments = 10;

bool sameName(const char* declared, const QString& name)
{
    return QString::fromLatin1(declared).compare(name, Qt::CaseInsensitive) == 0;
}

// The engine's own call to cut a call short is no member for scripts, whoever answers the call.
bool isCancel(const QString& name)
{
    return sameName(AddInCancelMethod, name);
}

std::optional<QMetaProperty> findProperty(const QMetaObject& meta, const QString& name)
{
    for (int i = 0; i < meta.propertyCount(); ++i) {
        if (sameName(meta.property(i).name(), name))
            return meta.property(i);
    }
    return std::nullopt;
}

// A value for a parameter of type `type`; QVariant parameters take it as it is.
std::optional<QVariant> forParameter(const QVariant& value, QMetaType type)
{
    if (type == QMetaType::fromType<QVariant>())
        return value;
    if (!value.isValid())
        return QVariant(type);
    QVariant converted = value;
    if (!converted.convert(type))
        return std::nullopt;
    return converted;
}

bool takesRest(const QMetaMethod& method)
{
    const int count = method.parameterCount();
    return count > 0 && method.parameterMetaType(count - 1) == QMetaType::fromType<QVariantList>();
}

// The method a script's call of NAME with COUNT arguments reaches, or the failure it answers.
std::variant<QMetaMethod, MemberError> findMethod(const QMetaObject& meta, const QString& name,
                                                  qsizetype count)
{
    if (isCancel(name))
        return MemberError::UnsupportedMember;
    bool named = false;
    for (int i = 0; i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.access() != QMetaMethod::Public || method.methodType() == QMetaMethod::Signal ||
            !sameName(method.name(), name))
            continue;
        named = true;
        const int parameters = method.parameterCount();
        if (count == parameters || (takesRest(method) && count >= parameters - 1))
            return method;
    }
    return named ? MemberError::WrongArgumentCount : MemberError::UnsupportedMember;
}

QVariant callMethod(QObject* object, const QMetaMethod& method, const std::vector<QVariant>& values,
                    const QString& name)
{
    std::array<QGenericArgument, MaxArguments> arguments;
    for (int i = 0; i < method.parameterCount(); ++i) {
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
    // An object gone meanwhile is not called either.
    if (!method.invoke(object, Qt::DirectConnection, returnArgument, arguments[0], arguments[1],
                       arguments[2], arguments[3], arguments[4], arguments[5], arguments[6],
                       arguments[7], arguments[8], arguments[9]))
        return QVariant::fromValue(AddInError{
            AddInFailedNumber, QStringLiteral("The method %1 could not be called.").arg(name)});
    return returned;
}

// The call of an object that answers by-name calls itself, made only while the object exists.
std::function<QVariant()> dispatched(QObject& object, AddInDispatch& dispatch, const QString& name,
                                     std::function<QVariant(AddInDispatch&)> call)
{
    return [guard = QPointer<QObject>(&object), &dispatch, name,
            call = std::move(call)]() -> QVariant {
        if (!guard)
            return QVariant::fromValue(AddInError{
                AddInFailedNumber,
                QStringLiteral("The object is gone: its member %1 cannot be reached.").arg(name)});
        return call(dispatch);
    };
}

} // namespace

QVariant memberError(MemberError error)
{
    QString description;
    switch (error) {
    case MemberError::TypeMismatch:
        description = QStringLiteral("Type mismatch");
        break;
    case MemberError::UnsupportedMember:
        description = QStringLiteral("Object doesn't support this property or method");
        break;
    case MemberError::WrongArgumentCount:
        description = QStringLiteral("Wrong number of arguments or invalid property assignment");
        break;
    }
    return QVariant::fromValue(AddInError{qint32(error), description});
}

MemberCall MemberCall::invoke(QObject& object, const QString& name, const QVariantList& arguments)
{
    if (auto* dispatch = qobject_cast<AddInDispatch*>(&object)) {
        if (isCancel(name))
            return MemberCall(memberError(MemberError::UnsupportedMember));
        return MemberCall(
            dispatched(object, *dispatch, name, [name, arguments](AddInDispatch& target) {
                return target.invokeMember(name, arguments);
            }));
    }
    const QMetaObject& meta = *object.metaObject();
    const auto found = findMethod(meta, name, arguments.size());
    if (const auto* error = std::get_if<MemberError>(&found)) {
        // A name without a method and without arguments may be a property: `x = db.Name()`.
        if (*error == MemberError::UnsupportedMember && arguments.isEmpty()) {
            if (const auto property = findProperty(meta, name); property && property->isReadable())
                return read(object, name);
        }
        return MemberCall(memberError(*error));
    }
    const QMetaMethod method = std::get<QMetaMethod>(found);
    const int count = method.parameterCount();
    if (count > MaxArguments)
        return MemberCall(memberError(MemberError::WrongArgumentCount));

    const bool rest = takesRest(method);
    auto values = std::vector<QVariant>(size_t(count));
    for (int i = 0; i < count; ++i) {
        if (rest && i == count - 1) {
            values[size_t(i)] = arguments.mid(i);
            continue;
        }
        const auto ready = forParameter(arguments[i], method.parameterMetaType(i));
        if (!ready)
            return MemberCall(memberError(MemberError::TypeMismatch));
        values[size_t(i)] = *ready;
    }
    return MemberCall([guard = QPointer<QObject>(&object), method, values = std::move(values),
                       name] { return callMethod(guard.data(), method, values, name); });
}

MemberCall MemberCall::read(QObject& object, const QString& name)
{
    if (auto* dispatch = qobject_cast<AddInDispatch*>(&object)) {
        if (isCancel(name))
            return MemberCall(memberError(MemberError::UnsupportedMember));
        return MemberCall(dispatched(object, *dispatch, name, [name](AddInDispatch& target) {
            return target.readMember(name);
        }));
    }
    const auto property = findProperty(*object.metaObject(), name);
    // A method without arguments reads like a property: `db.Count`.
    if (!property || !property->isReadable())
        return invoke(object, name, {});
    return MemberCall([guard = QPointer<QObject>(&object), property = *property] {
        return property.read(guard.data());
    });
}

MemberCall MemberCall::write(QObject& object, const QString& name, const QVariant& value)
{
    if (auto* dispatch = qobject_cast<AddInDispatch*>(&object)) {
        if (isCancel(name))
            return MemberCall(memberError(MemberError::UnsupportedMember));
        return MemberCall(dispatched(object, *dispatch, name, [name, value](AddInDispatch& target) {
            return target.writeMember(name, value);
        }));
    }
    const auto property = findProperty(*object.metaObject(), name);
    if (!property || !property->isWritable())
        return MemberCall(memberError(MemberError::UnsupportedMember));
    const auto ready = forParameter(value, property->metaType());
    if (!ready)
        return MemberCall(memberError(MemberError::TypeMismatch));
    return MemberCall([guard = QPointer<QObject>(&object), property = *property, ready = *ready] {
        return property.write(guard.data(), ready) ? QVariant()
                                                   : memberError(MemberError::TypeMismatch);
    });
}

QVariant MemberCall::run()
{
    return m_call ? m_call() : m_answer;
}

QVariant invokeMember(QObject& object, const QString& name, const QVariantList& arguments)
{
    return MemberCall::invoke(object, name, arguments).run();
}

QVariant readMember(QObject& object, const QString& name)
{
    return MemberCall::read(object, name).run();
}

QVariant writeMember(QObject& object, const QString& name, const QVariant& value)
{
    return MemberCall::write(object, name, value).run();
}

QString memberClassName(const QObject& object)
{
    if (const auto* dispatch = qobject_cast<const AddInDispatch*>(&object))
        return dispatch->memberClassName();
    return QString::fromLatin1(object.metaObject()->className());
}

bool isThreadSafe(const QObject& object)
{
    const QMetaObject* meta = object.metaObject();
    const int index = meta->indexOfClassInfo(AddInThreadSafeClassInfo);
    return index >= 0 &&
           QByteArray(meta->classInfo(index).value()).compare("true", Qt::CaseInsensitive) == 0;
}

} // namespace velscript
