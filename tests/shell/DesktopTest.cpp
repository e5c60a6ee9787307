// The game on the desktop: one game per folder, the interface's scale.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "resources/GLFont.h"
#include "shell/DisplayScale.h"
#include "shell/FolderLock.h"
#include "support/RecordingItem.h"
#include "window/Window.h"

namespace fs = std::filesystem;
using NSWindow::FolderLock;

TEST(FolderLock, OneGamePerFolderAndACrashedGameLeavesNoLockBehind) {
    const fs::path root = fs::temp_directory_path() / ("qbn-lock-" + std::to_string(getpid()));
    const std::string a = (root / "a").string(), b = (root / "b").string();
    fs::create_directories(a);
    fs::create_directories(b);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t first = fork(); // the first game, holding folder a
    if (first == 0) {
        const FolderLock lock(a);
        if (write(ready[1], "y", 1) == 1)
            pause();
        _exit(0);
    }
    char held = 0;
    ASSERT_EQ(read(ready[0], &held, 1), 1);
    const FolderLock second(a);
    EXPECT_EQ(second.state(), FolderLock::State::Busy);
    EXPECT_EQ(second.holder(), first);
    EXPECT_TRUE(FolderLock::runsThisProgram(first)); // so it may be signalled; another program may not
    EXPECT_FALSE(FolderLock::runsThisProgram(getppid()));
    EXPECT_EQ(FolderLock(b).state(), FolderLock::State::Held); // side by side
    kill(first, SIGKILL); // the first game crashes
    waitpid(first, nullptr, 0);
    EXPECT_EQ(FolderLock(a).state(), FolderLock::State::Held);
    // A link where the lock file belongs is refused, and what it points at stays untouched.
    std::ofstream(root / "target") << "keep";
    fs::remove(root / "b" / FolderLock::kFileName);
    fs::create_symlink(root / "target", root / "b" / FolderLock::kFileName);
    EXPECT_EQ(FolderLock(b).problem(), "it is a link");
    EXPECT_EQ(fs::file_size(root / "target"), 4u);
    fs::remove_all(root);
    close(ready[0]), close(ready[1]);
}

TEST(DisplayScale, DotsPerInchGiveQuarterStepsAndPixelsMapToTheUnitTheyLieIn) {
    const std::pair<double, float> screens[] = {{72, 1},    {96, 1}, {100, 1}, {120, 1.25f}, {144, 1.5f},
                                                {192, 2},   {288, 3}, {600, 4}, {NAN, 1}};
    for (const auto& [dpi, scale] : screens)
        EXPECT_EQ(NSWindow::scaleForDpi(dpi), scale) << dpi;
    // scale | pixel -> unit | unit -> pixel | units covering 1001 pixels
    const struct { float scale; int pixel, unit, pixelOfUnit, covering; } maps[] = {
        {1, 37, 37, 37, 1001}, {2, 37, 18, 36, 501}, {2, 1, 0, 0, 501}, {1.25f, 1000, 800, 1000, 801}};
    for (const auto& m : maps) {
        EXPECT_EQ(NSWindow::pixelToUnit(m.pixel, m.scale), m.unit) << m.scale;
        EXPECT_EQ(NSWindow::unitsToPixels(m.unit, m.scale), m.pixelOfUnit) << m.scale;
        EXPECT_EQ(NSWindow::unitsCovering(1001, m.scale), m.covering) << m.scale;
    }
}

// At scale 2 a 1600 x 1200 window is 800 x 600 units, the menu's 170 at the right; the pointer comes in units.
TEST(DisplayScale, TheWindowLaysOutAndRoutesTheMouseInUnits) {
    NSWindow::setDisplayScale(2.0f);
    NSWindow::Window window;
    auto* item = new qbntest::RecordingItem();
    item->setLayout(NSWindow::ItemLayout(-170, 0, 170, 0, 3, 1, 0, 2));
    window.addChildLater(item);
    window.applyPendingChanges();
    window.onReshape(1600, 1200);
    EXPECT_EQ(item->getScreenArea(), NSWindow::ItemLayout(630, 0, 170, 600, 3, 1, 0, 2));
    EXPECT_EQ(NSWindow::toPixels(item->getScreenArea()), NSWindow::ItemLayout(1260, 0, 340, 1200, 3, 1, 0, 2));
    window.onMouse(0, 0, 1261, 41, 0);
    window.onMotion(1599, 1199);
    NSWindow::setDisplayScale(1.0f);
    ASSERT_EQ(item->events.size(), 2u);
    EXPECT_EQ(std::make_tuple(item->events[0].x, item->events[0].y, item->events[1].x), std::make_tuple(0, 20, 169));
}

// At scale 2 a 13-unit font is the 26-pixel font, and measures text in units.
TEST(DisplayScale, BitmapFontsAreBuiltAtSizeTimesScaleAndMeasureInUnits) {
    const NSGraphic::GLFontBitmap big("Verdana", 26, 700);
    NSWindow::setDisplayScale(2.0f);
    const NSGraphic::GLFontBitmap scaled("Verdana", 13, 700);
    NSWindow::setDisplayScale(1.0f);
    for (const char* text : {"Custom Mode", "M", "Level 1"})
        EXPECT_EQ(scaled.textWidth(text), (big.textWidth(text) + 1) / 2) << text;
}

// At 192 dpi (scale 2) the text of the panels and the menu's labels and values is at least 24 pixels high.
TEST(DisplayScale, TheInterfacesFontsAreAtLeast24PixelsAtScale2) {
    NSMenu::Menu menu(nullptr, nullptr);
    const NSWindow::WindowItem panel(false);
    for (NSGraphic::GLFont* font : {panel.getLabelFont(), menu.getLabelFont(true), menu.getValueFont(true)})
        EXPECT_GE(NSWindow::unitsToPixels(int(font->getSize()), 2.0f), 24) << font->getFontFace().getMatch().family;
}
