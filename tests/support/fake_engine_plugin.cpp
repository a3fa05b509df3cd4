// The recording fake engine as a component plugin, so that the real program, or a test, can
// create it through the component path like any third-party engine.
#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"
#include "support/fake_engine.h"

#include <QtPlugin>

// What the engines' windows report as their visibility. The replay tests build the same plugin
// with the other answer, so that exactly one recorded answer changes.
#ifndef FAKE_ENGINE_VISIBLE
#define FAKE_ENGINE_VISIBLE True
#endif

namespace velscript::test {

class FakeEngineFactory : public QObject, public ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "fake_engine_plugin.json")
    Q_INTERFACES(velscript::ComponentFactory)
public:
    QObject* create(const QString& classId) override
    {
        if (classId.compare(VelScriptEngineClassId, Qt::CaseInsensitive) != 0)
            return nullptr;
        auto* engine = new FakeEngine;
        engine->set("Text", QStringLiteral("Sub Main\n    Log \"made by a plugin\"\nEnd Sub\n"));
        engine->set("Visible", Variant::fromBoolean(FAKE_ENGINE_VISIBLE));
        return engine;
    }
};

} // namespace velscript::test

#include "fake_engine_plugin.moc"
