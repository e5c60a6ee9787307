#include "objects/ObjectLight.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "editable/EditorMode.h"
#include "objects/ObjectSupport.h"
#include "persistence/ClassIds.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSNode::NodeLight;

namespace NSObjects {

QBN_REGISTER_CLASS(CLASS_OBJECT_LIGHT_OMNI, ObjectLightOmni)
QBN_REGISTER_CLASS(CLASS_OBJECT_LIGHT_DIRECTIONAL, ObjectLightDirectional)
QBN_REGISTER_CLASS(CLASS_OBJECT_LIGHT_SPOT, ObjectLightSpot)

namespace {

constexpr int kSlices = 20;
// How far the lamp's body reaches from its origin, for the in-view test.
constexpr float kBodyReach = 10.0f;

const char* const kChannels[3] = {"Red", "Green", "Blue"};

float& component(Vector3& v, int i) { return i == 0 ? v.x : (i == 1 ? v.y : v.z); }

// Which colour of the light a label names (0 ambient, 1 diffuse, 2 specular)
// and which channel; false for other labels.
bool colourOf(const std::string& label, int& colour, int& channel) {
    const char* const prefixes[3] = {"Ambient-Light ", "Diffuse-Light ", "Specular-Light "};
    for (colour = 0; colour < 3; ++colour)
        for (channel = 0; channel < 3; ++channel)
            if (label == std::string(prefixes[colour]) + kChannels[channel])
                return true;
    return false;
}

Vector3 colourOfLight(const NodeLight& light, int colour) {
    return colour == 0 ? light.getAmbient() : (colour == 1 ? light.getDiffuse() : light.getSpecular());
}

void setColourOfLight(NodeLight& light, int colour, const Vector3& c) {
    if (colour == 0)
        light.setAmbient(c.x, c.y, c.z);
    else if (colour == 1)
        light.setDiffuse(c.x, c.y, c.z);
    else
        light.setSpecular(c.x, c.y, c.z);
}

// Whether the node's origin, give or take its body, lies in front of the eye.
bool inFrontOfEye() {
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    // The eye looks along -z; [14] is the origin's eye-space z.
    return modelview[14] < kBodyReach;
}

GLUquadric* quadric() {
    static GLUquadric* shared = nullptr;
    if (!shared) {
        shared = gluNewQuadric();
        if (shared)
            gluQuadricNormals(shared, GLU_SMOOTH);
    }
    return shared;
}

} // namespace

// -------------------------------------------------------------- ObjectLight

ObjectLight::ObjectLight(bool full) : ObjectLight(full, false) {}

ObjectLight::ObjectLight(bool full, bool directional) : NodeGraphic(full), directional(directional) {
    if (full)
        setupObject();
}

void ObjectLight::setupObject() {
    setAmbient(Vector3(0.8f, 0.8f, 0.0f));
    light = new NodeLight(Vector3(), Vector3(0.2f, 0.2f, 0.2f), Vector3(0.8f, 0.8f, 0.8f), Vector3(0.0f, 0.0f, 0.0f));
    lightId = light->getId();
    light->setDirectional(directional);
    addChild(light);
}

void ObjectLight::setupLight() {}

void ObjectLight::draw() {
    NodeGraphic::draw();
    if (!isVisible() || !NSMenu::isDesignerEditing() || !inFrontOfEye())
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT);
    glDisable(GL_LIGHTING);
    // Unlit: the colour must not leak into the material either.
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 0.3f);
    const bool named = pushPickName(*this);
    drawShape();
    popPickName(named);
    glPopAttrib();
    syncColourMaterial();
}

void ObjectLight::drawShape() {
    GLUquadric* q = quadric();
    if (!q)
        return;
    // The bulb, with the housing behind it and a rim around its front.
    gluSphere(q, 2.5, kSlices, kSlices / 2);
    gluCylinder(q, 4.5, 2.0, 8.0, kSlices, 1);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, 8.0f);
    gluDisk(q, 0.0, 2.0, kSlices, 1);
    glPopMatrix();
    glPushMatrix();
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    gluDisk(q, 3.0, 4.5, kSlices, 1);
    glPopMatrix();
}

int ObjectLight::classId() const { return CLASS_OBJECT_LIGHT; }

void ObjectLight::findLight() {
    light = nullptr;
    for (NSNode::NodeTransform* child : getChildren()) {
        auto* candidate = dynamic_cast<NodeLight*>(child);
        if (!candidate)
            continue;
        if (candidate->getId() == lightId) {
            light = candidate;
            break;
        }
        if (!light)
            light = candidate;
    }
    lightId = light ? light->getId() : -1;
}

void ObjectLight::serialize(NSSerialize::SerialStream& stream) {
    NodeGraphic::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    if (stream.isWriting())
        lightId = light ? light->getId() : -1;
    stream.transfer(lightId);
    stream.transfer(directional);
    if (stream.isReading())
        findLight();
}

NSClone::Cloneable* ObjectLight::clone() const { return cloneOf(*this); }

void ObjectLight::copyFrom(const NSClone::Cloneable* source) {
    auto* other = dynamic_cast<const ObjectLight*>(source);
    if (!other || other == this)
        return;
    NodeGraphic::copyFrom(source);
    directional = other->directional;
    // The children were copied in order: the copy's light stands where the
    // source's does.
    light = nullptr;
    const auto& theirs = other->getChildren();
    const auto& ours = getChildren();
    for (size_t i = 0; i < theirs.size() && i < ours.size(); ++i)
        if (theirs[i] == other->light)
            light = dynamic_cast<NodeLight*>(ours[i]);
    lightId = light ? light->getId() : -1;
}

unsigned ObjectLight::getMenuFlags() {
    return MENU_POSITION | MENU_ROTATION | MENU_LIGHT_COLOURS | MENU_LIGHT_ATTENUATION | MENU_LIGHT_SPOT;
}

void ObjectLight::appendObjectMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    if (!detailed || !light)
        return;
    const unsigned flags = getMenuFlags();
    if (flags & MENU_LIGHT_COLOURS) {
        for (const char* colour : {"Ambient-Light ", "Diffuse-Light ", "Specular-Light "})
            for (const char* channel : kChannels) {
                const std::string label = std::string(colour) + channel;
                list.push_back(
                    floatEntry(this, label, NSMenu::KIND_SLIDER, getMenuValue(label).floatValue, 0.0f, 1.0f));
            }
    }
    if (flags & MENU_LIGHT_ATTENUATION) {
        list.push_back(floatEntry(this, "Attenuation Constant", NSMenu::KIND_SLIDER,
                                  light->getConstantAttenuation(), 0.0f, 3.0f));
        list.push_back(floatEntry(this, "Attenuation Linear", NSMenu::KIND_SLIDER, light->getLinearAttenuation(),
                                  0.0f, 0.03f));
        list.push_back(floatEntry(this, "Attenuation Quadratic", NSMenu::KIND_SLIDER,
                                  light->getQuadraticAttenuation(), 0.0f, 0.001f));
    }
    if (flags & MENU_LIGHT_SPOT_SWITCH)
        list.push_back(boolEntry(this, "Enable Spotlight", light->isSpot()));
    if (flags & MENU_LIGHT_SPOT) {
        list.push_back(
            floatEntry(this, "Spotlight Cutoff", NSMenu::KIND_SLIDER, light->getSpotCutoff(), 0.0f, 1.0f));
        list.push_back(
            floatEntry(this, "Spotlight Exponent", NSMenu::KIND_SLIDER, light->getSpotExponent(), 0.0f, 100.0f));
    }
}

bool ObjectLight::setMenuValue(std::string label, Value value) {
    if (!light)
        return NodeGraphic::setMenuValue(label, value);
    const float f = value.floatValue;
    int colour = 0;
    int channel = 0;
    if (colourOf(label, colour, channel)) {
        Vector3 c = colourOfLight(*light, colour);
        component(c, channel) = f;
        setColourOfLight(*light, colour, c);
    } else if (label == "Attenuation Constant") {
        light->setAttenuation(f, light->getLinearAttenuation(), light->getQuadraticAttenuation());
    } else if (label == "Attenuation Linear") {
        light->setAttenuation(light->getConstantAttenuation(), f, light->getQuadraticAttenuation());
    } else if (label == "Attenuation Quadratic") {
        light->setAttenuation(light->getConstantAttenuation(), light->getLinearAttenuation(), f);
    } else if (label == "Enable Spotlight") {
        light->setSpot(value.boolValue, light->getSpotCutoff(), light->getSpotExponent());
    } else if (label == "Spotlight Cutoff") {
        light->setSpot(light->isSpot(), f, light->getSpotExponent());
    } else if (label == "Spotlight Exponent") {
        light->setSpot(light->isSpot(), light->getSpotCutoff(), f);
    } else {
        return NodeGraphic::setMenuValue(label, value);
    }
    return true;
}

Value ObjectLight::getMenuValue(std::string label) {
    if (!light)
        return NodeGraphic::getMenuValue(label);
    int colour = 0;
    int channel = 0;
    if (colourOf(label, colour, channel)) {
        Vector3 c = colourOfLight(*light, colour);
        return Value::ofFloat(component(c, channel));
    }
    if (label == "Attenuation Constant")
        return Value::ofFloat(light->getConstantAttenuation());
    if (label == "Attenuation Linear")
        return Value::ofFloat(light->getLinearAttenuation());
    if (label == "Attenuation Quadratic")
        return Value::ofFloat(light->getQuadraticAttenuation());
    if (label == "Enable Spotlight")
        return Value::ofBool(light->isSpot());
    if (label == "Spotlight Cutoff")
        return Value::ofFloat(light->getSpotCutoff());
    if (label == "Spotlight Exponent")
        return Value::ofFloat(light->getSpotExponent());
    return NodeGraphic::getMenuValue(label);
}

// ----------------------------------------------------------------- the kinds

ObjectLightOmni::ObjectLightOmni(bool full) : ObjectLight(full, false) {
    if (full)
        setupLight();
}

void ObjectLightOmni::setupLight() {
    setName("Omni-Light");
    setPicture("lightomni_pic.bmp");
    setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 5.0f));
}

int ObjectLightOmni::classId() const { return CLASS_OBJECT_LIGHT_OMNI; }

NSClone::Cloneable* ObjectLightOmni::clone() const { return cloneOf(*this); }

void ObjectLightOmni::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const ObjectLightOmni*>(source))
        ObjectLight::copyFrom(source);
}

unsigned ObjectLightOmni::getMenuFlags() { return MENU_POSITION | MENU_LIGHT_COLOURS | MENU_LIGHT_ATTENUATION; }

ObjectLightDirectional::ObjectLightDirectional(bool full) : ObjectLight(full, true) {
    if (full)
        setupLight();
}

void ObjectLightDirectional::setupLight() {
    setName("Directional-Light");
    setPicture("lightdirectional_pic.bmp");
    setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(), Vector3(10.0f, 10.0f, 27.0f)));
}

int ObjectLightDirectional::classId() const { return CLASS_OBJECT_LIGHT_DIRECTIONAL; }

NSClone::Cloneable* ObjectLightDirectional::clone() const { return cloneOf(*this); }

void ObjectLightDirectional::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const ObjectLightDirectional*>(source))
        ObjectLight::copyFrom(source);
}

unsigned ObjectLightDirectional::getMenuFlags() { return MENU_POSITION | MENU_ROTATION | MENU_LIGHT_COLOURS; }

ObjectLightSpot::ObjectLightSpot(bool full) : ObjectLight(full, false) {
    if (full)
        setupLight();
}

void ObjectLightSpot::setupLight() {
    setName("Spot-Light");
    setPicture("lightspot_pic.bmp");
    setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(), Vector3(10.0f, 10.0f, 27.0f)));
    if (NodeLight* own = getLight())
        own->setSpot(true, own->getSpotCutoff(), own->getSpotExponent());
}

int ObjectLightSpot::classId() const { return CLASS_OBJECT_LIGHT_SPOT; }

NSClone::Cloneable* ObjectLightSpot::clone() const { return cloneOf(*this); }

void ObjectLightSpot::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const ObjectLightSpot*>(source))
        ObjectLight::copyFrom(source);
}

unsigned ObjectLightSpot::getMenuFlags() {
    return MENU_POSITION | MENU_ROTATION | MENU_LIGHT_COLOURS | MENU_LIGHT_ATTENUATION | MENU_LIGHT_SPOT;
}

} // namespace NSObjects
