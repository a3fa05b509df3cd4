#include "engine_kit/variant.h"

#include "engine_kit/failure.h"
#include "engine_kit/number_text.h"

#include <cmath>
#include <limits>

namespace velscript {

namespace {

Failure typeMismatch(Variant::Kind from, const char* to)
{
    const QString kind = kindName(from);
    const bool vowel = QStringLiteral("AEIOU").contains(kind.front());
    return Failure(
        QStringLiteral("Type mismatch: %1 %2 value cannot be used as %3.")
            .arg(vowel ? QStringLiteral("an") : QStringLiteral("a"), kind, QLatin1StringView(to)));
}

} // namespace

QString kindName(Variant::Kind kind)
{
    switch (kind) {
    case Variant::Kind::Empty:
        return QStringLiteral("Empty");
    case Variant::Kind::Null:
        return QStringLiteral("Null");
    case Variant::Kind::Missing:
        return QStringLiteral("Missing");
    case Variant::Kind::Boolean:
        return QStringLiteral("Boolean");
    case Variant::Kind::Integer:
        return QStringLiteral("Integer");
    case Variant::Kind::Double:
        return QStringLiteral("Double");
    case Variant::Kind::Text:
        return QStringLiteral("Text");
    case Variant::Kind::Object:
        return QStringLiteral("Object");
    }
    return QStringLiteral("unknown");
}

Boolean Variant::boolean() const
{
    switch (m_kind) {
    case Kind::Boolean:
        return std::get<Boolean>(m_value);
    case Kind::Integer:
        return toBoolean(std::get<qint32>(m_value) != 0);
    case Kind::Double:
        return toBoolean(std::get<double>(m_value) != 0.0);
    case Kind::Empty:
        return False;
    default:
        throw typeMismatch(m_kind, "a Boolean");
    }
}

qint32 Variant::integer() const
{
    switch (m_kind) {
    case Kind::Boolean:
        return std::get<Boolean>(m_value);
    case Kind::Integer:
        return std::get<qint32>(m_value);
    case Kind::Empty:
        return 0;
    case Kind::Double: {
        const double rounded = std::nearbyint(std::get<double>(m_value));
        if (!(rounded >= std::numeric_limits<qint32>::min() &&
              rounded <= std::numeric_limits<qint32>::max()))
            throw Failure(failures::overflow());
        return static_cast<qint32>(rounded);
    }
    default:
        throw typeMismatch(m_kind, "an integer");
    }
}

double Variant::number() const
{
    switch (m_kind) {
    case Kind::Double:
        return std::get<double>(m_value);
    case Kind::Boolean:
    case Kind::Integer:
    case Kind::Empty:
        return integer();
    default:
        throw typeMismatch(m_kind, "a number");
    }
}

ObjectRef Variant::object() const
{
    if (m_kind != Kind::Object)
        throw typeMismatch(m_kind, "an object");
    return std::get<ObjectRef>(m_value);
}

QString Variant::toText() const
{
    switch (m_kind) {
    case Kind::Empty:
        return QString();
    case Kind::Null:
        throw Failure(failures::nullHasNoText());
    case Kind::Boolean:
        return isTrue(std::get<Boolean>(m_value)) ? QStringLiteral("True")
                                                  : QStringLiteral("False");
    case Kind::Integer:
        return QString::number(std::get<qint32>(m_value));
    case Kind::Double:
        return numberText(std::get<double>(m_value));
    case Kind::Text:
        return std::get<QString>(m_value);
    case Kind::Missing:
    case Kind::Object:
        throw typeMismatch(m_kind, "a text");
    }
    return QString();
}

QVariant Variant::toQVariant() const
{
    switch (m_kind) {
    case Kind::Empty:
    case Kind::Missing:
        return QVariant();
    case Kind::Null:
        return QVariant::fromValue(nullptr);
    case Kind::Boolean:
        return QVariant(isTrue(std::get<Boolean>(m_value)));
    case Kind::Integer:
        return QVariant(std::get<qint32>(m_value));
    case Kind::Double:
        return QVariant(std::get<double>(m_value));
    case Kind::Text:
        return QVariant(std::get<QString>(m_value));
    case Kind::Object:
        return QVariant::fromValue(std::get<ObjectRef>(m_value).get());
    }
    return QVariant();
}

Variant Variant::fromQVariant(const QVariant& value)
{
    if (!value.isValid())
        return Variant();
    switch (value.metaType().id()) {
    case QMetaType::Nullptr:
        return Variant::null();
    case QMetaType::Bool:
        return fromBoolean(toBoolean(value.toBool()));
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return Variant(static_cast<qint32>(value.toInt()));
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const bool isUnsigned = value.metaType().id() == QMetaType::UInt ||
                                value.metaType().id() == QMetaType::ULong ||
                                value.metaType().id() == QMetaType::ULongLong;
        if (isUnsigned ? value.toULongLong() > quint64(std::numeric_limits<qint32>::max())
                       : (value.toLongLong() > std::numeric_limits<qint32>::max() ||
                          value.toLongLong() < std::numeric_limits<qint32>::min()))
            throw Failure(failures::overflow());
        return Variant(static_cast<qint32>(value.toLongLong()));
    }
    case QMetaType::Float:
    case QMetaType::Double:
        return Variant(value.toDouble());
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QChar:
        return Variant(value.toString());
    default:
        break;
    }
    throw Failure(QStringLiteral("Type mismatch: a value of type %1 has no Variant form.")
                      .arg(QLatin1StringView(value.metaType().name())));
}

bool Variant::operator==(const Variant& other) const
{
    return m_kind == other.m_kind && m_value == other.m_value;
}

} // namespace velscript
