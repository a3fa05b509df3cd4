#pragma once

#include "engine_kit/engine_operations.h"
#include "journal/variant_json.h"

#include <QJsonObject>
#include <QString>

namespace velscript::journal {

// One line of the journal, a JSON object. A call to an engine:
//   {"time": ISO 8601 UTC with milliseconds, "engine": the window's number for the engine,
//    "instance": the engine's place among those made in this session, "op": "Text.get",
//    "args": [values], then "result": value, or "failure": description, or neither when the
//    operation has no result; "us": the call's duration in microseconds}
// A property's read is "<name>.get" and its write "<name>.put"; a read by name through the
// meta-object system carries "byName": true. AddObject's result is the object its argument holds
// afterwards, with "same": whether it is the object handed over.
// A call is written twice: as it begins, with "begun": true and no outcome, and as it ends. A
// call whose engine's process ended during it carries "ended": true with its failure; a begun
// call that never ended is the one during which the writing program itself ended.
// A call may say how a replay compares its outcome ("compare", see comparison below); a journal
// without it is compared as the replay's options say.
namespace field {
inline const QString Time = QStringLiteral("time");
inline const QString Engine = QStringLiteral("engine");
inline const QString Instance = QStringLiteral("instance");
inline const QString Operation = QStringLiteral("op");
inline const QString Arguments = QStringLiteral("args");
inline const QString Result = QStringLiteral("result");
inline const QString Failure = QStringLiteral("failure");
inline const QString Micros = QStringLiteral("us");
inline const QString ByName = QStringLiteral("byName");
inline const QString Same = QStringLiteral("same");
inline const QString Begun = QStringLiteral("begun");
inline const QString Ended = QStringLiteral("ended");
inline const QString Process = QStringLiteral("pid");
inline const QString Program = QStringLiteral("program");
inline const QString Compare = QStringLiteral("compare");
} // namespace field

// What of a call's outcome is the contract, and so compared by a replay; the rest is the
// recording engine's own. That an engine's process ended is always compared.
namespace comparison {
// Whether it failed and the value it answered, also for reads that vary from run to run (State,
// LineNumber, Wait, ScriptState); never a failure's description.
inline const QString Value = QStringLiteral("value");
// Only whether it failed: the value is the engine's own, such as the language's error wording.
inline const QString Failed = QStringLiteral("failed");
// Nothing: the call is made for its effect.
inline const QString None = QStringLiteral("none");
} // namespace comparison

// The lines that are not calls. A session starts each run of the program that writes to the
// journal; instance.create records a creation ("args": [class id], "result": the class made, an
// Empty value when the service made none, or "failure"); instance.end records that the window let
// go of its last reference to the engine.
namespace operation {
inline const QString Session = QStringLiteral("session");
inline const QString InstanceCreate = QStringLiteral("instance.create");
inline const QString InstanceEnd = QStringLiteral("instance.end");
} // namespace operation

// Writes a call's outcome into its entry: "result" for a value, "failure" (and "ended") for a
// failure, nothing for an operation without a result that succeeded. An argument the engine may
// replace is written as the result, from what the call left in it (`after`), with "same".
void insertOutcome(QJsonObject& entry, Operation operation, const Outcome& outcome,
                   const QList<Variant>& handed, const QList<Variant>& after);

// What came back, for people: "ok", the value, or failed "description".
QString readableOutcome(const QJsonObject& entry);

// The entry on one line for people: engine 0 Text.get() -> "Sub Main" (12 µs).
QString readableLine(const QJsonObject& entry);

} // namespace velscript::journal
