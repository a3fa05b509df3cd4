#include "lang/text_search.h"

#include "lang/errors.h"

#include <algorithm>
#include <bitset>

namespace velscript::lang {
namespace {

// The characters of the basic plane whose upper or lower case is more than one character: they
// are mapped alone, the runs between them by QString at once.
struct LengthChanging {
    std::bitset<0x10000> upper;
    std::bitset<0x10000> lower;
};

const LengthChanging& lengthChanging()
{
    static const LengthChanging table = [] {
        LengthChanging result;
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (QChar::isSurrogate(c))
                continue;
            const QString one{QChar(char16_t(c))};
            result.upper[c] = one.toUpper().size() != 1;
            result.lower[c] = one.toLower().size() != 1;
        }
        return result;
    }();
    return table;
}

// Simple case folding by code point; a character whose folding would change its length in UTF-16
// stays as it is, so that positions in the folded text are positions in the text.
QString folded(QStringView text)
{
    QString result(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) { // the common case, without the Unicode tables
            out[i] = c.unicode() >= u'A' && c.unicode() <= u'Z' ? c.unicode() + 32 : c.unicode();
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, text[i + 1]));
            if (QChar::requiresSurrogates(folded)) {
                out[i] = QChar::highSurrogate(folded);
                out[i + 1] = QChar::lowSurrogate(folded);
            } else {
                out[i] = c.unicode();
                out[i + 1] = text[i + 1].unicode();
            }
            ++i;
            continue;
        }
        out[i] = c.isSurrogate() ? c.unicode() : QChar::toCaseFolded(c.unicode());
    }
    return result;
}

// The maximal suffix of `n` for one order of the characters: where it starts (less one) and its
// period.
std::pair<qsizetype, qsizetype> maximalSuffix(QStringView n, bool reversed)
{
    qsizetype ip = -1;
    qsizetype jp = 0;
    qsizetype k = 1;
    qsizetype p = 1;
    const qsizetype l = n.size();
    while (jp + k < l) {
        const char16_t a = n[ip + k].unicode();
        const char16_t b = n[jp + k].unicode();
        if (a == b) {
            if (k == p) {
                jp += p;
                k = 1;
            } else {
                ++k;
            }
        } else if (reversed ? a < b : a > b) {
            jp += k;
            k = 1;
            p = jp - ip;
        } else {
            ip = jp++;
            k = p = 1;
        }
    }
    return {ip, p};
}

} // namespace

QString caseMapped(const QString& text, bool upper, qsizetype limit)
{
    const auto& changing = upper ? lengthChanging().upper : lengthChanging().lower;
    const auto mapped = [upper](QString piece) {
        return upper ? std::move(piece).toUpper() : std::move(piece).toLower();
    };
    QString result;
    QChar lastChanging;
    QString lastMapped;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !changing[text[i].unicode()])
            continue;
        if (runStart == 0 && i == text.size())
            return mapped(text); // nothing changes length: QString at once
        result += mapped(text.mid(runStart, i - runStart));
        if (i < text.size()) {
            if (text[i] != lastChanging || lastMapped.isEmpty()) {
                lastChanging = text[i];
                lastMapped = mapped(QString(text[i]));
            }
            result += lastMapped;
        }
        if (result.size() > limit)
            throw RuntimeError(ErrorNumber::OutOfMemory);
        runStart = i + 1;
    }
    return result;
}

TextSearch::TextSearch(QStringView haystack, const QString& needle, Qt::CaseSensitivity mode)
    : m_needle(needle), m_haystack(haystack)
{
    if (mode == Qt::CaseInsensitive) {
        m_foldedHaystack = folded(haystack);
        m_haystack = m_foldedHaystack;
        m_needle = folded(needle);
    }
    const QStringView n = m_needle;
    const qsizetype l = n.size();
    m_shift.fill(0);
    for (qsizetype i = 0; i < l; ++i)
        m_shift[n[i].unicode() & 0xFF] = i + 1;
    const auto [ip1, p1] = maximalSuffix(n, false);
    const auto [ip2, p2] = maximalSuffix(n, true);
    m_split = ip1 + 1 > ip2 + 1 ? ip1 : ip2;
    m_period = ip1 + 1 > ip2 + 1 ? p1 : p2;
    // A periodic needle remembers how much of it matched across a shift by its period.
    m_periodic =
        l > 0 && m_split + 1 + m_period <= l && n.left(m_split + 1) == n.mid(m_period, m_split + 1);
    if (!m_periodic)
        m_period = std::max(m_split, l - m_split - 1) + 1;
}

qsizetype TextSearch::indexFrom(qsizetype from) const
{
    const QStringView n = m_needle;
    const qsizetype l = n.size();
    const qsizetype end = m_haystack.size();
    if (from < 0 || from > end)
        return -1;
    if (l == 0)
        return from;
    if (l == 1)
        return m_haystack.indexOf(n[0], from);
    const qsizetype ms = m_split; // the last position of the left half, -1 for none
    const qsizetype mem0 = m_periodic ? l - m_period : 0;
    qsizetype mem = 0;
    qsizetype h = from;
    while (end - h >= l) {
        // The last character first: a needle without it moves past, one with it aligns.
        const char16_t last = m_haystack[h + l - 1].unicode();
        const qsizetype seen = m_shift[last & 0xFF];
        if (seen == 0) {
            h += l;
            mem = 0;
            continue;
        }
        qsizetype k = l - seen;
        if (k) {
            if (k < mem)
                k = mem;
            h += k;
            mem = 0;
            continue;
        }
        // The right half, left to right.
        for (k = std::max(ms + 1, mem); k < l && n[k] == m_haystack[h + k]; ++k) {
        }
        if (k < l) {
            h += k - ms;
            mem = 0;
            continue;
        }
        // The left half, right to left.
        for (k = ms + 1; k > mem && n[k - 1] == m_haystack[h + k - 1]; --k) {
        }
        if (k <= mem)
            return h;
        h += m_period;
        mem = mem0;
    }
    return -1;
}

qsizetype lastIndexOf(QStringView haystack, const QString& needle, Qt::CaseSensitivity mode)
{
    // Short texts take the plain search, whose worst case is small there and which copies nothing.
    if (haystack.size() * needle.size() <= 4096)
        return haystack.lastIndexOf(needle, -1, mode);
    // Otherwise the first match of the reversed needle in the reversed text, folded first so that
    // a pair of surrogates folds as one character.
    QString text = mode == Qt::CaseInsensitive ? folded(haystack) : haystack.toString();
    QString sought = mode == Qt::CaseInsensitive ? folded(needle) : needle;
    std::reverse(text.begin(), text.end());
    std::reverse(sought.begin(), sought.end());
    const qsizetype at = TextSearch(text, sought, Qt::CaseSensitive).indexFrom(0);
    return at < 0 ? -1 : haystack.size() - at - needle.size();
}

} // namespace velscript::lang
