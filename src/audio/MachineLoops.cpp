#include "audio/MachineLoops.h"

#include <cmath>

#include "objects/ObjectRollband.h"
#include "objects/ObjectTeslaSpule.h"
#include "objects/ObjectVentilator.h"
#include "persistence/ClassIds.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"

namespace NSAudio {

namespace {

struct Part {
    LoopSource source;
    const NSNode::NodePhysical* node;
    int kind; // the effect kind it acts through
};

float clampPitch(float p) { return std::fmin(2.0f, std::fmax(0.5f, p)); }

// A switched-on part as a loop candidate, or false.
bool asPart(const NSNode::NodeTransform* node, const Vector3& eye, Part& part) {
    const int cls = node->classId();
    Sound sound = Sound::Count;
    float pitch = 1.0f;
    int kind = NSPhysical::KIND_CONSTANT_MOVEMENT;
    if (cls == CLASS_OBJECT_ROLLBAND1 || cls == CLASS_OBJECT_ROLLBAND2) {
        const auto* belt = static_cast<const NSObjects::ObjectRollband*>(node);
        if (belt->isEnabled() && belt->getSpeed() > 0.0f) {
            sound = Sound::BeltLoop;
            pitch = clampPitch(0.7f + 0.3f * belt->getSpeed() / 14.0f);
        }
    } else if (cls == CLASS_OBJECT_VENTILATOR) {
        const auto* fan = static_cast<const NSObjects::ObjectVentilator*>(node);
        if (fan->isEnabled() && fan->getTurningSpeed() > 0.0f) {
            sound = Sound::FanLoop;
            pitch = clampPitch(0.6f + 0.4f * fan->getTurningSpeed() / 20.0f);
            kind = NSPhysical::KIND_WIND;
        }
    } else if (cls == CLASS_OBJECT_TESLA_SPULE && static_cast<const NSObjects::ObjectTeslaSpule*>(node)->isEnabled()) {
        sound = Sound::TeslaLoop;
        kind = NSPhysical::KIND_ELECTRICITY;
    }
    if (sound == Sound::Count)
        return false;
    const Vector3 at = node->worldPosition();
    part = {{node->getId(), sound, at, pitch, length(at - eye)}, static_cast<const NSNode::NodePhysical*>(node), kind};
    return true;
}

void collect(const NSNode::NodeTransform* node, const Vector3& eye, std::vector<Part>& parts,
             std::vector<const NSNode::NodePhysical*>& bodies) {
    for (const NSNode::NodeTransform* child : node->getChildren()) {
        Part part;
        if (asPart(child, eye, part))
            parts.push_back(part);
        if (const auto* body = dynamic_cast<const NSNode::NodePhysical*>(child))
            if (!body->getProperties().empty())
                bodies.push_back(body);
        collect(child, eye, parts, bodies);
    }
}

bool carries(const NSNode::NodePhysical& body, int kind) {
    for (const NSPhysical::PhysicsProperty* property : body.getProperties())
        if (property->kind() == kind)
            return true;
    return false;
}

// Whether one of the part's effects reaches a body that it acts on now.
bool actsOnSomething(const Part& part, const std::vector<const NSNode::NodePhysical*>& bodies) {
    for (NSPhysical::Physics* effect : part.node->getPhysics()) {
        if (!effect->isEnabled() || effect->kind() != part.kind)
            continue;
        for (const NSNode::NodePhysical* body : bodies) {
            const bool moving = body->isMoveable() && !body->isAsleep() && length(body->getVelocity()) >= kMovingSpeed;
            if (body == part.node || !carries(*body, part.kind) ||
                (part.kind != NSPhysical::KIND_ELECTRICITY && !moving))
                continue;
            // The overlap test records nothing; it only reads the two volumes.
            if (effect->overlaps(const_cast<NSNode::NodePhysical*>(body), Vector3()))
                return true;
        }
    }
    return false;
}

} // namespace

std::vector<LoopSource> heardLoops(const NSNode::NodeTransform* root, const Vector3& eye) {
    std::vector<Part> parts;
    std::vector<const NSNode::NodePhysical*> bodies;
    std::vector<LoopSource> heard;
    if (!root)
        return heard;
    collect(root, eye, parts, bodies);
    for (const Part& part : parts)
        if (actsOnSomething(part, bodies))
            heard.push_back(part.source);
    return heard;
}

} // namespace NSAudio
