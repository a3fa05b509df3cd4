#include "journal/variant_json.h"

#include "engine_kit/class_ids.h"
#include "engine_kit/hosting.h"
#include "engine_kit/number_text.h"
#include "engine_kit/velscript_engine.h"
#include "engine_kit/velsql_object.h"

#include <QLocale>

#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace velscript::journal {

namespace {

const QString KindKey = QStringLiteral("kind");
const QString ValueKey = QStringLiteral("value");
const QString ClassKey = QStringLiteral("class");
const QString ClassIdKey = QStringLiteral("classId");

constexpr std::array AllKinds = {
    Variant::Kind::Empty,   Variant::Kind::Null,   Variant::Kind::Missing, Variant::Kind::Boolean,
    Variant::Kind::Integer, Variant::Kind::Double, Variant::Kind::Text,    Variant::Kind::Object};

// The component class an object was made from, when it offers one of the family's interfaces.
QString classIdOf(QObject* object)
{
    if (qobject_cast<VelSqlObject*>(object))
        return VelSqlObjectClassId;
    if (qobject_cast<VelScriptEngine*>(object))
        return VelScriptEngineClassId;
    return {};
}

// Qt's shortest form drops the sign of zero and does not read back infinities, so those are
// written and read here.
QString doubleText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    if (value == 0.0 && std::signbit(value))
        return QStringLiteral("-0");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

std::optional<double> doubleFrom(const QString& text)
{
    if (text == QLatin1StringView("nan"))
        return std::numeric_limits<double>::quiet_NaN();
    if (text == QLatin1StringView("inf"))
        return std::numeric_limits<double>::infinity();
    if (text == QLatin1StringView("-inf"))
        return -std::numeric_limits<double>::infinity();
    if (text == QLatin1StringView("-0"))
        return -0.0;
    bool ok = false;
    const double number = QLocale::c().toDouble(text, &ok);
    return ok ? std::optional(number) : std::nullopt;
}

} // namespace

QJsonObject encode(const Variant& value)
{
    QJsonObject encoded{{KindKey, kindName(value.kind())}};
    switch (value.kind()) {
    case Variant::Kind::Boolean:
        encoded.insert(ValueKey, value.boolean());
        break;
    case Variant::Kind::Integer:
        encoded.insert(ValueKey, value.integer());
        break;
    case Variant::Kind::Double:
        encoded.insert(ValueKey, doubleText(value.number()));
        break;
    case Variant::Kind::Text:
        encoded.insert(ValueKey, value.toText());
        break;
    case Variant::Kind::Object:
        if (const ObjectRef object = value.object()) {
            // A hosted engine is recorded as the class it is in its host, as if in process.
            encoded.insert(ClassKey, instanceClassName(*object));
            if (const QString classId = classIdOf(object.get()); !classId.isEmpty())
                encoded.insert(ClassIdKey, classId);
        }
        break;
    case Variant::Kind::Empty:
    case Variant::Kind::Null:
    case Variant::Kind::Missing:
        break;
    }
    return encoded;
}

std::expected<Variant, QString> decode(const QJsonObject& encoded)
{
    const QString kind = encoded.value(KindKey).toString();
    const QJsonValue value = encoded.value(ValueKey);
    const auto bad = [&] {
        return std::unexpected(QStringLiteral("a %1 value that is not one").arg(kind));
    };
    for (const Variant::Kind candidate : AllKinds) {
        if (kindName(candidate) != kind)
            continue;
        switch (candidate) {
        case Variant::Kind::Empty:
            return Variant();
        case Variant::Kind::Null:
            return Variant::null();
        case Variant::Kind::Missing:
            return Variant::missing();
        case Variant::Kind::Boolean: {
            const qint64 number = value.toInteger(std::numeric_limits<qint64>::max());
            if (!value.isDouble() || number < std::numeric_limits<Boolean>::min() ||
                number > std::numeric_limits<Boolean>::max())
                return bad();
            return Variant::fromBoolean(Boolean(number));
        }
        case Variant::Kind::Integer: {
            const qint64 number = value.toInteger(std::numeric_limits<qint64>::max());
            if (!value.isDouble() || number < std::numeric_limits<qint32>::min() ||
                number > std::numeric_limits<qint32>::max())
                return bad();
            return Variant(qint32(number));
        }
        case Variant::Kind::Double: {
            const std::optional<double> number = doubleFrom(value.toString());
            if (!value.isString() || !number)
                return bad();
            return Variant(*number);
        }
        case Variant::Kind::Text:
            if (!value.isString())
                return bad();
            return Variant(value.toString());
        case Variant::Kind::Object:
            return Variant(ObjectRef());
        }
    }
    return std::unexpected(QStringLiteral("a value of the unknown kind \"%1\"").arg(kind));
}

QString quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString readable(const QJsonObject& encoded)
{
    const QString kind = encoded.value(KindKey).toString();
    const QJsonValue value = encoded.value(ValueKey);
    if (kind == kindName(Variant::Kind::Text))
        return quoted(value.toString());
    if (kind == kindName(Variant::Kind::Integer))
        return QString::number(value.toInteger());
    if (kind == kindName(Variant::Kind::Boolean)) {
        const qint64 number = value.toInteger();
        if (number == True)
            return QStringLiteral("True");
        if (number == False)
            return QStringLiteral("False");
        return QStringLiteral("Boolean(%1)").arg(number);
    }
    if (kind == kindName(Variant::Kind::Double)) {
        // The file keeps its exact form, older journals included; people read an ordinary
        // number as the window shows it, and the values it cannot tell apart as stored.
        const QString stored = value.toString();
        const std::optional<double> number = doubleFrom(stored);
        const bool ordinary =
            number && std::isfinite(*number) && !(*number == 0 && std::signbit(*number));
        return QStringLiteral("Double(%1)").arg(ordinary ? numberText(*number) : stored);
    }
    if (kind == kindName(Variant::Kind::Object)) {
        const QString className = encoded.value(ClassKey).toString();
        return className.isEmpty() ? QStringLiteral("Nothing")
                                   : QStringLiteral("Object(%1)").arg(className);
    }
    return kind;
}

} // namespace velscript::journal
