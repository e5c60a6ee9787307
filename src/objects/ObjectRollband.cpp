#include "objects/ObjectRollband.h"

#include "objects/ObjectSupport.h"
#include "persistence/ClassIds.h"
#include "physics/effects/PhysicsConstantMovement.h"
#include "resources/ModelObject.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::BoundingVolume;
using NSNode::NodeGraphic;

namespace NSObjects {

QBN_REGISTER_CLASS(CLASS_OBJECT_ROLLBAND1, ObjectRollband1)
QBN_REGISTER_CLASS(CLASS_OBJECT_ROLLBAND2, ObjectRollband2)

namespace {

// The band's animation runs this many frames per second for each unit of speed.
constexpr float kAnimationPerSpeed = 0.14652015f;
constexpr float kMaxSpeed = 50.0f;

} // namespace

ObjectRollband::ObjectRollband(bool full) : NodeGraphic(full) {
    if (!full)
        return;
    speed = 14.0f;
    editSpeed = true;
    enabled = true;
    editEnable = true;
}

void ObjectRollband::setupBelt(const char* name, const char* model, const char* picture, float sizeZ,
                               const Vector3& direction) {
    applyLook(*this, name, model, picture);
    setEditScaling(false);
    setPhysical(false, false, 10.0f, 0.6f, 0.5f, false);
    setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(), Vector3(30.0f, 10.0f, sizeZ)));
    registerForHits();

    if (NSGraphic::ModelObject* band = getModel()) {
        band->setAnimationLoop(0, true);
        band->setAnimationSmoothWrap(0, false);
    }
    setSpeed(speed);
    auto* drive = new NSPhysics::PhysicsConstantMovement(direction.x, direction.y, direction.z, speed);
    drive->setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(0.0f, 12.5f, 0.0f), Vector3(30.0f, 5.0f, sizeZ)));
    addPhysics(drive);
}

void ObjectRollband::setSpeed(float v) {
    speed = v;
    const float running = enabled ? v : 0.0f;
    if (NSGraphic::ModelObject* band = getModel())
        band->setAnimationSpeed(0, running * kAnimationPerSpeed);
    for (NSPhysical::Physics* effect : getPhysics())
        if (effect->kind() == NSPhysical::KIND_CONSTANT_MOVEMENT)
            if (auto* drive = dynamic_cast<NSPhysics::PhysicsConstantMovement*>(effect))
                drive->setSpeed(running);
}

void ObjectRollband::setEnabled(bool on) {
    enabled = on;
    setSpeed(speed);
}

void ObjectRollband::serialize(NSSerialize::SerialStream& stream) {
    NodeGraphic::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(speed);
    stream.transfer(editSpeed);
    stream.transfer(enabled);
    stream.transfer(editEnable);
}

void ObjectRollband::copyFrom(const NSClone::Cloneable* source) {
    auto* other = dynamic_cast<const ObjectRollband*>(source);
    if (!other || other == this)
        return;
    NodeGraphic::copyFrom(source);
    speed = other->speed;
    editSpeed = other->editSpeed;
    enabled = other->enabled;
    editEnable = other->editEnable;
}

void ObjectRollband::appendObjectMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    appendIfEditable(list, detailed, editEnable, boolEntry(this, "Enable Rollband", enabled));
    appendIfEditable(list, detailed, editSpeed,
                     floatEntry(this, "Rollband Speed", NSMenu::KIND_SLIDER, speed, 0.0f, kMaxSpeed, enabled));
    if (detailed) {
        list.push_back(boolEntry(this, "Edit Enable Rollband", editEnable));
        list.push_back(boolEntry(this, "Edit Rollband Speed", editSpeed));
    }
}

bool ObjectRollband::setMenuValue(std::string label, Value value) {
    if (label == "Enable Rollband") {
        setEnabled(value.boolValue);
        menuLinesChanged();
    } else if (label == "Rollband Speed") {
        setSpeed(value.floatValue);
    } else if (label == "Edit Enable Rollband") {
        editEnable = value.boolValue;
    } else if (label == "Edit Rollband Speed") {
        editSpeed = value.boolValue;
    } else {
        return NodeGraphic::setMenuValue(label, value);
    }
    return true;
}

Value ObjectRollband::getMenuValue(std::string label) {
    if (label == "Enable Rollband")
        return Value::ofBool(enabled);
    if (label == "Rollband Speed")
        return Value::ofFloat(speed);
    if (label == "Edit Enable Rollband")
        return Value::ofBool(editEnable);
    if (label == "Edit Rollband Speed")
        return Value::ofBool(editSpeed);
    return NodeGraphic::getMenuValue(label);
}

// ---------------------------------------------------------- the two belts

ObjectRollband1::ObjectRollband1(bool full) : ObjectRollband(full) {
    if (full)
        setupObject();
}

void ObjectRollband1::setupObject() {
    setupBelt("Flie\xDF"
              "band kurz",
              "rollband1.md2", "rollband1_pic.bmp", 30.0f, Vector3(-1.0f, 0.0f, 0.0f));
}

int ObjectRollband1::classId() const { return CLASS_OBJECT_ROLLBAND1; }

NSClone::Cloneable* ObjectRollband1::clone() const { return cloneOf(*this); }

void ObjectRollband1::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const ObjectRollband1*>(source))
        ObjectRollband::copyFrom(source);
}

ObjectRollband2::ObjectRollband2(bool full) : ObjectRollband(full) {
    if (full)
        setupObject();
}

void ObjectRollband2::setupObject() {
    setupBelt("Flie\xDF"
              "band lang",
              "rollband2.md2", "rollband2_pic.bmp", 100.0f, Vector3(0.0f, 0.0f, 1.0f));
}

int ObjectRollband2::classId() const { return CLASS_OBJECT_ROLLBAND2; }

NSClone::Cloneable* ObjectRollband2::clone() const { return cloneOf(*this); }

void ObjectRollband2::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const ObjectRollband2*>(source))
        ObjectRollband::copyFrom(source);
}

} // namespace NSObjects
