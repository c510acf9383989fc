// TEMPORARY stand-in so that other subsystems link; replaced by the real
// implementation.
#include "chart/NumberPattern.h"

#include "chart/NumberText.h"

std::string FormatNumberPattern(std::string_view, long double value) { return FormatGeneral(value); }
