// The reference engine as a component plugin, for the component path: an engine from a plugin
// runs in a host process, as an outside engine does.
#include "engine/reference_engine.h"
#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"

#include <QtPlugin>

namespace velscript::engine {

class ReferenceEngineFactory : public QObject, public ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "reference_engine_plugin.json")
    Q_INTERFACES(velscript::ComponentFactory)
public:
    QObject* create(const QString& classId) override
    {
        if (classId.compare(VelScriptEngineClassId, Qt::CaseInsensitive) != 0)
            return nullptr;
        return new ReferenceEngine;
    }
};

} // namespace velscript::engine

#include "reference_engine_plugin.moc"
