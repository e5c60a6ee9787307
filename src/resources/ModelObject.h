#pragma once
// The interface of every drawable model: it is loaded from a model file and
// a texture file, animates over time, draws itself in one of three ways and
// saves its animation settings (not its file names, which its owner keeps).

#include <string>

#include "persistence/Serializeable.h"

namespace NSGraphic {

// Bits of the flags passed to ModelObject::draw.
enum ModelDrawFlags : unsigned {
    MODEL_DRAW_DISPLAY_LIST = 0x1,  // call the display list of a compiled model
    MODEL_DRAW_VERTEX_ARRAYS = 0x2, // draw through vertex arrays (enabled by the caller)
};

class ModelObject : public NSSerialize::Serializeable {
public:
    ModelObject() = default;
    ~ModelObject() override;

    // Reads the model (and its texture). False when the model file could not
    // be used; the model then keeps the geometry it had.
    virtual bool load(const std::string& modelName, const std::string& textureName) = 0;
    // Draws the current pose with the given ModelDrawFlags and the texture
    // filters to use (GL_LINEAR, GL_NEAREST_MIPMAP_LINEAR, ...).
    virtual void draw(unsigned flags, int minFilter, int magFilter) = 0;
    // Moves the current animation on by dt seconds.
    virtual void animate(float dt) = 0;
    // The animation setters ignore indices that name no animation.
    virtual void setAnimation(unsigned index) = 0;
    virtual void setAnimationSpeed(unsigned index, float speed) = 0;
    virtual void setAnimationLoop(unsigned index, bool loop) = 0;
    virtual void setAnimationSmoothWrap(unsigned index, bool smoothWrap) = 0;
    // A compiled model freezes its current pose; here only the flag is kept.
    virtual void setCompiled(bool compiled);

    std::string getModelName() const { return modelName; }
    std::string getTextureName() const { return textureName; }
    bool isCompiled() const { return compiled; }

protected:
    std::string modelName;
    std::string textureName;
    bool compiled = false;
};

} // namespace NSGraphic
