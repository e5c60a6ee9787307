#pragma once
// What a particle node needs from the system that made it, without knowing
// the system's particle type: its look for the current moment of its life,
// and a word when the node goes away before the system does.
#include <cstdlib>

#include "math/Matrix4.h"
#include "math/Vector3.h"

namespace NSScene {
class Scene;
}
namespace NSNode {
class NodeTransform;
}

namespace NSParticle {

constexpr float kTwoPi = 6.2831855f;
constexpr float kPi = 3.1415927f;

class ParticleOwner {
public:
    virtual ~ParticleOwner() = default;
    // Colour and alpha fading of the particle behind record.
    virtual void particleAppearance(void* record) = 0;
    // The node of record is being destroyed.
    virtual void particleNodeGone(void* record) = 0;
    // The texture the system's particles show (0: none). Asked while
    // drawing, so a system may load it then.
    virtual unsigned particleTexture() { return 0; }
    // Whether the system draws its particles itself, all in one go; their
    // nodes then draw nothing.
    virtual bool drawsParticles() const { return false; }
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

// The generator's draws cut to 0..32767 whatever its own range is (glibc
// reaches 2^31 - 1); its range plus one is a power of two, so every value
// stays equally likely.
inline int randomDraw() { return std::rand() % 32768; }

// A uniform value in [-1, 1].
inline float uniformSigned() { return static_cast<float>(randomDraw()) * (1.0f / 32767.0f) * 2.0f - 1.0f; }

inline Vector3 normalised(const Vector3& v) {
    float l = v.length();
    return l > 0.0f ? v / l : v;
}

// The scene that draws node's world, or null (a node outside every scene).
NSScene::Scene* sceneOf(const NSNode::NodeTransform& node);

// Where a sprite's eye is: the scene's camera, or a point in front of the
// origin when there is no scene.
Vector3 spriteEye(const NSNode::NodeTransform& node);

// The turn that makes a sprite at at (world) face eye: a half turn about y,
// then about the vertical towards the eye, then the tilt towards it. What
// glRotatef would build in the same order.
Matrix4 spriteTurn(const Vector3& eye, const Vector3& at);

// Filters the bound sprite texture as the scene filters its models (its
// technical settings), so that sprites follow the same quality switch; the
// default filters need no mipmap reads, the sprites' largest cost in Mesa's
// software renderer. Without a scene the texture keeps its own filters.
void applySpriteFilters(NSScene::Scene* scene);

// The inverse of an affine matrix (last row 0, 0, 0, 1); the identity when
// it cannot be inverted.
Matrix4 affineInverse(const Matrix4& m);

// How many of the three half extents are not exactly 0: what the emitter
// draws (faces for two or more, a line for one, nothing for none).
int emitterExtentCount(const Vector3& half);

} // namespace NSParticle
