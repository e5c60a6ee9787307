#include "assets/Sounds.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "assets/Geometry.h"
#include "assets/Noise.h"
#include "assets/Synth.h"

namespace NSAssets {

namespace {

// Peaks: one-shots near full scale (the game scales them down by speed),
// loops lower, since they play on under everything else.
constexpr float kShotPeak = 0.89f;
constexpr float kLoopPeak = 0.5f;
// Loops are two seconds: every periodic part below fits a whole number of
// periods into that.
constexpr float kLoopSeconds = 2.0f;

struct Mode {
    float hz, amp, decay;
};

// A struck body: damped modes plus a short filtered click of contact noise.
Samples strike(float seconds, std::initializer_list<Mode> modes, float clickHz, float clickAmp, uint32_t seed) {
    Samples s = silence(seconds);
    for (const Mode& m : modes)
        addPartial(s, 0.0f, m.hz, m.amp, m.decay);
    Samples click = bandPass(noise(sampleCount(0.03f), seed), clickHz, 1.2f, false);
    decayFrom(click, 0.0f, 0.004f);
    normalise(click, 1.0f);
    mixInto(s, click, 0.0f, clickAmp);
    fadeOut(s, 0.02f);
    normalise(s, kShotPeak);
    return s;
}

// A ball on a board or the floor: a hollow knock with a woody ring.
Samples woodImpact() {
    return strike(0.35f, {{190, 1.0f, 0.045f}, {440, 0.7f, 0.03f}, {730, 0.45f, 0.02f}, {1170, 0.25f, 0.012f}},
                  2500, 0.6f, 11);
}

// Two balls: a short rubbery bump, higher and drier.
Samples ballImpact() {
    return strike(0.22f, {{310, 1.0f, 0.025f}, {620, 0.35f, 0.015f}, {1480, 0.2f, 0.006f}}, 3800, 0.5f, 12);
}

// The bowling ball: a heavy, low thud with a long body.
Samples bowlingImpact() {
    Samples s = strike(0.6f, {{62, 1.0f, 0.16f}, {118, 0.8f, 0.11f}, {231, 0.5f, 0.06f}, {402, 0.3f, 0.03f}},
                       900, 0.7f, 13);
    Samples rumble = lowPass(noise(sampleCount(0.6f), 14), 180, false);
    decayFrom(rumble, 0.0f, 0.12f);
    normalise(rumble, 1.0f);
    mixInto(s, rumble, 0.0f, 0.3f);
    normalise(s, kShotPeak);
    return s;
}

// The springboard: a plucked, bending twang.
Samples springboard() {
    Samples s = silence(0.7f);
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / SOUND_RATE;
        const float hz = 120.0f * (1.0f + 0.6f * std::exp(-t * 9.0f)) * (1.0f + 0.02f * std::sin(2 * PI * 7 * t));
        phase += 2.0 * PI * hz / SOUND_RATE;
        const float p = static_cast<float>(phase);
        const float env = std::exp(-t / 0.18f) * std::min(1.0f, t / 0.002f);
        s[i] = env * (std::sin(p) + 0.5f * std::sin(2 * p) + 0.3f * std::sin(3 * p) + 0.15f * std::sin(5 * p));
    }
    Samples snap = bandPass(noise(sampleCount(0.02f), 21), 1800, 1.0f, false);
    decayFrom(snap, 0.0f, 0.003f);
    normalise(snap, 1.0f);
    mixInto(s, snap, 0.0f, 0.5f);
    fadeOut(s, 0.03f);
    normalise(s, kShotPeak);
    return s;
}

// The conveyor belt: a motor hum under the rattle of the rollers.
Samples beltLoop() {
    Samples s = silence(kLoopSeconds);
    for (const Mode& m : {Mode{100, 1.0f, 0}, Mode{200, 0.5f, 0}, Mode{300, 0.25f, 0}})
        addPartial(s, 0.0f, m.hz, m.amp, m.decay);
    // The rollers: a knock every eighth of a second, each a little different.
    Samples knocks = silence(kLoopSeconds);
    const int per = sampleCount(kLoopSeconds) / 16;
    for (int k = 0; k < 16; ++k) {
        Samples knock = bandPass(noise(sampleCount(0.04f), 30 + static_cast<uint32_t>(k)), 1400, 3.0f, false);
        decayFrom(knock, 0.0f, 0.008f);
        mixInto(knocks, knock, static_cast<float>(k * per) / SOUND_RATE, 0.7f + 0.3f * hash01(k, 1, 0, 31));
    }
    normalise(knocks, 1.0f);
    mixInto(s, knocks, 0.0f, 0.8f);
    Samples rumble = lowPass(noise(sampleCount(kLoopSeconds), 32), 300, true);
    normalise(rumble, 1.0f);
    mixInto(s, rumble, 0.0f, 0.3f);
    normalise(s, kLoopPeak);
    return s;
}

// The fan: air rushing through the blades, pulsing at the blade rate, over
// a motor whine.
Samples fanLoop() {
    Samples air = bandPass(noise(sampleCount(kLoopSeconds), 40), 700, 0.7f, true);
    normalise(air, 1.0f);
    Samples s = silence(kLoopSeconds);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / SOUND_RATE;
        s[i] = air[i] * (0.7f + 0.3f * std::sin(2 * PI * 12 * t));
    }
    addPartial(s, 0.0f, 150, 0.15f, 0);
    addPartial(s, 0.0f, 450, 0.05f, 0);
    normalise(s, kLoopPeak);
    return s;
}

// The Tesla coil: a mains buzz with sparks crackling at random.
Samples teslaLoop() {
    Samples s = silence(kLoopSeconds);
    for (int h = 1; h <= 6; ++h)
        addPartial(s, 0.0f, 100.0f * static_cast<float>(h), 0.25f / static_cast<float>(h), 0);
    const int sparks = 40;
    for (int k = 0; k < sparks; ++k) {
        const float at = kLoopSeconds * hash01(k, 2, 0, 50);
        const float len = 0.005f + 0.03f * hash01(k, 3, 0, 50);
        Samples spark = bandPass(noise(sampleCount(len), 51 + static_cast<uint32_t>(k)),
                                 2500 + 3000 * hash01(k, 4, 0, 50), 0.8f, false);
        decayFrom(spark, 0.0f, len / 3);
        normalise(spark, 1.0f);
        // A spark near the end wraps round to the start.
        Samples wrapped = silence(kLoopSeconds);
        const int start = sampleCount(at);
        for (size_t i = 0; i < spark.size(); ++i)
            wrapped[(static_cast<size_t>(start) + i) % wrapped.size()] += spark[i];
        mixInto(s, wrapped, 0.0f, 0.4f + 0.6f * hash01(k, 5, 0, 50));
    }
    normalise(s, kLoopPeak);
    return s;
}

// A chime of notes (hz, start), each ringing out.
Samples chime(float seconds, std::initializer_list<std::pair<float, float>> notes, float decay) {
    Samples s = silence(seconds);
    for (const auto& [hz, at] : notes) {
        addPartial(s, at, hz, 1.0f, decay);
        addPartial(s, at, 2 * hz, 0.3f, decay * 0.5f);
        addPartial(s, at, 3 * hz, 0.12f, decay * 0.3f);
    }
    fadeOut(s, 0.05f);
    normalise(s, kShotPeak);
    return s;
}

// Machine start and stop: the motor winding up or down.
Samples motor(float hz0, float hz1) {
    Samples s = silence(0.6f);
    addGlide(s, hz0, hz1, 1.0f, 0.03f, 0.2f);
    addGlide(s, 2 * hz0, 2 * hz1, 0.4f, 0.03f, 0.2f);
    addGlide(s, 3 * hz0, 3 * hz1, 0.2f, 0.03f, 0.2f);
    normalise(s, kShotPeak);
    return s;
}

} // namespace

std::vector<SoundAsset> buildSounds() {
    return {
        {"impact_wood.wav", woodImpact()},
        {"impact_ball.wav", ballImpact()},
        {"impact_bowling.wav", bowlingImpact()},
        {"springboard.wav", springboard()},
        {"belt_loop.wav", beltLoop(), true},
        {"fan_loop.wav", fanLoop(), true},
        {"tesla_loop.wav", teslaLoop(), true},
        {"goal.wav", chime(0.8f, {{880.0f, 0.0f}, {1318.5f, 0.1f}}, 0.25f)},
        {"win.wav", chime(1.8f, {{523.25f, 0.0f}, {659.25f, 0.15f}, {783.99f, 0.3f}, {1046.5f, 0.45f}}, 0.4f)},
        {"click.wav", chime(0.06f, {{2000.0f, 0.0f}}, 0.008f)},
        {"machine_start.wav", motor(60, 180)},
        {"machine_stop.wav", motor(180, 50)},
    };
}

} // namespace NSAssets
