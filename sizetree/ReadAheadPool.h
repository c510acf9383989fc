// How many of the read-ahead lister's workers list at once.
//
// A worker that waits on the device (a cold cache, a network file system)
// sleeps in the kernel most of its time; then more workers keep more
// requests in flight and the scan ends sooner. A worker that runs, or waits
// for a free core, gains nothing from company: the CPU is the limit.
//
// Protocol: the lister owns one PoolSizer and calls it under its mutex.
// Each worker times one list step in every kSample of its own (the folder's
// opening and listing, outside the lister's lock: a wait for the lock is
// contention, which more workers would only worsen, not a wait on the
// device) with ThreadTimesNow, notes with DeviceBytesRead whether it had
// blocks read from a device since its last timed step, and hands that
// TimedStep to Add, with whether folders are queued that no worker has
// started while the read-ahead has room; an active worker that finds nothing
// to do calls NoteIdle. Add returns how many workers should take tasks: the
// count changes only at the end of a window of kWindow, and only
//   - up, doubling (at most to the bound), when the workers waited on the
//     device, folders were queued at the window's end and no worker went
//     idle in it. They waited on the device when blocks were read from a
//     device in the window and its steps slept a tenth of the time they did
//     not wait for a core (each read is a wait, and more workers keep more
//     reads in flight even while they also queue for the cores, for the work
//     on the cores is the scan's own, the same whichever worker does it); or
//     when the steps of that window and of the one before slept at least a
//     quarter of their wall time and waited for a core less than they slept
//     (two windows, so that one slow folder does not grow the pool). Every
//     such window doubles it again: a cold scan of a source tree lasts only
//     some 60 windows, and the pool must reach its useful size in the first
//     few;
//   - down, by half (never below the start), when no device read kept them
//     waiting and they slept less than a tenth of their wall time, or waited
//     for a core more than twice as long as they slept: the CPU is the limit.
// So on a warm cache, where nothing is read from a device, the pool grows
// only while its workers sleep and cores are free, and stops where they
// start to queue for the cores, whether behind each other or behind other
// programs: more workers then would only take the cores from those programs,
// or add contention. No growth is undone for lack of a measured gain:
// folders differ too much in cost for a few windows' folder rate to tell,
// and a worker that sleeps costs only its stack and at most two descriptors,
// also on a device that serves one request at a time. (On a virtual
// machine, time the host takes a core away from the guest is neither run nor
// queued time. So a step counts as asleep only if its worker blocked in it
// (ThreadTimes::Blocks); in a step that never blocked, that time counts as
// run time: a busy scan on a busy host does not grow the pool.)
#pragma once

#include <chrono>
#include <cstdint>

// A thread's times since it started, in nanoseconds: on a core (its CPU
// clock, exact to the call), and runnable but waiting for one (from
// /proc/thread-self/schedstat: one short open, read, close; 0 where that
// cannot be read); and how often it gave up its core to wait (blocked).
struct ThreadTimes {
    int64_t Run = 0;
    int64_t Queued = 0;
    int64_t Blocks = 0;
};
ThreadTimes ThreadTimesNow();

// Bytes the calling thread has had read from storage devices since it
// started (read_bytes of /proc/thread-self/io); -1 where that cannot be read.
int64_t DeviceBytesRead();

// One timed list step of a worker: its wall time, how much of it it ran and
// waited for a core (nanoseconds), and whether the worker had blocks read from
// a device since its previous timed step.
struct TimedStep {
    int64_t Wall = 0;
    int64_t Run = 0;
    int64_t Queued = 0;
    bool ReadDevice = false;
};

class PoolSizer {
public:
    static constexpr std::chrono::milliseconds kWindow{10};
    static constexpr std::chrono::milliseconds kSample{2};  // per worker: one timed step

    PoolSizer(unsigned start, unsigned bound);

    // A worker's timed step, ending at `now`.
    unsigned Add(const TimedStep& step, std::chrono::steady_clock::time_point now, bool workQueued);
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
    bool readDevice_ = false;
    bool idle_ = false;
    bool asleepBefore_ = false;  // the last window slept enough to grow
};
