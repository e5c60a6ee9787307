#pragma once
// A small software renderer for the menu pictures: perspective camera,
// z-buffer, textured triangles with Lambert shading from two lights and an
// optional highlight, drawn at a higher resolution and filtered down.

#include <vector>

#include "assets/Image.h"
#include "assets/Mesh.h"

namespace NSAssets {

struct Surface {
    const Image* skin = nullptr; // sampled through the mesh's texture coordinates
    Rgba colour = Rgba(0.8f, 0.8f, 0.8f, 1.0f); // used without a skin
    float specular = 0.0f;
    float shininess = 24.0f;
};

class Rasteriser {
public:
    Rasteriser(int width, int height, int supersample = 3);

    void look(Vec3 eye, Vec3 target);
    // Zooms and centres the view so the points fill the picture, leaving
    // margin (a fraction of the size) free on every side.
    void frame(const std::vector<Vec3>& points, float margin);
    void draw(const Mesh& mesh, const Surface& surface, const Xform& place = Xform());
    // Covered pixels carry alpha 1, the rest 0 (fractions at the edges).
    Image result() const;

private:
    Vec3 toView(Vec3 p) const;

    int w, h, ss;
    Vec3 eye, right, up, forward;
    float scale = 1.0f, offsetX = 0.0f, offsetY = 0.0f;
    Image colour;
    std::vector<float> depth;
};

// All positions of a mesh after a placement, for framing.
std::vector<Vec3> placedPoints(const Mesh& mesh, const Xform& place = Xform());

} // namespace NSAssets
