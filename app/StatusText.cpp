#include "app/StatusText.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cmath>

#include "mounts/MountRoot.h"

QLocale FigureLocale()
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale;
}

QString GroupedNumber(uint64_t n, const QLocale& locale)
{
    return locale.toString(static_cast<qulonglong>(n));
}

namespace {

// value with one decimal, rounded half away from zero.
QString OneDecimal(double value, const QLocale& locale)
{
    const double tenths = std::min(std::round(value * 10), 1e18);
    return locale.toString(tenths / 10, 'f', 1);
}

}  // namespace

QString ByteFigure(double bytes, const ByteUnits& units, const QLocale& locale)
{
    if (!(bytes >= 0))
        bytes = 0;
    if (bytes < 1000)
        return GroupedNumber(static_cast<uint64_t>(bytes), locale) + QLatin1Char(' ') + units[0];
    size_t unit = 0;
    double value = bytes;
    // Rounds to at most 999.9 in a unit, else moves up.
    while (unit + 1 < units.size() && value * 10 >= 9999.5) {
        value /= 1000;
        ++unit;
    }
    return OneDecimal(value, locale) + QLatin1Char(' ') + units[unit];
}

QString ShareText(double part, double whole, const QLocale& locale)
{
    if (!(whole > 0) || !(part >= 0))
        return QStringLiteral("0 %");
    return OneDecimal(100.0 * part / whole, locale) + QStringLiteral(" %");
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
