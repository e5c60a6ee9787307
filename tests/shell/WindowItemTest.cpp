#include <gtest/gtest.h>

#include <string>

#include "ui/TextWrap.h"
#include "ui/WindowItem.h"
#include "support/RecordingItem.h"

using NSWindow::ItemLayout;
using NSWindow::WindowItem;
using qbntest::RecordingItem;

namespace {

// A root of 800 x 600 in window pixels, y down, as the window is.
struct Root : WindowItem {
    Root() : WindowItem(false) { setLayout(ItemLayout(0, 0, 800, 600)); }
    template <class T>
    T* attach(T* item, const ItemLayout& layout) {
        item->setLayout(layout);
        addChildLater(item);
        applyPendingChanges();
        return item;
    }
};

std::string area(const ItemLayout& a) {
    return std::to_string(a.x) + " " + std::to_string(a.y) + " " + std::to_string(a.width) + "x" +
           std::to_string(a.height);
}

} // namespace

// Anchors and size modes: a right column, the view left of it, a centred band, an unknown anchor, a
// plain corner. The window measures y downward, screen y counts from the bottom.
TEST(ItemLayoutTest, AnchorsAndSizeModesPlaceItemsInTheParent) {
    const struct {
        ItemLayout layout;
        const char *area, *screen;
    } rows[] = {
        {ItemLayout(-170, 0, 170, 0, 3, 1, 0, 2), "630 0 170x600", "630 0 170x600"},
        {ItemLayout(0, 0, -170, 0, 1, 1, 2, 2), "0 0 630x600", "0 0 630x600"},
        {ItemLayout(-400, -15, 0, 30, 2, 2, 1, 0), "0 285 400x30", "0 285 400x30"},
        {ItemLayout(50, 60, 10, 10, 7, 0, 0, 0), "0 0 10x10", "0 590 10x10"},
        {ItemLayout(10, 10, 60, 20), "10 10 60x20", "10 570 60x20"},
    };
    for (const auto& row : rows) {
        Root root;
        auto* item = root.attach(new WindowItem(false), row.layout);
        EXPECT_EQ(area(item->getArea()), row.area);
        EXPECT_EQ(area(item->getScreenArea()), row.screen);
    }
}

TEST(Routing, TopmostLiveChildGetsThePressAndRefusalFallsThrough) {
    Root root;
    auto* below = root.attach(new RecordingItem(false, true), ItemLayout(0, 0, 200, 200));
    auto* above = root.attach(new RecordingItem(false, false), ItemLayout(100, 100, 200, 200));

    EXPECT_TRUE(root.mouseButton(0, 0, 0, 150, 150));
    ASSERT_EQ(above->events.size(), 1u);
    EXPECT_EQ(above->events[0].x, 50);
    ASSERT_EQ(below->events.size(), 1u);
    EXPECT_EQ(below->events[0].x, 150);
    EXPECT_EQ(root.getFocus(), below);
    EXPECT_TRUE(below->hasFocus());

    above->handles = true;
    EXPECT_TRUE(root.mouseButton(0, 0, 0, 150, 150));
    EXPECT_EQ(root.getFocus(), above);
    EXPECT_EQ(below->events.back().kind, "lost") << "a field being edited commits before the press goes elsewhere";

    // Disabled and invisible items get nothing; the press lands below them.
    above->setEnabled(false);
    EXPECT_EQ(root.getFocus(), nullptr);
    root.mouseButton(0, 0, 0, 150, 150);
    EXPECT_EQ(root.getFocus(), below);
    above->setEnabled(true);
    above->setVisible(false);
    root.mouseButton(0, 0, 0, 150, 150);
    EXPECT_EQ(root.getFocus(), below);
    EXPECT_EQ(above->events.size(), 2u);
    above->animates = true;
    EXPECT_FALSE(root.wantsContinuousFrames()) << "only a visible item keeps the game drawing at full rate";
    above->setVisible(true);
    EXPECT_TRUE(root.wantsContinuousFrames());

    // A press outside every child takes the focus away (the item hears it), so keys reach nobody.
    EXPECT_TRUE(root.keyPressed('a', 0, false));
    EXPECT_EQ(below->events.back().kind, "key");
    EXPECT_FALSE(root.mouseButton(0, 0, 0, 500, 500));
    EXPECT_EQ(root.getFocus(), nullptr);
    EXPECT_FALSE(root.keyPressed('b', 0, false));
    EXPECT_EQ(below->events.back().kind, "lost");
}

TEST(Routing, ReleaseFollowsThePressAndDragsStayInside) {
    Root root;
    auto* button = root.attach(new RecordingItem(), ItemLayout(100, 100, 50, 50));
    root.mouseButton(0, 0, 2, 120, 120);
    EXPECT_TRUE(root.mouseDrag(2, 130, 140));
    EXPECT_FALSE(root.mouseDrag(2, 400, 400)); // outside: not delivered
    EXPECT_TRUE(root.mouseButton(0, 1, 2, 400, 400));
    ASSERT_EQ(button->events.size(), 3u);
    EXPECT_EQ(button->events[1].kind, "drag");
    EXPECT_EQ(button->events[1].x, 30);
    EXPECT_EQ(button->events[2].kind, "release");
    EXPECT_EQ(button->events[2].x, 300); // outside its own area, still delivered
    EXPECT_EQ(root.getFocus(), button);   // a release keeps the focus
    EXPECT_FALSE(root.mouseButton(0, 5, 0, 120, 120));
}

TEST(Routing, FocusFollowsTheChainOfPressedItems) {
    Root root;
    auto* panel = root.attach(new RecordingItem(false, false), ItemLayout(0, 0, 400, 400));
    auto* field = new RecordingItem(false, true);
    field->setLayout(ItemLayout(10, 10, 100, 20));
    panel->addChildLater(field);
    root.applyPendingChanges();

    root.mouseButton(0, 0, 0, 20, 15);
    EXPECT_EQ(root.getFocus(), panel);
    EXPECT_EQ(panel->getFocus(), field);
    EXPECT_EQ(field->events[0].x, 10);
    EXPECT_EQ(field->events[0].y, 5);
    root.keyPressed(13, 0, false);
    EXPECT_EQ(field->events.back().kind, "key");

    // Destroying the focused item leaves no dangling focus behind.
    field->removeLater();
    root.applyPendingChanges();
    EXPECT_EQ(panel->getFocus(), nullptr);
    EXPECT_FALSE(root.keyPressed(13, 0, false));
}

TEST(Routing, HoverGoesToTheTopmostTakerWithoutMovingFocus) {
    Root root;
    auto* below = root.attach(new RecordingItem(false, true), ItemLayout(0, 0, 200, 200));
    auto* above = root.attach(new RecordingItem(false, false), ItemLayout(0, 0, 100, 100));
    EXPECT_TRUE(root.mouseMove(0, 50, 50));
    EXPECT_EQ(above->events.size(), 1u);
    EXPECT_EQ(below->events.size(), 1u);
    EXPECT_EQ(root.getFocus(), nullptr);
    EXPECT_FALSE(root.mouseMove(0, 700, 500));
    // Moving off an item tells it, once.
    ASSERT_EQ(above->events.size(), 2u);
    EXPECT_EQ(above->events[1].kind, "left");
    EXPECT_EQ(below->events.back().kind, "left");
    root.mouseMove(0, 150, 150); // back over the lower item only
    root.mouseMove(0, 800, 500);
    EXPECT_EQ(above->events.size(), 2u);
    EXPECT_EQ(below->events.back().kind, "left");
}

// Lines break at the last space that fits (a character is a unit wide here), a word wider than the line where
// it must; the text's own breaks and blank lines stay.
TEST(TextWrap, BreaksAtSpacesAndKeepsTheTextsOwnLines) {
    const auto one = [](const std::string& s) { return int(s.size()); };
    const struct { const char* text; int width; const char* lines; } cases[] = {
        {"a bomb disguised as a ball", 10, "a bomb|disguised|as a ball|"}, {"ab cd\n\nef\n", 5, "ab cd||ef|"},
        {"basketball", 4, "bask|etba|ll|"}, {"x basketball y", 6, "x|basket|ball y|"}, {"fits", 4, "fits|"},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const std::string& line : NSWindow::wrapText(c.text, c.width, one))
            joined += line + "|";
        EXPECT_EQ(joined, c.lines) << c.text;
    }
}
