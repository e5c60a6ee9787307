#pragma once
// Everything the tool generates, as file contents by path relative to the
// run folder. The same build gives the same bytes on every run.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace NSAssets {

using AssetFiles = std::map<std::string, std::vector<uint8_t>>;

constexpr const char* MODEL_FOLDER = "md2_objects/";
constexpr const char* PARTICLE_FOLDER = "particletextures/";

AssetFiles generateAssets();

} // namespace NSAssets
