// Changes as text: the signed figure of the captions and the date of a scan.
//
// Protocol: pure functions; any thread. The figure uses the decimal
// separator of numtext/ (the launcher never reads the locale, so its text
// output has "."); the date is in the local time zone, English month names.
#pragma once

#include <cstdint>
#include <string>

#include "history/Comparison.h"

// The change written as the captions write sizes (tenths of a MB, ties to
// even), with its sign and " MB": "+5 MB", "-3 MB", "+2.5 MB". A change the
// captions round to 0 keeps its direction: "+0 MB" up, "-0 MB" down.
std::string SignedSizeFigure(SizeChange change);

// When a scan ran, as the window says "since ...": "3 Dec 14:02", with the
// year when it is not the year of `now` ("3 Dec 2025 14:02"); empty when
// the time is unknown (0 or less). Both in Unix seconds.
std::string ScanDateText(int64_t scanTime, int64_t now);
