#include "resources/LoaderGLTexture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "persistence/LittleEndian.h"
#include "resources/ResourcePath.h"
#include "shell/SafeFile.h"

namespace NSLoader {

namespace {

constexpr uint32_t kCompressionNone = 0;     // BI_RGB
constexpr uint32_t kCompressionBitFields = 3; // BI_BITFIELDS
constexpr uint32_t kCompressionAlphaBitFields = 6; // BI_ALPHABITFIELDS
constexpr long kFileHeaderSize = 14;
constexpr long kInfoHeaderSize = 40;

using NSSerialize::le16;
using NSSerialize::le32;
using NSSerialize::le32s;

// Closes the file on every way out of readBmp.
struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file)
            std::fclose(file);
    }
};

bool failWith(std::string* error, const std::string& path, const char* reason) {
    if (error)
        *error = path + ": " + reason;
    return false;
}

bool readAt(std::FILE* file, long offset, unsigned char* bytes, size_t count) {
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(bytes, 1, count, file) == count;
}

// One colour channel of a pixel given by a bit mask ("BITFIELDS" pictures):
// the mask's bits, wherever they lie, scaled to a byte.
struct MaskChannel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t top = 0; // the largest value the channel holds

    explicit MaskChannel(uint32_t m) : mask(m) {
        if (!mask)
            return;
        while (!((mask >> shift) & 1u))
            ++shift;
        top = mask >> shift;
    }
    // absent: the value when the picture has no such channel.
    unsigned char of(uint32_t pixel, unsigned char absent) const {
        if (!mask)
            return absent;
        uint64_t value = (pixel & mask) >> shift;
        return static_cast<unsigned char>((value * 255u + top / 2) / top);
    }
};

// What the headers of a BMP file say.
struct BmpLayout {
    uint32_t dataOffset = 0;
    uint32_t infoSize = 0;
    int32_t width = 0;
    long long height = 0;
    // A negative stored height means the rows are stored top row first.
    bool topDown = false;
    int bitsPerPixel = 0;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
};

// Reads and checks the file and information headers; the reason when they
// do not describe a picture, null when they do.
const char* readLayout(std::FILE* file, long long fileSize, BmpLayout& layout) {
    unsigned char header[kFileHeaderSize + kInfoHeaderSize];
    if (fileSize < kFileHeaderSize || !readAt(file, 0, header, kFileHeaderSize))
        return "too short for a BMP file header";
    if (le16(header) != 0x4D42)
        return "not a BMP file (no \"BM\" at the start)";
    if (fileSize < kFileHeaderSize + kInfoHeaderSize ||
        !readAt(file, kFileHeaderSize, header + kFileHeaderSize, kInfoHeaderSize))
        return "too short for a BMP information header";

    const unsigned char* infoHeader = header + kFileHeaderSize;
    layout.dataOffset = le32(header + 10);
    layout.infoSize = le32(infoHeader);
    layout.width = le32s(infoHeader + 4);
    const int32_t storedHeight = le32s(infoHeader + 8);
    layout.bitsPerPixel = le16(infoHeader + 14);
    layout.compression = le32(infoHeader + 16);
    layout.coloursUsed = le32(infoHeader + 32);

    // The older 12-byte header lays out its fields differently.
    if (layout.infoSize < kInfoHeaderSize)
        return "unsupported BMP information header";
    if (layout.width <= 0 || layout.width > kMaxBmpSide)
        return "picture width out of range";
    layout.topDown = storedHeight < 0;
    layout.height = layout.topDown ? -static_cast<long long>(storedHeight) : storedHeight;
    if (layout.height == 0 || layout.height > kMaxBmpSide)
        return "picture height out of range";
    return nullptr;
}

// Reads the colour table of an 8-bit picture; it sits between the headers
// and the pixels.
const char* readPalette(std::FILE* file, long long headersEnd, uint32_t dataOffset, uint32_t coloursUsed,
                        unsigned char (&palette)[256][4]) {
    long long entries = coloursUsed == 0 ? 256 : coloursUsed;
    if (entries > 256 || headersEnd + entries * 4 > dataOffset)
        return "colour table does not fit in the file";
    if (!readAt(file, static_cast<long>(headersEnd), &palette[0][0], static_cast<size_t>(entries) * 4))
        return "cannot read the colour table";
    return nullptr;
}

// Reads the colour masks of a 32-bit "BITFIELDS" picture: inside an
// information header of 52 bytes or more (the alpha mask from 56),
// otherwise right after the 40-byte header.
const char* readMasks(std::FILE* file, const BmpLayout& layout, long long headersEnd, uint32_t (&masks)[4]) {
    const uint32_t infoSize = layout.infoSize;
    unsigned char raw[16] = {};
    const bool inHeader = infoSize >= 52;
    const size_t count =
        inHeader ? (infoSize >= 56 ? 16 : 12) : (layout.compression == kCompressionAlphaBitFields ? 16 : 12);
    const long at = inHeader ? kFileHeaderSize + kInfoHeaderSize : static_cast<long>(headersEnd);
    if ((!inHeader && headersEnd + static_cast<long long>(count) > layout.dataOffset) || !readAt(file, at, raw, count))
        return "colour masks do not fit in the file";
    for (size_t i = 0; i < count / 4; ++i)
        masks[i] = le32(raw + 4 * i);
    if (!masks[0] || !masks[1] || !masks[2])
        return "a colour mask is empty";
    return nullptr;
}

// Turns the stored rows (rowSize bytes each) into the image's pixels, top
// row first: RGB from a colour table, BGRA through masks, or as stored.
void convertRows(const std::vector<unsigned char>& stored, long long rowSize, const BmpLayout& layout,
                 const unsigned char (&palette)[256][4], const uint32_t (&masks)[4], BmpImage& image) {
    const int32_t width = layout.width;
    const long long height = layout.height;
    const bool topDown = layout.topDown;
    const int channels = layout.bitsPerPixel == 32 ? 4 : 3;
    const size_t outRow = static_cast<size_t>(width) * channels;
    image.pixels.resize(outRow * static_cast<size_t>(height));
    for (long long row = 0; row < height; ++row) {
        const unsigned char* in = stored.data() + row * rowSize;
        long long targetRow = topDown ? height - 1 - row : row;
        unsigned char* out = image.pixels.data() + targetRow * outRow;
        if (layout.bitsPerPixel == 8) {
            // Indices beyond a short colour table stay black.
            for (int x = 0; x < width; ++x) {
                const unsigned char* colour = palette[in[x]];
                out[3 * x] = colour[0];
                out[3 * x + 1] = colour[1];
                out[3 * x + 2] = colour[2];
            }
        } else if (masks[0]) {
            const MaskChannel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
            for (int x = 0; x < width; ++x) {
                const uint32_t pixel = le32(in + 4 * x);
                out[4 * x] = blue.of(pixel, 0);
                out[4 * x + 1] = green.of(pixel, 0);
                out[4 * x + 2] = red.of(pixel, 0);
                out[4 * x + 3] = alpha.of(pixel, 255);
            }
        } else {
            std::memcpy(out, in, outRow);
        }
    }
    image.channels = channels;
}

} // namespace

bool readBmp(const std::string& path, BmpImage& image, std::string* error) {
    image = BmpImage();

    // Only plain files, never through a link: a folder reads as garbage and
    // a pipe could block.
    std::string problem;
    FileCloser closer{NSFile::openStream(path, &problem)};
    if (!closer.file)
        return failWith(error, path, problem.c_str());
    std::FILE* file = closer.file;
    struct stat info;
    if (::fstat(fileno(file), &info) != 0)
        return failWith(error, path, std::strerror(errno));
    const long long fileSize = static_cast<long long>(info.st_size);

    BmpLayout layout;
    if (const char* bad = readLayout(file, fileSize, layout))
        return failWith(error, path, bad);
    const int32_t width = layout.width;
    const long long height = layout.height;
    const int bitsPerPixel = layout.bitsPerPixel;
    const uint32_t dataOffset = layout.dataOffset;
    image.width = width;
    image.height = static_cast<int>(height);
    image.bitsPerPixel = bitsPerPixel;

    const bool plain = layout.compression == kCompressionNone;
    const bool masked =
        layout.compression == kCompressionBitFields || layout.compression == kCompressionAlphaBitFields;
    const bool readable = (bitsPerPixel == 24 && plain) || (bitsPerPixel == 8 && plain) ||
                          (bitsPerPixel == 32 && (plain || masked));
    if (!readable)
        return true; // a BMP, just not one that becomes an image

    const long long headersEnd = kFileHeaderSize + static_cast<long long>(layout.infoSize);
    // Every row is padded to a multiple of four bytes.
    const long long rowSize = (static_cast<long long>(width) * bitsPerPixel + 31) / 32 * 4;
    if (dataOffset < headersEnd || dataOffset > fileSize || rowSize * height > fileSize - dataOffset)
        return failWith(error, path, "pixel data does not fit in the file");

    unsigned char palette[256][4] = {};
    const char* why = nullptr;
    if (bitsPerPixel == 8 && (why = readPalette(file, headersEnd, dataOffset, layout.coloursUsed, palette)))
        return failWith(error, path, why);
    uint32_t masks[4] = {0, 0, 0, 0};
    if (bitsPerPixel == 32 && masked && (why = readMasks(file, layout, headersEnd, masks)))
        return failWith(error, path, why);

    std::vector<unsigned char> stored(static_cast<size_t>(rowSize * height));
    if (!readAt(file, static_cast<long>(dataOffset), stored.data(), stored.size()))
        return failWith(error, path, "cannot read the pixel data");
    convertRows(stored, rowSize, layout, palette, masks, image);
    return true;
}

LoaderGLTexture& LoaderGLTexture::instance() {
    // Never destroyed, so what it keeps stays valid (and reachable) to the end.
    static auto* loader = new LoaderGLTexture;
    return *loader;
}

unsigned int* LoaderGLTexture::load(const std::string& name) {
    if (name.empty())
        return new unsigned int(0);

    BmpImage image;
    std::string error;
    if (!readBmp(localPath(name), image, &error)) {
        log(LOG_RESOURCE, "LoaderGLTexture: %s\n", error.c_str());
        return nullptr;
    }

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    if (image.channels == 0) {
        log(LOG_RESOURCE, "LoaderGLTexture: %s: %d bits per pixel or compressed, texture left without image\n",
            name.c_str(), image.bitsPerPixel);
    } else {
        GLenum format = image.channels == 4 ? GL_BGRA : GL_BGR;
        GLint status = gluBuild2DMipmaps(GL_TEXTURE_2D, image.channels, image.width, image.height, format,
                                         GL_UNSIGNED_BYTE, image.pixels.data());
        if (status != 0)
            log(LOG_RESOURCE, "LoaderGLTexture: %s: %s\n", name.c_str(),
                reinterpret_cast<const char*>(gluErrorString(static_cast<GLenum>(status))));
    }
    return new unsigned int(texture);
}

unsigned int* LoaderGLTexture::fallback() {
    static unsigned int none = 0;
    return &none;
}

} // namespace NSLoader
