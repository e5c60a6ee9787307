#include "loudness/Loudness.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace NSLoudness {

namespace {

// A second-order filter section (direct form I).
struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double run(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// The two stages of the K filter at any rate, from their analogue prototypes
// (the coefficients the standard gives for 48 kHz follow from these).
Biquad highShelf(int rate) {
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(M_PI * f0 / rate), vh = std::pow(10.0, gainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416), a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad highPass(int rate) {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(M_PI * f0 / rate), a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

uint32_t le(const unsigned char* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

} // namespace

std::vector<double> weightedPower(const std::vector<float>& samples, int channels, int rate) {
    const size_t frames = channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0;
    std::vector<double> power(frames, 0.0);
    for (int c = 0; c < channels; ++c) {
        Biquad shelf = highShelf(rate), pass = highPass(rate);
        for (size_t i = 0; i < frames; ++i) {
            const double y = pass.run(shelf.run(samples[i * static_cast<size_t>(channels) + static_cast<size_t>(c)]));
            power[i] += y * y;
        }
    }
    return power;
}

double loudestMomentary(const std::vector<double>& power, int rate, double from, double to) {
    const size_t window = static_cast<size_t>(0.4 * rate), hop = static_cast<size_t>(0.1 * rate);
    double loudest = kSilence;
    for (double start = std::max(0.0, from) * rate; start <= std::max(from, to) * rate + 0.5; start += double(hop)) {
        const size_t a = static_cast<size_t>(start);
        if (a >= power.size())
            break;
        const size_t b = std::min(power.size(), a + window);
        double sum = 0.0;
        for (size_t i = a; i < b; ++i)
            sum += power[i];
        const double mean = sum / double(window);
        if (mean > 0.0)
            loudest = std::max(loudest, -0.691 + 10.0 * std::log10(mean));
    }
    return loudest;
}

bool readWave(const std::string& path, std::vector<float>& samples, int& channels, int& rate, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(&bytes[8], "WAVE", 4) != 0) {
        error = path + " is not a RIFF/WAVE file";
        return false;
    }
    channels = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        // A chunk cut short by a recording that ended early counts up to the end of the file.
        const size_t size = std::min<size_t>(le(&bytes[at + 4], 4), bytes.size() - at - 8);
        const unsigned char* body = &bytes[at + 8];
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && size >= 16) {
            const uint32_t format = le(body, 2);
            channels = static_cast<int>(le(body + 2, 2));
            rate = static_cast<int>(le(body + 4, 4));
            if ((format != 1 && format != 0xFFFE) || le(body + 14, 2) != 16 || channels < 1 || rate < 1) {
                error = path + " is not 16-bit PCM";
                return false;
            }
        } else if (std::memcmp(&bytes[at], "data", 4) == 0 && channels > 0) {
            samples.resize(size / 2);
            for (size_t i = 0; i < samples.size(); ++i)
                samples[i] = static_cast<float>(static_cast<int16_t>(le(body + 2 * i, 2))) / 32768.0f;
            return true;
        }
        at += 8 + size + (size & 1);
    }
    error = path + " has no samples after its format";
    return false;
}

} // namespace NSLoudness
