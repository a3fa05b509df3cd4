#include "support/fake_velsql.h"

#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"

namespace velscript::test {

FakeVelSqlRegistration::FakeVelSqlRegistration()
    : FakeVelSqlRegistration([] { return new FakeVelSqlObject; })
{}

FakeVelSqlRegistration::FakeVelSqlRegistration(std::function<QObject*()> maker)
{
    ComponentService::instance().registerClass(VelSqlObjectClassId, [this, maker] {
        ++made;
        return maker();
    });
}

FakeVelSqlRegistration::~FakeVelSqlRegistration()
{
    ComponentService::instance().unregisterClass(VelSqlObjectClassId);
}

} // namespace velscript::test

#include "moc_fake_velsql.cpp" // compiled here, with the precompiled Qt headers of this file
