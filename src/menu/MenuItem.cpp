#include "menu/MenuItem.h"

#include <GL/gl.h>

#include "menu/MenuItemControls.h"
#include "menu/MenuItemInput.h"
#include "menu/MenuItemSlider.h"
#include "menu/MenuItemStatic.h"
#include "menu/TextFit.h"
#include "resources/GLFont.h"
#include "shell/Language.h"

namespace NSMenu {

MenuItem::MenuItem(MenuItemHost* menu, bool showsLabel)
    : WindowItem(false), menu(menu), showsLabel(showsLabel) {
    // The menu enables an item when it builds it from an entry.
    enabled = false;
}

MenuItem::~MenuItem() = default;

void MenuItem::setConstraint(const ValueConstraint* c) {
    constraint.reset(c ? c->clone() : nullptr);
}

const ValueConstraintRange* MenuItem::range() const {
    return dynamic_cast<const ValueConstraintRange*>(constraint.get());
}

bool MenuItem::notifyChange(const Value& value) {
    return menu ? menu->itemChanged(label, value) : false;
}

NSGraphic::GLFont* MenuItem::labelFontFor() const {
    return menu ? menu->getLabelFont(enabled) : nullptr;
}

NSGraphic::GLFont* MenuItem::valueFontFor() const {
    return menu ? menu->getValueFont(enabled) : nullptr;
}

void MenuItem::printAt(NSGraphic::GLFont* font, int x, int y, const std::string& text) {
    if (!font || text.empty())
        return;
    glRasterPos2i(x, y);
    font->print("%s", text.c_str());
}

void MenuItem::fillRect(float x0, float y0, float x1, float y1, float z) {
    glBegin(GL_QUADS);
    glVertex3f(x0, y0, z);
    glVertex3f(x1, y0, z);
    glVertex3f(x1, y1, z);
    glVertex3f(x0, y1, z);
    glEnd();
}

void MenuItem::frameRect(float x0, float y0, float x1, float y1, float z, float width) {
    glLineWidth(width);
    glBegin(GL_LINE_LOOP);
    glVertex3f(x0, y0, z);
    glVertex3f(x1, y0, z);
    glVertex3f(x1, y1, z);
    glVertex3f(x0, y1, z);
    glEnd();
}

void MenuItem::draw() {
    WindowItem::draw();
    begin2D(0, 0);
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_LINE_BIT | GL_TEXTURE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    if (hasFocus() || (hovered && enabled)) {
        if (hasFocus())
            glColor3f(0.2f, 0.2f, 0.2f);
        else
            glColor3f(0.1f, 0.1f, 0.22f);
        fillRect(2.0f, 0.0f, float(area.width), float(area.height), -0.5f);
    }
    if (showsLabel)
        printAt(labelFontFor(), 8, 14, shownLabel());
    drawContent();
    glPopAttrib();
}

bool MenuItem::mouseMove(int, int, int) {
    hovered = true;
    return true;
}

void MenuItem::pointerLeft() {
    WindowItem::pointerLeft();
    hovered = false;
}

std::string MenuItem::shownLabel() const {
    // Fetching the font sets the colour: callers set theirs afterwards.
    const std::string text = tr(label);
    if (labelRoom() <= 0)
        return text;
    NSGraphic::GLFont* font = labelDrawFont();
    return fitEllipsis(text, labelRoom(), [font](const std::string& t) { return textWidthOf(font, t); });
}

bool MenuItem::isLabelClipped() const { return labelRoom() > 0 && shownLabel() != tr(label); }

MenuItem* createMenuItem(unsigned kind, MenuItemHost* menu) {
    switch (kind) {
    case KIND_SEPARATOR: return new MenuItemSeparator(menu);
    case KIND_BOOL: return new MenuItemBool(menu);
    case KIND_INPUT: return new MenuItemInput(menu);
    case KIND_SLIDER: return new MenuItemSlider(menu);
    case KIND_BUTTON: return new MenuItemButton(menu);
    // A position bar shows its number itself, greyed while the machine runs.
    case KIND_ACCELERATOR: return new MenuItemAccelerator(menu);
    case KIND_PICTURE: return new MenuItemPicture(menu);
    case KIND_HEADER: return new MenuItemHeader(menu);
    case KIND_TEXT: return new MenuItemText(menu);
    default: return nullptr;
    }
}

} // namespace NSMenu
