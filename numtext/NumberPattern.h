// Pattern formatting of numbers ("##0.# %", "# ### ###0.# MB", ...).
//
// Protocol: a pure function of the pattern, the value and the two number
// separators of numtext/NumberText.h (read, never written). The pattern has up
// to three sections separated by ";" outside quotes: positive, negative, zero.
// "0" and "#" are digit placeholders, the first "." places the decimal
// separator, a "," anywhere groups the integer digits by thousands, "E+",
// "E-", "e+", "e-" start an exponent, quotes ("'" or the double quote) hold
// literal text; every other character is written as it is. Infinities, NaN,
// an empty section and magnitudes of 10^18 and more (outside scientific form)
// come out in the general form of FormatGeneral. The text is built in a
// fixed buffer; only the returned string may allocate.
#pragma once

#include <string>
#include <string_view>

// Throws EConvertError("Format string too long") above 224 characters.
std::string FormatNumberPattern(std::string_view pattern, long double value);
