#include "journal/journal.h"

#include "journal/journal_entry.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>

Q_LOGGING_CATEGORY(lcCalls, "velscript.calls", QtWarningMsg)

namespace velscript::journal {

namespace {

const char* const FileVariable = "VELSCRIPT_JOURNAL";

} // namespace

Journal& Journal::instance()
{
    // Never destroyed: an engine let go of during exit still has its end recorded.
    static Journal* const journal = new Journal;
    return *journal;
}

Journal::Journal()
{
    openFile();
}

Journal::~Journal() = default;

bool Journal::isOn()
{
    if (lcCalls().isInfoEnabled())
        return true;
    const QMutexLocker lock(&m_mutex);
    return m_file != nullptr;
}

qint32 Journal::nextInstance()
{
    const QMutexLocker lock(&m_mutex);
    return m_instances++;
}

void Journal::restart()
{
    const QMutexLocker lock(&m_mutex);
    m_file.reset();
    m_sessionStarted = false;
    m_instances = 0;
    openFile();
}

void Journal::setMarks(QJsonObject marks)
{
    const QMutexLocker lock(&m_mutex);
    m_marks = std::move(marks);
}

void Journal::openFile()
{
    const QString path = qEnvironmentVariable(FileVariable);
    if (path.isEmpty())
        return;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        reportFileProblem(QStringLiteral("cannot be opened: %1").arg(file->errorString()));
        return;
    }
    m_file = std::move(file);
}

void Journal::reportFileProblem(const QString& problem)
{
    qCWarning(lcCalls).noquote() << QStringLiteral(
                                        "The journal file %1 %2; calls are not written to it.")
                                        .arg(qEnvironmentVariable(FileVariable), problem);
}

void Journal::write(const QJsonObject& entry)
{
    const QMutexLocker lock(&m_mutex);
    if (!m_sessionStarted) {
        m_sessionStarted = true;
        put(QJsonObject{
            {field::Time, QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
            {field::Operation, operation::Session},
            {field::Program, QCoreApplication::applicationName()},
            {field::Process, QCoreApplication::applicationPid()},
        });
    }
    if (m_marks.isEmpty()) {
        put(entry);
        return;
    }
    QJsonObject marked = entry;
    for (auto mark = m_marks.begin(); mark != m_marks.end(); ++mark)
        marked.insert(mark.key(), mark.value());
    put(marked);
}

void Journal::put(const QJsonObject& entry)
{
    // A call's beginning matters only to a file that may be all that is left after a crash.
    if (lcCalls().isInfoEnabled() && !entry.value(field::Begun).toBool())
        qCInfo(lcCalls).noquote() << readableLine(entry);
    if (!m_file)
        return;
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    if (m_file->write(line) != line.size() || !m_file->flush()) {
        reportFileProblem(QStringLiteral("cannot be written: %1").arg(m_file->errorString()));
        m_file.reset();
    }
}

} // namespace velscript::journal
