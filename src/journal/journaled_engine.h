#pragma once

#include "engine_kit/component_service.h"
#include "engine_kit/engine_operations.h"

#include <memory>

namespace velscript::journal {

// What the window calls the engine it numbers so, in what it says of it ("VelScript engine
// No.(2)"); the replay names its engines alike, so that their descriptions compare.
inline QString engineName(qint32 number)
{
    return QStringLiteral("VelScript engine No.(%1)").arg(number);
}

// The recording layer between the window and an engine while the journal is on: it answers the
// engine interface by forwarding each call to the engine, and writes every call twice: its
// operation and arguments as it begins, so that a journal whose engine crashed or hung ends with
// the call that did it, and its outcome and duration as it ends. It also records the engine's
// creation, the reads by name, and the moment the window lets go of the engine.
class JournaledEngine final : public EngineForwarder {
public:
    // Makes an engine of the class through the component service and records the attempt under
    // the window's number for it. Nothing when the service makes no instance; a failure to make
    // one, or an instance without the engine interface, is recorded and thrown on.
    static std::shared_ptr<JournaledEngine> create(const QString& classId, qint32 number);
    ~JournaledEngine() override;

    const ObjectRef& object() const { return m_object; }

    // Reads a property of the engine by name through the meta-object system, recorded.
    Variant property(const char* name);

    Outcome forward(Operation operation, QList<Variant>& arguments) override;

private:
    JournaledEngine(ObjectRef object, VelScriptEngine* engine, qint32 number, qint32 instance);

    ObjectRef m_object;
    VelScriptEngine* m_engine;
    const qint32 m_number;
    const qint32 m_instance;
};

} // namespace velscript::journal
