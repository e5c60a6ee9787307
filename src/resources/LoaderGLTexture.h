#pragma once
// Textures from BMP files. Each file becomes one mipmapped OpenGL texture,
// loaded once per name and kept for the whole run; the texture names handed
// out belong to the loader.
//
// Readable pictures: uncompressed 24-bit (BGR) and 32-bit (BGRA) images,
// 32-bit images with colour masks (BITFIELDS, in any byte order, with or
// without an alpha mask; turned into BGRA, opaque without alpha) and 8-bit
// images with a colour table, which are expanded to 24 bits. A BMP in
// any other form (another depth, compressed data) still gives a texture
// object, only without an image, and is cached like a good one. A file that
// is missing, not a BMP, or whose sizes do not fit the file gives no texture:
// the request is logged as an error, answered with texture 0, and the next
// request for that name tries the disk again.

#include <string>
#include <vector>

#include "resources/LoaderGeneric.h"

namespace NSLoader {

// Pictures larger than this on either side are taken for damaged files.
constexpr int kMaxBmpSide = 16384;

struct BmpImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0; // as stored in the file
    // 3 (BGR) or 4 (BGRA) bytes per pixel in pixels; 0 when the file is a
    // BMP of a form that is not read, and pixels is empty.
    int channels = 0;
    // Rows tightly packed, bottom row first, as OpenGL takes them.
    std::vector<unsigned char> pixels;
};

// Reads the BMP file at path (taken as is). False, with the reason in
// *error if given, for a file that cannot be read, is not a BMP or is
// damaged; image is then left empty.
bool readBmp(const std::string& path, BmpImage& image, std::string* error = nullptr);

class LoaderGLTexture : public LoaderGeneric<unsigned int> {
public:
    static LoaderGLTexture& instance();

protected:
    // name is a path relative to the working directory; the empty name is
    // "no texture" (0) and never touches the disk. Needs a current GL
    // context for any other name.
    unsigned int* load(const std::string& name) override;
    // The shared texture 0.
    unsigned int* fallback() override;

private:
    LoaderGLTexture() = default;
};

} // namespace NSLoader
