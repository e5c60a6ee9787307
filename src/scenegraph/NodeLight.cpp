#include "scenegraph/NodeLight.h"

#include <GL/gl.h>

#include <vector>

#include "persistence/ClassIds.h"
#include "persistence/SerialStream.h"
#include "scenegraph/ControllerNode.h"
#include "shell/Log.h"

namespace NSNode {

QBN_REGISTER_CLASS(CLASS_NODE_LIGHT, NodeLight)

namespace {

// Which slots are taken. The slots are OpenGL's, of the one context every
// scene draws in, and a light sets its slot's state when it changes, not
// when it draws: so lights of every world share one pool, and two scenes
// never set the same slot.
std::vector<bool>& slotTaken() {
    static std::vector<bool> slots(NodeLight::kPoolSize, false);
    return slots;
}

int takeSlot() {
    std::vector<bool>& taken = slotTaken();
    for (int i = 0; i < NodeLight::kPoolSize; ++i) {
        if (!taken[i]) {
            taken[i] = true;
            return i;
        }
    }
    return -1;
}

void returnSlot(int i) {
    if (i >= 0 && i < NodeLight::kPoolSize)
        slotTaken()[i] = false;
}

// The lights the OpenGL implementation offers. Asked once a context answers;
// until then the minimum every implementation has.
int glLightCount() {
    static int count = 0;
    if (count > 0)
        return count;
    GLint answer = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &answer);
    if (answer >= 8)
        count = answer;
    return answer >= 8 ? answer : 8;
}

void lightColour(GLenum light, GLenum which, const Vector3& c) {
    const GLfloat v[4] = {c.x, c.y, c.z, 1.0f};
    glLightfv(light, which, v);
}

} // namespace

NodeLight::NodeLight(bool full) : NodeTransform(true) {
    lightIndex = takeSlot();
    if (full)
        setDefaults();
}

NodeLight::NodeLight(const Vector3& position, const Vector3& newDiffuse) : NodeTransform(true) {
    lightIndex = takeSlot();
    setPosition(position);
    setDiffuse(newDiffuse.x, newDiffuse.y, newDiffuse.z);
    setDefaults();
}

NodeLight::NodeLight(const Vector3& position, const Vector3& newAmbient, const Vector3& newDiffuse,
                     const Vector3& newSpecular)
    : NodeTransform(true) {
    lightIndex = takeSlot();
    setPosition(position);
    setAmbient(newAmbient.x, newAmbient.y, newAmbient.z);
    setDiffuse(newDiffuse.x, newDiffuse.y, newDiffuse.z);
    setSpecular(newSpecular.x, newSpecular.y, newSpecular.z);
    setDefaults();
}

NodeLight::~NodeLight() {
    setEnabled(false);
    returnSlot(lightIndex);
}

int NodeLight::slotsInUse() {
    int n = 0;
    for (bool taken : slotTaken())
        n += taken ? 1 : 0;
    return n;
}

bool NodeLight::hasGlLight() const { return lightIndex >= 0 && lightIndex < glLightCount(); }

void NodeLight::switchGlLight() {
    if (!hasGlLight())
        return;
    if (enabled)
        glEnable(static_cast<GLenum>(GL_LIGHT0 + lightIndex));
    else
        glDisable(static_cast<GLenum>(GL_LIGHT0 + lightIndex));
}

void NodeLight::setDefaults() {
    directional = false;
    constantAttenuation = 1.0f;
    linearAttenuation = 0.0f;
    quadraticAttenuation = 0.0f;
    spot = false;
    spotCutoff = 0.5f;
    spotExponent = 0.0f;
    applyLight();
    setEnabled(true);
}

void NodeLight::applyLight() {
    if (!hasGlLight())
        return;
    const GLenum light = static_cast<GLenum>(GL_LIGHT0 + lightIndex);
    lightColour(light, GL_AMBIENT, ambient);
    lightColour(light, GL_DIFFUSE, diffuse);
    lightColour(light, GL_SPECULAR, specular);
    // A light at infinity is not attenuated and has no cone.
    if (directional)
        return;
    glLightf(light, GL_CONSTANT_ATTENUATION, constantAttenuation);
    glLightf(light, GL_LINEAR_ATTENUATION, linearAttenuation);
    glLightf(light, GL_QUADRATIC_ATTENUATION, quadraticAttenuation);
    if (spot) {
        glLightf(light, GL_SPOT_CUTOFF, spotCutoff * 90.0f);
        glLightf(light, GL_SPOT_EXPONENT, spotExponent);
    } else {
        glLightf(light, GL_SPOT_CUTOFF, 180.0f);
    }
}

void NodeLight::setAmbient(float r, float g, float b) {
    ambient = Vector3(r, g, b);
    applyLight();
}

void NodeLight::setDiffuse(float r, float g, float b) {
    diffuse = Vector3(r, g, b);
    applyLight();
}

void NodeLight::setSpecular(float r, float g, float b) {
    specular = Vector3(r, g, b);
    applyLight();
}

void NodeLight::setAttenuation(float constant, float linear, float quadratic) {
    constantAttenuation = constant;
    linearAttenuation = linear;
    quadraticAttenuation = quadratic;
    applyLight();
}

void NodeLight::setSpot(bool isSpot, float cutoff, float exponent) {
    spot = isSpot;
    spotCutoff = cutoff;
    spotExponent = exponent;
    applyLight();
}

void NodeLight::setDirectional(bool isDirectional) {
    directional = isDirectional;
    applyLight();
}

void NodeLight::setEnabled(bool on) {
    enabled = on;
    switchGlLight();
}

void NodeLight::draw() {
    NodeTransform::draw();
    if (!hasGlLight()) {
        // Said once per light, the first time it is drawn without one.
        if (!darkNoticed && enabled) {
            darkNoticed = true;
            log(LOG_INFO, "Light %d: the scene has more lights than OpenGL offers (%d); this one stays dark\n", getId(),
                glLightCount());
        }
        return;
    }
    const GLenum light = static_cast<GLenum>(GL_LIGHT0 + lightIndex);
    static const GLfloat kAlongZ[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    static const GLfloat kAtOrigin[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    static const GLfloat kDown[3] = {0.0f, 0.0f, -1.0f};
    glLightfv(light, GL_POSITION, directional ? kAlongZ : kAtOrigin);
    if (!directional && spot)
        glLightfv(light, GL_SPOT_DIRECTION, kDown);
}

int NodeLight::classId() const { return CLASS_NODE_LIGHT; }

void NodeLight::serialize(NSSerialize::SerialStream& stream) {
    NodeTransform::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(ambient, "light ambient colour", NSSerialize::Limits::kColour);
    stream.transfer(diffuse, "light diffuse colour", NSSerialize::Limits::kColour);
    stream.transfer(specular, "light specular colour", NSSerialize::Limits::kColour);
    stream.transfer(directional);
    stream.transfer(constantAttenuation);
    stream.transfer(linearAttenuation);
    stream.transfer(quadraticAttenuation);
    stream.transfer(spot);
    stream.transfer(spotCutoff);
    stream.transfer(spotExponent);
    if (stream.isWriting()) {
        stream.writeBool(enabled);
        return;
    }
    applyLight();
    setEnabled(stream.readBool());
}

NSClone::Cloneable* NodeLight::clone() const { return NSClone::cloneOf(*this); }

void NodeLight::copyFrom(const NSClone::Cloneable* source) {
    auto* other = dynamic_cast<const NodeLight*>(source);
    if (!other || other == this)
        return;
    NodeTransform::copyFrom(source);
    ambient = other->ambient;
    diffuse = other->diffuse;
    specular = other->specular;
    directional = other->directional;
    constantAttenuation = other->constantAttenuation;
    linearAttenuation = other->linearAttenuation;
    quadraticAttenuation = other->quadraticAttenuation;
    spot = other->spot;
    spotCutoff = other->spotCutoff;
    spotExponent = other->spotExponent;
    applyLight();
    setEnabled(other->enabled);
}

} // namespace NSNode
