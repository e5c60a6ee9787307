#include "objects/ObjectHitZones.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include "editable/EditorMode.h"
#include "persistence/ClassIds.h"

namespace NSObjects {

QBN_REGISTER_CLASS(CLASS_OBJECT_BOX_HIT, ObjectBoxHit)
QBN_REGISTER_CLASS(CLASS_OBJECT_SPHERE_HIT, ObjectSphereHit)
QBN_REGISTER_CLASS(CLASS_OBJECT_ROOM_HIT, ObjectRoomHit)

namespace {

constexpr unsigned kZoneMenuFlags = NSNode::NodeGraphic::MENU_POSITION | NSNode::NodeGraphic::MENU_ROTATION |
                                    NSNode::NodeGraphic::MENU_SCALING;
constexpr unsigned kRoomZoneMenuFlags = NSNode::NodeGraphic::MENU_POSITION | NSNode::NodeGraphic::MENU_SCALING;

// Sets up translucent drawing of a zone: unlit, blended, back faces culled.
// False (nothing changed) when the zone is not to be seen at all.
bool beginZone() {
    if (!NSMenu::isDesignerEditing())
        return false;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT |
                 GL_POLYGON_BIT);
    glDisable(GL_LIGHTING);
    // Unlit: the colour must not leak into the material either.
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    // Whatever lies inside a zone stays visible through it.
    glDepthMask(GL_FALSE);
    glColor4f(0.2f, 0.9f, 0.3f, 0.3f);
    return true;
}

void endZone() {
    glPopAttrib();
    syncColourMaterial();
}

} // namespace

// ------------------------------------------------------------- ObjectBoxHit

ObjectBoxHit::ObjectBoxHit(bool full) : ObjectBox(full, NoSetup{}) {
    if (full)
        setupObject();
}

ObjectBoxHit::ObjectBoxHit(float length, float width, float height) : ObjectBox(true, NoSetup{}) {
    this->length = length;
    this->width = width;
    this->height = height;
    setupObject();
}

void ObjectBoxHit::setupObject() {
    setDeferredDraw(true);
    setName("Hitzone-Box");
    setPicture("boxhit_pic.bmp");
    rebuildVolume();
}

void ObjectBoxHit::drawShape() {
    if (!beginZone())
        return;
    drawBoxFaces(Vector3(length, height, width) * 0.5f, false);
    endZone();
}

int ObjectBoxHit::classId() const { return CLASS_OBJECT_BOX_HIT; }

NSClone::Cloneable* ObjectBoxHit::clone() const { return cloneOf(*this); }

void ObjectBoxHit::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const ObjectBoxHit*>(source))
        ObjectBox::copyFrom(source);
}

unsigned ObjectBoxHit::getMenuFlags() { return kZoneMenuFlags; }

// ---------------------------------------------------------- ObjectSphereHit

ObjectSphereHit::ObjectSphereHit(bool full) : ObjectSphere(full, NoSetup{}) {
    if (full)
        setupObject();
}

void ObjectSphereHit::setupObject() {
    setDeferredDraw(true);
    setName("Hitzone-Sphere");
    setPicture("spherehit_pic.bmp");
    rebuildVolume();
}

void ObjectSphereHit::drawShape() {
    if (!beginZone())
        return;
    glutSolidSphere(radius, 30, 8);
    endZone();
}

int ObjectSphereHit::classId() const { return CLASS_OBJECT_SPHERE_HIT; }

NSClone::Cloneable* ObjectSphereHit::clone() const { return cloneOf(*this); }

void ObjectSphereHit::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const ObjectSphereHit*>(source))
        ObjectSphere::copyFrom(source);
}

unsigned ObjectSphereHit::getMenuFlags() { return kZoneMenuFlags; }

// ------------------------------------------------------------ ObjectRoomHit

ObjectRoomHit::ObjectRoomHit(bool full) : ObjectRoom(full, NoSetup{}) {
    length = 20.0f;
    width = 20.0f;
    height = 20.0f;
    if (full)
        setupObject();
}

void ObjectRoomHit::setupObject() {
    setDeferredDraw(true);
    setName("Hitzone-Room");
    setPicture("roomhit_pic.bmp");
    rebuildVolume();
}

void ObjectRoomHit::draw() { ObjectShape::draw(); }

void ObjectRoomHit::drawShape() {
    if (!beginZone())
        return;
    drawBoxFaces(Vector3(length, width, height) * 0.5f, false);
    endZone();
}

int ObjectRoomHit::classId() const { return CLASS_OBJECT_ROOM_HIT; }

NSClone::Cloneable* ObjectRoomHit::clone() const { return cloneOf(*this); }

void ObjectRoomHit::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const ObjectRoomHit*>(source))
        ObjectRoom::copyFrom(source);
}

unsigned ObjectRoomHit::getMenuFlags() { return kRoomZoneMenuFlags; }

} // namespace NSObjects
