#pragma once
// The machine's clock: frames of any length in, whole fixed steps out.
//
// The machine always advances in steps of kStep seconds. A frame adds its
// time (capped at kMaxFrameTime, three times over in fast forward) to what
// the earlier frames left over, and the clock hands out as many whole steps
// as that covers; the rest waits for the next frame. So the same scene runs
// the same steps, with the same numbers, at any frame rate and any jitter of
// frame times: only when the steps happen changes, not what they compute.
//
// Why 1/120 s: a step is then short enough that the fastest bodies of the
// game (a few hundred units per second) move a few units per step, less than
// the smallest ball's radius, and cheap enough that a level with a few dozen
// bodies runs 120 steps per simulated second in well under a millisecond a
// frame. A frame of the 0.2 s cap runs 24 steps (72 in fast forward).
//
// The count is kept in whole steps and the remainder in double precision,
// so summing thousands of frames never drifts by a step.
namespace NSPhysical {

class StepClock {
public:
    static constexpr float kStep = 1.0f / 120.0f;
    // The most time one frame may add (before fast forward).
    static constexpr float kMaxFrameTime = 0.2f;
    // Fast forward runs this many times the steps.
    static constexpr int kFastForwardFactor = 3;

    // Back to no time owed and no steps taken.
    void reset();
    // Adds one frame of frameTime seconds (negative or not a number counts
    // as 0, more than kMaxFrameTime as kMaxFrameTime) and returns how many
    // steps it now owes.
    int advance(float frameTime, bool fastForward);
    // Steps handed out since the last reset.
    long long stepsTaken() const { return steps; }
    // Simulated seconds since the last reset: stepsTaken() * kStep.
    double simulatedSeconds() const { return static_cast<double>(steps) * kStep; }
    // Time owed to the next frame, less than one step.
    double remainder() const { return owed; }

private:
    double owed = 0.0;
    long long steps = 0;
};

} // namespace NSPhysical
