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
#include "scenegraph/NodeGraphic.h"

namespace NSObjects {

class ObjectBox : public NSNode::NodeGraphic {
public:
    // full: 20 x 20 x 20.
    explicit ObjectBox(bool full);

    // The node, then the solid (with the node's pick name when it has one).
    void draw() override;
    virtual void drawShape();
    virtual void setupObject();

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    // "Length", "Width", "Height".
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    unsigned getMenuFlags() override;

    float getLength() const { return length; }
    float getWidth() const { return width; }
    float getHeight() const { return height; }
    // Also rebuilds the body.
    void setSize(float newLength, float newWidth, float newHeight);

protected:
    ObjectBox(bool full, NoSetup);
    void rebuildVolume();

    float length = 20.0f;
    float width = 20.0f;
    float height = 20.0f;
};

class ObjectSphere : public NSNode::NodeGraphic {
public:
    // full: radius 10.
    explicit ObjectSphere(bool full);

    void draw() override;
    virtual void drawShape();
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
class ObjectRoom : public NSNode::NodeGraphic {
public:
    // full: 200 x 200 x 200.
    explicit ObjectRoom(bool full);
    ObjectRoom(float length, float width, float height);

    void draw() override;
    virtual void drawShape();
    virtual void setupObject();

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    // "Length", "Width", "Height".
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    unsigned getMenuFlags() override;

    float getLength() const { return length; }
    float getWidth() const { return width; }
    float getHeight() const { return height; }
    // Also rebuilds the body (the lamps stay where they are).
    void setSize(float newLength, float newWidth, float newHeight);

protected:
    ObjectRoom(bool full, NoSetup);
    void rebuildVolume();

    float length = 200.0f;
    float width = 200.0f;
    float height = 200.0f;
};

} // namespace NSObjects
