#include "assets/Md2Writer.h"

#include "resources/Md2Normals.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>

namespace NSAssets {

namespace {

constexpr int32_t MD2_IDENT = 0x32504449; // "IDP2"
constexpr int32_t MD2_VERSION = 8;
constexpr int HEADER_SIZE = 68;
constexpr int SKIN_NAME_SIZE = 64;
constexpr int FRAME_NAME_SIZE = 16;

class Writer {
public:
    std::vector<uint8_t> bytes;
    void i32(int32_t v) {
        uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>((u >> (8 * i)) & 0xff));
    }
    void u16(uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v & 0xff));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void f32(float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        i32(static_cast<int32_t>(u));
    }
    void u8(uint8_t v) { bytes.push_back(v); }
    void text(const std::string& s, size_t size) {
        for (size_t i = 0; i < size; ++i)
            bytes.push_back(i < s.size() && i + 1 < size ? static_cast<uint8_t>(s[i]) : 0);
    }
    size_t size() const { return bytes.size(); }
};

} // namespace

int nearestMd2Normal(Vec3 n) {
    Vec3 d = normalized(n);
    int best = 0;
    float bestDot = -2.0f;
    for (int i = 0; i < NSGraphic::kMd2NormalCount; ++i) {
        float c = d.x * NSGraphic::md2Normals[i][0] + d.y * NSGraphic::md2Normals[i][1] + d.z * NSGraphic::md2Normals[i][2];
        if (c > bestDot) {
            bestDot = c;
            best = i;
        }
    }
    return best;
}

std::vector<uint8_t> encodeMd2(const Model& model, const std::string& skinName) {
    const Mesh& mesh = model.mesh;
    const int skinW = model.skin.width(), skinH = model.skin.height();
    const int32_t vertexCount = static_cast<int32_t>(mesh.positions.size());

    // Texture coordinates in whole skin pixels; equal pairs are stored once.
    std::map<std::pair<int, int>, uint16_t> stIndex;
    std::vector<std::pair<int, int>> stList;
    std::vector<uint16_t> uvToSt(mesh.uvs.size());
    for (size_t i = 0; i < mesh.uvs.size(); ++i) {
        std::pair<int, int> st(static_cast<int>(std::lround(mesh.uvs[i].x * skinW)),
                               static_cast<int>(std::lround(mesh.uvs[i].y * skinH)));
        auto found = stIndex.find(st);
        if (found == stIndex.end()) {
            found = stIndex.emplace(st, static_cast<uint16_t>(stList.size())).first;
            stList.push_back(st);
        }
        uvToSt[i] = found->second;
    }

    const int32_t frameSize = 40 + 4 * vertexCount;
    const int32_t triCount = static_cast<int32_t>(mesh.triangles.size());
    const int32_t glCommandCount = 10 * triCount + 1; // one strip of three corners per triangle, then 0
    const int32_t ofsSkins = HEADER_SIZE;
    const int32_t ofsSt = ofsSkins + SKIN_NAME_SIZE;
    const int32_t ofsTris = ofsSt + 4 * static_cast<int32_t>(stList.size());
    const int32_t ofsFrames = ofsTris + 12 * triCount;
    const int32_t ofsGlCommands = ofsFrames + frameSize * static_cast<int32_t>(model.frames.size());
    const int32_t ofsEnd = ofsGlCommands + 4 * glCommandCount;

    Writer w;
    w.bytes.reserve(static_cast<size_t>(ofsEnd));
    for (int32_t v : {MD2_IDENT, MD2_VERSION, skinW, skinH, frameSize, 1, vertexCount,
                      static_cast<int32_t>(stList.size()), triCount, glCommandCount,
                      static_cast<int32_t>(model.frames.size()), ofsSkins, ofsSt, ofsTris, ofsFrames,
                      ofsGlCommands, ofsEnd})
        w.i32(v);

    w.text(skinName, SKIN_NAME_SIZE);
    for (const auto& st : stList) {
        w.i16(static_cast<int16_t>(st.first));
        w.i16(static_cast<int16_t>(st.second));
    }
    for (const Triangle& t : mesh.triangles) {
        for (int k = 0; k < 3; ++k)
            w.u16(static_cast<uint16_t>(t.v[k]));
        for (int k = 0; k < 3; ++k)
            w.u16(uvToSt[t.uv[k]]);
    }

    for (const ModelFrame& f : model.frames) {
        // Each frame packs its vertices into bytes over its own bounding box,
        // so the box's faces are stored exactly.
        Vec3 lo = f.positions.empty() ? Vec3() : f.positions[0], hi = lo;
        for (const Vec3& p : f.positions)
            for (int i = 0; i < 3; ++i) {
                lo[i] = std::min(lo[i], p[i]);
                hi[i] = std::max(hi[i], p[i]);
            }
        Vec3 scale;
        for (int i = 0; i < 3; ++i)
            scale[i] = hi[i] > lo[i] ? (hi[i] - lo[i]) / 255.0f : 1.0f;
        for (int i = 0; i < 3; ++i)
            w.f32(scale[i]);
        for (int i = 0; i < 3; ++i)
            w.f32(lo[i]);
        w.text(f.name, FRAME_NAME_SIZE);
        for (size_t v = 0; v < f.positions.size(); ++v) {
            for (int i = 0; i < 3; ++i) {
                long q = std::lround((f.positions[v][i] - lo[i]) / scale[i]);
                w.u8(static_cast<uint8_t>(std::clamp(q, 0L, 255L)));
            }
            w.u8(static_cast<uint8_t>(nearestMd2Normal(f.normals[v])));
        }
    }

    for (const Triangle& t : mesh.triangles) {
        w.i32(3);
        for (int k = 0; k < 3; ++k) {
            const auto& st = stList[uvToSt[t.uv[k]]];
            w.f32(static_cast<float>(st.first) / skinW);
            w.f32(static_cast<float>(st.second) / skinH);
            w.i32(static_cast<int32_t>(t.v[k]));
        }
    }
    w.i32(0);
    return w.bytes;
}

} // namespace NSAssets
