#include "lang/script_file.h"

#include "engine_kit/storable_text.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace velscript::lang {

namespace {

// Opening a pipe waits for a writer and a device may never end, so only plain files are read,
// and a save never puts a plain file in the place of a device or pipe.
std::expected<void, QString> isPlainFile(const QFileInfo& info)
{
    if (info.isDir())
        return std::unexpected(
            QStringLiteral("%1 is a folder, not a script file.").arg(info.filePath()));
    if (info.exists() && !info.isFile())
        return std::unexpected(QStringLiteral("%1 is a device, pipe or socket, not a script file.")
                                   .arg(info.filePath()));
    return {};
}

// A text that UTF-8 cannot hold: a lone surrogate would be written as "?".
std::expected<void, QString> fitsUtf8(const QString& path, const QString& text)
{
    const qsizetype lone = loneSurrogateAt(text);
    if (lone < 0)
        return {};
    int line = 1;
    for (qsizetype i = 0; i < lone; ++i) {
        // CR LF, a lone CR and a lone LF each end a line, as the language counts them.
        if (text[i] == u'\n' || (text[i] == u'\r' && text[i + 1] != u'\n'))
            ++line;
    }
    return std::unexpected(QStringLiteral("The file %1 is not written: line %2 holds the lone "
                                          "surrogate %3, which UTF-8 cannot store.")
                               .arg(path)
                               .arg(line)
                               .arg(codeUnitName(text[lone])));
}

} // namespace

std::expected<QString, QString> readScriptFile(const QString& path, qint64 maxBytes)
{
    if (const QString refused = unusableFileName(path); !refused.isEmpty())
        return std::unexpected(refused);
    const QFileInfo info(path);
    if (!info.exists())
        return std::unexpected(QStringLiteral("The file %1 does not exist.").arg(path));
    if (auto plain = isPlainFile(info); !plain)
        return std::unexpected(plain.error());
    const auto tooLarge = [&] {
        return std::unexpected(
            QStringLiteral("The file %1 is larger than %2 bytes.").arg(path).arg(maxBytes));
    };
    if (info.size() > maxBytes)
        return tooLarge();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(
            QStringLiteral("The file %1 cannot be read: %2").arg(path, file.errorString()));
    // Read one byte past the bound, so that a file that grew after the size check is caught too.
    const QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return std::unexpected(
            QStringLiteral("The file %1 cannot be read: %2").arg(path, file.errorString()));
    if (bytes.size() > maxBytes)
        return tooLarge();

    // The decoders drop the byte-order mark they recognise; a second one is part of the text.
    // A file that names its encoding by a byte-order mark is that text or an error; only an
    // unmarked file falls back to Latin-1.
    const auto marked = QStringConverter::encodingForData(bytes);
    if (marked) {
        QStringDecoder decoder(*marked, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(bytes);
        // The decoder passes over a cut-off last code unit and a lone surrogate in silence.
        const bool utf16 =
            *marked == QStringConverter::Utf16LE || *marked == QStringConverter::Utf16BE;
        const bool wholeUnits =
            *marked == QStringConverter::Utf8 || bytes.size() % (utf16 ? 2 : 4) == 0;
        if (decoder.hasError() || !wholeUnits || !QStringView(text).isValidUtf16())
            return std::unexpected(
                QStringLiteral("The file %1 starts with the byte-order mark of %2 but is not %2 "
                               "text.")
                    .arg(path, QLatin1StringView(QStringConverter::nameForEncoding(*marked))));
        return text;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

std::expected<void, QString> writeScriptFile(const QString& path, const QString& text,
                                             qint64 maxBytes)
{
    if (const QString refused = unusableFileName(path); !refused.isEmpty())
        return std::unexpected(refused);
    if (auto plain = isPlainFile(QFileInfo(path)); !plain)
        return std::unexpected(plain.error());
    if (auto fits = fitsUtf8(path, text); !fits)
        return fits;
    // A reader takes a leading U+FEFF for the byte-order mark; a mark in front keeps it text.
    const QByteArray bytes =
        (text.startsWith(QChar(0xFEFF)) ? QByteArray("\xEF\xBB\xBF") : QByteArray()) +
        text.toUtf8();
    // The reader refuses a larger file; one written anyway could not be opened again.
    if (bytes.size() > maxBytes)
        return std::unexpected(
            QStringLiteral("The file %1 is not written: the script takes %2 bytes, more than the "
                           "%3 bytes a script file may hold.")
                .arg(path)
                .arg(bytes.size())
                .arg(maxBytes));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return std::unexpected(
            QStringLiteral("The file %1 cannot be written: %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        return std::unexpected(
            QStringLiteral("The file %1 cannot be written: %2").arg(path, file.errorString()));
    return {};
}

} // namespace velscript::lang
