#include "physics/ControllerPhysics.h"

#include <algorithm>

#include "physics/NodePhysical.h"
#include "scenegraph/ControllerNode.h"

namespace NSPhysical {

namespace {

bool validKind(int kind) { return kind >= 0 && kind < PHYSICS_KIND_COUNT; }

} // namespace

ControllerPhysics& ControllerPhysics::of(NSNode::ControllerNode& world) {
    // The part is made the first time a body of the world asks for it, and
    // only here.
    if (!world.part())
        world.setPart(std::unique_ptr<NSNode::ControllerNode::Part>(new ControllerPhysics(world)));
    return static_cast<ControllerPhysics&>(*world.part());
}

const ControllerPhysics* ControllerPhysics::find(const NSNode::ControllerNode& world) {
    return static_cast<const ControllerPhysics*>(world.part());
}

void ControllerPhysics::registerPhysics(Physics* effect) {
    if (effect && validKind(effect->kind()))
        effectsByKind[effect->kind()].push_back(effect);
}

void ControllerPhysics::unregisterPhysics(Physics* effect) {
    if (!effect || !validKind(effect->kind()))
        return;
    auto& list = effectsByKind[effect->kind()];
    list.erase(std::remove(list.begin(), list.end(), effect), list.end());
}

const std::vector<Physics*>& ControllerPhysics::effectsOfKind(int kind) const {
    static const std::vector<Physics*> none;
    return validKind(kind) ? effectsByKind[kind] : none;
}

void ControllerPhysics::collectEffects(NSNode::NodePhysical* body, std::vector<PhysicsEffect>& out) {
    for (PhysicsProperty* property : body->getProperties()) {
        int kind = property->kind();
        if (!validKind(kind))
            continue;
        for (Physics* effect : effectsByKind[kind]) {
            if (!effect->isEnabled() || !effect->hitTest(body, Vector3()).hit)
                continue;
            if (auto* owner = dynamic_cast<NSNode::NodePhysical*>(effect->getParent()))
                owner->effectApplied(effect, body);
            out.push_back(PhysicsEffect{effect, property});
        }
    }
}

} // namespace NSPhysical
