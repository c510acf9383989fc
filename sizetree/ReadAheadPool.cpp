#include "sizetree/ReadAheadPool.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

ThreadTimes ThreadTimesNow()
{
    ThreadTimes t;
    const int fd = open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char text[96];
        const ssize_t n = read(fd, text, sizeof text - 1);
        close(fd);
        long long run = 0, queued = 0;
        if (n > 0) {
            text[n] = '\0';
            if (std::sscanf(text, "%lld %lld", &run, &queued) == 2) {
                t.Run = run;
                t.Queued = queued;
                return t;
            }
        }
    }
    timespec ts{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts) == 0)
        t.Run = int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
    return t;
}

PoolSizer::PoolSizer(unsigned start, unsigned bound)
    : start_(std::max(start, 1u)), bound_(std::max(bound, std::max(start, 1u))), active_(start_)
{
}

unsigned PoolSizer::Add(int64_t wall, int64_t run, int64_t queued, unsigned folders,
                        std::chrono::steady_clock::time_point now, bool workQueued)
{
    stretchFolders_ += folders;
    if (wall > 0) {
        wall_ += wall;
        slept_ += std::clamp<int64_t>(wall - run - queued, 0, wall);
        queued_ += std::clamp<int64_t>(queued, 0, wall);
    }
    if (windowStart_ == std::chrono::steady_clock::time_point{})
        windowStart_ = stretchStart_ = now;
    if (now - windowStart_ < kWindow)
        return active_;
    // Folders per second since the count last changed.
    const double rate = static_cast<double>(stretchFolders_)
        / std::chrono::duration<double>(now - stretchStart_).count();
    const unsigned was = active_;
    // Waiting on the device, not for a core: a worker more finds a free core.
    const bool asleep = wall_ > 0 && 4 * slept_ >= wall_ && queued_ < slept_;
    // The CPU is the limit: little sleep, or more waiting for a core.
    const bool onCpu = wall_ > 0 && (10 * slept_ < wall_ || queued_ > 2 * slept_);
    if (trial_ > 0) {
        if (trial_ > 1 || stretchFolders_ >= kJudgedFolders) {
            if (--trial_ == 0 && rate < 1.05 * rateBefore_) {
                active_ = before_;
                backoff_ = kBackoffWindows;
            }
        }
    } else if (asleep && asleepBefore_ && workQueued && !idle_ && backoff_ == 0
               && active_ < bound_) {
        before_ = active_;
        rateBefore_ = rate;
        active_ = std::min(bound_, active_ + std::max(1u, active_ / 2));
        trial_ = kTrialWindows;
    } else if (onCpu && active_ > start_) {
        --active_;
    }
    if (backoff_ > 0)
        --backoff_;
    if (active_ != was) {
        stretchStart_ = now;
        stretchFolders_ = 0;
    }
    asleepBefore_ = asleep;
    windowStart_ = now;
    wall_ = 0;
    slept_ = 0;
    queued_ = 0;
    idle_ = false;
    return active_;
}
