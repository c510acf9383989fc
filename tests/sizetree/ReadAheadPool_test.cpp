// The read-ahead pool's size, window by window: it grows while the workers
// sleep and folders wait, never for time spent waiting for a core, and
// shrinks back to its start while the work is on the CPU.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "sizetree/ReadAheadPool.h"

namespace {

// One window's spans, summed: wall, run and queued time (any unit), and
// folders listed.
struct TWindow {
    int64_t Wall, Run, Queued;
    bool WorkQueued;
    bool Idle;
    unsigned Folders = 100;
};

const TWindow kSleeping{100, 10, 5, true, false};         // 85 % asleep
const TWindow kOnCpu{100, 90, 5, true, false};            // 5 % asleep
const TWindow kWaitingForCore{100, 20, 70, true, false};  // 10 % asleep
const TWindow kBusyMachine{100, 30, 50, true, false};     // 20 % asleep, 50 % queued
const TWindow kPartlyAsleep{100, 70, 10, true, false};    // 20 %: holds

std::vector<unsigned> PoolSizes(unsigned start, unsigned bound, const std::vector<TWindow>& windows)
{
    PoolSizer pool(start, bound);
    auto now = std::chrono::steady_clock::time_point() + std::chrono::hours(1);
    pool.Add(0, 0, 0, 0, now, false);  // opens the first window
    std::vector<unsigned> sizes;
    for (const TWindow& w : windows) {
        if (w.Idle)
            pool.NoteIdle();
        pool.Add(w.Wall, w.Run, w.Queued, w.Folders, now + PoolSizer::kWindow / 2, w.WorkQueued);
        now += PoolSizer::kWindow;
        sizes.push_back(pool.Add(0, 0, 0, 0, now, w.WorkQueued));
    }
    return sizes;
}

// kSleeping listing `folders` in its window.
TWindow Sleeping(unsigned folders)
{
    TWindow w = kSleeping;
    w.Folders = folders;
    return w;
}

TEST(ReadAheadPool, SizeWindowByWindow)
{
    TWindow idle = kSleeping;
    idle.Idle = true;
    TWindow nothingQueued = kSleeping;
    nothingQueued.WorkQueued = false;
    const TWindow s = kSleeping;  // 100 folders
    struct TCase {
        const char* Name;
        unsigned Start, Bound;
        std::vector<TWindow> Windows;
        std::vector<unsigned> Sizes;
    };
    const TWindow t = Sleeping(150);  // a growth paid
    const std::vector<TCase> cases = {
        {"asleep with work, each growth paying: half again, judged four windows later", 2, 4,
         {s, s, t, t, t, t, t, Sleeping(250), Sleeping(250), Sleeping(250), Sleeping(250)},
         {2, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4}},
        {"a growth that gains nothing is undone, and none follows for a while", 2, 16,
         {s, s, s, s, s, s, s, s}, {2, 3, 3, 3, 3, 2, 2, 2}},
        {"one sleepy window at a time", 2, 16, {s, kPartlyAsleep, s, kPartlyAsleep, s}, {2, 2, 2, 2, 2}},
        {"a worker went idle: the pool is not the limit", 2, 16, {idle, idle}, {2, 2}},
        {"no folder waits", 2, 16, {nothingQueued}, {2}},
        {"waiting for a core is not sleep", 2, 16, {kWaitingForCore, kWaitingForCore}, {2, 2}},
        {"asleep, but queued for cores longer: the CPU is the limit", 2, 16,
         {s, s, t, t, t, t, kBusyMachine, kBusyMachine}, {2, 3, 3, 3, 3, 3, 2, 2}},
        {"on the CPU: one fewer, not below the start", 2, 16,
         {s, s, t, t, t, t, kOnCpu, kOnCpu}, {2, 3, 3, 3, 3, 3, 2, 2}},
        {"partly asleep: holds", 2, 16, {s, s, t, t, t, t, kPartlyAsleep, kPartlyAsleep},
         {2, 3, 3, 3, 3, 3, 3, 3}},
        {"a fixed pool", 2, 2, {s, s, kOnCpu}, {2, 2, 2}},
        {"from one, up to the bound", 1, 3,
         {s, s, t, t, t, t, t, Sleeping(250), Sleeping(250), Sleeping(250), Sleeping(250), s},
         {1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(PoolSizes(c.Start, c.Bound, c.Windows), c.Sizes) << c.Name;
}

// The calling thread's times grow while it runs.
TEST(ReadAheadPool, ThreadTimesCountRunning)
{
    const ThreadTimes before = ThreadTimesNow();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
    while (std::chrono::steady_clock::now() < end) {
    }
    const ThreadTimes after = ThreadTimesNow();
    EXPECT_GT(after.Run + after.Queued - before.Run - before.Queued, 10'000'000);
}

}  // namespace
