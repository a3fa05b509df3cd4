#include "conformance/recording.h"

#include "engine_kit/component_service.h"
#include "journal/journal.h"
#include "journal/journal_entry.h"
#include "journal/journaled_engine.h"

namespace velscript::conformance {

Recording::Recording(journal::JournaledEngine& engine) : m_engine(engine) {}

VelScriptEngine& Recording::engine() const
{
    return m_engine;
}

void Recording::markedAs(const QString& how, const std::function<void()>& body)
{
    journal::Journal& journal = journal::Journal::instance();
    journal.setMarks({{journal::field::Compare, how}});
    body();
    journal.setMarks({{journal::field::Compare, journal::comparison::Value}});
}

void Recording::failedOnly(const std::function<void()>& body)
{
    markedAs(journal::comparison::Failed, body);
}

void Recording::notCompared(const std::function<void()>& body)
{
    markedAs(journal::comparison::None, body);
}

void Recording::readScriptState()
{
    static_cast<void>(m_engine.property(ScriptStateProperty));
}

ObjectRef Recording::make(const QString& classId)
{
    return ComponentService::instance().create(classId);
}

QList<RecordedGroup> recordedGroups()
{
    return scriptGroups() + runningGroups() + objectGroups();
}

} // namespace velscript::conformance
