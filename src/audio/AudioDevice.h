#pragma once
// The sound device through OpenAL: opens it, loads the game's sounds from
// "sounds/" into buffers and plays them on a fixed set of voices (OpenAL
// sources). Every call is harmless while no device is open.
#include <array>
#include <string>

#include "audio/Fade.h"
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
// The gain a sound plays at (before the volume, a speed's loudness and the
// distance), which balances the mix: the machine's start and stop and the
// menu's click about as loud as a hard impact seen from the usual distance,
// the goal and the win chimes a little louder.
float mixGain(Sound sound);

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
    // listener; loop repeats it until stopped. The voice plays at gain times
    // its scale times its own fade level, which starts at level.
    void play(int v, Sound sound, const Vector3& pos, bool relative, float gain, float pitch, bool loop,
              float level = 1.0f);
    void place(int v, const Vector3& pos);
    void setPitch(int v, float pitch);
    // The share of its gain a voice plays at (the machine's fade).
    void setScale(int v, float scale);
    // Voice v's own level fades toward level (advanceFades moves it).
    void fadeTo(int v, float level);
    bool isFadedOut(int v) const;
    void advanceFades(double seconds);
    bool isPlaying(int v) const;
    bool isPaused(int v) const;
    // What voice v plays at: its gain before fades, its pitch, its place.
    float gainOf(int v) const;
    float pitchOf(int v) const;
    Vector3 placeOf(int v) const;
    void stop(int v);
    void pause(int v);
    void resume(int v);

private:
    void* device = nullptr; // ALCdevice
    void* context = nullptr; // ALCcontext
    std::string name;
    std::array<unsigned, static_cast<size_t>(Sound::Count)> buffers{};
    std::array<unsigned, kVoices> sources{};
    struct Voice {
        float gain = 1.0f;
        float scale = 1.0f;
        Fade level;
    };
    std::array<Voice, kVoices> voices;
    void applyGain(int v);
};

} // namespace NSAudio
