#include "numtext/NumberPattern.h"

#include "numtext/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr std::size_t kMaxPattern = 224;
constexpr int kMaxSections = 3;
constexpr int kMaxExponentDigits = 4;

// A section of the pattern, [begin, end), without its ";".
struct TSection {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool Empty() const { return begin == end; }
};

// What the layout scan of one section finds.
struct TLayout {
    int count = 0;    // placeholders "0" and "#"
    int point = 0;    // placeholders before the first "."
    int reqInt = 0;   // integer positions that show "0" when empty
    int reqFrac = 0;  // fractional positions that show "0" when empty
    bool grouping = false;
    bool scientific = false;
};

bool IsQuote(char c)
{
    return c == '\'' || c == '"';
}

// Index just past the quoted text opened at i; an unclosed quote runs to the end.
std::size_t SkipQuote(std::string_view pat, std::size_t i)
{
    std::size_t close = pat.find(pat[i], i + 1);
    return close == std::string_view::npos ? pat.size() : close + 1;
}

bool IsExponentAt(std::string_view pat, std::size_t i)
{
    return (pat[i] == 'E' || pat[i] == 'e') && i + 1 < pat.size() && (pat[i + 1] == '+' || pat[i + 1] == '-');
}

// Splits the pattern at ";" outside quotes; returns the number of sections (1..3).
int SplitSections(std::string_view pat, TSection (&sections)[kMaxSections])
{
    int n = 0;
    std::size_t begin = 0;
    std::size_t i = 0;
    while (i < pat.size() && n < kMaxSections - 1) {
        if (IsQuote(pat[i])) {
            i = SkipQuote(pat, i);
        } else if (pat[i] == ';') {
            sections[n++] = {begin, i};
            begin = ++i;
        } else {
            ++i;
        }
    }
    // The last section runs to its own ";" or the end of the pattern.
    while (i < pat.size() && pat[i] != ';')
        i = IsQuote(pat[i]) ? SkipQuote(pat, i) : i + 1;
    sections[n++] = {begin, i};
    return n;
}

// Section for a value: index 2 for +0, 1 for a set sign bit, else 0; a missing
// or empty section falls back to the first.
int ChooseSection(int wanted, const TSection (&sections)[kMaxSections], int count)
{
    if (wanted >= count || sections[wanted].Empty())
        return 0;
    return wanted;
}

TLayout ScanSection(std::string_view pat, TSection s)
{
    TLayout l;
    int point = -1;
    int firstZero = -1;
    int lastZero = 0;
    std::size_t i = s.begin;
    while (i < s.end) {
        char c = pat[i];
        if (IsQuote(c)) {
            i = SkipQuote(pat, i);
            continue;
        }
        if (IsExponentAt(pat, i)) {
            l.scientific = true;
            i += 2;
            while (i < s.end && pat[i] == '0')
                ++i;
            continue;
        }
        switch (c) {
        case '0':
            if (firstZero < 0)
                firstZero = l.count;
            ++l.count;
            lastZero = l.count;
            break;
        case '#':
            ++l.count;
            break;
        case '.':
            if (point < 0)
                point = l.count;
            break;
        case ',':
            l.grouping = true;
            break;
        default:
            break;
        }
        ++i;
    }
    l.point = point < 0 ? l.count : point;
    l.reqInt = firstZero < 0 ? 0 : std::max(0, l.point - firstZero);
    l.reqFrac = std::max(0, lastZero - l.point);
    return l;
}

// Output buffer. The longest result a 224-character pattern can give is well
// under its size: at most 3 characters per pattern character (a placeholder
// writes 2, an exponent at most 6 for its 2), 38 more for the excess digits at
// the first placeholder, and the sign. put() still never writes past the end.
class TOutput {
public:
    void put(char c)
    {
        if (n_ < sizeof buf_)
            buf_[n_++] = c;
    }
    std::string str() const { return std::string(buf_, n_); }

private:
    char buf_[1024];
    std::size_t n_ = 0;
};

class TSectionWriter {
public:
    TSectionWriter(const TDecimalForm& form, const TLayout& layout, TOutput& out)
        : form_(form), l_(layout), out_(out), digit_(form.DigitText)
    {
        p_ = l_.scientific ? l_.point : std::max<int>(form.PointPos, l_.point);
        excess_ = l_.scientific ? 0 : form.PointPos - l_.point;
    }

    void Write(std::string_view pat, TSection s, bool firstSection)
    {
        if (form_.IsNegative && firstSection)
            out_.put('-');
        std::size_t i = s.begin;
        while (i < s.end) {
            char c = pat[i];
            if (IsQuote(c)) {
                std::size_t close = pat.find(c, i + 1);
                std::size_t textEnd = close == std::string_view::npos ? pat.size() : close;
                for (std::size_t j = i + 1; j < textEnd; ++j)
                    out_.put(pat[j]);
                i = SkipQuote(pat, i);
                continue;
            }
            if (IsExponentAt(pat, i)) {
                i = WriteExponent(pat, i, s.end);
                continue;
            }
            if (c == '0' || c == '#')
                PlaceDigit();
            else if (c != '.' && c != ',')
                out_.put(c);
            ++i;
        }
    }

private:
    void ShowDigit(char c)
    {
        if (p_ == 0) {
            out_.put(DecimalSeparator);
            out_.put(c);
        } else {
            out_.put(c);
            if (l_.grouping && p_ > 1 && p_ % 3 == 1)
                out_.put(ThousandSeparator);
        }
        --p_;
    }

    void NextDigit()
    {
        if (*digit_)
            ShowDigit(*digit_++);
        else if (p_ > -l_.reqFrac)
            ShowDigit('0');
        else
            --p_;
    }

    void PlaceDigit()
    {
        if (excess_ > 0) {
            // Integer digits the pattern has no room for come out here.
            for (; excess_ > 0; --excess_)
                NextDigit();
            NextDigit();
        } else if (excess_ < 0) {
            ++excess_;
            if (p_ <= l_.reqInt)
                ShowDigit('0');
            else
                --p_;
        } else {
            NextDigit();
        }
    }

    // Writes the exponent whose letter is at i; returns the index after its zeros.
    std::size_t WriteExponent(std::string_view pat, std::size_t i, std::size_t end)
    {
        out_.put(pat[i]);
        bool plus = pat[i + 1] == '+';
        i += 2;
        int zeros = 0;
        while (i < end && pat[i] == '0') {
            ++zeros;
            ++i;
        }
        int minDigits = std::min(zeros, kMaxExponentDigits);
        int x = form_.DigitText[0] ? form_.PointPos - l_.point : 0;
        if (x < 0) {
            out_.put('-');
            x = -x;
        } else if (plus) {
            out_.put('+');
        }
        char tmp[12];
        int t = 0;
        do {
            tmp[t++] = static_cast<char>('0' + x % 10);
            x /= 10;
        } while (x);
        for (int k = t; k < minDigits; ++k)
            out_.put('0');
        while (t)
            out_.put(tmp[--t]);
        return i;
    }

    const TDecimalForm& form_;
    const TLayout& l_;
    TOutput& out_;
    const char* digit_;
    int p_ = 0;
    int excess_ = 0;
};

}  // namespace

std::string FormatNumberPattern(std::string_view pattern, long double value)
{
    if (pattern.size() > kMaxPattern)
        throw EConvertError("Format string too long");

    TSection sections[kMaxSections];
    int nSections = SplitSections(pattern, sections);
    int wanted = (value == 0.0L && !std::signbit(value)) ? 2 : std::signbit(value) ? 1 : 0;
    int index = ChooseSection(wanted, sections, nSections);
    if (sections[index].Empty())
        return FormatGeneral(value);

    TLayout layout = ScanSection(pattern, sections[index]);
    TDecimalForm form = layout.scientific ? ToDecimalForm(value, layout.count, NoDecimalLimit)
                                          : ToDecimalForm(value, 18, layout.count - layout.point);
    if (form.PointPos == 32767 || form.PointPos == -32768 || (!layout.scientific && form.PointPos > 18))
        return FormatGeneral(value);

    if (form.DigitText[0] == '\0') {
        // Rounded to zero: the zero section, laid out by the digits as they
        // are. A value whose first digit lies just beyond the last kept place
        // (0.04 under "##0.# %") keeps its exponent and sign and so comes out
        // as 0.0 %; a smaller one is a plain unsigned 0 %. Kept on purpose.
        int zero = ChooseSection(2, sections, nSections);
        if (sections[zero].Empty())
            return FormatGeneral(value);
        if (zero != index) {
            index = zero;
            layout = ScanSection(pattern, sections[index]);
        }
    }

    TOutput out;
    TSectionWriter(form, layout, out).Write(pattern, sections[index], index == 0);
    return out.str();
}
