#pragma once

#include "engine_kit/component_service.h"
#include "engine_kit/velscript_engine.h"

#include <QJsonArray>
#include <QJsonObject>

#include <memory>

namespace velscript::journal {

// The recording layer between the window and an engine while the journal is on: it answers the
// engine interface by forwarding each call to the engine, and writes every call, its arguments,
// its outcome and its duration to the journal. It also records the engine's creation, the reads
// by name, and the moment the window lets go of the engine.
class JournaledEngine final : public VelScriptEngine {
public:
    // Makes an engine of the class through the component service and records the attempt under
    // the window's number for it. Nothing when the service makes no instance; a failure to make
    // one, or an instance without the engine interface, is recorded and thrown on.
    static std::shared_ptr<JournaledEngine> create(const QString& classId, qint32 number);
    ~JournaledEngine() override;

    const ObjectRef& object() const { return m_object; }

    // Reads a property of the engine by name through the meta-object system, recorded.
    Variant property(const char* name);

    Result<> Create(const Variant& option) override;
    Result<> Release(const Variant& option) override;
    Result<> Show(const Variant& option) override;
    Result<> Hide(const Variant& option) override;
    Result<Boolean> Visible() override;
    Result<> Visible(Boolean value) override;
    Result<Boolean> ReadOnly() override;
    Result<> ReadOnly(Boolean value) override;
    Result<Boolean> Modified() override;
    Result<> Modified(Boolean value) override;
    Result<> GUIEnabled(const QString& name, Boolean value) override;
    Result<Boolean> GUIEnabled(const QString& name) override;
    Result<qint32> hWnd() override;
    Result<Boolean> Open(const QString& path, const Variant& option) override;
    Result<Boolean> Save(const QString& path, const Variant& option) override;
    Result<QString> FileName() override;
    Result<> New(const Variant& option) override;
    Result<Boolean> Check(const Variant& option) override;
    Result<> Start(qint32 mode, const Variant& option) override;
    Result<> Stop(qint32 mode, const Variant& option) override;
    Result<Boolean> Wait(qint32 timeoutMs, const Variant& option) override;
    Result<> AddObject(const QString& name, ObjectRef& object) override;
    Result<> RemoveObject(const QString& name) override;
    Result<> ClearLog() override;
    Result<qint32> State() override;
    Result<qint32> LineNumber() override;
    Result<QString> Text() override;
    Result<> Text(const QString& value) override;
    Result<QString> StartUp() override;
    Result<> StartUp(const QString& value) override;
    Result<Variant> ExitCode() override;
    Result<QString> Log() override;
    Result<QString> LastLog() override;
    Result<Variant> Tag() override;
    Result<> Tag(const Variant& value) override;
    Result<Variant> Execute(const QString& statement, const Variant& argument) override;

private:
    JournaledEngine(ObjectRef object, VelScriptEngine* engine, qint32 number, qint32 instance);

    // Forwards one call and records it: op is "Name" for an operation, "Name.get" or "Name.put"
    // for a property.
    template <class T, class Call>
    Result<T> recorded(const char* op, std::initializer_list<Variant> arguments, Call&& call);

    ObjectRef m_object;
    VelScriptEngine* m_engine;
    const qint32 m_number;
    const qint32 m_instance;
};

} // namespace velscript::journal
