#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "level/ControllerLevel.h"
#include "level/Progress.h"
#include "level/ProgressKeeper.h"
#include "level/LevelSceneTest.h"
#include "objects/ObjectModels.h"
#include "scenegraph/BoundingVolume.h"
#include "shell/Language.h"
#include "support/LogCapture.h"
#include "window/Window.h"
#include "window/WindowTempPopUp.h"

using namespace NSLevel;
namespace fs = std::filesystem;

namespace {

using qbntest::fileBytes;
using qbntest::writeBytes;
// A level of one ball at the origin.
class OneBall : public Level {
public:
    explicit OneBall(const char* title = "One ball") : Level(title, "") {}
    void build() override {
        auto* n = new NSNode::NodeTransform(true);
        n->setBoundingVolume(NSNode::BoundingVolume::makeSphereVolume(Vector3(), 1));
        scene()->getRoot()->addChild(n);
    }
};

using ProgressFile = qbntest::LevelSceneTest;

} // namespace

TEST_F(ProgressFile, WinsRunsAndTheLastLevelSurviveWritingAndReading) {
    Progress written;
    written.countRun(0);
    written.countRun(0);
    written.recordWin(0, 9.25); // the first win: its runs count
    written.countRun(0);
    written.recordWin(0, 4.5); // a quicker win: its time counts
    written.recordWin(0, 7.0); // a slower one changes nothing
    written.countRun(3);
    written.setLastLevel(3);
    ASSERT_TRUE(written.write());
    Progress read;
    ASSERT_EQ(read.read(), Progress::ReadResult::Read);
    EXPECT_EQ(read.format(), written.format());
    EXPECT_EQ(read.format(), "quibbleton-progress 1\nlast 4\nlevel 1 3 1 4.500 2\nlevel 4 1 0 0.000 0\nend\n");
    EXPECT_EQ(read.wonList(), "1");
    for (const auto& entry : fs::directory_iterator(folder.path))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(ProgressFile, DamagedFilesAreSetAsideAndTheGameStartsFresh) {
    Progress good;
    good.countRun(1);
    good.recordWin(1, 3.0);
    good.setLastLevel(1);
    const std::string text = good.format();
    std::vector<std::string> damaged = {
        "",
        "quibbleton-progress 2\nlast 1\nend\n",                        // a later version
        text + "level 9 0 0 0 0\n",                                     // more after the end
        "quibbleton-progress 1\nlast 1\nlevel 1 1 1 nan 1\nend\n",       // not a number
        "quibbleton-progress 1\nlast 1\nlevel 1 1 2 1.0 1\nend\n",       // won is 0 or 1
        "quibbleton-progress 1\nlast 0\nend\n",                          // levels count from 1
        "quibbleton-progress 1\nlast 99999999999\nend\n",                // out of range
        "quibbleton-progress 1\nlast 1\nlevel 1 1 0 0 0\nlevel 1 1 0 0 0\nend\n", // twice
        "quibbleton-progress 1\nlast 1001\nend\n", "quibbleton-progress 1\nlast 1\nlevel 1001 1 0 0 0\nend\n", // one past
        "quibbleton-progress 1\nlast 1\nlevel 1 1000000001 0 0 0\nend\n", // each end
        "quibbleton-progress 1\nlast 1\nlevel 1 1 1 10000000.01 1\nend\n",
        "quibbleton-progress 1\nlast 1\nlevel 1 1 1 1.0 1000000001\nend\n",
    };
    // Both ends of every number are taken.
    writeBytes("progress.txt", "quibbleton-progress 1\nlast 1000\nlevel 1000 1000000000 1 10000000 1000000000\n"
                               "level 1 0 0 0 0\nend\n");
    EXPECT_EQ(Progress().read(), Progress::ReadResult::Read);
    for (size_t cut = 0; cut < text.size(); ++cut)
        damaged.push_back(text.substr(0, cut));
    std::mt19937 random(28);
    for (int i = 0; i < 20; ++i) {
        std::string bytes(static_cast<size_t>(random() % 300), '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        damaged.push_back(bytes);
    }
    for (const std::string& bytes : damaged) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        writeBytes("progress.txt", bytes);
        ProgressKeeper keeper("progress.txt");
        EXPECT_TRUE(keeper.wasDamaged());
        EXPECT_EQ(keeper.progress().lastLevel(), 0u);
        EXPECT_EQ(keeper.progress().wonList(), "");
        EXPECT_FALSE(fs::exists("progress.txt"));
        // Kept aside as it was, under a name of its own: the first one stays.
        EXPECT_EQ(fileBytes(keeper.progress().setAsideAs()), bytes);
        EXPECT_EQ(fileBytes("progress.txt.bad"), damaged[0]);
    }
}

TEST_F(ProgressFile, ARunCountsOnceTheQuickestWinIsKeptAndOnlyTheLevelAsBuiltIsWon) {
    OneBall level;
    level.build();
    scene->getRoot()->addChild(new NSNode::NodeTransform(true));
    scene->getRoot()->addChild(new NSObjects::ObjectTennisball(true));
    // A stop brings the objects back anew: their ids stay.
    const auto& all = scene->getRoot()->getChildren();
    const unsigned ball = unsigned(all[0]->getId()), was = unsigned(all[1]->getId()), now = unsigned(all[2]->getId());
    ASSERT_TRUE(level.registerWinConditonHit(ball, was));
    ProgressKeeper keeper("progress.txt");
    keeper.enter(level, 0, true);
    initLanguageIn("de", std::string(QBN_RUN_DIR) + "/locale"); // the log keeps the game's own words
    qbntest::LogCapture capture;
    // Runs won after so many frames of 0.2 s; the last after the goal was swapped for one of other objects.
    for (int frames : {45, 20, 30, 5}) {
        if (frames == 5) {
            level.removeGoal(ball, was);
            ASSERT_TRUE(level.registerWinConditonHit(ball, now));
        }
        ASSERT_TRUE(scene->setRunning(true));
        for (int i = 1; i <= frames + 10; ++i) {
            scene->step(0.2f, 0.0f);
            keeper.watch(scene.get(), i >= frames, 0.2 * frames);
        }
        scene->setRunning(false);
        keeper.watch(scene.get(), false, 0.0);
    }
    initLanguageIn("C", "");
    EXPECT_NE(capture.text().find("Progress: level 1 Won in 9.00 s at the first run\n"), std::string::npos);
    const LevelProgress p = keeper.progress().level(0);
    Progress disk; // the last run, no win, reached the file at its start
    EXPECT_TRUE(disk.read() == Progress::ReadResult::Read && disk.level(0).runs == 4u);
    EXPECT_EQ(p.runs, 4u);
    EXPECT_EQ(p.winRuns, 1u);
    EXPECT_NEAR(p.winSeconds, 4.0, 0.01);
}

TEST_F(ProgressFile, TheControllerTellsOfADamagedFileAndStartsAtTheFirstLevel) {
    writeBytes("progress.txt", "quibbleton-progress 1\nlast 2\nlevel 1 1 1 3.0");
    NSWindow::Window& window = NSWindow::Window::instance();
    const NSWindow::ItemLayout before = window.getLayout();
    window.onReshape(800, 600);
    window.applyPendingChanges();
    NSWindow::WindowItem root(false);
    ControllerLevel controller({new OneBall(), new OneBall()}, nullptr, &root, new ProgressKeeper("progress.txt"));
    controller.update();
    ASSERT_NE(NSWindow::WindowTempPopUp::current(), nullptr);
    EXPECT_EQ(NSWindow::WindowTempPopUp::current()->getText(), ProgressKeeper::kDamagedMessage);
    EXPECT_EQ(controller.currentIndex(), 0u);
    EXPECT_TRUE(fs::exists("progress.txt.bad"));
    window.setLayout(before);
}

TEST_F(ProgressFile, ALevelComesBackAsThePlayerLeftItUntilItIsReset) {
    auto y = [this] { return scene->getRoot()->getChildren().at(0)->getPosition().y; };
    NSWindow::WindowItem root(false);
    auto game = [&root](const char* second = "One ball") {
        return std::make_unique<ControllerLevel>(std::vector<Level*>{new OneBall(), new OneBall(second)}, nullptr,
                                                 &root, new ProgressKeeper("progress.txt"));
    };
    auto first = game();
    first->update();
    first->nextLevel();
    first->update();
    scene->getRoot()->getChildren().at(0)->setPosition(Vector3(0, 5, 0));
    scene->getCamera().setPosition(Vector3(0, 20, 321));
    first->quit(); // the game ends in the second level
    first.reset();
    scene->getCamera().setPosition(Vector3(0, 20, 100)); // a new game's view, until the level's layout comes
    auto controller = game();
    EXPECT_EQ(controller->currentIndex(), 1u) << "the game starts at the level played last";
    controller->update();
    EXPECT_NEAR(scene->getCamera().getEye().z, 321.0f, 1e-3f) << "the camera as the player left it";
    // Each step, then the ball's height it leaves.
    const std::vector<std::pair<std::function<void()>, float>> steps = {
        {[] {}, 5.0f},                                      // the layout outlived the game
        {[&] { controller->previousLevel(); }, 0.0f},       // the other level has its own
        {[&] { controller->nextLevel(); }, 5.0f},           // back: the player's layout
        {[&] { controller->resetLevel(); }, 0.0f},          // Reset Level: the level's own
        {[&] { controller->previousLevel(); }, 0.0f},
        {[&] { controller->nextLevel(); }, 0.0f},           // and the reset one is kept
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        steps[i].first();
        controller->update();
        EXPECT_FLOAT_EQ(y(), steps[i].second) << "step " << i;
    }
    // A game whose second level has another title (levels numbered otherwise) does not take that layout.
    scene->getRoot()->getChildren().at(0)->setPosition(Vector3(0, 5, 0));
    controller->quit();
    controller.reset();
    controller = game("Another ball");
    controller->update();
    EXPECT_FLOAT_EQ(y(), 0.0f) << "a layout kept for another title came into the level";
    EXPECT_EQ(controller->currentLevel()->getName(), "Another ball");
}
