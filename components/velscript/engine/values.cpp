#include "engine/values.h"

#include "lang/conversions.h"

namespace velscript::engine {

Variant toVariant(const lang::Value& value)
{
    switch (value.type()) {
    case lang::Type::Empty:
        return Variant();
    case lang::Type::Null:
        return Variant::null();
    case lang::Type::Boolean:
        return Variant::fromBoolean(toBoolean(value.boolean()));
    case lang::Type::Integer:
        return Variant(qint32(value.integer()));
    case lang::Type::Double:
        return Variant(value.number());
    case lang::Type::String:
        return Variant(value.string());
    case lang::Type::Date:
        // The interface has no date: the window shows a date as the script writes it.
        return Variant(lang::toText(value));
    case lang::Type::Reference:
        return toVariant(*value.target());
    case lang::Type::Array:
    case lang::Type::Object:
        break;
    }
    return Variant(lang::typeName(value));
}

lang::Value toValue(const Variant& value)
{
    switch (value.kind()) {
    case Variant::Kind::Null:
        return lang::Value::null();
    case Variant::Kind::Boolean:
        return lang::Value(isTrue(value.boolean()));
    case Variant::Kind::Integer:
        return lang::Value(std::int32_t(value.integer()));
    case Variant::Kind::Double:
        return lang::Value(value.number());
    case Variant::Kind::Text:
        return lang::Value(value.toText());
    case Variant::Kind::Empty:
    case Variant::Kind::Missing:
    case Variant::Kind::Object:
        break;
    }
    return lang::Value();
}

} // namespace velscript::engine
