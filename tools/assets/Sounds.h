#pragma once
// The game's sounds, synthesised: impacts by material, the loops of the
// running machines, the springboard, goals, the win, the menu click and the
// machine's start and stop. File names are what the game looks for in
// "sounds/".

#include <string>
#include <vector>

#include "assets/Wav.h"

namespace NSAssets {

constexpr const char* SOUND_FOLDER = "sounds/";

struct SoundAsset {
    std::string file;
    Samples samples;
    // A loop's end runs seamlessly into its start.
    bool loop = false;
};

std::vector<SoundAsset> buildSounds();

} // namespace NSAssets
