#pragma once
// A gain that never jumps: it follows its target at no more than a whole
// step (0 to 1) per kSeconds and per kSteps updates, so muting, pausing and
// stopping fade out the sounds instead of cutting them mid-wave (a cut is
// heard as a click), even when a frame comes late. A voice is paused or
// stopped only once its fade has been silent for kHold: the sound device
// mixes ahead, and what it has not yet played of the fade must not be cut.
#include <algorithm>

namespace NSAudio {

class Fade {
public:
    static constexpr double kSeconds = 0.05;
    static constexpr int kSteps = 3;
    static constexpr double kHold = 0.1;

    Fade() = default;
    explicit Fade(float start) : current(start), wanted(start) {}
    void setTarget(float target) { wanted = target; }
    float target() const { return wanted; }
    float value() const { return current; }
    bool isSettled() const { return current == wanted; }
    // Faded out, and held silent long enough to be cut.
    bool isSilent() const { return wanted == 0.0f && current == 0.0f && held >= kHold; }
    // Moves toward the target by the seconds since the last call.
    float advance(double seconds) {
        const float most = static_cast<float>(std::min(std::max(0.0, seconds) / kSeconds, 1.0 / kSteps));
        held = current == wanted ? held + std::max(0.0, seconds) : 0.0;
        current = current < wanted ? std::min(wanted, current + most) : std::max(wanted, current - most);
        return current;
    }

private:
    float current = 1.0f;
    float wanted = 1.0f;
    double held = 0.0;
};

} // namespace NSAudio
