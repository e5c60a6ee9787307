#include "assets/Model.h"

namespace NSAssets {

bool Model::addFrame(const std::string& name, const Mesh& pose) {
    if (pose.positions.size() != mesh.positions.size() || pose.triangles.size() != mesh.triangles.size())
        return false;
    for (size_t i = 0; i < pose.triangles.size(); ++i)
        for (int k = 0; k < 3; ++k)
            if (pose.triangles[i].v[k] != mesh.triangles[i].v[k] || pose.triangles[i].uv[k] != mesh.triangles[i].uv[k])
                return false;
    frames.push_back(ModelFrame{name, pose.positions, pose.normals});
    return true;
}

Mesh Model::posed(size_t i) const {
    Mesh m = mesh;
    if (i < frames.size()) {
        m.positions = frames[i].positions;
        m.normals = frames[i].normals;
    }
    return m;
}

} // namespace NSAssets
