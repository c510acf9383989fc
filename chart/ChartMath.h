// Integer geometry of the chart and the two rounding helpers used wherever a
// real becomes pixels.
//
// Protocol: plain values and pure functions; any thread.
#pragma once

#include <cstdint>

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Nearest integer, halves to the even neighbour. v must fit an int.
int Rnd(double v);

// a * b / c in 64 bits, rounded to nearest (halves away from zero).
// Returns 0 when c is 0.
int MulDiv(int a, int b, int c);
