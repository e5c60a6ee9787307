#pragma once
// The scene node that is drawn: a physical body with its own model, a colour
// and an OpenGL material, a name and a menu picture, visibility, selection
// and highlight state, the per-axis permissions the player gets in a level,
// and the object's menu page. Every game object derives from it.
#include <string>
#include <vector>

#include "editable/MenuConfigureable.h"
#include "physics/NodePhysical.h"
#include "resources/ModelObject.h"

namespace NSNode {

// Makes the material that tracks the current colour match that colour again.
// Restoring the colour with glPopAttrib leaves the tracked material at the
// colour set inside, which would tint whatever is drawn next.
void syncColourMaterial();

class NodeGraphic : public NodePhysical, public NSMenu::MenuConfigureable {
public:
    // Model kinds.
    static constexpr int MODEL_NONE = 0;
    static constexpr int MODEL_MD2 = 1;

    // Menu sections answered by getMenuFlags.
    enum MenuSection : unsigned {
        MENU_POSITION = 0x1,
        MENU_ROTATION = 0x2,
        MENU_SCALING = 0x4,
        MENU_MASS = 0x8,
        MENU_MOVEABLE = 0x10,
        MENU_EDIT_POSITION = 0x20,
        MENU_EDIT_ROTATION = 0x40,
        MENU_EDIT_SCALING = 0x80,
        MENU_COLOR = 0x100,
        MENU_MATERIAL = 0x200,
        MENU_PICTURE = 0x400,
        MENU_NAME = 0x800,
        MENU_SELECTABLE = 0x1000,
    };

    explicit NodeGraphic(bool full);
    ~NodeGraphic() override;

    void draw() override;
    void simulate(float dt) override;
    // Sets the material (both faces) and the current colour: (r, g, b) if
    // useColor, else the node's colour; the material parameters that track
    // the colour take it at once.
    virtual void applyMaterial(bool useColor, float r, float g, float b);
    // The object's own menu entries, between the transform and the designer's
    // sections. Empty here.
    virtual void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed);

    int classId() const override;
    void serialize(NSSerialize::SerialStream& s) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    void getMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    unsigned getMenuFlags() override;
    std::string getMenuPicture() override;

    void setName(const std::string& s);
    const std::string& getName() const { return name; }
    void setPicture(const std::string& s);
    const std::string& getPicture() const { return picture; }

    // Replaces the model. An empty textureFile is taken from modelFile with
    // its extension replaced by ".bmp". Kind MODEL_MD2 copies the shared
    // model from the model loader; other kinds leave the node without one.
    void setModel(int kind, const std::string& modelFile, const std::string& textureFile);
    NSGraphic::ModelObject* getModel() const { return model; }
    int getModelKind() const { return modelKind; }

    // Also on every drawable node below this one.
    void setVisible(bool v);
    bool isVisible() const { return visible; }
    // Also shows or hides the influence volumes of the node's effects.
    void setSelected(bool v);
    bool isSelected() const { return selected; }
    void setHighlighted(bool v) { highlighted = v; }
    bool isHighlighted() const { return highlighted; }

    void setEditPosition(bool x, bool y, bool z);
    void setEditRotation(bool x, bool y, bool z);
    void setEditScaling(bool e) { editScaling = e; }
    void setSelectable(bool s) { selectable = s; }
    bool isSelectable() const { return selectable; }
    // What a click on this object picks: itself while the designer edits or
    // when it is selectable, otherwise its nearest selectable ancestor (a
    // fixed part picks as the object it belongs to), or null.
    const NodeGraphic* pickTarget() const;
    // The three position and three rotation permissions and scaling.
    void setAllEditFlags(bool e);
    // axis 0..2, or -1 for "all three".
    bool canEditPosition(int axis) const;
    bool canEditRotation(int axis) const;
    bool canEditScaling() const { return editScaling; }

    void setColor(const Vector3& c) { color = c; }
    const Vector3& getColor() const { return color; }
    void setAlpha(float a) { alpha = a; }
    float getAlpha() const { return alpha; }

    void setMaterialEnables(bool ambientOn, bool diffuseOn, bool specularOn, bool emissiveOn);
    void setAmbient(const Vector3& v) { ambient = v; }
    void setDiffuse(const Vector3& v) { diffuse = v; }
    void setSpecular(const Vector3& v) { specular = v; }
    void setShininess(const Vector3& v) { shininess = v; }
    void setEmissive(const Vector3& v) { emissive = v; }
    const Vector3& getAmbient() const { return ambient; }
    const Vector3& getDiffuse() const { return diffuse; }
    const Vector3& getSpecular() const { return specular; }
    const Vector3& getShininess() const { return shininess; }
    const Vector3& getEmissive() const { return emissive; }
    bool isAmbientEnabled() const { return enableAmbient; }
    bool isDiffuseEnabled() const { return enableDiffuse; }
    bool isSpecularEnabled() const { return enableSpecular; }
    bool isEmissiveEnabled() const { return enableEmissive; }

    // The outline colour of a selected node (green when it may be moved
    // freely or the designer is editing, else white), or of a highlighted
    // one (blue); false when no outline is drawn.
    bool outlineColor(Vector3& out) const;

protected:
    // The scene of the world it left forgets it.
    void changedWorld(NSNode::ControllerNode& from) override;

private:
    bool* flagByLabel(const std::string& label);
    float* colorByLabel(const std::string& label);
    // Whether the node, as it stands, overlaps another registered node.
    bool overlapsOthers();
    // The menu's position, rotation and scaling lines.
    void transformEntries(std::vector<NSMenu::MenuEntry>& list, unsigned flags, bool detailed);
    // The editor's lines below the object's own: physics, permissions, colours, material, name, picture.
    void designerEntries(std::vector<NSMenu::MenuEntry>& list, unsigned flags);
    // A step of the position accelerator along axis; a step into another object is not taken.
    bool stepPosition(int axis, float f);
    // A typed position; false (and not moved) when the player types a place that is taken.
    bool placeAt(int axis, float f);
    // A turn from the rotation slider, in fractions of a turn; false when it would overlap.
    bool turnTo(int axis, float f);
    // The values of the mass, bounce, name and picture lines.
    bool setOwnValue(const std::string& label, const NSMenu::Value& value);
    // Shows the typed picture if its file can be read; none otherwise.
    void takePicture();

    NSGraphic::ModelObject* model = nullptr;
    int modelKind = MODEL_NONE;
    bool visible = false;
    bool selected = false;
    bool highlighted = false;
    std::string name;
    std::string nameInput;
    std::string picture;
    std::string pictureInput;
    bool editPositionX = false, editPositionY = false, editPositionZ = false;
    bool editRotationX = false, editRotationY = false, editRotationZ = false;
    bool editScaling = false;
    bool selectable = false;
    Vector3 ambient;
    Vector3 diffuse;
    Vector3 specular;
    Vector3 shininess;
    Vector3 emissive;
    bool enableAmbient = false, enableDiffuse = false, enableSpecular = false, enableEmissive = false;
    Vector3 color;
    float alpha = 1.0f;
};

} // namespace NSNode
