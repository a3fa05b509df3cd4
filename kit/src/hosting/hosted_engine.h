#pragma once

#include "engine_kit/engine_operations.h"

#include <QObject>

#include <atomic>
#include <memory>

namespace velscript::hosting {

class HostLink;

// An engine that lives in a host process of its own, as the tester's side sees it: every
// operation and the by-name ScriptState are calls to the host. When the host ends, the call
// under way fails saying so, and every later one fails saying that the engine has ended, except
// State and ScriptState (0) and Release (succeeds), so that a caller's paths stay sound.
class HostedEngine : public QObject, public EngineForwarder {
    Q_OBJECT
    Q_INTERFACES(velscript::VelScriptEngine)
    Q_PROPERTY(int ScriptState READ scriptState)

public:
    // Starts a host for the class of the plugin library and waits until it has made its
    // instance. Answers nothing when the instance does not offer the engine interface; throws
    // Failure when no host can be started or it cannot make the instance.
    static std::unique_ptr<HostedEngine> start(const QString& library, const QString& classId);
    ~HostedEngine() override;

    Outcome forward(Operation operation, QList<Variant>& arguments) override;
    bool endedDuringLastCall() const override { return m_endedDuringLastCall; }
    int scriptState();

    void setDisplayName(const QString& name);
    // The class of the engine in its host.
    QString className() const;
    // The host's process id, or 0 once it has ended.
    qint64 processId() const;

private:
    explicit HostedEngine(std::unique_ptr<HostLink> link);

    std::unique_ptr<HostLink> m_link;
    std::atomic<bool> m_endedDuringLastCall = false;
};

} // namespace velscript::hosting
