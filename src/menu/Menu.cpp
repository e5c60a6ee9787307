#include "menu/Menu.h"

#include <GL/gl.h>

#include <cstdio>

#include "level/ControllerLevel.h"
#include "level/LevelScreens.h"
#include "menu/MenuItem.h"
#include "menu/MenuSlider.h"
#include "menu/TextFit.h"
#include "resources/GLFont.h"
#include "resources/LoaderGLFont.h"
#include "shell/Language.h"
#include "scene/Scene.h"
#include "objects/NodeGraphic.h"
#include "shell/Host.h"

namespace NSMenu {

using NSWindow::ItemLayout;
using NSWindow::kWheelDownButton;
using NSWindow::kWheelUpButton;

Menu::Menu(NSScene::Scene* scene, NSLevel::ControllerLevel* levels)
    : WindowItem(false), scene(scene), levels(levels), slider(new MenuSlider()) {
    addChild(slider);
    // The rightmost 15 pixels of the column, at full height.
    slider->setLayout(ItemLayout(-15, 0, 15, 0, 3, 1, 0, 2));
    slider->setVisible(false);
    setTouched();
}

Menu::~Menu() = default;

// --- fonts -------------------------------------------------------------------

NSGraphic::GLFont* Menu::getLabelFont(bool enabled) {
    if (enabled)
        glColor3f(1.0f, 0.5f, 1.0f);
    else
        glColor3f(0.5f, 0.5f, 0.5f);
    if (!labelFontMenu)
        labelFontMenu = NSLoader::LoaderGLFontBitmap::instance().get("Verdana 12 700");
    return labelFontMenu;
}

NSGraphic::GLFont* Menu::getValueFont(bool enabled) {
    if (enabled)
        glColor3f(0.0f, 1.0f, 1.0f);
    else
        glColor3f(0.2f, 0.5f, 0.5f);
    if (!valueFontMenu)
        valueFontMenu = NSLoader::LoaderGLFontBitmap::instance().get("Courier New 12 400");
    return valueFontMenu;
}

// --- building the column -----------------------------------------------------

std::vector<MenuItem*> Menu::items() const {
    std::vector<MenuItem*> result;
    for (WindowItem* child : getChildren())
        if (auto* item = dynamic_cast<MenuItem*>(child))
            result.push_back(item);
    return result;
}

MenuItem* Menu::findItem(const std::string& label) const {
    for (MenuItem* item : items())
        if (item->getLabel() == label)
            return item;
    return nullptr;
}

Value Menu::findItemValue(const std::string& label) const {
    MenuItem* item = findItem(label);
    return item ? item->getValue() : Value();
}

void Menu::rebuild() {
    touched = false;
    ++rebuildCount;
    if (scene)
        selected = scene->getSelected();
    dropStalePointers();
    for (MenuItem* item : items())
        delete item;

    const std::vector<MenuEntry> list = pageEntries();
    int y = kTopMargin;
    int total = 0;
    bool lastWasSeparator = false;
    for (const MenuEntry& entry : list) {
        const bool separator = entry.kind == KIND_SEPARATOR;
        // Two gap lines never follow each other.
        if (separator && lastWasSeparator)
            continue;
        MenuItem* item = createMenuItem(entry.kind, this);
        if (!item)
            continue;
        lastWasSeparator = separator;
        if (!separator) {
            item->setType(entry.type);
            item->setEnabled(entry.enabled && !readOnly);
            item->setLabel(entry.label);
            item->setConstraint(entry.constraint.get());
            item->setReadout(entry.readout);
            item->setValue(entry.value);
            item->setOwner(entry.owner);
        }
        const int height = entryHeight(entry.kind);
        addChild(item);
        item->setLayout(ItemLayout(0, y, kItemWidth, height));
        y += height;
        total += height;
    }
    const std::string key = pageKey();
    slider->setContentHeight(total, key == shownPage);
    shownPage = key;
    layoutItems();
}

void Menu::sceneReplaced() {
    clearObjectPages();
    rebuild();
}

std::string Menu::pageKey() const {
    char key[256];
    // The id, not the pointer: stopping the machine reloads the scene and
    // selects the same object again as a new node.
    std::snprintf(key, sizeof key, "%d %d %d %p %d%d%d%d%d%d %d %p %p %p", selected ? selected->getId() : -1,
                  int(isLevelMode()), int(isTestMode()), seenLevel, int(page.managementOpen), int(page.goalsOpen),
                  int(page.attachOpen), int(page.physicsOpen), int(page.propertiesOpen), int(page.constraintsOpen),
                  page.selectedGoal, static_cast<void*>(page.editedPhysics), static_cast<void*>(page.editedProperty),
                  static_cast<void*>(page.editedConstraint));
    return key;
}

void Menu::layoutItems() {
    int y = kTopMargin - slider->getOffset();
    for (MenuItem* item : items()) {
        // Another item lies under the pointer now; the next move shows it.
        item->pointerLeft();
        ItemLayout l = item->getLayout();
        l.y = y;
        item->setLayout(l);
        y += l.height;
    }
}

void Menu::refreshValues() {
    for (MenuItem* item : items())
        if (MenuConfigureable* owner = item->getOwner())
            item->setValue(owner->getMenuValue(item->getLabel()));
}

// --- the update tick ---------------------------------------------------------

void Menu::update() {
    WindowItem::update();
    ++updateCount;

    if (levels) {
        const long index = static_cast<long>(levels->currentIndex());
        const void* level = levels->currentLevel();
        if (index != seenLevelIndex || level != seenLevel) {
            seenLevelIndex = index;
            seenLevel = level;
            setTouched();
        }
    }
    noteModeChange();
    NSNode::NodeGraphic* sceneSelection = scene ? scene->getSelected() : nullptr;
    const bool running = scene && scene->isRunning();
    if (sceneSelection == selected) {
        if (running != readOnly) {
            readOnly = running;
            clearObjectPages();
            setTouched();
        }
    } else {
        // Another object's page: the sub-pages of the old one make no sense.
        clearObjectPages();
        setTouched();
    }
    if (slider->takeScrollChanged())
        layoutItems();
    if (touched) {
        rebuild();
        return;
    }
    if (updateCount >= kRefreshTicks) {
        updateCount = 0;
        refreshValues();
    }
}

// --- input and drawing -------------------------------------------------------

bool Menu::mouseButton(int button, int state, int modifiers, int x, int y) {
    // Clicks on the menu never reach the scene below. The wheel scrolls the
    // column; only the left button reaches the items.
    if (button == kWheelUpButton || button == kWheelDownButton) {
        if (state == 0)
            slider->scrollBy(button == kWheelUpButton ? -kWheelStep : kWheelStep);
        return true;
    }
    if (button != 0)
        return true;
    leftHeld = state == 0;
    WindowItem::mouseButton(button, state, modifiers, x, y);
    return true;
}

bool Menu::mouseDrag(int modifiers, int x, int y) {
    // The item that got the press follows the pointer even when it leaves
    // the item (a slider dragged past its end stops at the end).
    if (!leftHeld || !focus || !focus->isEnabled() || !focus->isVisible())
        return false;
    toChild(focus, x, y);
    return focus->mouseDrag(modifiers, x, y);
}

bool Menu::keyPressed(int key, int modifiers, bool special) {
    if (WindowItem::keyPressed(key, modifiers, special))
        return true;
    return commandKey(key, special);
}

bool Menu::commandKey(int key, bool special) {
    if (!special && (key == 27 || key == ' ')) {
        if (scene)
            scene->select(nullptr);
        return true;
    }
    if (!special && key == 127) {
        if (levels && levels->state().mayEdit() && !readOnly && selected)
            deleteSelected();
        return true;
    }
    return false;
}

void Menu::draw() {
    begin2D(0, 0);
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    const float w = static_cast<float>(area.width);
    const float h = static_cast<float>(area.height);
    glColor3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex3f(2.0f, 0.0f, -1.0f);
    glVertex3f(w, 0.0f, -1.0f);
    glVertex3f(w, h, -1.0f);
    glVertex3f(2.0f, h, -1.0f);
    glColor3f(0.5f, 0.5f, 0.5f);
    glVertex3f(0.0f, 0.0f, -1.0f);
    glVertex3f(2.0f, 0.0f, -1.0f);
    glVertex3f(2.0f, h, -1.0f);
    glVertex3f(0.0f, h, -1.0f);
    glEnd();
    WindowItem::draw();
    glPopAttrib();
    drawWholeLabel();
}

// A label cut short shows whole while the pointer is over its item: on a
// dark box over the item's label line, reaching left into the view.
void Menu::drawWholeLabel() {
    MenuItem* shown = nullptr;
    for (MenuItem* item : items())
        if (item->isHovered() && item->isVisible() && item->isLabelClipped())
            shown = item;
    if (!shown)
        return;
    const WindowItem* root = this;
    while (root->getParent())
        root = root->getParent();
    const ItemLayout& w = root->getScreenArea();
    const ItemLayout& s = shown->getScreenArea();
    NSGraphic::GLFont* font = getLabelFont(true);
    const int right = s.x + kItemWidth;
    const int left = right - textWidthOf(font, tr(shown->getLabel())) - 12;
    const int top = s.y + s.height;
    NSWindow::setViewportOver(w);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(w.x, w.x + w.width, w.y, w.y + w.height, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glColor3f(0.1f, 0.1f, 0.22f);
    glRectf(float(left), float(top - 19), float(right), float(top));
    glColor3f(0.5f, 0.5f, 1.0f);
    glLineWidth(1.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(float(left), float(top - 19));
    glVertex2f(float(right), float(top - 19));
    glVertex2f(float(right), float(top));
    glVertex2f(float(left), float(top));
    glEnd();
    getLabelFont(true);
    glRasterPos2i(left + 6, top - 14);
    if (font)
        font->print("%s", tr(shown->getLabel()).c_str());
    glPopAttrib();
}

// --- modes -------------------------------------------------------------------

bool Menu::isLevelMode() const { return !levels || levels->state().mode() == NSLevel::Mode::Level; }

bool Menu::isTestMode() const { return levels && levels->state().mode() == NSLevel::Mode::CustomTest; }

void Menu::clearObjectPages() {
    page.attachOpen = false;
    page.physicsOpen = false;
    page.propertiesOpen = false;
    page.constraintsOpen = false;
    page.editedPhysics = nullptr;
    page.editedProperty = nullptr;
    page.editedConstraint = nullptr;
}

void Menu::setLevelMode(bool on) {
    if (!levels || on == isLevelMode())
        return;
    selected = nullptr;
    if (on)
        levels->state().enterLevelMode();
    else
        levels->state().enterCustomMode();
    noteModeChange();
}

void Menu::setTestMode(bool on) {
    if (!levels)
        return;
    if (on)
        levels->state().startTest();
    else
        levels->state().stopTest();
    noteModeChange();
}

void Menu::noteModeChange() {
    const int mode = levels ? static_cast<int>(levels->state().mode()) : 0;
    if (mode == seenMode)
        return;
    seenMode = mode;
    page = PageState();
    setTouched();
}

NSLevel::Level* Menu::currentLevel() const { return levels ? levels->currentLevel() : nullptr; }

void Menu::popUp(const std::string& text) const { NSWindow::host().showTempPopUp(text); }

} // namespace NSMenu
