#include "registration.h"

#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"
#include "velsql.h"

namespace velscript {

void registerVelSqlClass()
{
    ComponentService::instance().registerClass(VelSqlObjectClassId, [] { return new VelSql; });
}

} // namespace velscript
