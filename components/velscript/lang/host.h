#pragma once

#include "lang/value.h"

#include <QString>

#include <span>

namespace velscript::lang {

// What the interpreter needs from whoever runs it: a place for log entries and, in hooked mode,
// a call before each statement. The hook runs on the script's thread; a host implements stepping
// by waiting inside it and stopping by calling Interpreter::requestStop().
class Host {
public:
    virtual ~Host() = default;
    virtual void log(const QString& text) = 0;
    virtual void statement(int line) { Q_UNUSED(line); }
};

// A named object the host binds into a script: `obj.Name(args)` calls a method, `obj.Name` reads
// a property and `obj.Name = v` writes one. Failures are reported by throwing RuntimeError; the
// defaults report "Object doesn't support this property or method".
class ClassInstance;

class HostObject {
public:
    virtual ~HostObject() = default;
    // The script's own class instances answer themselves: member calls on them run script code.
    virtual ClassInstance* asClassInstance() { return nullptr; }
    virtual QString typeName() const { return QStringLiteral("Object"); }
    virtual Value call(const QString& name, std::span<const Value> args);
    virtual Value getProperty(const QString& name);
    virtual void setProperty(const QString& name, const Value& value);
    // The value an object stands for where a plain value is needed (`If Err Then`).
    virtual Value defaultValue();
};

} // namespace velscript::lang
