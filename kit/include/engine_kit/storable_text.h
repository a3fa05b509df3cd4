#pragma once

// Texts that a file system, UTF-8 or a database cannot hold as they stand, found before they are
// stored rather than changed in silence.

#include <QString>
#include <QStringView>

namespace velscript {

// The system reads a file name only up to a NUL, so a name that holds one would open or write
// another file. Answers why such a name is refused, naming the position (from 1), or an empty
// text for a whole name.
inline QString nulInFileName(const QString& path)
{
    const qsizetype nul = path.indexOf(QChar(0));
    if (nul < 0)
        return {};
    return QStringLiteral("The file name holds a NUL character at position %1, where the system "
                          "would end it.")
        .arg(nul + 1);
}

// The index of the first surrogate that is not half of a pair, which UTF-8 cannot encode (it
// would be stored as U+FFFD or "?"); -1 when there is none.
inline qsizetype loneSurrogateAt(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return i;
    }
    return -1;
}

} // namespace velscript
