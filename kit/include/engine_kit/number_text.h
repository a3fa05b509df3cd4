#pragma once

#include <QString>

namespace velscript {

// A double as the VelScript family writes it, in scripts' Log and in the tester's boxes alike:
// "0" for zero, plain digits from 1E-04 up to 1E+15, the exponent form beyond
// ("1.152921504606847E+18"); always the fewest digits that read back as the same double.
QString numberText(double value);

} // namespace velscript
