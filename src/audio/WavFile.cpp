#include "audio/WavFile.h"

#include <algorithm>

#include "persistence/LittleEndian.h"
#include "shell/SafeFile.h"

namespace NSAudio {

namespace {

// The game's sounds are short; a larger file is not one of them.
constexpr size_t kMaxWavBytes = 64u << 20;

uint32_t u32(const std::vector<uint8_t>& b, size_t at) { return NSSerialize::le32(b.data() + at); }

uint16_t u16(const std::vector<uint8_t>& b, size_t at) { return NSSerialize::le16(b.data() + at); }

bool tagAt(const std::vector<uint8_t>& b, size_t at, const char* tag) {
    return at + 4 <= b.size() && std::equal(tag, tag + 4, b.begin() + static_cast<std::ptrdiff_t>(at));
}

} // namespace

bool parseWav(const std::vector<uint8_t>& b, WavData& out, std::string& error) {
    if (b.size() < 12 || !tagAt(b, 0, "RIFF") || !tagAt(b, 8, "WAVE")) {
        error = "not a RIFF/WAVE file";
        return false;
    }
    WavData wav;
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const uint32_t size = u32(b, at + 4);
        const size_t body = at + 8;
        if (size > b.size() - body) {
            error = "a chunk runs past the end of the file";
            return false;
        }
        if (tagAt(b, at, "fmt ")) {
            if (size < 16 || u16(b, body) != 1 || u16(b, body + 14) != 16) {
                error = "not 16-bit PCM";
                return false;
            }
            wav.channels = u16(b, body + 2);
            wav.rate = static_cast<int>(u32(b, body + 4));
            if (wav.channels < 1 || wav.channels > 2 || wav.rate < 1000 || wav.rate > 192000) {
                error = "unsupported channel count or sample rate";
                return false;
            }
            haveFormat = true;
        } else if (tagAt(b, at, "data")) {
            if (!haveFormat) {
                error = "sample data before the format";
                return false;
            }
            const size_t frames = size / (2u * static_cast<size_t>(wav.channels));
            if (frames == 0) {
                error = "no samples";
                return false;
            }
            wav.samples.resize(frames * static_cast<size_t>(wav.channels));
            for (size_t i = 0; i < wav.samples.size(); ++i)
                wav.samples[i] = static_cast<int16_t>(u16(b, body + 2 * i));
            out = std::move(wav);
            return true;
        }
        at = body + size + (size & 1u);
    }
    error = "no sample data";
    return false;
}

bool readWavFile(const std::string& path, WavData& out, std::string& error) {
    // A regular file only, never through a link, never waiting on a pipe.
    std::string text;
    if (NSFile::readFile(path, text, kMaxWavBytes, &error) != NSFile::Read::Whole) {
        error = path + ": " + error;
        return false;
    }
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    if (!parseWav(bytes, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

} // namespace NSAudio
