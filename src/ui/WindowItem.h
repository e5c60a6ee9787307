#pragma once
// Everything on the screen is a WindowItem: a rectangle in a 2D tree rooted in
// the Window. The tree lays items out by anchors and size modes, routes mouse
// and keyboard input to them, and draws them in order (later children on top).

#include "scenegraph/Node.h"

namespace NSGraphic {
class GLFont;
}

namespace NSWindow {

// GLUT reports a wheel notch as a press and a release of these buttons.
constexpr int kWheelUpButton = 3;
constexpr int kWheelDownButton = 4;

// Placement of an item inside its parent. Note the stored order: yAnchor comes
// before xAnchor, while the constructors take xAnchor first.
//   anchor 1: from the parent's start edge; 2: from its middle; 3: from its end.
//   size mode 1: half the parent's size plus the value; 2: the parent's size
//   plus the value; otherwise the value itself.
struct ItemLayout {
    int x = 0, y = 0, width = 0, height = 0;
    int yAnchor = 0, xAnchor = 0, widthMode = 0, heightMode = 0;

    ItemLayout() = default;
    ItemLayout(int x, int y, int width, int height)
        : ItemLayout(x, y, width, height, 1, 1, 0, 0) {}
    ItemLayout(int x, int y, int width, int height, int xAnchor, int yAnchor)
        : ItemLayout(x, y, width, height, xAnchor, yAnchor, 0, 0) {}
    ItemLayout(int x, int y, int width, int height, int xAnchor, int yAnchor, int widthMode,
               int heightMode)
        : x(x), y(y), width(width), height(height), yAnchor(yAnchor), xAnchor(xAnchor),
          widthMode(widthMode), heightMode(heightMode) {}

    bool operator==(const ItemLayout& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height &&
               yAnchor == o.yAnchor && xAnchor == o.xAnchor && widthMode == o.widthMode &&
               heightMode == o.heightMode;
    }
};

// An area in units (window coordinates, y up) in screen pixels, at the
// interface's scale (shell/DisplayScale.h); and the GL viewport over it.
ItemLayout toPixels(const ItemLayout& units);
void setViewportOver(const ItemLayout& units);

class WindowItem : public NSNode::Node<WindowItem> {
public:
    // yUp: the item's own y axis grows upward from its bottom edge; otherwise
    // it grows downward from its top edge (as GLUT's mouse coordinates do).
    explicit WindowItem(bool yUp);
    ~WindowItem() override;

    WindowItem* self() override { return this; }
    // An item added to a parent gets its areas computed against that parent.
    void onAttach() override;
    // Destroys every child and queued item (and forgets the focus).
    void clear();

    // Input in the item's own coordinates; each returns whether it was handled.
    virtual bool mouseButton(int button, int state, int modifiers, int x, int y);
    virtual bool mouseDrag(int modifiers, int x, int y);
    virtual bool mouseMove(int buttons, int x, int y);
    // The pointer, last over this item, has moved off it (hover ends).
    virtual void pointerLeft();
    virtual bool keyPressed(int key, int modifiers, bool special);
    // A press went to another item than this one, the focus of its parent:
    // the default passes the news on to this item's own focus.
    virtual void focusLost();
    // Whether the chain of focused items ends in a text field being edited,
    // which then takes every plain key.
    virtual bool takesTyping() const;
    virtual void draw();
    virtual void update();
    // Whether the item moves by itself (an animation, a held button, a
    // running simulation), so the window must keep drawing at full rate;
    // otherwise it draws only on input. By default: whether a visible child does.
    virtual bool wantsContinuousFrames() const;

    // Stores the layout and re-lays out this item and its whole subtree.
    void setLayout(const ItemLayout& newLayout);
    void computeArea();
    const ItemLayout& getLayout() const { return layout; }
    const ItemLayout& getArea() const { return area; }
    const ItemLayout& getScreenArea() const { return screenArea; }

    bool isVisible() const { return visible; }
    bool isEnabled() const { return enabled; }
    void setVisible(bool v);
    void setEnabled(bool e);
    void setFocus(bool f);
    bool hasFocus() const;
    WindowItem* getFocus() const { return focus; }
    void setTouched() { touched = true; }
    bool isTouched() const { return touched; }
    bool isYUp() const { return yUp; }

    // Viewport over the item's screen area and an orthographic projection.
    // originMode 0: origin top left, y down; 1: origin at the centre, y up.
    // unitMode 0: pixels; 1: the item is a unit square; 2: its width is one
    // unit; 3: its height is one unit.
    void begin2D(int originMode, int unitMode);

    // The shared fonts of every item: a bold bitmap label font and an outline
    // text font one unit high. They are fetched from the font loaders on first
    // use, so an item can be made (and tested) without a GL context; the first
    // call needs one.
    NSGraphic::GLFont* getLabelFont() const;
    NSGraphic::GLFont* getTextFont() const;

    // The point (x, y) of this item's coordinates in child's coordinates.
    void toChild(const WindowItem* child, int& x, int& y) const;
    // Whether (x, y), in this item's coordinates, lies in child (edges inclusive).
    static bool contains(const WindowItem* child, int x, int y);

protected:
    bool isLive() const { return enabled && visible; }
    // The overlays' 2-pixel blue frame around the item's unit square (the
    // caller has begun 2D drawing in item units and restores the state).
    static void drawBlueFrame();

    ItemLayout layout;
    ItemLayout area;
    ItemLayout screenArea;
    WindowItem* focus = nullptr;
    bool touched = false;
    bool enabled = true;
    bool visible = true;
    // Null until first asked for; use the getters.
    mutable NSGraphic::GLFont* labelFont = nullptr;
    mutable NSGraphic::GLFont* textFont = nullptr;
    const bool yUp;

private:
    void clearParentFocus();

    bool pointerInside = false;
};

} // namespace NSWindow
