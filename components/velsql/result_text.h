#pragma once

#include <QString>
#include <QVariant>

namespace velscript::velsql {

// How Query writes a result as text: a header line of column names, then one line a row, the
// columns separated by a tab and the lines by CR LF, with no line break after the last line.
// Each cell is written so that a reader can split the text on CR LF and tab without ambiguity:
// - null: the empty text;
// - integer: its decimal digits, with a minus sign when negative;
// - real: like the script language writes a number, the shortest digits that read back as the
//   same value, plainly from 0.0001 up to 1E+15 and in exponent form beyond ("2.5", "3",
//   "1E+20", "1E-05");
// - text and column names: as they stand, except that a backslash is written "\\", a tab "\t",
//   a line feed "\n" and a carriage return "\r";
// - blob: its bytes in upper-case hexadecimal, two digits a byte.
QString cellText(const QVariant& value);
QString escapedText(const QString& text);

} // namespace velscript::velsql
