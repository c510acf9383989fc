// Number text: the decimal form of a number, the general conversion with 15
// significant digits, rounding to 32-bit integers and the locale separators.
//
// Protocol: ReadNumberLocale() runs once at start-up (before any window) and
// again whenever the toolkit reports a locale change, on the UI thread. All
// other functions are pure and may be called from any thread; they read the
// two separators without locking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

// Conversion error of the runtime ("Format string too long").
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Floating-point error of the runtime: an integer conversion out of range.
class EInvalidOp : public std::runtime_error {
public:
    EInvalidOp() : std::runtime_error("Invalid floating point operation") {}
};

// The number is 0.d1 d2 d3 ... x 10^PointPos. PointPos 32767 marks an
// infinity, -32768 a NaN. DigitText holds at most 18 digits, NUL-terminated,
// never a leading or trailing zero; it is empty for zero.
struct TDecimalForm {
    int16_t PointPos = 0;
    bool IsNegative = false;
    char DigitText[19] = {};
};

// `decimals` value meaning "no limit on digits after the decimal point".
inline constexpr int NoDecimalLimit = 32767;

// At most `precision` significant digits and at most `decimals` digits after
// the decimal point. The magnitude is first taken to 18 significant digits
// (exactly, rounded to nearest, ties to even); digit precision+1 (or the one
// after the last decimal asked for) then rounds half away from zero. A value
// below a tenth of a unit in the last decimal place asked for gives zero
// (empty digits, PointPos 0, not negative); one whose first digit falls just
// beyond that place and is below 5 gives empty digits but keeps its PointPos
// and sign.
TDecimalForm ToDecimalForm(long double value, int precision, int decimals);

// 15 significant digits, no trailing zeros, exponent form outside 1E-4..1E15.
// Infinities of both signs give "INF", NaN "NAN".
std::string FormatGeneral(long double value);
// The same text written into buf, which must hold 64 characters; returns its
// length (no NUL is written). For callers that build text in their own buffer.
std::size_t FormatGeneralTo(long double value, char* buf);

// Nearest integer, ties to even; throws EInvalidOp outside int32.
int32_t RoundToInteger(long double value);
// Whole part, cut toward zero; throws EInvalidOp outside int32.
int32_t TruncToInteger(long double value);

// Reads both separators from the user's numeric locale (LC_NUMERIC taken from
// the environment). A separator that is empty or longer than one byte falls
// back to "." and "," respectively.
void ReadNumberLocale();

struct TNumberSeparators {
    char Decimal;
    char Thousand;
};
// The fallback rule of ReadNumberLocale on the raw locale strings (either may
// be null when the query failed): a string of exactly one byte is used as is,
// anything else gives "." and "," respectively.
TNumberSeparators ChooseNumberSeparators(const char* decimal, const char* thousands);

// The two process-wide separators; the only globals of the program.
extern char DecimalSeparator;
extern char ThousandSeparator;
