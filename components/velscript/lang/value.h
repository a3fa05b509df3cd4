#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace velscript::lang {

class HostObject;
struct ArrayData;
struct StringData;
struct ObjectData;

enum class Type : std::uint8_t {
    Empty,
    Null,
    Boolean,
    Integer,
    Double,
    String,
    Array,
    Object, // a host object, or Nothing
    // Internal: the slot of a by-reference parameter, pointing at the caller's variable.
    Reference,
    Date, // a date serial (see dates.h), held as a double
};

// A script value: a tag and one machine word. Texts, arrays and objects are counted and shared;
// an array is copied before a shared one is changed, so assignment keeps value semantics.
// Values belong to one thread at a time (the counts are not atomic).
class Value {
public:
    Value() noexcept { m_u.integer = 0; }
    Value(bool b) noexcept : m_type(Type::Boolean) { m_u.boolean = b; }
    Value(std::int32_t i) noexcept : m_type(Type::Integer) { m_u.integer = i; }
    Value(double d) noexcept : m_type(Type::Double) { m_u.number = d; }
    Value(const QString& text);
    Value(QString&& text);
    Value(const char*) = delete;
    explicit Value(std::vector<Value> items);
    // An array of several dimensions, each EXTENTS[d] elements long, its items in one list with
    // the first index running fastest.
    Value(std::vector<Value> items, std::vector<std::int32_t> extents);
    explicit Value(std::shared_ptr<HostObject> object);

    static Value date(double serial) noexcept
    {
        Value v(serial);
        v.m_type = Type::Date;
        return v;
    }
    static Value null() noexcept
    {
        Value v;
        v.m_type = Type::Null;
        return v;
    }
    static Value nothing() noexcept
    {
        Value v;
        v.m_type = Type::Object;
        v.m_u.object = nullptr;
        return v;
    }
    static Value reference(Value* target) noexcept
    {
        Value v;
        v.m_type = Type::Reference;
        v.m_u.target = target;
        return v;
    }

    Value(const Value& other) noexcept : m_type(other.m_type), m_u(other.m_u) { retain(); }
    Value(Value&& other) noexcept : m_type(other.m_type), m_u(other.m_u)
    {
        other.m_type = Type::Empty;
    }
    Value& operator=(const Value& other) noexcept
    {
        Value copy(other);
        swap(copy);
        return *this;
    }
    Value& operator=(Value&& other) noexcept
    {
        Value moved(std::move(other));
        swap(moved);
        return *this;
    }
    ~Value() { release(); }

    void swap(Value& other) noexcept
    {
        std::swap(m_type, other.m_type);
        std::swap(m_u, other.m_u);
    }

    Type type() const { return m_type; }
    bool isEmpty() const { return m_type == Type::Empty; }
    bool isNull() const { return m_type == Type::Null; }
    bool isInteger() const { return m_type == Type::Integer; }
    bool isString() const { return m_type == Type::String; }
    bool isArray() const { return m_type == Type::Array; }
    bool isDate() const { return m_type == Type::Date; }
    bool isObject() const { return m_type == Type::Object; }
    bool isNothing() const { return m_type == Type::Object && !m_u.object; }
    bool isReference() const { return m_type == Type::Reference; }
    // Empty, Boolean, Integer and Double take part in arithmetic without parsing.
    bool isNumeric() const { return m_type != Type::Null && m_type <= Type::Double; }

    bool boolean() const { return m_u.boolean; }
    std::int32_t integer() const { return m_u.integer; }
    double number() const { return m_u.number; }
    const QString& string() const;
    const std::vector<Value>& array() const;
    // The array's items, copied first if another value shares them.
    std::vector<Value>& mutableArray();
    // How many dimensions the array has, and how many elements along one of them.
    size_t dimensions() const;
    std::int32_t extent(size_t dimension) const;
    // Gives the array, which holds as many items as the product, new extents.
    void setExtents(std::vector<std::int32_t> extents);
    bool fixedSize() const;
    void setFixedSize();
    HostObject* object() const;
    std::shared_ptr<HostObject> objectRef() const;
    Value* target() const { return m_u.target; }

    // For a value that holds a text: appends in place when this value holds the only reference to
    // it (the cheap path of `s = s & x`), otherwise makes this value a new text.
    void appendText(const QString& text);

private:
    void retain() const noexcept;
    void release() noexcept;
    void releaseShared() noexcept;
    static void freeArray(ArrayData* array) noexcept;

    Type m_type = Type::Empty;
    union {
        bool boolean;
        std::int32_t integer;
        double number;
        StringData* string;
        ArrayData* array;
        ObjectData* object;
        Value* target;
    } m_u;
};

struct StringData {
    int refs = 1;
    QString text;
};

struct ArrayData {
    int refs = 1;
    std::vector<Value> items;
    std::vector<std::int32_t> extents; // with two dimensions or more; none for one
    bool fixedSize = false;            // declared with its bounds by Dim
};

struct ObjectData {
    int refs = 1;
    std::shared_ptr<HostObject> object;
};

inline void Value::retain() const noexcept
{
    switch (m_type) {
    case Type::String:
        ++m_u.string->refs;
        break;
    case Type::Array:
        ++m_u.array->refs;
        break;
    case Type::Object:
        if (m_u.object)
            ++m_u.object->refs;
        break;
    default:
        break;
    }
}

// Plain values own nothing: the check stays inline, the counted kinds are released out of line.
inline void Value::release() noexcept
{
    if (m_type >= Type::String && m_type <= Type::Object)
        releaseShared();
}

inline const QString& Value::string() const
{
    return m_u.string->text;
}

inline const std::vector<Value>& Value::array() const
{
    return m_u.array->items;
}

inline bool Value::fixedSize() const
{
    return m_u.array->fixedSize;
}

inline void Value::setFixedSize()
{
    m_u.array->fixedSize = true;
}

inline size_t Value::dimensions() const
{
    return m_u.array->extents.empty() ? 1 : m_u.array->extents.size();
}

inline std::int32_t Value::extent(size_t dimension) const
{
    return m_u.array->extents.empty() ? std::int32_t(m_u.array->items.size())
                                      : m_u.array->extents[dimension];
}

} // namespace velscript::lang
