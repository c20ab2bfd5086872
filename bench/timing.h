// What every benchmark here measures with: microseconds of the steady clock.
#pragma once

#include <chrono>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double us_since(Clock::time_point t) {
    return std::chrono::duration<double, std::micro>(Clock::now() - t).count();
}

}  // namespace bench
