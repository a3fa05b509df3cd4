// A plugin that serves the VelSQL class id from the component path, as another maker's object
// would, so that a test can see it take the built-in object's place.
#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"

#include <QtPlugin>

namespace velscript::test {

class OtherVelSqlFactory : public QObject, public ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "other_velsql_plugin.json")
    Q_INTERFACES(velscript::ComponentFactory)
public:
    QObject* create(const QString& classId) override
    {
        if (classId.compare(VelSqlObjectClassId, Qt::CaseInsensitive) != 0)
            return nullptr;
        auto* object = new QObject;
        object->setObjectName(QStringLiteral("VelSQL object from the component path"));
        return object;
    }
};

} // namespace velscript::test

#include "other_velsql_plugin.moc"
