#include "registration.h"

#include "engine/class_ids.h"
#include "platform/component_service.h"
#include "velsql.h"

namespace velscript {

void registerVelSqlClass()
{
    ComponentService::instance().registerClass(VelSqlObjectClassId, [] { return new VelSql; });
}

} // namespace velscript
