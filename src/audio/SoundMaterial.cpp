#include "audio/SoundMaterial.h"

#include <cmath>

#include "persistence/ClassIds.h"
#include "scenegraph/NodeTransform.h"

namespace NSAudio {

namespace {

bool isBall(int id) {
    return id == CLASS_OBJECT_BASKETBALL || id == CLASS_OBJECT_BOWLINGBALL || id == CLASS_OBJECT_TENNISBALL ||
           id == CLASS_OBJECT_SPHERE || id == CLASS_OBJECT_SPHERE_HIT;
}

// The lighter ball of the pair sets the pitch.
float ballPitch(int id) { return id == CLASS_OBJECT_TENNISBALL ? 1.5f : 1.0f; }

} // namespace

Impact impactBetween(const NSNode::NodeTransform& a, const NSNode::NodeTransform& b) {
    const int ia = a.classId();
    const int ib = b.classId();
    if (ia == CLASS_OBJECT_SPRUNGBRETT || ib == CLASS_OBJECT_SPRUNGBRETT)
        return {Sound::Springboard, 1.0f, 1.0f};
    if (ia == CLASS_OBJECT_BOWLINGBALL || ib == CLASS_OBJECT_BOWLINGBALL)
        return {Sound::ImpactBowling, 1.0f, 1.2f};
    const float pitch = std::fmax(isBall(ia) ? ballPitch(ia) : 0.0f, isBall(ib) ? ballPitch(ib) : 0.0f);
    if (isBall(ia) && isBall(ib))
        return {Sound::ImpactBall, pitch, 0.9f};
    return {Sound::ImpactWood, pitch > 0.0f ? pitch : 1.0f, pitch > 1.0f ? 0.7f : 1.0f};
}

float impactLoudness(const Impact& impact, float speed) {
    if (!(speed >= kQuietestImpact))
        return 0.0f;
    const float share = (speed - kQuietestImpact) / (kLoudestImpact - kQuietestImpact);
    // Loudness grows with the square root of the speed's share from 0.55 of
    // the full level, so gentle knocks, which tell the player as much about
    // the machine as hard ones, stay well audible.
    return impact.weight * std::sqrt(std::fmin(1.0f, share) * 0.7f + 0.3f);
}

} // namespace NSAudio
