#pragma once
// An animated model as the game loads it: one triangle layout, one skin and
// a list of named key frames that each move the vertices.

#include <string>
#include <vector>

#include "assets/Image.h"
#include "assets/Mesh.h"

namespace NSAssets {

struct ModelFrame {
    std::string name; // e.g. "run3"; the game groups frames by the name minus trailing digits
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
};

struct Model {
    Mesh mesh; // layout, texture coordinates and the pose of the first frame
    std::vector<ModelFrame> frames;
    Image skin;

    // Adds a frame from a mesh built with the same layout as the model's mesh.
    // Returns false (and adds nothing) when the layout differs.
    bool addFrame(const std::string& name, const Mesh& pose);
    // The mesh in the pose of frame i.
    Mesh posed(size_t i) const;
};

// Builds a model from a pose function called once per frame with the
// animation phase i / phaseDivisor. Pass the frame count for a loop that the
// game blends from its last frame back into the first; pass one less when the
// game jumps back instead, so the last frame (phase 1) repeats the first.
// Frame names are prefix + number, counting from 1.
template <typename PoseFn>
Model animatedModel(const std::string& prefix, int frames, PoseFn pose, float phaseDivisor) {
    Model m;
    for (int i = 0; i < frames; ++i) {
        Mesh mesh = pose(static_cast<float>(i) / phaseDivisor);
        if (i == 0)
            m.mesh = mesh;
        m.addFrame(prefix + std::to_string(i + 1), mesh);
    }
    return m;
}

} // namespace NSAssets
