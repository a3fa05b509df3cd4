#include "component_fixtures.h"
#include "engine_kit/component_service.h"
#include "greeter_component.h"

// Built as a library and as a built-in plugin, each serving a class of its own.
#ifndef FIXTURE_OWN_CLASS_ID
#define FIXTURE_OWN_CLASS_ID REENTRANT_CLASS_ID
#endif

// Builds on other components: its root object asks the service for a class of another plugin
// while the library loads, and for one of its own classes, which cannot exist yet. What it got
// becomes the greeting of what it makes.
class ReentrantFactory : public QObject, public velscript::ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "fixture.json")
    Q_INTERFACES(velscript::ComponentFactory)

public:
    ReentrantFactory()
        : m_borrowed(greetingOf(QStringLiteral(GREETER_CLASS_ID))),
          m_own(greetingOf(QStringLiteral(FIXTURE_OWN_CLASS_ID)))
    {}

    QObject* create(const QString& classId) override
    {
        if (classId != QLatin1StringView(FIXTURE_OWN_CLASS_ID))
            return nullptr;
        return new GreeterComponent(m_borrowed + u'|' + m_own);
    }

private:
    static QString greetingOf(const QString& classId)
    {
        try {
            const velscript::ObjectRef made =
                velscript::ComponentService::instance().create(classId);
            const auto* greeter = qobject_cast<TestGreeter*>(made.get());
            return greeter ? greeter->greeting() : QStringLiteral("no greeter");
        } catch (const velscript::Failure& failure) {
            return failure.description();
        }
    }

    QString m_borrowed;
    QString m_own;
};

#include "reentrant_plugin.moc"
