#include "conformance/suite.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace velscript::conformance {

namespace {

const int Format = 1;

QJsonObject encodeFile(const SuiteFile& file)
{
    QJsonObject encoded{{QStringLiteral("name"), file.name}};
    if (file.folder)
        encoded.insert(QStringLiteral("folder"), true);
    else
        encoded.insert(QStringLiteral("base64"), QString::fromLatin1(file.bytes.toBase64()));
    if (file.size >= 0)
        encoded.insert(QStringLiteral("size"), file.size);
    return encoded;
}

// A name inside the group's folder: no way out of it, nothing absolute.
bool isPlainName(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_.-]+(/[A-Za-z0-9_.-]+)*$"));
    return plain.match(name).hasMatch() && !name.split(u'/').contains(QStringLiteral(".."));
}

std::expected<SuiteFile, QString> decodeFile(const QJsonObject& encoded)
{
    SuiteFile file;
    file.name = encoded.value(QStringLiteral("name")).toString();
    if (!isPlainName(file.name))
        return std::unexpected(QStringLiteral("the file name \"%1\" is not a name inside the "
                                              "group's folder")
                                   .arg(file.name));
    file.folder = encoded.value(QStringLiteral("folder")).toBool();
    const auto bytes = QByteArray::fromBase64Encoding(
        encoded.value(QStringLiteral("base64")).toString().toLatin1(),
        QByteArray::AbortOnBase64DecodingErrors);
    if (!file.folder && !bytes)
        return std::unexpected(QStringLiteral("the file %1 has no bytes in base64").arg(file.name));
    file.bytes = *bytes;
    file.size = encoded.value(QStringLiteral("size")).toInteger(-1);
    if (file.size >= 0 && file.bytes.size() != 1)
        return std::unexpected(
            QStringLiteral("the file %1 has a size but not one byte to fill it").arg(file.name));
    return file;
}

} // namespace

std::expected<Suite, QString> readSuite(const QString& folder)
{
    const QString path = QDir(folder).filePath(QLatin1StringView(ManifestName));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("%1: %2").arg(path, file.errorString()));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    const auto unreadable = [&path](const QString& what) {
        return std::unexpected(QStringLiteral("%1: %2").arg(path, what));
    };
    if (!document.isObject())
        return unreadable(document.isNull() ? error.errorString()
                                            : QStringLiteral("not a JSON object"));
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toInt() != Format)
        return unreadable(QStringLiteral("not a suite of format %1").arg(Format));

    Suite suite;
    suite.folder = folder;
    for (const QJsonValue& value : root.value(QStringLiteral("groups")).toArray()) {
        const QJsonObject entry = value.toObject();
        SuiteGroup group;
        group.name = entry.value(QStringLiteral("name")).toString();
        group.title = entry.value(QStringLiteral("title")).toString();
        group.journal = entry.value(QStringLiteral("journal")).toString();
        if (group.name.isEmpty() || !isPlainName(group.journal))
            return unreadable(QStringLiteral("a group without a name or a journal"));
        for (const QJsonValue& encoded : entry.value(QStringLiteral("files")).toArray()) {
            auto decoded = decodeFile(encoded.toObject());
            if (!decoded)
                return unreadable(QStringLiteral("group %1: %2").arg(group.name, decoded.error()));
            group.files.append(std::move(*decoded));
        }
        suite.groups.append(std::move(group));
    }
    if (suite.groups.isEmpty())
        return unreadable(QStringLiteral("no groups"));
    return suite;
}

std::expected<void, QString> writeSuite(const Suite& suite)
{
    QJsonArray groups;
    for (const SuiteGroup& group : suite.groups) {
        QJsonArray files;
        for (const SuiteFile& file : group.files)
            files.append(encodeFile(file));
        groups.append(QJsonObject{{QStringLiteral("name"), group.name},
                                  {QStringLiteral("title"), group.title},
                                  {QStringLiteral("journal"), group.journal},
                                  {QStringLiteral("files"), files}});
    }
    const QJsonObject root{{QStringLiteral("format"), Format}, {QStringLiteral("groups"), groups}};
    const QString path = QDir(suite.folder).filePath(QLatin1StringView(ManifestName));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(QJsonDocument(root).toJson()) < 0)
        return std::unexpected(QStringLiteral("%1: %2").arg(path, file.errorString()));
    return {};
}

std::expected<void, QString> makeFiles(const SuiteGroup& group, const QString& folder)
{
    const QDir dir(folder);
    for (const SuiteFile& made : group.files) {
        const QString path = dir.filePath(made.name);
        if (made.folder) {
            if (!dir.mkpath(made.name))
                return std::unexpected(QStringLiteral("%1 cannot be made").arg(path));
            continue;
        }
        dir.mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return std::unexpected(QStringLiteral("%1: %2").arg(path, file.errorString()));
        bool written = true;
        if (made.size < 0) {
            written = file.write(made.bytes) == made.bytes.size();
        } else {
            const QByteArray block(1 << 20, made.bytes.at(0));
            for (qint64 left = made.size; written && left > 0; left -= block.size())
                written = file.write(block.constData(), std::min<qint64>(left, block.size())) > 0;
        }
        if (!written)
            return std::unexpected(QStringLiteral("%1: %2").arg(path, file.errorString()));
    }
    return {};
}

} // namespace velscript::conformance
