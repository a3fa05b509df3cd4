#include "lang/operators.h"

#include "lang/conversions.h"
#include "lang/dates.h"
#include "lang/errors.h"
#include "lang/host.h"

#include <cmath>

namespace velscript::lang {
namespace {

Value checkedDouble(double value)
{
    if (std::isinf(value))
        throw RuntimeError(ErrorNumber::Overflow);
    return Value(value);
}

Value arithmetic(BinaryOp op, const Value& leftValue, const Value& rightValue)
{
    const Value left = toNumber(leftValue);
    const Value right = toNumber(rightValue);
    if (left.isInteger() && right.isInteger()) {
        // A result that leaves the 32-bit integers widens to a Double, as in the dialect: the
        // exact result in 64 bits, which a Double holds exactly up to 2^53.
        const std::int32_t a = left.integer();
        const std::int32_t b = right.integer();
        std::int32_t result = 0;
        switch (op) {
        case BinaryOp::Add:
            if (__builtin_add_overflow(a, b, &result))
                return Value(double(std::int64_t(a) + b));
            return Value(result);
        case BinaryOp::Subtract:
            if (__builtin_sub_overflow(a, b, &result))
                return Value(double(std::int64_t(a) - b));
            return Value(result);
        case BinaryOp::Multiply:
            if (__builtin_mul_overflow(a, b, &result))
                return Value(double(std::int64_t(a) * b));
            return Value(result);
        default:
            break;
        }
    }
    const double a = toDouble(left);
    const double b = toDouble(right);
    switch (op) {
    case BinaryOp::Add:
        return checkedDouble(a + b);
    case BinaryOp::Subtract:
        return checkedDouble(a - b);
    case BinaryOp::Multiply:
        return checkedDouble(a * b);
    case BinaryOp::Divide:
        if (b == 0)
            throw RuntimeError(ErrorNumber::DivisionByZero);
        return checkedDouble(a / b);
    case BinaryOp::Power: {
        const double result = std::pow(a, b);
        if (std::isnan(result))
            throw RuntimeError(ErrorNumber::InvalidCall);
        return checkedDouble(result);
    }
    default:
        break;
    }
    throw RuntimeError(ErrorNumber::TypeMismatch);
}

Value integerDivision(BinaryOp op, const Value& left, const Value& right)
{
    const std::int32_t a = toInt32(left);
    const std::int32_t b = toInt32(right);
    if (b == 0)
        throw RuntimeError(ErrorNumber::DivisionByZero);
    if (a == INT32_MIN && b == -1) {
        if (op == BinaryOp::Mod)
            return Value(std::int32_t(0));
        throw RuntimeError(ErrorNumber::Overflow);
    }
    return Value(op == BinaryOp::Mod ? a % b : a / b);
}

Value comparison(BinaryOp op, const Value& left, const Value& right)
{
    const int order = compareValues(left, right);
    switch (op) {
    case BinaryOp::Equal:
        return Value(order == 0);
    case BinaryOp::NotEqual:
        return Value(order != 0);
    case BinaryOp::Less:
        return Value(order < 0);
    case BinaryOp::Greater:
        return Value(order > 0);
    case BinaryOp::LessEqual:
        return Value(order <= 0);
    default:
        return Value(order >= 0);
    }
}

// And, Or and Xor: logical on two Booleans, bitwise on integers. Null stays Null unless the
// other side decides the result (Null And False is False, Null Or True is True).
Value logical(BinaryOp op, const Value& left, const Value& right)
{
    if (left.isNull() || right.isNull()) {
        const Value& other = left.isNull() ? right : left;
        if (!other.isNull()) {
            const std::int32_t bits = toInt32(other);
            if (op == BinaryOp::And && bits == 0)
                return other.type() == Type::Boolean ? Value(false) : Value(std::int32_t(0));
            if (op == BinaryOp::Or && bits == -1)
                return other.type() == Type::Boolean ? Value(true) : Value(std::int32_t(-1));
        }
        return Value::null();
    }
    if (left.type() == Type::Boolean && right.type() == Type::Boolean) {
        const bool a = left.boolean();
        const bool b = right.boolean();
        return Value(op == BinaryOp::And ? (a && b) : op == BinaryOp::Or ? (a || b) : (a != b));
    }
    const std::int32_t a = toInt32(left);
    const std::int32_t b = toInt32(right);
    return Value(op == BinaryOp::And ? (a & b) : op == BinaryOp::Or ? (a | b) : (a ^ b));
}

int sign(double value)
{
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

} // namespace

int compareValues(const Value& left, const Value& right)
{
    if (left.isArray() || right.isArray())
        throw RuntimeError(ErrorNumber::TypeMismatch);
    if (left.isString() && right.isString())
        return sign(left.string().compare(right.string()));
    if (left.isString() || right.isString()) {
        // A text against a number compares as numbers when the text reads as one, else as texts.
        const Value& text = left.isString() ? left : right;
        const Value& other = left.isString() ? right : left;
        if (other.isEmpty())
            return sign(toText(left).compare(toText(right)));
        if (const auto number = parseNumber(text.string())) {
            const double a = left.isString() ? *number : toDouble(left);
            const double b = right.isString() ? *number : toDouble(right);
            return sign(a - b);
        }
        return sign(toText(left).compare(toText(right)));
    }
    if (left.isInteger() && right.isInteger())
        return left.integer() < right.integer() ? -1 : left.integer() > right.integer() ? 1 : 0;
    const double a = toDouble(left);
    const double b = toDouble(right);
    return a < b ? -1 : a > b ? 1 : 0;
}

bool isTrue(const Value& value)
{
    if (value.type() == Type::Boolean)
        return value.boolean();
    if (value.isNull())
        return false;
    return toBool(plainValue(value));
}

Value binary(BinaryOp op, const Value& leftIn, const Value& rightIn)
{
    if (op == BinaryOp::Is) {
        if (!leftIn.isObject() || !rightIn.isObject())
            throw RuntimeError(ErrorNumber::ObjectRequired);
        return Value(leftIn.object() == rightIn.object());
    }
    const Value left = plainValue(leftIn);
    const Value right = plainValue(rightIn);
    if (op == BinaryOp::Concat) {
        if (left.isNull() && right.isNull())
            return Value::null();
        QString text = left.isNull() ? QString() : toText(left);
        text += right.isNull() ? QString() : toText(right);
        return Value(std::move(text));
    }
    if (op == BinaryOp::And || op == BinaryOp::Or || op == BinaryOp::Xor)
        return logical(op, left, right);
    if (left.isNull() || right.isNull())
        return Value::null();
    if ((left.isDate() || right.isDate()) && (op == BinaryOp::Add || op == BinaryOp::Subtract)) {
        // A date moves by a number of days; two dates are apart by one.
        const double a = toDouble(left);
        const double b = toDouble(right);
        if (op == BinaryOp::Subtract && left.isDate() && right.isDate())
            return Value(a - b);
        return checkedDate(op == BinaryOp::Add ? a + b : a - b);
    }
    switch (op) {
    case BinaryOp::Add:
        if ((left.isString() || left.isEmpty()) && (right.isString() || right.isEmpty()) &&
            !(left.isEmpty() && right.isEmpty()))
            return Value(toText(left) + toText(right));
        return arithmetic(op, left, right);
    case BinaryOp::Subtract:
    case BinaryOp::Multiply:
    case BinaryOp::Divide:
    case BinaryOp::Power:
        return arithmetic(op, left, right);
    case BinaryOp::IntDivide:
    case BinaryOp::Mod:
        return integerDivision(op, left, right);
    default:
        return comparison(op, left, right);
    }
}

Value unary(UnaryOp op, const Value& operandIn)
{
    const Value operand = plainValue(operandIn);
    if (operand.isNull())
        return operand;
    if (op == UnaryOp::Not) {
        if (operand.type() == Type::Boolean)
            return Value(!operand.boolean());
        return Value(~toInt32(operand));
    }
    const Value number = toNumber(operand);
    if (op == UnaryOp::Plus)
        return number;
    if (number.isInteger()) {
        // The one integer whose negation leaves the integers widens to a Double.
        if (number.integer() == INT32_MIN)
            return Value(-double(INT32_MIN));
        return Value(-number.integer());
    }
    return Value(-number.number());
}

} // namespace velscript::lang
