#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "assets/Sounds.h"
#include "audio/SoundControl.h"
#include "audio/SoundMaterial.h"
#include "audio/WavFile.h"
#include "persistence/ClassIds.h"
#include "scenegraph/NodeTransform.h"

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
        for (float speed : {30.0f, 80.0f, 200.0f, NSAudio::kLoudestImpact}) {
            const float loud = NSAudio::impactLoudness(impact, speed);
            EXPECT_GT(loud, before) << speed;
            before = loud;
        }
        EXPECT_EQ(NSAudio::impactLoudness(impact, 5000.0f), before) << "capped";
        EXPECT_EQ(NSAudio::impactLoudness(impact, std::nanf("")), 0.0f);
    }
}

TEST(SoundTest, SettingsFileKeepsMuteAndVolumeAndSkipsBrokenLines) {
    const std::string path = testing::TempDir() + "qbn_sound.cfg";
    NSAudio::SoundControl& control = NSAudio::SoundControl::instance();
    std::ofstream(path) << "# a comment\nmuted 1\nvolume 99\nbass 3\nvolume 4 5\nvolume -1\nvolume 3\n";
    control.load(path);
    EXPECT_TRUE(control.isMuted());
    EXPECT_EQ(control.getVolumeStep(), 3) << "only the good lines count";
    EXPECT_EQ(control.gain(), 0.0f) << "muted";
    control.setMuted(false);
    control.setVolumeStep(12);
    control.load(path);
    EXPECT_FALSE(control.isMuted()) << "saved at once";
    EXPECT_EQ(control.getVolumeStep(), NSAudio::SoundControl::kVolumeSteps) << "clamped";
    std::remove(path.c_str());
    control.load(path);
    EXPECT_FALSE(control.isMuted()) << "no file: the defaults";
    std::remove(path.c_str());
}

} // namespace
