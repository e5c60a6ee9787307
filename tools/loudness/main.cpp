// Prints, for each span of a wave file, its loudest momentary loudness in
// LUFS (EBU R128) and its steepest fall: the largest drop in level from one
// 5 ms window to the next, as a share of its loudest window. A sound cut off
// mid-wave falls by nearly all of it at once; one that fades over 30 ms by
// a fraction.
// Usage: qbn_loudness FILE.wav FROM TO [FROM TO ...]   (seconds)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "loudness/Loudness.h"

int main(int argc, char** argv) {
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: %s FILE.wav FROM TO [FROM TO ...]\n", argv[0]);
        return 2;
    }
    std::vector<float> samples;
    int channels = 0, rate = 0;
    std::string error;
    if (!NSLoudness::readWave(argv[1], samples, channels, rate, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const std::vector<double> power = NSLoudness::weightedPower(samples, channels, rate);
    for (int i = 2; i + 1 < argc; i += 2) {
        const double from = std::atof(argv[i]), to = std::atof(argv[i + 1]);
        const size_t a = static_cast<size_t>(std::max(0.0, from) * rate) * static_cast<size_t>(channels);
        const size_t b = std::min(samples.size(), static_cast<size_t>(std::max(0.0, to) * rate) * static_cast<size_t>(channels));
        std::vector<double> levels;
        const size_t window = static_cast<size_t>(0.005 * rate) * static_cast<size_t>(channels);
        for (size_t k = a; window > 0 && k + window <= b; k += window) {
            double sum = 0.0;
            for (size_t i = k; i < k + window; ++i)
                sum += double(samples[i]) * samples[i];
            levels.push_back(std::sqrt(sum / double(window)));
        }
        double loudest = 0.0, fall = 0.0;
        for (size_t k = 0; k < levels.size(); ++k) {
            loudest = std::max(loudest, levels[k]);
            if (k > 0)
                fall = std::max(fall, levels[k - 1] - levels[k]);
        }
        std::printf("%.1f %.2f\n", NSLoudness::loudestMomentary(power, rate, from, to), loudest > 0.0 ? fall / loudest : 0.0);
    }
    return 0;
}
