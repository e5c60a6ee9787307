#include "resources/Md2File.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "persistence/LittleEndian.h"
#include "resources/Md2Normals.h"
#include "shell/SafeFile.h"

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

bool readWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& error) {
    // Only plain files, never through a link: a folder reads as garbage and
    // a pipe could block.
    std::string text;
    if (NSFile::readFile(path, text, static_cast<size_t>(kMaxFileSize), &error) != NSFile::Read::Whole)
        return false;
    bytes.assign(text.begin(), text.end());
    return true;
}

// A section of count items of itemSize bytes at offset lies inside the file.
bool sectionFits(int32_t offset, long long count, long long itemSize, long long fileSize) {
    if (count == 0)
        return true;
    return offset >= kHeaderSize && offset <= fileSize && count * itemSize <= fileSize - offset;
}

// What is wrong with a header's counts and sections, or null when they fit
// the limits and the file.
const char* headerProblem(const Md2Header& h, long long fileSize) {
    auto inRange = [](int32_t value, int32_t limit) { return value >= 0 && value <= limit; };
    if (!inRange(h.numSkins, kMaxSkins) || !inRange(h.numVertices, kMaxVertices) ||
        !inRange(h.numTexCoords, kMaxTexCoords) || !inRange(h.numTriangles, kMaxTriangles) ||
        !inRange(h.numFrames, kMaxFrames))
        return "header counts out of range";
    if (h.numFrames < 1)
        return "the model has no frames";
    if (static_cast<long long>(h.numFrames) * h.numVertices > kMaxFrameVertices)
        return "too many frames and vertices";
    if (h.frameSize < kFrameHeaderSize + 4LL * h.numVertices)
        return "frame size too small for its vertices";
    if (!sectionFits(h.ofsSkins, h.numSkins, kSkinNameSize, fileSize) ||
        !sectionFits(h.ofsTexCoords, h.numTexCoords, kTexCoordSize, fileSize) ||
        !sectionFits(h.ofsTriangles, h.numTriangles, kTriangleSize, fileSize) ||
        !sectionFits(h.ofsFrames, h.numFrames, h.frameSize, fileSize))
        return "a section lies outside the file";
    return nullptr;
}

// The triangles' vertex indices and texture coordinates; false when one
// refers to something that does not exist.
bool readTriangles(const std::vector<unsigned char>& file, const Md2Header& h, Md2Contents& out, std::string& error) {
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
    return true;
}

// Every frame's name, vertex positions and normals; returns how many
// animations they make.
size_t readFrames(const std::vector<unsigned char>& file, const Md2Header& h, Md2Contents& out) {
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
    return animationCount;
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
    if (const char* problem = headerProblem(h, fileSize)) {
        error = problem;
        return false;
    }
    if (!readTriangles(file, h, out, error))
        return false;
    const size_t animationCount = readFrames(file, h, out);

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

} // namespace

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

bool readMd2File(const std::string& path, Md2Contents& out, std::string& error) {
    std::vector<unsigned char> bytes;
    return readWholeFile(path, bytes, error) && parseMd2(bytes, out, error);
}

} // namespace NSGraphic
