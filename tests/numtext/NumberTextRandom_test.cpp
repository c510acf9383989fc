// Randomised checks of the digit generator, the general conversion and the
// "0.000" pattern against the C library's exactly rounded conversions.
#include "numtext/NumberPattern.h"
#include "numtext/NumberText.h"
#include "tests/numtext/NumberTextTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr int kSamples = 100000;
constexpr uint64_t kTen17 = 100000000000000000ULL;

// The 18 significant digits of |v| as an integer in [10^17, 10^18), rounded
// exactly (ties to even), and E with |v| = 0.d1...d18 * 10^E.
void Reference18(long double v, uint64_t& n18, int& e)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", std::fabs(v));
    n18 = 0;
    const char* p = buf;
    for (; *p != 'e'; ++p)
        if (*p != '.')
            n18 = n18 * 10 + static_cast<uint64_t>(*p - '0');
    e = std::atoi(p + 1) + 1;
}

// The decimal form's digits as an 18-digit integer.
uint64_t Padded18(const TDecimalForm& f)
{
    uint64_t n = 0;
    std::size_t len = std::strlen(f.DigitText);
    for (std::size_t i = 0; i < 18; ++i)
        n = n * 10 + (i < len ? static_cast<uint64_t>(f.DigitText[i] - '0') : 0);
    return n;
}

uint64_t Pow10u(int k)
{
    uint64_t r = 1;
    while (k-- > 0)
        r *= 10;
    return r;
}

// Whether the 18-digit form lies within `units` of the half-way point when
// rounded to n digits (0 <= n < 18).
bool NearHalf(uint64_t n18, int n, uint64_t units)
{
    uint64_t scale = Pow10u(18 - n);
    uint64_t r = n18 % scale;
    uint64_t half = scale / 2;
    return (r > half ? r - half : half - r) <= units;
}

// Random finite non-zero values: extended values over most of their exponent
// range, doubles over theirs, and doubles from about 1E-13 to 1E48.
class TRandomValues {
public:
    long double Next()
    {
        std::uniform_int_distribution<int> kind(0, 3);
        long double v;
        int k = kind(rng_);
        if (k == 0) {
            std::uniform_int_distribution<int> e2(-16300, 16300);
            long double f = std::ldexp(static_cast<long double>(rng_() | (1ULL << 63)), -64);
            v = std::ldexp(f, e2(rng_));
        } else {
            // Half the doubles around the magnitudes the program shows.
            std::uniform_int_distribution<int> e2 = k == 1 ? std::uniform_int_distribution<int>(-1074, 1023)
                                                           : std::uniform_int_distribution<int>(-45, 160);
            double f = std::ldexp(static_cast<double>(rng_() >> 11) + 1.0, -53) + 0.5;
            v = static_cast<double>(std::ldexp(f, e2(rng_)));
        }
        if (v == 0)
            v = 1;
        return (rng_() & 1) ? -v : v;
    }

private:
    std::mt19937_64 rng_{20261208};
};

TEST(NumberTextRandom, EighteenDigitsMatchExactConversion)
{
    TRandomValues values;
    for (int i = 0; i < kSamples; ++i) {
        long double v = values.Next();
        uint64_t ref = 0;
        int refE = 0;
        Reference18(v, ref, refE);
        TDecimalForm f = ToDecimalForm(v, 18, NoDecimalLimit);
        uint64_t ours = Padded18(f);
        long double a = std::fabs(v);
        bool exactRange = a > 1e-9L && a < 1e44L;
        SCOPED_TRACE(testing::Message() << std::hexfloat << v);
        ASSERT_EQ(f.IsNegative, std::signbit(v));
        if (exactRange) {
            ASSERT_EQ(f.PointPos, refE);
            ASSERT_EQ(ours, ref);
        } else if (f.PointPos == refE) {
            ASSERT_LE(ours > ref ? ours - ref : ref - ours, 1u);
        } else {
            // Only across a power of ten: 999...9 against 100...0.
            ASSERT_EQ(std::abs(f.PointPos - refE), 1);
            ASSERT_TRUE(ours == kTen17 || ref == kTen17);
        }
    }
}

TEST(NumberTextRandom, GeneralFormParsesBackToFifteenDigits)
{
    TSeparatorGuard guard('.', ',');
    TRandomValues values;
    int compared = 0;
    for (int i = 0; i < kSamples; ++i) {
        long double v = values.Next();
        uint64_t ref18 = 0;
        int refE = 0;
        Reference18(v, ref18, refE);
        // Within a unit or two of the 18th digit of a tie at digit 15 the
        // 18-digit form may round differently from the exact value.
        if (NearHalf(ref18, 15, 2))
            continue;
        char ref[64];
        std::snprintf(ref, sizeof ref, "%.14Le", v);
        std::string text = FormatGeneral(v);
        SCOPED_TRACE(testing::Message() << text << " vs " << ref);
        ASSERT_EQ(std::strtold(text.c_str(), nullptr), std::strtold(ref, nullptr));
        ++compared;
    }
    EXPECT_GT(compared, kSamples * 9 / 10);
}

TEST(NumberTextRandom, ThreeDecimalPatternIsCorrectlyRounded)
{
    TSeparatorGuard guard('.', ',');
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-6, 13);
    int compared = 0;
    for (int i = 0; i < kSamples; ++i) {
        double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        if (rng() & 1)
            v = -v;
        uint64_t n18 = 0;
        int e = 0;
        Reference18(v, n18, e);
        int n = e + 3;  // significant digits kept by three decimals
        if (n >= 0 && NearHalf(n18, n, 1))
            continue;
        char ref[64];
        std::snprintf(ref, sizeof ref, "%.3f", v);
        std::string expected = ref;
        std::string text = FormatNumberPattern("0.000", v);
        // A value that rounds to zero may keep its sign; compare zero unsigned.
        if (expected == "-0.000")
            expected = "0.000";
        if (text == "-0.000")
            text = "0.000";
        SCOPED_TRACE(testing::Message() << v);
        ASSERT_EQ(text, expected);
        ++compared;
    }
    EXPECT_GT(compared, kSamples * 9 / 10);
}

}  // namespace
