#pragma once

// Texts that a file system, UTF-8 or a database cannot hold as they stand, found before they are
// stored rather than changed in silence.

#include <QString>
#include <QStringView>

namespace velscript {

// A UTF-16 code unit as messages name it: "U+D800", "U+00E9".
inline QString codeUnitName(QChar c)
{
    return QStringLiteral("U+") +
           QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0');
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

// A file name the system would not take as it stands: it reads a name only up to a NUL, and a lone
// surrogate has no encoding on the disk, so such a name would open or write another file.
// Answers why the name is refused, naming the position (from 1), or an empty text for a name that
// can be used.
inline QString unusableFileName(const QString& path)
{
    if (const qsizetype nul = path.indexOf(QChar(0)); nul >= 0)
        return QStringLiteral("The file name holds a NUL character at position %1, where the "
                              "system would end it.")
            .arg(nul + 1);
    if (const qsizetype lone = loneSurrogateAt(path); lone >= 0)
        return QStringLiteral("The file name holds the lone surrogate %1 at position %2, which "
                              "the system cannot store.")
            .arg(codeUnitName(path[lone]))
            .arg(lone + 1);
    return {};
}

} // namespace velscript
