// A VelScript engine of another maker: it keeps a script text and makes the VelSQL object its
// scripts would use. Everything else it declines with a description.
#include <engine_kit/class_ids.h>
#include <engine_kit/component_service.h>
#include <engine_kit/velscript_engine.h>

#include <QtPlugin>

using namespace velscript;

namespace {

std::unexpected<QString> declined(const char* operation)
{
    return fail(
        QStringLiteral("The outside engine does not offer %1.").arg(QLatin1StringView(operation)));
}

} // namespace

class OutsideEngine : public QObject, public VelScriptEngine {
    Q_OBJECT
    Q_INTERFACES(velscript::VelScriptEngine)
    Q_PROPERTY(int ScriptState READ scriptState CONSTANT)

public:
    int scriptState() const { return 0; }

    Result<> Create(const Variant&) override
    {
        // Made by whoever serves the class in the program that loaded this engine.
        try {
            m_database = ComponentService::instance().create(VelSqlObjectClassId);
        } catch (const Failure& failure) {
            return fail(failure.description());
        }
        return {};
    }
    Result<> Release(const Variant&) override
    {
        m_database.reset();
        return {};
    }
    Result<Boolean> Visible() override { return False; }
    Result<Boolean> ReadOnly() override { return False; }
    Result<QString> FileName() override { return QString(); }
    Result<qint32> State() override { return 0; }
    Result<qint32> LineNumber() override { return 0; }
    Result<QString> Text() override { return m_text; }
    Result<> Text(const QString& value) override
    {
        m_text = value;
        return {};
    }

    Result<> Show(const Variant&) override { return declined("Show"); }
    Result<> Hide(const Variant&) override { return declined("Hide"); }
    Result<> Visible(Boolean) override { return declined("Visible"); }
    Result<> ReadOnly(Boolean) override { return declined("ReadOnly"); }
    Result<Boolean> Modified() override { return declined("Modified"); }
    Result<> Modified(Boolean) override { return declined("Modified"); }
    Result<> GUIEnabled(const QString&, Boolean) override { return declined("GUIEnabled"); }
    Result<Boolean> GUIEnabled(const QString&) override { return declined("GUIEnabled"); }
    Result<qint32> hWnd() override { return declined("hWnd"); }
    Result<Boolean> Open(const QString&, const Variant&) override { return declined("Open"); }
    Result<Boolean> Save(const QString&, const Variant&) override { return declined("Save"); }
    Result<> New(const Variant&) override { return declined("New"); }
    Result<Boolean> Check(const Variant&) override { return declined("Check"); }
    Result<> Start(qint32, const Variant&) override { return declined("Start"); }
    Result<> Stop(qint32, const Variant&) override { return declined("Stop"); }
    Result<Boolean> Wait(qint32, const Variant&) override { return declined("Wait"); }
    Result<> AddObject(const QString&, ObjectRef&) override { return declined("AddObject"); }
    Result<> RemoveObject(const QString&) override { return declined("RemoveObject"); }
    Result<> ClearLog() override { return declined("ClearLog"); }
    Result<QString> StartUp() override { return declined("StartUp"); }
    Result<> StartUp(const QString&) override { return declined("StartUp"); }
    Result<Variant> ExitCode() override { return declined("ExitCode"); }
    Result<QString> Log() override { return declined("Log"); }
    Result<QString> LastLog() override { return declined("LastLog"); }
    Result<Variant> Tag() override { return declined("Tag"); }
    Result<> Tag(const Variant&) override { return declined("Tag"); }
    Result<Variant> Execute(const QString&, const Variant&) override { return declined("Execute"); }

private:
    QString m_text;
    ObjectRef m_database;
};

class OutsideEngineFactory : public QObject, public ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelScriptComponentFactory_iid FILE "outside_engine.json")
    Q_INTERFACES(velscript::ComponentFactory)

public:
    QObject* create(const QString& classId) override
    {
        if (classId.compare(VelScriptEngineClassId, Qt::CaseInsensitive) != 0)
            return nullptr;
        return new OutsideEngine;
    }
};

#include "outside_engine.moc"
