#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "persistence/FileScratch.h"
#include "resources/LoaderGLTexture.h"
#include "support/GlContext.h"
#include "support/LogCapture.h"

using NSLoader::BmpImage;
using NSLoader::readBmp;
using namespace qbntest;

namespace {

void put32(Bytes& file, size_t at, int32_t value) { std::memcpy(file.data() + at, &value, 4); }

// A BMP file: 14-byte file header, 40-byte information header, colour table,
// then the rows in file order, each padded to four bytes with 0xEE.
Bytes makeBmp(int width, int height, int bits, const std::vector<Bytes>& rows, const Bytes& palette = {},
              unsigned compression = 0) {
    Bytes pixels;
    for (Bytes row : rows) {
        row.resize((row.size() + 3) / 4 * 4, 0xEE);
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    const unsigned offset = 54 + unsigned(palette.size());
    return cat({{'B', 'M'}, le32(offset + unsigned(pixels.size())), le32(0), le32(offset), le32(40), le32(width),
                le32(height), {1, 0, static_cast<unsigned char>(bits), 0}, le32(compression), Bytes(12, 0),
                le32(unsigned(palette.size() / 4)), le32(0), palette, pixels});
}

// 3 x 2 pixels at 24 bits: each row 9 bytes of colour and 3 of padding.
const Bytes bgr3x2 = makeBmp(3, 2, 24, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {11, 12, 13, 14, 15, 16, 17, 18, 19}});

class TextureBmpReader : public ::testing::Test {
protected:
    ScratchDir dir;
};

TEST_F(TextureBmpReader, ReadsPaddedRowsOfEveryDepthBottomRowFirst) {
    // Four colours (B, G, R, unused); index 9 is past the table and stays black.
    const Bytes palette = {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0, 1, 2, 3, 0};
    const Bytes bgr = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    // Colour masks for pixels stored as R, G, B, A bytes (they follow the header).
    const Bytes rgbMasks = cat({le32(0xFF), le32(0xFF00), le32(0xFF0000)});
    const Bytes rgbaMasks = cat({rgbMasks, le32(0xFF000000u)});
    const Bytes rgbaRow = {10, 20, 30, 40, 50, 60, 70, 80};
    const struct {
        const char* name;
        Bytes file;
        int channels;
        Bytes pixels;
    } cases[] = {
        {"24-bit", bgr3x2, 3, bgr},
        {"32-bit", makeBmp(2, 2, 32, {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16}}), 4,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        {"32-bit RGB masks", makeBmp(2, 2, 32, {rgbaRow, rgbaRow}, rgbMasks, 3), 4,
         {30, 20, 10, 255, 70, 60, 50, 255, 30, 20, 10, 255, 70, 60, 50, 255}},
        {"32-bit RGBA masks", makeBmp(2, 2, 32, {rgbaRow, rgbaRow}, rgbaMasks, 6), 4,
         {30, 20, 10, 40, 70, 60, 50, 80, 30, 20, 10, 40, 70, 60, 50, 80}},
        {"8-bit", makeBmp(3, 2, 8, {{0, 1, 2}, {3, 9, 0}}, palette), 3,
         {10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3, 0, 0, 0, 10, 20, 30}},
        {"top-down", makeBmp(3, -2, 24, {{11, 12, 13, 14, 15, 16, 17, 18, 19}, {1, 2, 3, 4, 5, 6, 7, 8, 9}}), 3, bgr},
        // Forms that are not read: a BMP without an image.
        {"16-bit", makeBmp(4, 2, 16, {Bytes(8, 1), Bytes(8, 1)}), 0, {}},
        {"run-length coded", makeBmp(2, 2, 8, {{2, 0, 0, 1}, {0, 1}}, palette, 1), 0, {}},
    };
    for (const auto& c : cases) {
        BmpImage image;
        std::string error;
        ASSERT_TRUE(readBmp(dir.put("ok.bmp", c.file), image, &error)) << c.name << ": " << error;
        EXPECT_EQ(image.width, c.file[18]) << c.name;
        EXPECT_EQ(image.height, 2) << c.name;
        EXPECT_EQ(image.channels, c.channels) << c.name;
        EXPECT_EQ(image.pixels, c.pixels) << c.name;
    }
}

TEST_F(TextureBmpReader, DamagedOrHostileFilesAreRefused) {
    const Bytes indexed = makeBmp(3, 1, 8, {{0, 1, 2}}, Bytes(16, 0));
    const struct {
        const char* name;
        size_t at;
        int32_t value;
        const Bytes& base;
    } patches[] = {
        {"not BM", 0, 0x5842, bgr3x2},
        {"width 0", 18, 0, bgr3x2},
        {"width too large", 18, 16385, bgr3x2},
        {"height 0", 22, 0, bgr3x2},
        {"height INT_MIN", 22, INT_MIN, bgr3x2},
        {"one row too many", 22, 3, bgr3x2},
        {"data offset past the end", 10, 1 << 30, bgr3x2},
        {"data offset inside the headers", 10, 20, bgr3x2},
        {"12-byte header", 14, 12, bgr3x2},
        {"huge picture in a small file", 18, 16384, makeBmp(3, -16384, 24, {})},
        {"colour table too long", 46, 1000, indexed},
        {"colour table of 257 entries", 46, 257, indexed},
        {"pixels inside the colour table", 10, 60, indexed},
        {"pixels on the colour table's last entry", 10, 66, indexed},
    };
    std::vector<std::pair<std::string, Bytes>> bad;
    for (const auto& p : patches) {
        bad.emplace_back(p.name, p.base);
        put32(bad.back().second, p.at, p.value);
    }
    for (size_t length = 0; length < bgr3x2.size(); ++length)
        bad.emplace_back("cut at " + std::to_string(length), Bytes(bgr3x2.begin(), bgr3x2.begin() + long(length)));
    for (const auto& [name, file] : bad) {
        BmpImage image;
        std::string error;
        EXPECT_FALSE(readBmp(dir.put("bad.bmp", file), image, &error)) << name;
        EXPECT_FALSE(error.empty()) << name;
        EXPECT_TRUE(image.pixels.empty()) << name;
    }
    BmpImage image;
    std::string error;
    EXPECT_FALSE(readBmp(dir.path("missing.bmp"), image, &error));
    EXPECT_NE(error.find("missing.bmp"), std::string::npos);
    EXPECT_FALSE(readBmp(dir.path(""), image)) << "a folder";
}

// --- the texture loader ----------------------------------------------------

class TextureLoader : public GlTest {
protected:
    int countInLog(const std::string& what) const {
        const std::string text = log.text();
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }
    NSLoader::LoaderGLTexture& loader = NSLoader::LoaderGLTexture::instance();
    ScratchDir dir;
    LogCapture log;
};

TEST_F(TextureLoader, LoadsOnceAndUploadsInRgbOrder) {
    // 2 x 2 pixels, top row stored first.
    const std::string path =
        dir.put("colours.bmp", makeBmp(2, -2, 24, {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 10, 20, 30}}));
    unsigned texture = *loader.get(path);
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(*loader.get(path), texture);
    EXPECT_EQ(countInLog("LoaderGeneric: " + path + ", "), 1);

    glBindTexture(GL_TEXTURE_2D, texture);
    unsigned char rgb[12] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    const unsigned char expected[12] = {255, 0, 0, 30, 20, 10, 0, 0, 255, 0, 255, 0};
    EXPECT_EQ(0, std::memcmp(rgb, expected, 12));

    // "" is no texture; another depth is a texture without an image, cached; backslashes are slashes.
    EXPECT_EQ(*loader.get(""), 0u);
    EXPECT_TRUE(loader.isCached(""));
    const std::string sixteen = dir.put("sixteen.bmp", makeBmp(2, 1, 16, {{1, 2, 3, 4}}));
    EXPECT_NE(*loader.get(sixteen), 0u);
    EXPECT_TRUE(loader.isCached(sixteen));
    std::filesystem::create_directories(dir.path("sub"));
    dir.put("sub/slash.bmp", bgr3x2);
    EXPECT_NE(*loader.get(dir.path("") + "sub\\slash.bmp"), 0u);
    EXPECT_EQ(countInLog("error"), 0);
}

} // namespace
