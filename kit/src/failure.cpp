#include "engine_kit/failure.h"

namespace velscript::failures {

QString missingObject()
{
    return QStringLiteral("Object reference not set: no VelScript engine is selected.");
}

QString overflow()
{
    return QStringLiteral("Arithmetic overflow: the value does not fit a 32-bit integer.");
}

QString keyPresent(const QString& key)
{
    return QStringLiteral("The registry already holds an entry under the key \"%1\".").arg(key);
}

QString keyAbsent(const QString& key)
{
    return QStringLiteral("The registry holds no entry under the key \"%1\".").arg(key);
}

QString nullHasNoText()
{
    return QStringLiteral("Invalid use of Null: a null value has no text form.");
}

QString noDescription()
{
    return QStringLiteral("The operation failed without a description.");
}

} // namespace velscript::failures
