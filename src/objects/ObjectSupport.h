#pragma once
// Helpers shared by the game objects: the common steps of their setups, the
// menu lines they publish and the solids the plain shapes draw.
#include <cmath>
#include <string>
#include <vector>

#include "editable/MenuEntry.h"
#include "objects/NodeGraphic.h"

namespace NSObjects {

using NSNode::syncColourMaterial;

// Skips the setup of a base class whose derived class runs its own.
struct NoSetup {};

// Name, model and menu picture; the model's skin is its file name with ".bmp".
void applyLook(NSNode::NodeGraphic& node, const char* name, const char* modelFile, const char* picture);
// Freezes the model's current pose into a display list.
void freezeModel(NSNode::NodeGraphic& node);

// A float line with a range; the integer bounds are the float bounds rounded
// outwards.
NSMenu::MenuEntry floatEntry(NSMenu::MenuConfigureable* owner, const std::string& label, unsigned kind, float value,
                             float min, float max, bool enabled = true);
NSMenu::MenuEntry boolEntry(NSMenu::MenuConfigureable* owner, const std::string& label, bool value);
// Appends line in custom mode (detailed), and in level mode only while the
// player may change the value (editable).
void appendIfEditable(std::vector<NSMenu::MenuEntry>& list, bool detailed, bool editable, NSMenu::MenuEntry line);

// Wraps a solid drawn without a model in the node's pick name, when the node
// takes part in picking (the same rule as for models): pushPickName says
// whether it pushed, popPickName takes that answer.
bool pushPickName(const NSNode::NodeGraphic& node);
void popPickName(bool pushed);

// Sets the node's material and colour for a solid drawn without a model, as
// for a model, and undoes it when it goes out of scope.
class ShapeMaterial {
public:
    explicit ShapeMaterial(NSNode::NodeGraphic& node);
    ~ShapeMaterial();
    ShapeMaterial(const ShapeMaterial&) = delete;
    ShapeMaterial& operator=(const ShapeMaterial&) = delete;
};


// An axis-aligned box of the given half extents around the origin, as
// quads with normals; inward turns the faces (and normals) to the inside.
// Each face is cut into divisions x divisions quads, so that per-vertex
// lighting shows on large walls.
void drawBoxFaces(const Vector3& half, bool inward, int divisions = 1);

using NSClone::cloneOf;

} // namespace NSObjects
