// TEMPORARY stand-in so that other subsystems link; replaced by the real
// implementation.
#include "chart/NumberText.h"

#include <cmath>
#include <cstdio>

char DecimalSeparator = '.';
char ThousandSeparator = ',';

TDecimalForm ToDecimalForm(long double, int, int) { return {}; }

std::string FormatGeneral(long double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15Lg", value);
    return buf;
}

int32_t RoundToInteger(long double value)
{
    long double r = std::nearbyint(value);
    if (!(r >= -2147483648.0L && r <= 2147483647.0L)) throw EInvalidOp();
    return static_cast<int32_t>(r);
}

int32_t TruncToInteger(long double value)
{
    long double r = std::trunc(value);
    if (!(r >= -2147483648.0L && r <= 2147483647.0L)) throw EInvalidOp();
    return static_cast<int32_t>(r);
}

void ReadNumberLocale() {}
