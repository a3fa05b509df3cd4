#include "engine/script_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace velscript::engine {

std::expected<QString, QString> readScriptFile(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return std::unexpected(QStringLiteral("The file %1 does not exist.").arg(path));
    if (QFileInfo(path).isDir())
        return std::unexpected(QStringLiteral("%1 is a folder, not a script file.").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(
            QStringLiteral("The file %1 cannot be read: %2").arg(path, file.errorString()));
    // Read one byte past the bound, so that a file that grew after the size check is caught too.
    const QByteArray bytes = file.read(MaxScriptFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return std::unexpected(
            QStringLiteral("The file %1 cannot be read: %2").arg(path, file.errorString()));
    if (bytes.size() > MaxScriptFileSize)
        return std::unexpected(QStringLiteral("The file %1 is larger than %2 bytes.")
                                   .arg(path)
                                   .arg(MaxScriptFileSize));

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    // The decoder keeps a byte-order mark as U+FEFF; it is not part of the script.
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

std::expected<void, QString> writeScriptFile(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return std::unexpected(
            QStringLiteral("The file %1 cannot be written: %2").arg(path, file.errorString()));
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit())
        return std::unexpected(
            QStringLiteral("The file %1 cannot be written: %2").arg(path, file.errorString()));
    return {};
}

} // namespace velscript::engine
