#pragma once
// Reading an MD2 model file: its header checked against the file's size and
// the game's limits, then its triangles, texture coordinates, frames
// (grouped into animations by their names) and skin name.
#include <string>
#include <vector>

#include "resources/ModelObject_MD2.h"

namespace NSGraphic {

// What a successful read of a file gives; the model takes it over whole.
struct Md2Contents {
    unsigned vertexCount = 0;
    std::vector<unsigned> triangles;
    std::vector<float> texCoords;
    std::vector<Md2Frame> frames;
    std::vector<Md2Animation> animations;
    std::string skin;
};

// Reads the model file at path into out; false, with error saying why, when
// the file cannot be read or is damaged (out is then unspecified).
bool readMd2File(const std::string& path, Md2Contents& out, std::string& error);

// "run12" gives "run" and 12; a name without trailing digits keeps number 0,
// and a name of digits only stays whole with number 1.
void splitFrameName(const std::string& full, std::string& name, unsigned char& number);

} // namespace NSGraphic
