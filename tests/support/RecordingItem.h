#pragma once
// A window item that records the input it receives and can refuse it.
#include <string>
#include <vector>

#include "ui/WindowItem.h"

namespace qbntest {

class RecordingItem : public NSWindow::WindowItem {
public:
    explicit RecordingItem(bool yUp = false, bool handles = true) : WindowItem(yUp), handles(handles) {}

    struct Event {
        std::string kind;
        int a, b, x, y;
    };

    bool mouseButton(int button, int state, int modifiers, int x, int y) override {
        events.push_back({state == 0 ? "press" : "release", button, modifiers, x, y});
        bool taken = WindowItem::mouseButton(button, state, modifiers, x, y);
        return taken || handles;
    }
    bool mouseDrag(int modifiers, int x, int y) override {
        events.push_back({"drag", modifiers, 0, x, y});
        return handles;
    }
    bool mouseMove(int buttons, int x, int y) override {
        events.push_back({"move", buttons, 0, x, y});
        return handles;
    }
    void pointerLeft() override {
        events.push_back({"left", 0, 0, 0, 0});
        WindowItem::pointerLeft();
    }
    bool keyPressed(int key, int modifiers, bool special) override {
        events.push_back({special ? "special" : "key", key, modifiers, 0, 0});
        bool taken = WindowItem::keyPressed(key, modifiers, special);
        return taken || handles;
    }
    void focusLost() override {
        events.push_back({"lost", 0, 0, 0, 0});
        WindowItem::focusLost();
    }
    bool wantsContinuousFrames() const override { return animates || WindowItem::wantsContinuousFrames(); }
    void draw() override { ++draws; }
    void update() override {
        ++updates;
        WindowItem::update();
    }

    bool handles, animates = false;
    std::vector<Event> events;
    int draws = 0;
    int updates = 0;
};

} // namespace qbntest
