#pragma once

#include "engine/engine_log.h"
#include "engine_kit/velscript_engine.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

namespace velscript::engine {

class AddInBridge;
class EngineWindow;
class ScriptRunner;

// The most a script file Open reads and Save writes: the window holds the whole text, and a file
// Save wrote must open again.
inline constexpr qint64 MaxScriptFileSize = qint64(16) << 20;

// The reference VelScript engine: holds the script text and its file, runs the script on a
// worker thread of its own (ScriptRunner), keeps the log, hands named add-in objects to the
// script and owns a small window. Its operations are called on the thread that made it; none of
// them waits for a running script beyond a bounded moment.
class ReferenceEngine : public QObject, public VelScriptEngine {
    Q_OBJECT
    Q_INTERFACES(velscript::VelScriptEngine)
    Q_PROPERTY(int ScriptState READ scriptState)
public:
    ReferenceEngine();
    ~ReferenceEngine() override;

    int scriptState() const;
    EngineLog& log() { return m_log; }
    // The runner of a created engine, for the engine's own window: breakpoints, stepping over
    // and out, and reading a paused script.
    ScriptRunner* runner() const { return m_runner.get(); }
    const QString& fileName() const { return m_fileName; }

    Result<> Create(const Variant& option) override;
    Result<> Release(const Variant& option) override;
    Result<> Show(const Variant& option) override;
    Result<> Hide(const Variant& option) override;
    Result<Boolean> Visible() override;
    Result<> Visible(Boolean value) override;
    Result<Boolean> ReadOnly() override;
    Result<> ReadOnly(Boolean value) override;
    Result<Boolean> Modified() override;
    Result<> Modified(Boolean value) override;
    Result<> GUIEnabled(const QString& name, Boolean value) override;
    Result<Boolean> GUIEnabled(const QString& name) override;
    Result<qint32> hWnd() override;
    Result<Boolean> Open(const QString& path, const Variant& option) override;
    Result<Boolean> Save(const QString& path, const Variant& option) override;
    Result<QString> FileName() override;
    Result<> New(const Variant& option) override;
    Result<Boolean> Check(const Variant& option) override;
    Result<> Start(qint32 mode, const Variant& option) override;
    Result<> Stop(qint32 mode, const Variant& option) override;
    Result<Boolean> Wait(qint32 timeoutMs, const Variant& option) override;
    Result<> AddObject(const QString& name, ObjectRef& object) override;
    Result<> RemoveObject(const QString& name) override;
    Result<> ClearLog() override;
    Result<qint32> State() override;
    Result<qint32> LineNumber() override;
    Result<QString> Text() override;
    Result<> Text(const QString& value) override;
    Result<QString> StartUp() override;
    Result<> StartUp(const QString& value) override;
    Result<Variant> ExitCode() override;
    Result<QString> Log() override;
    Result<QString> LastLog() override;
    Result<Variant> Tag() override;
    Result<> Tag(const Variant& value) override;
    Result<Variant> Execute(const QString& statement, const Variant& argument) override;

signals:
    void textChanged();
    // Emitted on any thread when the script starts, pauses, resumes or ends.
    void scriptStateChanged();

private:
    struct AddedObject {
        QString name;
        ObjectRef object;
        std::shared_ptr<AddInBridge> bridge;
    };

    // Asks each add-in that can to cut short the call the script on SCRIPT waits in.
    void cancelAddInCalls(QThread* script);
    Result<> ready() const;
    Result<> idle(const QString& refusal) const;
    Result<EngineWindow*> window();
    void setText(const QString& text, bool modified);
    void updateProgram();

    bool m_created = false;
    bool m_released = false;
    QString m_text;
    QString m_fileName;
    QString m_startUp = QStringLiteral("Main");
    bool m_modified = false;
    bool m_readOnly = false;
    Variant m_tag;
    std::vector<AddedObject> m_objects;
    EngineLog m_log;
    std::unique_ptr<ScriptRunner> m_runner;
    QPointer<EngineWindow> m_window;
};

} // namespace velscript::engine
