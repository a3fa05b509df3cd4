#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

namespace velscript::lang {

// A text in upper or lower case, as QString maps it, in time linear in its length however many of
// its characters change length (Qt maps those one by one, each a copy of the rest). Throws
// RuntimeError Out of memory when the result would pass `limit` characters.
QString caseMapped(const QString& text, bool upper, qsizetype limit);

// Finds one text in another again and again, in time linear in both however they are made
// (two-way matching); in case-insensitive mode both are compared case-folded.
class TextSearch {
public:
    TextSearch(QStringView haystack, const QString& needle, Qt::CaseSensitivity mode);

    // The first position of the needle at or after `from`, or -1.
    qsizetype indexFrom(qsizetype from) const;

private:
    QString m_foldedHaystack; // case-insensitive mode only
    QString m_needle;
    QStringView m_haystack;
    // The needle's critical factorisation and the last position of each low byte in it.
    qsizetype m_split = 0;
    qsizetype m_period = 0;
    bool m_periodic = false;
    std::array<qsizetype, 256> m_shift{};
};

// The position of the last occurrence of `needle` that lies wholly inside `haystack`, or -1; in
// time linear in both, as TextSearch.
qsizetype lastIndexOf(QStringView haystack, const QString& needle, Qt::CaseSensitivity mode);

} // namespace velscript::lang
