#include "resources/ModelObject_MD2.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "resources/LoaderGLTexture.h"
#include "resources/Md2File.h"
#include "resources/ResourcePath.h"
#include "shell/Log.h"

QBN_REGISTER_CLASS(CLASS_MODEL_OBJECT_MD2, NSGraphic::ModelObject_MD2)

namespace NSGraphic {

namespace {

// The geometry of a model without a file: one frame named "std" without
// vertices.
std::shared_ptr<const Md2Geometry> emptyGeometry() {
    static const std::shared_ptr<const Md2Geometry> empty = [] {
        auto geometry = std::make_shared<Md2Geometry>();
        Md2Frame frame;
        splitFrameName("std01", frame.name, frame.number);
        geometry->frames.push_back(frame);
        return std::shared_ptr<const Md2Geometry>(std::move(geometry));
    }();
    return empty;
}

} // namespace

ModelObject_MD2::ModelObject_MD2(bool) { makeEmpty(); }

ModelObject_MD2::~ModelObject_MD2() { release(); }

void ModelObject_MD2::release() {
    compiledPose_.reset();
    texture_ = 0;
    geometry_ = emptyGeometry();
    positions_.clear();
    normals_.clear();
    animations_.clear();
}

void ModelObject_MD2::makeEmpty() {
    release();
    Md2Animation animation;
    animation.frameCount = 1;
    animations_.push_back(animation);
    currentAnimation_ = frame_ = nextFrame_ = 0;
    fraction_ = 0.0f;
}

bool ModelObject_MD2::load(const std::string& newModelName, const std::string& newTextureName) {
    modelName = newModelName;
    textureName = newTextureName;

    const std::string path = NSLoader::modelsFolder + NSLoader::localPath(modelName);
    Md2Contents contents;
    std::string error;
    if (!readMd2File(path, contents, error)) {
        log(LOG_RESOURCE, "ModelObject_MD2: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }

    release();
    auto geometry = std::make_shared<Md2Geometry>();
    geometry->vertexCount = contents.vertexCount;
    geometry->triangles = std::move(contents.triangles);
    geometry->texCoords = std::move(contents.texCoords);
    geometry->frames = std::move(contents.frames);
    geometry_ = std::move(geometry);
    animations_ = std::move(contents.animations);
    positions_.assign(static_cast<size_t>(vertexCount()) * 3, 0.0f);
    normals_.assign(static_cast<size_t>(vertexCount()) * 3, 0.0f);
    cornersValid_ = false;

    std::string skin = !textureName.empty() ? textureName : contents.skin;
    if (!skin.empty())
        texture_ = *NSLoader::LoaderGLTexture::instance().get(NSLoader::modelsFolder + NSLoader::localPath(skin));

    setAnimation(0);
    // The old display list went with the old geometry.
    if (compiled)
        setCompiled(true);
    return true;
}

void ModelObject_MD2::setAnimation(unsigned index) {
    if (index >= animations_.size())
        return;
    currentAnimation_ = index;
    frame_ = nextFrame_ = 0;
    fraction_ = 0.0f;
}

void ModelObject_MD2::setAnimationSpeed(unsigned index, float speed) {
    if (index < animations_.size())
        animations_[index].speed = speed;
}

void ModelObject_MD2::setAnimationLoop(unsigned index, bool loop) {
    if (index < animations_.size())
        animations_[index].loop = loop;
}

void ModelObject_MD2::setAnimationSmoothWrap(unsigned index, bool smoothWrap) {
    if (index < animations_.size())
        animations_[index].smoothWrap = smoothWrap;
}

void ModelObject_MD2::animate(float dt) {
    if (animations_.empty())
        return;
    const Md2Animation& animation = animations_[currentAnimation_];
    const double n = animation.frameCount;
    double t = static_cast<double>(dt) * animation.speed + frame_ + fraction_;
    // A broken time step or speed leaves the pose where it is.
    if (!std::isfinite(t))
        return;
    if (t < 0.0)
        t = animation.loop ? std::fmod(t, n) + n : 0.0;
    double whole = std::floor(t);
    double fraction = t - whole;

    if (animation.loop) {
        // Without smooth wrap the last frame is never blended into the
        // first: the animation jumps from its second-to-last frame to 0.
        if (!animation.smoothWrap && whole >= n - 1)
            whole = 0.0;
        whole = std::fmod(whole, n);
        frame_ = static_cast<unsigned>(whole);
        nextFrame_ = (frame_ + 1) % static_cast<unsigned>(animation.frameCount);
    } else if (whole >= n - 1) {
        frame_ = nextFrame_ = static_cast<unsigned>(animation.frameCount - 1);
        fraction = 0.0;
    } else {
        frame_ = static_cast<unsigned>(whole);
        nextFrame_ = frame_ + 1;
    }
    fraction_ = static_cast<float>(fraction);
    if (fraction_ >= 1.0f)
        fraction_ = std::nextafter(1.0f, 0.0f);
}

void ModelObject_MD2::interpolate() {
    if (animations_.empty())
        return;
    const Md2Animation& animation = animations_[currentAnimation_];
    const Md2Frame& from = geometry_->frames[animation.firstFrame + frame_];
    const Md2Frame& to = geometry_->frames[animation.firstFrame + nextFrame_];
    const float f = fraction_;
    const size_t count = positions_.size();
    cornersValid_ = false;
    for (size_t i = 0; i < count; ++i) {
        positions_[i] = (1.0f - f) * from.positions[i] + f * to.positions[i];
        normals_[i] = (1.0f - f) * from.normals[i] + f * to.normals[i];
    }
}

void ModelObject_MD2::unpackCorners() {
    const std::vector<unsigned>& corners = geometry_->triangles;
    if (cornersValid_ && cornerPositions_.size() == 3 * corners.size())
        return;
    cornerPositions_.resize(3 * corners.size());
    cornerNormals_.resize(3 * corners.size());
    for (size_t corner = 0; corner < corners.size(); ++corner) {
        const size_t v = 3 * static_cast<size_t>(corners[corner]);
        for (size_t k = 0; k < 3; ++k) {
            cornerPositions_[3 * corner + k] = positions_[v + k];
            cornerNormals_[3 * corner + k] = normals_[v + k];
        }
    }
    cornersValid_ = true;
}

void ModelObject_MD2::drawTriangles() const {
    const std::vector<unsigned>& corners = geometry_->triangles;
    const std::vector<float>& coords = geometry_->texCoords;
    if (corners.empty())
        return;
    glBegin(GL_TRIANGLES);
    for (size_t corner = 0; corner < corners.size(); ++corner) {
        const unsigned v = corners[corner];
        glTexCoord2fv(&coords[2 * corner]);
        glNormal3fv(&normals_[3 * v]);
        glVertex3fv(&positions_[3 * v]);
    }
    glEnd();
}

void ModelObject_MD2::draw(unsigned flags, int minFilter, int magFilter) {
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);

    if (!compiled)
        interpolate();

    if ((flags & MODEL_DRAW_DISPLAY_LIST) && compiled && compiledPose_) {
        glCallList(compiledPose_->list);
    } else if (flags & MODEL_DRAW_VERTEX_ARRAYS) {
        const std::vector<unsigned>& corners = geometry_->triangles;
        if (!corners.empty()) {
            // Texture coordinates belong to the triangle corners, so the
            // arrays hold one entry per corner and draw in a single call.
            unpackCorners();
            glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
            glEnableClientState(GL_VERTEX_ARRAY);
            glEnableClientState(GL_NORMAL_ARRAY);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glVertexPointer(3, GL_FLOAT, 0, cornerPositions_.data());
            glNormalPointer(GL_FLOAT, 0, cornerNormals_.data());
            glTexCoordPointer(2, GL_FLOAT, 0, geometry_->texCoords.data());
            glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners.size()));
            glPopClientAttrib();
        }
    } else {
        drawTriangles();
    }

    glDisable(GL_TEXTURE_2D);
}

void ModelObject_MD2::setCompiled(bool value) {
    ModelObject::setCompiled(value);
    if (!value)
        return;
    interpolate();
    compiledPose_.reset();
    // Objects of one model frozen in the same pose share one display list.
    auto& poses = geometry_->compiledPoses;
    const Md2Geometry::PoseKey key{currentAnimation_, frame_, nextFrame_, fraction_};
    auto found = poses.find(key);
    if (found != poses.end()) {
        compiledPose_ = found->second.lock();
        if (compiledPose_)
            return;
    }
    const unsigned list = glGenLists(1);
    if (list == 0)
        return; // no GL context: draws fall back to the frozen arrays
    glNewList(list, GL_COMPILE);
    drawTriangles();
    glEndList();
    compiledPose_ = std::make_shared<Md2CompiledPose>(list);
    for (auto it = poses.begin(); it != poses.end();)
        it = it->second.expired() ? poses.erase(it) : std::next(it);
    poses[key] = compiledPose_;
}

Md2CompiledPose::~Md2CompiledPose() {
    if (list != 0)
        glDeleteLists(list, 1);
}

void ModelObject_MD2::copyModel(const ModelObject_MD2& source) {
    if (&source == this)
        return;
    release();
    modelName = source.modelName;
    textureName = source.textureName;
    currentAnimation_ = source.currentAnimation_;
    frame_ = source.frame_;
    nextFrame_ = source.nextFrame_;
    fraction_ = source.fraction_;
    texture_ = source.texture_;
    geometry_ = source.geometry_;
    animations_ = source.animations_;
    positions_.assign(static_cast<size_t>(vertexCount()) * 3, 0.0f);
    normals_.assign(static_cast<size_t>(vertexCount()) * 3, 0.0f);
    cornersValid_ = false;
    // Compiled last, so that the display list holds the copied pose.
    ModelObject::setCompiled(false);
    setCompiled(source.compiled);
}

void ModelObject_MD2::clampAnimationState() {
    if (currentAnimation_ >= animations_.size()) {
        currentAnimation_ = 0;
        frame_ = nextFrame_ = 0;
        fraction_ = 0.0f;
    }
    if (animations_.empty())
        return;
    const unsigned n = static_cast<unsigned>(animations_[currentAnimation_].frameCount);
    if (frame_ >= n)
        frame_ = 0;
    if (nextFrame_ >= n)
        nextFrame_ = frame_;
    if (!(fraction_ >= 0.0f && fraction_ < 1.0f))
        fraction_ = 0.0f;
}

void ModelObject_MD2::serialize(NSSerialize::SerialStream& stream) {
    ModelObject::serialize(stream);
    if (!stream.isCurrentVersion())
        return;

    if (stream.isWriting()) {
        stream.writeString("[modO]");
        stream.beginBlock();
        stream.writeInt(classId());
        stream.writeFloat(fraction_);
        stream.writeInt(static_cast<int>(currentAnimation_));
        stream.writeInt(static_cast<int>(frame_));
        stream.writeString("[aniL]");
        stream.beginBlock();
        for (const Md2Animation& animation : animations_) {
            stream.writeString("[aniO]");
            stream.beginBlock();
            stream.writeFloat(animation.speed);
            stream.writeBool(animation.loop);
            stream.writeBool(animation.smoothWrap);
            stream.endBlock();
        }
        stream.endBlock();
        stream.endBlock();
        return;
    }

    stream.readString(); // "[modO]"
    long end = stream.readBlockEnd();
    if (end < 0)
        return;
    stream.readInt(); // the class id
    fraction_ = stream.readFloat();
    currentAnimation_ = static_cast<unsigned>(stream.readInt());
    frame_ = static_cast<unsigned>(stream.readInt());
    stream.readString(); // "[aniL]"
    long listEnd = stream.readBlockEnd();
    if (listEnd >= 0) {
        // The list has no count: its entries run to the end of its block.
        // Entries beyond this model's animations are read and dropped.
        for (size_t index = 0; stream.position() < listEnd && !stream.failed() && !stream.ended(); ++index) {
            stream.readString(); // "[aniO]"
            long entryEnd = stream.readBlockEnd();
            if (entryEnd < 0)
                break;
            float speed = stream.readFloat();
            bool loop = stream.readBool();
            bool smoothWrap = stream.readBool();
            if (index < animations_.size() && !stream.failed()) {
                animations_[index].speed = speed;
                animations_[index].loop = loop;
                animations_[index].smoothWrap = smoothWrap;
            }
            stream.leaveBlock(entryEnd);
        }
        stream.leaveBlock(listEnd);
    }
    stream.leaveBlock(end);
    clampAnimationState();
}

} // namespace NSGraphic
