#pragma once
// What a particle node needs from the system that made it, without knowing
// the system's particle type: its look for the current moment of its life,
// and a word when the node goes away before the system does.
#include <cstdlib>

#include "scenegraph/Vector3.h"

namespace NSScene {
class Scene;
}
namespace NSNode {
class NodeTransform;
}

namespace NSParticle {

class ParticleOwner {
public:
    virtual ~ParticleOwner() = default;
    // Colour and alpha fading of the particle behind record.
    virtual void particleAppearance(void* record) = 0;
    // The node of record is being destroyed.
    virtual void particleNodeGone(void* record) = 0;
};

// A particle node keeps its system and its record; both sides drop the
// link when they go.
class ParticleLink {
public:
    virtual ~ParticleLink() {
        if (owner)
            owner->particleNodeGone(record);
    }
    void link(ParticleOwner* o, void* r) {
        owner = o;
        record = r;
    }
    void unlink() {
        owner = nullptr;
        record = nullptr;
    }
    void applyAppearance() {
        if (owner)
            owner->particleAppearance(record);
    }
    ParticleOwner* linkedOwner() const { return owner; }

private:
    ParticleOwner* owner = nullptr;
    void* record = nullptr;
};

// A uniform value in [-1, 1] from rand.
inline float uniformSigned() { return static_cast<float>(std::rand()) * (1.0f / 32767.0f) * 2.0f - 1.0f; }

inline Vector3 normalised(const Vector3& v) {
    float l = v.length();
    return l > 0.0f ? v / l : v;
}

// The scene the game shows, or null (tests without a window).
NSScene::Scene* currentScene();

// How many of the three half extents are not exactly 0: what the emitter
// draws (faces for two or more, a line for one, nothing for none).
int emitterExtentCount(const Vector3& half);

} // namespace NSParticle
