// Links and pipes where the game's files should be (archives of levels keep links): every reader refuses them at
// once (a pipe is never waited on), no writer writes through a link, and what crashes leave is cleared at start.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "audio/SoundControl.h"
#include "audio/WavFile.h"
#include "level/Progress.h"
#include "persistence/SerialStream.h"
#include "resources/LoaderGLTexture.h"
#include "resources/Md2File.h"
#include "shell/Log.h"
#include "shell/SafeFile.h"
#include "support/LogCapture.h"

namespace fs = std::filesystem;
using Use = std::function<bool(const std::string&)>;
using Result = NSLevel::Progress::ReadResult;

TEST(SafeFile, LinksAndPipesAreNeitherReadNorWrittenThrough) {
    qbntest::GameFolder folder;
    qbntest::LogCapture log;
    ::alarm(30); // a reader waiting on a pipe ends the test
    const std::string run = QBN_RUN_DIR, models = run + "/md2_objects/";
    NSLevel::Progress("progress.good").write();
    qbntest::writeBytes("sound.good", "muted 1\n");
    NSAudio::SoundControl& sound = NSAudio::SoundControl::instance();
    NSLoader::BmpImage bmp;
    NSGraphic::Md2Contents md2;
    NSAudio::WavData wav;
    std::string why; // what the readers fill
    const std::pair<std::string, Use> readers[] = {
        {models + "basketball.md2", [](const std::string& p) { return !NSSerialize::SerialStream(p, false).failed(); }},
        {"progress.good", [](const std::string& p) { return NSLevel::Progress(p).read() == Result::Read; }},
        {"sound.good", [&](const std::string& p) { return sound.load(p), sound.isMuted(); }},
        {models + "basketball.bmp", [&](const std::string& p) { return NSLoader::readBmp(p, bmp); }},
        {models + "basketball.md2", [&](const std::string& p) { return NSGraphic::readMd2File(p, md2, why); }},
        {run + "/sounds/click.wav", [&](const std::string& p) { return NSAudio::readWavFile(p, wav, why); }},
    };
    for (const auto& [file, read] : readers) {
        SCOPED_TRACE(file);
        EXPECT_TRUE(read(file)); // the file itself reads
        for (bool pipe : {false, true}) {
            fs::remove("planted");
            ASSERT_EQ(pipe ? ::mkfifo("planted", 0600) : ::symlink(fs::absolute(file).c_str(), "planted"), 0);
            EXPECT_FALSE(read("planted")) << (pipe ? "pipe" : "link");
        }
    }
    // Writers replace a link with a file of their own, or (the log) refuse it; the file it points to stays.
    const Use writers[] = {
        [](const std::string& p) { return NSLevel::Progress(p).write(); },
        [&](const std::string& p) { return sound.load(p), sound.save(); },
        [](const std::string& p) { return NSSerialize::SerialStream(p, true).close(); },
        [](const std::string& p) { return !openLogFile(p.c_str()); },
    };
    for (const Use& write : writers) {
        qbntest::writeBytes("victim", "mine");
        fs::remove("planted"), fs::create_symlink(fs::absolute("victim"), "planted");
        EXPECT_TRUE(write("planted"));
        EXPECT_EQ(qbntest::fileBytes("victim"), "mine");
    }
    sound.load(NSAudio::SoundControl::kSettingsFile);
    ::alarm(0);
    // Start-up clears the temporary files of the game's own files and of any level, nothing else.
    for (const char* name : {"progress.txt.tmp123_0", "sound.cfg.tmp", "log.txt.tmp-Ab3xYz", "notes.tmp"})
        qbntest::writeBytes(name, "");
    fs::create_symlink(fs::absolute("victim"), "levels/a.lvl.tmp-Ab3xYz"); // a link under such a name goes alone
    EXPECT_EQ(NSFile::removeStaleTemps(".", {"log.txt", "progress.txt", "sound.cfg"}), 3);
    EXPECT_EQ(NSFile::removeStaleTemps("levels"), 1);
    EXPECT_TRUE(fs::exists("notes.tmp") && qbntest::fileBytes("victim") == "mine");
}
