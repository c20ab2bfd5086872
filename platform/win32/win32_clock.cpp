// The millisecond clock, the sleep and the frame wait, on timeGetTime and Sleep.
//
// The multimedia timer is set to 1 ms for the whole run, so timeGetTime steps every millisecond and
// Sleep keeps to the millisecond. The frame wait needs more than that: it sleeps until just before
// the deadline and spins only the last 0.2 ms. timeGetTime does not say how far into its
// millisecond it is, so the wait learns when its steps fall from the performance counter, each time
// it watches one happen, and sleeps on a waitable timer, which takes a finer due time than Sleep.

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/win32/win32.h"

#include <mmsystem.h>

#include <cstdint>

// Older Windows headers lack the flag; older Windows refuses it, and the wait falls back.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace platform {
namespace {

struct TimerResolution {
    TimerResolution() { timeBeginPeriod(1); }
    ~TimerResolution() { timeEndPeriod(1); }
};
const TimerResolution timer_resolution;

constexpr int64_t spin_us = 200;

int64_t counter_hz() {
    static const int64_t hz = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<int64_t>(f.QuadPart);
    }();
    return hz;
}

int64_t now_us() {
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    const int64_t hz = counter_hz();
    return c.QuadPart / hz * 1000000 + c.QuadPart % hz * 1000000 / hz;
}

// The last step of timeGetTime seen as it happened: its reading and the counter's time of it.
bool step_known = false;
uint32_t step_ms = 0;
int64_t step_us = 0;

// Sleeps for about `us` microseconds: on a high-resolution waitable timer where Windows has one
// (10, version 1803 on), else on an ordinary one.
void sleep_us(int64_t us) {
    static const HANDLE timer = [] {
        HANDLE t = CreateWaitableTimerExW(nullptr, nullptr,
                                          CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
        return t ? t : CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    }();
    if (!timer) {
        Sleep(static_cast<DWORD>(us / 1000));
        return;
    }
    LARGE_INTEGER due;
    due.QuadPart = -us * 10;  // relative, in 100 ns
    if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE))
        WaitForSingleObject(timer, INFINITE);
}

int32_t ms_until(int32_t deadline, uint32_t now) {
    return static_cast<int32_t>(static_cast<uint32_t>(deadline) - now);
}

}  // namespace

namespace backend {

uint32_t time_ms() { return timeGetTime(); }

void sleep_ms(uint32_t ms) { Sleep(ms); }

void wait_until(int32_t deadline) {
    uint32_t now = timeGetTime();
    if (ms_until(deadline, now) <= 0) return;
    // When the clock will read `deadline`: from the step last watched, or, before one has been
    // watched, no later than the end of this millisecond plus the rest.
    const int64_t start_us = now_us();
    const int64_t due_us = step_known
                               ? step_us + int64_t{ms_until(deadline, step_ms)} * 1000
                               : start_us + int64_t{ms_until(deadline, now) - 1} * 1000;
    if (due_us - start_us > spin_us) sleep_us(due_us - spin_us - start_us);
    if (ms_until(deadline, timeGetTime()) <= 0) {
        // Woke after the step: the two clocks have drifted apart, so learn the step again.
        step_known = false;
        return;
    }
    while (ms_until(deadline, now = timeGetTime()) > 0) {
    }
    // The spin saw the clock step to the deadline: that moment is known to within a spin.
    step_known = true;
    step_ms = now;
    step_us = now_us();
}

}  // namespace backend
}  // namespace platform
