#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <memory>
#include <variant>

class QObject;

namespace velscript {

// The engine family's Boolean: 16 bits, true is -1. Only exactly -1 counts as true.
using Boolean = qint16;
inline constexpr Boolean True = -1;
inline constexpr Boolean False = 0;

inline bool isTrue(Boolean value)
{
    return value == True;
}
inline Boolean toBoolean(bool value)
{
    return value ? True : False;
}

// A counted reference to a component instance; an instance ends with its last reference.
using ObjectRef = std::shared_ptr<QObject>;

// A tagged value as the engine interface passes it: empty, null, an omitted optional argument,
// a Boolean, a 32-bit integer, a double, a text or an object reference.
class Variant {
public:
    enum class Kind { Empty, Null, Missing, Boolean, Integer, Double, Text, Object };

    Variant() = default;
    static Variant null() { return Variant(Kind::Null); }
    static Variant missing() { return Variant(Kind::Missing); }
    static Variant fromBoolean(Boolean value) { return Variant(Kind::Boolean, value); }
    Variant(qint32 value) : m_kind(Kind::Integer), m_value(value) {}
    Variant(double value) : m_kind(Kind::Double), m_value(value) {}
    Variant(QString value) : m_kind(Kind::Text), m_value(std::move(value)) {}
    Variant(const char* value) : Variant(QString::fromUtf8(value)) {}
    Variant(ObjectRef value) : m_kind(Kind::Object), m_value(std::move(value)) {}

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isNull() const { return m_kind == Kind::Null; }
    bool isMissing() const { return m_kind == Kind::Missing; }

    Boolean boolean() const;
    qint32 integer() const;
    double number() const;
    ObjectRef object() const;

    // The text form shown in the window: a text unchanged, numbers in decimal (a double as
    // numberText writes it, as a script's Log does), Booleans as "True"/"False", empty as "".
    // A null value, an omitted argument and an object have none and fail.
    QString toText() const;

    // Crossing the meta-object boundary: by-name properties and script host objects.
    QVariant toQVariant() const;
    static Variant fromQVariant(const QVariant& value);

    bool operator==(const Variant& other) const;

private:
    using Storage = std::variant<std::monostate, Boolean, qint32, double, QString, ObjectRef>;
    Variant(Kind kind, Storage value = {}) : m_kind(kind), m_value(std::move(value)) {}

    Kind m_kind = Kind::Empty;
    Storage m_value;
};

QString kindName(Variant::Kind kind);

} // namespace velscript
