// The figures of the status bar as text: grouped whole numbers, byte figures,
// shares, elapsed times and the scan's share of a disk. Plain C++, no toolkit:
// the window puts the figures into its translated sentences.
//
// Protocol: pure functions of their arguments and of the two locale
// separators (numtext/NumberText.h); call them on the UI thread.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

// 1234567 as "1,234,567" with the locale's thousands separator.
std::string GroupedNumber(uint64_t n);

// Unit names from bytes up: bytes, kB, MB, GB, TB, PB (translated by the caller).
using ByteUnits = std::array<std::string, 6>;

// A short figure in the units of the captions (10^3 steps): "999 bytes",
// "1.2 GB", one decimal with the locale's decimal separator.
std::string ByteFigure(double bytes, const ByteUnits& units);

// part of whole as "12.3 %" (one decimal); "0 %" when whole is not positive.
std::string ShareText(double part, double whole);

// "0:07", "12:34", "1:02:03".
std::string ElapsedText(std::chrono::milliseconds elapsed);

// How far a scan of a whole file system has come in per cent: bytes on disk
// counted so far of the file system's used bytes, never above 99 before the
// scan ends; -1 when usedBytes is 0 (unknown, or not a whole file system).
int ScanPercent(uint64_t diskBytesSoFar, uint64_t usedBytes);

// The used bytes of the file system whose root is path ((blocks - free
// blocks) x fragment size); 0 when path is no file system's root, or unknown.
uint64_t FileSystemUsedBytes(const std::string& path);
