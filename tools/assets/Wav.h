#pragma once
// Sounds as the tool makes them: mono samples from -1 to 1 at one rate,
// written as 16-bit PCM WAV files.

#include <cstdint>
#include <vector>

namespace NSAssets {

constexpr int SOUND_RATE = 22050;

using Samples = std::vector<float>;

// A RIFF/WAVE file of 16-bit mono PCM at SOUND_RATE; samples beyond -1..1
// are clamped, the rest rounded to the nearest step.
std::vector<uint8_t> encodeWav(const Samples& samples);

} // namespace NSAssets
