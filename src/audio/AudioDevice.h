#pragma once
// The sound device through OpenAL: opens it, loads the game's sounds from
// "sounds/" into buffers and plays them on a fixed set of voices (OpenAL
// sources). Every call is harmless while no device is open.
#include <array>
#include <string>

#include "math/Vector3.h"

namespace NSAudio {

enum class Sound {
    ImpactWood,
    ImpactBall,
    ImpactBowling,
    Springboard,
    BeltLoop,
    FanLoop,
    TeslaLoop,
    Goal,
    Win,
    Click,
    MachineStart,
    MachineStop,
    Count
};

// The file of a sound inside the sounds folder.
const char* soundFile(Sound sound);

class AudioDevice {
public:
    static constexpr int kVoices = 24;

    AudioDevice() = default;
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Opens the default device (OpenAL's configuration and ALSOFT_DRIVERS
    // choose it). False, with a note in the log, when there is none; a
    // missing or unreadable sound file is logged and stays silent.
    bool open(const std::string& folder);
    void close();
    bool isOpen() const { return context != nullptr; }
    const std::string& deviceName() const { return name; }

    void setListener(const Vector3& eye, const Vector3& target, const Vector3& upPoint, float gain);
    // Starts sound on voice v: at pos in the scene, or with relative at the
    // listener; loop repeats it until stopped.
    void play(int v, Sound sound, const Vector3& pos, bool relative, float gain, float pitch, bool loop);
    void place(int v, const Vector3& pos);
    void setPitch(int v, float pitch);
    void setGain(int v, float gain);
    bool isPlaying(int v) const;
    bool isPaused(int v) const;
    void stop(int v);
    void pause(int v);
    void resume(int v);

private:
    void* device = nullptr; // ALCdevice
    void* context = nullptr; // ALCcontext
    std::string name;
    std::array<unsigned, static_cast<size_t>(Sound::Count)> buffers{};
    std::array<unsigned, kVoices> sources{};
};

} // namespace NSAudio
