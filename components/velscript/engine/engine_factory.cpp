#include "engine/engine_factory.h"

#include "engine/reference_engine.h"
#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"

namespace velscript::engine {

void registerReferenceEngine()
{
    ComponentService::instance().registerClass(VelScriptEngineClassId,
                                               [] { return new ReferenceEngine; });
}

} // namespace velscript::engine
