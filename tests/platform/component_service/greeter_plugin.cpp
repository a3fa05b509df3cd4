#include "component_fixtures.h"
#include "engine_kit/component_service.h"
#include "greeter_component.h"

#include <atomic>

// Built several times, each with its own metadata and greeting: two folders that serve the same
// class, a library that no test asks for, and a static plugin linked into the test.
class GreeterFactory : public QObject, public velscript::ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "fixture.json")
    Q_INTERFACES(velscript::ComponentFactory)

public:
    GreeterFactory() { ++roots; }

    QObject* create(const QString& classId) override
    {
        const QString greeting = QStringLiteral(FIXTURE_GREETING);
        if (classId == QLatin1StringView(GREETER_CLASS_ID) ||
            classId == QLatin1StringView(IDLE_CLASS_ID) ||
            classId == QLatin1StringView(STATIC_CLASS_ID) ||
            classId == QLatin1StringView(CROWD_CLASS_ID)) {
            auto* made = new GreeterComponent(greeting);
            // Tells how many roots this library has made: one, however many threads asked.
            made->visits = roots;
            return made;
        }
        // The mistake the service must refuse: an instance the factory itself still owns.
        if (classId == QLatin1StringView(PARENTED_CLASS_ID))
            return new GreeterComponent(greeting, this);
        return nullptr;
    }

private:
    static inline std::atomic<int> roots = 0;
};

#include "greeter_plugin.moc"
