#include "level/LevelScreens.h"

#include <GL/gl.h>

#include "level/ControllerLevel.h"
#include "level/Progress.h"
#include "editable/EditorMode.h"
#include "resources/GLFont.h"
#include "shell/Language.h"

namespace NSLevel {

namespace {

const NSWindow::ItemLayout kFirstButton(20, 83, 64, 24);
const NSWindow::ItemLayout kSecondButton(20, 115, 64, 24);

// Grey veil over the whole item, drawn in pixels from the top left.
void beginOverlay(NSWindow::WindowItem& item, float grey, float alpha) {
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    item.begin2D(0, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(grey, grey, grey, alpha);
    glRectf(0, 0, static_cast<float>(item.getScreenArea().width),
            static_cast<float>(item.getScreenArea().height));
}

// The level texts are printed as they are: a "%" in them shows as one.
void printBlock(NSGraphic::GLFont* font, int x, int y, float spacing, const std::string& text) {
    if (font)
        font->printLines(x, y, spacing, "%s", text.c_str());
}

} // namespace

LevelButton::LevelButton(ControllerLevel& controller, const char* label)
    : WindowButton(0), controller(controller), label(label) {}

void LevelButton::drawButton() {
    glColor3f(0.3f, 0.0f, 0.0f);
    glRectf(0.1f, 0.1f, 0.9f, 0.9f);
    glLineWidth(2.0f);
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(0.1f, 0.1f);
    glVertex2f(0.1f, 0.9f);
    glVertex2f(0.9f, 0.9f);
    glVertex2f(0.9f, 0.1f);
    glEnd();
    glRasterPos2f(0.2f, 0.7f);
    if (NSGraphic::GLFont* font = getLabelFont())
        font->print("%s", tr(label).c_str());
}

bool LevelButton::mouseButton(int button, int state, int, int, int) {
    // The left press acts; its release is swallowed, so a click acts once
    // even if the release arrives while the overlay is still shown.
    if (button == 0 && state == 0)
        act(state);
    return true;
}

void LevelInfoExitButton::act(int) { controller.toggleInfo(); }
void LevelScreenWinButtonAdvance::act(int) { controller.nextLevel(); }
void LevelScreenWinButtonBack::act(int) { controller.backToCurrentLevel(); }
void LevelScreenInputSave::act(int) { controller.showInput(false, true); }

LevelInfo::LevelInfo(ControllerLevel& controller)
    : WindowItem(false), controller(controller), button(new LevelInfoExitButton(controller)) {
    button->setLayout(kFirstButton);
    addChild(button);
}

bool LevelInfo::mouseButton(int button, int state, int modifiers, int x, int y) {
    // The panel lies over the whole window: nothing behind it is clicked.
    WindowItem::mouseButton(button, state, modifiers, x, y);
    return true;
}

void LevelInfo::draw() {
    Level* level = controller.currentLevel();
    if (!level)
        return;
    beginOverlay(*this, 0.4f, 0.7f);
    glColor3f(0.0f, 1.0f, 0.0f);
    printBlock(getLabelFont(), 100, 100, 1.5f, tr(level->getInfoText()));
    glColor3f(0.0f, 0.0f, 1.0f);
    NSGraphic::GLFont* font = getLabelFont();
    int titleY = static_cast<int>((font ? font->getSize() : 0.0f) + 50.0f);
    printBlock(font, static_cast<int>(0.2f * static_cast<float>(getScreenArea().width)), titleY, 1.0f,
               tr(level->getName()));
    const Progress* progress = controller.progress();
    if (progress && level != controller.customLevel() && progress->isWon(controller.currentIndex())) {
        glColor3f(1.0f, 1.0f, 0.0f);
        printBlock(font, static_cast<int>(0.2f * static_cast<float>(getScreenArea().width)), titleY + 20, 1.0f,
                   describeWin(progress->level(controller.currentIndex())));
    }
    glPopAttrib();
    WindowItem::draw();
}

LevelScreenWin::LevelScreenWin(ControllerLevel& controller)
    : WindowItem(false), controller(controller), back(new LevelScreenWinButtonBack(controller)),
      advance(new LevelScreenWinButtonAdvance(controller)) {
    back->setLayout(kFirstButton);
    advance->setLayout(kSecondButton);
    addChild(back);
    addChild(advance);
}

void LevelScreenWin::draw() {
    if (!controller.currentLevel())
        return;
    beginOverlay(*this, 0.5f, 0.5f);
    glColor3f(0.0f, 1.0f, 0.0f);
    NSGraphic::GLFont* font = getLabelFont();
    printBlock(font, 110, 100, 1.0f, tr("Back to current level"));
    // A custom level has no next level.
    bool levelMode = !NSMenu::isCustomMode();
    advance->setVisible(levelMode);
    if (levelMode)
        printBlock(font, 110, 132, 1.0f, tr("Advance to next level"));
    glPopAttrib();
    WindowItem::draw();
}

LevelScreenInput::LevelScreenInput(ControllerLevel& controller)
    : WindowItem(false), controller(controller) {
    auto* save = new LevelScreenInputSave(controller);
    save->setLayout(kFirstButton);
    addChild(save);
}

void LevelScreenInput::draw() {
    Level* level = controller.currentLevel();
    if (!level)
        return;
    beginOverlay(*this, 0.4f, 0.7f);
    NSGraphic::GLFont* font = getLabelFont();
    glColor3f(0.0f, 1.0f, 0.0f);
    printBlock(font, 100, 100, 1.5f,
               tr(nameMode ? "Levelnamen eingeben:" : "Beschreibung f\xFCr Level eingeben:"));
    glColor3f(1.0f, 1.0f, 0.0f);
    printBlock(font, static_cast<int>(0.2f * static_cast<float>(getScreenArea().width)), 150, 1.5f,
               nameMode ? level->getName() : level->getInfoText());
    glPopAttrib();
    WindowItem::draw();
}

bool LevelScreenInput::keyPressed(int key, int, bool special) {
    Level* level = controller.currentLevel();
    if (!level || special)
        return true;
    std::string text = nameMode ? level->getName() : level->getInfoText();
    if (key == 8 || key == 127) {
        if (!text.empty())
            text.pop_back();
    } else if (key == 13) {
        if (!nameMode)
            text += '\n';
    } else if (key > 0 && key < 256) {
        text += static_cast<char>(key);
    }
    if (nameMode)
        level->setName(text);
    else
        level->setInfoText(text);
    return true;
}

bool LevelScreenInput::mouseButton(int button, int state, int modifiers, int x, int y) {
    WindowItem::mouseButton(button, state, modifiers, x, y);
    return true;
}

} // namespace NSLevel
