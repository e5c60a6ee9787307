#pragma once
// Reads the 16-bit PCM WAV files the asset tool writes into "sounds/".
#include <cstdint>
#include <string>
#include <vector>

namespace NSAudio {

struct WavData {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples; // interleaved
};

// Parses a RIFF/WAVE image of 16-bit PCM with one or two channels. On
// failure returns false and says why in `error`; `out` is then untouched.
bool parseWav(const std::vector<uint8_t>& bytes, WavData& out, std::string& error);
// Reads and parses a file; the error names the file.
bool readWavFile(const std::string& path, WavData& out, std::string& error);

} // namespace NSAudio
