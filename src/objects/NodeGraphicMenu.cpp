// A drawn object's menu page: its lines in display order (position,
// rotation, scale, mass, colour, material, picture, name, permissions) and
// reading and writing each value by its label.
#include "objects/NodeGraphic.h"

#include <unistd.h>

#include <cstdio>

#include "editable/EditorMode.h"
#include "objects/ObjectShapes.h"
#include "physics/PhysicsCatalogue.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"
#include "physics/TurnRange.h"
#include "resources/ResourcePath.h"
#include "shell/SafeFile.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSMenu::ValueConstraintRange;

namespace NSNode {

namespace {

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

// An angle (within a turn either way) as the rotation slider shows it: a
// fraction of a turn, folded into -0.5..0.5.
float turnFraction(float angle) {
    float f = angle / kFullTurn;
    return f > 0.5f ? f - 1.0f : (f < -0.5f ? f + 1.0f : f);
}

// A separator, then (unless names is empty) a header and one " - name" line each.
void appendNameList(std::vector<MenuEntry>& list, const char* header, const std::vector<std::string>& names) {
    list.emplace_back();
    if (names.empty())
        return;
    list.emplace_back(nullptr, header, NSMenu::TYPE_BOOL, NSMenu::KIND_HEADER, Value(), true);
    for (const std::string& name : names)
        list.emplace_back(nullptr, "", NSMenu::TYPE_STRING, NSMenu::KIND_TEXT, Value::ofString(" - " + name), true);
}

// A position bar reads its place to a tenth of a unit; a typed place goes to
// the absolute position and must lie inside the room of an object that
// stands in one.
NSMenu::Readout positionReadout(const NSNode::NodeTransform* node, int axis) {
    NSMenu::Readout r;
    r.places = 1;
    r.typedLabel = std::string("Position ") + kAxes[axis] + " ";
    const NSNode::NodeTransform* root = node->getParent();
    if (!root || root->getParent())
        return r;
    for (const NSNode::NodeTransform* child : root->getChildren()) {
        const auto* room = dynamic_cast<const NSObjects::ObjectRoom*>(child);
        if (!room || room == node)
            continue;
        const Vector3 half = Vector3(room->getLength(), room->getHeight(), room->getWidth()) *
                             (0.5f * room->getScaleFactor());
        const float centre = component(room->getPosition(), axis);
        r.ranged = true;
        r.min = centre - component(half, axis);
        r.max = centre + component(half, axis);
        break;
    }
    return r;
}

// Appends an object's lines to its menu page.
struct PageLines {
    NodeGraphic* owner;
    std::vector<MenuEntry>& list;

    void add(const std::string& label, unsigned type, unsigned kind, const Value& value,
             NSMenu::ValueConstraint* range = nullptr) {
        list.emplace_back(owner, label, type, kind, value, true, range);
    }
    void addFloat(const std::string& label, unsigned kind, float value, NSMenu::ValueConstraint* range,
                  const NSMenu::Readout& readout = NSMenu::Readout()) {
        add(label, NSMenu::TYPE_FLOAT, kind, Value::ofFloat(value), range);
        list.back().readout = readout;
    }
    void addBool(const std::string& label, bool value) {
        add(label, NSMenu::TYPE_BOOL, NSMenu::KIND_BOOL, Value::ofBool(value));
    }
    // A slider from 0 to max for each of red, green and blue.
    void addColour(const std::string& prefix, int max, const Vector3& values) {
        for (int channel = 0; channel < 3; ++channel)
            addFloat(prefix + kChannels[channel], NSMenu::KIND_SLIDER, component(values, channel),
                     new ValueConstraintRange(0, max));
    }
};

} // namespace

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
    transformEntries(list, flags, detailed);
    list.emplace_back();
    appendObjectMenuEntries(list, detailed);
    list.emplace_back();
    if (detailed) {
        designerEntries(list, flags);
        return;
    }
    // Level mode tells the player what the object does and what acts on it.
    const auto& catalogue = NSPhysical::PhysicsCatalogue::get();
    std::vector<std::string> names;
    for (NSPhysical::Physics* effect : getPhysics())
        names.push_back(catalogue.physicsName(effect->classId()));
    appendNameList(list, "PROVIDE", names);
    names.clear();
    for (NSPhysical::PhysicsProperty* property : getProperties())
        names.push_back(catalogue.propertyName(property->classId()));
    appendNameList(list, "AFFECTED BY", names);
}

void NodeGraphic::transformEntries(std::vector<MenuEntry>& list, unsigned flags, bool detailed) {
    PageLines lines{this, list};
    const Vector3& position = getPosition();
    for (int a = 0; a < 3; ++a)
        if ((flags & MENU_POSITION) && (detailed || canEditPosition(a)))
            lines.addFloat(std::string("Position ") + kAxes[a], NSMenu::KIND_ACCELERATOR, component(position, a),
                           new ValueConstraintRange(0, 0, -0.3f, 0.3f), positionReadout(this, a));
    for (int a = 0; a < 3; ++a)
        if ((flags & MENU_POSITION) && detailed)
            lines.addFloat(std::string("Position ") + kAxes[a] + " ", NSMenu::KIND_INPUT, component(position, a),
                           nullptr);
    for (int a = 0; a < 3; ++a) {
        if (!(flags & MENU_ROTATION) || !(detailed || canEditRotation(a)))
            continue;
        // The player's slider spans the level's turn range; the editor's the full turn.
        float from = -0.5f, to = 0.5f;
        if (!detailed)
            NSConstraint::playerTurnRange(*this, a, from, to);
        lines.addFloat(std::string("Rotation ") + kAxes[a], NSMenu::KIND_SLIDER,
                       turnFraction(component(getRotation(), a)), new ValueConstraintRange(0, 0, from, to),
                       NSMenu::Readout::degrees());
    }
    if ((flags & MENU_SCALING) && (detailed || editScaling))
        lines.addFloat("Scaling", NSMenu::KIND_SLIDER, getScaleFactor(), new ValueConstraintRange(0, 3, 0.5f, 3.0f));
}

void NodeGraphic::designerEntries(std::vector<MenuEntry>& list, unsigned flags) {
    PageLines lines{this, list};
    auto addBool = [&](const std::string& label) { lines.addBool(label, *flagByLabel(label)); };
    if (flags & MENU_SELECTABLE)
        addBool("Selectable");
    list.emplace_back();
    if (flags & MENU_MASS) {
        lines.addFloat("Mass", NSMenu::KIND_INPUT, getMass(), new ValueConstraintRange(0, 9999));
        lines.addFloat("Elastic Bounce", NSMenu::KIND_SLIDER, getElasticBounce(), new ValueConstraintRange(0, 1));
        lines.addFloat("Bounce Friction", NSMenu::KIND_SLIDER, getBounceFriction(), new ValueConstraintRange(0, 1));
        lines.addBool("Enable Bounce Friction", isBounceFrictionEnabled());
    }
    if (flags & MENU_MOVEABLE) {
        lines.addBool("Moveable", isMoveable());
        lines.addBool("Rotateable", isRotateable());
    }
    list.emplace_back();
    if (flags & MENU_EDIT_POSITION)
        for (const char* axis : kAxes)
            addBool(std::string("Edit Position ") + axis);
    if (flags & MENU_EDIT_ROTATION)
        for (const char* axis : kAxes)
            addBool(std::string("Edit Rotation ") + axis);
    if (flags & MENU_EDIT_SCALING)
        addBool("Edit Scaling");
    list.emplace_back();
    if (flags & MENU_COLOR)
        lines.addColour("Color ", 1, color);
    list.emplace_back();
    if (flags & MENU_MATERIAL) {
        addBool("Enable Ambient");
        lines.addColour("Mat. Ambient ", 1, ambient);
        addBool("Enable Diffuse");
        lines.addColour("Mat. Diffuse ", 1, diffuse);
        addBool("Enable Specular");
        lines.addColour("Mat. Specular ", 1, specular);
        lines.addColour("Mat. Shininess ", 5, shininess);
        addBool("Enable Emissive");
        lines.addColour("Mat. Emissive ", 1, emissive);
    }
    list.emplace_back();
    if (flags & MENU_NAME) {
        lines.add("Object Name", NSMenu::TYPE_STRING, NSMenu::KIND_INPUT, Value::ofString(nameInput));
        lines.add("Set Name", NSMenu::TYPE_BOOL, NSMenu::KIND_BUTTON, Value());
    }
    list.emplace_back();
    if (flags & MENU_PICTURE) {
        lines.add("Menu Picture", NSMenu::TYPE_STRING, NSMenu::KIND_INPUT, Value::ofString(pictureInput));
        lines.add("Set Picture", NSMenu::TYPE_BOOL, NSMenu::KIND_BUTTON, Value());
    }
    list.emplace_back();
}

bool NodeGraphic::setMenuValue(std::string label, Value value) {
    const float f = value.floatValue;
    if (const int axis = axisOf(label, "Position "); axis >= 0)
        return stepPosition(axis, f);
    if (const int axis = axisOf(label, "Position ", " "); axis >= 0)
        return placeAt(axis, f);
    if (const int axis = axisOf(label, "Rotation "); axis >= 0)
        return turnTo(axis, f);
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
    return setOwnValue(label, value);
}

bool NodeGraphic::stepPosition(int axis, float f) {
    const Vector3 old = getPosition();
    Vector3 moved = old;
    component(moved, axis) += f * kPositionStep;
    setPosition(moved);
    if (isRegistered() && overlapsOthers())
        setPosition(old);
    return true;
}

bool NodeGraphic::placeAt(int axis, float f) {
    const Vector3 old = getPosition();
    Vector3 p = old;
    component(p, axis) = f;
    setPosition(p);
    // The player's typed place must be free; the designer may put
    // anything anywhere.
    if (!NSMenu::isDesignerEditing() && isRegistered() && overlapsOthers()) {
        setPosition(old);
        return false;
    }
    return true;
}

bool NodeGraphic::turnTo(int axis, float f) {
    const Vector3 old = getRotation();
    Vector3 turned = old;
    component(turned, axis) = f * kFullTurn;
    setRotation(turned);
    if (isRegistered() && overlapsOthers()) {
        setRotation(old);
        return false;
    }
    return true;
}

bool NodeGraphic::setOwnValue(const std::string& label, const Value& value) {
    struct Setter {
        const char* label;
        void (*set)(NodeGraphic& node, const Value& value);
    };
    static const Setter kSetters[] = {
        {"Mass", [](NodeGraphic& n, const Value& v) { n.setMass(v.floatValue); }},
        {"Elastic Bounce", [](NodeGraphic& n, const Value& v) { n.setElasticBounce(v.floatValue); }},
        {"Bounce Friction", [](NodeGraphic& n, const Value& v) { n.setBounceFriction(v.floatValue); }},
        {"Enable Bounce Friction", [](NodeGraphic& n, const Value& v) { n.setBounceFrictionEnabled(v.boolValue); }},
        {"Moveable", [](NodeGraphic& n, const Value& v) { n.setMoveable(v.boolValue); }},
        {"Rotateable", [](NodeGraphic& n, const Value& v) { n.setRotateable(v.boolValue); }},
        {"Object Name", [](NodeGraphic& n, const Value& v) { n.nameInput = v.stringValue; }},
        {"Menu Picture", [](NodeGraphic& n, const Value& v) { n.pictureInput = v.stringValue; }},
        {"Set Name",
         [](NodeGraphic& n, const Value&) {
             n.setName(n.nameInput);
             n.menuLinesChanged();
         }},
        {"Set Picture", [](NodeGraphic& n, const Value&) { n.takePicture(); }},
    };
    for (const Setter& setter : kSetters) {
        if (label == setter.label) {
            setter.set(*this, value);
            return true;
        }
    }
    return false;
}

void NodeGraphic::takePicture() {
    const NSFile::Opened picture = NSFile::openForReading(NSLoader::modelsFolder + NSLoader::localPath(pictureInput));
    if (picture.fd < 0) {
        setPicture("");
    } else {
        ::close(picture.fd);
        setPicture(pictureInput);
        menuLinesChanged();
    }
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

} // namespace NSNode
