#pragma once
// The three full-window overlays of the level controller: the information
// panel ("PLAY"), the win screen ("BACK", "NEXT") and the text input of the
// custom level's name or description ("SAVE").
#include <string>

#include "ui/WindowButton.h"
#include "ui/WindowItem.h"

namespace NSLevel {

class ControllerLevel;

// A red-framed button with its label, in the unit square.
class LevelButton : public NSWindow::WindowButton {
public:
    LevelButton(ControllerLevel& controller, const char* label);
    void drawButton() override;
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    const std::string& getLabel() const { return label; }

protected:
    // What the button does; called once per click.
    virtual void act(int state) = 0;
    ControllerLevel& controller;

private:
    std::string label;
};

class LevelInfoExitButton : public LevelButton {
public:
    explicit LevelInfoExitButton(ControllerLevel& c) : LevelButton(c, "PLAY") {}

protected:
    void act(int state) override;
};

class LevelScreenWinButtonAdvance : public LevelButton {
public:
    explicit LevelScreenWinButtonAdvance(ControllerLevel& c) : LevelButton(c, "NEXT") {}

protected:
    void act(int state) override;
};

class LevelScreenWinButtonBack : public LevelButton {
public:
    explicit LevelScreenWinButtonBack(ControllerLevel& c) : LevelButton(c, "BACK") {}

protected:
    void act(int state) override;
};

class LevelScreenInputSave : public LevelButton {
public:
    explicit LevelScreenInputSave(ControllerLevel& c) : LevelButton(c, "SAVE") {}

protected:
    void act(int state) override;
};

class LevelInfo : public NSWindow::WindowItem {
public:
    explicit LevelInfo(ControllerLevel& controller);
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    void draw() override;
    LevelInfoExitButton* getButton() const { return button; }

private:
    ControllerLevel& controller;
    LevelInfoExitButton* button;
};

class LevelScreenWin : public NSWindow::WindowItem {
public:
    explicit LevelScreenWin(ControllerLevel& controller);
    void draw() override;
    LevelScreenWinButtonAdvance* getAdvance() const { return advance; }
    LevelScreenWinButtonBack* getBack() const { return back; }

private:
    ControllerLevel& controller;
    LevelScreenWinButtonBack* back;
    LevelScreenWinButtonAdvance* advance;
};

class LevelScreenInput : public NSWindow::WindowItem {
public:
    explicit LevelScreenInput(ControllerLevel& controller);
    void draw() override;
    bool keyPressed(int key, int modifiers, bool special) override;
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    void setNameMode(bool nameMode) { this->nameMode = nameMode; }
    bool isNameMode() const { return nameMode; }

private:
    ControllerLevel& controller;
    bool nameMode = true;
};

} // namespace NSLevel
