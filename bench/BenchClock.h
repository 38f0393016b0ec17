// The clock every figure of the benchmark table is read from: the system-wide monotonic
// clock, so that a parent process and its children agree on it.
#pragma once

#include <time.h>

#include <chrono>
#include <cstdint>

namespace bench {

inline std::int64_t MonotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

inline double MonotonicMs() {
    return static_cast<double>(MonotonicNs()) / 1e6;
}

// A time of std::chrono's steady clock, which is the same clock, in milliseconds.
inline double SteadyMs(std::chrono::steady_clock::time_point at) {
    return std::chrono::duration<double, std::milli>(at.time_since_epoch()).count();
}

}  // namespace bench
