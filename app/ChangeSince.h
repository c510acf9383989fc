// The change of an entry since an earlier scan, as the window writes it:
// "+1.2 GB since 3 Dec 14:02", "-850 bytes since 3 Dec 2025 14:02",
// "new since 3 Dec 14:02", "unchanged since ...". Figures come from the
// caller's byte figure (the status bar's), dates from QLocale.
//
// Protocol: pure functions of their arguments and of the default QLocale;
// UI thread (they translate).
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

#include "history/Comparison.h"

// A byte figure in the status bar's units ("1.2 GB").
using BytesText = std::function<QString(double bytes)>;

// When an earlier scan ran, the year given when it is not now's: "3 Dec
// 14:02", "3 Dec 2025 14:02". For an unknown time (0 or less): fallback.
QString ScanWhenText(int64_t scanTime, const QDateTime& now, const QString& fallback);

// A change with its sign: "+1.2 GB", "-850 bytes"; "0 bytes" for none.
QString SignedBytes(SizeChange change, const BytesText& bytes);

// The change of an entry in the apparent sizes the captions count, since
// `when` (ScanWhenText); empty for an entry that was not remembered.
QString EntryChangeText(const EntryChange& change, const QString& when, const BytesText& bytes);
