// The add-ins panel: the window's one VelSQL object handed to the selected engine under a name,
// and a named object taken away again. Successes are confirmed and failures shown in plain boxes.
#include "core/frm_vel_scr_tester.h"

#include "engine_kit/class_ids.h"
#include "engine_kit/velsql_object.h"
#include "platform/trap.h"

namespace velscript {

namespace {

// The VelSQL object offered under its class id; a class that yields no instance is a failure.
ObjectRef makeVelSqlObject()
{
    ObjectRef made = ComponentService::instance().create(VelSqlObjectClassId);
    if (!made)
        throw Failure(QStringLiteral("The component class %1 made no VelSQL object.")
                          .arg(VelSqlObjectClassId));
    query<VelSqlObject>(made);
    return made;
}

// What the engine left in the in/out argument: another VelSQL object, or none.
ObjectRef keptVelSqlObject(ObjectRef object)
{
    if (object)
        query<VelSqlObject>(object);
    return object;
}

QString confirmation(const char* operation, const QString& name)
{
    return QLatin1StringView(operation) + u'"' + name + QStringLiteral("\", [VelSQL object])") +
           QStringLiteral("\r\nSucceeded.");
}

} // namespace

// The object is made on first use and every engine receives the very same one. A failed call
// leaves the window's reference as it was, whatever the engine did with its argument.
void frmVelScrTester::cmdAddObject_Click()
{
    trapped(MessageIcon::None, [this] {
        if (!objVelSQL)
            objVelSQL = makeVelSqlObject();
        const QString name = txtObjectName->text();
        ObjectRef object = objVelSQL;
        check(objEngine->AddObject(name, object));
        objVelSQL = keptVelSqlObject(std::move(object));
        showMessage(confirmation("AddObject(", txtObjectName->text()), MessageIcon::None);
    });
}

void frmVelScrTester::cmdRemoveObject_Click()
{
    trapped(MessageIcon::None, [this] {
        check(objEngine->RemoveObject(txtObjectName->text()));
        showMessage(confirmation("RemoveObject(", txtObjectName->text()), MessageIcon::None);
    });
}

} // namespace velscript
