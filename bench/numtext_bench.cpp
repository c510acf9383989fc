// Per-call cost of the number text layer on the values the program shows:
// megabyte figures of the tree captions and the chart marks.
#include "numtext/NumberPattern.h"
#include "numtext/NumberText.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>

namespace {

// Megabyte figures from a fraction of a megabyte to a few terabytes, and a
// few values that need all 15 digits.
constexpr std::array<long double, 16> kValues = {
    0.2L,
    1.0L,
    12.3L,
    123.5L,
    1073.7L,
    4096.0L,
    65432.1L,
    123456.7L,
    2000398.9L,
    0.0L,
    1.0L / 3,
    2.0L / 3,
    1234567890.12345678L,
    99.96L,
    0.05L,
    1e20L,
};

void BM_FormatGeneral(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatGeneral(kValues[i]));
        i = (i + 1) % kValues.size();
    }
}
BENCHMARK(BM_FormatGeneral);

void BM_FormatGeneralCaption(benchmark::State& state)
{
    // The caption figure as the tree computes it: whole tenths of a megabyte.
    long double bytes = 123456789.0L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatGeneral(RoundToInteger(bytes * 1e-5L) * 0.1L));
        bytes += 100001.0L;
        if (bytes > 1e13L)
            bytes = 123456789.0L;
    }
}
BENCHMARK(BM_FormatGeneralCaption);

void BM_FormatNumberPatternMB(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatNumberPattern("# ### ###0.# MB", kValues[i]));
        i = (i + 1) % kValues.size();
    }
}
BENCHMARK(BM_FormatNumberPatternMB);

void BM_FormatNumberPatternPercent(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatNumberPattern("##0.# %", kValues[i] * 0.001L));
        i = (i + 1) % kValues.size();
    }
}
BENCHMARK(BM_FormatNumberPatternPercent);

void BM_FormatNumberPatternScientific(benchmark::State& state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatNumberPattern("##0.0E+00", kValues[i]));
        i = (i + 1) % kValues.size();
    }
}
BENCHMARK(BM_FormatNumberPatternScientific);

}  // namespace
