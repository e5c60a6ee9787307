// An edit that changes which lines a page shows is seen on the next frame.
#include <gtest/gtest.h>

#include <string>

#include "level/GameStateFixture.h"

using NSMenu::Value;

namespace {

class MenuPageRebuild : public qbntest::GameStateTest {
protected:
    NSMenu::MenuItem* line(const std::string& label) const { return menu->findItem(label); }
};

// The designer makes an object (and an effect on it), then gives its page a value that brings lines of its
// own, or greys one: the next frame shows the page as it is now, no other click needed.
TEST_F(MenuPageRebuild, ALineChangingEditShowsTheNewLinesOnTheNextFrame) {
    command("Custom Mode");
    const struct {
        const char* object; // made from the editor's page
        const char* effect; // added on its physics page, or null for the object's own page
        const char* label;
        Value value;
        const char* appears; // shown after the edit only, or null
        const char* greyed;  // greyed by the edit, or null
    } cases[] = {
        {"Simple Particles", nullptr, "Mode Fade", Value::ofBool(true), "Fade Color Red", nullptr},
        {"Complex Particles", nullptr, "Mode Iterate", Value::ofBool(true), "Color Iterations", nullptr},
        {"Ventilator", nullptr, "Enable Ventilator", Value::ofBool(false), nullptr, "Turning Speed"},
        {"Basketball", "Gravity", "Directional", Value::ofBool(true), "Force-Direction X", nullptr},
        {"Basketball", "Gravity", "Volume-Sphere", Value::ofBool(true), "Sphere-Radius", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.object) + ": " + c.label);
        menu->keyPressed(27, 0, false);
        frame();
        command(c.object);
        ASSERT_EQ(menuHeader(), scene->getSelected() ? scene->getSelected()->getName() : "(nothing selected)");
        if (c.effect) {
            command("Physics...");
            command(c.effect);
            ASSERT_NE(line("Delete Physics"), nullptr);
        }
        // Before the edit the line is missing, or shown and live.
        const char* watched = c.appears ? c.appears : c.greyed;
        ASSERT_EQ(line(watched) && line(watched)->isEnabled(), c.greyed != nullptr);
        command(c.label, c.value);
        ASSERT_NE(line(watched), nullptr);
        EXPECT_EQ(line(watched)->isEnabled(), c.appears != nullptr);
    }

    // A new name heads the page at once.
    menu->keyPressed(27, 0, false);
    frame();
    command("Box");
    command("Object Name", Value::ofString("Tower"));
    command("Set Name");
    EXPECT_EQ(menuHeader(), "Tower");
}

} // namespace
