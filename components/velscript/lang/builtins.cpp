#include "lang/builtins.h"

#include "lang/conversions.h"
#include "lang/errors.h"
#include "lang/machine.h"
#include "lang/name_map.h"

// Log and Sleep, arrays, conversions and type tests; the table of all built-ins.

namespace velscript::lang {
namespace {

using Args = std::span<const Value>;

Value logEntry(Machine& machine, Args args)
{
    machine.host.log(toText(plainValue(args[0])));
    return Value();
}

Value sleepFor(Machine& machine, Args args)
{
    const std::int32_t ms = toInt32(args[0]);
    if (ms < 0)
        throw RuntimeError(ErrorNumber::InvalidCall);
    machine.sleep(ms);
    return Value();
}

Value makeArray(Machine& machine, Args args)
{
    machine.checkArrayLength(qint64(args.size()));
    return Value(std::vector<Value>(args.begin(), args.end()));
}

// The array and which of its dimensions (from 1) a bound is asked of.
std::pair<const Value&, size_t> arrayDimension(Args args)
{
    if (!args[0].isArray())
        throw RuntimeError(ErrorNumber::TypeMismatch);
    const std::int32_t dimension = args.size() > 1 ? toInt32(args[1]) : 1;
    if (dimension < 1 || size_t(dimension) > args[0].dimensions())
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
    return {args[0], size_t(dimension - 1)};
}

Value upperBound(Machine&, Args args)
{
    const auto [array, dimension] = arrayDimension(args);
    return Value(array.extent(dimension) - 1);
}

Value lowerBound(Machine&, Args args)
{
    arrayDimension(args);
    return Value(std::int32_t(0));
}

Value toStringValue(Machine&, Args args)
{
    return Value(toText(plainValue(args[0])));
}

Value toInteger(Machine&, Args args)
{
    return Value(toInt32(plainValue(args[0])));
}

Value toDoubleValue(Machine&, Args args)
{
    return Value(toDouble(plainValue(args[0])));
}

Value toBoolean(Machine&, Args args)
{
    return Value(toBool(plainValue(args[0])));
}

Value isEmptyValue(Machine&, Args args)
{
    return Value(args[0].isEmpty());
}

Value isNullValue(Machine&, Args args)
{
    return Value(args[0].isNull());
}

Value isNumericValue(Machine&, Args args)
{
    const Value& v = args[0];
    if (v.isString())
        return Value(parseNumber(v.string()).has_value());
    return Value(v.isNumeric());
}

Value isArrayValue(Machine&, Args args)
{
    return Value(args[0].isArray());
}

Value isObjectValue(Machine&, Args args)
{
    return Value(args[0].isObject());
}

Value typeNameOf(Machine&, Args args)
{
    return Value(typeName(args[0]));
}

std::int32_t varType(const Value& value)
{
    switch (value.type()) {
    case Type::Empty:
        return 0;
    case Type::Null:
        return 1;
    case Type::Integer:
        return 3;
    case Type::Double:
        return 5;
    case Type::Date:
        return 7;
    case Type::String:
        return 8;
    case Type::Boolean:
        return 11;
    case Type::Array:
        return 8192 + 12; // an array of Variants
    case Type::Object:
        break;
    case Type::Reference:
        return varType(*value.target());
    }
    if (value.isNothing())
        return 9;
    // An object with a default value answers that value's type, as Err answers its Number's.
    try {
        const Value plain = value.object()->defaultValue();
        return plain.isObject() ? 9 : varType(plain);
    } catch (const RuntimeError& error) {
        if (error.number() != ErrorNumber::UnsupportedMember)
            throw;
    }
    return 9;
}

Value varTypeOf(Machine&, Args args)
{
    return Value(varType(args[0]));
}

constexpr BuiltinDef core[] = {
    {"Log", 1, 1, logEntry},
    {"Sleep", 1, 1, sleepFor},
    {"Array", 0, -1, makeArray},
    {"UBound", 1, 2, upperBound},
    {"LBound", 1, 2, lowerBound},
    {"CStr", 1, 1, toStringValue},
    {"CInt", 1, 1, toInteger},
    {"CLng", 1, 1, toInteger},
    {"CDbl", 1, 1, toDoubleValue},
    {"CBool", 1, 1, toBoolean},
    {"IsEmpty", 1, 1, isEmptyValue},
    {"IsNull", 1, 1, isNullValue},
    {"IsNumeric", 1, 1, isNumericValue},
    {"IsArray", 1, 1, isArrayValue},
    {"IsObject", 1, 1, isObjectValue},
    {"TypeName", 1, 1, typeNameOf},
    {"VarType", 1, 1, varTypeOf},
};

struct Registry {
    std::vector<BuiltinDef> all;
    NameMap<int> byName; // made at the first load, which may be while memory runs out
};

const Registry& registry()
{
    static const Registry instance = [] {
        Registry r;
        for (auto group : {coreBuiltins(), textBuiltins(), mathBuiltins(), formatBuiltins(),
                           dateBuiltins(), dateArithmeticBuiltins(), codeBuiltins()}) {
            for (const BuiltinDef& def : group) {
                r.byName.emplace(QString::fromLatin1(def.name).toLower(), int(r.all.size()));
                r.all.push_back(def);
            }
        }
        return r;
    }();
    return instance;
}

} // namespace

std::span<const BuiltinDef> coreBuiltins()
{
    return core;
}

int findBuiltin(const QString& name)
{
    return valueOr(registry().byName, name.toLower(), -1);
}

const BuiltinDef& builtinAt(int index)
{
    return registry().all[size_t(index)];
}

} // namespace velscript::lang
