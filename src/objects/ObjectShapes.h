#pragma once
// The plain shapes: a box, a sphere and the room, drawn with OpenGL in the
// node's colour and material instead of a model. Their sizes are menu
// values; changing one rebuilds the body.
//
// A box measures length along x, height along y and width along z; the room
// measures length along x, width along y and height along z.
#include <string>
#include <vector>

#include "objects/ObjectSupport.h"
#include "objects/NodeGraphic.h"

namespace NSObjects {

// A shape drawn without a model: the node, then its solid (with the node's
// pick name when it has one).
class ObjectShape : public NSNode::NodeGraphic {
public:
    void draw() override;
    virtual void drawShape() = 0;

protected:
    explicit ObjectShape(bool full);
};

// The shapes measured by length, width and height. Which axis each measure
// runs along is the shape's own (rebuildVolume, drawShape); the menu lines,
// the record fields and the copy are shared.
class ObjectCuboid : public ObjectShape {
public:
    void serialize(NSSerialize::SerialStream& stream) override;
    // Each shape lets only its own kind through before calling this.
    void copyFrom(const NSClone::Cloneable* source) override;

    // "Length", "Width", "Height".
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;

    float getLength() const { return length; }
    float getWidth() const { return width; }
    float getHeight() const { return height; }
    // Also rebuilds the body (a room's lamps stay where they are).
    void setSize(float newLength, float newWidth, float newHeight);

protected:
    ObjectCuboid(bool full, float length, float width, float height);
    virtual void rebuildVolume() = 0;

    float length;
    float width;
    float height;

private:
    // The size field a label names, or null.
    float* sizeByLabel(const std::string& label);
};

class ObjectBox : public ObjectCuboid {
public:
    // full: 20 x 20 x 20.
    explicit ObjectBox(bool full);

    void drawShape() override;
    virtual void setupObject();

    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
    unsigned getMenuFlags() override;

protected:
    ObjectBox(bool full, NoSetup);
    void rebuildVolume() override;
};

class ObjectSphere : public ObjectShape {
public:
    // full: radius 10.
    explicit ObjectSphere(bool full);

    void drawShape() override;
    virtual void setupObject();

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    // "Radius".
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    unsigned getMenuFlags() override;

    float getRadius() const { return radius; }
    // Also rebuilds the body.
    void setRadius(float r);

protected:
    ObjectSphere(bool full, NoSetup);
    void rebuildVolume();

    float radius = 10.0f;
};

// The level's enclosure: brown walls seen from the inside, two lamps of its
// own in the upper corners, too heavy to be pushed.
class ObjectRoom : public ObjectCuboid {
public:
    // full: 200 x 200 x 200.
    explicit ObjectRoom(bool full);
    ObjectRoom(float length, float width, float height);

    // The walls carry no pick name.
    void draw() override;
    void drawShape() override;
    virtual void setupObject();

    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
    unsigned getMenuFlags() override;

protected:
    ObjectRoom(bool full, NoSetup);
    void rebuildVolume() override;
};

} // namespace NSObjects
