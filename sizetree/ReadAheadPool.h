// How many of the read-ahead lister's workers list at once.
//
// A worker that waits on the device (a cold cache, a network file system)
// sleeps in the kernel most of its time; then more workers keep more
// requests in flight and the scan ends sooner. A worker that runs, or waits
// for a free core, gains nothing from company: the CPU is the limit.
//
// Protocol: the lister owns one PoolSizer and calls it under its mutex.
// Each worker measures its busy spans (from one list step's end to a later
// one's, never across an idle wait) with ThreadTimesNow and hands each span
// to Add, with whether folders are queued that no worker has started while
// the read-ahead has room; an active worker that finds nothing to do calls
// NoteIdle. Add returns how many workers should take tasks: the count
// changes only at the end of a window of kWindow, and only
//   - up, by half again (at least one, at most to the bound), when the spans
//     of that window and of the one before slept at least a quarter of their
//     wall time and waited for a core less than they slept, folders were
//     queued at its end and no worker went idle in it (two windows: a lock
//     holder preempted once makes one window sleepy);
//     A growth is judged four windows later, once 32 folders were listed
//     since (slow folders take longer to judge): unless the folders listed per
//     second since it are a twentieth more than in the stretch before it
//     (since the count last changed), the pool goes back to its count, and
//     does not grow again for kBackoffWindows (on a device that serves one
//     request at a time, sleeping workers do not mean more would help);
//   - down, by one (never below the start), when they slept less than a
//     tenth of it, or waited for a core more than twice as long as they
//     slept: the CPU is the limit.
// So the pool grows while its workers wait on the device and cores are
// free, and stops where they start to queue for the cores, whether behind
// each other or behind other programs: more workers then would only take
// the cores from those programs, or add contention. (On a virtual machine,
// time the host takes a core away from the guest is neither run nor queued
// time; it reads as sleep. The two-window rule and the waiting-for-a-core
// rule keep that from growing the pool far.)
#pragma once

#include <chrono>
#include <cstdint>

// A thread's times since it started, in nanoseconds: on a core, and
// runnable but waiting for one. From /proc/thread-self/schedstat (one short
// open, read, close); where that cannot be read, the thread's CPU clock,
// with Queued 0.
struct ThreadTimes {
    int64_t Run = 0;
    int64_t Queued = 0;
};
ThreadTimes ThreadTimesNow();

class PoolSizer {
public:
    static constexpr std::chrono::milliseconds kWindow{20};

    PoolSizer(unsigned start, unsigned bound);

    static constexpr unsigned kTrialWindows = 4;  // after a growth, until it is judged
    static constexpr uint64_t kJudgedFolders = 32;  // and at least these listed since
    static constexpr unsigned kBackoffWindows = 25;  // after a growth that gained nothing

    // A busy span of one worker: its wall time and how much of it it ran and
    // waited for a core (nanoseconds), and the folders it listed, ending at
    // `now`.
    unsigned Add(int64_t wall, int64_t run, int64_t queued, unsigned folders,
                 std::chrono::steady_clock::time_point now, bool workQueued);
    void NoteIdle() { idle_ = true; }
    unsigned Active() const { return active_; }

private:
    unsigned start_;
    unsigned bound_;
    unsigned active_;
    std::chrono::steady_clock::time_point windowStart_{};
    int64_t wall_ = 0;
    int64_t slept_ = 0;
    int64_t queued_ = 0;
    bool idle_ = false;
    bool asleepBefore_ = false;  // the last window slept enough to grow
    std::chrono::steady_clock::time_point stretchStart_{};  // the count's last change
    uint64_t stretchFolders_ = 0;  // listed since
    unsigned trial_ = 0;         // windows left before the last growth is judged
    unsigned before_ = 0;        // the count before it
    double rateBefore_ = 0;      // folders per second before it
    unsigned backoff_ = 0;       // windows left without growth
};
