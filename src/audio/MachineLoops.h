#pragma once
// The running machine parts heard as loops: conveyor belts, fans and Tesla
// coils that are switched on and, right now, do something. A belt or a fan
// is heard while its effect reaches a body that moves (it moves something);
// a coil while its effect reaches a body that takes electricity (it feeds
// something). A part that runs idle is silent, so a level whose machine has
// come to rest falls silent.
#include <vector>

#include "audio/AudioDevice.h"
#include "math/Vector3.h"

namespace NSNode {
class NodeTransform;
}

namespace NSAudio {

struct LoopSource {
    int id;
    Sound sound;
    Vector3 at;
    float pitch;
    float distance;
};

// Bodies slower than this (units per second) are at rest to the loops.
constexpr float kMovingSpeed = 5.0f;

// The loops to hear under root, with their distance from eye.
std::vector<LoopSource> heardLoops(const NSNode::NodeTransform* root, const Vector3& eye);

} // namespace NSAudio
