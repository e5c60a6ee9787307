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
    void setSize(float s);
    float getSize() const { return size; }
    void setColor(const Vector3& c) { color = c; }
    const Vector3& getColor() const { return color; }

protected:
    virtual void drawShape() = 0;
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
    SimpleParticleSphere(float size, int detail) : SimpleParticle(size), detail(detail) {}

protected:
    void drawShape() override;

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
    TextureParticle(float size, unsigned texture);
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
