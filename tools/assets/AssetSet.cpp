#include "assets/AssetSet.h"

#include "assets/Bmp.h"
#include "assets/Md2Writer.h"
#include "assets/Pictures.h"
#include "assets/Sounds.h"

namespace NSAssets {

AssetFiles generateAssets() {
    AssetFiles files;
    std::vector<ModelAsset> models = buildModels();
    for (const ModelAsset& m : models) {
        std::string base = m.modelFile.substr(0, m.modelFile.rfind('.'));
        files[MODEL_FOLDER + m.modelFile] = encodeMd2(m.model, base + ".bmp");
        files[MODEL_FOLDER + base + ".bmp"] = encodeBmp(m.model.skin, 24);
    }
    for (const Picture& p : buildPictures(models))
        files[MODEL_FOLDER + p.file] = encodeBmp(p.image, 24);
    files[std::string(PARTICLE_FOLDER) + "point.bmp"] = encodeBmp(pointTexture(), 32);
    for (const SoundAsset& sound : buildSounds())
        files[SOUND_FOLDER + sound.file] = encodeWav(sound.samples);
    return files;
}

} // namespace NSAssets
