// A tiny deterministic pseudo-random sequence for the benchmarks, so the
// generated trees are the same on every run.
#pragma once

#include <cstdint>

struct TXorShift {
    uint64_t State;
    uint64_t Next()
    {
        State ^= State << 13;
        State ^= State >> 7;
        State ^= State << 17;
        return State;
    }
};
