#pragma once
#include <string>

#include "shell/Timer.h"
#include "ui/WindowItem.h"

namespace NSWindow {

// A message that fades in, holds and fades out, then removes itself. The
// window's messages stack, so that messages arriving together are all read:
// each shows in a band of its own below those still showing (the oldest on
// top, the bands closing up as they go); at most kMaxShown show at once and
// later ones wait, their time not yet running, for a free band. A message
// with the text of one already stacked replaces it (a toggle pressed twice
// shows its new state once).
class WindowTempPopUp : public WindowItem {
public:
    static constexpr int kMaxShown = 4;
    static constexpr int kBandHeight = 30;
    static constexpr int kBandGap = 4;

    // stacked: one of the window's messages, laid out by the stack; other
    // pop-ups are placed by their owner and wait for nothing.
    WindowTempPopUp(const std::string& text, float holdTime, float fadeTime, bool stacked);
    ~WindowTempPopUp() override;

    void onAttach() override;
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
    // Waiting for a band: not shown, its time not running.
    bool isWaiting() const { return stacked && !started; }
    // The newest stacked message, or null.
    static WindowTempPopUp* current();
    // The place of band number `band` (0 at the middle of the window).
    static ItemLayout bandLayout(int band);

    // Fading as a function of the seconds since it began to show; false
    // once the pop-up has run its course (it has then asked to be removed).
    bool advance(float seconds);

private:
    // Asks to be removed, once; it then no longer holds a band.
    void finish();

    bool stacked;
    bool started;
    bool finished = false;
    int band = -1;
    Timer timer;
    std::string text;
    float alpha = 0.0f;
    float backgroundAlpha = 0.0f;
    float holdTime;
    float fadeTime;
};

} // namespace NSWindow
