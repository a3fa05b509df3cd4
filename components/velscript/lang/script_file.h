#pragma once

#include <QString>

#include <expected>

namespace velscript::lang {

// Script files as the engine opens and saves them and velscript runs them, read one way by both.
// Each caller bounds the size: the engine by what its window and Save hold, velscript by what a
// script may take to load.

// The file's text: UTF-16 or UTF-32 after their byte-order mark, else UTF-8 with or without one;
// a file that is not valid UTF-8 is read as Latin-1. Fails with the reason when the file is
// missing, not a plain file, unreadable, larger than maxBytes, or not the text its byte-order
// mark names.
std::expected<QString, QString> readScriptFile(const QString& path, qint64 maxBytes);

// Writes the text as UTF-8 through a temporary file that replaces the old one only when all of it
// is written, so a failure leaves the old file as it was; reading the file gives the same text
// back. Fails with the reason, also for a text UTF-8 cannot hold (a lone surrogate), for one that
// takes more than maxBytes, and for a path that names a device or pipe.
std::expected<void, QString> writeScriptFile(const QString& path, const QString& text,
                                             qint64 maxBytes);

} // namespace velscript::lang
