#pragma once

#include <QString>

#include <expected>

namespace velscript::engine {

// Script files as the engine opens and saves them.
inline constexpr qint64 MaxScriptFileSize = qint64(16) << 20;

// The file's text: UTF-8 with or without a byte-order mark; a file that is not valid UTF-8 is
// read as Latin-1. Fails with the reason when the file is missing, unreadable or too large.
std::expected<QString, QString> readScriptFile(const QString& path);

// Writes the text as UTF-8 through a temporary file that replaces the old one only when all of it
// is written, so a failure leaves the old file as it was. Fails with the reason.
std::expected<void, QString> writeScriptFile(const QString& path, const QString& text);

} // namespace velscript::engine
