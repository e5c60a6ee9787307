#pragma once
// The two dragging widgets: a slider that maps its 88 pixel track onto the
// value range, and an accelerator that keeps sending a rate while it is held.

#include "menu/MenuItem.h"

namespace NSMenu {

class MenuItemSlider : public MenuItem {
public:
    explicit MenuItemSlider(MenuItemHost* menu);
    // A press counts as a drag to the press point.
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    bool mouseDrag(int modifiers, int x, int y) override;
    // Float sliders: "4"/"d" and "6"/"f" nudge the knob by a quarter pixel.
    bool keyPressed(int key, int modifiers, bool special) override;
    void setValue(const Value& v) override { value = v; }
    Value getValue() const override { return value; }
    // The range follows a range constraint, else the type's default range.
    void setType(unsigned t) override;
    void setConstraint(const ValueConstraint* c) override;

    float getMin() const { return min; }
    float getMax() const { return max; }
    float getKnobOffset() const { return knobOffset; }
    // Moves the knob to p pixels from the track start and offers the value.
    void setKnob(float p);

protected:
    void drawContent() override;

private:
    Value value;
    float min = 0.0f;
    float max = 100.0f;
    float resolution = 1.0f;
    float knobOffset = 0.0f;
    // Pressed on the track and not yet released.
    bool dragging = false;
};

class MenuItemAccelerator : public MenuItem {
public:
    explicit MenuItemAccelerator(MenuItemHost* menu) : MenuItem(menu, true) {}
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    bool mouseDrag(int modifiers, int x, int y) override;
    // While held, offers the rate once per update.
    void update() override;
    bool wantsContinuousFrames() const override { return pressed; }
    // The rate is only set by the bar.
    void setValue(const Value&) override {}
    Value getValue() const override { return value; }
    void setType(unsigned t) override;
    void setConstraint(const ValueConstraint* c) override;

    float getMin() const { return min; }
    float getMax() const { return max; }
    bool isPressed() const { return pressed; }

protected:
    void drawContent() override;

private:
    Value value;
    float min = -10.0f;
    float max = 100.0f;
    bool pressed = false;
};

} // namespace NSMenu
