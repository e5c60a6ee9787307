#pragma once
// The two dragging widgets: a slider that maps its 88 pixel track onto the
// value range, and an accelerator (a position bar) that keeps sending a rate
// while it is held. Both show their number, which a click opens for typing.

#include "menu/MenuItemNumber.h"

namespace NSMenu {

class MenuItemSlider : public MenuItemNumber {
public:
    explicit MenuItemSlider(MenuItemHost* menu);
    // A press counts as a drag to the press point; with SHIFT held the knob
    // moves a tenth of a pixel toward it, and a drag moves it a tenth of the
    // pointer's way. A press on the number opens it for typing.
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    bool mouseDrag(int modifiers, int x, int y) override;
    // Float sliders: "4"/"d" and "6"/"f" nudge the knob by a quarter pixel.
    bool keyPressed(int key, int modifiers, bool special) override;
    // The knob goes where the value lies, so that the fine gestures start there.
    void setValue(const Value& v) override;
    Value getValue() const override { return value; }
    // The range follows a range constraint, else the type's default range.
    void setType(unsigned t) override;
    void setConstraint(const ValueConstraint* c) override;

    float getMin() const { return min; }
    float getMax() const { return max; }
    float getKnobOffset() const { return knobOffset; }
    // Moves the knob to p pixels from the track start and offers the value.
    void setKnob(float p);
    // What the line shows beside the track: a switch's word in the player's
    // language ("on"), a letter, or the number.
    std::string valueText() const;

    // A SHIFT gesture moves the knob this share of the pointer's way.
    static constexpr float kFineShare = 0.1f;

protected:
    void drawContent() override;
    bool typeable() const override { return type == TYPE_FLOAT || type == TYPE_INT; }
    Box numberBox() const override { return {115, 19, 155, 36}; }
    float shownValue() const override;
    bool applyTyped(float typed) override;
    void syncNumber() override;

private:
    // Offers v with the knob at p; keeps both only when the change is taken.
    bool offer(const Value& v, float p);
    // Pixels from the track's start at which v lies.
    float knobOf(const Value& v) const;

    Value value;
    float min = 0.0f;
    float max = 100.0f;
    float resolution = 1.0f;
    float knobOffset = 0.0f;
    // Pressed on the track and not yet released.
    bool dragging = false;
    // Pressed with SHIFT: the knob follows a tenth of the pointer's way
    // from where it was when the pointer was at anchorX.
    bool fine = false;
    int anchorX = 0;
    float anchorKnob = 0.0f;
};

class MenuItemAccelerator : public MenuItemNumber {
public:
    explicit MenuItemAccelerator(MenuItemHost* menu) : MenuItemNumber(menu, true) {}
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    bool mouseDrag(int modifiers, int x, int y) override;
    bool keyPressed(int key, int modifiers, bool special) override;
    // While held, offers the rate once per update.
    void update() override;
    bool wantsContinuousFrames() const override { return pressed; }
    // The value given is the one the bar moves (a position) and is shown as
    // its number; the rate is only set by the bar.
    void setValue(const Value& v) override { shown = v.floatValue; }
    Value getValue() const override { return value; }
    void setType(unsigned t) override;
    void setConstraint(const ValueConstraint* c) override;
    // The label leaves room for the number at the end of its line.
    int labelRoom() const override { return kLabelWidth - 52; }

    float getMin() const { return min; }
    float getMax() const { return max; }
    bool isPressed() const { return pressed; }

protected:
    void drawContent() override;
    // Only a bar whose owner takes a typed value under a label of its own.
    bool typeable() const override { return !number.getReadout().typedLabel.empty(); }
    Box numberBox() const override { return {91, 2, 155, 19}; }
    float shownValue() const override { return shown; }
    bool applyTyped(float typed) override;
    void syncNumber() override;

private:
    bool nudge(int x, int y);

    Value value;
    float min = -10.0f;
    float max = 100.0f;
    float shown = 0.0f;
    bool pressed = false;
};

} // namespace NSMenu
