// The millisecond clock, the sleep and the frame wait.
//
// The clock is the monotonic clock in whole milliseconds, cut to 32 bits: it never jumps with the
// wall clock and it works before SDL is started (the game reads it before it opens its window).

#include "platform/backend.h"
#include "platform/platform.h"

#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The wait sleeps until this long before its deadline and spins the rest: the sleep may wake a
// little late (the timer's slack, the scheduler), the spin does not.
constexpr std::chrono::microseconds spin_stretch{200};

// Sleeps until the steady clock reads `due`: an absolute deadline, so a sleep that is interrupted or
// starts late still ends on time. The steady clock is CLOCK_MONOTONIC.
void sleep_until(Clock::time_point due) {
    const int64_t ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(due.time_since_epoch()).count();
    timespec at{};
    at.tv_sec = static_cast<time_t>(ns / 1000000000);
    at.tv_nsec = static_cast<long>(ns % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

uint32_t ms_of(Clock::time_point t) {
    return static_cast<uint32_t>(std::chrono::floor<milliseconds>(t.time_since_epoch()).count());
}

// How far deadline lies after a clock reading, as a signed 32-bit difference, so it stays right
// when the clock wraps.
int32_t ms_until(int32_t deadline, uint32_t now) {
    return static_cast<int32_t>(static_cast<uint32_t>(deadline) - now);
}

}  // namespace

namespace backend {

uint32_t time_ms() { return ms_of(Clock::now()); }

void sleep_ms(uint32_t ms) { std::this_thread::sleep_for(milliseconds(ms)); }

void wait_until(int32_t deadline) {
    const Clock::time_point now = Clock::now();
    const int32_t left = ms_until(deadline, ms_of(now));
    if (left <= 0) return;
    // The clock reads `deadline` from the start of that millisecond on.
    const Clock::time_point due = std::chrono::floor<milliseconds>(now) + milliseconds(left);
    if (due - now > spin_stretch) sleep_until(due - spin_stretch);
    while (ms_until(deadline, time_ms()) > 0) {
    }
}

}  // namespace backend

}  // namespace platform
