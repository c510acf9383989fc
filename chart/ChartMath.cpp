#include "chart/ChartMath.h"

#include <cmath>
#include <cstdlib>
#include <limits>

int Rnd(double v)
{
    double whole = std::floor(v);
    double frac = v - whole;
    if (frac > 0.5 || (frac == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return static_cast<int>(whole);
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    int64_t p = static_cast<int64_t>(a) * b;
    bool negative = (p < 0) != (c < 0);
    uint64_t num = static_cast<uint64_t>(p < 0 ? -p : p);
    uint64_t den = static_cast<uint64_t>(c < 0 ? -static_cast<int64_t>(c) : c);
    uint64_t q = (2 * num + den) / (2 * den);  // halves away from zero
    int64_t r = negative ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
    if (r > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (r < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}
