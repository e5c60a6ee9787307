#include "objects/ObjectShapes.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include "persistence/ClassIds.h"
#include "scenegraph/NodeLight.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::BoundingVolume;
using NSNode::NodeGraphic;

namespace NSObjects {

QBN_REGISTER_CLASS(CLASS_OBJECT_BOX, ObjectBox)
QBN_REGISTER_CLASS(CLASS_OBJECT_SPHERE, ObjectSphere)
QBN_REGISTER_CLASS(CLASS_OBJECT_ROOM, ObjectRoom)

namespace {

constexpr float kMaxSize = 1000.0f;
constexpr float kMaxRadius = 500.0f;
// The edge of a new box, and of a new room.
constexpr float kBoxEdge = 20.0f;
constexpr float kRoomEdge = 200.0f;
// The room's lamps sit this fraction of its extents out from the centre.
constexpr double kLampPlacement = 1.0 / 2.1;

} // namespace

// -------------------------------------------------------------- ObjectShape

ObjectShape::ObjectShape(bool full) : NodeGraphic(full) {}

void ObjectShape::draw() {
    NodeGraphic::draw();
    if (!isVisible())
        return;
    const bool named = pushPickName(*this);
    drawShape();
    popPickName(named);
}

// ------------------------------------------------------------- ObjectCuboid

ObjectCuboid::ObjectCuboid(bool full, float length, float width, float height)
    : ObjectShape(full), length(length), width(width), height(height) {}

void ObjectCuboid::setSize(float newLength, float newWidth, float newHeight) {
    length = newLength;
    width = newWidth;
    height = newHeight;
    rebuildVolume();
}

void ObjectCuboid::serialize(NSSerialize::SerialStream& stream) {
    NodeGraphic::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(length, "length", NSSerialize::Limits::kSize);
    stream.transfer(width, "width", NSSerialize::Limits::kSize);
    stream.transfer(height, "height", NSSerialize::Limits::kSize);
}

void ObjectCuboid::copyFrom(const NSClone::Cloneable* source) {
    auto* other = dynamic_cast<const ObjectCuboid*>(source);
    if (!other || other == this)
        return;
    NodeGraphic::copyFrom(source);
    length = other->length;
    width = other->width;
    height = other->height;
}

float* ObjectCuboid::sizeByLabel(const std::string& label) {
    if (label == "Length")
        return &length;
    if (label == "Width")
        return &width;
    if (label == "Height")
        return &height;
    return nullptr;
}

// A level's player changes a shape's size only where the level lets them
// scale it; the editor always offers it.
void ObjectCuboid::appendObjectMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    if (!detailed && !canEditScaling())
        return;
    list.push_back(floatEntry(this, "Length", NSMenu::KIND_INPUT, length, 0.0f, kMaxSize));
    list.push_back(floatEntry(this, "Width", NSMenu::KIND_INPUT, width, 0.0f, kMaxSize));
    list.push_back(floatEntry(this, "Height", NSMenu::KIND_INPUT, height, 0.0f, kMaxSize));
}

bool ObjectCuboid::setMenuValue(std::string label, Value value) {
    if (float* size = sizeByLabel(label)) {
        *size = value.floatValue;
        rebuildVolume();
        return true;
    }
    return NodeGraphic::setMenuValue(label, value);
}

Value ObjectCuboid::getMenuValue(std::string label) {
    if (float* size = sizeByLabel(label))
        return Value::ofFloat(*size);
    return NodeGraphic::getMenuValue(label);
}

// ---------------------------------------------------------------- ObjectBox

ObjectBox::ObjectBox(bool full) : ObjectCuboid(full, kBoxEdge, kBoxEdge, kBoxEdge) {
    if (full)
        setupObject();
}

ObjectBox::ObjectBox(bool full, NoSetup) : ObjectCuboid(full, kBoxEdge, kBoxEdge, kBoxEdge) {}

void ObjectBox::setupObject() {
    setName("ObjectBox");
    setPicture("box_pic.bmp");
    setPhysical(true, true, 1.0f, 1.0f, 0.0f, false);
    rebuildVolume();
    registerForHits();
}

void ObjectBox::rebuildVolume() {
    setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(), Vector3(length, height, width)));
}

void ObjectBox::drawShape() {
    ShapeMaterial material(*this);
    drawBoxFaces(Vector3(length, height, width) * 0.5f, false);
}

int ObjectBox::classId() const { return CLASS_OBJECT_BOX; }

NSClone::Cloneable* ObjectBox::clone() const { return cloneOf(*this); }

void ObjectBox::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const ObjectBox*>(source))
        ObjectCuboid::copyFrom(source);
}

unsigned ObjectBox::getMenuFlags() { return 8063; }

// ------------------------------------------------------------- ObjectSphere

ObjectSphere::ObjectSphere(bool full) : ObjectShape(full) {
    if (full)
        setupObject();
}

ObjectSphere::ObjectSphere(bool full, NoSetup) : ObjectShape(full) {}

void ObjectSphere::setupObject() {
    setName("ObjectSphere");
    setPicture("sphere_pic.bmp");
    setPhysical(true, true, 1.0f, 1.0f, 0.0f, false);
    rebuildVolume();
    registerForHits();
}

void ObjectSphere::rebuildVolume() { setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), radius)); }

void ObjectSphere::setRadius(float r) {
    radius = r;
    rebuildVolume();
}

void ObjectSphere::drawShape() {
    ShapeMaterial material(*this);
    glutSolidSphere(radius, 30, 8);
}

int ObjectSphere::classId() const { return CLASS_OBJECT_SPHERE; }

void ObjectSphere::serialize(NSSerialize::SerialStream& stream) {
    NodeGraphic::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(radius, "radius", NSSerialize::Limits::kSize);
}

NSClone::Cloneable* ObjectSphere::clone() const { return cloneOf(*this); }

void ObjectSphere::copyFrom(const NSClone::Cloneable* source) {
    auto* other = dynamic_cast<const ObjectSphere*>(source);
    if (!other || other == this)
        return;
    NodeGraphic::copyFrom(source);
    radius = other->radius;
}

void ObjectSphere::appendObjectMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    if (!detailed && !canEditScaling())
        return;
    list.push_back(floatEntry(this, "Radius", NSMenu::KIND_INPUT, radius, 0.0f, kMaxRadius));
}

bool ObjectSphere::setMenuValue(std::string label, Value value) {
    if (label == "Radius") {
        setRadius(value.floatValue);
        return true;
    }
    return NodeGraphic::setMenuValue(label, value);
}

Value ObjectSphere::getMenuValue(std::string label) {
    if (label == "Radius")
        return Value::ofFloat(radius);
    return NodeGraphic::getMenuValue(label);
}

unsigned ObjectSphere::getMenuFlags() { return 8063; }

// --------------------------------------------------------------- ObjectRoom

ObjectRoom::ObjectRoom(bool full) : ObjectCuboid(full, kRoomEdge, kRoomEdge, kRoomEdge) {
    if (full)
        setupObject();
}

ObjectRoom::ObjectRoom(float length, float width, float height) : ObjectCuboid(true, length, width, height) {
    setupObject();
}

ObjectRoom::ObjectRoom(bool full, NoSetup) : ObjectCuboid(full, kRoomEdge, kRoomEdge, kRoomEdge) {}

void ObjectRoom::setupObject() {
    setName("ObjectRoom");
    setPicture("room_pic.bmp");
    setPhysical(false, false, 100000.0f, 1.0f, 0.1f, true);
    rebuildVolume();
    setColor(Vector3(0.5f, 0.25f, 0.0f));
    setEditPosition(false, false, false);
    setEditRotation(false, false, false);
    setSelectable(false);

    const float kx = static_cast<float>(length * kLampPlacement);
    const float ky = static_cast<float>(width * kLampPlacement);
    const float kz = static_cast<float>(height * kLampPlacement);
    addChild(new NSNode::NodeLight(Vector3(kx, ky, kz), Vector3(0.2f, 0.2f, 0.2f), Vector3(1.0f, 1.0f, 1.0f),
                                   Vector3(0.0f, 0.0f, 0.0f)));
    addChild(new NSNode::NodeLight(Vector3(-kx, ky, kz), Vector3(0.5f, 0.5f, 0.5f)));
    registerForHits();
}

void ObjectRoom::rebuildVolume() {
    setBoundingVolume(BoundingVolume::makeRoomVolume(Vector3(), Vector3(length, width, height)));
}

void ObjectRoom::draw() {
    NodeGraphic::draw();
    // The walls carry no pick name: a click on them selects nothing.
    if (isVisible())
        drawShape();
}

void ObjectRoom::drawShape() {
    ShapeMaterial material(*this);
    // The walls face inward; seen from outside, those between the eye and
    // the room turn their backs and are left out, so the room stays open
    // to a camera placed outside it.
    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    // Finely cut, so that the lamps' light spreads visibly over the walls.
    drawBoxFaces(Vector3(length, width, height) * 0.5f, true, 16);
    glPopAttrib();
}

int ObjectRoom::classId() const { return CLASS_OBJECT_ROOM; }

NSClone::Cloneable* ObjectRoom::clone() const { return cloneOf(*this); }

void ObjectRoom::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const ObjectRoom*>(source))
        ObjectCuboid::copyFrom(source);
}

unsigned ObjectRoom::getMenuFlags() { return 776; }

} // namespace NSObjects
