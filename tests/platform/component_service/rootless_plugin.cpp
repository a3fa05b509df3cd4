#include <QObject>

#include "engine_kit/component_service.h"

// Declares the component plugin interface in its metadata, but its root object is no factory.
class RootlessPlugin : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "fixture.json")
};

#include "rootless_plugin.moc"
