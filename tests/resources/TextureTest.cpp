#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "persistence/FileScratch.h"
#include "resources/LoaderGLTexture.h"
#include "support/GlContext.h"
#include "support/LogCapture.h"

using NSLoader::BmpImage;
using NSLoader::readBmp;
using qbntest::Bytes;

namespace {

// A BMP file: 14-byte file header, 40-byte information header, colour table,
// then the rows in file order, each padded to four bytes with 0xEE.
Bytes makeBmp(int width, int height, int bitsPerPixel, const std::vector<Bytes>& rows, const Bytes& palette = {},
              uint32_t compression = 0) {
    const uint32_t offset = 54 + static_cast<uint32_t>(palette.size());
    Bytes file(offset, 0);
    auto put32 = [&file](size_t at, uint32_t value) { std::memcpy(file.data() + at, &value, 4); };
    file[0] = 'B';
    file[1] = 'M';
    put32(10, offset);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = static_cast<unsigned char>(bitsPerPixel);
    put32(30, compression);
    put32(46, static_cast<uint32_t>(palette.size() / 4));
    std::copy(palette.begin(), palette.end(), file.begin() + 54);
    for (Bytes row : rows) {
        row.resize((row.size() + 3) / 4 * 4, 0xEE);
        file.insert(file.end(), row.begin(), row.end());
    }
    put32(2, static_cast<uint32_t>(file.size()));
    return file;
}

// 3 x 2 pixels at 24 bits: each row 9 bytes of colour and 3 of padding.
Bytes bgr3x2() { return makeBmp(3, 2, 24, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {11, 12, 13, 14, 15, 16, 17, 18, 19}}); }

void patch32(Bytes& file, size_t at, int32_t value) { std::memcpy(file.data() + at, &value, 4); }

class TextureBmpReader : public ::testing::Test {
protected:
    std::string write(const std::string& name, const Bytes& bytes) {
        qbntest::writeFileBytes(dir.path(name), bytes);
        return dir.path(name);
    }
    qbntest::ScratchDir dir;
};

TEST_F(TextureBmpReader, ReadsPaddedRowsOfEveryDepthBottomRowFirst) {
    const Bytes bgr = bgr3x2();
    EXPECT_EQ(bgr.size(), 54u + 2 * 12);
    const Bytes bgra = makeBmp(2, 2, 32, {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16}});
    // Four colours (B, G, R, unused); index 9 is past the table and stays black.
    const Bytes palette = {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0, 1, 2, 3, 0};
    const Bytes indexed = makeBmp(3, 2, 8, {{0, 1, 2}, {3, 9, 0}}, palette);
    // Rows stored top row first when the height is negative.
    const Bytes topDown = makeBmp(3, -2, 24, {{11, 12, 13, 14, 15, 16, 17, 18, 19}, {1, 2, 3, 4, 5, 6, 7, 8, 9}});

    struct Case {
        const char* name;
        Bytes file;
        int channels;
        Bytes pixels;
    } cases[] = {
        {"24-bit", bgr, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19}},
        {"32-bit", bgra, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        {"8-bit", indexed, 3, {10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3, 0, 0, 0, 10, 20, 30}},
        {"top-down", topDown, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19}},
    };
    for (const Case& c : cases) {
        BmpImage image;
        std::string error;
        ASSERT_TRUE(readBmp(write("ok.bmp", c.file), image, &error)) << c.name << ": " << error;
        EXPECT_EQ(image.width, c.file[18]) << c.name;
        EXPECT_EQ(image.height, 2) << c.name;
        EXPECT_EQ(image.channels, c.channels) << c.name;
        EXPECT_EQ(image.pixels, c.pixels) << c.name;
    }
}

TEST_F(TextureBmpReader, OtherFormsAreBmpsWithoutAnImage) {
    const std::vector<Bytes> others = {
        makeBmp(4, 1, 16, {Bytes(8, 1)}),
        makeBmp(8, 1, 1, {{0xFF}}, Bytes(8, 0)),
        makeBmp(2, 1, 4, {{0x12}}, Bytes(64, 0)),
        makeBmp(2, 1, 8, {{2, 0, 0, 1}}, Bytes(1024, 0), 1), // run-length coded
        makeBmp(1, 1, 24, {{1, 2, 3}}, {}, 3),
    };
    for (const Bytes& file : others) {
        BmpImage image;
        ASSERT_TRUE(readBmp(write("other.bmp", file), image)) << "depth " << int(file[28]);
        EXPECT_EQ(image.channels, 0);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.bitsPerPixel, file[28]);
    }
}

TEST_F(TextureBmpReader, DamagedOrHostileFilesAreRefused) {
    const Bytes good = bgr3x2();
    const Bytes palette(16, 0);
    std::vector<std::pair<std::string, Bytes>> bad;
    auto mutated = [&](const std::string& name, std::function<void(Bytes&)> change, Bytes base) {
        change(base);
        bad.emplace_back(name, base);
    };
    mutated("not BM", [](Bytes& f) { f[1] = 'X'; }, good);
    mutated("width 0", [](Bytes& f) { patch32(f, 18, 0); }, good);
    mutated("negative width", [](Bytes& f) { patch32(f, 18, -3); }, good);
    mutated("width too large", [](Bytes& f) { patch32(f, 18, 16385); }, good);
    mutated("height 0", [](Bytes& f) { patch32(f, 22, 0); }, good);
    mutated("height INT_MIN", [](Bytes& f) { patch32(f, 22, INT_MIN); }, good);
    mutated("huge picture in a small file", [](Bytes& f) { patch32(f, 18, 16384); patch32(f, 22, -16384); }, good);
    mutated("one row too many", [](Bytes& f) { patch32(f, 22, 3); }, good);
    mutated("data offset past the end", [](Bytes& f) { patch32(f, 10, 1 << 30); }, good);
    mutated("data offset inside the headers", [](Bytes& f) { patch32(f, 10, 20); }, good);
    mutated("12-byte header", [](Bytes& f) { patch32(f, 14, 12); }, good);
    const Bytes indexed = makeBmp(3, 1, 8, {{0, 1, 2}}, palette);
    mutated("colour table too long", [](Bytes& f) { patch32(f, 46, 1000); }, indexed);
    mutated("pixels inside the colour table", [](Bytes& f) { patch32(f, 10, 60); }, indexed);
    for (size_t length = 0; length < good.size(); ++length)
        bad.emplace_back("cut at " + std::to_string(length), Bytes(good.begin(), good.begin() + long(length)));

    for (const auto& [name, file] : bad) {
        BmpImage image;
        std::string error;
        EXPECT_FALSE(readBmp(write("bad.bmp", file), image, &error)) << name;
        EXPECT_FALSE(error.empty()) << name;
        EXPECT_TRUE(image.pixels.empty()) << name;
    }
    BmpImage image;
    std::string error;
    EXPECT_FALSE(readBmp(dir.path("missing.bmp"), image, &error));
    EXPECT_NE(error.find("missing.bmp"), std::string::npos);
    EXPECT_FALSE(readBmp(dir.path(""), image, &error)) << "a folder";
}

TEST_F(TextureBmpReader, RealEightBitSkins) {
    const std::string samples = std::string(QBN_SHARED_DIR) + "/md2-samples/";
    if (!std::filesystem::exists(samples + "faerie2.bmp"))
        GTEST_SKIP() << "sample skins not found under " << samples;
    struct Skin {
        const char* file;
        int width, height;
    } skins[] = {{"faerie2.bmp", 220, 193}, {"sydney.bmp", 308, 193}, {"dolphin_f.bmp", 480, 92}};
    for (const Skin& skin : skins) {
        BmpImage image;
        ASSERT_TRUE(readBmp(samples + skin.file, image)) << skin.file;
        EXPECT_EQ(image.bitsPerPixel, 8);
        EXPECT_EQ(image.channels, 3);
        EXPECT_EQ(image.width, skin.width);
        EXPECT_EQ(image.height, skin.height);
        EXPECT_EQ(image.pixels.size(), size_t(skin.width) * skin.height * 3);
    }
}

// --- the texture loader ----------------------------------------------------

class TextureLoader : public qbntest::GlTest {
protected:
    static int count(const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }
    std::string write(const std::string& name, const Bytes& bytes) {
        qbntest::writeFileBytes(dir.path(name), bytes);
        return dir.path(name);
    }
    NSLoader::LoaderGLTexture& loader = NSLoader::LoaderGLTexture::instance();
    qbntest::ScratchDir dir;
};

TEST_F(TextureLoader, LoadsOnceAndUploadsInRgbOrder) {
    // 2 x 2 pixels: rows of 6 bytes padded to 8, top row stored first.
    const std::string path =
        write("colours.bmp", makeBmp(2, -2, 24, {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 10, 20, 30}}));
    qbntest::LogCapture log;
    unsigned texture = *loader.get(path);
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(*loader.get(path), texture);
    EXPECT_EQ(count(log.text(), "LoaderGeneric: " + path + ", "), 1);
    EXPECT_EQ(count(log.text(), "error"), 0);

    ASSERT_TRUE(glIsTexture(texture));
    glBindTexture(GL_TEXTURE_2D, texture);
    unsigned char rgb[12] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    const unsigned char expected[12] = {255, 0, 0, 30, 20, 10, 0, 0, 255, 0, 255, 0};
    EXPECT_EQ(0, std::memcmp(rgb, expected, 12));
}

TEST_F(TextureLoader, FailuresAreLoggedEachTimeAndRetried) {
    const std::string path = dir.path("later.bmp");
    qbntest::LogCapture log;
    EXPECT_EQ(*loader.get(path), 0u);
    EXPECT_EQ(*loader.get(path), 0u);
    EXPECT_EQ(count(log.text(), "LoaderGeneric: " + path + ", error\n"), 2);
    EXPECT_FALSE(loader.isCached(path));

    write("later.bmp", bgr3x2());
    EXPECT_NE(*loader.get(path), 0u);

    Bytes cut = bgr3x2();
    cut.pop_back();
    const std::string damaged = write("damaged.bmp", cut);
    EXPECT_EQ(*loader.get(damaged), 0u);
    EXPECT_EQ(count(log.text(), "LoaderGeneric: " + damaged + ", error\n"), 1);
}

TEST_F(TextureLoader, SpecialNames) {
    qbntest::LogCapture log;
    EXPECT_EQ(*loader.get(""), 0u);
    EXPECT_TRUE(loader.isCached(""));

    // Another depth: a texture object without image, cached like a good one.
    const std::string sixteen = write("sixteen.bmp", makeBmp(2, 1, 16, {{1, 2, 3, 4}}));
    unsigned texture = *loader.get(sixteen);
    EXPECT_NE(texture, 0u);
    EXPECT_TRUE(loader.isCached(sixteen));

    // Names saved on other systems use backslashes.
    std::filesystem::create_directories(dir.path("sub"));
    write("sub/slash.bmp", bgr3x2());
    EXPECT_NE(*loader.get(dir.path("") + "sub\\slash.bmp"), 0u);
    EXPECT_EQ(count(log.text(), "error"), 0);
}

} // namespace
