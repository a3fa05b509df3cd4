#include "lang/value.h"

#include "lang/errors.h"
#include "lang/host.h"

namespace velscript::lang {

Value::Value(const QString& text) : m_type(Type::String)
{
    m_u.string = new StringData{1, text};
}

Value::Value(QString&& text) : m_type(Type::String)
{
    m_u.string = new StringData{1, std::move(text)};
}

Value::Value(std::vector<Value> items) : m_type(Type::Array)
{
    m_u.array = new ArrayData{1, std::move(items), {}, false};
}

Value::Value(std::vector<Value> items, std::vector<std::int32_t> extents) : Value(std::move(items))
{
    if (extents.size() > 1)
        m_u.array->extents = std::move(extents);
}

void Value::setExtents(std::vector<std::int32_t> extents)
{
    mutableArray();
    m_u.array->extents = extents.size() > 1 ? std::move(extents) : std::vector<std::int32_t>();
}

Value::Value(std::shared_ptr<HostObject> object) : m_type(Type::Object)
{
    m_u.object = object ? new ObjectData{1, std::move(object)} : nullptr;
}

void Value::releaseShared() noexcept
{
    switch (m_type) {
    case Type::String:
        if (--m_u.string->refs == 0)
            delete m_u.string;
        break;
    case Type::Array:
        if (--m_u.array->refs == 0)
            freeArray(m_u.array);
        break;
    case Type::Object:
        if (m_u.object && --m_u.object->refs == 0)
            delete m_u.object;
        break;
    default:
        break;
    }
}

void Value::freeArray(ArrayData* array) noexcept
{
    // Arrays nest as deep as a script makes them (`a = Array(a, a)` in a loop). Freeing them by
    // recursion would need stack in proportion, so every nested array is released here: one whose
    // count drops to zero is taken out of its parent and freed after it, one shared with another
    // slot only loses a count. Nothing is left for the parent's destructor to free recursively.
    std::vector<ArrayData*> pending;
    while (true) {
        for (Value& item : array->items) {
            if (item.m_type != Type::Array)
                continue;
            item.m_type = Type::Empty;
            if (--item.m_u.array->refs == 0)
                pending.push_back(item.m_u.array);
        }
        delete array;
        if (pending.empty())
            return;
        array = pending.back();
        pending.pop_back();
    }
}

std::vector<Value>& Value::mutableArray()
{
    if (m_u.array->refs > 1) {
        auto* copy = new ArrayData{1, m_u.array->items, m_u.array->extents, m_u.array->fixedSize};
        --m_u.array->refs;
        m_u.array = copy;
    }
    return m_u.array->items;
}

HostObject* Value::object() const
{
    return m_u.object ? m_u.object->object.get() : nullptr;
}

std::shared_ptr<HostObject> Value::objectRef() const
{
    return m_u.object ? m_u.object->object : nullptr;
}

void Value::appendText(const QString& text)
{
    if (m_type == Type::String && m_u.string->refs == 1) {
        m_u.string->text.append(text);
        return;
    }
    *this = Value(string() + text);
}

Value HostObject::call(const QString& name, std::span<const Value> args)
{
    Q_UNUSED(name);
    Q_UNUSED(args);
    throw RuntimeError(ErrorNumber::UnsupportedMember);
}

Value HostObject::getProperty(const QString& name)
{
    Q_UNUSED(name);
    throw RuntimeError(ErrorNumber::UnsupportedMember);
}

void HostObject::setProperty(const QString& name, const Value& value)
{
    Q_UNUSED(name);
    Q_UNUSED(value);
    throw RuntimeError(ErrorNumber::UnsupportedMember);
}

Value HostObject::defaultValue()
{
    throw RuntimeError(ErrorNumber::UnsupportedMember);
}

} // namespace velscript::lang
