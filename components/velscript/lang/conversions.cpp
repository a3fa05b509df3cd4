#include "lang/conversions.h"

#include "lang/dates.h"
#include "lang/errors.h"
#include "lang/host.h"

#include "engine_kit/number_text.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace velscript::lang {

Value plainValue(const Value& value)
{
    if (value.isObject()) {
        if (value.isNothing())
            throw RuntimeError(ErrorNumber::ObjectRequired);
        return value.object()->defaultValue();
    }
    return value;
}

QString toText(const Value& value)
{
    switch (value.type()) {
    case Type::Empty:
        return QString();
    case Type::Null:
        throw RuntimeError(ErrorNumber::InvalidUseOfNull);
    case Type::Boolean:
        return value.boolean() ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Integer:
        return QString::number(value.integer());
    case Type::Double:
        return numberText(value.number());
    case Type::Date:
        return dateText(value.number());
    case Type::String:
        return value.string();
    case Type::Object:
        return toText(plainValue(value));
    case Type::Array:
    case Type::Reference:
        break;
    }
    throw RuntimeError(ErrorNumber::TypeMismatch);
}

std::optional<double> parseNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (trimmed.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        bool ok = false;
        const quint32 bits = trimmed.mid(2).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        return static_cast<double>(static_cast<std::int32_t>(bits));
    }
    bool ok = false;
    const double number = QLocale::c().toDouble(trimmed, &ok);
    // The C library's "nan" and "inf" read as numbers there; no value may hold them here.
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

Value toNumber(const Value& value)
{
    switch (value.type()) {
    case Type::Empty:
        return Value(std::int32_t(0));
    case Type::Boolean:
        return Value(std::int32_t(value.boolean() ? -1 : 0));
    case Type::Integer:
    case Type::Double:
        return value;
    case Type::Date:
        return Value(value.number());
    case Type::String:
        if (const auto number = parseNumber(value.string()))
            return Value(*number);
        throw RuntimeError(ErrorNumber::TypeMismatch);
    case Type::Null:
        throw RuntimeError(ErrorNumber::InvalidUseOfNull);
    case Type::Object:
        return toNumber(plainValue(value));
    case Type::Array:
    case Type::Reference:
        break;
    }
    throw RuntimeError(ErrorNumber::TypeMismatch);
}

double toDouble(const Value& value)
{
    if (value.type() == Type::Double)
        return value.number();
    if (value.type() == Type::Integer)
        return value.integer();
    const Value number = toNumber(value);
    return number.isInteger() ? number.integer() : number.number();
}

std::int32_t checkedInt32(double value)
{
    if (!(value >= -2147483648.0 && value <= 2147483647.0))
        throw RuntimeError(ErrorNumber::Overflow);
    return static_cast<std::int32_t>(value);
}

std::int32_t toInt32(const Value& value)
{
    if (value.isInteger())
        return value.integer();
    const double number = toDouble(value);
    if (std::isnan(number))
        throw RuntimeError(ErrorNumber::Overflow);
    return checkedInt32(std::nearbyint(number)); // the default rounding mode is half to even
}

bool toBool(const Value& value)
{
    switch (value.type()) {
    case Type::Boolean:
        return value.boolean();
    case Type::Integer:
        return value.integer() != 0;
    case Type::String:
        if (value.string().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (value.string().compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        return toDouble(value) != 0;
    default:
        return toDouble(value) != 0;
    }
}

QString typeName(const Value& value)
{
    switch (value.type()) {
    case Type::Empty:
        return QStringLiteral("Empty");
    case Type::Null:
        return QStringLiteral("Null");
    case Type::Boolean:
        return QStringLiteral("Boolean");
    case Type::Integer:
        return QStringLiteral("Long");
    case Type::Double:
        return QStringLiteral("Double");
    case Type::Date:
        return QStringLiteral("Date");
    case Type::String:
        return QStringLiteral("String");
    case Type::Array:
        return QStringLiteral("Variant()");
    case Type::Object:
        return value.isNothing() ? QStringLiteral("Nothing") : value.object()->typeName();
    case Type::Reference:
        break;
    }
    return QStringLiteral("Unknown");
}

} // namespace velscript::lang
