#include "component_fixtures.h"
#include "engine_kit/component_service.h"
#include "greeter_component.h"

// A plugin of another kind that happens to list a class id we ask for: it must be passed over
// by its interface id alone.
class ForeignFactory : public QObject, public velscript::ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.velscript.test.Foreign/1.0" FILE "fixture.json")
    Q_INTERFACES(velscript::ComponentFactory)

public:
    QObject* create(const QString&) override
    {
        return new GreeterComponent(QStringLiteral("foreign"));
    }
};

#include "foreign_plugin.moc"
