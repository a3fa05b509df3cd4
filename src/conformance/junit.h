#pragma once

#include "conformance/conformance_run.h"

#include <QList>
#include <QString>

#include <expected>

namespace velscript::conformance {

// Writes the results as JUnit XML, as CI systems read it: one test suite, one test case a group,
// a failure element with the group's first difference as its message and all of them as its
// text.
std::expected<void, QString> writeJUnit(const QString& path, const QList<GroupResult>& results);

} // namespace velscript::conformance
