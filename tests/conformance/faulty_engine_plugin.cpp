// The reference engine with one behaviour changed on purpose, chosen by a compile definition:
// the conformance suite must fail the group that covers it, and only that group.
#include "engine/reference_engine.h"
#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"

#include <QRegularExpression>
#include <QThread>
#include <QtPlugin>

#include <cstdlib>

namespace velscript::test {

class FaultyEngine : public engine::ReferenceEngine {
public:
#if defined(FAULTY_ENGINE_LOG_WITHOUT_TIME_STAMPS)
    Result<QString> Log() override
    {
        return withoutStamps(ReferenceEngine::Log());
    }
    Result<QString> LastLog() override
    {
        return withoutStamps(ReferenceEngine::LastLog());
    }

private:
    static Result<QString> withoutStamps(Result<QString> text)
    {
        static const QRegularExpression stamp(
            QStringLiteral(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )"),
            QRegularExpression::MultilineOption);
        if (text)
            text->remove(stamp);
        return text;
    }
#elif defined(FAULTY_ENGINE_CYCLE_STOP_AS_IMMEDIATE)
    Result<> Stop(qint32 mode, const Variant& option) override
    {
        return ReferenceEngine::Stop(mode == 3 ? 1 : mode, option);
    }
#elif defined(FAULTY_ENGINE_START_CRASHES)
    Result<> Start(qint32, const Variant&) override
    {
        std::abort();
    }
#elif defined(FAULTY_ENGINE_START_HANGS)
    Result<> Start(qint32, const Variant&) override
    {
        for (;;)
            QThread::sleep(1);
    }
#else
#error "Name the fault: FAULTY_ENGINE_<fault>"
#endif
};

class FaultyEngineFactory : public QObject, public ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "faulty_engine_plugin.json")
    Q_INTERFACES(velscript::ComponentFactory)
public:
    QObject* create(const QString& classId) override
    {
        if (classId.compare(VelScriptEngineClassId, Qt::CaseInsensitive) != 0)
            return nullptr;
        return new FaultyEngine;
    }
};

} // namespace velscript::test

#include "faulty_engine_plugin.moc"
