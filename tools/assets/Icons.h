#pragma once
// Menu pictures without a model of their own: the plain shapes, hit zones,
// lamps, particle systems and the physics effects and properties.

#include <string>
#include <vector>

#include "assets/Image.h"
#include "assets/Objects.h"

namespace NSAssets {

struct Icon {
    std::string name; // the picture file is name + "_pic.bmp"
    Image image;
};

// Some icons reuse the models (the complex particles show basketballs).
std::vector<Icon> buildIcons(const std::vector<ModelAsset>& models);

} // namespace NSAssets
