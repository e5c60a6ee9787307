#pragma once
#include <string>

#include "shell/Timer.h"
#include "ui/WindowItem.h"

namespace NSWindow {

// A message that fades in, holds and fades out, then removes itself. Only one
// exclusive pop-up shows at a time: a new one replaces the old at once.
class WindowTempPopUp : public WindowItem {
public:
    WindowTempPopUp(const std::string& text, float holdTime, float fadeTime, bool exclusive);
    ~WindowTempPopUp() override;

    void update() override;
    void draw() override;
    // It fades as long as it lives.
    bool wantsContinuousFrames() const override { return true; }
    bool mouseButton(int, int, int, int, int) override { return false; }
    bool mouseDrag(int, int, int) override { return false; }
    bool mouseMove(int, int, int) override { return false; }
    bool keyPressed(int, int, bool) override { return false; }

    const std::string& getText() const { return text; }
    float getAlpha() const { return alpha; }
    float getBackgroundAlpha() const { return backgroundAlpha; }
    // The exclusive pop-up showing now, or null.
    static WindowTempPopUp* current();

    // Fading as a function of the seconds since construction; false once the
    // pop-up has run its course (it has then asked to be removed).
    bool advance(float seconds);

private:
    bool exclusive;
    Timer timer;
    std::string text;
    float alpha = 0.0f;
    float backgroundAlpha = 0.0f;
    float holdTime;
    float fadeTime;
};

} // namespace NSWindow
