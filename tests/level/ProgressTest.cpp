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
#include "scenegraph/BoundingVolume.h"
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
    OneBall() : Level("One ball", "") {}
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
    };
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
        fs::remove("progress.txt.bad");
        ProgressKeeper keeper("progress.txt");
        EXPECT_TRUE(keeper.wasDamaged());
        EXPECT_EQ(keeper.progress().lastLevel(), 0u);
        EXPECT_EQ(keeper.progress().wonList(), "");
        EXPECT_FALSE(fs::exists("progress.txt"));
        EXPECT_EQ(fileBytes("progress.txt.bad"), bytes) << "the damaged file is kept aside as it was";
    }
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
    auto game = [&root] {
        return std::make_unique<ControllerLevel>(std::vector<Level*>{new OneBall(), new OneBall()}, nullptr, &root,
                                                 new ProgressKeeper("progress.txt"));
    };
    auto first = game();
    first->update();
    first->nextLevel();
    first->update();
    scene->getRoot()->getChildren().at(0)->setPosition(Vector3(0, 5, 0));
    first->quit(); // the game ends in the second level
    first.reset();
    auto controller = game();
    EXPECT_EQ(controller->currentIndex(), 1u) << "the game starts at the level played last";
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
}
