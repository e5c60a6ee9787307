// Fuzz target for the BMP reader behind every texture: the input is a
// picture file. A picture that is read must hold exactly its pixels; one
// that is not must say why and leave the image empty.

#include "FuzzSupport.h"
#include "resources/LoaderGLTexture.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qbnfuzz::enterScratchFolder(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using qbnfuzz::check;
    qbnfuzz::writeInput("input.bmp", data, size);
    NSLoader::BmpImage image;
    std::string error;
    if (!NSLoader::readBmp("input.bmp", image, &error)) {
        check(!error.empty() && image.pixels.empty() && image.channels == 0, "a failed read left an image");
        return 0;
    }
    check(image.width > 0 && image.width <= NSLoader::kMaxBmpSide && image.height > 0 &&
              image.height <= NSLoader::kMaxBmpSide,
          "picture size out of range");
    check(image.channels == 0 || image.channels == 3 || image.channels == 4, "odd channel count");
    check(image.pixels.size() == static_cast<size_t>(image.width) * image.height * image.channels,
          "pixels do not match the picture size");
    return 0;
}
