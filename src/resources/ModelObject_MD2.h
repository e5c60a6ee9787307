#pragma once
// An animated model read from an MD2 file (the key-frame format of Quake II)
// with a BMP skin. The file's frames become per-frame vertex and normal
// arrays; consecutive frames that share a name once their trailing digits
// are cut off ("run1", "run2", ...) form one named animation. The model
// blends between two frames of its current animation and draws the blended
// pose in immediate mode, through vertex arrays or from a display list.
//
// Model files are read from the models folder; a file that is missing or
// damaged leaves the model as it was, for a new model the empty one (one
// frame and one animation without vertices, so nothing is drawn).

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "resources/ModelObject.h"

namespace NSGraphic {

struct Md2Frame {
    std::string name;         // the file's frame name without its trailing digits
    unsigned char number = 0; // the value of those digits
    std::vector<float> positions; // vertexCount x (x, y, z)
    std::vector<float> normals;   // vertexCount x (x, y, z)
};

struct Md2Animation {
    std::string name;
    int frameCount = 0;
    int firstFrame = 0; // index of its first frame in the model's frames
    float speed = 1.0f; // frames per second
    bool loop = false;
    bool smoothWrap = true; // a loop blends its last frame into the first
};

// What a model file gives and no object changes: shared, never copied,
// between every object showing the same model. Loading a file makes new
// geometry; objects holding the old one keep it as long as they need it.
// One display list holding one pose of a geometry, shared by every model
// of that geometry compiled at that pose; deleted with its last user.
struct Md2CompiledPose {
    unsigned list = 0;
    explicit Md2CompiledPose(unsigned l) : list(l) {}
    ~Md2CompiledPose();
    Md2CompiledPose(const Md2CompiledPose&) = delete;
    Md2CompiledPose& operator=(const Md2CompiledPose&) = delete;
};

struct Md2Geometry {
    unsigned vertexCount = 0;
    std::vector<unsigned> triangles; // three vertex indices per triangle
    std::vector<float> texCoords;    // an (s, t) pair per triangle corner
    std::vector<Md2Frame> frames;
    // The poses compiled so far, by animation, frame, next frame and
    // fraction: a cache beside the geometry, which it does not change.
    using PoseKey = std::tuple<unsigned, unsigned, unsigned, float>;
    mutable std::map<PoseKey, std::weak_ptr<Md2CompiledPose>> compiledPoses;
};

class ModelObject_MD2 : public ModelObject {
public:
    // Every model starts empty; full makes no difference here.
    explicit ModelObject_MD2(bool full = true);
    ~ModelObject_MD2() override;
    // Copies go through copyModel (a display list cannot be shared).
    ModelObject_MD2(const ModelObject_MD2&) = delete;
    ModelObject_MD2& operator=(const ModelObject_MD2&) = delete;

    int classId() const override { return CLASS_MODEL_OBJECT_MD2; }
    // The "[modO]" record: the animation state and every animation's speed,
    // loop and smooth-wrap settings. Reading expects the model to be loaded.
    void serialize(NSSerialize::SerialStream& stream) override;

    // Reads modelsFolder + modelName. The texture is modelsFolder +
    // textureName, or, when textureName is empty, the first skin the file
    // names (if any); loading it needs a current GL context.
    bool load(const std::string& modelName, const std::string& textureName) override;
    void draw(unsigned flags, int minFilter, int magFilter) override;
    void animate(float dt) override;
    void setAnimation(unsigned index) override;
    void setAnimationSpeed(unsigned index, float speed) override;
    void setAnimationLoop(unsigned index, bool loop) override;
    void setAnimationSmoothWrap(unsigned index, bool smoothWrap) override;
    // Compiling freezes the current pose into a display list (needs a GL
    // context); while compiled the pose is not blended any more.
    void setCompiled(bool compiled) override;

    // Makes this model a copy of source, which stays untouched. The
    // geometry is shared; animation state and settings are the copy's own.
    void copyModel(const ModelObject_MD2& source);
    // Whether two models show the same geometry (not a copy of it).
    bool sharesGeometryWith(const ModelObject_MD2& other) const { return geometry_ == other.geometry_; }

    // Blends the current pose from the two frames being shown; draw does
    // this itself unless the model is compiled.
    void interpolate();

    unsigned vertexCount() const { return geometry_->vertexCount; }
    unsigned triangleCount() const { return static_cast<unsigned>(geometry_->triangles.size() / 3); }
    unsigned frameCount() const { return static_cast<unsigned>(geometry_->frames.size()); }
    unsigned animationCount() const { return static_cast<unsigned>(animations_.size()); }
    const Md2Frame& frameAt(unsigned index) const { return geometry_->frames.at(index); }
    const Md2Animation& animation(unsigned index) const { return animations_.at(index); }
    unsigned currentAnimation() const { return currentAnimation_; }
    unsigned currentFrame() const { return frame_; }
    unsigned nextFrame() const { return nextFrame_; }
    float fraction() const { return fraction_; }
    unsigned texture() const { return texture_; }
    // The blended pose: vertexCount x (x, y, z) each.
    const std::vector<float>& positions() const { return positions_; }
    const std::vector<float>& normals() const { return normals_; }
    // Three vertex indices per triangle, and an (s, t) pair per corner.
    const std::vector<unsigned>& triangles() const { return geometry_->triangles; }
    const std::vector<float>& texCoords() const { return geometry_->texCoords; }

private:
    void release();
    void makeEmpty();
    void drawTriangles() const;
    void unpackCorners();
    // Keeps the animation state pointing at frames that exist.
    void clampAnimationState();

    std::shared_ptr<Md2CompiledPose> compiledPose_;
    std::shared_ptr<const Md2Geometry> geometry_;
    std::vector<float> positions_;
    std::vector<float> normals_;
    // Positions and normals per triangle corner for the vertex-array path,
    // refreshed after the pose changed.
    std::vector<float> cornerPositions_;
    std::vector<float> cornerNormals_;
    bool cornersValid_ = false;
    unsigned texture_ = 0; // belongs to the texture loader
    std::vector<Md2Animation> animations_;
    unsigned currentAnimation_ = 0;
    unsigned frame_ = 0;
    unsigned nextFrame_ = 0;
    float fraction_ = 0.0f;
};

} // namespace NSGraphic
