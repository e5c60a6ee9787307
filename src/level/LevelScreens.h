#pragma once
// The three full-window overlays of the level controller: the information
// panel ("PLAY"), the win screen ("BACK", "NEXT") and the text input of the
// custom level's name or description ("SAVE").
#include <string>
#include <vector>

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

// One line of the information panel as drawn: where its baseline starts
// (units from the panel's top left) and what it shows.
struct PanelLine {
    enum Kind { Title, Win, Text } kind;
    int x, y;
    std::string text;
};

// The panel and the win screen lie over the whole window and take every
// click and hover: nothing behind them is clicked or lit.
class LevelInfo : public NSWindow::WindowItem {
public:
    explicit LevelInfo(ControllerLevel& controller);
    // The wheel scrolls a text taller than the window.
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    bool mouseMove(int, int, int) override { return true; }
    void draw() override;
    LevelInfoExitButton* getButton() const { return button; }

    // The current level's title, win and text, wrapped to the panel's width
    // and the text scrolled; the text shows between textTop() and
    // textBottom() (baselines).
    std::vector<PanelLine> layout();
    int textTop() const { return top; }
    int textBottom() const;
    // The edge no line passes: left of the menu column where that leaves
    // the text room enough, else the window's own edge.
    int rightEdge() const;

private:
    ControllerLevel& controller;
    LevelInfoExitButton* button;
    int scroll = 0; // units the text is scrolled up
    int top = 0;
    const void* scrolledLevel = nullptr;
};

// "Level won!", how (the time and the runs), "BACK" and "NEXT".
class LevelScreenWin : public NSWindow::WindowItem {
public:
    explicit LevelScreenWin(ControllerLevel& controller);
    void draw() override;
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    bool mouseMove(int, int, int) override { return true; }
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
