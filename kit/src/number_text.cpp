#include "engine_kit/number_text.h"

#include <QLocale>

#include <cmath>

namespace velscript {

QString numberText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    const double magnitude = std::fabs(value);
    // Plain digits in the range where BASIC shows them, exponent form beyond.
    if (magnitude >= 1e-4 && magnitude < 1e15)
        return QString::number(value, 'f', QLocale::FloatingPointShortest);
    return QString::number(value, 'E', QLocale::FloatingPointShortest);
}

} // namespace velscript
