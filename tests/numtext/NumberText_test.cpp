#include "numtext/NumberText.h"
#include "tests/numtext/NumberTextTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace {

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

struct TFormCase {
    long double value;
    int precision;
    int decimals;
    const char* digits;
    int pointPos;
    bool negative;
};

TEST(ToDecimalForm, DigitsExponentAndSign)
{
    const TFormCase cases[] = {
        {12.3, 15, NoDecimalLimit, "123", 2, false},
        {0.05, 15, NoDecimalLimit, "5", -1, false},
        {1200, 15, NoDecimalLimit, "12", 4, false},
        {0, 15, NoDecimalLimit, "", 0, false},
        {-0.0L, 15, NoDecimalLimit, "", 0, false},
        {-2.5, 15, NoDecimalLimit, "25", 1, true},
        {1e-300, 15, NoDecimalLimit, "1", -299, false},
        {5e-324, 3, NoDecimalLimit, "494", -323, false},  // double denormal: normal when widened
        {std::numeric_limits<long double>::denorm_min(), 15, NoDecimalLimit, "", 0, false},
        {std::numeric_limits<long double>::max(), 3, NoDecimalLimit, "119", 4933, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<double>(c.value));
        TDecimalForm f = ToDecimalForm(c.value, c.precision, c.decimals);
        EXPECT_STREQ(f.DigitText, c.digits);
        EXPECT_EQ(f.PointPos, c.pointPos);
        EXPECT_EQ(f.IsNegative, c.negative);
    }
}

TEST(ToDecimalForm, EighteenDigitsThenHalfAwayFromZero)
{
    const TFormCase cases[] = {
        // The double nearest 12.35 lies below it: 123499999999999996.
        {12.35, 18, 1, "123", 2, false},
        {12.35, 18, NoDecimalLimit, "123499999999999996", 2, false},
        {12.25, 18, 1, "123", 2, false},  // exact half: away from zero
        {-12.25, 18, 1, "123", 2, true},
        {99.96, 18, 1, "1", 3, false},  // carry through every digit
        {0.05, 18, 1, "1", 0, false},   // n = 0, d1 = 5: becomes 1
        {0.95, 18, 0, "1", 1, false},
        {2.0L / 3, 15, NoDecimalLimit, "666666666666667", 0, false},
        {1.0L / 3, 15, NoDecimalLimit, "333333333333333", 0, false},
        {1234567890.12345678, 15, NoDecimalLimit, "123456789012346", 10, false},
        {0.125, 2, NoDecimalLimit, "13", 0, false},
        {1.5, 1, NoDecimalLimit, "2", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << static_cast<double>(c.value) << " p" << c.precision << " d" << c.decimals);
        TDecimalForm f = ToDecimalForm(c.value, c.precision, c.decimals);
        EXPECT_STREQ(f.DigitText, c.digits);
        EXPECT_EQ(f.PointPos, c.pointPos);
        EXPECT_EQ(f.IsNegative, c.negative);
    }
}

TEST(ToDecimalForm, RoundsToZero)
{
    const TFormCase cases[] = {
        // Below a tenth of the last place: plain unsigned zero.
        {0.004, 18, 1, "", 0, false},
        {-0.004, 18, 1, "", 0, false},
        // First digit just beyond the last place and below 5: no digits, but
        // the exponent and the sign stay.
        {0.04, 18, 1, "", -1, false},
        {-0.04, 18, 1, "", -1, true},
        {0.004, 18, 2, "", -2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<double>(c.value));
        TDecimalForm f = ToDecimalForm(c.value, c.precision, c.decimals);
        EXPECT_STREQ(f.DigitText, c.digits);
        EXPECT_EQ(f.PointPos, c.pointPos);
        EXPECT_EQ(f.IsNegative, c.negative);
    }
}

TEST(ToDecimalForm, InfinityAndNaN)
{
    TDecimalForm f = ToDecimalForm(kInf, 15, NoDecimalLimit);
    EXPECT_EQ(f.PointPos, 32767);
    EXPECT_FALSE(f.IsNegative);
    f = ToDecimalForm(-kInf, 15, NoDecimalLimit);
    EXPECT_EQ(f.PointPos, 32767);
    EXPECT_TRUE(f.IsNegative);
    f = ToDecimalForm(-kNaN, 15, NoDecimalLimit);
    EXPECT_EQ(f.PointPos, -32768);
    EXPECT_FALSE(f.IsNegative);
}

TEST(ToDecimalForm, PowersOfTenAcrossTheRange)
{
    // Exact powers and their neighbours land on the right exponent.
    for (int e = -4900; e <= 4900; e += 7) {
        long double v = std::pow(10.0L, static_cast<long double>(e));
        TDecimalForm f = ToDecimalForm(v, 15, NoDecimalLimit);
        SCOPED_TRACE(e);
        ASSERT_STREQ(f.DigitText, "1");
        ASSERT_EQ(f.PointPos, e + 1);
    }
}

struct TTextCase {
    long double value;
    const char* text;
};

TEST(FormatGeneral, FixedAndExponentForms)
{
    const TTextCase cases[] = {
        {123.5, "123.5"},
        {1200, "1200"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {1e15L, "1E15"},
        {123456789012345.0L, "123456789012345"},
        {999999999999999.0L, "999999999999999"},
        {9999999999999999.0L, "1E16"},  // 16 nines round up to 1E16
        {1234567890.12345678, "1234567890.12346"},
        {1.0L / 3, "0.333333333333333"},
        {2.0L / 3, "0.666666666666667"},
        {-2.5, "-2.5"},
        {0, "0"},
        {-0.0L, "0"},
        {12.5, "12.5"},
        {1e20L, "1E20"},
        {1.5e-7L, "1.5E-7"},
        {-123456e300L, "-1.23456E305"},
        {0.000123, "0.000123"},
        {100, "100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatGeneral(c.value), c.text);
    }
}

TEST(FormatGeneral, InfinityAndNaN)
{
    EXPECT_EQ(FormatGeneral(kInf), "INF");
    EXPECT_EQ(FormatGeneral(-kInf), "INF");
    EXPECT_EQ(FormatGeneral(kNaN), "NAN");
}

TEST(FormatGeneral, TreeCaptionFigures)
{
    const struct {
        long double bytes;
        const char* text;
    } cases[] = {
        {50000, "0"},   {150000, "0.2"},      {250000, "0.2"},        {350000, "0.4"},
        {1000000, "1"}, {123456789, "123.5"}, {1073741824, "1073.7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatGeneral(RoundToInteger(c.bytes * 1e-5L) * 0.1L), c.text);
    }
}

TEST(FormatGeneral, UsesTheLocaleDecimalSeparator)
{
    TSeparatorGuard guard(',', ' ');
    EXPECT_EQ(FormatGeneral(RoundToInteger(123456789 * 1e-5L) * 0.1L), "123,5");
    EXPECT_EQ(FormatGeneral(1.5e-7L), "1,5E-7");
    EXPECT_EQ(FormatGeneral(1234567), "1234567");  // never grouped
}

TEST(RoundToInteger, HalvesGoToEven)
{
    const struct {
        long double value;
        int32_t result;
    } cases[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {3.5, 4},
        {-0.5, 0},
        {-2.5, -2},
        {-3.5, -4},
        {2.4, 2},
        {2.6, 3},
        {-2.6, -3},
        {0.49999999999999994, 0},
        {2147483647.0L, 2147483647},
        {2147483647.4L, 2147483647},
        {-2147483648.0L, INT32_MIN},
        {-2147483648.5L, INT32_MIN},  // tie to the even neighbour, in range
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<double>(c.value));
        EXPECT_EQ(RoundToInteger(c.value), c.result);
    }
}

TEST(TruncToInteger, CutsTowardZero)
{
    const struct {
        long double value;
        int32_t result;
    } cases[] = {
        {2.9, 2},
        {-2.9, -2},
        {0.999, 0},
        {-0.999, 0},
        {2147483647.9L, 2147483647},
        {-2147483648.9L, INT32_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<double>(c.value));
        EXPECT_EQ(TruncToInteger(c.value), c.result);
    }
}

TEST(RoundAndTrunc, OutOfRangeIsInvalidOp)
{
    const long double roundBad[] = {2147483647.5L, 2147483648.0L, -2147483649.0L, -2147483648.6L,
                                    1e300L,        kInf,          -kInf,          kNaN};
    for (long double v : roundBad) {
        SCOPED_TRACE(static_cast<double>(v));
        EXPECT_THROW(RoundToInteger(v), EInvalidOp);
    }
    const long double truncBad[] = {2147483648.0L, -2147483649.0L, kInf, kNaN};
    for (long double v : truncBad) {
        SCOPED_TRACE(static_cast<double>(v));
        EXPECT_THROW(TruncToInteger(v), EInvalidOp);
    }
    try {
        RoundToInteger(3e9L);
        FAIL();
    } catch (const EInvalidOp& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
}

TEST(NumberLocale, SeparatorFallbacks)
{
    const struct {
        const char* decimal;
        const char* thousand;
        char d;
        char t;
    } cases[] = {
        {".", ",", '.', ','},
        {",", ".", ',', '.'},
        {".", "", '.', ','},  // C locale: no grouping character
        {"", "", '.', ','},
        {nullptr, nullptr, '.', ','},     // query failed
        {",", "\xe2\x80\xaf", ',', ','},  // narrow no-break space: 3 bytes
        {",", "\xc2\xa0", ',', ','},      // no-break space: 2 bytes
        {"..", "''", '.', ','},
        {".", "'", '.', '\''},
    };
    for (const auto& c : cases) {
        TNumberSeparators s = ChooseNumberSeparators(c.decimal, c.thousand);
        EXPECT_EQ(s.Decimal, c.d);
        EXPECT_EQ(s.Thousand, c.t);
    }
}

// Sets an environment variable for the scope and restores it.
class TEnvGuard {
public:
    TEnvGuard(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value, 1);
    }
    ~TEnvGuard()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(NumberLocale, ReadsTheEnvironmentLocale)
{
    TSeparatorGuard guard('x', 'y');
    {
        TEnvGuard env("LC_ALL", "C");
        ReadNumberLocale();
    }
    EXPECT_EQ(DecimalSeparator, '.');
    EXPECT_EQ(ThousandSeparator, ',');

    DecimalSeparator = 'x';
    {
        TEnvGuard env("LC_ALL", "xx_NOWHERE.UTF-8");  // not installed: query fails
        ReadNumberLocale();
    }
    EXPECT_EQ(DecimalSeparator, '.');
    EXPECT_EQ(ThousandSeparator, ',');
}

}  // namespace
