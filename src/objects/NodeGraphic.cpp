#include "objects/NodeGraphic.h"

#include <GL/gl.h>

#include <cstdio>

#include "editable/EditorMode.h"
#include "persistence/ClassIds.h"
#include "physics/ControllerPhysics.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"
#include "resources/LoaderModelObject_MD2.h"
#include "resources/ModelObject_MD2.h"
#include "resources/ResourcePath.h"
#include "shell/Host.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSMenu::ValueConstraintRange;

namespace NSNode {

namespace {

// What OpenGL accepts as a material's shininess exponent.
constexpr NSSerialize::FieldLimits kShininessLimits{0.0f, 128.0f};

// Writes colour into the material parameters that track the current colour,
// with tracking off for the moment so that the write counts.
void loadTrackedMaterial(const GLfloat colour[4]) {
    if (!glIsEnabled(GL_COLOR_MATERIAL))
        return;
    GLint face = GL_FRONT_AND_BACK;
    GLint parameter = GL_AMBIENT_AND_DIFFUSE;
    glGetIntegerv(GL_COLOR_MATERIAL_FACE, &face);
    glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &parameter);
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(static_cast<GLenum>(face), static_cast<GLenum>(parameter), colour);
    glEnable(GL_COLOR_MATERIAL);
}

} // namespace

void syncColourMaterial() {
    if (!glIsEnabled(GL_COLOR_MATERIAL))
        return;
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    loadTrackedMaterial(colour);
}


QBN_REGISTER_CLASS(CLASS_NODE_GRAPHIC, NodeGraphic)

namespace {

ModelDrawer* drawer = nullptr;

// Rotation sliders show fractions of a full turn.
constexpr float kFullTurn = 6.2831855f;
// One step of a position accelerator moves this far.
constexpr float kPositionStep = 15.0f;

const char* const kAxes[3] = {"X", "Y", "Z"};
const char* const kChannels[3] = {"Red", "Green", "Blue"};

float& component(Vector3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }
float component(const Vector3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

// The axis (0..2) that label names as prefix + axis + suffix, or -1.
int axisOf(const std::string& label, const std::string& prefix, const std::string& suffix = "") {
    for (int a = 0; a < 3; ++a)
        if (label == prefix + kAxes[a] + suffix)
            return a;
    return -1;
}

// An angle as the rotation slider shows it: a fraction of a turn, folded
// into -0.5..0.5.
float turnFraction(float angle) {
    float f = angle / kFullTurn;
    return f > 0.5f ? f - 1.0f : f;
}

void setGlMaterial(GLenum what, bool on, const Vector3& v) {
    const GLfloat value[4] = {on ? v.x : 0.0f, on ? v.y : 0.0f, on ? v.z : 0.0f, on ? 1.0f : 0.0f};
    glMaterialfv(GL_FRONT_AND_BACK, what, value);
}

void touchMenu() {
    NSWindow::host().touchMenu();
}

// Hides or shows every drawable node below node, also below nodes that are
// not drawable themselves.
void setVisibleBelow(NodeTransform* node, bool v) {
    for (NodeTransform* child : node->getChildren()) {
        if (auto* graphic = dynamic_cast<NodeGraphic*>(child))
            graphic->setVisible(v);
        else
            setVisibleBelow(child, v);
    }
}

} // namespace

NodeGraphic::NodeGraphic(bool full) : NodePhysical(full) {
    if (!full)
        return;
    visible = true;
    name = "unnamed";
    ambient = Vector3(0.5f, 0.5f, 0.5f);
    diffuse = Vector3(1.0f, 1.0f, 1.0f);
    shininess = Vector3(0.7f, 0.7f, 0.7f);
    enableAmbient = true;
    enableDiffuse = true;
    color = Vector3(1.0f, 1.0f, 1.0f);
}

NodeGraphic::~NodeGraphic() {
    delete model;
    model = nullptr;
    if (drawer)
        drawer->forgetNode(this);
}

void NodeGraphic::setModelDrawer(ModelDrawer* d) { drawer = d; }
ModelDrawer* NodeGraphic::modelDrawer() { return drawer; }

int NodeGraphic::classId() const { return CLASS_NODE_GRAPHIC; }

void NodeGraphic::setName(const std::string& s) {
    name = s;
    nameInput = s;
}

void NodeGraphic::setPicture(const std::string& s) {
    picture = s;
    pictureInput = s;
}

void NodeGraphic::setModel(int kind, const std::string& modelFile, const std::string& textureFile) {
    delete model;
    model = nullptr;
    modelKind = kind;
    std::string texture = textureFile;
    if (texture.empty() && !modelFile.empty())
        texture = modelFile.substr(0, modelFile.size() > 4 ? modelFile.size() - 4 : 0) + ".bmp";
    if (kind != MODEL_MD2)
        return;
    auto* md2 = new NSGraphic::ModelObject_MD2(true);
    NSLoader::LoaderModelObject_MD2& loader = NSLoader::LoaderModelObject_MD2::instance();
    loader.setParameter("texture", texture);
    if (NSGraphic::ModelObject_MD2* shared = loader.get(modelFile))
        md2->copyModel(*shared);
    model = md2;
}

void NodeGraphic::setVisible(bool v) {
    visible = v;
    setVisibleBelow(this, v);
}

void NodeGraphic::setSelected(bool v) {
    selected = v;
    for (NSPhysical::Physics* effect : getPhysics())
        effect->setShowVolume(v);
}

void NodeGraphic::setEditPosition(bool x, bool y, bool z) {
    editPositionX = x;
    editPositionY = y;
    editPositionZ = z;
}

void NodeGraphic::setEditRotation(bool x, bool y, bool z) {
    editRotationX = x;
    editRotationY = y;
    editRotationZ = z;
}

void NodeGraphic::setAllEditFlags(bool e) {
    setEditPosition(e, e, e);
    setEditRotation(e, e, e);
    editScaling = e;
}

bool NodeGraphic::canEditPosition(int axis) const {
    switch (axis) {
    case -1: return editPositionX && editPositionY && editPositionZ;
    case 0: return editPositionX;
    case 1: return editPositionY;
    case 2: return editPositionZ;
    default: return false;
    }
}

bool NodeGraphic::canEditRotation(int axis) const {
    switch (axis) {
    case -1: return editRotationX && editRotationY && editRotationZ;
    case 0: return editRotationX;
    case 1: return editRotationY;
    case 2: return editRotationZ;
    default: return false;
    }
}

void NodeGraphic::setMaterialEnables(bool ambientOn, bool diffuseOn, bool specularOn, bool emissiveOn) {
    enableAmbient = ambientOn;
    enableDiffuse = diffuseOn;
    enableSpecular = specularOn;
    enableEmissive = emissiveOn;
}

void NodeGraphic::applyMaterial(bool useColor, float r, float g, float b) {
    setGlMaterial(GL_AMBIENT, enableAmbient, ambient);
    setGlMaterial(GL_DIFFUSE, enableDiffuse, diffuse);
    setGlMaterial(GL_SPECULAR, enableSpecular, specular);
    // Only the first value counts as the exponent.
    setGlMaterial(GL_SHININESS, enableSpecular, shininess);
    setGlMaterial(GL_EMISSION, enableEmissive, emissive);
    const GLfloat colour[4] = {useColor ? r : color.x, useColor ? g : color.y, useColor ? b : color.z, 1.0f};
    glColor4fv(colour);
    // Tracking copies the colour into the material only when the colour
    // changes. After a glPopAttrib the current colour may already equal this
    // one while the material still holds another (an outline's, or the white
    // a frame starts with), and the object would be lit in that: so the
    // tracked material gets the colour here as well.
    loadTrackedMaterial(colour);
}

bool NodeGraphic::outlineColor(Vector3& out) const {
    if (selected) {
        bool free = canEditPosition(-1) || NSMenu::isDesignerEditing();
        out = free ? Vector3(0.0f, 1.0f, 0.0f) : Vector3(1.0f, 1.0f, 1.0f);
        return true;
    }
    if (highlighted) {
        out = Vector3(0.25f, 0.25f, 1.0f);
        return true;
    }
    return false;
}

void NodeGraphic::draw() {
    NodePhysical::draw();
    if (!visible)
        return;
    const bool named = selectable || NSMenu::isDesignerEditing();
    if (named)
        glPushName(static_cast<GLuint>(getId()));
    glPushAttrib(GL_CURRENT_BIT | GL_LIGHTING_BIT);
    applyMaterial(false, 0.0f, 0.0f, 0.0f);
    if (drawer)
        drawer->drawModel(this);
    else if (model)
        model->draw(0, GL_LINEAR, GL_LINEAR);
    glPopAttrib();
    syncColourMaterial();
    if (named)
        glPopName();

    Vector3 outline;
    if (!outlineColor(outline))
        return;
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_LIGHTING_BIT);
    glDisable(GL_LIGHTING);
    glColor3f(outline.x, outline.y, outline.z);
    if (BoundingVolume* volume = getBoundingVolume()) {
        volume->setTransform(worldMatrix());
        volume->drawBrackets();
    }
    glPopAttrib();
}

void NodeGraphic::simulate(float dt) {
    NodePhysical::simulate(dt);
    if (model)
        model->animate(dt);
}

void NodeGraphic::appendObjectMenuEntries(std::vector<MenuEntry>&, bool) {}

unsigned NodeGraphic::getMenuFlags() { return 0x13FF; }

std::string NodeGraphic::getMenuPicture() { return picture; }

bool* NodeGraphic::flagByLabel(const std::string& label) {
    struct Flag {
        const char* label;
        bool* value;
    };
    const Flag flags[] = {
        {"Selectable", &selectable},          {"Edit Position X", &editPositionX},
        {"Edit Position Y", &editPositionY},  {"Edit Position Z", &editPositionZ},
        {"Edit Rotation X", &editRotationX},  {"Edit Rotation Y", &editRotationY},
        {"Edit Rotation Z", &editRotationZ},  {"Edit Scaling", &editScaling},
        {"Enable Ambient", &enableAmbient},   {"Enable Diffuse", &enableDiffuse},
        {"Enable Specular", &enableSpecular}, {"Enable Emissive", &enableEmissive},
    };
    for (const Flag& f : flags)
        if (label == f.label)
            return f.value;
    return nullptr;
}

float* NodeGraphic::colorByLabel(const std::string& label) {
    struct Colour {
        const char* prefix;
        Vector3* value;
    };
    const Colour colours[] = {
        {"Color ", &color},           {"Mat. Ambient ", &ambient},     {"Mat. Diffuse ", &diffuse},
        {"Mat. Specular ", &specular}, {"Mat. Shininess ", &shininess}, {"Mat. Emissive ", &emissive},
    };
    for (const Colour& c : colours)
        for (int channel = 0; channel < 3; ++channel)
            if (label == std::string(c.prefix) + kChannels[channel])
                return &component(*c.value, channel);
    return nullptr;
}

bool NodeGraphic::overlapsOthers() { return hitTestAll(Vector3()).hit; }

void NodeGraphic::getMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    const unsigned flags = getMenuFlags();
    auto add = [&](const std::string& label, unsigned type, unsigned kind, const Value& value,
                   NSMenu::ValueConstraint* range = nullptr) {
        list.emplace_back(this, label, type, kind, value, true, range);
    };
    auto addFloat = [&](const std::string& label, unsigned kind, float value, NSMenu::ValueConstraint* range) {
        add(label, NSMenu::TYPE_FLOAT, kind, Value::ofFloat(value), range);
    };
    auto addBool = [&](const std::string& label) {
        add(label, NSMenu::TYPE_BOOL, NSMenu::KIND_BOOL, Value::ofBool(*flagByLabel(label)));
    };
    auto addColour = [&](const std::string& prefix, int max) {
        for (const char* channel : kChannels) {
            const std::string label = prefix + channel;
            addFloat(label, NSMenu::KIND_SLIDER, *colorByLabel(label), new ValueConstraintRange(0, max));
        }
    };
    auto separator = [&] { list.emplace_back(); };

    const Vector3& position = getPosition();
    for (int a = 0; a < 3; ++a)
        if ((flags & MENU_POSITION) && (detailed || canEditPosition(a)))
            addFloat(std::string("Position ") + kAxes[a], NSMenu::KIND_ACCELERATOR, component(position, a),
                     new ValueConstraintRange(0, 0, -0.3f, 0.3f));
    for (int a = 0; a < 3; ++a)
        if ((flags & MENU_POSITION) && detailed)
            addFloat(std::string("Position ") + kAxes[a] + " ", NSMenu::KIND_INPUT, component(position, a), nullptr);
    for (int a = 0; a < 3; ++a)
        if ((flags & MENU_ROTATION) && (detailed || canEditRotation(a)))
            addFloat(std::string("Rotation ") + kAxes[a], NSMenu::KIND_SLIDER,
                     turnFraction(component(getRotation(), a)), new ValueConstraintRange(0, 0, -0.5f, 0.5f));
    if ((flags & MENU_SCALING) && (detailed || editScaling))
        addFloat("Scaling", NSMenu::KIND_SLIDER, getScaleFactor(), new ValueConstraintRange(0, 3, 0.5f, 3.0f));
    separator();
    appendObjectMenuEntries(list, detailed);
    separator();

    if (!detailed) {
        // Level mode tells the player what the object does and what acts on it.
        separator();
        if (!getPhysics().empty()) {
            list.emplace_back(nullptr, "PROVIDE", NSMenu::TYPE_BOOL, NSMenu::KIND_HEADER, Value(), true);
            for (NSPhysical::Physics* effect : getPhysics())
                list.emplace_back(nullptr, "", NSMenu::TYPE_STRING, NSMenu::KIND_TEXT,
                                  Value::ofString(" - " + NSPhysical::ControllerPhysics::instance().physicsName(
                                                              effect->classId())),
                                  true);
        }
        separator();
        if (!getProperties().empty()) {
            list.emplace_back(nullptr, "AFFECTED BY", NSMenu::TYPE_BOOL, NSMenu::KIND_HEADER, Value(), true);
            for (NSPhysical::PhysicsProperty* property : getProperties())
                list.emplace_back(nullptr, "", NSMenu::TYPE_STRING, NSMenu::KIND_TEXT,
                                  Value::ofString(" - " + NSPhysical::ControllerPhysics::instance().propertyName(
                                                              property->classId())),
                                  true);
        }
        return;
    }

    if (flags & MENU_SELECTABLE)
        addBool("Selectable");
    separator();
    if (flags & MENU_MASS) {
        addFloat("Mass", NSMenu::KIND_INPUT, getMass(), new ValueConstraintRange(0, 9999));
        addFloat("Elastic Bounce", NSMenu::KIND_SLIDER, getElasticBounce(), new ValueConstraintRange(0, 1));
        addFloat("Bounce Friction", NSMenu::KIND_SLIDER, getBounceFriction(), new ValueConstraintRange(0, 1));
        add("Enable Bounce Friction", NSMenu::TYPE_BOOL, NSMenu::KIND_BOOL, Value::ofBool(isBounceFrictionEnabled()));
    }
    if (flags & MENU_MOVEABLE) {
        add("Moveable", NSMenu::TYPE_BOOL, NSMenu::KIND_BOOL, Value::ofBool(isMoveable()));
        add("Rotateable", NSMenu::TYPE_BOOL, NSMenu::KIND_BOOL, Value::ofBool(isRotateable()));
    }
    separator();
    if (flags & MENU_EDIT_POSITION)
        for (const char* axis : kAxes)
            addBool(std::string("Edit Position ") + axis);
    if (flags & MENU_EDIT_ROTATION)
        for (const char* axis : kAxes)
            addBool(std::string("Edit Rotation ") + axis);
    if (flags & MENU_EDIT_SCALING)
        addBool("Edit Scaling");
    separator();
    if (flags & MENU_COLOR)
        addColour("Color ", 1);
    separator();
    if (flags & MENU_MATERIAL) {
        addBool("Enable Ambient");
        addColour("Mat. Ambient ", 1);
        addBool("Enable Diffuse");
        addColour("Mat. Diffuse ", 1);
        addBool("Enable Specular");
        addColour("Mat. Specular ", 1);
        addColour("Mat. Shininess ", 5);
        addBool("Enable Emissive");
        addColour("Mat. Emissive ", 1);
    }
    separator();
    if (flags & MENU_NAME) {
        add("Object Name", NSMenu::TYPE_STRING, NSMenu::KIND_INPUT, Value::ofString(nameInput));
        add("Set Name", NSMenu::TYPE_BOOL, NSMenu::KIND_BUTTON, Value());
    }
    separator();
    if (flags & MENU_PICTURE) {
        add("Menu Picture", NSMenu::TYPE_STRING, NSMenu::KIND_INPUT, Value::ofString(pictureInput));
        add("Set Picture", NSMenu::TYPE_BOOL, NSMenu::KIND_BUTTON, Value());
    }
    separator();
}

bool NodeGraphic::setMenuValue(std::string label, Value value) {
    const float f = value.floatValue;
    int axis = axisOf(label, "Position ");
    if (axis >= 0) {
        const Vector3 old = getPosition();
        Vector3 moved = old;
        component(moved, axis) += f * kPositionStep;
        setPosition(moved);
        if (isRegistered() && overlapsOthers())
            setPosition(old);
        return true;
    }
    axis = axisOf(label, "Position ", " ");
    if (axis >= 0) {
        Vector3 p = getPosition();
        component(p, axis) = f;
        setPosition(p);
        return true;
    }
    axis = axisOf(label, "Rotation ");
    if (axis >= 0) {
        const Vector3 old = getRotation();
        Vector3 turned = old;
        component(turned, axis) = f * kFullTurn;
        setRotation(turned);
        if (isRegistered() && overlapsOthers())
            setRotation(old);
        return true;
    }
    if (label == "Scaling") {
        const float old = getScaleFactor();
        setScale(f);
        if (overlapsOthers())
            setScale(old);
        return true;
    }
    if (bool* flag = flagByLabel(label)) {
        *flag = value.boolValue;
        return true;
    }
    if (float* channel = colorByLabel(label)) {
        *channel = f;
        return true;
    }
    if (label == "Mass")
        setMass(f);
    else if (label == "Elastic Bounce")
        setElasticBounce(f);
    else if (label == "Bounce Friction")
        setBounceFriction(f);
    else if (label == "Enable Bounce Friction")
        setBounceFrictionEnabled(value.boolValue);
    else if (label == "Moveable")
        setMoveable(value.boolValue);
    else if (label == "Rotateable")
        setRotateable(value.boolValue);
    else if (label == "Object Name")
        nameInput = value.stringValue;
    else if (label == "Menu Picture")
        pictureInput = value.stringValue;
    else if (label == "Set Name") {
        setName(nameInput);
        touchMenu();
    } else if (label == "Set Picture") {
        FILE* file = std::fopen((NSLoader::modelsFolder + NSLoader::localPath(pictureInput)).c_str(), "rb");
        if (!file) {
            setPicture("");
        } else {
            std::fclose(file);
            setPicture(pictureInput);
            touchMenu();
        }
    } else {
        return false;
    }
    return true;
}

Value NodeGraphic::getMenuValue(std::string label) {
    if (label == "ID")
        return Value::ofInt(getId());
    int axis = axisOf(label, "Position ");
    if (axis < 0)
        axis = axisOf(label, "Position ", " ");
    if (axis >= 0)
        return Value::ofFloat(component(getPosition(), axis));
    axis = axisOf(label, "Rotation ");
    if (axis >= 0)
        return Value::ofFloat(turnFraction(component(getRotation(), axis)));
    if (label == "Scaling")
        return Value::ofFloat(getScaleFactor());
    if (bool* flag = flagByLabel(label))
        return Value::ofBool(*flag);
    if (float* channel = colorByLabel(label))
        return Value::ofFloat(*channel);
    if (label == "Mass")
        return Value::ofFloat(getMass());
    if (label == "Elastic Bounce")
        return Value::ofFloat(getElasticBounce());
    if (label == "Bounce Friction")
        return Value::ofFloat(getBounceFriction());
    if (label == "Enable Bounce Friction")
        return Value::ofBool(isBounceFrictionEnabled());
    if (label == "Moveable")
        return Value::ofBool(isMoveable());
    if (label == "Rotateable")
        return Value::ofBool(isRotateable());
    if (label == "Object Name")
        return Value::ofString(nameInput);
    if (label == "Menu Picture")
        return Value::ofString(pictureInput);
    return Value();
}

void NodeGraphic::serialize(NSSerialize::SerialStream& s) {
    NodePhysical::serialize(s);
    if (!s.isCurrentVersion())
        return;
    s.transfer(name);
    s.transfer(picture);
    s.transfer(visible);
    s.transfer(editPositionX);
    s.transfer(editPositionY);
    s.transfer(editPositionZ);
    s.transfer(editRotationX);
    s.transfer(editRotationY);
    s.transfer(editRotationZ);
    s.transfer(editScaling);
    s.transfer(selectable);
    s.transfer(ambient, "material ambient colour", NSSerialize::Limits::kColour);
    s.transfer(diffuse, "material diffuse colour", NSSerialize::Limits::kColour);
    s.transfer(specular, "material specular colour", NSSerialize::Limits::kColour);
    s.transfer(shininess, "material shininess", kShininessLimits);
    s.transfer(emissive, "material emissive colour", NSSerialize::Limits::kColour);
    s.transfer(color, "colour", NSSerialize::Limits::kColour);
    s.transfer(alpha, "opacity", NSSerialize::Limits::kColour);
    s.transfer(enableAmbient);
    s.transfer(enableDiffuse);
    s.transfer(enableSpecular);
    s.transfer(enableEmissive);
    std::string modelFile = model ? model->getModelName() : std::string();
    std::string textureFile = model ? model->getTextureName() : std::string();
    bool compiled = model && model->isCompiled();
    int kind = modelKind;
    s.transfer(modelFile);
    s.transfer(textureFile);
    s.transfer(compiled);
    s.transfer(kind);
    if (s.isWriting()) {
        if (model)
            model->serialize(s);
        return;
    }
    nameInput = name;
    pictureInput = picture;
    setModel(kind, modelFile, textureFile);
    if (model) {
        model->setCompiled(compiled);
        if (modelKind != MODEL_NONE)
            model->serialize(s);
    }
}

NSClone::Cloneable* NodeGraphic::clone() const {
    auto* copy = new NodeGraphic(false);
    copy->copyFrom(this);
    return copy;
}

void NodeGraphic::copyFrom(const NSClone::Cloneable* source) {
    auto* other = dynamic_cast<const NodeGraphic*>(source);
    if (!other || other == this)
        return;
    NodePhysical::copyFrom(source);
    editPositionX = other->editPositionX;
    editPositionY = other->editPositionY;
    editPositionZ = other->editPositionZ;
    editRotationX = other->editRotationX;
    editRotationY = other->editRotationY;
    editRotationZ = other->editRotationZ;
    editScaling = other->editScaling;
    selectable = other->selectable;
    visible = other->visible;
    selected = other->selected;
    highlighted = other->highlighted;
    ambient = other->ambient;
    diffuse = other->diffuse;
    specular = other->specular;
    shininess = other->shininess;
    emissive = other->emissive;
    color = other->color;
    enableAmbient = other->enableAmbient;
    enableDiffuse = other->enableDiffuse;
    enableSpecular = other->enableSpecular;
    enableEmissive = other->enableEmissive;
    const NSGraphic::ModelObject* from = other->model;
    setModel(other->modelKind, from ? from->getModelName() : std::string(),
             from ? from->getTextureName() : std::string());
    if (model && from)
        model->setCompiled(from->isCompiled());
    name = other->name;
    nameInput = other->nameInput;
    picture = other->picture;
    pictureInput = other->pictureInput;
}

} // namespace NSNode
