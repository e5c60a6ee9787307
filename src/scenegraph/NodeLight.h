#pragma once
// A scene node that owns one OpenGL light. Its place in the tree gives the
// light's position (and, for a directional light, its direction along the
// node's +Z axis); its fields give the colours, the attenuation and the spot
// cone.
//
// The lights come from a pool of 20 slots shared by the whole program: a new
// node takes the lowest free slot and gives it back when it is destroyed.
// Slot i is GL_LIGHT0 + i. When all slots are taken a node gets slot -1: it
// lives in the tree, is saved and copied, but never touches OpenGL. Slots
// beyond what the OpenGL implementation offers (GL_MAX_LIGHTS, at least 8)
// are kept and saved as well, but send nothing either, since OpenGL would
// only reject them.
#include "scenegraph/NodeTransform.h"

namespace NSNode {

class NodeLight : public NodeTransform {
public:
    static constexpr int kPoolSize = 20;

    // Takes a pool slot; the colours are black and the light is off. With
    // full the remaining fields get their defaults and the light is switched
    // on. The node part always gets its volume and a fresh id.
    explicit NodeLight(bool full);
    // A light at position with the given colours, switched on.
    NodeLight(const Vector3& position, const Vector3& diffuse);
    NodeLight(const Vector3& position, const Vector3& ambient, const Vector3& diffuse, const Vector3& specular);
    // Switches the light off and gives the slot back.
    ~NodeLight() override;

    // The node, then the light's place: the modelview matrix is the node's.
    void draw() override;

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    // Everything but the slot: a copy keeps its own light.
    void copyFrom(const NSClone::Cloneable* source) override;

    // A point light without spot cone, attenuation (1, 0, 0), switched on.
    // The colours stay.
    virtual void setDefaults();

    // Sends colours, attenuation and spot values to OpenGL.
    void applyLight();

    // Each of these ends with applyLight.
    void setAmbient(float r, float g, float b);
    void setDiffuse(float r, float g, float b);
    void setSpecular(float r, float g, float b);
    void setAttenuation(float constant, float linear, float quadratic);
    // cutoff is the cone's half angle in quarter turns (0.5 is 45 degrees).
    void setSpot(bool spot, float cutoff, float exponent);
    void setDirectional(bool directional);
    void setEnabled(bool enabled);

    int getLightIndex() const { return lightIndex; }
    const Vector3& getAmbient() const { return ambient; }
    const Vector3& getDiffuse() const { return diffuse; }
    const Vector3& getSpecular() const { return specular; }
    bool isEnabled() const { return enabled; }
    bool isDirectional() const { return directional; }
    float getConstantAttenuation() const { return constantAttenuation; }
    float getLinearAttenuation() const { return linearAttenuation; }
    float getQuadraticAttenuation() const { return quadraticAttenuation; }
    bool isSpot() const { return spot; }
    float getSpotCutoff() const { return spotCutoff; }
    float getSpotExponent() const { return spotExponent; }

    // How many pool slots are taken right now.
    static int slotsInUse();

private:
    // Whether this node's slot names a light OpenGL has.
    bool hasGlLight() const;
    void switchGlLight();

    int lightIndex = -1;
    Vector3 ambient;
    Vector3 diffuse;
    Vector3 specular;
    bool enabled = false;
    bool darkNoticed = false; // told the log that this light has no GL light
    bool directional = false;
    float constantAttenuation = 1.0f;
    float linearAttenuation = 0.0f;
    float quadraticAttenuation = 0.0f;
    bool spot = false;
    float spotCutoff = 0.5f;
    float spotExponent = 0.0f;
};

} // namespace NSNode
