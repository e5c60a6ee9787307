#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>
#include <utility>
#include <vector>

#include "menu/MenuItem.h"
#include "menu/MenuItemControls.h"
#include "menu/MenuItemInput.h"
#include "menu/MenuItemSlider.h"
#include "menu/MenuItemStatic.h"
#include "menu/NumberField.h"
#include "support/GlContext.h"

using namespace NSMenu;

namespace {

// Records every change offered and answers as told.
class FakeMenu : public MenuItemHost {
public:
    bool itemChanged(const std::string& label, const Value& value) override {
        changes.emplace_back(label, value);
        return accept;
    }
    NSGraphic::GLFont* getLabelFont(bool) override { return nullptr; }
    NSGraphic::GLFont* getValueFont(bool) override { return nullptr; }

    bool accept = true;
    std::vector<std::pair<std::string, Value>> changes;
};

// Items live in a column so that focus means what it does in the menu.
class MenuItemFixture : public ::testing::Test {
protected:
    template <class T>
    T* make(unsigned type, const std::string& label, const ValueConstraint* c = nullptr) {
        T* item = new T(&menu);
        item->setType(type);
        item->setEnabled(true);
        item->setLabel(label);
        item->setConstraint(c);
        column.addChild(item);
        item->setLayout(NSWindow::ItemLayout(0, 0, 155, 40));
        return item;
    }
    void type(MenuItem* item, const std::string& keys) {
        for (char k : keys)
            item->keyPressed(static_cast<unsigned char>(k), 0, false);
    }

    FakeMenu menu;
    NSWindow::WindowItem column{false};
};

} // namespace

// A click selects the text, typing replaces it, Enter or leaving commits ("~": a press elsewhere).
TEST_F(MenuItemFixture, InputReplacesOnFocusAndCommitsOnEnterOrLeaving) {
    ValueConstraintRange upToTen(0, 10);
    struct Case {
        unsigned type;
        Value start;
        const ValueConstraint* constraint;
        std::string keys;
        std::string text;      // shown afterwards
        int commits;           // changes offered
        float committed;       // the last one, as a number
    } cases[] = {
        {TYPE_FLOAT, Value::ofFloat(1.0f), nullptr, "5\r", "5.000", 1, 5.0f},
        {TYPE_FLOAT, Value::ofFloat(1.0f), nullptr, "25~", "25.000", 1, 25.0f},
        {TYPE_FLOAT, Value::ofFloat(1.0f), nullptr, "-1.5\b\b", "-1", 0, 0.0f},
        {TYPE_FLOAT, Value::ofFloat(2.0f), nullptr, "1.\r", "2.000", 0, 0.0f},
        {TYPE_FLOAT, Value::ofFloat(2.0f), nullptr, "1,5\r", "1.500", 1, 1.5f},
        {TYPE_INT, Value::ofInt(7), nullptr, "\b-42x\r", "-42", 1, -42.0f},
        {TYPE_INT, Value::ofInt(7), nullptr, "99999999999\r", "999999999", 1, 999999999.0f},
        {TYPE_INT, Value::ofInt(7), nullptr, "-99999999999\r", "-999999999", 1, -999999999.0f},
        {TYPE_INT, Value::ofInt(3), &upToTen, "35\r", "10", 1, 10.0f},
        {TYPE_INT, Value::ofInt(3), nullptr, "\r", "3", 0, 0.0f},
        {TYPE_INT, Value::ofInt(3), nullptr, "\b\r", "3", 0, 0.0f}, // emptied: the old value holds
        {TYPE_FLOAT, Value::ofFloat(2.5f), nullptr, "4\b~", "2.500", 0, 0.0f},
    };
    for (const Case& c : cases) {
        menu.changes.clear();
        auto* input = make<MenuItemInput>(c.type, "N", c.constraint);
        input->setValue(c.start);
        input->setFocus(true);
        input->mouseButton(0, 0, 0, 60, 25);
        EXPECT_TRUE(input->isTextSelected());
        for (char k : c.keys) {
            if (k == '~')
                column.mouseButton(0, 0, 0, 60, 300); // outside every item
            else
                input->keyPressed(static_cast<unsigned char>(k), 0, false);
        }
        SCOPED_TRACE(c.keys);
        EXPECT_EQ(input->getText(), c.text);
        ASSERT_EQ(int(menu.changes.size()), c.commits);
        if (c.commits) {
            EXPECT_FLOAT_EQ(c.type == TYPE_INT ? float(menu.changes.back().second.intValue)
                                               : menu.changes.back().second.floatValue,
                            c.committed);
        }
        input->setFocus(false);
        column.clear();
    }
}

TEST_F(MenuItemFixture, InputLimitsRefusalsAndModifiers) {
    auto* number = make<MenuItemInput>(TYPE_FLOAT, "N");
    number->setFocus(true);
    type(number, "12345678901234567");
    EXPECT_EQ(number->getText(), "1234567890123456");
    number->keyPressed('9', 2, false);
    number->keyPressed(101, 0, true);
    EXPECT_EQ(number->getText(), "1234567890123456");

    // A String field has no limit and takes keys typed with a modifier.
    auto* name = make<MenuItemInput>(TYPE_STRING, "Name");
    name->setValue(Value::ofString("Level"));
    name->setFocus(true);
    name->keyPressed('X', 1, false);
    type(name, " with a long name\r");
    EXPECT_EQ(menu.changes.back().second.stringValue, "LevelX with a long name");

    // A refused change shows the old value again.
    auto* size = make<MenuItemInput>(TYPE_INT, "Size");
    size->setValue(Value::ofInt(3));
    size->setFocus(true);
    menu.accept = false;
    type(size, "\b8\r");
    EXPECT_EQ(size->getValue().intValue, 3);
    EXPECT_EQ(size->getText(), "3");

    // Escape commits, leaves the field and passes the key on; SHIFT may be held while typing a number.
    menu.accept = true;
    size->setFocus(true);
    type(size, "\b"), size->keyPressed('6', 1, false);
    EXPECT_FALSE(size->keyPressed(27, 0, false));
    EXPECT_FALSE(size->takesTyping());
    EXPECT_EQ(size->getValue().intValue, 6);

    size->setEnabled(false);
    menu.changes.clear();
    type(size, "2\r");
    EXPECT_TRUE(menu.changes.empty());
}

TEST_F(MenuItemFixture, BoolTogglesOnlyToTheOtherState) {
    auto* flag = make<MenuItemBool>(TYPE_BOOL, "Fixed");
    flag->setValue(Value::ofBool(true));
    EXPECT_TRUE(flag->mouseButton(0, 0, 0, 30, 25)); // "true" again
    EXPECT_TRUE(menu.changes.empty());
    flag->mouseButton(0, 0, 0, 100, 25);
    ASSERT_EQ(menu.changes.size(), 1u);
    EXPECT_FALSE(menu.changes[0].second.boolValue);
    EXPECT_FALSE(flag->getState());

    menu.accept = false;
    flag->mouseButton(0, 0, 0, 30, 25);
    EXPECT_FALSE(flag->getValue().boolValue);

    flag->setEnabled(false);
    menu.accept = true;
    flag->mouseButton(0, 0, 0, 30, 25);
    EXPECT_EQ(menu.changes.size(), 2u);
}

TEST_F(MenuItemFixture, SliderMapsTheTrackToTheRange) {
    ValueConstraintRange direction(-1, 1, -1.0f, 1.0f);
    auto* slider = make<MenuItemSlider>(TYPE_FLOAT, "X", &direction);
    slider->mouseButton(0, 0, 0, 69, 20);
    ASSERT_EQ(menu.changes.size(), 1u);
    EXPECT_FLOAT_EQ(menu.changes[0].second.floatValue, 0.0f);
    EXPECT_FLOAT_EQ(slider->getKnobOffset(), 44.0f);
    slider->keyPressed('6', 0, false);
    EXPECT_FLOAT_EQ(slider->getKnobOffset(), 44.25f);
    EXPECT_NEAR(slider->getValue().floatValue, 0.5f / 88.0f, 1e-6);
    // Held, the knob stops at the track's end however far the pointer goes.
    slider->mouseDrag(0, 400, 90);
    EXPECT_FLOAT_EQ(slider->getValue().floatValue, 1.0f);
    // Not held, drags outside the track do nothing.
    slider->mouseButton(0, 1, 0, 400, 90);
    slider->mouseDrag(0, 120, 20);
    slider->mouseDrag(0, 50, 5);
    EXPECT_EQ(menu.changes.size(), 3u);
    // SHIFT at the press: the knob steps a tenth of a pixel toward it, then follows a tenth of the pointer's way.
    slider->mouseButton(0, 0, 1, 30, 20);
    EXPECT_FLOAT_EQ(slider->getKnobOffset(), 87.9f);
    slider->mouseDrag(0, 10, 20);
    EXPECT_NEAR(slider->getValue().floatValue, -1.0f + 2.0f * 85.9f / 88.0f, 1e-5f);
    slider->mouseButton(0, 1, 1, 10, 20);
    // The fine keys stop at the track's ends too: never a value past the range.
    for (const auto& [key, end] : {std::pair{'6', 1.0f}, std::pair{'4', -1.0f}}) {
        for (int i = 0; i < 400; ++i)
            slider->keyPressed(key, 0, false);
        EXPECT_FLOAT_EQ(slider->getValue().floatValue, end) << key;
    }

    auto* letter = make<MenuItemSlider>(TYPE_CHAR, "Key");
    letter->mouseDrag(0, 25, 20);
    EXPECT_EQ(letter->getValue().charValue, 'a');
    letter->mouseDrag(0, 113, 20);
    EXPECT_EQ(letter->getValue().charValue, 'z');

    auto* count = make<MenuItemSlider>(TYPE_INT, "Count");
    count->setValue(Value::ofInt(7));
    menu.accept = false;
    count->mouseDrag(0, 69, 20);
    EXPECT_EQ(count->getValue().intValue, 7);
    EXPECT_FLOAT_EQ(count->getKnobOffset(), 7 * 0.88f); // where the value lies
    menu.accept = true;
    count->mouseDrag(0, 69, 20);
    EXPECT_EQ(count->getValue().intValue, 50);
}

// A number reads as the player reads it: a turn in whole degrees, other values to the places a fine step needs.
TEST(NumberField, ReadsTurnsInDegreesAndValuesToTheirFineStep) {
    Readout place;
    place.places = 1;
    const struct {
        Readout readout;
        float min, max, value;
        const char* shown;
    } cases[] = {
        {Readout::degrees(), -0.5f, 0.5f, -0.05f, "-18\xB0"}, {Readout::degrees(), -0.5f, 0.5f, -1e-4f, "0\xB0"},
        {Readout(), 0.5f, 2.0f, 1.2f, "1.200"},                 {Readout(), 0.0f, 50.0f, 25.57f, "25.6"},
        {Readout(), 0.0f, 1.0f, 0.125f, "0.125"},                {place, -1e5f, 1e5f, -60.46f, "-60.5"},
    };
    for (const auto& c : cases) {
        NumberField number;
        number.setReadout(c.readout);
        number.setRange(c.min, c.max);
        EXPECT_EQ(number.format(c.value), c.shown);
    }
}

TEST_F(MenuItemFixture, ButtonFiresOncePerPress) {
    auto* button = make<MenuItemButton>(TYPE_INT, "Back");
    button->mouseButton(0, 0, 0, 50, 20);
    button->mouseDrag(0, 60, 20);
    button->update();
    button->mouseButton(0, 1, 0, 50, 20);
    button->mouseButton(0, 0, 0, 5, 20); // beside the face
    EXPECT_EQ(menu.changes.size(), 1u);
    button->setEnabled(false);
    button->mouseButton(0, 0, 0, 50, 20);
    EXPECT_EQ(menu.changes.size(), 1u);
    EXPECT_FALSE(button->isPressed());
}

TEST_F(MenuItemFixture, AcceleratorSendsARateEveryFrameWhileHeld) {
    auto* acc = make<MenuItemAccelerator>(TYPE_FLOAT, "Turn");
    acc->mouseButton(0, 0, 0, 35 + 69, 20); // three quarters: t = 0.5
    acc->update();
    acc->update();
    acc->update();
    ASSERT_EQ(menu.changes.size(), 3u);
    EXPECT_FLOAT_EQ(menu.changes[0].second.floatValue, 0.25f);
    acc->mouseDrag(0, 35, 20); // t = -1
    acc->update();
    EXPECT_FLOAT_EQ(menu.changes.back().second.floatValue, -1.0f);
    acc->setValue(Value::ofFloat(9.0f));
    EXPECT_FLOAT_EQ(acc->getValue().floatValue, -1.0f);
    acc->mouseButton(0, 1, 0, 35, 20);
    acc->update();
    EXPECT_EQ(menu.changes.size(), 4u);

    acc->setEnabled(false);
    acc->mouseButton(0, 0, 0, 80, 20);
    EXPECT_FALSE(acc->isPressed());
}

