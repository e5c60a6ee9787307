#pragma once
// The game's models: one builder per object. Sizes follow the objects'
// collision volumes so the drawn object and its volume agree.

#include <string>
#include <vector>

#include "assets/Model.h"

namespace NSAssets {

Model buildBasketball();  // sphere r 11.5 about the origin
Model buildBowlingball(); // sphere r 10
Model buildTennisball();  // sphere r 3.3
// Boards: top face at y = 0, width along x, length along z.
Model buildBoard(float width, float length, uint32_t seed);
Model buildSpringboard();
// Conveyor belts: the belt surface moves along -x (short belt) or +z (long belt).
Model buildConveyor(float length, bool alongZ);
Model buildFan();
Model buildTeslaCoil();
Model buildRobot();

// A model file the game loads, with how its menu picture is taken.
struct ModelAsset {
    std::string modelFile;   // e.g. "brett1.md2"; its skin has the same base name
    std::string pictureFile; // e.g. "brett1_pic.bmp"
    Model model;
    Vec3 viewFrom;           // direction from the model towards the picture's camera
    float specular;          // highlight strength in the picture
};

std::vector<ModelAsset> buildModels();

} // namespace NSAssets
