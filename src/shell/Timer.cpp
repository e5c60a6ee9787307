#include "shell/Timer.h"

#include <chrono>

using Clock = std::chrono::steady_clock;

Timer::Timer(bool paused, float cap)
    : frequency(Clock::period::den / Clock::period::num), paused(paused), cap(cap) {
    if (!paused)
        last = now();
}

int64_t Timer::now() {
    return Clock::now().time_since_epoch().count();
}

void Timer::restart() {
    paused = false;
    last = now();
}

void Timer::pause() { paused = true; }

float Timer::reading(int64_t at) const {
    double seconds = static_cast<double>(at - last) / static_cast<double>(frequency);
    return seconds > cap ? cap : static_cast<float>(seconds);
}

float Timer::lap() {
    if (paused)
        return 0.0f;
    int64_t at = now();
    float seconds = reading(at);
    last = at;
    return seconds;
}

float Timer::peek() const {
    if (paused)
        return 0.0f;
    return reading(now());
}
