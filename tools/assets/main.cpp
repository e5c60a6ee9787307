// qbn_assets: generates the game's models, skins, menu pictures and particle
// textures into a run folder.
//
//   qbn_assets <run folder>                 write (or refresh) every asset
//   qbn_assets <run folder> --preview <dir> also write larger views of every
//                                           model and its frames for checking

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "assets/AssetSet.h"
#include "assets/Bmp.h"
#include "assets/Pictures.h"

namespace fs = std::filesystem;
using namespace NSAssets;

namespace {

// Writes the file unless it already holds exactly these bytes, so unchanged
// assets keep their time stamps.
bool writeIfChanged(const fs::path& path, const std::vector<uint8_t>& bytes) {
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (old == bytes)
                return true;
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool writePreview(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    const Vec3 views[4] = {Vec3(1, 0.6f, 1), Vec3(-1, 0.4f, 0.6f), Vec3(0, 0.15f, 1), Vec3(0.2f, 1.0f, 0.1f)};
    for (const ModelAsset& m : buildModels()) {
        std::string base = m.modelFile.substr(0, m.modelFile.rfind('.'));
        const int size = 256;
        Image sheet(size * 4, size, Rgba(0, 0, 0, 1));
        Image backdrop = pictureBackground(size);
        for (int v = 0; v < 4; ++v)
            sheet.composite(renderModel(m.model, 0, views[v], m.specular, size).over(backdrop), v * size, 0);
        size_t frames = m.model.frames.size();
        if (frames > 1) {
            const int small = 160;
            Image strip(static_cast<int>(frames) * small, small, Rgba(0, 0, 0, 1));
            Image smallBackdrop = pictureBackground(small);
            for (size_t f = 0; f < frames; ++f)
                strip.composite(renderModel(m.model, f, m.viewFrom, m.specular, small).over(smallBackdrop),
                                static_cast<int>(f) * small, 0);
            if (!writeIfChanged(dir / (base + "_frames.bmp"), encodeBmp(strip, 24)))
                return false;
        }
        if (!writeIfChanged(dir / (base + "_views.bmp"), encodeBmp(sheet, 24)))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--preview")) {
        std::fprintf(stderr, "usage: %s <run folder> [--preview <folder>]\n", argv[0]);
        return 2;
    }
    const fs::path runDir(argv[1]);
    AssetFiles files = generateAssets();
    int written = 0;
    for (const auto& [name, bytes] : files) {
        fs::path path = runDir / name;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        if (!writeIfChanged(path, bytes)) {
            std::fprintf(stderr, "qbn_assets: cannot write %s\n", path.string().c_str());
            return 1;
        }
        ++written;
    }
    std::printf("qbn_assets: %d files in %s\n", written, runDir.string().c_str());
    if (argc == 4 && !writePreview(argv[3])) {
        std::fprintf(stderr, "qbn_assets: cannot write the preview to %s\n", argv[3]);
        return 1;
    }
    return 0;
}
