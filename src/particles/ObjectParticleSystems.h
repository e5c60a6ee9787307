#pragma once
// The three placeable particle systems: solid shapes, textured sprites, and
// copies of an object of the scene.
#include <string>
#include <vector>

#include "particles/ObjectParticleSystem.h"
#include "particles/Particles.h"

namespace NSParticle {

class ObjectParticleSystemSimple : public ObjectParticleSystem {
public:
    explicit ObjectParticleSystemSimple(bool full);
    void setDefaults() override;
    NSNode::NodePhysical* makeParticleNode() override;
    Vector3 nodeColor(const NSNode::NodePhysical* node) const override { return of(node)->getColor(); }
    void setNodeColor(NSNode::NodePhysical* node, const Vector3& c) override { of(node)->setColor(c); }
    void onParticleCreated(Particle* p) override;
    void setParticleSize(Particle* p, float s) override { of(p->node)->setSize(s); }
    // The particle node this system made.
    static SimpleParticle* of(NSNode::NodePhysical* node) { return static_cast<SimpleParticle*>(node); }
    static const SimpleParticle* of(const NSNode::NodePhysical* node) {
        return static_cast<const SimpleParticle*>(node);
    }
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    int classId() const override;
    void serialize(NSSerialize::SerialStream& s) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    float particleSize = 3.0f;
    float particleSizeVar = 0.0f;
    bool editParticleSize = false;
    int shape = 0; // 0 sphere, 1 cube, 2 tetraeder
    int sphereDetail = 6;
};

class ObjectParticleSystemTexture : public ObjectParticleSystem {
public:
    explicit ObjectParticleSystemTexture(bool full);
    void setDefaults() override;
    NSNode::NodePhysical* makeParticleNode() override;
    Vector3 nodeColor(const NSNode::NodePhysical* node) const override { return of(node)->getColor(); }
    void setNodeColor(NSNode::NodePhysical* node, const Vector3& c) override { of(node)->setColor(c); }
    void setParticleSize(Particle* p, float s) override { of(p->node)->setSize(s); }
    // The particle node this system made.
    static TextureParticle* of(NSNode::NodePhysical* node) { return static_cast<TextureParticle*>(node); }
    static const TextureParticle* of(const NSNode::NodePhysical* node) {
        return static_cast<const TextureParticle*>(node);
    }
    // The node and the emitter, then every live sprite: all in one batch,
    // back to front, in the scene's pass for see-through nodes.
    void draw() override;
    // Loads the texture when the file changed; needs a GL context.
    unsigned particleTexture() override;
    bool drawsParticles() const override { return true; }
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    int classId() const override;
    void serialize(NSSerialize::SerialStream& s) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    std::string textureFile = "point.bmp";
    unsigned texture = 0;
    float particleSize = 5.0f;
    float particleSizeVar = 0.0f;

private:
    void drawSprites();

    std::string loadedFile;
};

class ObjectParticleSystemComplex : public ObjectParticleSystem {
public:
    explicit ObjectParticleSystemComplex(bool full);
    void setDefaults() override;
    void initEmitter() override;
    NSNode::NodePhysical* makeParticleNode() override;
    Vector3 nodeColor(const NSNode::NodePhysical* node) const override { return of(node)->getColor(); }
    void setNodeColor(NSNode::NodePhysical* node, const Vector3& c) override { of(node)->setColor(c); }
    // The particle node this system made: a copy of its prototype.
    static NSNode::NodeGraphic* of(NSNode::NodePhysical* node) { return static_cast<NSNode::NodeGraphic*>(node); }
    static const NSNode::NodeGraphic* of(const NSNode::NodePhysical* node) {
        return static_cast<const NSNode::NodeGraphic*>(node);
    }
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    int classId() const override;
    void serialize(NSSerialize::SerialStream& s) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    int prototypeId = 0;
    int particleId = 0;
    NSNode::NodeGraphic* prototype = nullptr;
};

} // namespace NSParticle
