#pragma once
// What a contact sounds like, from the kinds of the two things that met.
#include "audio/AudioDevice.h"

namespace NSNode {
class NodeTransform;
}

namespace NSAudio {

struct Impact {
    Sound sound = Sound::ImpactWood;
    // Playback rate: small, light balls sound higher.
    float pitch = 1.0f;
    // How loud the contact is at a given speed, relative to the others.
    float weight = 1.0f;
};

// Contacts slower than this (units per second) make no sound: a body at
// rest touches its support every step, and a ball that hops on the spot,
// less than a tenth of its height, is no event to hear.
constexpr float kQuietestImpact = 40.0f;
// Impacts reach full loudness at this speed.
constexpr float kLoudestImpact = 200.0f;

// The sound of a contact between a and b: the springboard's twang when one
// of them is a springboard, the bowling ball's thud when one is the bowling
// ball, a ball on a ball, else a knock on wood (boards, boxes, the room).
Impact impactBetween(const NSNode::NodeTransform& a, const NSNode::NodeTransform& b);
// 0 for contacts too slow to hear, rising to the impact's weight at
// kLoudestImpact and above.
float impactLoudness(const Impact& impact, float speed);

} // namespace NSAudio
