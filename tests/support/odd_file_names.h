#pragma once

// File names shaped like abuse, for whatever takes a path: pieces that file systems, shells,
// encodings and C strings treat specially, alone and beside others, so that a name that works
// alone but not next to another is found too. Each ends in SUFFIX.

#include <QString>
#include <QStringList>

namespace velscript::test {

inline QStringList oddFileNames(const QString& suffix)
{
    const QStringList pieces = {QStringLiteral(" lead"),
                                QStringLiteral("trail "),
                                QStringLiteral("new\nline"),
                                QStringLiteral("tab\t"),
                                QStringLiteral("quote\"s"),
                                QStringLiteral("back\\slash"),
                                QStringLiteral("star*?"),
                                QStringLiteral("%20$HOME;"),
                                QStringLiteral("-dash"),
                                QStringLiteral(".hidden"),
                                QStringLiteral("温 e\u0301 \U0001F600"),
                                QStringLiteral("nul") + QChar(0) + QStringLiteral("x"),
                                QStringLiteral("lone") + QChar(0xD800) + QStringLiteral("x"),
                                QStringLiteral("del\x7F\x01"),
                                QString(240, QLatin1Char('n')),
                                QString(300, QLatin1Char('n'))};
    QStringList names;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        names.append(pieces[i] + suffix);
        for (qsizetype j = 0; j < pieces.size(); j += 5)
            names.append(pieces[i] + pieces[j] + suffix);
    }
    return names;
}

} // namespace velscript::test
