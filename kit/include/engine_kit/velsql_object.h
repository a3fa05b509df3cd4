#pragma once

#include <QObject>

namespace velscript {

// The VelSQL object. The tester only hands it to engines as a named add-in; scripts reach its
// invokable methods through the meta-object system, so the interface itself is a marker.
class VelSqlObject {
public:
    virtual ~VelSqlObject() = default;
};

} // namespace velscript

#define VelSqlObject_iid "org.velscript.VelSqlObject/1.0"
Q_DECLARE_INTERFACE(velscript::VelSqlObject, VelSqlObject_iid)
