#include "objects/ObjectTeslaSpule.h"

#include "objects/ObjectSupport.h"
#include "persistence/ClassIds.h"
#include "physics/effects/PhysicsElectricity.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::BoundingVolume;
using NSNode::NodeGraphic;

namespace NSObjects {

QBN_REGISTER_CLASS(CLASS_OBJECT_TESLA_SPULE, ObjectTeslaSpule)

namespace {

// The store acts around the coil's top.
const Vector3 kStoreCentre(0.0f, 55.0f, 0.0f);
constexpr float kMaxPower = 999999.0f;

} // namespace

ObjectTeslaSpule::ObjectTeslaSpule(bool full) : NodeGraphic(full) {
    if (!full)
        return;
    range = 50.0f;
    editRange = true;
    startingPower = 10000.0f;
    editStartingPower = true;
    refreshRate = 0.1f;
    editRefreshRate = true;
    maximumPower = 10000.0f;
    editMaximumPower = true;
    enabled = true;
    editEnable = true;
    refreshEnabled = true;
    setupObject();
}

void ObjectTeslaSpule::setupObject() {
    applyLook(*this, "Tesla-Spule", "teslaspule.md2", "teslaspule_pic.bmp");
    setEditScaling(false);
    setEditRotation(false, true, false);
    setPhysical(false, false, 10.0f, 0.6f, 0.5f, false);
    setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(0.0f, 33.0f, 0.0f), Vector3(30.0f, 68.0f, 30.0f)));

    // The store starts with the refresh rate as its energy; the first
    // applyTeslaSettings fills in the starting power.
    auto* store = new NSPhysics::PhysicsElectricity(maximumPower, refreshRate, false);
    store->setBoundingVolume(BoundingVolume::makeSphereVolume(kStoreCentre, range));
    addPhysics(store);
    registerForHits();
}

void ObjectTeslaSpule::applyTeslaSettings() {
    for (NSPhysical::Physics* effect : getPhysics()) {
        if (effect->kind() != NSPhysical::KIND_ELECTRICITY)
            continue;
        auto* store = dynamic_cast<NSPhysics::PhysicsElectricity*>(effect);
        if (!store)
            continue;
        store->setEnabled(enabled);
        store->setRefreshEnabled(refreshEnabled);
        store->setEnergy(startingPower);
        store->configure(maximumPower, refreshRate * maximumPower);
        store->setBoundingVolume(BoundingVolume::makeSphereVolume(kStoreCentre, range));
        startingPower = store->getEnergy();
    }
}

int ObjectTeslaSpule::classId() const { return CLASS_OBJECT_TESLA_SPULE; }

void ObjectTeslaSpule::serialize(NSSerialize::SerialStream& stream) {
    NodeGraphic::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(range);
    stream.transfer(editRange);
    stream.transfer(startingPower);
    stream.transfer(editStartingPower);
    stream.transfer(refreshRate);
    stream.transfer(editRefreshRate);
    stream.transfer(maximumPower);
    stream.transfer(editMaximumPower);
    stream.transfer(enabled);
    stream.transfer(editEnable);
    stream.transfer(refreshEnabled);
}

NSClone::Cloneable* ObjectTeslaSpule::clone() const { return cloneOf(*this); }

void ObjectTeslaSpule::copyFrom(const NSClone::Cloneable* source) {
    auto* other = dynamic_cast<const ObjectTeslaSpule*>(source);
    if (!other || other == this)
        return;
    NodeGraphic::copyFrom(source);
    range = other->range;
    editRange = other->editRange;
    startingPower = other->startingPower;
    editStartingPower = other->editStartingPower;
    refreshRate = other->refreshRate;
    editRefreshRate = other->editRefreshRate;
    maximumPower = other->maximumPower;
    editMaximumPower = other->editMaximumPower;
    enabled = other->enabled;
    editEnable = other->editEnable;
    refreshEnabled = other->refreshEnabled;
}

float* ObjectTeslaSpule::valueByLabel(const std::string& label) {
    if (label == "Tesla Range")
        return &range;
    if (label == "Starting Power")
        return &startingPower;
    if (label == "Refresh Rate")
        return &refreshRate;
    if (label == "Maximum Power")
        return &maximumPower;
    return nullptr;
}

bool* ObjectTeslaSpule::editFlagByLabel(const std::string& label) {
    if (label == "Edit Enable Teslacoil")
        return &editEnable;
    if (label == "Edit Tesla Range")
        return &editRange;
    if (label == "Edit Starting Power")
        return &editStartingPower;
    if (label == "Edit Refresh Rate")
        return &editRefreshRate;
    if (label == "Edit Maximum Power")
        return &editMaximumPower;
    return nullptr;
}

void ObjectTeslaSpule::appendObjectMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    // A switched-off coil greys its values, and the refresh rate is grey
    // while refresh is off.
    appendIfEditable(list, detailed, editEnable, boolEntry(this, "Enable Teslacoil", enabled));
    appendIfEditable(list, detailed, editRange,
                     floatEntry(this, "Tesla Range", NSMenu::KIND_SLIDER, range, 30.0f, 100.0f, enabled));
    appendIfEditable(list, detailed, editStartingPower,
                     floatEntry(this, "Starting Power", NSMenu::KIND_INPUT, startingPower, 0.0f, kMaxPower, enabled));
    MenuEntry refresh = boolEntry(this, "Enable Refresh", refreshEnabled);
    refresh.enabled = enabled;
    appendIfEditable(list, detailed, editRefreshRate, std::move(refresh));
    appendIfEditable(list, detailed, editRefreshRate,
                     floatEntry(this, "Refresh Rate", NSMenu::KIND_SLIDER, refreshRate, 0.0f, 1.0f,
                                enabled && refreshEnabled));
    appendIfEditable(list, detailed, editMaximumPower,
                     floatEntry(this, "Maximum Power", NSMenu::KIND_INPUT, maximumPower, 0.0f, kMaxPower, enabled));
    if (!detailed)
        return;
    for (const char* label : {"Edit Enable Teslacoil", "Edit Tesla Range", "Edit Starting Power", "Edit Refresh Rate",
                              "Edit Maximum Power"})
        list.push_back(boolEntry(this, label, *editFlagByLabel(label)));
}

bool ObjectTeslaSpule::setMenuValue(std::string label, Value value) {
    if (float* field = valueByLabel(label)) {
        *field = value.floatValue;
        applyTeslaSettings();
        return true;
    }
    if (label == "Enable Teslacoil" || label == "Enable Refresh") {
        (label == "Enable Teslacoil" ? enabled : refreshEnabled) = value.boolValue;
        applyTeslaSettings();
        menuLinesChanged();
        return true;
    }
    if (bool* flag = editFlagByLabel(label)) {
        *flag = value.boolValue;
        return true;
    }
    return NodeGraphic::setMenuValue(label, value);
}

Value ObjectTeslaSpule::getMenuValue(std::string label) {
    if (float* field = valueByLabel(label))
        return Value::ofFloat(*field);
    if (label == "Enable Teslacoil")
        return Value::ofBool(enabled);
    if (label == "Enable Refresh")
        return Value::ofBool(refreshEnabled);
    if (bool* flag = editFlagByLabel(label))
        return Value::ofBool(*flag);
    return NodeGraphic::getMenuValue(label);
}

} // namespace NSObjects
