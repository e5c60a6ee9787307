#pragma once
// Menu pictures (128 x 128, shown in the side menu beside an object's page)
// and the particle textures.

#include <string>
#include <vector>

#include "assets/Image.h"
#include "assets/Objects.h"

namespace NSAssets {

constexpr int PICTURE_SIZE = 128;

struct Picture {
    std::string file; // e.g. "physicswind_pic.bmp"
    Image image;
};

// The menu backdrop every picture is drawn on.
Image pictureBackground(int size = PICTURE_SIZE);
// The model in the given frame seen from viewFrom, filling the picture;
// transparent where the model does not cover it.
Image renderModel(const Model& model, size_t frame, Vec3 viewFrom, float specular, int size);

std::vector<Picture> buildPictures(const std::vector<ModelAsset>& models);

// The default particle sprite: white, its alpha falling off from the centre.
Image pointTexture(int size = 64);

} // namespace NSAssets
