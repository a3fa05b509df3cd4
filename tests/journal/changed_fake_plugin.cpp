// The plugin fake engine with one answer changed: its window reads as hidden where the usual
// plugin's reads as shown. A journal recorded with the usual plugin differs from it in exactly
// the Visible reads.
#include "engine/class_ids.h"
#include "platform/component_service.h"
#include "support/fake_engine.h"

#include <QtPlugin>

namespace velscript::test {

class ChangedFakeEngineFactory : public QObject, public ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "changed_fake_plugin.json")
    Q_INTERFACES(velscript::ComponentFactory)
public:
    QObject* create(const QString& classId) override
    {
        if (classId.compare(VelScriptEngineClassId, Qt::CaseInsensitive) != 0)
            return nullptr;
        auto* engine = new FakeEngine;
        engine->set("Text", QStringLiteral("Sub Main\n    Log \"made by a plugin\"\nEnd Sub\n"));
        engine->set("Visible", Variant::fromBoolean(False));
        return engine;
    }
};

} // namespace velscript::test

#include "changed_fake_plugin.moc"
