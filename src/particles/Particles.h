#pragma once
// The particle node types: small solids (cube, sphere, tetraeder) and
// textured sprites that always face the camera. Both take their look for
// the moment from the system that made them.
#include "particles/ParticleSupport.h"
#include "physics/NodePhysical.h"

namespace NSParticle {

class SimpleParticle : public NSNode::NodePhysical, public ParticleLink {
public:
    explicit SimpleParticle(float size);
    void draw() override;
    // Also fits the bounding sphere to the drawn shape.
    void setSize(float s);
    float getSize() const { return size; }
    void setColor(const Vector3& c) { color = c; }
    const Vector3& getColor() const { return color; }

protected:
    virtual void drawShape() = 0;
    // The radius of the bounding sphere for size s: half the size, the
    // sphere that touches the cube's faces.
    virtual float volumeRadius(float s) const { return s * 0.5f; }
    float size;
    Vector3 color{1.0f, 1.0f, 1.0f};
};

class SimpleParticleCube : public SimpleParticle {
public:
    using SimpleParticle::SimpleParticle;

protected:
    void drawShape() override;
};

class SimpleParticleSphere : public SimpleParticle {
public:
    SimpleParticleSphere(float size, int detail);

protected:
    void drawShape() override;
    // The sphere is drawn with the size as its radius.
    float volumeRadius(float s) const override { return s; }

private:
    int detail;
};

class SimpleParticleTetraeder : public SimpleParticle {
public:
    using SimpleParticle::SimpleParticle;

protected:
    void drawShape() override;
};

class TextureParticle : public NSNode::NodePhysical, public ParticleLink {
public:
    // texture is shown until the system says otherwise: a system loads its
    // texture when it is first drawn, which may be after its first particles.
    TextureParticle(float size, unsigned texture);
    // Draws the sprite on its own, unless its system draws its sprites.
    void draw() override;
    void setSize(float s);
    float getSize() const { return size; }
    void setColor(const Vector3& c) { color = c; }
    const Vector3& getColor() const { return color; }

private:
    float size;
    unsigned texture;
    Vector3 color{1.0f, 1.0f, 1.0f};
};

} // namespace NSParticle
