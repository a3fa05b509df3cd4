#pragma once

#include "engine_kit/hosting.h"
#include "replay/journal_reader.h"

#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

#include <map>

namespace velscript {
class VelScriptEngine;
}

namespace velscript::replay {

struct Options {
    // Operations made but not compared: a journal name ("Text.get") or a bare one ("Text").
    QStringList ignored;
    // Also compare what varies from run to run: State, LineNumber, hWnd, Wait, reads by name,
    // and the time stamps in the log.
    bool compareTiming = false;
    // How long a read of the state may wait for the state the journal recorded, once a script
    // was started.
    int waitMs = 5000;
};

struct Summary {
    int sessions = 0;
    int calls = 0; // entries replayed, creations and ends included
    int differences = 0;
    int notCompared = 0; // results that vary from run to run, or that the journal leaves out
    int ignored = 0;
    int skipped = 0; // calls on an engine that could not be made now
    qint64 recordedMicros = 0;
    qint64 nowMicros = 0;
};

// Makes a journal's calls again, in order and with the same arguments, against whatever engines
// the component service makes now, and reports each outcome that differs from the recorded one.
class Replayer {
public:
    Replayer(Options options, QTextStream& out);
    ~Replayer();

    Summary run(const Journal& journal);

private:
    struct Engine;

    void create(const JournalLine& line);
    void call(const JournalLine& line);
    // Makes the entry's call and answers its outcome; micros receives the call's duration.
    QJsonObject callNow(const JournalLine& line, Engine& engine, qint64& micros);
    QJsonObject waitForRecordedState(const JournalLine& line, Engine& engine, qint64& micros);
    void compare(const JournalLine& line, const QJsonObject& now);
    QJsonObject comparable(const JournalLine& line, const QJsonObject& outcome) const;
    bool varies(const JournalLine& line) const;
    bool isIgnored(const QString& op) const;

    Options m_options;
    QTextStream& m_out;
    Summary m_summary;
    std::map<qint32, Engine> m_engines;    // by instance, for the session being replayed
    std::map<QString, ObjectRef> m_handed; // add-in objects by class id, kept as the window does
    UnansweredCallHandler m_previousHandler;
};

} // namespace velscript::replay
