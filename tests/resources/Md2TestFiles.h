#pragma once
// Small MD2 files made in tests, and a scratch working directory with the
// models folder in it (models are read relative to the working directory).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "persistence/FileScratch.h"

namespace qbntest {

// Header fields by their index among the seventeen ints of the file header.
enum Md2Field {
    MD2_IDENT, MD2_VERSION, MD2_SKIN_WIDTH, MD2_SKIN_HEIGHT, MD2_FRAME_SIZE, MD2_NUM_SKINS, MD2_NUM_VERTICES,
    MD2_NUM_ST, MD2_NUM_TRIS, MD2_NUM_GLCMDS, MD2_NUM_FRAMES, MD2_OFS_SKINS, MD2_OFS_ST, MD2_OFS_TRIS,
    MD2_OFS_FRAMES, MD2_OFS_GLCMDS, MD2_OFS_END
};

struct Md2Frame {
    std::string name;
    // Per vertex: x, y, z bytes and the normal index; scale 1, translate 0.
    std::vector<std::vector<uint8_t>> vertices;
};

struct Md2Model {
    int skinWidth = 4, skinHeight = 2;
    std::string skin;
    std::vector<std::vector<int16_t>> st;         // (s, t) pairs
    std::vector<std::vector<uint16_t>> triangles; // 3 vertex and 3 st indices
    std::vector<Md2Frame> frames;
};

inline int32_t md2Field(const Bytes& file, int field) {
    int32_t value;
    std::memcpy(&value, file.data() + 4 * field, 4);
    return value;
}

inline void setMd2Field(Bytes& file, int field, int32_t value) { std::memcpy(file.data() + 4 * field, &value, 4); }

// Layout: header, skins, texture coordinates, triangles, frames.
inline Bytes buildMd2(const Md2Model& m) {
    const int vertices = m.frames.empty() ? 0 : static_cast<int>(m.frames[0].vertices.size());
    const int frameSize = 40 + 4 * vertices;
    const int skins = m.skin.empty() ? 0 : 1;
    const int ofsSt = 68 + 64 * skins;
    const int ofsTris = ofsSt + 4 * static_cast<int>(m.st.size());
    const int ofsFrames = ofsTris + 12 * static_cast<int>(m.triangles.size());
    const int end = ofsFrames + frameSize * static_cast<int>(m.frames.size());
    Bytes file(static_cast<size_t>(end), 0);
    const int32_t header[17] = {0x32504449, 8, m.skinWidth, m.skinHeight, frameSize, skins, vertices,
                                static_cast<int32_t>(m.st.size()), static_cast<int32_t>(m.triangles.size()), 0,
                                static_cast<int32_t>(m.frames.size()), 68, ofsSt, ofsTris, ofsFrames, end, end};
    std::memcpy(file.data(), header, sizeof header);
    std::memcpy(file.data() + 68, m.skin.data(), std::min<size_t>(m.skin.size(), 63));
    for (size_t i = 0; i < m.st.size(); ++i)
        std::memcpy(file.data() + ofsSt + 4 * i, m.st[i].data(), 4);
    for (size_t i = 0; i < m.triangles.size(); ++i)
        std::memcpy(file.data() + ofsTris + 12 * i, m.triangles[i].data(), 12);
    for (size_t f = 0; f < m.frames.size(); ++f) {
        unsigned char* frame = file.data() + ofsFrames + frameSize * f;
        const float scaleTranslate[6] = {1, 1, 1, 0, 0, 0};
        std::memcpy(frame, scaleTranslate, 24);
        std::memcpy(frame + 24, m.frames[f].name.data(), std::min<size_t>(m.frames[f].name.size(), 16));
        for (size_t v = 0; v < m.frames[f].vertices.size(); ++v)
            std::memcpy(frame + 40 + 4 * v, m.frames[f].vertices[v].data(), 4);
    }
    return file;
}

// One triangle of three vertices, a frame per name. Vertex v of frame k sits
// at (10 k + v, v, k) with normal index k + v.
inline Md2Model triangleModel(const std::vector<std::string>& frameNames) {
    Md2Model m;
    m.st = {{0, 0}, {4, 0}, {2, 2}};
    m.triangles = {{0, 1, 2, 0, 1, 2}};
    for (size_t k = 0; k < frameNames.size(); ++k) {
        Md2Frame frame{frameNames[k], {}};
        for (uint8_t v = 0; v < 3; ++v)
            frame.vertices.push_back({static_cast<uint8_t>(10 * k + v), v, static_cast<uint8_t>(k),
                                      static_cast<uint8_t>(k + v)});
        m.frames.push_back(frame);
    }
    return m;
}

// Makes a scratch folder with "md2_objects/" the working directory for the
// object's lifetime.
class ModelsDir {
public:
    ModelsDir() : old(std::filesystem::current_path()) {
        std::filesystem::create_directories(scratch.path("md2_objects"));
        std::filesystem::current_path(scratch.path(""));
    }
    ~ModelsDir() { std::filesystem::current_path(old); }
    ModelsDir(const ModelsDir&) = delete;
    ModelsDir& operator=(const ModelsDir&) = delete;

    void put(const std::string& name, const Bytes& bytes) const { writeFileBytes("md2_objects/" + name, bytes); }
    bool copySample(const std::string& sharedName, const std::string& name) const {
        std::error_code error;
        return std::filesystem::copy_file(std::string(QBN_SHARED_DIR) + "/md2-samples/" + sharedName,
                                          "md2_objects/" + name, error);
    }

private:
    ScratchDir scratch;
    std::filesystem::path old;
};

inline bool samplesPresent() {
    return std::filesystem::exists(std::string(QBN_SHARED_DIR) + "/md2-samples/faerie.md2");
}

} // namespace qbntest
