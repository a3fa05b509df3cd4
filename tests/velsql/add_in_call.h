#pragma once

// Calls an add-in object the way an engine's bridge does: the method found by name without regard
// to case, every argument a QVariant, the arguments beyond the method's own parameters gathered
// into its trailing QVariantList, and the answer a QVariant that may hold an AddInError.

#include "engine_kit/add_in.h"

#include <QMetaMethod>
#include <QObject>
#include <QVariant>

#include <array>
#include <stdexcept>
#include <string>

namespace velscript::test {

inline QVariant callAddIn(QObject& object, const char* name, const QVariantList& arguments = {})
{
    const QMetaObject* meta = object.metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() != QMetaMethod::Method ||
            QString::fromLatin1(method.name())
                    .compare(QLatin1StringView(name), Qt::CaseInsensitive) != 0)
            continue;
        const int count = method.parameterCount();
        const bool takesRest =
            count > 0 && method.parameterMetaType(count - 1) == QMetaType::fromType<QVariantList>();
        const int fixed = takesRest ? count - 1 : count;
        if (arguments.size() < fixed || (!takesRest && arguments.size() > fixed))
            throw std::runtime_error("wrong number of arguments for " + std::string(name));
        if (method.returnMetaType() != QMetaType::fromType<QVariant>())
            throw std::runtime_error(std::string(name) + " does not answer a QVariant");

        QVariantList own = arguments.mid(0, fixed);
        QVariantList rest = arguments.mid(fixed);
        std::array<QGenericArgument, 10> passed;
        for (int k = 0; k < fixed; ++k) {
            if (method.parameterMetaType(k) != QMetaType::fromType<QVariant>())
                throw std::runtime_error(std::string(name) + " takes a parameter of another type");
            passed[k] = QGenericArgument("QVariant", &own[k]);
        }
        if (takesRest)
            passed[fixed] = QGenericArgument("QVariantList", &rest);
        QVariant answer;
        if (!method.invoke(&object, Qt::DirectConnection,
                           QGenericReturnArgument("QVariant", &answer), passed[0], passed[1],
                           passed[2], passed[3], passed[4], passed[5], passed[6], passed[7],
                           passed[8], passed[9]))
            throw std::runtime_error("invoking " + std::string(name) + " failed");
        return answer;
    }
    throw std::runtime_error("no method " + std::string(name));
}

inline bool isAddInError(const QVariant& answer)
{
    return answer.metaType() == QMetaType::fromType<AddInError>();
}

// The failure's description, or the empty text when the call succeeded.
inline QString failureOf(const QVariant& answer)
{
    return isAddInError(answer) ? answer.value<AddInError>().description : QString();
}

inline QString lastErrorOf(const QObject& object)
{
    return object.property("LastError").toString();
}

} // namespace velscript::test
