#include "audio/AudioSystem.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "audio/MachineLoops.h"
#include "audio/SoundControl.h"
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

} // namespace

AudioSystem& AudioSystem::instance() {
    static AudioSystem system;
    return system;
}

// At exit the scene may be gone already: only the device closes
// (which also ends OpenAL's output file properly).
AudioSystem::~AudioSystem() { device.close(); }

void AudioSystem::start(const std::string& soundFolder) {
    if (started)
        return;
    started = true;
    SoundControl::instance().load();
    // The device starts its output as it opens: times count from here.
    openedAt = std::chrono::steady_clock::now();
    lastUpdate = 0.0;
    wasMuted = SoundControl::instance().isMuted();
    if (!device.open(soundFolder)) {
        log(LOG_INFO, "Sound: no sound device; the game runs silent\n");
        return;
    }
    log(LOG_INFO, "Sound: playing on \"%s\"%s\n", device.deviceName().c_str(),
        SoundControl::instance().isMuted() ? " (muted: 'm' turns it on)" : "");
}

void AudioSystem::shutdown() {
    if (device.isOpen())
        device.close();
    started = false;
    wasRunning = wasPaused = wasWon = false;
    goalsReached = 0;
    pending.clear();
    master = Fade(0.0f);
    machine = Fade(0.0f);
    voicesPaused = voicesToStop = false;
    nextImpactVoice = nextUiVoice = 0;
    for (Loop& loop : loops)
        loop.id = -1;
}

double AudioSystem::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - openedAt).count();
}

void AudioSystem::contactAnswered(float impactSpeed, NSNode::NodePhysical& body, NSNode::NodeTransform& partner) {
    offerImpact(impactSpeed, body, partner, body.worldPosition());
}

void AudioSystem::offerImpact(float impactSpeed, NSNode::NodePhysical& body, NSNode::NodeTransform& partner,
                              const Vector3& at) {
    if (!(impactSpeed >= kQuietestImpact) || !std::isfinite(impactSpeed) || SoundControl::instance().isMuted())
        return;
    const Impact impact = impactBetween(body, partner);
    pending.offer({impactLoudness(impact, impactSpeed), impactSpeed, impact, at});
}

void AudioSystem::hearContacts(const NSScene::Scene& scene) {
    const NSPhysical::ControllerPhysics* physics = NSPhysical::ControllerPhysics::find(scene.world());
    // Most contacts are bodies resting on their supports, too soft to hear:
    // the scene is walked only when one is loud enough.
    if (!physics)
        return;
    const std::vector<NSPhysical::ContactEvent>& contacts = physics->contacts();
    if (std::none_of(contacts.begin(), contacts.end(), [](const NSPhysical::ContactEvent& e) {
            return e.impactSpeed >= kQuietestImpact && std::isfinite(e.impactSpeed);
        }))
        return;
    std::unordered_map<int, NSNode::NodeTransform*> byId;
    std::vector<NSNode::NodeTransform*> open{scene.getRoot()};
    while (!open.empty()) {
        NSNode::NodeTransform* node = open.back();
        open.pop_back();
        byId.emplace(node->getId(), node);
        open.insert(open.end(), node->getChildren().begin(), node->getChildren().end());
    }
    for (const NSPhysical::ContactEvent& event : physics->contacts()) {
        const auto body = byId.find(event.body);
        const auto partner = byId.find(event.partner);
        auto* physical = body == byId.end() ? nullptr : dynamic_cast<NSNode::NodePhysical*>(body->second);
        if (physical && partner != byId.end())
            offerImpact(event.impactSpeed, *physical, *partner->second, event.at);
    }
}

void AudioSystem::playUi(Sound sound, const char* what) {
    if (SoundControl::instance().isMuted())
        return;
    device.play(kFirstUi + nextUiVoice, sound, Vector3(), true, mixGain(sound), 1.0f, false);
    nextUiVoice = (nextUiVoice + 1) % kUiVoices;
    log(LOG_GAME, "Sound: %s at %.2f s\n", what, now());
}

void AudioSystem::playImpacts() {
    for (size_t i = 0; i < pending.size(); ++i) {
        const HeardImpact& p = pending[i];
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
        device.play(voice, p.impact.sound, p.at, false, std::fmin(1.0f, p.loudness * mixGain(p.impact.sound)),
                    p.impact.pitch, false);
        if (impactsLogged < kLoggedImpacts) {
            ++impactsLogged;
            log(LOG_GAME, "Sound: impact %s at %.2f s, speed %.0f\n", soundFile(p.impact.sound), now(), p.speed);
        }
    }
    pending.clear();
}

void AudioSystem::followLoops(const NSScene::Scene& scene) {
    std::vector<LoopSource> heard = heardLoops(scene.getRoot(), scene.getCamera().getEye());
    // The nearest ones get the voices.
    if (heard.size() > static_cast<size_t>(kLoopVoices)) {
        std::partial_sort(heard.begin(), heard.begin() + kLoopVoices, heard.end(),
                          [](const LoopSource& a, const LoopSource& b) { return a.distance < b.distance; });
        heard.resize(kLoopVoices);
    }
    const float rate = scene.isFastForward() ? kFastForwardPitch : 1.0f;
    // Voices whose part went quiet or away fade out, then stop; the others follow theirs.
    for (int k = 0; k < kLoopVoices; ++k) {
        Loop& loop = loops[static_cast<size_t>(k)];
        const int v = kFirstLoop + k;
        if (loop.id < 0) {
            if (device.isPlaying(v) && device.isFadedOut(v))
                device.stop(v);
            continue;
        }
        auto it = std::find_if(heard.begin(), heard.end(),
                               [&](const LoopSource& s) { return s.id == loop.id && s.sound == loop.sound; });
        if (it == heard.end()) {
            loop.id = -1;
            device.fadeTo(v, 0.0f);
            continue;
        }
        device.place(v, it->at);
        device.setPitch(v, it->pitch * rate);
        heard.erase(it);
    }
    for (const LoopSource& s : heard)
        for (int k = 0; k < kLoopVoices; ++k) {
            Loop& loop = loops[static_cast<size_t>(k)];
            if (loop.id >= 0 || device.isPlaying(kFirstLoop + k))
                continue;
            loop = {s.id, s.sound};
            // A loop starts anywhere in its wave: it fades in.
            device.play(kFirstLoop + k, s.sound, s.at, false, kLoopGain * mixGain(s.sound), s.pitch * rate, true, 0.0f);
            device.fadeTo(kFirstLoop + k, 1.0f);
            if (impactsLogged < kLoggedImpacts) {
                ++impactsLogged;
                log(LOG_GAME, "Sound: loop %s at %.2f s\n", soundFile(s.sound), now());
            }
            break;
        }
}

void AudioSystem::stopMachineVoices() {
    for (int v = 0; v < kFirstUi; ++v)
        device.stop(v);
    for (Loop& loop : loops)
        loop.id = -1;
    pending.clear();
    voicesPaused = voicesToStop = false;
}

void AudioSystem::fadeMachine(bool running, bool paused, double seconds) {
    machine.setTarget(running && !paused ? 1.0f : 0.0f);
    if (running && !paused && voicesPaused) {
        // Back from a pause: the voices go on where they stopped, fading in.
        for (int v = 0; v < kFirstUi; ++v)
            device.resume(v);
        voicesPaused = false;
    }
    const float before = machine.value();
    machine.advance(seconds);
    if (machine.value() != before)
        for (int v = 0; v < kFirstUi; ++v)
            device.setScale(v, machine.value());
    if (!machine.isSilent())
        return;
    if (voicesToStop)
        stopMachineVoices();
    else if (paused && !voicesPaused) {
        for (int v = 0; v < kFirstUi; ++v)
            device.pause(v);
        voicesPaused = true;
    }
}

void AudioSystem::update(const NSScene::Scene* scene, size_t reached, bool won) {
    if (!started || !device.isOpen()) {
        pending.clear();
        return;
    }
    const double time = now();
    const double seconds = time - lastUpdate;
    lastUpdate = time;
    SoundControl& control = SoundControl::instance();
    for (Cue c : control.takeCues())
        if (c == Cue::MenuClick)
            playUi(Sound::Click, "menu click");

    // The volume and the mute switch fade the whole mix.
    master.setTarget(control.gain());
    if (control.isMuted() != wasMuted)
        log(LOG_GAME, "Sound: fading %s at %.2f s\n", control.isMuted() ? "out" : "in", time);
    wasMuted = control.isMuted();
    master.advance(seconds);
    device.advanceFades(seconds);
    const bool running = scene && scene->isRunning();
    const bool paused = running && scene->isPaused();
    if (scene) {
        const NSScene::Camera& camera = scene->getCamera();
        device.setListener(camera.getEye(), camera.getTarget(), camera.getUpPoint(), master.value());
    }
    if (running && !wasRunning) {
        // A new run: what faded out of the last one goes now, and the new one
        // is heard at once.
        stopMachineVoices();
        machine = Fade(1.0f);
        for (int v = 0; v < kFirstUi; ++v)
            device.setScale(v, 1.0f);
        impactsLogged = 0;
        playUi(Sound::MachineStart, "machine start");
    } else if (!running && wasRunning) {
        for (Loop& loop : loops)
            loop.id = -1;
        voicesToStop = true;
        playUi(Sound::MachineStop, "machine stop");
    }
    if (running && paused != wasPaused)
        log(LOG_GAME, "Sound: machine %s at %.2f s\n", paused ? "paused" : "resumed", time);
    wasRunning = running;
    wasPaused = paused;
    fadeMachine(running, paused, seconds);

    // Goals and the win: a reached goal chimes, the last one cheers instead.
    if (won && !wasWon)
        playUi(Sound::Win, "win");
    else if (reached > goalsReached && running)
        playUi(Sound::Goal, "goal");
    wasWon = won;
    goalsReached = reached;

    // Muted, the loops play on unheard and take up again when the sound is back.
    if (!running || paused || control.isMuted()) {
        pending.clear();
        return;
    }
    hearContacts(*scene);
    playImpacts();
    followLoops(*scene);
}

} // namespace NSAudio
