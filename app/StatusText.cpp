#include "app/StatusText.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cmath>

#include "mounts/MountRoot.h"
#include "numtext/NumberText.h"

std::string GroupedNumber(uint64_t n)
{
    std::string digits = std::to_string(n);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ThousandSeparator;
        out += digits[i];
    }
    return out;
}

namespace {

// value with one decimal, rounded half away from zero.
std::string OneDecimal(double value)
{
    const uint64_t tenths = static_cast<uint64_t>(std::min(std::round(value * 10), 1e18));
    return GroupedNumber(tenths / 10) + DecimalSeparator + static_cast<char>('0' + tenths % 10);
}

}  // namespace

std::string ByteFigure(double bytes, const ByteUnits& units)
{
    if (!(bytes >= 0))
        bytes = 0;
    if (bytes < 1000)
        return GroupedNumber(static_cast<uint64_t>(bytes)) + ' ' + units[0];
    size_t unit = 0;
    double value = bytes;
    // Rounds to at most 999.9 in a unit, else moves up.
    while (unit + 1 < units.size() && value * 10 >= 9999.5) {
        value /= 1000;
        ++unit;
    }
    return OneDecimal(value) + ' ' + units[unit];
}

std::string ShareText(double part, double whole)
{
    if (!(whole > 0) || !(part >= 0))
        return "0 %";
    return OneDecimal(100.0 * part / whole) + " %";
}

std::string ElapsedText(std::chrono::milliseconds elapsed)
{
    const long long total = std::max<long long>(0, elapsed.count() / 1000);
    const long long h = total / 3600;
    const long long m = total / 60 % 60;
    const long long s = total % 60;
    auto two = [](long long v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return h > 0 ? std::to_string(h) + ":" + two(m) + ":" + two(s) : std::to_string(m) + ":" + two(s);
}

int ScanPercent(uint64_t diskBytesSoFar, uint64_t usedBytes)
{
    if (usedBytes == 0)
        return -1;
    const long double share = 100.0L * diskBytesSoFar / usedBytes;
    return share >= 99 ? 99 : static_cast<int>(share);
}

uint64_t FileSystemUsedBytes(const std::string& path)
{
    if (!IsMountRoot(path))
        return 0;
    struct statvfs fs;
    if (statvfs(path.c_str(), &fs) != 0 || fs.f_blocks < fs.f_bfree)
        return 0;
    return static_cast<uint64_t>(fs.f_blocks - fs.f_bfree) * fs.f_frsize;
}
