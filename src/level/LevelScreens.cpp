#include "level/LevelScreens.h"

#include <GL/gl.h>

#include <algorithm>

#include "level/ControllerLevel.h"
#include "level/Progress.h"
#include "editable/EditorMode.h"
#include "resources/GLFont.h"
#include "shell/Language.h"
#include "ui/TextWrap.h"

namespace NSLevel {

namespace {

// The information panel: the text right of "PLAY", its first baseline, the
// room kept free at the window's edges; the menu column (with a gap) that
// the lines keep clear of where that leaves them kNarrowest; a wheel notch.
constexpr int kTextX = 100;
constexpr int kTextTop = 100;
constexpr int kEdgeMargin = 10;
constexpr int kMenuColumn = 175;
constexpr int kNarrowest = 300;
constexpr int kWheelStep = 40;
constexpr float kTextSpacing = 1.5f;
// From the title's last line to the win line, and from either to the text.
constexpr int kWinGap = 20;
constexpr int kTextGap = 17;

const NSWindow::ItemLayout kFirstButton(20, 83, 64, 24);
const NSWindow::ItemLayout kSecondButton(20, 115, 64, 24);

// The veils are dark and nearly opaque, and the title light: every text
// keeps a contrast of at least 4.5:1 even over a white scene.
constexpr float kVeilGrey = 0.1f;
constexpr float kVeilAlpha = 0.85f;
// The win screen's veil is a shade lighter, so the two tell apart.
constexpr float kWinVeilGrey = 0.15f;
constexpr float kWinVeilAlpha = 0.8f;
const float kTitleColour[3] = {0.45f, 0.7f, 1.0f};
const float kWinColour[3] = {1.0f, 1.0f, 0.0f};
const float kTextColour[3] = {0.0f, 1.0f, 0.0f};

// Dark veil over the whole item, drawn in pixels from the top left.
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
    glColor3f(1.0f, 1.0f, 0.6f);
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
    if (state == 0 && (button == NSWindow::kWheelUpButton || button == NSWindow::kWheelDownButton))
        scroll += button == NSWindow::kWheelUpButton ? -kWheelStep : kWheelStep; // kept in range by layout()
    else
        WindowItem::mouseButton(button, state, modifiers, x, y);
    return true;
}

int LevelInfo::rightEdge() const {
    const int width = getScreenArea().width;
    return width - kMenuColumn - kTextX >= kNarrowest ? width - kMenuColumn : width - kEdgeMargin;
}

int LevelInfo::textBottom() const { return getScreenArea().height - kEdgeMargin; }

std::vector<PanelLine> LevelInfo::layout() {
    std::vector<PanelLine> lines;
    Level* level = controller.currentLevel();
    auto* font = dynamic_cast<NSGraphic::GLFontBitmap*>(getLabelFont());
    if (!level || !font)
        return lines;
    if (scrolledLevel != level)
        scroll = 0;
    scrolledLevel = level;
    const auto measure = [font](const std::string& text) { return font->textWidth(text); };
    const int size = static_cast<int>(font->getSize());
    // The title (and the win) from a fifth of the width, the text right of
    // "PLAY" and below them.
    const int titleX = getScreenArea().width / 5;
    int y = 50; // the baseline of the line drawn last
    for (const std::string& line : NSWindow::wrapText(tr(level->getName()), rightEdge() - titleX, measure))
        lines.push_back({PanelLine::Title, titleX, y += size, line});
    const Progress* progress = controller.progress();
    if (progress && level != controller.customLevel() && progress->isWon(controller.currentIndex())) {
        int step = kWinGap;
        for (const std::string& line :
             NSWindow::wrapText(describeWin(progress->level(controller.currentIndex())), rightEdge() - titleX, measure))
            lines.push_back({PanelLine::Win, titleX, y += step, line}), step = size;
    }
    top = std::max(kTextTop, y + kTextGap);
    const std::vector<std::string> text = NSWindow::wrapText(tr(level->getInfoText()), rightEdge() - kTextX, measure);
    const float spacing = kTextSpacing * static_cast<float>(size);
    const int last = text.empty() ? top : top + static_cast<int>(spacing * static_cast<float>(text.size() - 1));
    scroll = std::max(0, std::min(scroll, last + size / 4 - textBottom()));
    for (size_t i = 0; i < text.size(); ++i)
        lines.push_back({PanelLine::Text, kTextX, top + static_cast<int>(spacing * static_cast<float>(i)) - scroll, text[i]});
    return lines;
}

void LevelInfo::draw() {
    const std::vector<PanelLine> lines = layout();
    if (!controller.currentLevel())
        return;
    beginOverlay(*this, kVeilGrey, kVeilAlpha);
    NSGraphic::GLFont* font = getLabelFont();
    const int size = font ? static_cast<int>(font->getSize()) : 0;
    // The text scrolled shows only between the title and the bottom edge;
    // triangles at the right mark more of it above or below.
    const NSWindow::ItemLayout& area = getScreenArea(); // y up, where the panel's own y runs down
    const int clipTop = top - size, clipBottom = textBottom() + size / 2;
    const NSWindow::ItemLayout clip = NSWindow::toPixels(
        NSWindow::ItemLayout(area.x, area.y + area.height - clipBottom, area.width, clipBottom - clipTop));
    bool above = false, below = false;
    for (const PanelLine& line : lines) {
        if (line.kind == PanelLine::Text) {
            above = above || line.y < top;
            below = below || line.y > textBottom();
            glEnable(GL_SCISSOR_TEST);
            glScissor(clip.x, clip.y, clip.width, clip.height);
        }
        const float* colour = line.kind == PanelLine::Title ? kTitleColour : line.kind == PanelLine::Win ? kWinColour : kTextColour;
        glColor3fv(colour);
        printBlock(font, line.x, line.y, 1.0f, line.text);
        glDisable(GL_SCISSOR_TEST);
    }
    glColor3fv(kTextColour);
    const float x = static_cast<float>(rightEdge() - size);
    for (int end = 0; end < 2; ++end) {
        if (!(end ? below : above))
            continue;
        const float tip = static_cast<float>(end ? textBottom() : top - size), base = tip + (end ? -8.0f : 8.0f);
        glBegin(GL_TRIANGLES);
        glVertex2f(x, tip), glVertex2f(x - 6.0f, base), glVertex2f(x + 6.0f, base);
        glEnd();
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
    beginOverlay(*this, kWinVeilGrey, kWinVeilAlpha);
    NSGraphic::GLFont* font = getLabelFont();
    glColor3f(1.0f, 1.0f, 0.0f);
    printBlock(font, 110, 45, 1.0f, tr("Level won!"));
    if (const LevelProgress* win = controller.lastWin(); win && win->won)
        printBlock(font, 110, 67, 1.0f, describeWin(*win));
    glColor3f(0.0f, 1.0f, 0.0f);
    printBlock(font, 110, 100, 1.0f, tr("Back to current level"));
    // A custom level has no next level.
    bool levelMode = !NSMenu::isCustomMode();
    advance->setVisible(levelMode);
    if (levelMode)
        printBlock(font, 110, 132, 1.0f, tr("Advance to next level"));
    glPopAttrib();
    WindowItem::draw();
}

bool LevelScreenWin::mouseButton(int button, int state, int modifiers, int x, int y) {
    WindowItem::mouseButton(button, state, modifiers, x, y);
    return true;
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
    beginOverlay(*this, kVeilGrey, kVeilAlpha);
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
