#pragma once
// Loudness as EBU R128 measures it (ITU-R BS.1770): samples weighted by the
// K filter (a high shelf for the head, a high-pass below 38 Hz), their mean
// square summed over the channels, in LUFS. The momentary loudness is that
// of a 400 ms window; windows start every 100 ms. Used to keep the game's
// mix balanced: its unit tests weigh the generated sounds, and the sound
// test weighs a recording of the game.
#include <string>
#include <vector>

namespace NSLoudness {

// The loudness of a window with nothing in it.
constexpr double kSilence = -120.0;

// The K-weighted power of each frame of interleaved samples (-1 to 1) at
// rate, summed over the channels (front left and right count alike).
std::vector<double> weightedPower(const std::vector<float>& samples, int channels, int rate);

// The loudest momentary loudness among the windows that start from `from`
// to `to` seconds (at least the one at `from`), in LUFS.
double loudestMomentary(const std::vector<double>& power, int rate, double from, double to);

// A 16-bit PCM wave file (plain or extensible format, any channel count),
// its samples interleaved and scaled to -1..1; false with a reason.
bool readWave(const std::string& path, std::vector<float>& samples, int& channels, int& rate, std::string& error);

} // namespace NSLoudness
