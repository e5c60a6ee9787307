#include "audio/AudioSystem.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/SoundControl.h"
#include "objects/ObjectRollband.h"
#include "objects/ObjectTeslaSpule.h"
#include "objects/ObjectVentilator.h"
#include "persistence/ClassIds.h"
#include "physics/ControllerPhysics.h"
#include "physics/NodePhysical.h"
#include "scene/Scene.h"
#include "shell/Log.h"

namespace NSAudio {

namespace {

// Impacts logged with their time per run of the machine.
constexpr int kLoggedImpacts = 12;
// Loops play a little higher while the machine runs fast.
constexpr float kFastForwardPitch = 1.25f;
constexpr float kLoopGain = 0.6f;

// A running machine part heard as a loop.
struct LoopSource {
    int id;
    Sound sound;
    Vector3 at;
    float pitch;
    float distance;
};

float clampPitch(float p) { return std::fmin(2.0f, std::fmax(0.5f, p)); }

void collectLoops(const NSNode::NodeTransform* node, const Vector3& eye, std::vector<LoopSource>& out) {
    for (const NSNode::NodeTransform* child : node->getChildren()) {
        const int cls = child->classId();
        Sound sound = Sound::Count;
        float pitch = 1.0f;
        if (cls == CLASS_OBJECT_ROLLBAND1 || cls == CLASS_OBJECT_ROLLBAND2) {
            const auto* belt = static_cast<const NSObjects::ObjectRollband*>(child);
            if (belt->isEnabled() && belt->getSpeed() > 0.0f) {
                sound = Sound::BeltLoop;
                pitch = clampPitch(0.7f + 0.3f * belt->getSpeed() / 14.0f);
            }
        } else if (cls == CLASS_OBJECT_VENTILATOR) {
            const auto* fan = static_cast<const NSObjects::ObjectVentilator*>(child);
            if (fan->isEnabled() && fan->getTurningSpeed() > 0.0f) {
                sound = Sound::FanLoop;
                pitch = clampPitch(0.6f + 0.4f * fan->getTurningSpeed() / 20.0f);
            }
        } else if (cls == CLASS_OBJECT_TESLA_SPULE) {
            if (static_cast<const NSObjects::ObjectTeslaSpule*>(child)->isEnabled())
                sound = Sound::TeslaLoop;
        }
        if (sound != Sound::Count) {
            const Vector3 at = child->worldPosition();
            out.push_back({child->getId(), sound, at, pitch, length(at - eye)});
        }
        collectLoops(child, eye, out);
    }
}

} // namespace

AudioSystem& AudioSystem::instance() {
    static AudioSystem system;
    return system;
}

// At exit the physics singleton may be gone already: only the device closes
// (which also ends OpenAL's output file properly).
AudioSystem::~AudioSystem() { device.close(); }

void AudioSystem::start(const std::string& soundFolder) {
    if (started)
        return;
    started = true;
    SoundControl::instance().load();
    // The device starts its output as it opens: times count from here.
    openedAt = std::chrono::steady_clock::now();
    if (!device.open(soundFolder)) {
        log(LOG_INFO, "Sound: no sound device; the game runs silent\n");
        return;
    }
    log(LOG_INFO, "Sound: playing on \"%s\"%s\n", device.deviceName().c_str(),
        SoundControl::instance().isMuted() ? " (muted: 'm' turns it on)" : "");
    NSPhysical::ControllerPhysics::instance().setContactListener(this);
}

void AudioSystem::shutdown() {
    if (device.isOpen()) {
        NSPhysical::ControllerPhysics::instance().setContactListener(nullptr);
        device.close();
    }
    started = false;
    wasRunning = wasPaused = wasWon = false;
    goalsReached = 0;
    pendingCount = 0;
    for (Loop& loop : loops)
        loop.id = -1;
}

double AudioSystem::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - openedAt).count();
}

void AudioSystem::contactAnswered(float impactSpeed, NSNode::NodePhysical& body, NSNode::NodeTransform& partner) {
    if (!(impactSpeed >= kQuietestImpact) || !std::isfinite(impactSpeed) || SoundControl::instance().isMuted())
        return;
    const Impact impact = impactBetween(body, partner);
    const float loudness = impactLoudness(impact, impactSpeed);
    // Keep the loudest few of the frame: replace the quietest when full.
    int slot = pendingCount;
    if (pendingCount == kImpactsPerFrame) {
        slot = 0;
        for (int i = 1; i < kImpactsPerFrame; ++i)
            if (pending[static_cast<size_t>(i)].loudness < pending[static_cast<size_t>(slot)].loudness)
                slot = i;
        if (pending[static_cast<size_t>(slot)].loudness >= loudness)
            return;
    } else {
        ++pendingCount;
    }
    pending[static_cast<size_t>(slot)] = {loudness, impactSpeed, impact, body.worldPosition()};
}

void AudioSystem::playUi(Sound sound, const char* what) {
    if (SoundControl::instance().isMuted())
        return;
    device.play(kFirstUi + nextUiVoice, sound, Vector3(), true, 1.0f, 1.0f, false);
    nextUiVoice = (nextUiVoice + 1) % kUiVoices;
    if (what)
        log(LOG_GAME, "Sound: %s at %.2f s\n", what, now());
}

void AudioSystem::playImpacts() {
    for (int i = 0; i < pendingCount; ++i) {
        const Pending& p = pending[static_cast<size_t>(i)];
        // A free voice if there is one, else the one that started longest ago.
        int voice = -1;
        for (int k = 0; k < kImpactVoices && voice < 0; ++k) {
            const int v = (nextImpactVoice + k) % kImpactVoices;
            if (!device.isPlaying(v))
                voice = v;
        }
        if (voice < 0)
            voice = nextImpactVoice;
        nextImpactVoice = (voice + 1) % kImpactVoices;
        device.play(voice, p.impact.sound, p.at, false, std::fmin(1.0f, p.loudness), p.impact.pitch, false);
        if (impactsLogged < kLoggedImpacts) {
            ++impactsLogged;
            log(LOG_GAME, "Sound: impact %s at %.2f s, speed %.0f\n", soundFile(p.impact.sound), now(), p.speed);
        }
    }
    pendingCount = 0;
}

void AudioSystem::followLoops(const NSScene::Scene& scene) {
    std::vector<LoopSource> heard;
    if (scene.getRoot())
        collectLoops(scene.getRoot(), scene.getCamera().getEye(), heard);
    // The nearest ones get the voices.
    if (heard.size() > static_cast<size_t>(kLoopVoices)) {
        std::partial_sort(heard.begin(), heard.begin() + kLoopVoices, heard.end(),
                          [](const LoopSource& a, const LoopSource& b) { return a.distance < b.distance; });
        heard.resize(kLoopVoices);
    }
    const float rate = scene.isFastForward() ? kFastForwardPitch : 1.0f;
    // Voices whose part went quiet or away stop; the others follow theirs.
    for (int k = 0; k < kLoopVoices; ++k) {
        Loop& loop = loops[static_cast<size_t>(k)];
        if (loop.id < 0)
            continue;
        auto it = std::find_if(heard.begin(), heard.end(),
                               [&](const LoopSource& s) { return s.id == loop.id && s.sound == loop.sound; });
        if (it == heard.end()) {
            device.stop(kFirstLoop + k);
            loop.id = -1;
            continue;
        }
        device.place(kFirstLoop + k, it->at);
        device.setPitch(kFirstLoop + k, it->pitch * rate);
        heard.erase(it);
    }
    for (const LoopSource& s : heard)
        for (int k = 0; k < kLoopVoices; ++k) {
            Loop& loop = loops[static_cast<size_t>(k)];
            if (loop.id >= 0)
                continue;
            loop = {s.id, s.sound};
            device.play(kFirstLoop + k, s.sound, s.at, false, kLoopGain, s.pitch * rate, true);
            break;
        }
}

void AudioSystem::stopMachineVoices() {
    for (int v = 0; v < kFirstUi; ++v)
        device.stop(v);
    for (Loop& loop : loops)
        loop.id = -1;
    pendingCount = 0;
}

void AudioSystem::setMachinePaused(bool paused) {
    for (int v = 0; v < kFirstUi; ++v) {
        if (paused)
            device.pause(v);
        else
            device.resume(v);
    }
}

void AudioSystem::update(const NSScene::Scene* scene, size_t reached, bool won) {
    if (!started || !device.isOpen()) {
        pendingCount = 0;
        return;
    }
    SoundControl& control = SoundControl::instance();
    for (Cue c : control.takeCues())
        if (c == Cue::MenuClick)
            playUi(Sound::Click, nullptr);

    const bool running = scene && scene->isRunning();
    const bool paused = running && scene->isPaused();
    if (scene) {
        const NSScene::Camera& camera = scene->getCamera();
        device.setListener(camera.getEye(), camera.getTarget(), camera.getUpPoint(), control.gain());
    }
    if (running && !wasRunning) {
        impactsLogged = 0;
        pendingCount = 0;
        playUi(Sound::MachineStart, "machine start");
    } else if (!running && wasRunning) {
        stopMachineVoices();
        playUi(Sound::MachineStop, "machine stop");
    }
    if (running && paused != wasPaused)
        setMachinePaused(paused);
    wasRunning = running;
    wasPaused = paused;

    // Goals and the win: a reached goal chimes, the last one cheers instead.
    if (won && !wasWon)
        playUi(Sound::Win, "win");
    else if (reached > goalsReached && running)
        playUi(Sound::Goal, "goal");
    wasWon = won;
    goalsReached = reached;

    if (!running || paused || control.isMuted()) {
        pendingCount = 0;
        if (!running || control.isMuted())
            for (int k = 0; k < kLoopVoices; ++k)
                if (loops[static_cast<size_t>(k)].id >= 0) {
                    device.stop(kFirstLoop + k);
                    loops[static_cast<size_t>(k)].id = -1;
                }
        return;
    }
    playImpacts();
    followLoops(*scene);
}

} // namespace NSAudio
