#include "objects/ObjectVentilator.h"

#include "objects/ObjectSupport.h"
#include "persistence/ClassIds.h"
#include "physics/effects/PhysicsWind.h"
#include "resources/ModelObject.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::BoundingVolume;
using NSNode::NodeGraphic;

namespace NSObjects {

QBN_REGISTER_CLASS(CLASS_OBJECT_VENTILATOR, ObjectVentilator)

namespace {

// Blade frames per second for each unit of turning speed.
constexpr float kAnimationPerSpeed = 3.0f;

} // namespace

ObjectVentilator::ObjectVentilator(bool full) : NodeGraphic(full) {
    if (!full)
        return;
    turningSpeed = 20.0f;
    editTurningSpeed = true;
    enabled = true;
    editEnable = true;
    setupObject();
}

void ObjectVentilator::setupObject() {
    applyLook(*this, "Ventilator", "ventilator.md2", "ventilator_pic.bmp");
    setEditScaling(false);
    setPhysical(false, false, 10.0f, 0.6f, 0.5f, false);
    setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(0.0f, 2.5f, 0.0f), Vector3(38.5f, 47.0f, 20.0f)));

    if (NSGraphic::ModelObject* blades = getModel()) {
        blades->setAnimationLoop(0, true);
        blades->setAnimationSmoothWrap(0, false);
    }
    setTurningSpeed(turningSpeed);
    auto* wind = new NSPhysics::PhysicsWind(turningSpeed);
    wind->setForceDirection(Vector3(0.0f, 0.0f, 1.0f));
    wind->setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(0.0f, 6.0f, 50.0f), Vector3(40.0f, 40.0f, 100.0f)));
    addPhysics(wind);
    registerForHits();
}

void ObjectVentilator::setTurningSpeed(float v) {
    turningSpeed = v;
    const float running = enabled ? v : 0.0f;
    if (NSGraphic::ModelObject* blades = getModel())
        blades->setAnimationSpeed(0, running * kAnimationPerSpeed);
    for (NSPhysical::Physics* effect : getPhysics())
        if (effect->kind() == NSPhysical::KIND_WIND)
            if (auto* wind = dynamic_cast<NSPhysics::PhysicsWind*>(effect))
                wind->setStrength(running);
}

void ObjectVentilator::setEnabled(bool on) {
    enabled = on;
    setTurningSpeed(turningSpeed);
}

int ObjectVentilator::classId() const { return CLASS_OBJECT_VENTILATOR; }

void ObjectVentilator::serialize(NSSerialize::SerialStream& stream) {
    NodeGraphic::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(turningSpeed);
    stream.transfer(editTurningSpeed);
    stream.transfer(enabled);
    stream.transfer(editEnable);
}

NSClone::Cloneable* ObjectVentilator::clone() const { return cloneOf(*this); }

void ObjectVentilator::copyFrom(const NSClone::Cloneable* source) {
    auto* other = dynamic_cast<const ObjectVentilator*>(source);
    if (!other || other == this)
        return;
    NodeGraphic::copyFrom(source);
    turningSpeed = other->turningSpeed;
    editTurningSpeed = other->editTurningSpeed;
    enabled = other->enabled;
    editEnable = other->editEnable;
}

void ObjectVentilator::appendObjectMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    appendIfEditable(list, detailed, editEnable, boolEntry(this, "Enable Ventilator", enabled));
    appendIfEditable(list, detailed, editTurningSpeed,
                     floatEntry(this, "Turning Speed", NSMenu::KIND_SLIDER, turningSpeed, 10.0f, 50.0f, enabled));
    if (detailed) {
        list.push_back(boolEntry(this, "Edit Enable Ventilator", editEnable));
        list.push_back(boolEntry(this, "Edit Turning Speed", editTurningSpeed));
    }
}

bool ObjectVentilator::setMenuValue(std::string label, Value value) {
    if (label == "Enable Ventilator") {
        setEnabled(value.boolValue);
        menuLinesChanged();
    } else if (label == "Turning Speed") {
        setTurningSpeed(value.floatValue);
    } else if (label == "Edit Enable Ventilator") {
        editEnable = value.boolValue;
    } else if (label == "Edit Turning Speed") {
        editTurningSpeed = value.boolValue;
    } else {
        return NodeGraphic::setMenuValue(label, value);
    }
    return true;
}

Value ObjectVentilator::getMenuValue(std::string label) {
    if (label == "Enable Ventilator")
        return Value::ofBool(enabled);
    if (label == "Turning Speed")
        return Value::ofFloat(turningSpeed);
    if (label == "Edit Enable Ventilator")
        return Value::ofBool(editEnable);
    if (label == "Edit Turning Speed")
        return Value::ofBool(editTurningSpeed);
    return NodeGraphic::getMenuValue(label);
}

} // namespace NSObjects
