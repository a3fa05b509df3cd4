#include "result_text.h"

#include "engine_kit/number_text.h"

namespace velscript::velsql {

QString escapedText(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            escaped += QLatin1StringView("\\\\");
            break;
        case '\t':
            escaped += QLatin1StringView("\\t");
            break;
        case '\n':
            escaped += QLatin1StringView("\\n");
            break;
        case '\r':
            escaped += QLatin1StringView("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString cellText(const QVariant& value)
{
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return numberText(value.toDouble());
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toHex().toUpper());
    default:
        return escapedText(value.toString());
    }
}

} // namespace velscript::velsql
