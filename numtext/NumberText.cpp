#include "numtext/NumberText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

char DecimalSeparator = '.';
char ThousandSeparator = ',';

namespace {

using u128 = unsigned __int128;

constexpr uint64_t kTen17 = 100000000000000000ULL;
constexpr uint64_t kTen18 = 1000000000000000000ULL;
constexpr int kDigits = 18;
// Largest k for which 5^k fits in 63 bits, so that M * 5^k fits in 128.
constexpr int kMaxExactPower = 27;

constexpr uint64_t Pow5(int k)
{
    uint64_t r = 1;
    for (int i = 0; i < k; ++i)
        r *= 5;
    return r;
}

constexpr auto kPow5 = [] {
    std::array<uint64_t, kMaxExactPower + 1> t{};
    for (int k = 0; k <= kMaxExactPower; ++k)
        t[static_cast<std::size_t>(k)] = Pow5(k);
    return t;
}();

// Rounds to the nearest integer, an exact half to the even neighbour, without
// relying on the current rounding mode. Subtraction of the whole part is exact.
long double RoundHalfEven(long double x)
{
    long double whole = std::trunc(x);
    long double frac = x - whole;
    long double afrac = std::fabs(frac);
    if (afrac > 0.5L || (afrac == 0.5L && std::fmod(whole, 2.0L) != 0.0L))
        whole += std::signbit(x) ? -1.0L : 1.0L;
    return whole;
}

uint64_t Saturate(u128 v)
{
    return v > UINT64_MAX ? UINT64_MAX : static_cast<uint64_t>(v);
}

// round(M * 2^q * 10^k), ties to even, exactly; |k| <= kMaxExactPower.
uint64_t ScaleExact(uint64_t m, int q, int k)
{
    if (k >= 0) {
        u128 p = static_cast<u128>(m) * kPow5[static_cast<std::size_t>(k)];
        int shift = q + k;
        if (shift >= 0) {
            if (shift >= 64 || (p >> (128 - shift - 1)) != 0)
                return UINT64_MAX;
            return Saturate(p << shift);
        }
        int r = -shift;
        if (r >= 128)
            return 0;
        u128 quot = p >> r;
        u128 rem = p & ((static_cast<u128>(1) << r) - 1);
        u128 half = static_cast<u128>(1) << (r - 1);
        if (rem > half || (rem == half && (quot & 1)))
            ++quot;
        return Saturate(quot);
    }
    int kk = -k;
    int s = q - kk;
    u128 num = m;
    u128 den = kPow5[static_cast<std::size_t>(kk)];
    if (s >= 0) {
        if (s >= 64)
            return UINT64_MAX;
        num <<= s;
    } else {
        if (-s > 64)
            return 0;
        den <<= -s;
    }
    u128 quot = num / den;
    u128 rem = num % den;
    if (2 * rem > den || (2 * rem == den && (quot & 1)))
        ++quot;
    return Saturate(quot);
}

// 10^k in extended precision; exact for 0 <= k <= 27.
long double Pow10(int k)
{
    if (k >= 0 && k <= kMaxExactPower) {
        long double r = 1.0L;
        for (int i = 0; i < k; ++i)
            r *= 10.0L;
        return r;
    }
    return std::pow(10.0L, static_cast<long double>(k));
}

// round(|v| * 10^k) in extended arithmetic, for scales the exact path does not
// cover. Off by at most one unit only where the product is within a few ulps
// of a half.
uint64_t ScaleExtended(long double a, int k)
{
    long double x;
    if (k > 4900 || k < -4900)
        x = a * Pow10(k / 2) * Pow10(k - k / 2);
    else
        x = a * Pow10(k);
    x = RoundHalfEven(x);
    if (!(x < 18446744073709551616.0L))
        return UINT64_MAX;
    return static_cast<uint64_t>(x);
}

// The first 18 significant digits of a finite non-zero magnitude as an integer
// in [10^17, 10^18), and the exponent E with a = 0.d1...d18 * 10^E.
void EighteenDigits(long double a, uint64_t& digits, int& exponent)
{
    int e2 = 0;
    long double f = std::frexp(a, &e2);  // a = f * 2^e2, f in [0.5, 1)
    uint64_t m = static_cast<uint64_t>(std::ldexp(f, 64));
    int q = e2 - 64;
    // a >= 2^(e2-1); this estimate is exact or one too small.
    int e = static_cast<int>(std::floor((e2 - 1) * 0.30102999566398119521L)) + 1;
    for (int attempt = 0; attempt < 4; ++attempt) {
        int k = kDigits - e;
        uint64_t n = (k >= -kMaxExactPower && k <= kMaxExactPower) ? ScaleExact(m, q, k)
                                                                   : ScaleExtended(a, k);
        if (n < kTen17) {
            --e;
            continue;
        }
        if (n > kTen18) {
            ++e;
            continue;
        }
        if (n == kTen18) {
            n = kTen17;
            ++e;
        }
        digits = n;
        exponent = e;
        return;
    }
    // Unreachable for finite normal values; keep a defined result.
    digits = kTen17;
    exponent = e;
}

}  // namespace

TDecimalForm ToDecimalForm(long double value, int precision, int decimals)
{
    TDecimalForm out;
    int cls = std::fpclassify(value);
    if (cls == FP_ZERO || cls == FP_SUBNORMAL)
        return out;
    if (cls == FP_INFINITE) {
        out.PointPos = 32767;
        out.IsNegative = std::signbit(value);
        return out;
    }
    if (cls == FP_NAN) {
        out.PointPos = -32768;
        return out;
    }

    uint64_t n18 = 0;
    int e = 0;
    EighteenDigits(std::fabs(value), n18, e);
    char d[kDigits];
    for (int i = kDigits - 1; i >= 0; --i) {
        d[i] = static_cast<char>('0' + n18 % 10);
        n18 /= 10;
    }

    long long nl = static_cast<long long>(e) + decimals;
    if (nl < 0)
        return out;
    int n = static_cast<int>(
        std::min<long long>({nl, static_cast<long long>(precision), static_cast<long long>(kDigits)}));
    if (n < 0)
        n = 0;

    int len = n;
    if (n < kDigits && d[n] >= '5') {
        // Half away from zero on the 18-digit form: only d(n+1) decides.
        int i = n - 1;
        while (i >= 0 && d[i] == '9')
            --i;
        if (i < 0) {
            d[0] = '1';
            len = 1;
            ++e;
        } else {
            ++d[i];
            len = i + 1;
        }
    } else {
        while (len > 0 && d[len - 1] == '0')
            --len;
    }
    std::memcpy(out.DigitText, d, static_cast<size_t>(len));
    out.DigitText[len] = '\0';
    out.PointPos = static_cast<int16_t>(e);
    out.IsNegative = std::signbit(value);
    return out;
}

std::size_t FormatGeneralTo(long double value, char* buf)
{
    TDecimalForm f = ToDecimalForm(value, 15, NoDecimalLimit);
    char* p = buf;
    auto put = [&p](const char* s) {
        while (*s)
            *p++ = *s++;
    };
    if (f.PointPos == 32767) {
        put("INF");
        return static_cast<size_t>(p - buf);
    }
    if (f.PointPos == -32768) {
        put("NAN");
        return static_cast<size_t>(p - buf);
    }
    if (f.IsNegative)
        *p++ = '-';
    int e = f.PointPos;
    const char* d = f.DigitText;
    if (e > 15 || e < -3) {
        *p++ = *d++;
        if (*d) {
            *p++ = DecimalSeparator;
            put(d);
        }
        *p++ = 'E';
        int x = e - 1;
        if (x < 0) {
            *p++ = '-';
            x = -x;
        }
        char tmp[8];
        int t = 0;
        do {
            tmp[t++] = static_cast<char>('0' + x % 10);
            x /= 10;
        } while (x);
        while (t)
            *p++ = tmp[--t];
    } else if (e <= 0) {
        *p++ = '0';
        if (*d) {
            *p++ = DecimalSeparator;
            for (int i = 0; i < -e; ++i)
                *p++ = '0';
            put(d);
        }
    } else {
        for (int i = 0; i < e; ++i)
            *p++ = *d ? *d++ : '0';
        if (*d) {
            *p++ = DecimalSeparator;
            put(d);
        }
    }
    return static_cast<size_t>(p - buf);
}

std::string FormatGeneral(long double value)
{
    char buf[64];
    return std::string(buf, FormatGeneralTo(value, buf));
}

int32_t RoundToInteger(long double value)
{
    long double r = RoundHalfEven(value);
    if (!(r >= -2147483648.0L && r <= 2147483647.0L))
        throw EInvalidOp();
    return static_cast<int32_t>(r);
}

int32_t TruncToInteger(long double value)
{
    long double r = std::trunc(value);
    if (!(r >= -2147483648.0L && r <= 2147483647.0L))
        throw EInvalidOp();
    return static_cast<int32_t>(r);
}

TNumberSeparators ChooseNumberSeparators(const char* decimal, const char* thousands)
{
    auto single = [](const char* s, char fallback) {
        return (s && s[0] != '\0' && s[1] == '\0') ? s[0] : fallback;
    };
    return {single(decimal, '.'), single(thousands, ',')};
}

void ReadNumberLocale()
{
    // A locale object of its own: the process locale stays as it is.
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    TNumberSeparators s = loc
        ? ChooseNumberSeparators(nl_langinfo_l(RADIXCHAR, loc), nl_langinfo_l(THOUSEP, loc))
        : ChooseNumberSeparators(nullptr, nullptr);
    if (loc)
        freelocale(loc);
    DecimalSeparator = s.Decimal;
    ThousandSeparator = s.Thousand;
}
