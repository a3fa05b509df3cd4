// The reference engine served by a plugin library, so that it can run in a host process.
#include "engine/reference_engine.h"
#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"

#include <QtPlugin>

namespace velscript::test {

class ReferenceEngineFactory : public QObject, public ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "fake_engine_plugin.json")
    Q_INTERFACES(velscript::ComponentFactory)
public:
    QObject* create(const QString& classId) override
    {
        if (classId.compare(VelScriptEngineClassId, Qt::CaseInsensitive) != 0)
            return nullptr;
        return new engine::ReferenceEngine;
    }
};

} // namespace velscript::test

#include "reference_engine_plugin.moc"
