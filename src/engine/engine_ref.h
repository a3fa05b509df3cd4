#pragma once

#include "engine/velscript_engine.h"
#include "platform/component_service.h"

namespace velscript {

// A counted reference to a VelScript engine, or none. Reaching through none fails with the
// missing-object description, as every panel reports it.
class EngineRef {
public:
    EngineRef() = default;
    // Takes an instance from the component service; none stays none.
    explicit EngineRef(ObjectRef object)
        : m_object(std::move(object)),
          m_engine(m_object ? query<VelScriptEngine>(m_object) : nullptr)
    {}

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

private:
    ObjectRef m_object;
    VelScriptEngine* m_engine = nullptr;
};

} // namespace velscript
