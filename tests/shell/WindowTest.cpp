#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <vector>

#include "shell/LevelControl.h"
#include "window/Window.h"
#include "window/WindowFrameRate.h"
#include "window/WindowTempPopUp.h"
#include "support/GlContext.h"
#include "support/LogCapture.h"
#include "support/RecordingItem.h"

using NSWindow::ItemLayout;
using NSWindow::Window;
using NSWindow::WindowTempPopUp;
using qbntest::RecordingItem;

namespace {

struct FakeLevels : NSWindow::LevelControl {
    std::vector<std::string> calls;
    void update() override { calls.push_back("update"); }
    void toggleInfo() override { calls.push_back("info"); }
    void previousLevel() override { calls.push_back("previous"); }
    void nextLevel() override { calls.push_back("next"); }
    void saveCurrent() override { calls.push_back("save"); }
    void loadCurrent() override { calls.push_back("load"); }
    bool undo() override { calls.push_back("undo"); return true; }
    bool redo() override { calls.push_back("redo"); return true; }
};

// A window of 800 x 600 with one item that takes everything, focused.
struct KeyWindow : ::testing::Test {
    Window window;
    FakeLevels levels;
    RecordingItem* item = new RecordingItem();

    void SetUp() override {
        window.setLevelControl(&levels);
        window.onReshape(800, 600);
        item->setLayout(ItemLayout(0, 0, 800, 600));
        window.addChildLater(item);
        window.applyPendingChanges();
        window.mouseButton(0, 0, 0, 10, 10);
        item->events.clear();
    }
};

} // namespace

// Level keys go to the level controller; quick save wins over quick load in the same frame.
TEST_F(KeyWindow, LevelKeysGoToTheLevelControllerAndQuickSaveWinsOverLoad) {
    for (int key : {GLUT_KEY_F1, GLUT_KEY_F5, GLUT_KEY_F6, GLUT_KEY_F2, GLUT_KEY_F3})
        window.onSpecial(key, 0);
    EXPECT_TRUE(item->events.empty());
    window.update(); // saving and loading wait for the next update
    EXPECT_EQ(levels.calls, (std::vector<std::string>{"info", "previous", "next", "update", "save"}));
    EXPECT_FALSE(window.isSaveCurrentRequested());
    EXPECT_FALSE(window.isLoadCurrentRequested());
    window.update();
    EXPECT_EQ(levels.calls.back(), "update");

    window.onSpecial(GLUT_KEY_F3, 0);
    window.update();
    EXPECT_EQ(levels.calls.back(), "load");
}

TEST_F(KeyWindow, OtherSpecialKeysReachTheFocusedItemButShiftedOnesDoNot) {
    window.onSpecial(GLUT_KEY_F10, 0);
    ASSERT_EQ(item->events.size(), 1u);
    EXPECT_EQ(item->events[0].kind, "special");
    EXPECT_EQ(item->events[0].a, GLUT_KEY_F10);

    window.onSpecial(GLUT_KEY_F10, GLUT_ACTIVE_SHIFT);
    window.onSpecial(GLUT_KEY_LEFT, GLUT_ACTIVE_SHIFT);
    window.onSpecial(GLUT_KEY_F1, GLUT_ACTIVE_SHIFT); // a display setting, not level info
    EXPECT_EQ(item->events.size(), 1u);
    EXPECT_TRUE(levels.calls.empty());

    qbntest::LogCapture capture;
    window.onKeyboard('a', GLUT_ACTIVE_CTRL);
    EXPECT_EQ(item->events.back().kind, "key");
    EXPECT_EQ(item->events.back().a, 'a');
    EXPECT_EQ(item->events.back().b, GLUT_ACTIVE_CTRL);
    window.onKeyboard(0xE4, 0);
    // Drags carry the modifiers of the press.
    window.onMouse(0, 0, 30, 40, GLUT_ACTIVE_CTRL);
    window.onMotion(35, 45);
    EXPECT_EQ(item->events.back().kind, "drag");
    EXPECT_EQ(item->events.back().a, GLUT_ACTIVE_CTRL);
    EXPECT_EQ(capture.text(), "Key: 97\nKey: 228\nMouse Click at:   30   40\n");
}

// CTRL+Z undoes, CTRL+Y and CTRL+SHIFT+Z redo (GLUT sends CTRL+Z as 26) wherever the focus is; not while a mouse
// button is held.
TEST_F(KeyWindow, UndoAndRedoKeysWaitForTheButtonsToBeUp) {
    const int ctrl = GLUT_ACTIVE_CTRL, shift = GLUT_ACTIVE_SHIFT;
    const struct { unsigned char key; int modifiers, held; const char* call; } rows[] = {
        {26, ctrl, 0, "undo"}, {'z', ctrl, 0, "undo"}, {25, ctrl, 0, "redo"}, {26, ctrl | shift, 0, "redo"},
        {'Z', ctrl | shift, 0, "redo"}, {26, ctrl, 1, "none"}, {25, ctrl, 1, "none"}};
    for (const auto& row : rows) {
        levels.calls = {"none"};
        window.onMouse(0, row.held ? GLUT_DOWN : GLUT_UP, 30, 40, 0);
        window.onKeyboard(row.key, row.modifiers);
        window.onMouse(0, GLUT_UP, 30, 40, 0);
        EXPECT_EQ(levels.calls.back(), row.call) << int(row.key) << " " << row.modifiers;
    }
}

TEST_F(KeyWindow, HoverIsForwardedOncePerIdleCycleNewestFirstAndOnlyWhenItMoved) {
    window.onPassiveMotion(5, 5);
    window.onPassiveMotion(9, 9);
    window.onPassiveMotion(6, 6); // same idle cycle: waits, the newest wins
    ASSERT_EQ(item->events.size(), 1u);
    EXPECT_EQ(item->events[0].kind, "move");
    EXPECT_EQ(item->events[0].x, 5);
    window.onIdle();
    ASSERT_EQ(item->events.size(), 2u);
    EXPECT_EQ(item->events[1].x, 6);

    window.onIdle();
    window.onPassiveMotion(6, 6); // same place: dropped
    window.onIdle();
    window.onPassiveMotion(7, 8);
    ASSERT_EQ(item->events.size(), 3u);
    EXPECT_EQ(item->events[2].x, 7);
}

// The help names what a player needs first, before the display switches.
TEST(Help, NamesThePlayersKeysAndButtonsBeforeTheDisplaySwitches) {
    const std::string& help = NSWindow::technicalHelpText;
    for (const char* line : {"\nclick ", "bottom left start, stop", "\nF1 ", "\nF5 / F6 ", "\nF2 / F3 ", "\nt ",
                             "\no ", "\n4 / 6 ", "\nwheel "})
        EXPECT_LT(help.find(line), help.find("SHIFT F1")) << line;
}

TEST(TempPopUp, FadesInAndOutAndMessagesStackInBandsOfTheirOwn) {
    Window window;
    window.onReshape(800, 600);
    window.showTempPopUp("Level saved successfully");
    window.applyPendingChanges();
    auto* popUp = WindowTempPopUp::current();
    ASSERT_EQ(window.getChildren(), std::vector<NSWindow::WindowItem*>{popUp});
    for (const auto& [t, alpha] : {std::pair{0.5f, 0.5f}, {2.0f, 1.0f}, {3.5f, 0.5f}}) {
        popUp->advance(t);
        EXPECT_FLOAT_EQ(popUp->getAlpha(), alpha) << t;
    }
    EXPECT_FALSE(popUp->advance(4.0f));
    window.applyPendingChanges();
    EXPECT_TRUE(window.getChildren().empty());
    EXPECT_EQ(WindowTempPopUp::current(), nullptr);

    // Two models failing at once both show, one band below the other; a text shown again moves down as the
    // newest; a fifth waits for a band, which it gets when the first is over.
    for (const char* text : {"Could not load a", "Could not load b", "Culling enabled", "Could not load a", "x", "y"})
        window.showTempPopUp(text);
    auto stack = [&] {
        window.update();
        window.update();
        std::string shown;
        for (const NSWindow::WindowItem* item : window.getChildren())
            if (auto* p = dynamic_cast<const WindowTempPopUp*>(item))
                shown += p->getText() + (p->isWaiting() ? " waits; " : " " + std::to_string(p->getArea().y) + "; ");
        return shown;
    };
    EXPECT_EQ(stack(), "Could not load b 285; Culling enabled 319; Could not load a 353; x 387; y waits; ");
    dynamic_cast<WindowTempPopUp*>(window.getChildren()[0])->advance(10.0f);
    EXPECT_EQ(stack(), "Culling enabled 285; Could not load a 319; x 353; y 387; ");
    EXPECT_EQ(WindowTempPopUp::current()->getText(), "y");
}

// Red at 10 fps or less, green at 200 or more; an idling game (two frames a second) reads "idle" (-1 here).
TEST(FrameRate, ColoursRunFromRedTo200AndAnIdlingGameReadsIdleNotItsFewFrames) {
    NSWindow::WindowFrameRate rate;
    for (const auto& [fps, red] : {std::pair{5, 1.0f}, {10, 1.0f}, {105, 0.5f}, {200, 0.0f}, {900, 0.0f}}) {
        rate.setFps(fps);
        EXPECT_NEAR(rate.getColour()[0], red, 1e-5) << fps;
        EXPECT_NEAR(rate.getColour()[1], 1.0f - red, 1e-5) << fps;
    }
    auto frames = [&](int n, float seconds, bool idle) {
        while (n-- > 0)
            rate.frame(seconds, idle);
        return rate.isIdle() ? -1 : rate.getFps();
    };
    EXPECT_EQ(frames(4, 0.5f, true), -1);
    frames(1, 0.4f, false); // input 0.4 s after the last idle frame: that gap is no full-rate frame
    frames(36, 1.0f / 120, false); // 0.3 s at full rate, then idle again
    EXPECT_EQ(frames(2, 0.5f, true), 120);
    EXPECT_EQ(frames(3, 0.5f, true), -1);
    EXPECT_EQ(frames(6, 0.5f, false), 2) << "a machine that draws two frames a second at full rate shows it";
}

class WindowGl : public qbntest::GlTest {};

// The view's keys work after a click in the view or the menu; SHIFT, CTRL, ALT and Super alone are no keys.
TEST_F(WindowGl, ViewKeysWorkWhereverTheLastClickWentAndModifiersAloneAreIgnored) {
    Window window;
    window.onReshape(800, 600);
    window.init(false);
    window.applyPendingChanges();
    for (int x : {300, 700}) {
        window.mouseButton(0, 0, 0, x, 300);
        window.mouseButton(0, 1, 0, x, 300);
        const bool before = window.getScene()->isCoordinateCrossShown();
        window.onKeyboard('c', 0);
        EXPECT_NE(window.getScene()->isCoordinateCrossShown(), before) << x;
    }
    qbntest::LogCapture capture;
    for (int key = GLUT_KEY_SHIFT_L; key <= GLUT_KEY_SUPER_R; ++key)
        window.onSpecial(key, GLUT_ACTIVE_SHIFT);
    EXPECT_EQ(capture.text(), "");
}
