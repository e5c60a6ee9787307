#pragma once
// The lamps the designer places: a small yellow body that is seen only while
// the designer edits, carrying a light node as its child. The lamp's menu
// reads and writes that light's colours, attenuation and spot cone.
//
// ObjectLight holds what all lamps share; the omni, directional and spot
// lamps add their name, picture, body and (for the spot) the cone.
#include <string>
#include <vector>

#include "objects/NodeGraphic.h"
#include "scenegraph/NodeLight.h"

namespace NSObjects {

class ObjectLight : public NSNode::NodeGraphic {
public:
    // Menu sections of the lamps, above those of the drawable node.
    enum LightMenuSection : unsigned {
        MENU_LIGHT_COLOURS = 65536,
        MENU_LIGHT_ATTENUATION = 131072,
        MENU_LIGHT_SPOT_SWITCH = 262144,
        MENU_LIGHT_SPOT = 524288,
    };

    // full: the common setup (a point light of its own).
    explicit ObjectLight(bool full);

    // The node; then, while the designer edits and the lamp is in front of
    // the eye, the lamp's body, unlit.
    void draw() override;
    // The common part: body material and the light node.
    virtual void setupObject();
    // The lamp's body, around the node's origin, shining along -z.
    virtual void drawShape();
    // The kind's own part; nothing here.
    virtual void setupLight();

    int classId() const override;
    // After the drawable node: the light's node id and the directional switch.
    // Reading finds the light among the children read before.
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    // Custom mode only, by the section bits of getMenuFlags.
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    unsigned getMenuFlags() override;

    NSNode::NodeLight* getLight() const { return light; }
    int getLightId() const { return lightId; }
    bool isDirectional() const { return directional; }

protected:
    // For the kinds: runs the common setup when full, with their own
    // directional switch.
    ObjectLight(bool full, bool directional);

private:
    // Points light at the child with lightId (the first light child if none
    // has it).
    void findLight();

    NSNode::NodeLight* light = nullptr;
    int lightId = -1;
    bool directional = false;
};

// A point light shining all around.
class ObjectLightOmni : public ObjectLight {
public:
    explicit ObjectLightOmni(bool full);
    void setupLight() override;
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
    unsigned getMenuFlags() override;
};

// A light at infinity along the lamp's +z axis.
class ObjectLightDirectional : public ObjectLight {
public:
    explicit ObjectLightDirectional(bool full);
    void setupLight() override;
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
    unsigned getMenuFlags() override;
};

// A point light with a cone along the lamp's -z axis.
class ObjectLightSpot : public ObjectLight {
public:
    explicit ObjectLightSpot(bool full);
    void setupLight() override;
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
    unsigned getMenuFlags() override;
};

} // namespace NSObjects
