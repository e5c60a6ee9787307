#include "objects/NodeGraphic.h"

#include "scenegraph/ControllerNode.h"

#include <GL/gl.h>

#include "editable/EditorMode.h"
#include "persistence/ClassIds.h"
#include "persistence/Cloneable.h"
#include "physics/Physics.h"
#include "resources/LoaderModelObject_MD2.h"
#include "resources/ModelObject_MD2.h"
#include "scenegraph/ControllerNode.h"

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

void setGlMaterial(GLenum what, bool on, const Vector3& v) {
    const GLfloat value[4] = {on ? v.x : 0.0f, on ? v.y : 0.0f, on ? v.z : 0.0f, on ? 1.0f : 0.0f};
    glMaterialfv(GL_FRONT_AND_BACK, what, value);
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
    // The scene drawing the world forgets it (a model without a scene
    // draws itself).
    if (ModelDrawer* drawer = world().modelDrawer())
        drawer->forgetNode(this);
}

void NodeGraphic::changedWorld(NSNode::ControllerNode& from) {
    NodePhysical::changedWorld(from);
    if (ModelDrawer* drawer = from.modelDrawer())
        drawer->forgetNode(this);
}

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

const NodeGraphic* NodeGraphic::pickTarget() const {
    if (NSMenu::isDesignerEditing())
        return this;
    const NodeGraphic* node = this;
    while (node && !node->selectable)
        node = dynamic_cast<const NodeGraphic*>(node->getParent());
    return node;
}

void NodeGraphic::draw() {
    NodePhysical::draw();
    if (!visible)
        return;
    const NodeGraphic* picked = pickTarget();
    const bool named = picked != nullptr;
    if (named)
        glPushName(static_cast<GLuint>(picked->getId()));
    glPushAttrib(GL_CURRENT_BIT | GL_LIGHTING_BIT);
    applyMaterial(false, 0.0f, 0.0f, 0.0f);
    if (ModelDrawer* drawer = world().modelDrawer())
        drawer->drawModel(this);
    else if (model)
        model->draw(0, GL_LINEAR, GL_LINEAR);
    glPopAttrib();
    syncColourMaterial();
    if (named)
        glPopName();

    // The outline is no target for picking (and its wide lines, drawn
    // under GL_SELECT, cost Mesa's software renderers memory each pick).
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    Vector3 outline;
    if (mode != GL_RENDER || !outlineColor(outline))
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

NSClone::Cloneable* NodeGraphic::clone() const { return NSClone::cloneOf(*this); }

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
