// Pattern formatting of numbers ("##0.# %", "# ### ###0.# MB", ...).
#pragma once

#include <string>
#include <string_view>

// Throws EConvertError("Format string too long") above 224 characters.
std::string FormatNumberPattern(std::string_view pattern, long double value);
