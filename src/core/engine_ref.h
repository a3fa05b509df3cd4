#pragma once

#include "engine_kit/component_service.h"
#include "engine_kit/hosting.h"
#include "engine_kit/velscript_engine.h"
#include "journal/journal.h"
#include "journal/journaled_engine.h"

namespace velscript {

// A counted reference to a VelScript engine, or none. Reaching through none fails with the
// missing-object description, as every panel reports it.
//
// While the journal is on, an engine made by create() is reached through its recording layer,
// which every copy of the reference shares; otherwise calls go straight to the engine.
class EngineRef {
public:
    EngineRef() = default;
    // Takes an instance from the component service; none stays none.
    explicit EngineRef(ObjectRef object)
        : m_object(std::move(object)),
          m_engine(m_object ? query<VelScriptEngine>(m_object) : nullptr)
    {}

    // Makes a new engine of the class, which the window numbers as given; none when the service
    // makes no instance.
    static EngineRef create(const QString& classId, qint32 number)
    {
        EngineRef made = journal::Journal::instance().isOn()
                             ? EngineRef(journal::JournaledEngine::create(classId, number))
                             : EngineRef(ComponentService::instance().create(classId));
        // An engine in a process of its own tells of its end by the number the window shows.
        if (made.m_object)
            nameInstance(*made.m_object, journal::engineName(number));
        return made;
    }

    explicit operator bool() const { return m_engine != nullptr; }
    VelScriptEngine* operator->() const { return &engine(); }
    VelScriptEngine& engine() const
    {
        if (!m_engine)
            throw Failure(failures::missingObject());
        return *m_engine;
    }
    const ObjectRef& object() const { return m_object; }
    bool operator==(const EngineRef& other) const { return m_object == other.m_object; }

    // Reads a property of the engine by its name, as hosts read "ScriptState".
    Variant property(const char* name) const
    {
        if (m_journaled)
            return m_journaled->property(name);
        if (!m_object)
            throw Failure(failures::missingObject());
        return readProperty(*m_object, name);
    }

private:
    explicit EngineRef(std::shared_ptr<journal::JournaledEngine> journaled)
        : m_object(journaled ? journaled->object() : nullptr), m_journaled(std::move(journaled)),
          m_engine(m_journaled.get())
    {}

    ObjectRef m_object;
    std::shared_ptr<journal::JournaledEngine> m_journaled;
    VelScriptEngine* m_engine = nullptr;
};

} // namespace velscript
