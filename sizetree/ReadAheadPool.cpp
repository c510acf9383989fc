#include "sizetree/ReadAheadPool.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

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
            if (std::sscanf(text, "%lld %lld", &run, &queued) == 2)
                t.Queued = queued;
        }
    }
    rusage usage{};
    if (getrusage(RUSAGE_THREAD, &usage) == 0)
        t.Blocks = usage.ru_nvcsw;
    // The CPU clock, not schedstat's run figure: for the running thread that
    // lags by the time since it last left a core, which would read as sleep.
    // Read last, so that a span timed from one call to another also counts
    // the reading above as run time.
    timespec ts{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts) == 0)
        t.Run = int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
    return t;
}

int64_t DeviceBytesRead()
{
    const int fd = open("/proc/thread-self/io", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    char text[256];
    const ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    if (n <= 0)
        return -1;
    text[n] = '\0';
    const char* field = std::strstr(text, "\nread_bytes: ");
    long long bytes = 0;
    if (!field || std::sscanf(field, "\nread_bytes: %lld", &bytes) != 1)
        return -1;
    return bytes;
}

PoolSizer::PoolSizer(unsigned start, unsigned bound)
    : start_(std::max(start, 1u)), bound_(std::max(bound, std::max(start, 1u))), active_(start_)
{
}

unsigned PoolSizer::Add(const TimedStep& step, std::chrono::steady_clock::time_point now, bool workQueued)
{
    if (step.Wall > 0) {
        wall_ += step.Wall;
        slept_ += std::clamp<int64_t>(step.Wall - step.Run - step.Queued, 0, step.Wall);
        queued_ += std::clamp<int64_t>(step.Queued, 0, step.Wall);
    }
    readDevice_ = readDevice_ || step.ReadDevice;
    if (windowStart_ == std::chrono::steady_clock::time_point{})
        windowStart_ = now;
    if (now - windowStart_ < kWindow)
        return active_;
    // Blocks read, and a tenth of the time not queued for a core asleep.
    const bool onDevice = readDevice_ && wall_ > queued_ && 10 * slept_ >= wall_ - queued_;
    // Waiting on the device, not for a core: a worker more finds a free core.
    const bool asleep = onDevice || (wall_ > 0 && 4 * slept_ >= wall_ && queued_ < slept_);
    // The CPU is the limit: little sleep, or more waiting for a core.
    const bool onCpu = !onDevice && wall_ > 0 && (10 * slept_ < wall_ || queued_ > 2 * slept_);
    if (asleep && (asleepBefore_ || onDevice) && workQueued && !idle_ && active_ < bound_)
        active_ = std::min(bound_, 2 * active_);
    else if (onCpu && active_ > start_)
        active_ = std::max(start_, active_ / 2);
    asleepBefore_ = asleep;
    windowStart_ = now;
    wall_ = 0;
    slept_ = 0;
    queued_ = 0;
    readDevice_ = false;
    idle_ = false;
    return active_;
}
