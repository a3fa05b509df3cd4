#include "lang/err_object.h"

#include "lang/conversions.h"

namespace velscript::lang {

void ErrObject::set(const RuntimeError& error)
{
    m_number = error.number();
    m_description = error.description();
    m_source =
        error.source().isEmpty() ? QStringLiteral("VelScript runtime error") : error.source();
}

void ErrObject::clear()
{
    m_number = 0;
    m_description.clear();
    m_source.clear();
}

Value ErrObject::call(const QString& name, std::span<const Value> args)
{
    if (name.compare(QLatin1String("Clear"), Qt::CaseInsensitive) == 0) {
        if (!args.empty())
            throw RuntimeError(ErrorNumber::WrongArgumentCount);
        clear();
        return Value();
    }
    if (name.compare(QLatin1String("Raise"), Qt::CaseInsensitive) == 0) {
        if (args.empty() || args.size() > 3)
            throw RuntimeError(ErrorNumber::WrongArgumentCount);
        const int number = toInt32(args[0]);
        if (number <= 0)
            throw RuntimeError(ErrorNumber::InvalidCall);
        QString description = args.size() > 2 ? toText(args[2]) : QString();
        // An error that says nothing would be reported as "Run-time error 1000: "; the number's
        // own description stands in for an empty or missing one.
        if (description.isEmpty())
            description = errorDescription(number);
        RuntimeError raised(number, description);
        if (args.size() > 1)
            raised.setSource(toText(args[1]));
        throw raised;
    }
    if (args.empty())
        return getProperty(name);
    throw RuntimeError(ErrorNumber::UnsupportedMember);
}

Value ErrObject::getProperty(const QString& name)
{
    if (name.compare(QLatin1String("Number"), Qt::CaseInsensitive) == 0)
        return Value(std::int32_t(m_number));
    if (name.compare(QLatin1String("Description"), Qt::CaseInsensitive) == 0)
        return Value(m_description);
    if (name.compare(QLatin1String("Source"), Qt::CaseInsensitive) == 0)
        return Value(m_source);
    throw RuntimeError(ErrorNumber::UnsupportedMember);
}

void ErrObject::setProperty(const QString& name, const Value& value)
{
    if (name.compare(QLatin1String("Number"), Qt::CaseInsensitive) == 0)
        m_number = toInt32(value);
    else if (name.compare(QLatin1String("Description"), Qt::CaseInsensitive) == 0)
        m_description = toText(value);
    else if (name.compare(QLatin1String("Source"), Qt::CaseInsensitive) == 0)
        m_source = toText(value);
    else
        throw RuntimeError(ErrorNumber::UnsupportedMember);
}

} // namespace velscript::lang
