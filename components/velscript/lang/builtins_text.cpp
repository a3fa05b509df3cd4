#include "lang/builtins.h"

#include "lang/conversions.h"
#include "lang/errors.h"
#include "lang/machine.h"
#include "lang/text_search.h"

// The text functions. As in BASIC, most of them give Null for a Null text.

namespace velscript::lang {
namespace {

using Args = std::span<const Value>;

QString text(const Value& value)
{
    return toText(plainValue(value));
}

qsizetype count(const Value& value)
{
    const std::int32_t n = toInt32(value);
    if (n < 0)
        throw RuntimeError(ErrorNumber::InvalidCall);
    return n;
}

Value length(Machine&, Args args)
{
    if (args[0].isNull())
        return Value::null();
    return Value(std::int32_t(text(args[0]).size()));
}

Value left(Machine&, Args args)
{
    if (args[0].isNull())
        return Value::null();
    return Value(text(args[0]).left(count(args[1])));
}

Value right(Machine&, Args args)
{
    if (args[0].isNull())
        return Value::null();
    return Value(text(args[0]).right(count(args[1])));
}

Value mid(Machine&, Args args)
{
    if (args[0].isNull())
        return Value::null();
    const std::int32_t start = toInt32(args[1]);
    if (start < 1)
        throw RuntimeError(ErrorNumber::InvalidCall);
    const qsizetype n = args.size() > 2 ? count(args[2]) : -1;
    const QString s = text(args[0]);
    if (start > s.size())
        return Value(QString());
    return Value(s.mid(start - 1, n));
}

Qt::CaseSensitivity compareMode(Args args, size_t at)
{
    if (args.size() <= at)
        return Qt::CaseSensitive;
    const std::int32_t mode = toInt32(args[at]);
    if (mode != 0 && mode != 1)
        throw RuntimeError(ErrorNumber::InvalidCall);
    return mode == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

// InStr([start,] text, sought[, compare]): the 1-based position, or 0.
Value inString(Machine&, Args args)
{
    const bool hasStart = args.size() >= 3;
    if (args.size() == 4 || (hasStart && !args[0].isString())) {
        const std::int32_t start = toInt32(args[0]);
        if (start < 1)
            throw RuntimeError(ErrorNumber::InvalidCall);
        if (args[1].isNull() || args[2].isNull())
            return Value::null();
        const QString s = text(args[1]);
        if (start > s.size() + 1)
            return Value(std::int32_t(0));
        const TextSearch search(s, text(args[2]), compareMode(args, 3));
        return Value(std::int32_t(search.indexFrom(start - 1) + 1));
    }
    if (args[0].isNull() || args[1].isNull())
        return Value::null();
    if (args.size() == 3)
        throw RuntimeError(ErrorNumber::TypeMismatch);
    const QString s = text(args[0]);
    const TextSearch search(s, text(args[1]), Qt::CaseSensitive);
    return Value(std::int32_t(search.indexFrom(0) + 1));
}

// Replace(text, find, with[, start[, count[, compare]]]): the text from `start` on, with up to
// `count` (-1: all) occurrences replaced.
Value replace(Machine& machine, Args args)
{
    if (args[0].isNull())
        return Value::null();
    const QString source = text(args[0]);
    const QString find = text(args[1]);
    const QString with = text(args[2]);
    const std::int32_t start = args.size() > 3 ? toInt32(args[3]) : 1;
    const std::int32_t limit = args.size() > 4 ? toInt32(args[4]) : -1;
    const Qt::CaseSensitivity mode = compareMode(args, 5);
    if (start < 1 || limit < -1)
        throw RuntimeError(ErrorNumber::InvalidCall);
    const QString rest = source.mid(start - 1);
    if (find.isEmpty() || limit == 0)
        return Value(rest);
    const TextSearch search(rest, find, mode);
    QString result;
    qsizetype from = 0;
    int done = 0;
    while (limit < 0 || done < limit) {
        const qsizetype at = search.indexFrom(from);
        if (at < 0)
            break;
        result += QStringView(rest).mid(from, at - from);
        result += with;
        machine.checkStringLength(result.size());
        from = at + find.size();
        ++done;
    }
    result += QStringView(rest).mid(from);
    return Value(std::move(result));
}

Value trimmed(const Value& value, bool leading, bool trailing)
{
    if (value.isNull())
        return Value::null();
    const QString s = text(value);
    qsizetype from = 0;
    qsizetype to = s.size();
    while (leading && from < to && s[from] == u' ')
        ++from;
    while (trailing && to > from && s[to - 1] == u' ')
        --to;
    return Value(s.mid(from, to - from));
}

Value trim(Machine&, Args args)
{
    return trimmed(args[0], true, true);
}

Value leftTrim(Machine&, Args args)
{
    return trimmed(args[0], true, false);
}

Value rightTrim(Machine&, Args args)
{
    return trimmed(args[0], false, true);
}

Value upper(Machine& machine, Args args)
{
    if (args[0].isNull())
        return Value::null();
    return Value(caseMapped(text(args[0]), true, machine.limits.maxStringLength));
}

Value lower(Machine& machine, Args args)
{
    if (args[0].isNull())
        return Value::null();
    return Value(caseMapped(text(args[0]), false, machine.limits.maxStringLength));
}

Value character(Machine&, Args args)
{
    const std::int32_t code = toInt32(args[0]);
    if (code < 0 || code > 0xFFFF)
        throw RuntimeError(ErrorNumber::InvalidCall);
    return Value(QString(QChar(char16_t(code))));
}

Value characterCode(Machine&, Args args)
{
    const QString s = text(args[0]);
    if (s.isEmpty())
        throw RuntimeError(ErrorNumber::InvalidCall);
    return Value(std::int32_t(s[0].unicode()));
}

Value spaces(Machine& machine, Args args)
{
    const qsizetype n = count(args[0]);
    machine.checkStringLength(n);
    return Value(QString(n, u' '));
}

Value repeated(Machine& machine, Args args)
{
    const qsizetype n = count(args[0]);
    machine.checkStringLength(n);
    QChar c;
    if (args[1].isString()) {
        if (args[1].string().isEmpty())
            throw RuntimeError(ErrorNumber::InvalidCall);
        c = args[1].string()[0];
    } else {
        const std::int32_t code = toInt32(args[1]);
        if (code < 0 || code > 0xFFFF)
            throw RuntimeError(ErrorNumber::InvalidCall);
        c = QChar(char16_t(code));
    }
    return Value(QString(n, c));
}

// By character: a pair of surrogates stays in its order.
Value reversed(Machine&, Args args)
{
    QString s = text(args[0]);
    std::reverse(s.begin(), s.end());
    for (qsizetype i = 0; i + 1 < s.size(); ++i) {
        if (s[i].isLowSurrogate() && s[i + 1].isHighSurrogate()) {
            std::swap(s[i], s[i + 1]);
            ++i;
        }
    }
    return Value(std::move(s));
}

// Split(text[, delimiter[, count[, compare]]]); an empty text gives an empty array.
Value split(Machine& machine, Args args)
{
    const QString s = text(args[0]);
    const QString delimiter = args.size() > 1 ? text(args[1]) : QStringLiteral(" ");
    const std::int32_t limit = args.size() > 2 ? toInt32(args[2]) : -1;
    const Qt::CaseSensitivity mode = compareMode(args, 3);
    if (limit < -1)
        throw RuntimeError(ErrorNumber::InvalidCall);
    std::vector<Value> parts;
    if (s.isEmpty() || limit == 0)
        return Value(std::move(parts));
    if (delimiter.isEmpty()) {
        parts.emplace_back(s);
        return Value(std::move(parts));
    }
    const TextSearch search(s, delimiter, mode);
    qsizetype from = 0;
    while (limit < 0 || std::int32_t(parts.size()) < limit - 1) {
        const qsizetype at = search.indexFrom(from);
        if (at < 0)
            break;
        // Checked as the parts are made (the rest of the text is one more part): a long text of
        // delimiters would otherwise make millions of them before the limit is looked at.
        machine.checkArrayLength(qint64(parts.size()) + 2);
        parts.emplace_back(s.mid(from, at - from));
        from = at + delimiter.size();
    }
    parts.emplace_back(s.mid(from));
    machine.checkArrayLength(qint64(parts.size()));
    return Value(std::move(parts));
}

Value join(Machine& machine, Args args)
{
    if (!args[0].isArray())
        throw RuntimeError(ErrorNumber::TypeMismatch);
    const QString delimiter = args.size() > 1 ? text(args[1]) : QStringLiteral(" ");
    QString result;
    bool first = true;
    for (const Value& item : args[0].array()) {
        if (!first)
            result += delimiter;
        first = false;
        result += item.isNull() ? QString() : text(item);
        machine.checkStringLength(result.size());
    }
    return Value(std::move(result));
}

// InStrRev(text, sought[, start[, compare]]): the 1-based position of the last occurrence that
// ends at or before `start` (-1: the end), or 0.
Value inStringReverse(Machine&, Args args)
{
    if (args[0].isNull() || args[1].isNull())
        return Value::null();
    const QString s = text(args[0]);
    const QString sought = text(args[1]);
    std::int32_t start = args.size() > 2 ? toInt32(args[2]) : -1;
    const Qt::CaseSensitivity mode = compareMode(args, 3);
    if (start == 0 || start < -1)
        throw RuntimeError(ErrorNumber::InvalidCall);
    if (s.isEmpty())
        return Value(std::int32_t(0));
    if (start == -1)
        start = std::int32_t(s.size());
    if (start > s.size())
        return Value(std::int32_t(0));
    if (sought.isEmpty())
        return Value(start);
    const qsizetype at = lastIndexOf(QStringView(s).left(start), sought, mode);
    return Value(std::int32_t(at + 1));
}

// StrComp(a, b[, compare]): -1, 0 or 1 as a sorts before, with or after b; Null if either is.
Value stringCompare(Machine&, Args args)
{
    const Qt::CaseSensitivity mode = compareMode(args, 2);
    if (args[0].isNull() || args[1].isNull())
        return Value::null();
    const int order = text(args[0]).compare(text(args[1]), mode);
    return Value(std::int32_t(order < 0 ? -1 : order > 0 ? 1 : 0));
}

// ChrW takes a UTF-16 code unit, also as the negative number AscW gives for one above &H7FFF.
Value wideCharacter(Machine&, Args args)
{
    const std::int32_t code = toInt32(args[0]);
    if (code < -32768 || code > 0xFFFF)
        throw RuntimeError(ErrorNumber::InvalidCall);
    return Value(QString(QChar(char16_t(code & 0xFFFF))));
}

// AscW gives the first UTF-16 code unit as a signed 16-bit number, so &H8000 and above are
// negative, as in the dialect.
Value wideCharacterCode(Machine&, Args args)
{
    const QString s = text(args[0]);
    if (s.isEmpty())
        throw RuntimeError(ErrorNumber::InvalidCall);
    return Value(std::int32_t(std::int16_t(s[0].unicode())));
}

// Filter(array, match[, include[, compare]]): the items (as texts) that contain `match`, or with
// include False those that do not.
Value filter(Machine&, Args args)
{
    if (args[0].isNull() || args[1].isNull())
        throw RuntimeError(ErrorNumber::InvalidUseOfNull);
    if (!args[0].isArray())
        throw RuntimeError(ErrorNumber::TypeMismatch);
    const QString match = text(args[1]);
    const bool include = args.size() > 2 ? toBool(plainValue(args[2])) : true;
    const Qt::CaseSensitivity mode = compareMode(args, 3);
    std::vector<Value> kept;
    for (const Value& item : args[0].array()) {
        QString itemText = text(item);
        const bool found = TextSearch(itemText, match, mode).indexFrom(0) >= 0;
        if (found == include)
            kept.emplace_back(std::move(itemText));
    }
    return Value(std::move(kept));
}

constexpr BuiltinDef textTable[] = {
    {"Len", 1, 1, length},
    {"Left", 2, 2, left},
    {"Right", 2, 2, right},
    {"Mid", 2, 3, mid},
    {"InStr", 2, 4, inString},
    {"Replace", 3, 6, replace},
    {"Trim", 1, 1, trim},
    {"LTrim", 1, 1, leftTrim},
    {"RTrim", 1, 1, rightTrim},
    {"UCase", 1, 1, upper},
    {"LCase", 1, 1, lower},
    {"Chr", 1, 1, character},
    {"Asc", 1, 1, characterCode},
    {"Space", 1, 1, spaces},
    {"String", 2, 2, repeated},
    {"StrReverse", 1, 1, reversed},
    {"Split", 1, 4, split},
    {"Join", 1, 2, join},
    {"InStrRev", 2, 4, inStringReverse},
    {"StrComp", 2, 3, stringCompare},
    {"ChrW", 1, 1, wideCharacter},
    {"AscW", 1, 1, wideCharacterCode},
    {"Filter", 2, 4, filter},
};

} // namespace

std::span<const BuiltinDef> textBuiltins()
{
    return textTable;
}

} // namespace velscript::lang
