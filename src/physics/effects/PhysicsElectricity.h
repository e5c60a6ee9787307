#pragma once
// Electricity: an energy store (the Tesla coil's) that feeds the bodies in
// its volume that carry an electricity property. Each such body becomes a
// consumer the first time it draws; from then on each of its draws first
// gives back what it holds and then takes up to its maximum use again, as
// far as the free energy (energy - used) allows. Without refresh every draw
// also takes the energy out of the store for good; with refresh the store
// refills by refreshPerRound per second, up to energyMax.
//
// A store set to break down on overload stops serving for good (until it is
// rebuilt from a file or made anew) once its free energy falls below zero.
#include <string>
#include <vector>

#include "physics/Physics.h"

namespace NSPhysics {

class PhysicsElectricity : public NSPhysical::Physics {
public:
    // A body that drew from the store and the energy units it holds.
    struct Consumer {
        NSNode::NodePhysical* body = nullptr; // compared only, never followed
        bool served = false;
        int amount = 0;
    };

    // full: energy 100 of 100, no refresh, no breakdown.
    explicit PhysicsElectricity(bool full);
    // Nothing used, no refresh.
    PhysicsElectricity(float energyMax, float energy, bool overloadBreakdown);

    int kind() const override;
    // Draws energy for body as described above and returns (minimum use,
    // maximum use, energy drawn); (0, 0, 0) once broken down.
    Vector3 computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) override;
    void appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    Vector3 getColour() const override;
    // The refresh, then the children.
    void finishStep(float dt) override;

    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    // 47: a store has no direction.
    unsigned getMenuFlags() override;
    std::string getMenuPicture() override;

    int classId() const override;
    // Reading starts with nothing used, no consumers and a working store.
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    // The stored fields only: the copy starts like a freshly read store.
    void copyFrom(const NSClone::Cloneable* source) override;

    // Sets both; with refresh on, an energy above the new maximum is lowered to it.
    void configure(float energyMax, float refreshPerRound);
    float getEnergy() const { return energy; }
    void setEnergy(float e) { energy = e; }
    float getEnergyMax() const { return energyMax; }
    float getUsed() const { return used; }
    float getRefreshPerRound() const { return refreshPerRound; }
    bool isRefreshEnabled() const { return refreshEnabled; }
    void setRefreshEnabled(bool enabled) { refreshEnabled = enabled; }
    bool isOverloadBreakdown() const { return overloadBreakdown; }
    void setOverloadBreakdown(bool breakdown) { overloadBreakdown = breakdown; }
    bool isBrokenDown() const { return brokenDown; }
    const std::vector<Consumer>& getConsumers() const { return consumers; }

private:
    // Forgets the run: nothing used, no consumers, not broken down.
    void resetRun();

    float energyMax = 100.0f;
    float energy = 100.0f;
    float used = 0.0f;
    float refreshPerRound = 0.0f;
    bool overloadBreakdown = false;
    bool refreshEnabled = false;
    bool brokenDown = false;
    std::vector<Consumer> consumers;
};

} // namespace NSPhysics
