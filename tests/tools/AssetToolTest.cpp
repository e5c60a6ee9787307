// The asset tool's output as the game takes it: models, skins, pictures, the same bytes every run.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "assets/AssetSet.h"
#include "resources/LoaderGLTexture.h"
#include "resources/ModelObject_MD2.h"
#include "support/GlContext.h"

using NSGraphic::ModelObject_MD2;

namespace {

using Bytes = std::vector<uint8_t>;

// Generating everything takes a moment; the suite shares one run.
const NSAssets::AssetFiles& assets() {
    static const NSAssets::AssetFiles files = NSAssets::generateAssets();
    return files;
}

const char* kModels[] = {"basketball", "bowlingball", "tennisball", "brett1",    "brett2",     "brett3",
                         "Johnny5",    "sprungbrett", "rollband1",  "rollband2", "ventilator", "teslaspule"};

struct Vec {
    float x, y, z;
    float operator[](int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
};
using Points = std::vector<Vec>;

Points points(const std::vector<float>& xyz) {
    Points out;
    for (size_t i = 0; i + 2 < xyz.size(); i += 3)
        out.push_back({xyz[i], xyz[i + 1], xyz[i + 2]});
    return out;
}

// The lowest and the highest corner of the box around the points.
std::array<Vec, 2> bounds(const Points& pts) {
    Vec lo = pts.at(0), hi = pts.at(0);
    for (const Vec& p : pts) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    return {lo, hi};
}

// A picture of the run folder as the game reads it; pixel(x, y) is R, G, B, A with y from the top.
struct Picture : NSLoader::BmpImage {
    std::array<int, 4> pixel(int x, int y) const {
        const uint8_t* p = &pixels.at((static_cast<size_t>(height - 1 - y) * width + x) * channels);
        return {p[2], p[1], p[0], channels == 4 ? p[3] : 255};
    }
};
Picture picture(const std::string& name) {
    Picture image;
    std::string error;
    EXPECT_TRUE(NSLoader::readBmp(std::string(QBN_RUN_DIR) + "/" + name, image, &error)) << name << ": " << error;
    return image;
}

// A generated model from the run folder, read by the game's own reader.
std::unique_ptr<ModelObject_MD2> model(const std::string& name) {
    char previous[4096];
    auto m = std::make_unique<ModelObject_MD2>(true);
    if (!getcwd(previous, sizeof previous) || chdir(QBN_RUN_DIR) != 0) {
        ADD_FAILURE() << "no run folder at " << QBN_RUN_DIR;
        return m;
    }
    EXPECT_TRUE(m->load(name + ".md2", "")) << name;
    EXPECT_EQ(chdir(previous), 0);
    return m;
}

Points frame(const ModelObject_MD2& m, unsigned f) { return points(m.frameAt(f).positions); }

} // namespace

class AssetToolTest : public qbntest::GlTest {};

TEST_F(AssetToolTest, ModelsLoadWithTheirSkinsAndFillTheirCollisionVolumes) {
    struct Volume {
        const char* name;
        Vec lo, hi;
    };
    const Volume volumes[] = {
        {"basketball", {-11.5f, -11.5f, -11.5f}, {11.5f, 11.5f, 11.5f}},
        {"bowlingball", {-10, -10, -10}, {10, 10, 10}},
        {"tennisball", {-3.3f, -3.3f, -3.3f}, {3.3f, 3.3f, 3.3f}},
        {"brett1", {-15, -3, -15}, {15, 0, 15}},
        {"brett2", {-10, -3, -45}, {10, 0, 45}},
        {"brett3", {-30, -3, -30}, {30, 0, 30}},
        {"sprungbrett", {-15, -8.3f, -15}, {15, 2.5f, 15}}, // board on top of the foot
        {"rollband1", {-15, -5, -15}, {15, 5, 15}},
        {"rollband2", {-15, -5, -50}, {15, 5, 50}},
        {"ventilator", {-19.25f, -21, -10}, {19.25f, 26, 10}},
        {"teslaspule", {-15, -1, -15}, {15, 67, 15}},
    };
    for (const Volume& v : volumes) {
        const auto m = model(v.name);
        EXPECT_NE(m->texture(), 0u) << v.name << ": the skin did not load";
        EXPECT_GE(m->triangleCount(), 12u) << v.name;
        EXPECT_LE(m->triangleCount(), 2500u) << v.name;
        for (unsigned f = 0; f < m->frameCount(); ++f) {
            SCOPED_TRACE(std::string(v.name) + " frame " + std::to_string(f));
            const auto [lo, hi] = bounds(frame(*m, f));
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_NEAR(lo[axis], v.lo[axis], 0.05f) << "axis " << axis;
                EXPECT_NEAR(hi[axis], v.hi[axis], 0.05f) << "axis " << axis;
            }
        }
    }
}

TEST_F(AssetToolTest, AnimationsLoopTheWayTheGamePlaysThem) {
    auto sameShape = [](const Points& a, const Points& b) {
        auto key = [](const Points& v) {
            std::multiset<std::array<long, 3>> s;
            for (const Vec& p : v)
                s.insert({std::lround(p.x * 20), std::lround(p.y * 20), std::lround(p.z * 20)});
            return s;
        };
        return key(a) == key(b);
    };

    // Johnny waves in a loop that blends its last frame into the first, so those must differ.
    const auto johnny = model("Johnny5");
    ASSERT_EQ(johnny->animationCount(), 1u);
    EXPECT_EQ(johnny->animation(0).name, "wave");
    EXPECT_GE(johnny->animation(0).frameCount, 4);
    EXPECT_FALSE(sameShape(frame(*johnny, 0), frame(*johnny, johnny->frameCount() - 1)));

    // Belts and fan loop without blending: the last frame looks like the first, yet the parts move.
    for (const char* n : {"rollband1", "rollband2", "ventilator"}) {
        SCOPED_TRACE(n);
        const auto m = model(n);
        ASSERT_EQ(m->animationCount(), 1u);
        EXPECT_EQ(m->animation(0).name, "run");
        ASSERT_GE(m->frameCount(), 2u);
        const Points first = frame(*m, 0), second = frame(*m, 1);
        EXPECT_TRUE(sameShape(first, frame(*m, m->frameCount() - 1)));
        size_t moved = 0;
        for (size_t v = 0; v < first.size(); ++v)
            moved += std::fabs(first[v].x - second[v].x) + std::fabs(first[v].y - second[v].y) +
                         std::fabs(first[v].z - second[v].z) > 0.5f;
        EXPECT_GT(moved, first.size() / 10);
        if (std::string(n) == "ventilator") { // the blades really turn, not the same frame relabelled
            EXPECT_FALSE(sameShape(first, second));
        }
    }
}

TEST_F(AssetToolTest, FacesAndNormalsPointOutward) {
    for (const char* name : kModels) {
        SCOPED_TRACE(name);
        const auto m = model(name);
        const Points pos = frame(*m, 0), nrm = points(m->frameAt(0).normals);
        // Counter-clockwise seen from where the vertex normals point.
        int agree = 0, total = 0;
        const std::vector<unsigned>& tris = m->triangles();
        for (size_t t = 0; t + 2 < tris.size(); t += 3) {
            Vec a = pos[tris[t]], b = pos[tris[t + 1]], c = pos[tris[t + 2]];
            Vec e1{b.x - a.x, b.y - a.y, b.z - a.z}, e2{c.x - a.x, c.y - a.y, c.z - a.z};
            Vec g{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
            if (std::sqrt(g.x * g.x + g.y * g.y + g.z * g.z) < 1e-4f)
                continue; // squashed flat by the byte packing
            Vec n{0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                const Vec& tn = nrm[tris[t + k]];
                n = {n.x + tn.x, n.y + tn.y, n.z + tn.z};
            }
            ++total;
            agree += g.x * n.x + g.y * n.y + g.z * n.z > 0.0f;
        }
        EXPECT_GT(agree, total * 97 / 100) << agree << " of " << total;
    }
}

TEST_F(AssetToolTest, PicturesAreReadableAsTheGameReadsThemAndTheSameEveryRun) {
    for (const auto& entry : assets()) {
        const std::string& name = entry.first;
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".bmp") != 0)
            continue;
        SCOPED_TRACE(name);
        const Picture h = picture(name);
        if (h.pixels.empty())
            continue;
        bool particle = name.rfind("particletextures/", 0) == 0;
        EXPECT_EQ(h.bitsPerPixel, particle ? 32 : 24);
        if (name.find("_pic.bmp") != std::string::npos) {
            EXPECT_EQ(h.width, 128);
            EXPECT_EQ(h.height, 128);
            // Something is drawn on the backdrop: the middle differs from the corner.
            auto corner = h.pixel(1, 1);
            int differing = 0;
            for (int y = 32; y < 96; ++y)
                for (int x = 32; x < 96; ++x) {
                    auto p = h.pixel(x, y);
                    differing += std::abs(p[0] - corner[0]) + std::abs(p[1] - corner[1]) + std::abs(p[2] - corner[2]) > 40;
                }
            EXPECT_GT(differing, 64 * 64 / 8);
        } else if (!particle) { // skins: powers of two for old GL
            EXPECT_EQ(h.width & (h.width - 1), 0);
            EXPECT_EQ(h.height & (h.height - 1), 0);
        }
    }
    { // The particle texture: a soft white dot, alpha falling off steadily from the centre.
        const Picture h = picture("particletextures/point.bmp");
        ASSERT_EQ(h.channels, 4);
        ASSERT_EQ(h.width, h.height);
        const int c = h.width / 2;
        EXPECT_GE(h.pixel(c, c)[3], 240);
        EXPECT_EQ(h.pixel(0, 0)[3], 0);
        const int dirs[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        for (const auto& d : dirs) {
            int previous = 256;
            for (int r = 0; r < c; ++r) {
                auto p = h.pixel(c + d[0] * r, c + d[1] * r);
                EXPECT_EQ(p[0] + p[1] + p[2], 3 * 255);
                EXPECT_LE(p[3], previous);
                previous = p[3];
            }
            EXPECT_LT(previous, 16);
        }
    }
    // The same bytes every run.
    NSAssets::AssetFiles again = NSAssets::generateAssets();
    ASSERT_EQ(again.size(), assets().size());
    for (const auto& [name, bytes] : assets())
        EXPECT_TRUE(again[name] == bytes) << name;
}
