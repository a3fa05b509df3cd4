#include "engine_kit/component_service.h"

// Defined nowhere: the library links, but the dynamic loader refuses it.
extern "C" QObject* velscript_fixture_absent_symbol();

class UnresolvedFactory : public QObject, public velscript::ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "fixture.json")
    Q_INTERFACES(velscript::ComponentFactory)

public:
    QObject* create(const QString&) override { return velscript_fixture_absent_symbol(); }
};

#include "unresolved_plugin.moc"
