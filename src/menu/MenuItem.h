#pragma once
// One line of the side menu: a 155 pixel wide window item showing one menu
// entry and letting the user change its value. The kinds derive from it; the
// menu creates them by entry kind with createMenuItem.
//
// Coordinates inside an item are pixels, x to the right and y down from its
// top edge.

#include <memory>
#include <string>

#include "editable/MenuConfigureable.h"
#include "editable/MenuEntry.h"
#include "menu/MenuItemHost.h"
#include "ui/WindowItem.h"

namespace NSGraphic {
class GLFont;
}

namespace NSMenu {

class MenuItem : public NSWindow::WindowItem {
public:
    MenuItem(MenuItemHost* menu, bool showsLabel);
    ~MenuItem() override;

    // Draws the focus or hover highlight and the label (cut short with "..."
    // when it is too long), then the kind's content.
    void draw() override;
    // Hover: the item lights up while the pointer is over it.
    bool mouseMove(int buttons, int x, int y) override;
    void pointerLeft() override;
    bool isHovered() const { return hovered; }
    // The label as drawn, and whether it had to be cut short.
    std::string shownLabel() const;
    bool isLabelClipped() const;
    // Pixels the kind has for its label (0: the label is not shown).
    virtual int labelRoom() const { return showsLabel ? kLabelWidth : 0; }

    virtual void setValue(const Value& value) = 0;
    virtual Value getValue() const = 0;
    virtual void setLabel(const std::string& text) { label = text; }
    virtual std::string getLabel() const { return label; }
    virtual void setType(unsigned t) { type = t; }
    virtual unsigned getType() const { return type; }
    virtual void setOwner(MenuConfigureable* o) { owner = o; }
    virtual MenuConfigureable* getOwner() const { return owner; }
    // Keeps a clone of c (or nothing for null).
    virtual void setConstraint(const ValueConstraint* c);
    // How a number line reads its value; other kinds ignore it.
    virtual void setReadout(const Readout&) {}
    const ValueConstraint* getConstraint() const { return constraint.get(); }
    MenuItemHost* getMenu() const { return menu; }

    // Only the left button presses, toggles and drags items; the others
    // (the wheel included) change nothing.
    static bool isLeft(int button) { return button == 0; }

protected:
    virtual void drawContent() = 0;
    // The font the label is drawn in (sets the colour).
    virtual NSGraphic::GLFont* labelDrawFont() const { return labelFontFor(); }

    // Asks the menu to take a change; false when there is no menu.
    bool notifyChange(const Value& value);
    NSGraphic::GLFont* labelFontFor() const;
    NSGraphic::GLFont* valueFontFor() const;
    // Prints text at the raster position (x, y) with font, if there is one.
    static void printAt(NSGraphic::GLFont* font, int x, int y, const std::string& text);
    static void fillRect(float x0, float y0, float x1, float y1, float z);
    static void frameRect(float x0, float y0, float x1, float y1, float z, float width);
    // The range constraint, if the constraint is one.
    const ValueConstraintRange* range() const;

    std::string label;
    unsigned type = TYPE_INT;
    std::unique_ptr<ValueConstraint> constraint;
    MenuConfigureable* owner = nullptr;
    MenuItemHost* menu;
    const bool showsLabel;
    bool hovered = false;

public:
    // Room for the label on its line: the item's width less its margins.
    static constexpr int kLabelWidth = 143;
};

// The widget for an entry kind, or null for a kind without one.
MenuItem* createMenuItem(unsigned kind, MenuItemHost* menu);

} // namespace NSMenu
