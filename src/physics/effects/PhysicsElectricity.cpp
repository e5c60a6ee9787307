#include "physics/effects/PhysicsElectricity.h"

#include <climits>
#include <cmath>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/properties/PhysicsPropertyElectricity.h"

namespace NSPhysics {

namespace {

// Energy is handed out in whole units, truncated toward zero. Amounts that
// are not numbers give nothing; huge ones stop at the int range.
int wholeUnits(double amount) {
    if (std::isnan(amount))
        return 0;
    if (amount >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (amount <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(amount);
}

NSMenu::MenuEntry amountInput(NSMenu::MenuConfigureable* owner, const char* label, float value) {
    return NSPhysical::rangeEntry(owner, label, NSMenu::KIND_INPUT, value, 0, 999999, 0.0f, 999999.0f);
}

} // namespace

PhysicsElectricity::PhysicsElectricity(bool full) : Physics(full) {}

PhysicsElectricity::PhysicsElectricity(float energyMax, float energy, bool overloadBreakdown)
    : Physics(true), energyMax(energyMax), energy(energy), overloadBreakdown(overloadBreakdown) {}

int PhysicsElectricity::kind() const { return NSPhysical::KIND_ELECTRICITY; }

Vector3 PhysicsElectricity::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    auto* consumerProperty = dynamic_cast<NSPhysicsProperty::PhysicsPropertyElectricity*>(property);
    if (!body || !consumerProperty || brokenDown)
        return Vector3();
    const float minUse = consumerProperty->getMinUse();
    const float maxUse = consumerProperty->getMaxUse();
    int drawn = 0;
    Consumer* consumer = nullptr;
    for (Consumer& c : consumers) {
        if (c.body == body) {
            consumer = &c;
            break;
        }
    }
    if (consumer) {
        // Give back what the body holds, then take up to its maximum again.
        int want = wholeUnits(static_cast<double>(maxUse) - consumer->amount);
        used -= consumer->amount;
        const float available = energy - used;
        if (want > available)
            want = wholeUnits(available);
        consumer->amount = want;
        consumer->served = true;
        used += want;
        if (!refreshEnabled)
            energy -= want;
        drawn = want;
    } else {
        const float available = energy - used;
        if (minUse < available) {
            int want = wholeUnits(maxUse);
            if (want > available)
                want = wholeUnits(available);
            used += want;
            consumers.push_back(Consumer{body, true, want});
            if (!refreshEnabled)
                energy -= want;
            drawn = want;
        }
    }
    if (energy - used < 0.0f && overloadBreakdown)
        brokenDown = true;
    return Vector3(minUse, maxUse, static_cast<float>(drawn));
}

void PhysicsElectricity::finishStep(float dt) {
    if (refreshEnabled) {
        energy += dt * refreshPerRound;
        if (energy > energyMax)
            energy = energyMax;
        if (!(energy >= 0.0f))
            energy = 0.0f;
    }
    Physics::finishStep(dt);
}

void PhysicsElectricity::configure(float newEnergyMax, float newRefreshPerRound) {
    energyMax = newEnergyMax;
    refreshPerRound = newRefreshPerRound;
    if (refreshEnabled && energy > energyMax)
        energy = energyMax;
}

void PhysicsElectricity::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    list.push_back(amountInput(this, "Energy Amount", energy));
    list.push_back(amountInput(this, "Energy Amount Max", energyMax));
    list.push_back(NSPhysical::boolEntry(this, "Enable Refresh", refreshEnabled));
    list.push_back(amountInput(this, "Refresh per Round", refreshPerRound));
    list.push_back(NSPhysical::boolEntry(this, "Overload-Breakdown", overloadBreakdown));
}

Vector3 PhysicsElectricity::getColour() const { return Vector3(0.0f, 1.0f, 1.0f); }

bool PhysicsElectricity::setMenuValue(std::string label, NSMenu::Value value) {
    if (!std::isfinite(value.floatValue))
        return false;
    if (label == "Energy Amount")
        energy = value.floatValue;
    else if (label == "Energy Amount Max")
        energyMax = value.floatValue;
    else if (label == "Enable Refresh")
        refreshEnabled = value.boolValue;
    else if (label == "Refresh per Round")
        refreshPerRound = value.floatValue;
    else if (label == "Overload-Breakdown")
        overloadBreakdown = value.boolValue;
    else
        return Physics::setMenuValue(label, value);
    return true;
}

NSMenu::Value PhysicsElectricity::getMenuValue(std::string label) {
    if (label == "Energy Amount")
        return NSMenu::Value::ofFloat(energy);
    if (label == "Energy Amount Max")
        return NSMenu::Value::ofFloat(energyMax);
    if (label == "Enable Refresh")
        return NSMenu::Value::ofBool(refreshEnabled);
    if (label == "Refresh per Round")
        return NSMenu::Value::ofFloat(refreshPerRound);
    if (label == "Overload-Breakdown")
        return NSMenu::Value::ofBool(overloadBreakdown);
    return Physics::getMenuValue(label);
}

unsigned PhysicsElectricity::getMenuFlags() { return 47u; }

std::string PhysicsElectricity::getMenuPicture() { return "physicselectricity_pic.bmp"; }

int PhysicsElectricity::classId() const { return CLASS_PHYSICS_ELECTRICITY; }

void PhysicsElectricity::resetRun() {
    used = 0.0f;
    brokenDown = false;
    consumers.clear();
}

void PhysicsElectricity::serialize(NSSerialize::SerialStream& stream) {
    Physics::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(energyMax);
    stream.transfer(energy);
    stream.transfer(refreshPerRound);
    stream.transfer(refreshEnabled);
    stream.transfer(overloadBreakdown);
    if (stream.isReading())
        resetRun();
}

NSClone::Cloneable* PhysicsElectricity::clone() const { return NSClone::cloneOf(*this); }

void PhysicsElectricity::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsElectricity*>(source);
    if (!src || src == this)
        return;
    Physics::copyFrom(source);
    energyMax = src->energyMax;
    energy = src->energy;
    refreshPerRound = src->refreshPerRound;
    refreshEnabled = src->refreshEnabled;
    overloadBreakdown = src->overloadBreakdown;
    resetRun();
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_ELECTRICITY, NSPhysics::PhysicsElectricity)
