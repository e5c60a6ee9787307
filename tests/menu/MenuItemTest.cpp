#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "menu/MenuItem.h"
#include "menu/MenuItemControls.h"
#include "menu/MenuItemInput.h"
#include "menu/MenuItemSlider.h"
#include "menu/MenuItemStatic.h"
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

TEST(MenuItemFactory, KindsMakeTheirWidgets) {
    FakeMenu menu;
    std::unique_ptr<MenuItem> acc(createMenuItem(KIND_ACCELERATOR, &menu, false));
    std::unique_ptr<MenuItem> frozen(createMenuItem(KIND_ACCELERATOR, &menu, true));
    std::unique_ptr<MenuItem> header(createMenuItem(KIND_HEADER, &menu, false));
    EXPECT_NE(dynamic_cast<MenuItemAccelerator*>(acc.get()), nullptr);
    EXPECT_NE(dynamic_cast<MenuItemInput*>(frozen.get()), nullptr);
    EXPECT_NE(dynamic_cast<MenuItemHeader*>(header.get()), nullptr);
    EXPECT_EQ(createMenuItem(0, &menu, false), nullptr);
    EXPECT_EQ(createMenuItem(10, &menu, false), nullptr);
    // New items wait for the menu to enable them, and start as Int.
    EXPECT_FALSE(acc->isEnabled());
    EXPECT_EQ(acc->getType(), unsigned(TYPE_INT));
}

TEST_F(MenuItemFixture, IntInputCommitsOnlyWholeNumbers) {
    auto* input = make<MenuItemInput>(TYPE_INT, "Count");
    input->setValue(Value::ofInt(0));
    EXPECT_EQ(input->getText(), "0");
    type(input, "-");
    EXPECT_EQ(input->getText(), "-");
    EXPECT_TRUE(menu.changes.empty());
    type(input, "42x");
    EXPECT_EQ(input->getText(), "-42");
    ASSERT_EQ(menu.changes.size(), 3u);
    EXPECT_EQ(menu.changes.back().first, "Count");
    EXPECT_EQ(menu.changes.back().second.intValue, -42);
    EXPECT_EQ(input->getValue().intValue, -42);
    // Erasing everything falls back to "0".
    for (int i = 0; i < 3; ++i)
        input->keyPressed(8, 0, false);
    EXPECT_EQ(input->getText(), "0");
    EXPECT_EQ(input->getValue().intValue, 0);
}

TEST_F(MenuItemFixture, FloatInputWaitsForTheFraction) {
    auto* input = make<MenuItemInput>(TYPE_FLOAT, "Mass");
    input->setValue(Value::ofFloat(0.0f));
    EXPECT_EQ(input->getText(), "0.000");
    input->keyPressed(8, 0, false);
    input->keyPressed(8, 0, false);
    input->keyPressed(8, 0, false);
    input->keyPressed(8, 0, false);
    input->keyPressed(8, 0, false);
    EXPECT_EQ(input->getText(), "0");
    menu.changes.clear();
    type(input, "1.");
    EXPECT_EQ(input->getText(), "1.");
    EXPECT_EQ(menu.changes.size(), 1u); // only "1"
    type(input, "5");
    EXPECT_FLOAT_EQ(menu.changes.back().second.floatValue, 1.5f);
    input->keyPressed(127, 0, false);
    EXPECT_EQ(input->getText(), "1.");
    EXPECT_EQ(menu.changes.size(), 2u);
}

TEST_F(MenuItemFixture, InputLimitsModifiersAndLength) {
    auto* number = make<MenuItemInput>(TYPE_INT, "N");
    type(number, "1234567890123456");
    EXPECT_EQ(number->getText().size(), 16u);
    type(number, "7");
    EXPECT_EQ(number->getText().size(), 16u);
    number->keyPressed(8, 0, false);
    EXPECT_EQ(number->getText(), "123456789012345");
    number->keyPressed('9', 1, false);
    EXPECT_EQ(number->getText(), "123456789012345");
    number->keyPressed(101, 0, true);
    EXPECT_EQ(number->getText(), "123456789012345");

    auto* name = make<MenuItemInput>(TYPE_STRING, "Name");
    name->setValue(Value::ofString("Level"));
    name->keyPressed('X', 1, false);
    type(name, " with a long name");
    EXPECT_EQ(name->getText(), "LevelX with a long name");
    EXPECT_EQ(menu.changes.back().second.stringValue, "LevelX with a long name");
}

TEST_F(MenuItemFixture, InputCorrectionRefusalAndFocus) {
    ValueConstraintRange range(0, 10);
    auto* input = make<MenuItemInput>(TYPE_INT, "Size", &range);
    input->setValue(Value::ofInt(3));
    input->setFocus(true);
    type(input, "5"); // "35" is out of range
    EXPECT_EQ(menu.changes.back().second.intValue, 10);
    EXPECT_EQ(input->getText(), "35"); // still being edited
    input->setFocus(false);
    input->setValue(input->getValue());
    EXPECT_EQ(input->getText(), "10");

    // A refused change keeps the old value but not the typed text.
    input->setFocus(true);
    menu.accept = false;
    input->keyPressed(8, 0, false);
    EXPECT_EQ(menu.changes.back().second.intValue, 1);
    EXPECT_EQ(input->getValue().intValue, 10);
    EXPECT_EQ(input->getText(), "1");

    input->setEnabled(false);
    menu.changes.clear();
    type(input, "2");
    EXPECT_TRUE(menu.changes.empty());
}

// Middle, right and the wheel (buttons 1 to 4, and 5 for a tilt) change no
// kind of item, pressed, dragged and released where the left button would.
TEST_F(MenuItemFixture, OnlyTheLeftButtonChangesItems) {
    std::vector<MenuItem*> all = {make<MenuItemBool>(TYPE_BOOL, "B"), make<MenuItemButton>(TYPE_INT, "Go"),
                                  make<MenuItemSlider>(TYPE_FLOAT, "S"), make<MenuItemAccelerator>(TYPE_FLOAT, "A"),
                                  make<MenuItemInput>(TYPE_INT, "I")};
    for (MenuItem* item : all) {
        for (int button = 1; button <= 5; ++button) {
            for (int x : {30, 60, 100, 120}) {
                item->mouseButton(button, 0, 0, x, 25);
                item->update();
                item->mouseButton(button, 1, 0, x, 25);
                item->update();
            }
        }
        EXPECT_TRUE(menu.changes.empty()) << item->getLabel();
    }
    EXPECT_TRUE(static_cast<MenuItemBool*>(all[0])->getState());
    EXPECT_FALSE(static_cast<MenuItemButton*>(all[1])->isPressed());
    EXPECT_FALSE(static_cast<MenuItemAccelerator*>(all[3])->isPressed());
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
    EXPECT_FLOAT_EQ(count->getKnobOffset(), 0.0f);
    menu.accept = true;
    count->mouseDrag(0, 69, 20);
    EXPECT_EQ(count->getValue().intValue, 50);
}

TEST_F(MenuItemFixture, ButtonFiresOncePerPress) {
    auto* button = make<MenuItemButton>(TYPE_INT, "Back");
    button->setValue(Value::ofInt(3));
    button->mouseButton(0, 0, 0, 50, 20);
    button->mouseDrag(0, 60, 20);
    button->update();
    EXPECT_TRUE(button->isPressed());
    button->mouseButton(0, 1, 0, 50, 20);
    EXPECT_FALSE(button->isPressed());
    ASSERT_EQ(menu.changes.size(), 1u);
    EXPECT_EQ(menu.changes[0].first, "Back");
    EXPECT_EQ(menu.changes[0].second.intValue, 3);
    button->mouseButton(0, 0, 0, 5, 20); // beside the face
    button->setEnabled(false);
    button->mouseButton(0, 0, 0, 50, 20);
    EXPECT_EQ(menu.changes.size(), 1u);
    EXPECT_FALSE(button->isPressed());
}

TEST_F(MenuItemFixture, AcceleratorSendsARateEveryFrameWhileHeld) {
    auto* acc = make<MenuItemAccelerator>(TYPE_FLOAT, "Turn");
    EXPECT_FLOAT_EQ(acc->getMin(), -1.0f);
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

TEST_F(MenuItemFixture, TextAndHeaderValues) {
    auto* text = make<MenuItemText>(TYPE_INT, "Info");
    text->setValue(Value::ofString("ignored"));
    EXPECT_EQ(text->getText(), "");
    text->setType(TYPE_STRING);
    text->setValue(Value::ofString("Hello"));
    EXPECT_EQ(text->getValue().stringValue, "Hello");
    auto* header = make<MenuItemHeader>(TYPE_STRING, "Object");
    header->setValue(Value::ofString("x"));
    EXPECT_EQ(header->getValue().stringValue, "");
}

class MenuItemGlTest : public qbntest::GlTest {};

TEST_F(MenuItemGlTest, MissingPictureLeavesNoTexture) {
    FakeMenu menu;
    MenuItemPicture picture(&menu);
    picture.setType(TYPE_STRING);
    picture.setValue(Value::ofString("no_such_picture.bmp"));
    EXPECT_EQ(picture.getTexture(), 0u);
    EXPECT_EQ(picture.getValue().stringValue, "no_such_picture.bmp");
}

TEST_F(MenuItemGlTest, BoolBoxesShowTheStateAndTheEnableFlag) {
    FakeMenu menu;
    NSWindow::WindowItem root(false);
    root.setLayout(NSWindow::ItemLayout(0, 0, 800, 600));
    auto* flag = new MenuItemBool(&menu);
    root.addChild(flag);
    flag->setType(TYPE_BOOL);
    flag->setLayout(NSWindow::ItemLayout(0, 0, 155, 40));
    flag->setValue(Value::ofBool(true));

    auto boxes = [&]() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        flag->draw();
        glFinish();
        // Window rows count from the bottom: item row 26 is 600 - 26.
        auto trueBox = qbntest::readPixels(30, 600 - 27, 1, 1);
        auto falseBox = qbntest::readPixels(90, 600 - 27, 1, 1);
        return std::vector<int>{trueBox[0], trueBox[1], falseBox[0], falseBox[1]};
    };
    std::vector<int> off = boxes(); // disabled
    EXPECT_NEAR(off[0], 166, 2);
    EXPECT_NEAR(off[2], 102, 2);
    flag->setEnabled(true);
    std::vector<int> on = boxes();
    EXPECT_EQ(on[0], 0);
    EXPECT_EQ(on[1], 255);
    EXPECT_NEAR(on[2], 102, 2);
}
