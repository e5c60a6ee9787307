#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <tuple>

#include "level/ControllerLevel.h"
#include "level/Level.h"
#include "level/LevelScreens.h"
#include "level/ProgressKeeper.h"
#include "persistence/SerialStream.h"
#include "scene/Scene.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"
#include "scenegraph/NodeTransform.h"
#include "level/LevelSceneTest.h"
#include "support/LogCapture.h"

using namespace NSLevel;
using NSNode::BoundingVolume;
using NSNode::ControllerNode;
using NSNode::NodeTransform;

namespace {

using qbntest::fileBytes;
std::string le32(int v) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF);
    return out;
}

std::string str(const char* s) { return std::string(s, std::strlen(s) + 1); }
unsigned id(const NodeTransform* n) { return static_cast<unsigned>(n->getId()); }

// A level that puts two balls into the scene, 3 apart, registered for hits.
class TwoBalls : public Level {
public:
    explicit TwoBalls(const std::string& name = "Two balls") : Level(name, "Make them touch") {}
    void build() override {
        a = ball(Vector3(0, 0, 0));
        b = ball(Vector3(3, 0, 0));
    }
    NodeTransform* ball(Vector3 at) {
        auto* n = new NodeTransform(true);
        n->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 1));
        n->setPosition(at);
        n->registerForHits();
        scene()->getRoot()->addChild(n);
        return n;
    }
    NodeTransform* a = nullptr;
    NodeTransform* b = nullptr;
};

using LevelFiles = qbntest::LevelSceneTest;

} // namespace

TEST(LevelNames, PathsAndNamesThatStayInTheLevelsFolder) {
    EXPECT_EQ(levelFilePath("a"), "levels/a.lvl");
    EXPECT_EQ(levelFilePath("a.lvl"), "levels/a.lvl");
    EXPECT_EQ(levelFilePath(".lvl"), "levels/.lvl.lvl");
    for (const char* good : {"_current", "Level 1", "Stra\xDF" "e"})
        EXPECT_TRUE(isSafeFileName(good)) << good;
    for (const char* bad : {"", "../x", "a/b", "a\\b", "..", "tab\tname", "."})
        EXPECT_FALSE(isSafeFileName(bad)) << bad;
}

TEST_F(LevelFiles, BytesFollowTheLayoutWithAndWithoutGoals) {
    TwoBalls level;
    level.build();
    ASSERT_TRUE(level.save("plain"));
    std::string bytes = fileBytes("levels/plain.lvl");
    std::string head = str("[QBN-LEVEL]");
    std::string body = str("1.0") + str("Two balls") + str("Make them touch") + str("[wchL]") + le32(8) + le32(0);
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    EXPECT_EQ(bytes.substr(head.size(), 4), le32(4 + static_cast<int>(body.size())));
    EXPECT_EQ(bytes.substr(head.size() + 4, body.size()), body);
    EXPECT_EQ(bytes.substr(head.size() + 4 + body.size(), 12), str("[QBN-SCENE]"));

    ASSERT_TRUE(level.registerWinConditonHit(id(level.a), id(level.b)));
    ASSERT_TRUE(level.save("goal"));
    bytes = fileBytes("levels/goal.lvl");
    std::string goal = str("[wchO]") + le32(4 + 4 + 4 + 3) + le32(level.a->getId()) + le32(level.b->getId()) +
                       std::string("\x01\x01\x00", 3);
    std::string list = str("[wchL]") + le32(4 + 4 + static_cast<int>(goal.size())) + le32(1) + goal;
    EXPECT_NE(bytes.find(list), std::string::npos);
}

TEST_F(LevelFiles, SaveThenLoadRestoresTextGoalsAndObjects) {
    TwoBalls level;
    level.build();
    int idA = level.a->getId(), idB = level.b->getId();
    level.registerWinConditonHit(id(level.a), id(level.b));
    ASSERT_TRUE(level.save("round"));

    TwoBalls other("Other");
    ASSERT_TRUE(other.load("round.lvl"));
    EXPECT_EQ(other.getName(), "Two balls");
    EXPECT_EQ(other.getInfoText(), "Make them touch");
    ASSERT_EQ(other.getGoals().size(), 1u);
    EXPECT_EQ(other.getGoals()[0].id1, static_cast<unsigned>(idA));
    ASSERT_NE(scene->findNode(idB), nullptr);
    EXPECT_EQ(scene->findNode(idB)->getPosition(), Vector3(3, 0, 0));

    // With a level active, the scene part of a level file serves as a scene of the same name.
    NSScene::SceneFiles::setLevelFileLookup([](const std::string& n) { return levelFilePath(n); });
    scene->clearScene();
    ASSERT_EQ(scene->findNode(idB), nullptr);
    ASSERT_TRUE(scene->loadScene("round"));
    NSScene::SceneFiles::setLevelFileLookup(nullptr);
    ASSERT_NE(scene->findNode(idB), nullptr);

    // A damaged file changes nothing and says so.
    std::string bytes = fileBytes("levels/round.lvl");
    std::ofstream("levels/broken.lvl", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    EXPECT_FALSE(other.load("broken"));
    EXPECT_EQ(other.getName(), "Two balls");
    EXPECT_NE(scene->findNode(idB), nullptr);

    // Names that would leave the folder are refused.
    qbntest::LogCapture capture;
    EXPECT_FALSE(level.save("../escape"));
    EXPECT_NE(capture.text().find("not allowed"), std::string::npos);
    EXPECT_NE(access("levels/round.lvl", F_OK), -1);
}

TEST_F(LevelFiles, GoalsAreReachedInOrderOnly) {
    TwoBalls level;
    level.build();
    NodeTransform* c = level.ball(Vector3(20, 0, 0));
    level.registerWinConditonHit(id(level.a), id(level.b));
    level.registerWinConditonHit(id(level.b), id(c));
    ControllerNode& registry = ControllerNode::inUse();

    registry.clearHits();
    registry.addHit(c, level.b); // the second goal first: not counted
    level.checkGoals();
    EXPECT_FALSE(level.getGoals()[1].reached);
    EXPECT_FALSE(level.isWon());

    registry.clearHits();
    registry.addHit(level.b, level.a); // either order counts
    level.checkGoals();
    EXPECT_TRUE(level.getGoals()[0].reached);
    EXPECT_FALSE(level.isWon());

    registry.clearHits(); // the first goal stays reached after the pair separated
    registry.addHit(level.b, c);
    level.checkGoals();
    EXPECT_TRUE(level.isWon());
    level.resetGoals();
    EXPECT_FALSE(level.isWon());
    EXPECT_FALSE(level.getGoals()[0].reached);
    registry.clearHits();

    EXPECT_FALSE(level.registerWinConditonHit(id(level.a), 999999u));
    EXPECT_EQ(level.getGoals().size(), 2u);
    // A goal is a pair: naming it the other way round removes it too.
    EXPECT_TRUE(level.removeGoal(id(c), id(level.b)));
    EXPECT_EQ(level.getGoals().size(), 1u);
}

TEST_F(LevelFiles, ControllerShowsTheScreensAndWinsOnce) {
    NSWindow::WindowItem root(false);
    auto* first = new TwoBalls("First");
    auto* second = new TwoBalls("Second");
    ControllerLevel controller({first, second}, nullptr, &root, new ProgressKeeper("progress.txt"));
    root.applyPendingChanges();
    auto win = [&](TwoBalls* level) { // the level's goal reached while the machine runs, after 0.15 s
        level->registerWinConditonHit(id(level->a), id(level->b));
        ASSERT_TRUE(scene->setRunning(true));
        scene->step(0.15f, 0.0f);
        ControllerNode::inUse().clearHits();
        ControllerNode::inUse().addHit(level->a, level->b);
        controller.update();
        controller.update(); // the win screen shows from the frame after the win
        EXPECT_TRUE(level->isWon() && controller.getWinScreen()->isVisible());
    };

    controller.update(); // the first frame loads the first level
    EXPECT_EQ(controller.currentLevel(), first);
    EXPECT_EQ(std::make_tuple(controller.getInfo()->isVisible(), controller.getWinScreen()->isVisible(),
                              controller.getInputScreen()->isVisible()), std::make_tuple(true, false, false));
    // The panel takes every click and the hover; only a left click on "PLAY" closes it.
    EXPECT_TRUE(controller.getInfo()->mouseButton(0, 0, 0, 400, 300) && controller.getInfo()->mouseMove(0, 400, 300));
    controller.getInfo()->getButton()->mouseButton(2, 0, 0, 5, 5);
    EXPECT_TRUE(controller.getInfo()->isVisible());
    controller.getInfo()->getButton()->mouseButton(0, 0, 0, 5, 5); // "PLAY"
    EXPECT_FALSE(controller.getInfo()->isVisible());

    win(first);
    EXPECT_TRUE(controller.getWinScreen()->mouseButton(0, 0, 0, 400, 300) && controller.getWinScreen()->mouseMove(0, 400, 300))
        << "nothing behind it is clicked or lit";
    // Stop instead of BACK: the win screen goes, and the next run wins again and says so.
    scene->setRunning(false, false); // the layout as it is (a snapshot would bring new nodes)
    controller.update();
    EXPECT_FALSE(controller.getWinScreen()->isVisible() || first->isWon());
    win(first);
    EXPECT_EQ(describeWin(*controller.lastWin()), "Won in 0.15 s after 2 runs");

    // A press and its release make one step forward.
    auto* next = controller.getWinScreen()->getAdvance();
    next->mouseButton(0, 0, 0, 5, 5);
    next->mouseButton(0, 1, 0, 5, 5);
    EXPECT_EQ(controller.currentIndex(), 1u);
    controller.update();
    EXPECT_EQ(controller.currentLevel(), second);
    EXPECT_FALSE(controller.getWinScreen()->isVisible());
    EXPECT_FALSE(scene->isRunning()) << "the next level opens with the machine off";
    controller.nextLevel(); // already the last
    EXPECT_EQ(controller.currentIndex(), 1u);

    // "BACK" stops the machine and resets the goals.
    win(second);
    controller.getWinScreen()->getBack()->mouseButton(0, 0, 0, 5, 5);
    EXPECT_FALSE(scene->isRunning());
    EXPECT_FALSE(second->isWon());
    ControllerNode::inUse().clearHits();
}

TEST_F(LevelFiles, InputScreenEditsNameAndDescription) {
    NSWindow::WindowItem root(false);
    auto* level = new TwoBalls("ab");
    ControllerLevel controller({level}, nullptr, &root);
    controller.update();
    auto type = [&](const std::string& keys) {
        for (char key : keys)
            controller.getInputScreen()->keyPressed(key, 0, false);
    };
    controller.showInput(true, true);
    type("\rc"); // Enter: nothing in name mode
    EXPECT_EQ(level->getName(), "abc");
    type("\b\b\b\b\b"); // Backspace past the start changes nothing more
    EXPECT_EQ(level->getName(), "");
    controller.showInput(true, false);
    level->setInfoText("x");
    type("\ry");
    EXPECT_EQ(level->getInfoText(), "x\ny");
}
