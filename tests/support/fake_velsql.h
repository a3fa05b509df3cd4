#pragma once

#include "engine_kit/velsql_object.h"

#include <QObject>

#include <functional>

namespace velscript::test {

// A VelSQL object that does nothing: the window only hands it on.
class FakeVelSqlObject : public QObject, public VelSqlObject {
    Q_OBJECT
    Q_INTERFACES(velscript::VelSqlObject)
};

// Registers a maker under the VelSQL class id for the life of the object and counts the
// instances it made. The default maker makes FakeVelSqlObjects.
class FakeVelSqlRegistration {
public:
    FakeVelSqlRegistration();
    explicit FakeVelSqlRegistration(std::function<QObject*()> maker);
    ~FakeVelSqlRegistration();

    int made = 0;
};

} // namespace velscript::test
