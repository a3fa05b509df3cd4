#pragma once

#include "engine_kit/engine_operations.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <expected>

namespace velscript::replay {

// One entry of a journal, checked and ready to replay.
struct JournalLine {
    int line = 0; // in the file, from 1
    QJsonObject entry;
    QString op;
    qint32 engine = -1;
    qint32 instance = -1;
    // The call's arguments; an object argument is a reference to nothing here, the replay
    // supplies the object the entry describes.
    QList<Variant> arguments;
    const OperationInfo* operation = nullptr; // for a call of the engine interface
    bool byName = false;                      // for a read by name ("ScriptState.get")
    // A call that began and never ended: the program that wrote the journal ended during it.
    bool unfinished = false;
};

struct Journal {
    QList<JournalLine> lines;
    // The line that a killed writer left unfinished at the end of the file, or 0.
    int cutOffLine = 0;
};

// Reads and checks a whole journal. The description of a journal that cannot be read names the
// file and the line: "FILE:LINE: what is wrong".
std::expected<Journal, QString> readJournal(const QString& path);

} // namespace velscript::replay
