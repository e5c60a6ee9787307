#include "assets/Pictures.h"

#include <cmath>

#include "assets/Icons.h"
#include "assets/Rasteriser.h"

namespace NSAssets {

Image pictureBackground(int size) { return gradientImage(size, size, rgb255(196, 206, 222), rgb255(150, 162, 184)); }

Image renderModel(const Model& model, size_t frame, Vec3 viewFrom, float specular, int size) {
    Mesh mesh = model.posed(frame);
    Vec3 lo, hi;
    mesh.bounds(lo, hi);
    Vec3 centre = (lo + hi) * 0.5f;
    float radius = length(hi - lo) * 0.5f;
    Rasteriser r(size, size);
    r.look(centre + normalized(viewFrom) * (radius * 4.0f), centre);
    r.frame(placedPoints(mesh), 0.06f);
    Surface s;
    s.skin = &model.skin;
    s.specular = specular;
    r.draw(mesh, s);
    return r.result();
}

std::vector<Picture> buildPictures(const std::vector<ModelAsset>& models) {
    std::vector<Picture> out;
    for (const ModelAsset& m : models)
        out.push_back({m.pictureFile, renderModel(m.model, 0, m.viewFrom, m.specular, PICTURE_SIZE).over(pictureBackground())});
    for (const Icon& icon : buildIcons(models))
        out.push_back({icon.name + "_pic.bmp", icon.image});
    return out;
}

Image pointTexture(int size) {
    Image img(size, size, Rgba(1, 1, 1, 0));
    const float half = size * 0.5f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float dx = (x + 0.5f - half) / half, dy = (y + 0.5f - half) / half;
            float r2 = dx * dx + dy * dy;
            // A soft bell that reaches exactly zero at the rim.
            float a = r2 >= 1.0f ? 0.0f : (1.0f - r2) * (1.0f - r2);
            img.at(x, y) = Rgba(1, 1, 1, a);
        }
    return img;
}

} // namespace NSAssets
