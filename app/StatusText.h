// The figures of the status bar as text: grouped whole numbers, byte figures,
// shares, elapsed times and the scan's share of a disk. The window puts the
// figures into its translated sentences.
//
// Protocol: pure functions of their arguments; call them on the UI thread.
// Numbers are written in a locale's own way (QLocale: its group separator,
// which may be a space of any width, and its decimal sign), always grouped,
// so that a group separator is never taken for a decimal sign. The designed
// captions keep their own number text (numtext/); reports the C locale.
#pragma once

#include <QLocale>
#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <string>

// The user's locale (QLocale's default) with digit grouping on, also where
// the locale leaves it off by default (C).
QLocale FigureLocale();

// 1234567 as "1,234,567" (en_US), "1 234 567" (ru_RU, a narrow or plain
// no-break space).
QString GroupedNumber(uint64_t n, const QLocale& locale = FigureLocale());

// Unit names from bytes up: bytes, kB, MB, GB, TB, PB (translated by the caller).
using ByteUnits = std::array<QString, 6>;

// A short figure in the units of the captions (10^3 steps): "999 bytes",
// "1.2 GB", one decimal, rounded half away from zero.
QString ByteFigure(double bytes, const ByteUnits& units, const QLocale& locale = FigureLocale());

// part of whole as "12.3 %" (one decimal); "0 %" when whole is not positive.
QString ShareText(double part, double whole, const QLocale& locale = FigureLocale());

// "0:07", "12:34", "1:02:03".
std::string ElapsedText(std::chrono::milliseconds elapsed);

// How far a scan of a whole file system has come in per cent: bytes on disk
// counted so far of the file system's used bytes, never above 99 before the
// scan ends; -1 when usedBytes is 0 (unknown, or not a whole file system).
int ScanPercent(uint64_t diskBytesSoFar, uint64_t usedBytes);

// The used bytes of the file system whose root is path ((blocks - free
// blocks) x fragment size); 0 when path is no file system's root, or unknown.
uint64_t FileSystemUsedBytes(const std::string& path);
