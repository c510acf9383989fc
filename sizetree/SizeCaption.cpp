#include <cmath>
#include <cstdint>
#include <string>

#include "numtext/NumberText.h"
#include "sizetree/Scan.h"

namespace {

constexpr size_t kCaptionWidth = 10;

// Nearest whole number, an exact half to the even neighbour, in extended
// precision and independent of the rounding mode.
long double RoundHalfEven(long double x)
{
    long double whole = std::floor(x);
    const long double frac = x - whole;
    if (frac > 0.5L || (frac == 0.5L && std::fmod(whole, 2.0L) != 0.0L))
        whole += 1.0L;
    return whole;
}

}  // namespace

std::string SizeCaptionText(double bytes)
{
    // Tenths of a megabyte; the extended significand holds any 64-bit count.
    const long double count = RoundHalfEven(static_cast<long double>(bytes) * 1e-5L);
    std::string text;
    if (count >= 0 && count < 1e15L) {
        // Below 10^15 tenths the 15 significant digits of the general
        // conversion show the count exactly: whole part, then the tenth
        // unless it is 0. Written directly, it is the same text, faster.
        uint64_t c = static_cast<uint64_t>(count);
        char digits[24];
        char* p = digits + sizeof digits;
        const unsigned tenth = static_cast<unsigned>(c % 10);
        c /= 10;
        do {
            *--p = static_cast<char>('0' + c % 10);
            c /= 10;
        } while (c != 0);
        text.assign(p, digits + sizeof digits);
        if (tenth != 0) {
            text += DecimalSeparator;
            text += static_cast<char>('0' + tenth);
        }
    } else {
        text = FormatGeneral(count * 0.1L);
    }
    if (text.size() < kCaptionWidth)
        text.insert(0, kCaptionWidth - text.size(), ' ');
    return text;
}

std::string FolderCaptionText(double bytes, const std::string& name)
{
    return SizeCaptionText(bytes) + " MB  " + name;
}

void SetFinalCaptionText(std::string& out, const TSizeTree& tree, const TTreeEntry& e)
{
    out = SizeCaptionText(tree.ShownSize(e));  // short: no allocation
    out += " MB  ";
    if (e.IsFiles())
        out += kFilesName;
    else
        out += e.Name();
}

std::string FinalCaption(const TSizeTree& tree, const TTreeEntry& e)
{
    std::string caption;
    SetFinalCaptionText(caption, tree, e);
    return caption;
}

bool HasProvisionalCaption(const TTreeEntry& e)
{
    const std::string& c = e.Caption();
    return c.size() == e.Name().size() + kProvisionalMark.size() && c.ends_with(kProvisionalMark)
        && c.compare(0, e.Name().size(), e.Name()) == 0;
}
