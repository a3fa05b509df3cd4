#pragma once

#include "engine_kit/result.h"
#include "engine_kit/variant.h"

#include <QObject>
#include <QString>

namespace velscript {

// The VelScript engine's interface, in its fixed order. For a property one name serves both
// directions: Text() reads, Text(value) writes. Every operation answers a Result: a failure
// status carries the engine's description. An optional argument the caller leaves out arrives as
// Variant::missing().
//
// Besides the interface, an engine offers the meta-object property "ScriptState" (an integer,
// 0 when no script runs), which hosts read by name.
class VelScriptEngine {
public:
    virtual ~VelScriptEngine() = default;

    virtual Result<> Create(const Variant& option) = 0;
    virtual Result<> Release(const Variant& option) = 0;
    virtual Result<> Show(const Variant& option) = 0;
    virtual Result<> Hide(const Variant& option) = 0;
    virtual Result<Boolean> Visible() = 0;
    virtual Result<> Visible(Boolean value) = 0;
    virtual Result<Boolean> ReadOnly() = 0;
    virtual Result<> ReadOnly(Boolean value) = 0;
    // Whether the script text changed since it was last opened, saved or cleared.
    virtual Result<Boolean> Modified() = 0;
    virtual Result<> Modified(Boolean value) = 0;
    virtual Result<> GUIEnabled(const QString& name, Boolean value) = 0;
    virtual Result<Boolean> GUIEnabled(const QString& name) = 0;
    virtual Result<qint32> hWnd() = 0;
    virtual Result<Boolean> Open(const QString& path, const Variant& option) = 0;
    virtual Result<Boolean> Save(const QString& path, const Variant& option) = 0;
    virtual Result<QString> FileName() = 0;
    // Discards the script text and the file name: the engine holds an empty program again.
    virtual Result<> New(const Variant& option) = 0;
    // Checks the script text without running it: True when it parses; the first syntax error
    // otherwise goes to the log.
    virtual Result<Boolean> Check(const Variant& option) = 0;
    virtual Result<> Start(qint32 mode, const Variant& option) = 0;
    virtual Result<> Stop(qint32 mode, const Variant& option) = 0;
    // Waits up to timeoutMs milliseconds for the running script to come to rest: True when no
    // script runs on return.
    virtual Result<Boolean> Wait(qint32 timeoutMs, const Variant& option) = 0;
    // The engine may replace the reference it was handed; the caller keeps what object then holds.
    virtual Result<> AddObject(const QString& name, ObjectRef& object) = 0;
    virtual Result<> RemoveObject(const QString& name) = 0;
    virtual Result<> ClearLog() = 0;
    virtual Result<qint32> State() = 0;
    virtual Result<qint32> LineNumber() = 0;
    virtual Result<QString> Text() = 0;
    virtual Result<> Text(const QString& value) = 0;
    virtual Result<QString> StartUp() = 0;
    virtual Result<> StartUp(const QString& value) = 0;
    virtual Result<Variant> ExitCode() = 0;
    virtual Result<QString> Log() = 0;
    virtual Result<QString> LastLog() = 0;
    virtual Result<Variant> Tag() = 0;
    virtual Result<> Tag(const Variant& value) = 0;
    virtual Result<Variant> Execute(const QString& statement, const Variant& argument) = 0;
};

// The name hosts use to read whether a script runs.
inline constexpr char ScriptStateProperty[] = "ScriptState";

} // namespace velscript

#define VelScriptEngine_iid "org.velscript.VelScriptEngine/1.0"
Q_DECLARE_INTERFACE(velscript::VelScriptEngine, VelScriptEngine_iid)
