#include "conformance/conformance_run.h"

#include "replay/replayer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace velscript::conformance {

std::expected<LoadedSuite, QString> loadSuite(const QString& folder)
{
    auto suite = readSuite(folder);
    if (!suite)
        return std::unexpected(suite.error());
    LoadedSuite loaded;
    for (const SuiteGroup& group : suite->groups) {
        auto journal = replay::readJournal(QDir(folder).filePath(group.journal));
        if (!journal)
            return std::unexpected(journal.error());
        if (journal->cutOffLine != 0)
            return std::unexpected(QStringLiteral("%1: line %2 is cut off")
                                       .arg(QDir(folder).filePath(group.journal))
                                       .arg(journal->cutOffLine));
        loaded.journals.append(std::move(*journal));
    }
    loaded.suite = std::move(*suite);
    return loaded;
}

namespace {

GroupResult runGroup(const SuiteGroup& group, const replay::Journal& journal)
{
    GroupResult result{group.name, group.title, false, {}, 0};
    QElapsedTimer timer;
    timer.start();
    QTemporaryDir folder;
    if (!folder.isValid()) {
        result.differences.append(
            QStringLiteral("no folder to replay in: %1").arg(folder.errorString()));
        return result;
    }
    if (const auto made = makeFiles(group, folder.path()); !made) {
        result.differences.append(made.error());
        return result;
    }
    // The journals name files relative to the folder they were recorded in; an engine's host
    // starts in the folder the replay is in.
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());
    QString out;
    replay::Summary summary;
    {
        QTextStream stream(&out);
        replay::Replayer replayer(replay::Options{}, stream);
        summary = replayer.run(journal);
    }
    QDir::setCurrent(before);

    result.differences = out.split(u'\n', Qt::SkipEmptyParts);
    result.passed =
        summary.differences == 0 && summary.skipped == 0 && result.differences.isEmpty();
    if (!result.passed && result.differences.isEmpty())
        result.differences.append(
            QStringLiteral("%1 calls were skipped: the engine was not made").arg(summary.skipped));
    result.seconds = double(timer.elapsed()) / 1000;
    return result;
}

} // namespace

QList<GroupResult> runSuite(const LoadedSuite& loaded,
                            const std::function<void(const GroupResult&)>& each)
{
    QList<GroupResult> results;
    for (qsizetype i = 0; i < loaded.suite.groups.size(); ++i) {
        results.append(runGroup(loaded.suite.groups.at(i), loaded.journals.at(i)));
        if (each)
            each(results.last());
    }
    return results;
}

} // namespace velscript::conformance
