#include "lang/builtins.h"

#include "lang/name_map.h"

// The language's named constants, all in one table. Each machine holds them as read-only module
// names (see Interpreter), so that reading one costs what reading a variable costs.

namespace velscript::lang {
namespace {

constexpr BuiltinConstant constantTable[] = {
    // Texts.
    {"vbCr", BuiltinConstant::Text, 0, u"\r"},
    {"vbLf", BuiltinConstant::Text, 0, u"\n"},
    {"vbCrLf", BuiltinConstant::Text, 0, u"\r\n"},
    {"vbNewLine", BuiltinConstant::Text, 0, u"\r\n"},
    {"vbTab", BuiltinConstant::Text, 0, u"\t"},
    {"vbBack", BuiltinConstant::Text, 0, u"\b"},
    {"vbFormFeed", BuiltinConstant::Text, 0, u"\f"},
    {"vbVerticalTab", BuiltinConstant::Text, 0, u"\v"},
    {"vbNullChar", BuiltinConstant::NullChar, 0, u""},
    {"vbNullString", BuiltinConstant::Text, 0, u""},
    // Compare modes of InStr, InStrRev, Replace, Split, StrComp and Filter.
    {"vbBinaryCompare", BuiltinConstant::Integer, 0, nullptr},
    {"vbTextCompare", BuiltinConstant::Integer, 1, nullptr},
    // Err.Raise numbers of a script's own errors start here.
    {"vbObjectError", BuiltinConstant::Integer, -2147221504, nullptr},
    // The tristate arguments of FormatNumber and FormatPercent.
    {"vbTrue", BuiltinConstant::Integer, -1, nullptr},
    {"vbFalse", BuiltinConstant::Integer, 0, nullptr},
    {"vbUseDefault", BuiltinConstant::Integer, -2, nullptr},
    // VarType's answers.
    {"vbEmpty", BuiltinConstant::Integer, 0, nullptr},
    {"vbNull", BuiltinConstant::Integer, 1, nullptr},
    {"vbInteger", BuiltinConstant::Integer, 2, nullptr},
    {"vbLong", BuiltinConstant::Integer, 3, nullptr},
    {"vbSingle", BuiltinConstant::Integer, 4, nullptr},
    {"vbDouble", BuiltinConstant::Integer, 5, nullptr},
    {"vbCurrency", BuiltinConstant::Integer, 6, nullptr},
    {"vbDate", BuiltinConstant::Integer, 7, nullptr},
    {"vbString", BuiltinConstant::Integer, 8, nullptr},
    {"vbObject", BuiltinConstant::Integer, 9, nullptr},
    {"vbError", BuiltinConstant::Integer, 10, nullptr},
    {"vbBoolean", BuiltinConstant::Integer, 11, nullptr},
    {"vbVariant", BuiltinConstant::Integer, 12, nullptr},
    {"vbDataObject", BuiltinConstant::Integer, 13, nullptr},
    {"vbDecimal", BuiltinConstant::Integer, 14, nullptr},
    {"vbByte", BuiltinConstant::Integer, 17, nullptr},
    {"vbArray", BuiltinConstant::Integer, 8192, nullptr},
    // Days of the week, first weeks of the year and date formats.
    {"vbUseSystemDayOfWeek", BuiltinConstant::Integer, 0, nullptr},
    {"vbSunday", BuiltinConstant::Integer, 1, nullptr},
    {"vbMonday", BuiltinConstant::Integer, 2, nullptr},
    {"vbTuesday", BuiltinConstant::Integer, 3, nullptr},
    {"vbWednesday", BuiltinConstant::Integer, 4, nullptr},
    {"vbThursday", BuiltinConstant::Integer, 5, nullptr},
    {"vbFriday", BuiltinConstant::Integer, 6, nullptr},
    {"vbSaturday", BuiltinConstant::Integer, 7, nullptr},
    {"vbUseSystem", BuiltinConstant::Integer, 0, nullptr},
    {"vbFirstJan1", BuiltinConstant::Integer, 1, nullptr},
    {"vbFirstFourDays", BuiltinConstant::Integer, 2, nullptr},
    {"vbFirstFullWeek", BuiltinConstant::Integer, 3, nullptr},
    {"vbGeneralDate", BuiltinConstant::Integer, 0, nullptr},
    {"vbLongDate", BuiltinConstant::Integer, 1, nullptr},
    {"vbShortDate", BuiltinConstant::Integer, 2, nullptr},
    {"vbLongTime", BuiltinConstant::Integer, 3, nullptr},
    {"vbShortTime", BuiltinConstant::Integer, 4, nullptr},
};

} // namespace

std::span<const BuiltinConstant> builtinConstants()
{
    return constantTable;
}

bool isBuiltinConstant(const QString& name)
{
    static const NameSet names = [] {
        NameSet all;
        for (const BuiltinConstant& constant : constantTable)
            all.insert(QString::fromLatin1(constant.name).toLower());
        return all;
    }();
    return names.contains(name.toLower());
}

Value BuiltinConstant::value() const
{
    switch (kind) {
    case Integer:
        return Value(integer);
    case NullChar:
        return Value(QString(QChar(u'\0')));
    case Text:
        break;
    }
    return Value(QString::fromUtf16(text));
}

} // namespace velscript::lang
