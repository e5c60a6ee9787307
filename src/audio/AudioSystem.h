#pragma once
// The game's sound: follows the scene once per frame (the listener at the
// camera, the loops of running conveyor belts, fans and Tesla coils, the
// machine starting, pausing, running fast and stopping, goals and the win)
// and hears every answered contact from the physics as an impact. Impacts
// are gathered during the step and only the loudest few of a frame are
// played, on a fixed set of voices, so a pile of balls cannot choke the
// mixer. Without a sound device the game runs silent.
#include <array>
#include <chrono>
#include <cstddef>
#include <string>

#include "audio/AudioDevice.h"
#include "audio/Fade.h"
#include "audio/LoudestImpacts.h"

namespace NSNode {
class NodePhysical;
class NodeTransform;
} // namespace NSNode

namespace NSScene {
class Scene;
}

namespace NSAudio {

class AudioSystem {
public:
    // Voices: impacts first, then the loops, then the sounds at the listener.
    static constexpr int kImpactVoices = 12;
    static constexpr int kLoopVoices = 8;
    static constexpr int kFirstLoop = kImpactVoices;
    static constexpr int kFirstUi = kImpactVoices + kLoopVoices;
    static constexpr int kUiVoices = AudioDevice::kVoices - kFirstUi;
    // New impacts per frame.
    static constexpr int kImpactsPerFrame = static_cast<int>(LoudestImpacts::kCapacity);

    static AudioSystem& instance();

    // Reads the settings and opens the device. The game calls it once at
    // start; until then update() does nothing.
    void start(const std::string& soundFolder = "sounds/");
    // Closes the device; start() may open it again.
    void shutdown();
    bool isStarted() const { return started; }
    bool isAudible() const { return device.isOpen(); }

    // Once per frame, after the simulation step; the scene may be null.
    // goalsReached and won describe the current level's goals (0 and false
    // without a level): a newly reached goal chimes, the win cheers. The
    // contacts the scene's world answered in the frame's steps are heard.
    void update(const NSScene::Scene* scene, size_t goalsReached, bool won);

    // A contact of body with partner was answered at impactSpeed (units per
    // second along the contact normal).
    void contactAnswered(float impactSpeed, NSNode::NodePhysical& body, NSNode::NodeTransform& partner);

    // The share of their gain the machine's own voices play at now: 1 while
    // it runs, fading to 0 while it pauses or stops.
    float machineGain() const { return machine.value(); }
    // Voice v's state, for tests: playing, paused.
    bool isVoicePlaying(int v) const { return device.isPlaying(v); }
    bool isVoicePaused(int v) const { return device.isPaused(v); }
    const AudioDevice& voices() const { return device; }

private:
    AudioSystem() = default;
    ~AudioSystem();

    struct Loop {
        int id = -1;
        Sound sound = Sound::BeltLoop;
    };

    // Seconds since the device opened: where in its output a sound starts.
    double now() const;
    void playUi(Sound sound, const char* what);
    void playImpacts();
    void followLoops(const NSScene::Scene& scene);
    // The contacts of the scene's last steps, by their nodes as they are now
    // (a node gone since is not heard).
    void hearContacts(const NSScene::Scene& scene);
    void offerImpact(float impactSpeed, NSNode::NodePhysical& body, NSNode::NodeTransform& partner, const Vector3& at);
    // The machine's voices follow its fade; once it has faded out they are
    // paused (the machine paused) or stopped (the machine stopped).
    void fadeMachine(bool running, bool paused, double seconds);
    void stopMachineVoices();

    AudioDevice device;
    bool started = false;
    std::chrono::steady_clock::time_point openedAt;
    LoudestImpacts pending;
    Fade master{0.0f};
    Fade machine{0.0f};
    double lastUpdate = 0.0;
    bool voicesPaused = false;
    bool voicesToStop = false;
    bool wasMuted = false;
    std::array<Loop, kLoopVoices> loops{};
    int nextImpactVoice = 0;
    int nextUiVoice = 0;
    bool wasRunning = false;
    bool wasPaused = false;
    bool wasWon = false;
    size_t goalsReached = 0;
    int impactsLogged = 0;
};

} // namespace NSAudio
