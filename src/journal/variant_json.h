#pragma once

#include "engine_kit/variant.h"

#include <QJsonObject>
#include <QString>

#include <expected>

namespace velscript::journal {

// A Variant in the journal: {"kind": <kind name>, "value": ...}, exact for every kind. Booleans
// keep their 16-bit value and doubles their shortest exact text (so NaN, infinities and -0
// survive); an object is known by its class, never by its address: {"kind": "Object",
// "class": <meta-object class>, "classId": <component class id, when it is one of ours>}, and a
// reference to nothing is {"kind": "Object"}.
QJsonObject encode(const Variant& value);

// The Variant an encoding describes, or why it describes none. An object cannot be made from its
// description: Object decodes to a reference to nothing, and the caller supplies the object.
std::expected<Variant, QString> decode(const QJsonObject& encoded);

// One line's worth of a value for people: texts quoted with escapes, numbers in decimal (a
// double as the window shows it, Double(1E+20), while the file keeps "1e+20"), Booleans as
// True/False, the other kinds by name.
QString readable(const QJsonObject& encoded);

// A text quoted and escaped so that it stays on one line.
QString quoted(const QString& text);

} // namespace velscript::journal
