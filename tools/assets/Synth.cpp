#include "assets/Synth.h"

#include <algorithm>
#include <cmath>

#include "assets/Geometry.h"
#include "assets/Noise.h"

namespace NSAssets {

namespace {

constexpr float kAttack = 0.002f;

float timeOf(size_t i) { return static_cast<float>(i) / SOUND_RATE; }

} // namespace

int sampleCount(float seconds) { return static_cast<int>(std::lround(seconds * SOUND_RATE)); }

Samples silence(float seconds) { return Samples(static_cast<size_t>(sampleCount(seconds)), 0.0f); }

void addPartial(Samples& s, float at, float hz, float amp, float decay) {
    const size_t start = static_cast<size_t>(std::max(0, sampleCount(at)));
    for (size_t i = start; i < s.size(); ++i) {
        const float t = timeOf(i - start);
        float env = decay > 0.0f ? std::exp(-t / decay) : 1.0f;
        if (env < 1e-4f)
            break;
        if (t < kAttack)
            env *= t / kAttack;
        s[i] += amp * env * std::sin(2.0f * PI * hz * t);
    }
}

void addGlide(Samples& s, float hz0, float hz1, float amp, float attack, float release) {
    const float total = timeOf(s.size());
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        const float hz = hz0 * std::pow(hz1 / hz0, t / total);
        phase += 2.0 * PI * hz / SOUND_RATE;
        float env = 1.0f;
        if (t < attack)
            env = t / attack;
        if (total - t < release)
            env = std::min(env, (total - t) / release);
        s[i] += amp * env * static_cast<float>(std::sin(phase));
    }
}

Samples noise(int count, uint32_t seed) {
    Samples out(static_cast<size_t>(std::max(0, count)));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = 2.0f * hash01(static_cast<int>(i), 0, 0, seed) - 1.0f;
    return out;
}

Samples bandPass(const Samples& in, float hz, float q, bool wrap) {
    // The band-pass of the usual biquad recipe, 0 dB at its peak.
    const float w = 2.0f * PI * hz / SOUND_RATE;
    const float alpha = std::sin(w) / (2.0f * q);
    const float a0 = 1.0f + alpha;
    const float b0 = alpha / a0, b2 = -alpha / a0;
    const float a1 = -2.0f * std::cos(w) / a0, a2 = (1.0f - alpha) / a0;
    Samples out(in.size());
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (int pass = wrap ? 0 : 1; pass < 2; ++pass)
        for (size_t i = 0; i < in.size(); ++i) {
            const float y = b0 * in[i] + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = in[i];
            y2 = y1;
            y1 = y;
            out[i] = y;
        }
    return out;
}

Samples lowPass(const Samples& in, float hz, bool wrap) {
    const float k = 1.0f - std::exp(-2.0f * PI * hz / SOUND_RATE);
    Samples out(in.size());
    float y = 0.0f;
    for (int pass = wrap ? 0 : 1; pass < 2; ++pass)
        for (size_t i = 0; i < in.size(); ++i) {
            y += k * (in[i] - y);
            out[i] = y;
        }
    return out;
}

void decayFrom(Samples& s, float at, float decay) {
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i) - at;
        s[i] *= t < 0.0f ? 0.0f : std::exp(-t / decay);
    }
}

void mixInto(Samples& s, const Samples& other, float at, float gain) {
    const size_t start = static_cast<size_t>(std::max(0, sampleCount(at)));
    for (size_t i = 0; i < other.size() && start + i < s.size(); ++i)
        s[start + i] += other[i] * gain;
}

void normalise(Samples& s, float peak) {
    float most = 0.0f;
    for (float v : s)
        most = std::max(most, std::fabs(v));
    if (most > 0.0f)
        for (float& v : s)
            v *= peak / most;
}

void fadeOut(Samples& s, float seconds) {
    const size_t n = std::min(s.size(), static_cast<size_t>(sampleCount(seconds)));
    for (size_t i = 0; i < n; ++i)
        s[s.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(n);
}

} // namespace NSAssets
