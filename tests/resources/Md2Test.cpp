#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "persistence/FileScratch.h"
#include "resources/LoaderModelObject_MD2.h"
#include "resources/Md2Normals.h"
#include "resources/ModelObject_MD2.h"
#include "support/GlContext.h"
#include "support/LogCapture.h"

using NSGraphic::ModelObject_MD2;
using NSSerialize::SerialStream;
using namespace qbntest;

namespace {

// The seventeen ints of the file header, by index.
enum { IDENT, VERSION, SKIN_WIDTH, SKIN_HEIGHT, FRAME_SIZE, NUM_SKINS, NUM_VERTICES, NUM_ST, NUM_TRIS,
       NUM_GLCMDS, NUM_FRAMES, OFS_SKINS, OFS_ST, OFS_TRIS, OFS_FRAMES, OFS_GLCMDS };

int32_t field(const Bytes& file, int index) {
    int32_t value;
    std::memcpy(&value, file.data() + 4 * index, 4);
    return value;
}
void setField(Bytes& file, int index, int32_t value) { std::memcpy(file.data() + 4 * index, &value, 4); }

// An MD2 file of one triangle, texture coordinates (0, 0) (4, 0) (2, 2) on a
// 4 x 2 skin, and a frame per name (scale 1, no translation). Vertex v of
// frame k sits at (10 k + v, v, k) with normal index k + v. Layout: header,
// skin, texture coordinates, triangle, frames.
Bytes triangleMd2(const std::vector<std::string>& names, const std::string& skin = "") {
    const unsigned skins = skin.empty() ? 0 : 1, frames = unsigned(names.size()), ofsSt = 68 + 64 * skins;
    const unsigned end = ofsSt + 24 + 52 * frames;
    Bytes file = cat({le32(0x32504449), le32(8), le32(4), le32(2), le32(52), le32(skins), le32(3), le32(3), le32(1),
                      le32(0), le32(frames), le32(68), le32(ofsSt), le32(ofsSt + 12), le32(ofsSt + 24), le32(end),
                      le32(end), skin.empty() ? Bytes() : cat({str0(skin), Bytes(63 - skin.size(), 0)}),
                      {0, 0, 0, 0, 4, 0, 0, 0, 2, 0, 2, 0}, {0, 0, 1, 0, 2, 0, 0, 0, 1, 0, 2, 0}});
    for (unsigned k = 0; k < frames; ++k) {
        Bytes name(16, 0);
        std::copy_n(names[k].begin(), std::min<size_t>(names[k].size(), 16), name.begin());
        file = cat({file, le32(0x3F800000), le32(0x3F800000), le32(0x3F800000), Bytes(12, 0), name});
        for (unsigned v = 0; v < 3; ++v)
            file = cat({file, {uint8_t(10 * k + v), uint8_t(v), uint8_t(k), uint8_t(k + v)}});
    }
    return file;
}

// A scratch folder as the working directory, with the models folder in it.
class ModelsDir {
public:
    ModelsDir() : old(std::filesystem::current_path()) {
        std::filesystem::create_directories(scratch.path("md2_objects"));
        std::filesystem::current_path(scratch.path(""));
    }
    ~ModelsDir() { std::filesystem::current_path(old); }
    void put(const std::string& name, const Bytes& bytes) const { writeFileBytes("md2_objects/" + name, bytes); }

private:
    ScratchDir scratch;
    std::filesystem::path old;
};

// A model loaded from a triangle file in its own models folder.
struct LoadedModel {
    ModelsDir dir;
    ModelObject_MD2 model;
    explicit LoadedModel(const std::vector<std::string>& frames) {
        dir.put("m.md2", triangleMd2(frames));
        EXPECT_TRUE(model.load("m.md2", ""));
    }
};

using AnimationList = std::vector<std::pair<std::string, int>>;

AnimationList animationsOf(const ModelObject_MD2& model) {
    AnimationList list;
    for (unsigned i = 0; i < model.animationCount(); ++i)
        list.emplace_back(model.animation(i).name, model.animation(i).frameCount);
    return list;
}

void expectEmpty(const ModelObject_MD2& model) {
    EXPECT_EQ(model.vertexCount() + model.triangleCount() + model.texture(), 0u);
    EXPECT_EQ(model.frameCount(), 1u);
    EXPECT_EQ(animationsOf(model), (AnimationList{{"", 1}}));
}

TEST(Md2Damaged, CutOrHostileFilesLeaveTheModelEmpty) {
    ModelsDir dir;
    const Bytes good = triangleMd2({"a1", "a2"}, "skin.bmp");
    const int32_t size = int32_t(good.size());
    std::vector<std::pair<std::string, Bytes>> bad;
    const auto patch = [&](int index, int32_t value) {
        bad.emplace_back("field " + std::to_string(index) + " = " + std::to_string(value), good);
        setField(bad.back().second, index, value);
    };
    for (int index : {NUM_SKINS, NUM_VERTICES, NUM_ST, NUM_TRIS, NUM_FRAMES})
        for (int32_t value : {-1, 70000, INT_MAX, INT_MIN})
            patch(index, value);
    patch(NUM_FRAMES, 0);
    patch(NUM_FRAMES, 3); // one more than the file holds
    for (int index : {OFS_SKINS, OFS_ST, OFS_TRIS, OFS_FRAMES})
        for (int32_t value : {-4, 0, 67, size - 1, size, INT_MAX})
            patch(index, value);
    for (int32_t value : {0, 39, 40 + 4 * 3 - 1, -52, INT_MAX})
        patch(FRAME_SIZE, value);
    patch(IDENT, 0x32504448);
    patch(VERSION, 7);
    for (int corner : {2, 5}) { // the triangle names a vertex or texture coordinate past the end
        bad.emplace_back("triangle index " + std::to_string(corner), good);
        bad.back().second[size_t(field(good, OFS_TRIS) + 2 * corner)] = 3;
    }
    for (size_t length = 0; length < good.size(); ++length)
        bad.emplace_back("cut at " + std::to_string(length), Bytes(good.begin(), good.begin() + long(length)));
    for (const auto& [label, bytes] : bad) {
        SCOPED_TRACE(label);
        dir.put("bad.md2", bytes);
        ModelObject_MD2 model;
        EXPECT_FALSE(model.load("bad.md2", ""));
        expectEmpty(model);
    }

    // Odd values that can be read are mended: a skin without size, a normal not in the table.
    Bytes odd = good;
    setField(odd, SKIN_WIDTH, 0);
    odd[size_t(field(odd, OFS_FRAMES) + 40 + 3)] = 200;
    dir.put("odd.md2", odd);
    ModelObject_MD2 model;
    ASSERT_TRUE(model.load("odd.md2", ""));
    EXPECT_FLOAT_EQ(model.frameAt(0).normals[2], NSGraphic::md2Normals[0][2]);
    for (float c : model.texCoords())
        EXPECT_TRUE(std::isfinite(c));

    // The file counts t from the skin's top row, GL from its bottom: flipped on load.
    dir.put("plain.md2", good);
    ModelObject_MD2 plain;
    ASSERT_TRUE(plain.load("plain.md2", ""));
    EXPECT_EQ(std::vector<float>(plain.texCoords().begin(), plain.texCoords().end()),
              (std::vector<float>{0, 1, 1, 1, 0.5f, 0}));
}

TEST(Md2Animate, LoopsWrapAsConfigured) {
    LoadedModel m({"a1", "a2", "a3"});
    ModelObject_MD2& model = m.model;
    model.setAnimationLoop(0, true);
    for (bool smooth : {false, true}) {
        model.setAnimationSmoothWrap(0, smooth);
        model.setAnimation(0);
        model.animate(1.9f);
        ASSERT_EQ(model.currentFrame(), 1u);
        model.animate(0.2f);
        EXPECT_EQ(model.currentFrame(), smooth ? 2u : 0u) << "smoothWrap " << smooth;
        EXPECT_EQ(model.nextFrame(), smooth ? 0u : 1u);
        EXPECT_NEAR(model.fraction(), 0.1f, 1e-5);
    }
    // Huge, negative and broken steps keep the state on existing frames.
    for (float dt : {1e30f, -7.3f, NAN, INFINITY}) {
        model.animate(dt);
        EXPECT_LT(std::max(model.currentFrame(), model.nextFrame()), 3u);
        EXPECT_TRUE(model.fraction() >= 0.0f && model.fraction() < 1.0f) << dt;
    }
}

TEST(Md2Animate, OneShotsStopSpeedZeroHoldsAndUnknownIndicesAreIgnored) {
    LoadedModel m({"a1", "a2", "a3", "b1", "b2"});
    ModelObject_MD2& model = m.model;
    model.setAnimation(1);
    model.setAnimationSpeed(1, 2.0f);
    model.animate(10.3f);
    EXPECT_EQ(model.currentFrame(), 1u);
    EXPECT_EQ(model.nextFrame(), 1u);
    EXPECT_EQ(model.fraction(), 0.0f);

    model.setAnimation(0);
    model.setAnimationSpeed(0, 0.0f);
    for (int i = 0; i < 5; ++i)
        model.animate(1.0f);
    EXPECT_EQ(model.currentFrame(), 0u);
    EXPECT_EQ(model.fraction(), 0.0f);

    model.setAnimation(2);
    model.setAnimationSpeed(7, 3.0f);
    model.setAnimationLoop(UINT_MAX, true);
    EXPECT_EQ(model.currentAnimation(), 0u);
    EXPECT_EQ(model.animation(1).speed, 2.0f);
    EXPECT_FALSE(model.animation(1).loop);
}

TEST(Md2Animate, HalfwayBlendsPositionsAndNormals) {
    LoadedModel m({"a1", "a2"});
    m.model.animate(0.5f);
    m.model.interpolate();
    // Vertex 2 sits at (2, 2, 0) in frame 0 and (12, 2, 1) in frame 1.
    ASSERT_EQ(m.model.positions().size(), 9u);
    EXPECT_EQ(std::vector<float>(m.model.positions().begin() + 6, m.model.positions().end()),
              (std::vector<float>{7.0f, 2.0f, 0.5f}));
    // Normals are blended, not renormalised: normal 2 and normal 3.
    for (int a = 0; a < 3; ++a)
        EXPECT_FLOAT_EQ(m.model.normals()[6 + a], 0.5f * (NSGraphic::md2Normals[2][a] + NSGraphic::md2Normals[3][a]));
}

// The "[modO]" record: written with a marker int after it, read back up to the marker.
class Md2Record : public ::testing::Test {
protected:
    void write(ModelObject_MD2& model, const std::string& version = "1.0") {
        SerialStream out(file, true);
        out.setVersion(version);
        model.serialize(out);
        out.writeInt(0x5A5A);
        ASSERT_TRUE(out.close());
    }
    void read(ModelObject_MD2& model) {
        SerialStream in(file, false);
        model.serialize(in);
        EXPECT_EQ(in.readInt(), 0x5A5A);
        EXPECT_FALSE(in.failed());
    }
    ModelsDir dir;
    const std::string file = "record.bin";
};

TEST_F(Md2Record, RoundTripsAndReadsIntoModelsWithMoreOrFewerAnimations) {
    dir.put("two.md2", triangleMd2({"a1", "b1"}));
    dir.put("five.md2", triangleMd2({"a1", "b1", "c1", "d1", "e1", "e2", "e3"}));
    ModelObject_MD2 two, five, fiveAgain;
    ASSERT_TRUE(two.load("two.md2", "") && five.load("five.md2", "") && fiveAgain.load("five.md2", ""));
    five.setAnimation(4);
    five.setAnimationLoop(4, true);
    five.setAnimationSpeed(4, 2.0f);
    five.setAnimationSmoothWrap(3, false);
    five.animate(1.25f);
    write(five);
    const Bytes written = readFileBytes(file);
    read(fiveAgain);
    write(fiveAgain);
    EXPECT_EQ(readFileBytes(file), written);
    EXPECT_EQ(fiveAgain.currentFrame(), 2u);
    // More entries: the extra ones are skipped; a current animation the model lacks becomes its first.
    read(two);
    EXPECT_EQ(two.currentAnimation(), 0u);
    EXPECT_EQ(two.currentFrame(), 0u);
    // Fewer entries: the first animations take them, the rest keep theirs.
    two.setAnimationSpeed(1, 3.0f);
    write(two);
    read(five);
    EXPECT_EQ(five.animation(1).speed, 3.0f);
    EXPECT_EQ(five.animation(4).speed, 2.0f);
}

} // namespace
