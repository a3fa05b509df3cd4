#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <expected>

namespace velscript::conformance {

// A file a group's calls open: its bytes, or as many copies of one byte as a size asks for (a
// file past the engine's size limit is not worth keeping in the suite), or a folder.
struct SuiteFile {
    QString name; // relative to the group's folder
    QByteArray bytes;
    qint64 size = -1; // when >= 0: `bytes` (one byte) repeated to this size
    bool folder = false;
};

// One group of the documented behaviour: its journal and the files its calls name. A group is
// replayed in a fresh folder of its own that holds those files, so the journals name files
// relative to it.
struct SuiteGroup {
    QString name;  // short, for the table and the JUnit test case: "stop"
    QString title; // for people: "Stop in modes 0 to 4"
    QString journal;
    QList<SuiteFile> files;
};

struct Suite {
    QString folder;
    QList<SuiteGroup> groups;
};

// The suite's table of contents, suite.json in its folder.
inline constexpr char ManifestName[] = "suite.json";

// Reads the table of contents of the suite in FOLDER; why it cannot, otherwise.
std::expected<Suite, QString> readSuite(const QString& folder);
// Writes the table of contents into the suite's folder.
std::expected<void, QString> writeSuite(const Suite& suite);
// Makes the group's files in FOLDER.
std::expected<void, QString> makeFiles(const SuiteGroup& group, const QString& folder);

} // namespace velscript::conformance
