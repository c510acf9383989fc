#include "history/ChangeText.h"

#include <cstdio>
#include <ctime>

#include "sizetree/Scan.h"

std::string SignedSizeFigure(SizeChange change)
{
    const std::string figure = SizeCaptionText(static_cast<double>(change.Bytes));
    const size_t start = figure.find_first_not_of(' ');
    return (change.Decrease ? "-" : "+") + figure.substr(start == std::string::npos ? 0 : start) + " MB";
}

std::string ScanDateText(int64_t scanTime, int64_t now)
{
    if (scanTime <= 0)
        return std::string();
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const time_t when = static_cast<time_t>(scanTime);
    const time_t today = static_cast<time_t>(now);
    tm local{};
    tm current{};
    if (!localtime_r(&when, &local) || !localtime_r(&today, &current))
        return std::string();
    char text[64];
    if (local.tm_year == current.tm_year)
        std::snprintf(text, sizeof text, "%d %s %02d:%02d", local.tm_mday, kMonths[local.tm_mon],
                      local.tm_hour, local.tm_min);
    else
        std::snprintf(text, sizeof text, "%d %s %d %02d:%02d", local.tm_mday, kMonths[local.tm_mon],
                      local.tm_year + 1900, local.tm_hour, local.tm_min);
    return text;
}
