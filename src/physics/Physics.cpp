#include "physics/Physics.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/PhysicsProperty.h"

namespace NSPhysical {

using NSNode::BoundingVolume;
using NSNode::NodeTransform;
using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::BoundingVolume;

namespace {

constexpr float kFullTurn = 6.2831855f;
constexpr float kRadToDeg = 57.29577951f;

const char* const kAxes = "XYZ";

// The axis a label like "Position Y" ends in: 0, 1, 2, or -1 when label is
// not prefix followed by one axis letter.
int axisOf(const std::string& label, const std::string& prefix) {
    if (label.size() != prefix.size() + 1 || label.compare(0, prefix.size(), prefix) != 0)
        return -1;
    for (int i = 0; i < 3; ++i)
        if (label.back() == kAxes[i])
            return i;
    return -1;
}

float& component(Vector3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

float component(const Vector3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

std::string axisLabel(const char* prefix, int axis) { return std::string(prefix) + kAxes[axis]; }

// An angle as a fraction of a full turn, folded into -0.5 .. 0.5.
float turns(float angle) {
    float t = angle / kFullTurn;
    return t > 0.5f ? t - 1.0f : t;
}

const char* volumeTypeName(int type) {
    switch (type) {
    case VOLUME_BOX:
        return "Volume Box";
    case VOLUME_SPHERE:
        return "Volume Sphere";
    case VOLUME_ROOM:
        return "Volume Room";
    case VOLUME_GLOBAL:
        return "Volume Global";
    default:
        return nullptr;
    }
}

MenuEntry button(NSMenu::MenuConfigureable* owner, const char* label) {
    return MenuEntry(owner, label, NSMenu::TYPE_BOOL, NSMenu::KIND_BUTTON, Value(), true);
}

MenuEntry sizeInput(NSMenu::MenuConfigureable* owner, const char* label, float value) {
    return rangeEntry(owner, label, NSMenu::KIND_INPUT, value, 0, 999, 0.0f, 999.0f);
}

// A sphere of radius 10, or an arrow of a cylinder (radius 3, length 10)
// closed by a disk and a cone (radius 7 to 0 over 15) along direction.
void drawMarker(const Vector3& direction) {
    GLUquadric* quadric = gluNewQuadric();
    if (!quadric)
        return;
    float len = direction.length();
    if (!(len > 0.0f) || !std::isfinite(len)) {
        gluSphere(quadric, 10.0, 20, 10);
        gluDeleteQuadric(quadric);
        return;
    }
    // Quadrics are built along +z; turn +z onto the direction.
    Vector3 d = direction * (1.0f / len);
    Vector3 axis = cross(Vector3(0, 0, 1), d);
    float sine = axis.length();
    if (sine > 1e-6f)
        glRotatef(std::atan2(sine, d.z) * kRadToDeg, axis.x, axis.y, axis.z);
    else if (d.z < 0.0f)
        glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    gluCylinder(quadric, 3.0, 3.0, 10.0, 20, 1);
    gluQuadricOrientation(quadric, GLU_INSIDE);
    gluDisk(quadric, 0.0, 3.0, 20, 1);
    glTranslatef(0.0f, 0.0f, 10.0f);
    gluDisk(quadric, 0.0, 7.0, 20, 1);
    gluQuadricOrientation(quadric, GLU_OUTSIDE);
    gluCylinder(quadric, 7.0, 0.0, 15.0, 20, 1);
    gluDeleteQuadric(quadric);
}

} // namespace

Physics::Physics(bool full) : NodeTransform(full) {}

Physics::Physics(float dx, float dy, float dz) : NodeTransform(true), forceDirection(dx, dy, dz) {}

void Physics::setOwner(NSNode::NodeTransform* node) {
    setParent(node);
    owner = dynamic_cast<NSNode::NodePhysical*>(node);
}

void Physics::appendOwnMenuEntries(std::vector<MenuEntry>&, bool) {}

Vector3 Physics::world(const Vector3& v) const { return worldRotation().transformPoint(v); }

Vector3 Physics::ownerPosition() const {
    const NodeTransform* parent = getParent();
    return parent ? parent->worldPosition() : worldPosition();
}

namespace {

// The world radius of node's outer sphere; 0 for a room or no volume.
float outerRadius(const NodeTransform* node) {
    const BoundingVolume* volume = node ? node->getBoundingVolume() : nullptr;
    if (!volume || volume->isUnbounded())
        return 0.0f;
    const BoundingVolume::Sphere& outer = volume->getOuterSphere();
    const Matrix4 m = node->worldMatrix();
    const Vector3 c = m.transformPoint(outer.getCenter());
    return length(m.transformPoint(outer.getCenter() + Vector3(outer.getRadius(), 0, 0)) - c);
}

} // namespace

float Physics::softRadius(NSNode::NodePhysical* body) const {
    return outerRadius(getParent() ? getParent() : this) + outerRadius(body);
}

Vector3 Physics::pointPull(NSNode::NodePhysical* body) const {
    Vector3 r = ownerPosition() - body->worldPosition();
    float d = r.length();
    if (!(d >= kMinPointDistance)) // also a distance that is not a number
        return Vector3();
    const float soft = softRadius(body);
    if (d < soft)
        return r.normalize() * static_cast<float>(1000.0 * d / (static_cast<double>(soft) * soft * soft));
    return r.normalize() * static_cast<float>(1000.0 / (d * d));
}

void Physics::draw() {
    if (!getShowVolume())
        return;
    const Vector3 colour = getColour();
    glColor3f(colour.x, colour.y, colour.z);
    const BoundingVolume* volume = getBoundingVolume();
    if (volume && !volume->getVolumes().empty()) {
        glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT);
        glDisable(GL_LIGHTING);
        glPushMatrix();
        const Vector3& p = getPosition();
        glTranslatef(p.x, p.y, p.z);
        glMultMatrixf(getRotationMatrix().data());
        const Vector3 c = volume->getVolumes()[0]->getCenter() * getScaleFactor();
        glTranslatef(c.x, c.y, c.z);
        drawMarker(forceDirection);
        glPopMatrix();
        glPopAttrib();
    }
    NodeTransform::draw();
}

bool Physics::createVolume() {
    BoundingVolume* volume = nullptr;
    switch (volumeType) {
    case VOLUME_BOX:
        volume = BoundingVolume::makeBoxVolume(Vector3(), volumeSize);
        break;
    case VOLUME_SPHERE:
        volume = BoundingVolume::makeSphereVolume(Vector3(), volumeSize.x);
        break;
    case VOLUME_ROOM: // the sizes are length, width, height; a room's y is its height
        volume = BoundingVolume::makeRoomVolume(Vector3(), Vector3(volumeSize.x, volumeSize.z, volumeSize.y));
        break;
    case VOLUME_GLOBAL:
        volume = BoundingVolume::makeUnboundedVolume();
        break;
    default:
        return false;
    }
    setBoundingVolume(volume);
    return true;
}

int Physics::classId() const { return CLASS_PHYSICS; }

void Physics::serialize(NSSerialize::SerialStream& stream) {
    NodeTransform::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(forceDirection);
    stream.transfer(enabled);
    stream.transfer(volumeType);
    stream.transfer(volumeSize, "effect zone size", NSSerialize::Limits::kSize);
}

void Physics::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const Physics*>(source);
    if (!src || src == this)
        return;
    NodeTransform::copyFrom(source);
    forceDirection = src->forceDirection;
    enabled = src->enabled;
    volumeType = src->volumeType;
    volumeSize = src->volumeSize;
}

void Physics::getMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    appendOwnMenuEntries(list, detailed);
    list.emplace_back();
    if (!detailed)
        return;
    const unsigned flags = getMenuFlags();
    if (flags & 8)
        list.push_back(boolEntry(this, "Enable Physics", enabled));
    if (flags & 16)
        for (int axis = 0; axis < 3; ++axis)
            list.push_back(rangeEntry(this, axisLabel("Force-Direction ", axis), NSMenu::KIND_SLIDER,
                                      component(forceDirection, axis), -1, 1, -1.0f, 1.0f));
    list.emplace_back();
    if (flags & 32) {
        list.emplace_back(this, "CREATE VOLUME", NSMenu::TYPE_BOOL, NSMenu::KIND_HEADER, Value(), true);
        for (const char* label : {"Volume-Box", "Volume-Sphere", "Volume-Room", "Volume-Global"})
            list.push_back(button(this, label));
        if (const char* name = volumeTypeName(volumeType)) {
            list.emplace_back(this, "Volume Type", NSMenu::TYPE_STRING, NSMenu::KIND_TEXT, Value::ofString(name),
                              true);
            if (volumeType == VOLUME_BOX) {
                list.push_back(sizeInput(this, "Box-Length", volumeSize.x));
                list.push_back(sizeInput(this, "Box-Width", volumeSize.y));
                list.push_back(sizeInput(this, "Box-Height", volumeSize.z));
            } else if (volumeType == VOLUME_SPHERE) {
                list.push_back(sizeInput(this, "Sphere-Radius", volumeSize.x));
            } else if (volumeType == VOLUME_ROOM) {
                list.push_back(sizeInput(this, "Room-Length", volumeSize.x));
                list.push_back(sizeInput(this, "Room-Width", volumeSize.y));
                list.push_back(sizeInput(this, "Room-Height", volumeSize.z));
            }
            list.push_back(button(this, "Create Volume"));
        }
    }
    list.emplace_back();
    if (flags & 1)
        for (int axis = 0; axis < 3; ++axis)
            list.push_back(rangeEntry(this, axisLabel("Position ", axis), NSMenu::KIND_ACCELERATOR,
                                      component(getPosition(), axis), 0, 0, -0.3f, 0.3f));
    if (flags & 2)
        for (int axis = 0; axis < 3; ++axis) {
            list.push_back(rangeEntry(this, axisLabel("Rotation ", axis), NSMenu::KIND_SLIDER,
                                      turns(component(getRotation(), axis)), 0, 0, -0.5f, 0.5f));
            list.back().readout = NSMenu::Readout::degrees();
        }
    if (flags & 4)
        list.push_back(rangeEntry(this, "Scaling", NSMenu::KIND_SLIDER, getScaleFactor(), 0, 3, 0.5f, 3.0f));
}

bool Physics::setMenuValue(std::string label, Value value) {
    if (!std::isfinite(value.floatValue))
        return false;
    int axis;
    if ((axis = axisOf(label, "Position ")) >= 0) {
        Vector3 p = getPosition();
        component(p, axis) += value.floatValue * 15.0f;
        setPosition(p);
        return true;
    }
    if ((axis = axisOf(label, "Rotation ")) >= 0) {
        Vector3 r = getRotation();
        component(r, axis) = value.floatValue * kFullTurn;
        setRotation(r);
        return true;
    }
    if ((axis = axisOf(label, "Force-Direction ")) >= 0) {
        component(forceDirection, axis) = value.floatValue;
        return true;
    }
    if (label == "Scaling") {
        setScale(value.floatValue);
        return true;
    }
    if (label == "Enable Physics") {
        enabled = value.boolValue;
        return true;
    }
    static const char* const typeButtons[] = {"Volume-Box", "Volume-Sphere", "Volume-Room", "Volume-Global"};
    for (int type = 0; type < 4; ++type) {
        if (label == typeButtons[type]) {
            volumeType = type;
            menuLinesChanged();
            return true;
        }
    }
    if (label == "Box-Length" || label == "Sphere-Radius" || label == "Room-Length") {
        volumeSize.x = value.floatValue;
        return true;
    }
    if (label == "Box-Width" || label == "Room-Width") {
        volumeSize.y = value.floatValue;
        return true;
    }
    if (label == "Box-Height" || label == "Room-Height") {
        volumeSize.z = value.floatValue;
        return true;
    }
    if (label == "Create Volume") {
        if (!createVolume())
            return false;
        menuLinesChanged();
        return true;
    }
    return false;
}

Value Physics::getMenuValue(std::string label) {
    int axis;
    if ((axis = axisOf(label, "Position ")) >= 0)
        return Value::ofFloat(component(getPosition(), axis));
    if ((axis = axisOf(label, "Rotation ")) >= 0)
        return Value::ofFloat(turns(component(getRotation(), axis)));
    if ((axis = axisOf(label, "Force-Direction ")) >= 0)
        return Value::ofFloat(component(forceDirection, axis));
    if (label == "Scaling")
        return Value::ofFloat(getScaleFactor());
    if (label == "Enable Physics")
        return Value::ofBool(enabled);
    if (label == "Volume Type") {
        const char* name = volumeTypeName(volumeType);
        return Value::ofString(name ? name : "");
    }
    if (label == "Box-Length" || label == "Sphere-Radius" || label == "Room-Length")
        return Value::ofFloat(volumeSize.x);
    if (label == "Box-Width" || label == "Room-Width")
        return Value::ofFloat(volumeSize.y);
    if (label == "Box-Height" || label == "Room-Height")
        return Value::ofFloat(volumeSize.z);
    return Value();
}

unsigned Physics::getMenuFlags() { return 65535; }

std::string Physics::getMenuPicture() { return std::string(); }

} // namespace NSPhysical
