#pragma once
// Hit zones: the regions a level's goals ask a body to reach. Each has the
// body of its shape but takes no part in collisions (it never registers for
// hits), so bodies pass straight through; the goal check finds them. They
// are seen only while the designer edits, as translucent solids drawn in the
// scene's sorted pass.
#include "objects/ObjectShapes.h"

namespace NSObjects {

class ObjectBoxHit : public ObjectBox {
public:
    // full: 20 x 20 x 20.
    explicit ObjectBoxHit(bool full);
    ObjectBoxHit(float length, float width, float height);

    void drawShape() override;
    void setupObject() override;

    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
    unsigned getMenuFlags() override;
};

class ObjectSphereHit : public ObjectSphere {
public:
    // full: radius 10.
    explicit ObjectSphereHit(bool full);

    void drawShape() override;
    void setupObject() override;

    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
    unsigned getMenuFlags() override;
};

class ObjectRoomHit : public ObjectRoom {
public:
    // full: 20 x 20 x 20.
    explicit ObjectRoomHit(bool full);

    // Unlike the room's walls, the zone can be picked while it is shown.
    void draw() override;
    void drawShape() override;
    void setupObject() override;

    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
    unsigned getMenuFlags() override;
};

} // namespace NSObjects
