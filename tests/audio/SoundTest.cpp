#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <AL/al.h>

#include <chrono>
#include <thread>

#include "assets/Sounds.h"
#include "level/LevelBuilding.h"
#include "audio/AudioSystem.h"
#include "audio/MachineLoops.h"
#include "audio/SoundControl.h"
#include "audio/WavFile.h"
#include "level/LevelSceneTest.h"
#include "loudness/Loudness.h"
#include "objects/ObjectModels.h"
#include "objects/ObjectShapes.h"
#include "objects/ObjectTeslaSpule.h"
#include "objects/ObjectVentilator.h"
#include "physics/properties/PhysicsPropertyElectricity.h"
#include "persistence/ClassIds.h"

namespace {

using NSAudio::Sound;

// The asset tool's sounds as the game reads them, the same bytes every run.
TEST(SoundTest, GeneratedSoundsHaveTheirLengthLoudnessAndNoClipping) {
    struct Row {
        const char* file;
        float minSeconds, maxSeconds;
        bool loop;
    };
    const Row rows[] = {
        {"impact_wood.wav", 0.1f, 0.5f, false},   {"impact_ball.wav", 0.1f, 0.5f, false},
        {"impact_bowling.wav", 0.3f, 1.0f, false}, {"springboard.wav", 0.3f, 1.0f, false},
        {"belt_loop.wav", 1.0f, 3.0f, true},       {"fan_loop.wav", 1.0f, 3.0f, true},
        {"tesla_loop.wav", 1.0f, 3.0f, true},      {"goal.wav", 0.3f, 1.5f, false},
        {"win.wav", 1.0f, 3.0f, false},            {"click.wav", 0.02f, 0.15f, false},
        {"machine_start.wav", 0.3f, 1.0f, false},  {"machine_stop.wav", 0.3f, 1.0f, false},
    };
    std::map<std::string, std::vector<uint8_t>> files;
    for (const NSAssets::SoundAsset& sound : NSAssets::buildSounds())
        files[sound.file] = NSAssets::encodeWav(sound.samples);
    EXPECT_EQ(files.size(), std::size(rows)) << "every sound the tool makes is in the table";
    for (const NSAssets::SoundAsset& again : NSAssets::buildSounds())
        EXPECT_TRUE(NSAssets::encodeWav(again.samples) == files[again.file]) << again.file << " differs between runs";
    for (int s = 0; s < static_cast<int>(Sound::Count); ++s)
        EXPECT_TRUE(files.count(NSAudio::soundFile(static_cast<Sound>(s))))
            << "the game asks for " << NSAudio::soundFile(static_cast<Sound>(s));

    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        auto it = files.find(row.file);
        ASSERT_NE(it, files.end());
        NSAudio::WavData wav;
        std::string error;
        ASSERT_TRUE(NSAudio::parseWav(it->second, wav, error)) << error;
        EXPECT_EQ(wav.channels, 1) << "positional sounds must be mono";
        const float seconds = static_cast<float>(wav.samples.size()) / static_cast<float>(wav.rate);
        EXPECT_GE(seconds, row.minSeconds);
        EXPECT_LE(seconds, row.maxSeconds);
        int peak = 0, step = 0;
        double energy = 0;
        for (size_t i = 0; i < wav.samples.size(); ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(wav.samples[i])));
            energy += static_cast<double>(wav.samples[i]) * wav.samples[i];
            if (i > 0)
                step = std::max(step, std::abs(wav.samples[i] - wav.samples[i - 1]));
        }
        const double rms = std::sqrt(energy / static_cast<double>(wav.samples.size())) / 32768.0;
        EXPECT_LT(peak, 32000) << "clipped";
        EXPECT_GT(peak, 10000) << "too quiet at its loudest";
        EXPECT_GT(rms, row.loop ? 0.05 : 0.02) << "too quiet overall";
        const int first = wav.samples.front(), last = wav.samples.back();
        if (row.loop)
            EXPECT_LE(std::abs(last - first), step) << "the loop clicks where it wraps";
        else
            EXPECT_LT(std::abs(last), 300) << "a one-shot must end at rest, or it clicks";
    }
}

TEST(SoundTest, BrokenWaveFilesAreRefusedWithAReason) {
    const std::vector<uint8_t> good = NSAssets::encodeWav(NSAssets::buildSounds().at(0).samples);
    auto with = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
        return b;
    };
    struct Row {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* reason;
    };
    const Row rows[] = {
        {"empty", {}, "not a RIFF/WAVE"},
        {"cut inside the samples", std::vector<uint8_t>(good.begin(), good.begin() + 60), "past the end"},
        {"8-bit samples", with(34, {8, 0}), "not 16-bit PCM"},
        {"compressed", with(20, {2, 0}), "not 16-bit PCM"},
        {"six channels", with(22, {6, 0}), "channel count"},
        {"no format chunk", with(12, {'j', 'u', 'n', 'k'}), "before the format"},
        {"a huge chunk size", with(16, {0xff, 0xff, 0xff, 0x7f}), "past the end"},
    };
    for (const Row& row : rows) {
        NSAudio::WavData wav;
        wav.rate = 7;
        std::string error;
        EXPECT_FALSE(NSAudio::parseWav(row.bytes, wav, error)) << row.what;
        EXPECT_NE(error.find(row.reason), std::string::npos) << row.what << ": " << error;
        EXPECT_EQ(wav.rate, 7) << row.what << ": the output stays untouched";
    }
}

// A stand-in with the class id of a game object.
struct Thing : NSNode::NodeTransform {
    explicit Thing(int id) : NodeTransform(true), id(id) {}
    int classId() const override { return id; }
    int id;
};

TEST(SoundTest, ImpactsSoundByMaterialAndGrowWithSpeed) {
    struct Row {
        int a, b;
        Sound sound;
        bool higher;
    };
    const Row rows[] = {
        {CLASS_OBJECT_BASKETBALL, CLASS_OBJECT_BRETT1, Sound::ImpactWood, false},
        {CLASS_OBJECT_ROOM, CLASS_OBJECT_BASKETBALL, Sound::ImpactWood, false},
        {CLASS_OBJECT_TENNISBALL, CLASS_OBJECT_BRETT2, Sound::ImpactWood, true},
        {CLASS_OBJECT_BASKETBALL, CLASS_OBJECT_TENNISBALL, Sound::ImpactBall, true},
        {CLASS_OBJECT_BASKETBALL, CLASS_OBJECT_BASKETBALL, Sound::ImpactBall, false},
        {CLASS_OBJECT_BOWLINGBALL, CLASS_OBJECT_BRETT3, Sound::ImpactBowling, false},
        {CLASS_OBJECT_TENNISBALL, CLASS_OBJECT_BOWLINGBALL, Sound::ImpactBowling, false},
        {CLASS_OBJECT_BOWLINGBALL, CLASS_OBJECT_SPRUNGBRETT, Sound::Springboard, false},
    };
    for (const Row& row : rows) {
        Thing a(row.a), b(row.b);
        const NSAudio::Impact impact = NSAudio::impactBetween(a, b);
        EXPECT_EQ(impact.sound, row.sound) << row.a << " on " << row.b;
        EXPECT_EQ(impact.pitch > 1.0f, row.higher) << row.a << " on " << row.b;
        EXPECT_EQ(NSAudio::impactBetween(b, a).sound, row.sound) << "either order";
        EXPECT_EQ(NSAudio::impactLoudness(impact, NSAudio::kQuietestImpact * 0.9f), 0.0f) << "resting contact";
        float before = 0.0f;
        for (float speed : {NSAudio::kQuietestImpact + 5.0f, 80.0f, 150.0f, NSAudio::kLoudestImpact}) {
            const float loud = NSAudio::impactLoudness(impact, speed);
            EXPECT_GT(loud, before) << speed;
            before = loud;
        }
        EXPECT_EQ(NSAudio::impactLoudness(impact, 5000.0f), before) << "capped";
        EXPECT_EQ(NSAudio::impactLoudness(impact, std::nanf("")), 0.0f);
    }
}

// A frame of a thousand contacts starts only the four loudest impacts.
TEST(SoundTest, OnlyTheFourLoudestImpactsOfAFramePlay) {
    const struct {
        std::vector<float> offered, kept;
    } rows[] = {
        {{0.2f, 0.9f, 0.1f, 0.5f, 0.7f, 0.3f, 0.8f}, {0.5f, 0.7f, 0.8f, 0.9f}},
        {{0.4f, 0.4f, 0.4f, 0.4f, 0.4f, 0.6f}, {0.4f, 0.4f, 0.4f, 0.6f}},
        {{0.3f, 0.1f}, {0.1f, 0.3f}},
    };
    for (const auto& row : rows) {
        NSAudio::LoudestImpacts impacts;
        for (float loudness : row.offered)
            impacts.offer({loudness, 100.0f, {}, Vector3()});
        std::vector<float> kept;
        for (size_t i = 0; i < impacts.size(); ++i)
            kept.push_back(impacts[i].loudness);
        std::sort(kept.begin(), kept.end());
        EXPECT_EQ(kept, row.kept);
    }
}

// Heard from close by, the machine's start and stop and the menu's click are within 6 LU (EBU R128) of a hard
// knock on wood, and no impact drowns another kind by more than that.
TEST(SoundTest, TheMixKeepsEverySoundNearTheLoudnessOfAHardImpact) {
    std::map<std::string, double> loudness;
    for (const NSAssets::SoundAsset& sound : NSAssets::buildSounds())
        loudness[sound.file] = NSLoudness::loudestMomentary(
            NSLoudness::weightedPower(sound.samples, 1, NSAssets::SOUND_RATE), NSAssets::SOUND_RATE, 0.0, 3.0);
    auto heard = [&](Sound s) { return loudness[NSAudio::soundFile(s)] + 20.0 * std::log10(NSAudio::mixGain(s)); };
    for (Sound s : {Sound::MachineStart, Sound::MachineStop, Sound::Click, Sound::ImpactBall, Sound::ImpactBowling,
                    Sound::Springboard})
        EXPECT_NEAR(heard(s), heard(Sound::ImpactWood), 6.0) << NSAudio::soundFile(s);
}

// The game's sound on OpenAL's silent device, following a scratch scene in real time.
class Heard : public qbntest::LevelSceneTest {
protected:
    NSAudio::AudioSystem& audio = NSAudio::AudioSystem::instance();
    void SetUp() override {
        LevelSceneTest::SetUp();
        setenv("ALSOFT_DRIVERS", "null", 1);
        audio.start(std::string(QBN_RUN_DIR) + "/sounds/");
        ASSERT_TRUE(audio.isAudible());
        play(NSAudio::Fade::kSeconds + 0.02); // the sound fades in at start
    }
    void TearDown() override {
        audio.shutdown();
        LevelSceneTest::TearDown();
    }
    // Frames every 5 ms for the given seconds, and at least eight.
    void play(double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        for (int frames = 0; frames < 8 || std::chrono::steady_clock::now() < end; ++frames) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            audio.update(scene.get(), 0, false);
        }
    }
    float listenerGain() {
        float gain = -1.0f;
        alGetListenerf(AL_GAIN, &gain);
        return gain;
    }
};

// The volume sets the gain; every change of volume or switch fades over a few hundredths of a second.
TEST_F(Heard, TheVolumeSetsTheGainAndEveryChangeFades) {
    NSAudio::SoundControl& control = NSAudio::SoundControl::instance();
    const struct { int volume; bool muted; float gain; } rows[] = {
        {10, false, 1.0f}, {5, false, 0.5f}, {5, true, 0.0f}, {6, false, 0.6f}, {1, false, 0.1f},
    };
    for (const auto& row : rows) {
        const float before = listenerGain();
        control.setVolumeStep(row.volume);
        control.setMuted(row.muted);
        audio.update(scene.get(), 0, false);
        EXPECT_NEAR(listenerGain(), before, 0.34f) << row.volume << ": no jump";
        play(NSAudio::Fade::kSeconds + NSAudio::Fade::kHold + 0.03);
        EXPECT_FLOAT_EQ(listenerGain(), row.gain) << row.volume << (row.muted ? " muted" : "");
    }
}

// Pausing fades the machine's voices out before they are paused and in after; stopping fades them out before
// they stop.
TEST_F(Heard, PauseAndStopFadeTheMachineOut) {
    auto* ball = new NSObjects::ObjectBowlingball(true);
    auto* room = new NSObjects::ObjectRoom(true);
    scene->addObject(ball);
    scene->addObject(room);
    scene->getRoot()->applyPendingChanges();
    scene->setRunning(true);
    play(0.01);
    audio.contactAnswered(200.0f, *ball, *room);
    play(0.01);
    ASSERT_TRUE(audio.isVoicePlaying(0)) << "the bowling ball's thud";
    const struct { const char* what; std::function<void()> act; bool playing, paused; float gain; } steps[] = {
        {"pause", [&] { scene->setPaused(true); }, false, true, 0.0f},
        {"go on", [&] { scene->setPaused(false); }, true, false, 1.0f},
        {"stop", [&] { scene->setRunning(false); }, false, false, 0.0f},
    };
    for (const auto& step : steps) {
        const float before = audio.machineGain();
        step.act();
        audio.update(scene.get(), 0, false);
        EXPECT_TRUE(audio.isVoicePlaying(0)) << step.what << ": still heard, fading";
        EXPECT_NEAR(audio.machineGain(), before, 0.34f) << step.what;
        play(NSAudio::Fade::kSeconds + NSAudio::Fade::kHold + 0.03);
        EXPECT_EQ(audio.isVoicePlaying(0), step.playing) << step.what;
        EXPECT_EQ(audio.isVoicePaused(0), step.paused) << step.what;
        EXPECT_EQ(audio.machineGain(), step.gain) << step.what;
    }
}

// A ball dropped on the floor is heard as it lands and then no more while it rests: the sound hears the contacts
// of each frame's steps once, after them.
TEST_F(Heard, ALandingIsHeardOnce) {
    NSLevel::building::addRoom(300.0f, 300.0f, 300.0f, Vector3(1, 1, 1)); // with gravity and air
    NSObjects::ObjectSphere* ball = NSLevel::building::makeBall(10.0f, 5.0f, 0.1f, Vector3(1, 1, 1), "ball");
    ball->setPosition(Vector3(0, -100, 0));
    ball->setVelocity(Vector3(0, -300, 0));
    scene->addObject(ball);
    scene->getRoot()->applyPendingChanges();
    scene->setRunning(true);
    auto impactHeard = [&] {
        bool heard = false;
        for (int v = 0; v < NSAudio::AudioSystem::kImpactVoices; ++v)
            heard = heard || audio.isVoicePlaying(v);
        return heard;
    };
    bool landed = false;
    for (int frame = 0; frame < 300; ++frame) {
        scene->step(1.0f / 60.0f, 0.0f);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        audio.update(scene.get(), 0, false);
        landed = landed || impactHeard();
    }
    EXPECT_TRUE(landed);
    EXPECT_FALSE(impactHeard()) << "the resting ball is heard again";
}

// A running fan is heard only while its wind moves something.
TEST_F(Heard, ALoopPlaysOnlyWhileItsPartMovesSomething) {
    auto* fan = new NSObjects::ObjectVentilator(true);
    auto* ball = new NSObjects::ObjectTennisball(true);
    scene->addObject(fan);
    scene->addObject(ball);
    scene->getRoot()->applyPendingChanges();
    const struct { Vector3 at, velocity; bool heard; } rows[] = {
        {Vector3(0, 6, 60), Vector3(0, 0, 30), true},
        {Vector3(0, 6, 60), Vector3(), false},
        {Vector3(0, 6, 300), Vector3(0, 0, 30), false},
    };
    for (const auto& row : rows) {
        ball->setPosition(row.at);
        ball->setVelocity(row.velocity);
        EXPECT_EQ(NSAudio::heardLoops(scene->getRoot(), Vector3(0, 0, 400)).size(), row.heard ? 1u : 0u)
            << row.at.z << " " << row.velocity.z;
    }
    // A switched-on coil is heard while its reach holds a body that takes electricity, moving or not.
    auto* coil = new NSObjects::ObjectTeslaSpule(true);
    scene->addObject(coil);
    scene->getRoot()->applyPendingChanges();
    ball->setPosition(coil->getPosition() + Vector3(0, 55, 30)); // the store's centre is 55 above the coil
    ball->setVelocity(Vector3());
    for (int step : {0, 1, 2}) {
        if (step == 1)
            ball->addProperty(new NSPhysicsProperty::PhysicsPropertyElectricity(true));
        if (step == 2)
            coil->setMenuValue("Enable Teslacoil", NSMenu::Value::ofBool(false));
        EXPECT_EQ(NSAudio::heardLoops(scene->getRoot(), Vector3(0, 0, 400)).size(), step == 1 ? 1u : 0u) << step;
    }
}

// 12 impact voices go round, the oldest taken when all are busy; the 8 nearest running fans get the loop voices,
// 1.25 times faster in fast forward.
TEST_F(Heard, VoicesGoToTheNewestImpactsAndTheNearestLoops) {
    using NSAudio::AudioSystem;
    const NSAudio::AudioDevice& voices = audio.voices();
    auto* room = new NSObjects::ObjectRoom(true);
    scene->addObject(room);
    std::vector<std::pair<NSObjects::ObjectVentilator*, NSObjects::ObjectTennisball*>> fans;
    for (int i = AudioSystem::kLoopVoices; i >= 0; --i) { // the farthest first
        fans.emplace_back(new NSObjects::ObjectVentilator(true), new NSObjects::ObjectTennisball(true));
        scene->addObject(fans.back().first);
        scene->addObject(fans.back().second);
    }
    scene->getRoot()->applyPendingChanges();
    scene->getCamera().setPosition(Vector3(0, 0, 400));
    scene->setRunning(true);
    for (size_t i = 0; i < fans.size(); ++i) {
        fans[i].first->setPosition(Vector3(100.0f * static_cast<float>(fans.size() - 1 - i), 0, 0));
        fans[i].second->setPosition(fans[i].first->getPosition() + Vector3(0, 6, 60));
        fans[i].second->setVelocity(Vector3(0, 0, 30));
    }
    play(0.05);
    for (int i = 0; i <= AudioSystem::kImpactVoices; ++i) {
        audio.contactAnswered(i < AudioSystem::kImpactVoices ? 60.0f : 400.0f, *fans[0].second, *room);
        audio.update(scene.get(), 0, false);
    }
    for (int v = 1; v < AudioSystem::kImpactVoices; ++v)
        EXPECT_TRUE(voices.isPlaying(v) && voices.gainOf(v) == voices.gainOf(1)) << v << ": a soft impact plays on";
    EXPECT_GT(voices.gainOf(0), voices.gainOf(1)) << "the hard impact took the oldest voice";
    play(0.05);
    float pitches[AudioSystem::kLoopVoices];
    for (int k = 0; k < AudioSystem::kLoopVoices; ++k) {
        EXPECT_TRUE(voices.isPlaying(AudioSystem::kFirstLoop + k)) << k;
        EXPECT_LT(voices.placeOf(AudioSystem::kFirstLoop + k).x, 750.0f) << k << ": not the farthest fan";
        pitches[k] = voices.pitchOf(AudioSystem::kFirstLoop + k);
    }
    scene->machine().setFastForward(true);
    audio.update(scene.get(), 0, false);
    for (int k = 0; k < AudioSystem::kLoopVoices; ++k)
        EXPECT_FLOAT_EQ(voices.pitchOf(AudioSystem::kFirstLoop + k), 1.25f * pitches[k]) << k;
}

TEST(SoundTest, SettingsFileKeepsMuteAndVolumeAndSkipsBrokenLines) {
    const std::string path = testing::TempDir() + "qbn_sound.cfg";
    NSAudio::SoundControl& control = NSAudio::SoundControl::instance();
    std::ofstream(path) << "# a comment\nmuted 1\nvolume 3\nvolume 11\nbass 3\nvolume 4 5\nvolume -1\nmuted 2\n";
    control.load(path);
    EXPECT_TRUE(control.isMuted());
    EXPECT_EQ(control.getVolumeStep(), 3) << "only the good lines count";
    EXPECT_EQ(control.gain(), 0.0f) << "muted";
    control.setVolumeStep(12);
    EXPECT_EQ(control.getVolumeStep(), NSAudio::SoundControl::kVolumeSteps) << "ten is the top";
    for (bool muted : {true, false}) { // the m key's switch, saved at once both ways
        control.load(path);
        EXPECT_EQ(control.isMuted(), muted);
        control.toggleMute();
    }
    std::remove(path.c_str());
    control.load(path);
    EXPECT_FALSE(control.isMuted()) << "no file: the defaults";
    std::remove(path.c_str());
}

} // namespace
