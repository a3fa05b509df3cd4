#pragma once

#include <QJsonObject>
#include <QLoggingCategory>
#include <QMutex>
#include <QString>

#include <memory>

class QFile;

Q_DECLARE_LOGGING_CATEGORY(lcCalls)

namespace velscript::journal {

// Where the journal of engine calls goes: the logging category velscript.calls (info level, off
// by default), one readable line a call, and, when VELSCRIPT_JOURNAL names a file, that file as
// JSON Lines, appended and flushed line by line so that a crash loses nothing already written.
// A file that cannot be opened or written is reported once and the program goes on without it.
class Journal {
public:
    static Journal& instance();

    // Whether engines made now are journaled: the category is on or a file is being written.
    bool isOn();

    // The next instance number of this session; engines are counted as they are made.
    qint32 nextInstance();

    // Writes one entry to every sink that is on. The first entry of a session is preceded by the
    // session's own line.
    void write(const QJsonObject& entry);

    // Fields that every entry of an engine written from now on carries, such as how a replay is
    // to compare it ("compare"); empty to stop.
    void setMarks(QJsonObject marks);

    // Reads VELSCRIPT_JOURNAL again and begins a new session, as a new run of the program would.
    void restart();

    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

private:
    Journal();
    ~Journal();

    void openFile();
    void put(const QJsonObject& entry);
    void reportFileProblem(const QString& problem);

    QMutex m_mutex; // entries come whole, whichever thread lets go of an engine
    std::unique_ptr<QFile> m_file;
    QJsonObject m_marks;
    bool m_sessionStarted = false;
    qint32 m_instances = 0;
};

} // namespace velscript::journal
