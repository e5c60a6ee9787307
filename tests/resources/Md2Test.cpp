#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Md2TestFiles.h"
#include "persistence/Serializeable.h"
#include "resources/LoaderModelObject_MD2.h"
#include "resources/Md2Normals.h"
#include "resources/ModelObject_MD2.h"
#include "support/GlContext.h"
#include "support/LogCapture.h"

using NSGraphic::ModelObject_MD2;
using NSSerialize::SerialStream;
using qbntest::Bytes;
using qbntest::buildMd2;
using qbntest::ModelsDir;
using qbntest::triangleModel;

namespace {

using AnimationList = std::vector<std::pair<std::string, int>>;

AnimationList animationsOf(const ModelObject_MD2& model) {
    AnimationList list;
    for (unsigned i = 0; i < model.animationCount(); ++i)
        list.emplace_back(model.animation(i).name, model.animation(i).frameCount);
    return list;
}

void expectEmpty(const ModelObject_MD2& model) {
    EXPECT_EQ(model.vertexCount(), 0u);
    EXPECT_EQ(model.triangleCount(), 0u);
    EXPECT_EQ(model.texture(), 0u);
    ASSERT_EQ(model.frameCount(), 1u);
    EXPECT_EQ(animationsOf(model), (AnimationList{{"", 1}}));
}

// A model from a synthetic file, loaded in its own models folder.
struct LoadedModel {
    ModelsDir dir;
    ModelObject_MD2 model;
    bool loaded;
    explicit LoadedModel(const std::vector<std::string>& frames) {
        dir.put("m.md2", buildMd2(triangleModel(frames)));
        loaded = model.load("m.md2", "");
    }
};

TEST(Md2Samples, RealModelsGiveTheirCountsAndAnimations) {
    if (!qbntest::samplesPresent())
        GTEST_SKIP() << "sample models not found under " << QBN_SHARED_DIR;
    ModelsDir dir;
    const AnimationList people = {{"stand", 40}, {"run", 6},   {"attack", 8},  {"pain", 12},   {"jump", 6},
                                  {"flip", 12},  {"salute", 11}, {"taunt", 17}, {"wave", 11},   {"point", 12},
                                  {"crstnd", 19}, {"crwalk", 6}, {"crattak", 9}, {"crpain", 4}, {"crdeath", 5},
                                  {"death", 20}};
    AnimationList sydney = people;
    sydney[14].first = "crdeth";
    struct Sample {
        const char* file;
        unsigned vertices, triangles, frames;
        AnimationList animations;
    } samples[] = {{"faerie.md2", 366, 654, 198, people},
                   {"sydney.md2", 342, 679, 198, sydney},
                   {"dolphin.md2", 324, 500, 59, {{"glide", 14}, {"jump", 45}}},
                   {"flag.md2", 106, 204, 10, {{"stand", 10}}}};
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.file);
        ASSERT_TRUE(dir.copySample(sample.file, sample.file));
        qbntest::LogCapture log;
        ModelObject_MD2 model;
        ASSERT_TRUE(model.load(sample.file, ""));
        EXPECT_EQ(model.vertexCount(), sample.vertices);
        EXPECT_EQ(model.triangleCount(), sample.triangles);
        EXPECT_EQ(model.frameCount(), sample.frames);
        EXPECT_EQ(animationsOf(model), sample.animations);
        int first = 0;
        for (unsigned a = 0; a < model.animationCount(); ++a) {
            EXPECT_EQ(model.animation(a).firstFrame, first);
            first += model.animation(a).frameCount;
        }
        // Every normal comes from the table of unit vectors.
        for (unsigned f : {0u, model.frameCount() - 1}) {
            const auto& normals = model.frameAt(f).normals;
            for (size_t v = 0; v < normals.size(); v += 3)
                ASSERT_NEAR(std::hypot(normals[v], normals[v + 1], normals[v + 2]), 1.0, 1e-4);
        }
        // Only the dolphin names a skin; without a texture name it is tried.
        bool triedSkin = log.text().find("dolphin_f.bmp, error") != std::string::npos;
        EXPECT_EQ(triedSkin, std::string(sample.file) == "dolphin.md2");
    }
}

TEST(Md2Damaged, TruncatedFilesLeaveTheModelEmpty) {
    ModelsDir dir;
    Bytes good = buildMd2(triangleModel({"a1", "a2", "b1"}));
    std::vector<std::pair<std::string, Bytes>> files = {{"synthetic", good}};
    if (qbntest::samplesPresent() && dir.copySample("flag.md2", "flag.md2")) {
        Bytes flag = qbntest::readFileBytes("md2_objects/flag.md2");
        // The GL command list after the frames is never read.
        flag.resize(static_cast<size_t>(qbntest::md2Field(flag, qbntest::MD2_OFS_GLCMDS)));
        files.emplace_back("flag", flag);
    }
    for (const auto& [label, bytes] : files) {
        size_t step = bytes.size() > 1000 ? 37 : 1;
        for (size_t length = 0; length < bytes.size(); length += step) {
            SCOPED_TRACE(label + " cut at " + std::to_string(length));
            dir.put("cut.md2", Bytes(bytes.begin(), bytes.begin() + static_cast<long>(length)));
            ModelObject_MD2 model;
            EXPECT_FALSE(model.load("cut.md2", ""));
            expectEmpty(model);
        }
        dir.put("whole.md2", bytes);
        ModelObject_MD2 model;
        EXPECT_TRUE(model.load("whole.md2", "")) << label;
    }
}

TEST(Md2Damaged, HostileHeadersAndIndicesFailTheLoad) {
    using namespace qbntest;
    ModelsDir dir;
    Md2Model base = triangleModel({"a1", "a2"});
    base.skin = "skin.bmp";
    const Bytes good = buildMd2(base);
    dir.put("good.md2", good);
    ModelObject_MD2 reference;
    ASSERT_TRUE(reference.load("good.md2", ""));
    const int32_t size = static_cast<int32_t>(good.size());
    std::vector<std::pair<int, int32_t>> patches;
    for (int field : {MD2_NUM_SKINS, MD2_NUM_VERTICES, MD2_NUM_ST, MD2_NUM_TRIS, MD2_NUM_FRAMES})
        for (int32_t value : {-1, 70000, INT_MAX, INT_MIN})
            patches.emplace_back(field, value);
    patches.emplace_back(MD2_NUM_FRAMES, 0);
    patches.emplace_back(MD2_NUM_FRAMES, 3); // one more than the file holds
    for (int field : {MD2_OFS_SKINS, MD2_OFS_ST, MD2_OFS_TRIS, MD2_OFS_FRAMES})
        for (int32_t value : {-4, 0, 67, size - 1, size, INT_MAX})
            patches.emplace_back(field, value);
    for (int32_t value : {0, 39, 40 + 4 * 3 - 1, -52, INT_MAX})
        patches.emplace_back(MD2_FRAME_SIZE, value);
    patches.emplace_back(MD2_IDENT, 0x32504448);
    patches.emplace_back(MD2_VERSION, 7);

    for (const auto& [field, value] : patches) {
        SCOPED_TRACE("field " + std::to_string(field) + " = " + std::to_string(value));
        Bytes bad = good;
        setMd2Field(bad, field, value);
        dir.put("bad.md2", bad);
        ModelObject_MD2 model;
        EXPECT_FALSE(model.load("bad.md2", ""));
        expectEmpty(model);
    }

    // A triangle that names a vertex or a texture coordinate past the end.
    for (int corner : {2, 5}) {
        Md2Model broken = base;
        broken.triangles[0][corner] = 3;
        dir.put("index.md2", buildMd2(broken));
        ModelObject_MD2 model;
        EXPECT_FALSE(model.load("index.md2", "")) << "corner field " << corner;
        expectEmpty(model);
    }
}

TEST(Md2Damaged, OddValuesThatCanBeReadAreMended) {
    ModelsDir dir;
    qbntest::Md2Model m = triangleModel({"a1", "a2"});
    m.frames[0].vertices[0][3] = 200; // no such normal
    m.skinWidth = 0;
    m.skinHeight = -5;
    dir.put("odd.md2", buildMd2(m));
    ModelObject_MD2 model;
    ASSERT_TRUE(model.load("odd.md2", ""));
    for (int a = 0; a < 3; ++a)
        EXPECT_FLOAT_EQ(model.frameAt(0).normals[a], NSGraphic::md2Normals[0][a]);
    for (float c : model.texCoords())
        EXPECT_TRUE(std::isfinite(c));

    // A failed load keeps what the model had; only the names change.
    dir.put("junk.md2", Bytes(100, 7));
    EXPECT_FALSE(model.load("junk.md2", "other.bmp"));
    EXPECT_EQ(model.getModelName(), "junk.md2");
    EXPECT_EQ(model.getTextureName(), "other.bmp");
    EXPECT_EQ(model.vertexCount(), 3u);
    EXPECT_EQ(model.frameCount(), 2u);
}

TEST(Md2Grouping, AdjacentFramesOfOneNameMakeAnAnimation) {
    LoadedModel runJump({"run1", "run2", "run3", "jump1", "jump2"});
    ASSERT_TRUE(runJump.loaded);
    EXPECT_EQ(animationsOf(runJump.model), (AnimationList{{"run", 3}, {"jump", 2}}));
    EXPECT_EQ(runJump.model.animation(0).firstFrame, 0);
    EXPECT_EQ(runJump.model.animation(1).firstFrame, 3);
    EXPECT_EQ(runJump.model.frameAt(2).number, 3);

    LoadedModel split({"run1", "run2", "jump1", "run3"});
    EXPECT_EQ(animationsOf(split.model), (AnimationList{{"run", 2}, {"jump", 1}, {"run", 1}}));
    EXPECT_EQ(split.model.animation(2).firstFrame, 3);

    // Digits only stay whole (number 1); no digits give number 0; a full
    // 16-character name needs no terminator.
    LoadedModel odd({"123", "45", "idle", "sixteencharname7"});
    EXPECT_EQ(animationsOf(odd.model), (AnimationList{{"123", 1}, {"45", 1}, {"idle", 1}, {"sixteencharname", 1}}));
    EXPECT_EQ(odd.model.frameAt(0).number, 1);
    EXPECT_EQ(odd.model.frameAt(2).number, 0);
    EXPECT_EQ(odd.model.frameAt(3).number, 7);
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
        EXPECT_NEAR(model.fraction(), 0.9f, 1e-5);
        model.animate(0.2f);
        EXPECT_EQ(model.currentFrame(), smooth ? 2u : 0u) << "smoothWrap " << smooth;
        EXPECT_EQ(model.nextFrame(), smooth ? 0u : 1u);
        EXPECT_NEAR(model.fraction(), 0.1f, 1e-5);
    }
    // Huge, negative and broken steps keep the state on existing frames.
    for (float dt : {1e30f, -7.3f, NAN, INFINITY}) {
        model.animate(dt);
        EXPECT_LT(model.currentFrame(), 3u);
        EXPECT_LT(model.nextFrame(), 3u);
        EXPECT_TRUE(model.fraction() >= 0.0f && model.fraction() < 1.0f) << dt;
    }
}

TEST(Md2Animate, OneShotsStopAndSettersIgnoreUnknownIndices) {
    LoadedModel m({"a1", "a2", "a3", "b1", "b2"});
    ModelObject_MD2& model = m.model;
    model.setAnimation(1);
    model.setAnimationSpeed(1, 2.0f);
    model.animate(10.0f);
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
    model.setAnimationLoop(2, true);
    model.setAnimationSmoothWrap(UINT_MAX, false);
    EXPECT_EQ(model.currentAnimation(), 0u);
    EXPECT_FALSE(model.animation(0).loop);
    EXPECT_EQ(model.animation(1).speed, 2.0f);
    EXPECT_FALSE(model.animation(1).loop);
    EXPECT_TRUE(model.animation(1).smoothWrap);
}

TEST(Md2Animate, HalfwayBlendsPositionsAndNormals) {
    LoadedModel m({"a1", "a2"});
    ModelObject_MD2& model = m.model;
    model.animate(0.5f);
    model.interpolate();
    const auto& p = model.positions();
    ASSERT_EQ(p.size(), 9u);
    // Vertex 2 sits at (2, 2, 0) in frame 0 and (12, 2, 1) in frame 1.
    EXPECT_FLOAT_EQ(p[6], 7.0f);
    EXPECT_FLOAT_EQ(p[7], 2.0f);
    EXPECT_FLOAT_EQ(p[8], 0.5f);
    // Normals are blended, not renormalised: normal 2 and normal 3.
    for (int a = 0; a < 3; ++a)
        EXPECT_FLOAT_EQ(model.normals()[6 + a], 0.5f * (NSGraphic::md2Normals[2][a] + NSGraphic::md2Normals[3][a]));
}

TEST(Md2Copy, CopiesAreDeepAndIndependent) {
    LoadedModel m({"a1", "a2", "a3", "b1"});
    auto copy = std::make_unique<ModelObject_MD2>();
    copy->copyModel(m.model);
    EXPECT_EQ(copy->getModelName(), "m.md2");
    EXPECT_EQ(animationsOf(*copy), animationsOf(m.model));
    EXPECT_EQ(copy->triangles(), m.model.triangles());
    EXPECT_EQ(copy->frameAt(2).positions, m.model.frameAt(2).positions);

    copy->setAnimationSpeed(0, 4.0f);
    copy->animate(0.25f);
    EXPECT_EQ(m.model.animation(0).speed, 1.0f);
    EXPECT_EQ(m.model.currentFrame(), 0u);
    EXPECT_EQ(m.model.fraction(), 0.0f);

    // A copy of a copy lives on after its source is gone.
    ModelObject_MD2 second;
    second.copyModel(*copy);
    copy.reset();
    EXPECT_EQ(second.currentFrame(), 1u);
    second.interpolate();
    EXPECT_FLOAT_EQ(second.positions()[0], 10.0f);
}

// --- the "[modO]" record ----------------------------------------------------

class Md2Record : public ::testing::Test {
protected:
    // Writes model's record followed by a marker int.
    void write(ModelObject_MD2& model, const std::string& version = "1.0") {
        SerialStream out(file, true);
        out.setVersion(version);
        model.serialize(out);
        out.writeInt(0x5A5A);
        ASSERT_TRUE(out.close());
    }
    // Reads the record into model and checks the marker after it.
    void readAndCheckMarker(ModelObject_MD2& model) {
        SerialStream in(file, false);
        model.serialize(in);
        EXPECT_EQ(in.readInt(), 0x5A5A);
        EXPECT_FALSE(in.failed());
    }
    ModelsDir dir;
    std::string file = "record.bin";
};

TEST_F(Md2Record, RoundTripKeepsStateAndAnimationSettings) {
    dir.put("three.md2", buildMd2(triangleModel({"a1", "a2", "a3", "b1", "b2", "c1"})));
    ModelObject_MD2 saved, restored;
    ASSERT_TRUE(saved.load("three.md2", ""));
    ASSERT_TRUE(restored.load("three.md2", ""));
    saved.setAnimationSpeed(0, 2.5f);
    saved.setAnimationLoop(1, true);
    saved.setAnimationSmoothWrap(2, false);
    saved.setAnimation(1);
    saved.setAnimationLoop(1, true);
    saved.animate(1.25f);
    write(saved);
    readAndCheckMarker(restored);
    EXPECT_EQ(restored.currentAnimation(), 1u);
    EXPECT_EQ(restored.currentFrame(), 1u);
    EXPECT_FLOAT_EQ(restored.fraction(), 0.25f);
    for (unsigned a = 0; a < 3; ++a) {
        EXPECT_EQ(restored.animation(a).speed, saved.animation(a).speed);
        EXPECT_EQ(restored.animation(a).loop, saved.animation(a).loop);
        EXPECT_EQ(restored.animation(a).smoothWrap, saved.animation(a).smoothWrap);
    }

    NSSerialize::Serializeable* made = NSSerialize::Serializeable::factorySerializeClass(150, false);
    EXPECT_NE(dynamic_cast<ModelObject_MD2*>(made), nullptr);
    delete made;
}

TEST_F(Md2Record, RecordLayoutForOneAnimation) {
    ModelObject_MD2 model; // the empty model has one animation
    write(model);
    using namespace qbntest;
    const Bytes expected = cat({str0("[modO]"), le32(48), le32(150), le32(0), le32(0), le32(0), str0("[aniL]"),
                                le32(21), str0("[aniO]"), le32(10), le32(0x3F800000), {0, 1}, le32(0x5A5A)});
    EXPECT_EQ(readFileBytes(file), expected);

    write(model, "2.0");
    EXPECT_EQ(readFileBytes(file), le32(0x5A5A));
}

TEST_F(Md2Record, MoreOrFewerEntriesThanAnimationsReadSafely) {
    dir.put("two.md2", buildMd2(triangleModel({"a1", "b1"})));
    dir.put("five.md2", buildMd2(triangleModel({"a1", "b1", "c1", "d1", "e1", "e2", "e3"})));
    ModelObject_MD2 two, five;
    ASSERT_TRUE(two.load("two.md2", ""));
    ASSERT_TRUE(five.load("five.md2", ""));

    // Fewer entries: the first animations take them, the rest keep theirs.
    two.setAnimationSpeed(1, 3.0f);
    five.setAnimationSpeed(4, 9.0f);
    write(two);
    readAndCheckMarker(five);
    EXPECT_EQ(five.animation(1).speed, 3.0f);
    EXPECT_EQ(five.animation(4).speed, 9.0f);

    // More entries: the extra ones are skipped, and a current animation
    // and frame that this model lacks fall back to its first.
    five.setAnimation(4);
    five.animate(1.5f);
    five.setAnimationSpeed(0, 6.0f);
    write(five);
    readAndCheckMarker(two);
    EXPECT_EQ(two.animation(0).speed, 6.0f);
    EXPECT_EQ(two.currentAnimation(), 0u);
    EXPECT_EQ(two.currentFrame(), 0u);
    two.interpolate();

    // A record cut short fails the stream but leaves a usable model.
    qbntest::LogCapture quiet;
    Bytes bytes = qbntest::readFileBytes(file);
    for (size_t length = 0; length < bytes.size(); length += 3) {
        qbntest::writeFileBytes(file, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(length)));
        SerialStream in(file, false);
        two.serialize(in);
        two.animate(0.3f);
        two.interpolate();
        EXPECT_LT(two.currentAnimation(), 2u);
    }
}

// --- the model loader -------------------------------------------------------

TEST(Md2Loader, CachesEveryModelAlsoEmptyOnes) {
    ModelsDir dir;
    auto& loader = NSLoader::LoaderModelObject_MD2::instance();
    qbntest::LogCapture log;
    ModelObject_MD2* missing = loader.get("md2-loader-missing.md2");
    ASSERT_NE(missing, nullptr);
    expectEmpty(*missing);
    EXPECT_TRUE(loader.isCached("md2-loader-missing.md2"));
    EXPECT_NE(log.text().find("LoaderGeneric: md2-loader-missing.md2, 0."), std::string::npos);
    EXPECT_EQ(log.text().find("md2-loader-missing.md2, error"), std::string::npos);

    // The texture of the first load stays, whatever later requests ask.
    dir.put("md2-loader-skin.md2", buildMd2(triangleModel({"a1"})));
    loader.setParameter("texture", "first.bmp");
    ModelObject_MD2* model = loader.get("md2-loader-skin.md2");
    EXPECT_EQ(model->vertexCount(), 3u);
    EXPECT_EQ(loader.parameter("texture"), "");
    loader.setParameter("texture", "second.bmp");
    EXPECT_EQ(loader.get("md2-loader-skin.md2"), model);
    EXPECT_EQ(model->getTextureName(), "first.bmp");
}

// --- drawing ----------------------------------------------------------------

class Md2Draw : public qbntest::GlTest {
protected:
    std::vector<unsigned char> render(ModelObject_MD2& model, unsigned flags) {
        glViewport(0, 0, 128, 128);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-40, 40, -40, 40, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(-90, 1, 0, 0); // the model's z is up
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        model.draw(flags, GL_LINEAR, GL_LINEAR);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return qbntest::readPixels(0, 0, 128, 128);
    }
    static size_t litPixels(const std::vector<unsigned char>& image) {
        size_t lit = 0;
        for (size_t i = 0; i < image.size(); i += 3)
            lit += image[i] || image[i + 1] || image[i + 2];
        return lit;
    }
};

TEST_F(Md2Draw, AllThreePathsDrawTheSameImage) {
    if (!qbntest::samplesPresent())
        GTEST_SKIP() << "sample models not found under " << QBN_SHARED_DIR;
    ModelsDir dir;
    ASSERT_TRUE(dir.copySample("faerie.md2", "draw-faerie.md2"));
    ASSERT_TRUE(dir.copySample("faerie2.bmp", "draw-faerie.bmp"));
    ModelObject_MD2 model;
    ASSERT_TRUE(model.load("draw-faerie.md2", "draw-faerie.bmp"));
    ASSERT_NE(model.texture(), 0u);
    model.setAnimation(1);
    model.setAnimationLoop(1, true);
    model.animate(2.4f); // between two frames of "run"

    auto immediate = render(model, 0);
    EXPECT_GT(litPixels(immediate), 500u);
    EXPECT_EQ(render(model, NSGraphic::MODEL_DRAW_VERTEX_ARRAYS), immediate);
    // Display lists only count once the model is compiled.
    EXPECT_EQ(render(model, NSGraphic::MODEL_DRAW_DISPLAY_LIST), immediate);
    model.setCompiled(true);
    EXPECT_EQ(render(model, NSGraphic::MODEL_DRAW_DISPLAY_LIST | NSGraphic::MODEL_DRAW_VERTEX_ARRAYS), immediate);

    // A compiled model keeps its frozen pose on every path.
    model.animate(1.3f);
    EXPECT_EQ(render(model, NSGraphic::MODEL_DRAW_DISPLAY_LIST), immediate);
    EXPECT_EQ(render(model, 0), immediate);
    model.setCompiled(false);
    EXPECT_NE(render(model, 0), immediate);

    // A copy of a compiled model is compiled with the same pose.
    model.setCompiled(true);
    ModelObject_MD2 copy;
    copy.copyModel(model);
    EXPECT_TRUE(copy.isCompiled());
    EXPECT_EQ(render(copy, NSGraphic::MODEL_DRAW_DISPLAY_LIST), render(model, NSGraphic::MODEL_DRAW_DISPLAY_LIST));

    ModelObject_MD2 empty;
    EXPECT_EQ(litPixels(render(empty, NSGraphic::MODEL_DRAW_VERTEX_ARRAYS)), 0u);
}

} // namespace
