#pragma once

#include "journal/journal.h"
#include "journal/journal_entry.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

namespace velscript::test {

// A journal file in a fresh folder, named in VELSCRIPT_JOURNAL for the life of the object; the
// journal starts a session on it as a new run of the program would.
class JournalFile {
public:
    explicit JournalFile(const QString& name = QStringLiteral("session.jsonl"))
        : path(m_dir.filePath(name))
    {
        qputenv("VELSCRIPT_JOURNAL", QFile::encodeName(path));
        journal::Journal::instance().restart();
    }
    ~JournalFile()
    {
        qunsetenv("VELSCRIPT_JOURNAL");
        journal::Journal::instance().restart();
    }

    // Every line of the file, parsed; a line that is no JSON object comes back empty.
    QList<QJsonObject> entries() const
    {
        QFile file(path);
        QList<QJsonObject> parsed;
        if (!file.open(QIODevice::ReadOnly))
            return parsed;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                parsed.append(QJsonDocument::fromJson(line).object());
        }
        return parsed;
    }

    // The entries as people read them, without durations, which differ from run to run.
    QStringList readable() const
    {
        QStringList lines;
        for (QJsonObject entry : entries()) {
            // A call's beginning repeats its end's operation and arguments.
            if (entry.value(journal::field::Operation) == journal::operation::Session ||
                entry.value(journal::field::Begun).toBool())
                continue;
            entry.remove(journal::field::Micros);
            lines.append(journal::readableLine(entry));
        }
        return lines;
    }

private:
    QTemporaryDir m_dir;

public:
    const QString path;
};

// What a run of velscript-replay came to.
struct ReplayRun {
    int status = -1;
    QString out;
    QString err;
};

// Runs the replay program to its end; a run that does not end within a minute has status -1.
inline ReplayRun runReplayProgram(const QString& program, const QStringList& arguments)
{
    // A runtime folder of its own keeps the platform's notice about a missing one off stderr.
    static QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace velscript::test
