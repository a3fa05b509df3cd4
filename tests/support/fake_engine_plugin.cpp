// The recording fake engine as a component plugin, so that the real program, or a test, can
// create it through the component path like any third-party engine.
#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"
#include "support/fake_engine.h"

#include <QtPlugin>

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <thread>

// What the engines' windows report as their visibility. The replay tests build the same plugin
// with the other answer, so that exactly one recorded answer changes.
#ifndef FAKE_ENGINE_VISIBLE
#define FAKE_ENGINE_VISIBLE True
#endif

namespace velscript::test {

#ifdef FAKE_ENGINE_MISBEHAVES
// An engine still being built: its Start does what its script text says, "crash", "hang" or
// "throw", and its Wait hangs too on "hang"; any other text starts as the fake does.
class MisbehavingEngine : public FakeEngine {
public:
    Result<> Start(qint32 mode, const Variant& option) override
    {
        const QString text = value("Text").toText();
        if (text == QLatin1StringView("crash")) {
            volatile int* volatile nowhere = nullptr;
            *nowhere = 1;
        } else if (text == QLatin1StringView("hang")) {
            for (;;)
                std::this_thread::sleep_for(std::chrono::hours(1));
        } else if (text == QLatin1StringView("throw")) {
            throw std::runtime_error("The misbehaving engine threw in Start.");
        }
        return FakeEngine::Start(mode, option);
    }
    Result<Boolean> Wait(qint32 timeoutMs, const Variant& option) override
    {
        if (value("Text").toText() == QLatin1StringView("hang"))
            for (;;)
                std::this_thread::sleep_for(std::chrono::hours(1));
        return FakeEngine::Wait(timeoutMs, option);
    }
};
using PluginEngine = MisbehavingEngine;
#else
using PluginEngine = FakeEngine;
#endif

class FakeEngineFactory : public QObject, public ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "fake_engine_plugin.json")
    Q_INTERFACES(velscript::ComponentFactory)
public:
    QObject* create(const QString& classId) override
    {
        if (classId.compare(VelScriptEngineClassId, Qt::CaseInsensitive) != 0)
            return nullptr;
        auto* engine = new PluginEngine;
        engine->set("Text", QStringLiteral("Sub Main\n    Log \"made by a plugin\"\nEnd Sub\n"));
        engine->set("Visible", Variant::fromBoolean(FAKE_ENGINE_VISIBLE));
        return engine;
    }
};

} // namespace velscript::test

#include "fake_engine_plugin.moc"
