#include "resources/ModelObject_MD2.h"

#include <GL/gl.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "persistence/LittleEndian.h"
#include "resources/LoaderGLTexture.h"
#include "resources/Md2Normals.h"
#include "resources/ResourcePath.h"
#include "shell/Log.h"
#include "shell/Window.h"

QBN_REGISTER_CLASS(CLASS_MODEL_OBJECT_MD2, NSGraphic::ModelObject_MD2)

namespace NSGraphic {

namespace {

constexpr int32_t kMd2Ident = 0x32504449; // "IDP2"
constexpr int32_t kMd2Version = 8;
constexpr long long kHeaderSize = 68;
constexpr long long kSkinNameSize = 64;
constexpr long long kTexCoordSize = 4;  // two 16-bit values
constexpr long long kTriangleSize = 12; // six 16-bit indices
constexpr long long kFrameHeaderSize = 40; // scale, translate, name
constexpr long long kFrameNameSize = 16;

// Limits far above any real model; a file beyond them is taken for damaged
// rather than allowed to ask for gigabytes.
constexpr long long kMaxFileSize = 64LL << 20;
constexpr int32_t kMaxVertices = 65536; // triangles index them with 16 bits
constexpr int32_t kMaxTexCoords = 65536;
constexpr int32_t kMaxTriangles = 1 << 20;
constexpr int32_t kMaxFrames = 1 << 16;
constexpr int32_t kMaxSkins = 1 << 12;
constexpr long long kMaxFrameVertices = 1LL << 22; // frames x vertices

// The fields of the 68-byte file header, in file order.
struct Md2Header {
    int32_t ident, version;
    int32_t skinWidth, skinHeight, frameSize;
    int32_t numSkins, numVertices, numTexCoords, numTriangles, numGlCommands, numFrames;
    int32_t ofsSkins, ofsTexCoords, ofsTriangles, ofsFrames, ofsGlCommands, ofsEnd;
};

// What a successful read of a file gives; the model takes it over whole.
struct Md2Contents {
    unsigned vertexCount = 0;
    std::vector<unsigned> triangles;
    std::vector<float> texCoords;
    std::vector<Md2Frame> frames;
    std::vector<Md2Animation> animations;
    std::string skin;
};

using NSSerialize::le16;
using NSSerialize::le16s;
using NSSerialize::le32;
using NSSerialize::le32f;
using NSSerialize::le32s;

// A fixed-size name field; it need not end with a 0 byte.
std::string fixedString(const unsigned char* p, size_t size) {
    const char* text = reinterpret_cast<const char*>(p);
    return std::string(text, strnlen(text, size));
}

// "run12" gives "run" and 12; a name without trailing digits keeps number 0,
// and a name of digits only stays whole with number 1.
void splitFrameName(const std::string& full, std::string& name, unsigned char& number) {
    size_t end = full.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(full[end - 1])))
        --end;
    if (end == full.size()) {
        name = full;
        number = 0;
    } else if (end == 0) {
        name = full;
        number = 1;
    } else {
        name = full.substr(0, end);
        unsigned value = 0;
        for (size_t i = end; i < full.size(); ++i)
            value = value * 10u + static_cast<unsigned>(full[i] - '0');
        number = static_cast<unsigned char>(value);
    }
}

bool readWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& error) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        error = std::strerror(errno);
        return false;
    }
    // Only plain files: a folder reads as garbage and a pipe could block.
    if (!S_ISREG(info.st_mode)) {
        error = "not a plain file";
        return false;
    }
    if (info.st_size > kMaxFileSize) {
        error = "file too large for a model";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    bytes.resize(static_cast<size_t>(info.st_size));
    size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (got != bytes.size()) {
        error = "cannot read the whole file";
        return false;
    }
    return true;
}

// A section of count items of itemSize bytes at offset lies inside the file.
bool sectionFits(int32_t offset, long long count, long long itemSize, long long fileSize) {
    if (count == 0)
        return true;
    return offset >= kHeaderSize && offset <= fileSize && count * itemSize <= fileSize - offset;
}

bool parseMd2(const std::vector<unsigned char>& file, Md2Contents& out, std::string& error) {
    const long long fileSize = static_cast<long long>(file.size());
    if (fileSize < kHeaderSize) {
        error = "too short for a model header";
        return false;
    }
    Md2Header h;
    int32_t* fields = &h.ident;
    for (int i = 0; i < 17; ++i)
        fields[i] = le32s(file.data() + 4 * i);
    if (h.ident != kMd2Ident || h.version != kMd2Version) {
        error = "not an MD2 model (IDP2, version 8)";
        return false;
    }

    auto inRange = [](int32_t value, int32_t limit) { return value >= 0 && value <= limit; };
    if (!inRange(h.numSkins, kMaxSkins) || !inRange(h.numVertices, kMaxVertices) ||
        !inRange(h.numTexCoords, kMaxTexCoords) || !inRange(h.numTriangles, kMaxTriangles) ||
        !inRange(h.numFrames, kMaxFrames)) {
        error = "header counts out of range";
        return false;
    }
    if (h.numFrames < 1) {
        error = "the model has no frames";
        return false;
    }
    if (static_cast<long long>(h.numFrames) * h.numVertices > kMaxFrameVertices) {
        error = "too many frames and vertices";
        return false;
    }
    if (h.frameSize < kFrameHeaderSize + 4LL * h.numVertices) {
        error = "frame size too small for its vertices";
        return false;
    }
    if (!sectionFits(h.ofsSkins, h.numSkins, kSkinNameSize, fileSize) ||
        !sectionFits(h.ofsTexCoords, h.numTexCoords, kTexCoordSize, fileSize) ||
        !sectionFits(h.ofsTriangles, h.numTriangles, kTriangleSize, fileSize) ||
        !sectionFits(h.ofsFrames, h.numFrames, h.frameSize, fileSize)) {
        error = "a section lies outside the file";
        return false;
    }

    // Texture coordinates are fractions of the skin; t runs the other way
    // in OpenGL. A skin size of 0 would divide by zero.
    const float skinWidth = h.skinWidth > 0 ? static_cast<float>(h.skinWidth) : 1.0f;
    const float skinHeight = h.skinHeight > 0 ? static_cast<float>(h.skinHeight) : 1.0f;
    const unsigned char* st = file.data() + h.ofsTexCoords;
    const unsigned char* tris = file.data() + h.ofsTriangles;
    out.triangles.resize(static_cast<size_t>(h.numTriangles) * 3);
    out.texCoords.resize(static_cast<size_t>(h.numTriangles) * 6);
    for (int32_t t = 0; t < h.numTriangles; ++t) {
        const unsigned char* tri = tris + kTriangleSize * t;
        for (int c = 0; c < 3; ++c) {
            unsigned vertex = le16(tri + 2 * c);
            unsigned coord = le16(tri + 6 + 2 * c);
            if (vertex >= static_cast<unsigned>(h.numVertices) || coord >= static_cast<unsigned>(h.numTexCoords)) {
                error = "triangle " + std::to_string(t) + " uses a vertex or texture coordinate that does not exist";
                return false;
            }
            out.triangles[3 * t + c] = vertex;
            out.texCoords[6 * t + 2 * c] = static_cast<float>(le16s(st + kTexCoordSize * coord)) / skinWidth;
            out.texCoords[6 * t + 2 * c + 1] =
                1.0f - static_cast<float>(le16s(st + kTexCoordSize * coord + 2)) / skinHeight;
        }
    }

    out.vertexCount = static_cast<unsigned>(h.numVertices);
    out.frames.resize(static_cast<size_t>(h.numFrames));
    size_t animationCount = 0;
    for (int32_t f = 0; f < h.numFrames; ++f) {
        const unsigned char* raw = file.data() + h.ofsFrames + static_cast<long long>(h.frameSize) * f;
        Md2Frame& frame = out.frames[f];
        float scale[3], translate[3];
        for (int a = 0; a < 3; ++a) {
            scale[a] = le32f(raw + 4 * a);
            translate[a] = le32f(raw + 12 + 4 * a);
        }
        splitFrameName(fixedString(raw + 24, kFrameNameSize), frame.name, frame.number);
        if (f == 0 || frame.name != out.frames[f - 1].name)
            ++animationCount;
        frame.positions.resize(static_cast<size_t>(h.numVertices) * 3);
        frame.normals.resize(static_cast<size_t>(h.numVertices) * 3);
        const unsigned char* vertex = raw + kFrameHeaderSize;
        for (int32_t v = 0; v < h.numVertices; ++v, vertex += 4) {
            // A normal index past the table is damage; the first normal
            // stands in for it.
            int normal = vertex[3] < kMd2NormalCount ? vertex[3] : 0;
            for (int a = 0; a < 3; ++a) {
                frame.positions[3 * v + a] = vertex[a] * scale[a] + translate[a];
                frame.normals[3 * v + a] = md2Normals[normal][a];
            }
        }
    }

    // Adjacent frames of one name make an animation; the same name further
    // on starts another animation of that name.
    out.animations.reserve(animationCount);
    for (int32_t f = 0; f < h.numFrames; ++f) {
        if (f == 0 || out.frames[f].name != out.frames[f - 1].name) {
            Md2Animation animation;
            animation.name = out.frames[f].name;
            animation.firstFrame = f;
            out.animations.push_back(animation);
        }
        ++out.animations.back().frameCount;
    }

    if (h.numSkins > 0)
        out.skin = fixedString(file.data() + h.ofsSkins, kSkinNameSize);
    return true;
}

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

    const std::string path = NSWindow::modelsFolder + NSLoader::localPath(modelName);
    std::vector<unsigned char> bytes;
    Md2Contents contents;
    std::string error;
    if (!readWholeFile(path, bytes, error) || !parseMd2(bytes, contents, error)) {
        log(LOG_RESOURCE, "ModelObject_MD2: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    bytes = std::vector<unsigned char>();

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
        texture_ = *NSLoader::LoaderGLTexture::instance().get(NSWindow::modelsFolder + NSLoader::localPath(skin));

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
