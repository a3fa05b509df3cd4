#pragma once

#include "conformance/suite.h"
#include "replay/journal_reader.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <expected>

namespace velscript::conformance {

struct GroupResult {
    QString name;
    QString title;
    bool passed = false;
    QStringList differences; // in the replay's words, first one first
    double seconds = 0;
};

// A suite read whole, its journals too, so that a suite that cannot be read is known before
// any engine is made.
struct LoadedSuite {
    Suite suite;
    QList<replay::Journal> journals; // one a group
};

std::expected<LoadedSuite, QString> loadSuite(const QString& folder);

// Replays each group's journal against whatever engine the component service makes now, each in
// a fresh folder with the group's files. A group passes when every compared outcome agrees. An
// engine that crashes or leaves a call unanswered fails its group; the next group gets a new one.
// EACH is told every group's result as it comes.
QList<GroupResult> runSuite(const LoadedSuite& loaded,
                            const std::function<void(const GroupResult&)>& each);

} // namespace velscript::conformance
