// The read-ahead pool's size, window by window: it grows while the workers
// sleep and folders wait, never for time spent waiting for a core, and
// shrinks back to its start while the work is on the CPU.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "TempTree.h"
#include "sizetree/ReadAheadPool.h"

namespace {

// One window's timed steps, summed (any unit).
struct TWindow {
    TimedStep Steps;
    bool WorkQueued = true;
    bool Idle = false;
};

const TWindow kSleeping{{100, 10, 5, false}};         // 85 % asleep
const TWindow kOnCpu{{100, 90, 5, false}};            // 5 % asleep
const TWindow kWaitingForCore{{100, 20, 70, false}};  // 10 % asleep
const TWindow kBusyMachine{{100, 30, 50, false}};     // 20 % asleep, 50 % queued
const TWindow kPartlyAsleep{{100, 70, 10, false}};    // 20 %: holds
const TWindow kReadingDevice{{100, 75, 10, true}};    // 15 %, blocks read: grows
const TWindow kReadingQueued{{100, 15, 80, true}};    // 5 %, a quarter of its own time
const TWindow kReadingOnCpu{{100, 90, 5, true}};      // 5 %: blocks read, but on the CPU

std::vector<unsigned> PoolSizes(unsigned start, unsigned bound, const std::vector<TWindow>& windows)
{
    PoolSizer pool(start, bound);
    auto now = std::chrono::steady_clock::time_point() + std::chrono::hours(1);
    pool.Add({}, now, false);  // opens the first window
    std::vector<unsigned> sizes;
    for (const TWindow& w : windows) {
        if (w.Idle)
            pool.NoteIdle();
        pool.Add(w.Steps, now + PoolSizer::kWindow / 2, w.WorkQueued);
        now += PoolSizer::kWindow;
        sizes.push_back(pool.Add({}, now, w.WorkQueued));
    }
    return sizes;
}

TEST(ReadAheadPool, SizeWindowByWindow)
{
    TWindow idle = kSleeping;
    idle.Idle = true;
    TWindow nothingQueued = kSleeping;
    nothingQueued.WorkQueued = false;
    TWindow partlyReading = kPartlyAsleep;
    partlyReading.Steps.ReadDevice = true;
    const TWindow s = kSleeping;
    struct TCase {
        const char* Name;
        unsigned Start, Bound;
        std::vector<TWindow> Windows;
        std::vector<unsigned> Sizes;
    };
    const std::vector<TCase> cases = {
        {"asleep with work: doubles after two windows, then every window, to the bound",
         2,
         12,
         {s, s, s, s, s},
         {2, 4, 8, 12, 12}},
        {"one sleepy window at a time", 2, 16, {s, kPartlyAsleep, s, kPartlyAsleep, s}, {2, 2, 2, 2, 2}},
        {"a worker went idle: the pool is not the limit", 2, 16, {idle, idle}, {2, 2}},
        {"no folder waits", 2, 16, {nothingQueued, nothingQueued}, {2, 2}},
        {"waiting for a core is not sleep", 2, 16, {kWaitingForCore, kWaitingForCore}, {2, 2}},
        {"steps that read blocks from a device grow at once, at a smaller share of sleep",
         2,
         16,
         {kReadingDevice, kOnCpu, partlyReading, partlyReading},
         {4, 2, 4, 8}},
        {"the same share without device reads holds",
         2,
         16,
         {kPartlyAsleep, kPartlyAsleep, s, kPartlyAsleep},
         {2, 2, 2, 2}},
        {"reading blocks while queued for the cores: grows, and queueing does not shrink it",
         2,
         16,
         {kReadingQueued, kReadingQueued, kReadingQueued},
         {4, 8, 16}},
        {"blocks read, but little sleep: the CPU is the limit",
         2,
         16,
         {s, s, s, kReadingOnCpu},
         {2, 4, 8, 4}},
        {"asleep, but queued for cores longer: the CPU is the limit",
         2,
         16,
         {s, s, s, kBusyMachine, kBusyMachine, kBusyMachine},
         {2, 4, 8, 4, 2, 2}},
        {"on the CPU: halves, not below the start",
         3,
         32,
         {s, s, s, s, kOnCpu, kOnCpu, kOnCpu, kOnCpu},
         {3, 6, 12, 24, 12, 6, 3, 3}},
        {"partly asleep: holds", 2, 16, {s, s, kPartlyAsleep, kPartlyAsleep}, {2, 4, 4, 4}},
        {"a fixed pool", 2, 2, {s, s, kOnCpu}, {2, 2, 2}},
        {"from one, up to the bound", 1, 3, {s, s, s, s}, {1, 2, 3, 3}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(PoolSizes(c.Start, c.Bound, c.Windows), c.Sizes) << c.Name;
}

// The calling thread's times grow while it runs: all of a busy span is run
// or queued time, none of it reads as sleep.
TEST(ReadAheadPool, ThreadTimesCountRunning)
{
    const ThreadTimes before = ThreadTimesNow();
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::milliseconds(20);
    while (std::chrono::steady_clock::now() < end) {}
    const ThreadTimes after = ThreadTimesNow();
    const int64_t wall = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now()
                                                                              - start)
                             .count();
    EXPECT_GT(after.Run + after.Queued - before.Run - before.Queued, wall * 3 / 4);
}

// Reading a file whose pages were dropped from the cache counts its bytes
// for the reading thread. Where the folder has no device of its own (tmpfs,
// overlay) nothing is read from one, and the test has nothing to look at.
TEST(ReadAheadPool, DeviceBytesReadCountsAColdRead)
{
    TTempTree t;
    const std::string path = t.Path("cold");
    const std::string block(1 << 20, 'x');
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, block.data(), block.size()), static_cast<ssize_t>(block.size()));
    ASSERT_EQ(fdatasync(fd), 0);  // only clean pages leave the cache
    ASSERT_EQ(posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED), 0);
    const int64_t before = DeviceBytesRead();
    std::string back(block.size(), '\0');
    ASSERT_EQ(pread(fd, back.data(), back.size(), 0), static_cast<ssize_t>(back.size()));
    const int64_t moved = DeviceBytesRead() - before;
    struct stat st;
    ASSERT_EQ(fstat(fd, &st), 0);
    close(fd);
    ASSERT_GE(before, 0) << "/proc/thread-self/io cannot be read";
    if (moved == 0 && major(st.st_dev) == 0)
        GTEST_SKIP() << t.Root() << " is on a file system without a device of its own (tmpfs, overlay)";
    EXPECT_GE(moved, static_cast<int64_t>(block.size()));
}

}  // namespace
