#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "numtext/NumberText.h"
#include "sizetree/Scan.h"

namespace {

struct TCaptionCase {
    double Bytes;
    const char* Text;
};

// Rounding to tenths of a megabyte: exact halves go to the even tenth.
TEST(SizeCaptionText, RoundsToTenthsHalvesToEven)
{
    const TCaptionCase cases[] = {
        {0, "         0"},          {49999, "         0"},    {50000, "         0"},
        {50001, "       0.1"},      {150000, "       0.2"},   {250000, "       0.2"},
        {350000, "       0.4"},     {1000000, "         1"},  {123456789, "     123.5"},
        {1073741824, "    1073.7"}, {12345678, "      12.3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeCaptionText(c.Bytes), c.Text) << c.Bytes;
}

// Width: padded to ten, never cut; counts beyond 32 bits still work.
TEST(SizeCaptionText, WidthAndLargeCounts)
{
    const TCaptionCase cases[] = {
        {5000000000.0, "      5000"},
        {12345678900000.0, "12345678.9"},      // exactly ten characters
        {123456789000000.0, " 123456789"},     // 2^31 tenths is exceeded here
        {214748364800000.0, "214748364.8"},    // just past the signed 32-bit count
        {500e12, " 500000000"},                // 500 TB
        {9007199254740992.0, "9007199254.7"},  // 2^53 bytes
        {1e25, "      1E19"},                  // general form beyond 15 digits
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeCaptionText(c.Bytes), c.Text) << c.Bytes;
}

TEST(SizeCaptionText, NonFiniteAndNegativeDoNotThrow)
{
    EXPECT_EQ(SizeCaptionText(INFINITY), "       INF");
    EXPECT_EQ(SizeCaptionText(NAN), "       NAN");
    EXPECT_EQ(SizeCaptionText(-150000), "      -0.2");
}

// The direct digit writing must give what the general conversion gives.
TEST(SizeCaptionText, SameAsGeneralConversion)
{
    const long double counts[] = {0,
                                  1,
                                  9,
                                  10,
                                  11,
                                  99,
                                  100,
                                  101,
                                  12345,
                                  999999999,
                                  1000000001,
                                  123456789012345,
                                  999999999999999,
                                  4503599627370495};
    for (long double count : counts) {
        std::string general = FormatGeneral(count * 0.1L);
        if (general.size() < 10)
            general.insert(0, 10 - general.size(), ' ');
        const double bytes = static_cast<double>(count * 100000.0L);
        EXPECT_EQ(SizeCaptionText(bytes), general) << static_cast<double>(count);
    }
}

TEST(SizeCaptionText, UsesLocaleDecimalSeparator)
{
    const char saved = DecimalSeparator;
    DecimalSeparator = ',';
    EXPECT_EQ(SizeCaptionText(123456789), "     123,5");
    EXPECT_EQ(SizeCaptionText(1000000), "         1");
    DecimalSeparator = saved;
}

}  // namespace
