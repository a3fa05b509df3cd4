#include "lang/errors.h"

#include <QStringList>

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
    case ErrorNumber::ClassNotDefined:
        return QStringLiteral("Class not defined");
    case ErrorNumber::SyntaxErrorInText:
        return QStringLiteral("Syntax error");
    default:
        return QStringLiteral("Unknown runtime error");
    }
}

ScriptError syntaxError(const QString& description, int line, int column)
{
    ScriptError error;
    error.kind = ScriptError::Kind::Syntax;
    error.description = description;
    error.line = line;
    error.column = column;
    return error;
}

ScriptError runtimeError(int number, const QString& description, int line,
                         std::vector<CallFrame> frames)
{
    ScriptError error;
    error.kind = ScriptError::Kind::Runtime;
    error.number = number;
    error.description = description;
    error.line = line;
    error.frames = std::move(frames);
    return error;
}

ScriptError outOfMemory()
{
    return runtimeError(ErrorNumber::OutOfMemory, errorDescription(ErrorNumber::OutOfMemory), 0);
}

namespace {

// "Run-time error 11" or "Syntax error", and where: the line only in the log, which has no
// other place for it.
QString headline(const ScriptError& error, bool withLine)
{
    if (error.kind == ScriptError::Kind::Syntax)
        return withLine ? QStringLiteral("Syntax error at line %1, column %2: %3")
                              .arg(error.line)
                              .arg(error.column)
                              .arg(error.description)
                        : QStringLiteral("Syntax error at column %1: %2")
                              .arg(error.column)
                              .arg(error.description);
    return withLine
               ? QStringLiteral("Run-time error %1 at line %2: %3")
                     .arg(error.number)
                     .arg(error.line)
                     .arg(error.description)
               : QStringLiteral("Run-time error %1: %2").arg(error.number).arg(error.description);
}

QString logEntry(const ScriptError& error)
{
    QString entry = headline(error, true);
    // One frame is the line already named.
    if (error.frames.size() > 1) {
        QStringList calls;
        for (const CallFrame& frame : error.frames)
            calls.append(QStringLiteral("in %1 at line %2").arg(frame.routine).arg(frame.line));
        entry += QStringLiteral(" (") + calls.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    return entry;
}

QString listing(const ScriptError& error, const QString& file)
{
    const QString message = headline(error, false);
    QString text = error.line > 0
                       ? QStringLiteral("%1:%2: %3\n").arg(file).arg(error.line).arg(message)
                       : QStringLiteral("%1: %2\n").arg(file, message);
    for (const CallFrame& frame : error.frames)
        text += QStringLiteral("%1:%2: in %3\n").arg(file).arg(frame.line).arg(frame.routine);
    return text;
}

} // namespace

QString formatError(const ScriptError& error, ErrorLayout layout, const QString& file)
{
    switch (layout) {
    case ErrorLayout::Message:
        return headline(error, false);
    case ErrorLayout::Log:
        return logEntry(error);
    case ErrorLayout::Listing:
        return listing(error, file);
    }
    return QString();
}

QString ScriptError::text() const
{
    return formatError(*this, ErrorLayout::Message);
}

} // namespace velscript::lang
