#pragma once
#include <cstdint>

// A stopwatch over the steady clock. Every reading is limited to cap seconds,
// so a long stall of the process never turns into one huge time step.
class Timer {
public:
    Timer(bool paused, float cap);

    void restart();
    void pause();
    bool isPaused() const { return paused; }

    // Seconds since the last lap (or restart), capped; starts the next lap.
    // A paused timer reads 0 and keeps its start.
    float lap();
    // The same reading without starting a new lap.
    float peek() const;

private:
    static int64_t now();
    float reading(int64_t at) const;

    int64_t frequency;
    int64_t last = 0;
    bool paused;
    float cap;
};
