#pragma once
// Writes models in the MD2 format: a 68-byte header of seventeen
// little-endian 32-bit integers, then skin names, texture coordinates,
// triangles, frames and a GL command list, in that order.

#include <cstdint>
#include <string>
#include <vector>

#include "assets/Model.h"

namespace NSAssets {

// Index of the table normal closest in direction to n.
int nearestMd2Normal(Vec3 n);

// skinName goes into the file's single skin slot (at most 63 characters).
// Texture coordinates become whole skin pixels of the model's skin size.
std::vector<uint8_t> encodeMd2(const Model& model, const std::string& skinName);

} // namespace NSAssets
