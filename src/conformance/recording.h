#pragma once

#include "conformance/suite.h"
#include "engine_kit/velscript_engine.h"

#include <QList>

#include <functional>

namespace velscript::journal {
class JournaledEngine;
}

namespace velscript::conformance {

// What a group's recorder drives: the reference engine behind the journal layer, so that the
// suite is written by the same code that writes the tester's journals. Every call is compared
// by its value and whether it failed unless the recorder says otherwise around it.
class Recording {
public:
    explicit Recording(journal::JournaledEngine& engine);

    VelScriptEngine& engine() const;

    // Makes the calls of BODY with the journal saying that only whether each failed is the
    // contract: the value is the engine's own (the language's error wording, a window handle).
    void failedOnly(const std::function<void()>& body);
    // Makes the calls of BODY for their effect alone: the journal asks for no comparison.
    void notCompared(const std::function<void()>& body);

    // Reads ScriptState by name, as the tester does before it closes.
    void readScriptState();
    // A new instance of a built-in component class, to hand to the engine.
    static ObjectRef make(const QString& classId);

private:
    void markedAs(const QString& how, const std::function<void()>& body);

    journal::JournaledEngine& m_engine;
};

using GroupRecorder = std::function<void(Recording&)>;

struct RecordedGroup {
    SuiteGroup group;
    GroupRecorder record;
};

// Every group of the suite, in the order the runner prints them.
QList<RecordedGroup> recordedGroups();

// The groups of each part, for recordedGroups().
QList<RecordedGroup> scriptGroups();  // text, Modified/ReadOnly, files, start-up routine
QList<RecordedGroup> runningGroups(); // start, stop, stepping, wait, ScriptState, log
QList<RecordedGroup> objectGroups();  // Execute, Tag, add-ins, window, life cycle

// The call's option argument left out, as the window leaves it out.
inline Variant omitted()
{
    return Variant::missing();
}

} // namespace velscript::conformance
