#pragma once

#include "engine_kit/velscript_engine.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace velscript::replay {

// One operation of the engine interface as the journal names it, and how to make it again.
struct Operation {
    // The kinds of its arguments in order, one letter each: T text, B Boolean, I integer,
    // O object, V any Variant.
    QString argumentKinds;
    // Makes the call with decoded arguments and answers its outcome as the journal writes it.
    // AddObject finds the object it hands over in arguments[1] and leaves there what the engine
    // left in its argument.
    std::function<QJsonObject(VelScriptEngine&, QList<Variant>&)> call;
};

// The operation of that journal name ("Text.get", "Start", ...), or nullptr.
const Operation* findOperation(const QString& name);

// The journal names of every operation of the interface, sorted.
QStringList operationNames();

// Whether a value of the kind may stand where the letter of argumentKinds asks for one.
bool fits(Variant::Kind kind, QChar letter);

} // namespace velscript::replay
