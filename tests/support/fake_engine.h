#pragma once

#include "engine_kit/engine_operations.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <optional>

namespace velscript::test {

// An engine that records every call it receives and answers with values or failures that a test
// sets per operation. Reads answer the value last written or set, so a write-then-read round
// trip behaves like a real engine.
class RecordingEngine : public QObject, public EngineForwarder {
    Q_OBJECT
    Q_INTERFACES(velscript::VelScriptEngine)
public:
    RecordingEngine();
    ~RecordingEngine() override;

    // The calls this engine received, as "Op" or "Op=argument[,argument]".
    QStringList calls;
    // Every engine's calls in order, as "<serial>:<call>", and each engine's end as "<serial>:end".
    static QStringList& journal();
    // Every engine made so far, still alive or not.
    static QList<QPointer<RecordingEngine>>& made();
    static void resetAll();

    const int serial;

    // The value a read operation answers (by its name: "Text", "State", "ReadOnly", ...; Open and
    // Save answer "OpenResult" and "SaveResult").
    void set(const QString& operation, const Variant& value) { m_values[operation] = value; }
    Variant value(const QString& operation) const { return m_values.value(operation); }
    // Makes an operation fail with a description (reads and writes alike); "Visible=" makes only
    // the writes of Visible fail.
    void failOn(const QString& operation, const QString& description = QStringLiteral("failed"))
    {
        m_failures[operation] = description;
    }
    void succeedOn(const QString& operation) { m_failures.remove(operation); }
    // The Variant argument an operation last received, kind and all (Execute, Open, Save, Start,
    // Stop, Show, Hide): the recorded call shows only its text.
    Variant passed(const QString& operation) const { return m_passed.value(operation); }

    // The object each AddObject received, in order; held, so that identities stay comparable.
    QList<ObjectRef> addedObjects;
    // When set, AddObject leaves this in its in/out argument, whether the call then fails or not.
    std::optional<ObjectRef> addObjectReplacement;

    // Every operation of the interface arrives here, as the kit's list names it.
    Outcome forward(Operation operation, QList<Variant>& arguments) override;

protected:
    // The set value or failure of an operation, without recording a call.
    Outcome answer(const QString& operation) const;
    void record(const QString& call);

private:
    QMap<QString, Variant> m_values;
    QMap<QString, QString> m_failures;
    QMap<QString, Variant> m_passed;
};

// The recording engine with the by-name "ScriptState" property that hosts read. The property
// answers whatever scriptState holds (a number, or a value that cannot be compared with one).
class FakeEngine : public RecordingEngine {
    Q_OBJECT
    Q_PROPERTY(QVariant ScriptState READ scriptStateValue)
public:
    QVariant scriptState = 0;
    QVariant scriptStateValue();
};

// Registers the fake under the engine's class id for the life of the object; each Create of the
// window then makes a new FakeEngine. A null maker makes the service yield no instance.
class FakeEngineRegistration {
public:
    FakeEngineRegistration();
    explicit FakeEngineRegistration(std::function<QObject*()> maker);
    ~FakeEngineRegistration();
};

QString describe(const Variant& value);

} // namespace velscript::test
