#include "lang/errors.h"

namespace velscript::lang {

QString errorDescription(int number)
{
    switch (number) {
    case ErrorNumber::InvalidCall:
        return QStringLiteral("Invalid procedure call or argument");
    case ErrorNumber::Overflow:
        return QStringLiteral("Overflow");
    case ErrorNumber::OutOfMemory:
        return QStringLiteral("Out of memory");
    case ErrorNumber::SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case ErrorNumber::ArrayFixedOrLocked:
        return QStringLiteral("This array is fixed or temporarily locked");
    case ErrorNumber::DivisionByZero:
        return QStringLiteral("Division by zero");
    case ErrorNumber::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case ErrorNumber::OutOfStackSpace:
        return QStringLiteral("Out of stack space");
    case ErrorNumber::SubOrFunctionNotDefined:
        return QStringLiteral("Sub or Function not defined");
    case ErrorNumber::InvalidUseOfNull:
        return QStringLiteral("Invalid use of Null");
    case ErrorNumber::ObjectRequired:
        return QStringLiteral("Object required");
    case ErrorNumber::UnsupportedMember:
        return QStringLiteral("Object doesn't support this property or method");
    case ErrorNumber::WrongArgumentCount:
        return QStringLiteral("Wrong number of arguments or invalid property assignment");
    case ErrorNumber::ObjectNotCollection:
        return QStringLiteral("Object not a collection");
    case ErrorNumber::VariableUndefined:
        return QStringLiteral("Variable is undefined");
    case ErrorNumber::IllegalAssignment:
        return QStringLiteral("Illegal assignment");
    default:
        return QStringLiteral("Unknown runtime error");
    }
}

QString ScriptError::text() const
{
    if (kind == Kind::Syntax)
        return QStringLiteral("Syntax error at column %1: %2").arg(column).arg(description);
    return QStringLiteral("Run-time error %1: %2").arg(number).arg(description);
}

} // namespace velscript::lang
