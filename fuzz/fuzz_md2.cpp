// Fuzz target for the MD2 model reader: the input is a model file in the
// models folder, loaded by a model the way the model loader does. A file
// that cannot be read leaves the empty model; one that can must give
// triangles that index existing vertices and animations that cover the
// frames, and every animation must play and blend. The skin named is never
// there, so no texture (and no GL context) is needed.

#include <cstring>

#include "FuzzSupport.h"
#include "resources/ModelObject_MD2.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qbnfuzz::enterScratchFolder(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using qbnfuzz::check;
    qbnfuzz::writeInput("md2_objects/input.md2", data, size);
    NSGraphic::ModelObject_MD2 model;
    if (!model.load("input.md2", "no-skin.bmp")) {
        check(model.frameCount() == 1 && model.animationCount() == 1 && model.vertexCount() == 0,
              "a model that could not be read is not the empty one");
        return 0;
    }
    for (unsigned v : model.triangles())
        check(v < model.vertexCount(), "a triangle names a vertex that does not exist");
    check(model.texCoords().size() == model.triangles().size() / 3 * 6, "texture coordinates do not match corners");
    unsigned frames = 0;
    for (unsigned a = 0; a < model.animationCount(); ++a) {
        check(model.animation(a).firstFrame == static_cast<int>(frames), "animations leave out frames");
        frames += static_cast<unsigned>(model.animation(a).frameCount);
    }
    check(frames == model.frameCount(), "animations and frames disagree");
    for (unsigned a = 0; a < model.animationCount() && a < 64; ++a) {
        model.setAnimation(a);
        model.setAnimationLoop(a, a % 2 == 0);
        model.setAnimationSpeed(a, a % 3 == 0 ? 9.5f : -2.25f);
        for (int step = 0; step < 4; ++step) {
            model.animate(0.37f);
            check(model.currentFrame() < static_cast<unsigned>(model.animation(a).frameCount) &&
                      model.nextFrame() < static_cast<unsigned>(model.animation(a).frameCount),
                  "an animation left its frames");
            model.interpolate();
        }
    }
    NSGraphic::ModelObject_MD2 copy;
    copy.copyModel(model);
    copy.interpolate();
    // Bit for bit: a file may well hold frames that blend to NaN.
    check(copy.positions().size() == model.positions().size() &&
              (model.positions().empty() ||
               std::memcmp(copy.positions().data(), model.positions().data(), model.positions().size() * 4) == 0),
          "a copied model blends differently");
    return 0;
}
