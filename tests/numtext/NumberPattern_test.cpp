#include "numtext/NumberPattern.h"
#include "numtext/NumberText.h"
#include "tests/numtext/NumberTextTestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

struct TCase {
    const char* pattern;
    long double value;
    const char* result;
};

void ExpectAll(const TCase* begin, const TCase* end)
{
    for (const TCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(testing::Message()
                     << "pattern \"" << c->pattern << "\" value " << static_cast<double>(c->value));
        EXPECT_EQ(FormatNumberPattern(c->pattern, c->value), c->result);
    }
}

template <std::size_t N> void ExpectAll(const TCase (&cases)[N])
{
    ExpectAll(cases, cases + N);
}

TEST(FormatNumberPattern, PercentMarks)
{
    const TCase cases[] = {
        {"##0.# %", 12.34, "12.3 %"},    {"##0.# %", 12.25, "12.3 %"},  // exact half goes away from zero
        {"##0.# %", 12.35, "12.3 %"},                                   // the double lies just below 12.35
        {"##0.# %", 99.96, "100 %"},                                    // carry; empty fraction, no separator
        {"##0.# %", 1234.5, "1234.5 %"}, {"##0.# %", 0.05, "0.1 %"},   {"##0.# %", 0.004, "0 %"},
        {"##0.# %", 0, "0 %"},           {"##0.# %", 100, "100 %"},    {"##0.## %", 12.5, "12.5 %"},
    };
    ExpectAll(cases);
}

TEST(FormatNumberPattern, MegabyteMarks)
{
    const TCase cases[] = {
        {"# ### ###0.# MB", 12.34, "  12.3 MB"},
        {"# ### ###0.# MB", 1234.5, "  1234.5 MB"},
        {"# ### ###0.# MB", 0, "  0 MB"},
        {"# ### ###0.# MB", 1234567.8, " 123 4567.8 MB"},
        {"# ### ###0.# MB", 12345678.9, "1 234 5678.9 MB"},
        {"# ### ###0.# MB", 123456789.5, "12 345 6789.5 MB"},
        {"# ### ###0.# MB", -12.34, "-  12.3 MB"},  // sign before everything
    };
    ExpectAll(cases);
}

TEST(FormatNumberPattern, RoundedToZeroKeepsItsPlace)
{
    // A value whose first digit lies just past the last kept place keeps its
    // exponent and sign; one smaller still is a plain zero.
    const TCase cases[] = {
        {"##0.# %", 0.04, "0.0 %"}, {"##0.## %", 0.004, "0.00 %"}, {"##0.# %", -0.04, "-0.0 %"},
        {"##0.# %", -0.004, "0 %"}, {"##0.# %", 0.0004, "0 %"},
    };
    ExpectAll(cases);
}

TEST(FormatNumberPattern, RequiredZonesAndPlaceholders)
{
    const TCase cases[] = {
        {"0.00", 1.5, "1.50"},
        {"#.##", 0.05, ".05"},
        {"#0#", 5, "05"},       // "#" between zeros behaves as "0"
        {".##", 12.3, "12.3"},  // excess digits at the first placeholder
        {"#.0", 0, ".0"},
        {"#.0", 0.5, ".5"},
        {"#", 0, ""},
        {"#", 0.4, ""},
        {"0", 0.5, "1"},
        {"00000", 123, "00123"},
        {"0.000", -1.0625, "-1.063"},
        {"0..0", 1.25, "1.3"},  // further "." ignored
        {"#.#0", 0.1, ".10"},
    };
    ExpectAll(cases);
}

TEST(FormatNumberPattern, Grouping)
{
    const TCase cases[] = {
        {"#,##0.###", 1234567.8, "1,234,567.8"},
        {"0,000", 5, "0,005"},
        {"#,##0", 999, "999"},
        {"#,##0", 1000, "1,000"},
        {"#,##0", 999999.5, "1,000,000"},
        {"0.0,", 1234.5, "1,234.5"},  // "," anywhere in the section
        {"#,##0", -1234, "-1,234"},
    };
    ExpectAll(cases);
}

TEST(FormatNumberPattern, ScientificForm)
{
    const TCase cases[] = {
        {"##0.0E+00", 12345, "123.5E+02"}, {"0.###E-0", 0.000123456, "1.235E-4"},
        {"0.0e+0", 0, "0.0e+0"},           {"0.00E+00", 1e-300, "1.00E-300"},
        {"0.00E-0", 12345, "1.23E4"},      {"0E+000000", 5, "5E+0000"},  // at most 4 exponent digits counted
        {"##0.0E+0", 5, "500.0E-2"},                                     // integer "#" filled with "0"
        {"0.0E+0", 1e20L, "1.0E+20"},      {"0.0E+0", -2.5e-5L, "-2.5E-5"},
    };
    ExpectAll(cases);
}

TEST(FormatNumberPattern, SectionsAndQuotes)
{
    const TCase cases[] = {
        {"'x'0;(0);zero", -3, "(3)"},
        {"'x'0;(0);zero", 0, "zero"},
        {"'x'0;(0);zero", 7, "x7"},
        {"'x'0;(0);zero", 0.2, "zero"},  // rounds to zero: zero section
        {"'x'0;(0);zero", -0.2, "zero"},
        {"0;(0)", -3.4, "(3)"},
        {"0;;", 0, "0"},    // empty zero section: the first
        {"0;;", -2, "-2"},  // empty negative section: the first
        {";(0)", -3, "(3)"},
        {";(0)", 3, "3"},         // empty first section: general form
        {"\"0;#\"0", 4, "0;#4"},  // double quotes; ";" quoted
        {"'E+0'0", 4, "E+04"},
        {"0 'unclosed;0", 4, "4 unclosed;0"},
        {"0 Exe-0", 4, "4 Exe0"},  // "e-" starts an exponent mid-word
        {"0;0;0;x", 0, "0"},       // a fourth section is never used
    };
    ExpectAll(cases);
}

TEST(FormatNumberPattern, GeneralFormFallbacks)
{
    const long double inf = std::numeric_limits<long double>::infinity();
    const TCase cases[] = {
        {"", 12.5, "12.5"},
        {"0.0", inf, "INF"},
        {"0.0", -inf, "INF"},
        {"0.0", std::numeric_limits<long double>::quiet_NaN(), "NAN"},
        {"0.0", 1e20L, "1E20"},
        {"0.0", 999999999999999999.0L, "999999999999999999.0"},  // 10^18 - 1: still a pattern
        {"0.0", 1e18L, "1E18"},
        {"0", 1e17L, "100000000000000000"},
    };
    ExpectAll(cases);
}

TEST(FormatNumberPattern, LocaleSeparators)
{
    TSeparatorGuard guard(',', '.');
    const TCase cases[] = {
        {"##0.# %", 12.34, "12,3 %"},
        {"#,##0.###", 1234567.8, "1.234.567,8"},
        {"", 12.5, "12,5"},
    };
    ExpectAll(cases);
}

TEST(FormatNumberPattern, PatternLengthLimit)
{
    std::string ok(224, '0');
    EXPECT_EQ(FormatNumberPattern(ok, 5).size(), 224u);
    std::string tooLong(225, '0');
    try {
        FormatNumberPattern(tooLong, 5);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Format string too long");
    }
}

TEST(FormatNumberPattern, LongResultsAreComplete)
{
    // Results longer than 255 characters come out whole.
    std::string grouped = "#,";
    grouped += std::string(222, '0');
    std::string text = FormatNumberPattern(grouped, 7);
    EXPECT_EQ(text.size(), 222u + 73u);
    EXPECT_EQ(text.back(), '7');

    std::string exponents;
    for (int i = 0; i < 74; ++i)
        exponents += "E+0";
    std::string expText = FormatNumberPattern(exponents, 9e-300);
    EXPECT_EQ(expText.size(), 74u * 5u);
    EXPECT_EQ(expText.substr(0, 5), "E-298");
}

}  // namespace
