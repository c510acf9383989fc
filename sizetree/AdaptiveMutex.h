// A mutex that spins briefly before it sleeps, and its condition variable.
//
// The read-ahead lister's lock is taken a few times per folder by the
// consumer and every worker, and held for about a microsecond each time; a
// plain mutex puts a thread that finds it taken to sleep and wakes it later,
// two context switches that cost more than the wait. Spinning first (glibc's
// adaptive kind) keeps the threads running.
//
// Protocol: as std::mutex and std::condition_variable, through
// std::unique_lock<AdaptiveMutex>; timed waits use the steady clock.
// Neither is copyable; the condition variable waits on one mutex at a time.
#pragma once

#include <pthread.h>
#include <time.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

class AdaptiveMutex {
public:
    AdaptiveMutex()
    {
        pthread_mutexattr_t attr;
        pthread_mutexattr_init(&attr);
        pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_ADAPTIVE_NP);
        pthread_mutex_init(&mutex_, &attr);
        pthread_mutexattr_destroy(&attr);
    }
    ~AdaptiveMutex() { pthread_mutex_destroy(&mutex_); }
    AdaptiveMutex(const AdaptiveMutex&) = delete;
    AdaptiveMutex& operator=(const AdaptiveMutex&) = delete;

    void lock() { pthread_mutex_lock(&mutex_); }
    bool try_lock() { return pthread_mutex_trylock(&mutex_) == 0; }
    void unlock() { pthread_mutex_unlock(&mutex_); }
    pthread_mutex_t* native_handle() { return &mutex_; }

private:
    pthread_mutex_t mutex_;
};

class AdaptiveCondition {
public:
    using Lock = std::unique_lock<AdaptiveMutex>;

    AdaptiveCondition() { pthread_cond_init(&cond_, nullptr); }
    ~AdaptiveCondition() { pthread_cond_destroy(&cond_); }
    AdaptiveCondition(const AdaptiveCondition&) = delete;
    AdaptiveCondition& operator=(const AdaptiveCondition&) = delete;

    void notify_one() { pthread_cond_signal(&cond_); }
    void notify_all() { pthread_cond_broadcast(&cond_); }
    void wait(Lock& lock) { pthread_cond_wait(&cond_, lock.mutex()->native_handle()); }

    std::cv_status wait_until(Lock& lock, std::chrono::steady_clock::time_point deadline)
    {
        const auto ns =
            std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count();
        timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        pthread_cond_clockwait(&cond_, lock.mutex()->native_handle(), CLOCK_MONOTONIC, &ts);
        return std::chrono::steady_clock::now() < deadline ? std::cv_status::no_timeout
                                                           : std::cv_status::timeout;
    }

private:
    pthread_cond_t cond_;
};
