// The pieces the asset tool builds its models and pictures from.

#include <gtest/gtest.h>

#include "resources/Md2Normals.h"

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "assets/Bmp.h"
#include "assets/Canvas.h"
#include "assets/Md2Writer.h"
#include "assets/Mesh.h"
#include "assets/Model.h"
#include "assets/Rasteriser.h"
#include "assets/Skin.h"

using namespace NSAssets;

namespace {

// Volume enclosed by a mesh (divergence theorem); negative when it is wound inside out.
float signedVolume(const Mesh& m) {
    double v = 0;
    for (const Triangle& t : m.triangles) {
        Vec3 a = m.positions[t.v[0]], b = m.positions[t.v[1]], c = m.positions[t.v[2]];
        v += dot(a, cross(b, c)) / 6.0;
    }
    return static_cast<float>(v);
}

// Edges (by position) that do not have exactly one triangle on each side: holes or flaps.
int openEdges(const Mesh& m) {
    auto key = [&](uint32_t i) {
        Vec3 p = m.positions[i];
        return std::make_tuple(std::lround(p.x * 1000), std::lround(p.y * 1000), std::lround(p.z * 1000));
    };
    std::map<std::pair<std::tuple<long, long, long>, std::tuple<long, long, long>>, int> edges;
    for (const Triangle& t : m.triangles)
        for (int k = 0; k < 3; ++k) {
            auto a = key(t.v[k]), b = key(t.v[(k + 1) % 3]);
            // A directed edge counts +1, its reverse -1: a closed surface cancels out.
            if (a < b)
                ++edges[{a, b}];
            else
                --edges[{b, a}];
        }
    int open = 0;
    for (const auto& e : edges)
        open += e.second != 0;
    return open;
}

// Share of triangles whose winding agrees with their vertex normals.
float outwardShare(const Mesh& m) {
    int agree = 0;
    for (const Triangle& t : m.triangles) {
        Vec3 a = m.positions[t.v[0]], b = m.positions[t.v[1]], c = m.positions[t.v[2]];
        Vec3 n = m.normals[t.v[0]] + m.normals[t.v[1]] + m.normals[t.v[2]];
        agree += dot(cross(b - a, c - a), n) > 0.0f;
    }
    return m.triangles.empty() ? 0.0f : static_cast<float>(agree) / m.triangles.size();
}

// A little-endian value of type T at a byte offset.
template <class T>
T valueAt(const std::vector<uint8_t>& b, size_t offset) {
    T v;
    std::memcpy(&v, &b.at(offset), sizeof v);
    return v;
}
const auto i32 = valueAt<int32_t>;
const auto f32 = valueAt<float>;

} // namespace

TEST(AssetPartsTest, SolidsAreClosedAndEncloseTheirVolume) {
    struct Case {
        const char* name;
        Mesh mesh;
        float volume, tolerance; // relative; faceted round solids come out a little small
    };
    std::vector<Case> cases;
    cases.push_back({"box", makeBox(Vec3(2, 3, 4), UvRect()), 24.0f, 1e-4f});
    cases.push_back({"sphere", makeSphere(2.0f, 32, 20, UvRect()), 4.0f / 3.0f * PI * 8.0f, 0.03f});
    cases.push_back({"cylinder", makeCylinder(1.5f, 4.0f, 32, UvRect(), UvRect(), UvRect()), PI * 2.25f * 4.0f, 0.02f});
    cases.push_back({"torus", makeTorus(5.0f, 1.0f, 40, 16, UvRect()), 2.0f * PI * PI * 5.0f, 0.04f});
    cases.push_back({"stadium prism", makePrism(stadiumOutline(3.0f, 1.0f, 16), -1.0f, 1.0f, UvRect(), UvRect(), true),
                     (6.0f * 2.0f + PI) * 2.0f, 0.02f});
    cases.push_back({"chamfered prism",
                     makePrism(chamferedRect(2.0f, 0.0f, 1.0f, 0.25f), 0.0f, 5.0f, UvRect(), UvRect(), false),
                     (4.0f * 1.0f - 0.0625f) * 5.0f, 1e-4f});
    cases.push_back({"lathe with creases",
                     makeLathe({{0, 0, true}, {2, 0, true}, {2, 1, true}, {1, 2, true}, {0, 2, true}}, 48, UvRect()),
                     PI * 4.0f + PI / 3.0f * (4.0f + 2.0f + 1.0f), 0.01f});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(openEdges(c.mesh), 0);
        EXPECT_NEAR(signedVolume(c.mesh), c.volume, c.volume * c.tolerance);
        EXPECT_FLOAT_EQ(outwardShare(c.mesh), 1.0f);
        for (const Vec3& n : c.mesh.normals)
            EXPECT_NEAR(length(n), 1.0f, 1e-4f);
    }
}

TEST(AssetPartsTest, RoundSolidsHaveRadialNormalsAndWrappingTexture) {
    Mesh s = makeSphere(3.0f, 16, 10, UvRect(0.25f, 0.5f, 0.75f, 1.0f));
    for (size_t i = 0; i < s.positions.size(); ++i) {
        EXPECT_NEAR(length(s.positions[i]), 3.0f, 1e-4f);
        EXPECT_GT(dot(normalized(s.positions[i]), s.normals[i]), 0.999f);
    }
    // The texture stays in its rect and covers it: north pole at the rect's top.
    float uMin = 1, uMax = 0, vMin = 1, vMax = 0;
    for (const Vec2& uv : s.uvs) {
        uMin = std::min(uMin, uv.x), uMax = std::max(uMax, uv.x);
        vMin = std::min(vMin, uv.y), vMax = std::max(vMax, uv.y);
    }
    EXPECT_FLOAT_EQ(uMin, 0.25f);
    EXPECT_FLOAT_EQ(uMax, 0.75f);
    EXPECT_FLOAT_EQ(vMin, 0.5f);
    EXPECT_FLOAT_EQ(vMax, 1.0f);
    for (const Triangle& t : s.triangles)
        for (int k = 0; k < 3; ++k)
            if (s.positions[t.v[k]].y > 2.999f) {
                EXPECT_FLOAT_EQ(s.uvs[t.uv[k]].y, 0.5f);
            }

    // A tube along a straight path is a cylinder wall of the tube's radius.
    Mesh tube = makeTube({Vec3(0, 0, 0), Vec3(0, 5, 0), Vec3(0, 10, 0)}, 0.5f, 12, UvRect());
    for (size_t i = 0; i < tube.positions.size(); ++i) {
        Vec3 p = tube.positions[i];
        EXPECT_NEAR(std::sqrt(p.x * p.x + p.z * p.z), 0.5f, 1e-5f);
        EXPECT_NEAR(dot(tube.normals[i], normalized(Vec3(p.x, 0, p.z))), 1.0f, 1e-4f);
    }
    EXPECT_FLOAT_EQ(outwardShare(tube), 1.0f);
}

TEST(AssetPartsTest, BoxFacesMapUprightIntoTheirRects) {
    UvRect faces[6];
    for (int f = 0; f < 6; ++f)
        faces[f] = UvRect(f / 6.0f + 0.01f, 0.0f, (f + 1) / 6.0f - 0.01f, 1.0f);
    const Vec3 size(2, 4, 6);
    Mesh box = makeBox(size, faces);
    ASSERT_EQ(box.triangles.size(), 12u);
    for (const Triangle& t : box.triangles)
        for (int k = 0; k < 3; ++k) {
            Vec3 p = box.positions[t.v[k]], n = box.normals[t.v[k]];
            Vec2 uv = box.uvs[t.uv[k]];
            int face = static_cast<int>(uv.x * 6.0f);
            EXPECT_GT(dot(n, boxFaceFrame(size, face).normal), 0.99f) << "face " << face;
            // Side faces: the top edge of the face is the top of its rect.
            if (face != 2 && face != 3) {
                EXPECT_FLOAT_EQ(uv.y, p.y > 0 ? 0.0f : 1.0f);
            }
        }
    // The face frame reaches the same points the box has.
    for (int f = 0; f < 6; ++f) {
        BoxFaceFrame fr = boxFaceFrame(size, f);
        Vec3 far = fr.origin + fr.uAxis + fr.vAxis;
        EXPECT_FLOAT_EQ(std::fabs(far.x), 1.0f);
        EXPECT_FLOAT_EQ(std::fabs(far.y), 2.0f);
        EXPECT_FLOAT_EQ(std::fabs(far.z), 3.0f);
        EXPECT_NEAR(dot(fr.origin, fr.normal), std::fabs(dot(Vec3(1, 2, 3), fr.normal)), 1e-6f);
    }
}

TEST(AssetPartsTest, Md2WriterPacksFramesAndCoordinatesFaithfully) {
    Model m;
    m.mesh = makeBox(Vec3(10, 2, 4), UvRect(0.1f, 0.2f, 0.5f, 0.7f));
    m.skin = Image(64, 32);
    Mesh moved = m.mesh;
    moved.transform(Xform(Vec3(3, -1, 0)));
    ASSERT_TRUE(m.addFrame("walk1", m.mesh));
    ASSERT_TRUE(m.addFrame("walk2", moved));
    EXPECT_FALSE(m.addFrame("odd1", makeSphere(1, 4, 3, UvRect()))); // another layout
    EXPECT_EQ(m.frames.size(), 2u);

    std::vector<uint8_t> b = encodeMd2(m, "crate.bmp");
    ASSERT_GE(b.size(), 68u);
    const int32_t vertices = i32(b, 24), stCount = i32(b, 28), tris = i32(b, 32), frames = i32(b, 40);
    EXPECT_EQ(i32(b, 8), 64);
    EXPECT_EQ(i32(b, 12), 32);
    EXPECT_EQ(vertices, 24);
    EXPECT_EQ(tris, 12);
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(i32(b, 64), static_cast<int32_t>(b.size()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[i32(b, 44)])), "crate.bmp");
    // A box face's corners share texture pixels, so the 24 corners need only 4 entries.
    EXPECT_EQ(stCount, 4);
    for (int i = 0; i < stCount; ++i) {
        const int16_t s = valueAt<int16_t>(b, i32(b, 48) + 4 * i), t = valueAt<int16_t>(b, i32(b, 48) + 4 * i + 2);
        EXPECT_TRUE(s == 6 || s == 32) << s; // 0.1 * 64 rounds to 6, 0.5 * 64 = 32
        EXPECT_TRUE(t == 6 || t == 22) << t; // 0.2 * 32 rounds to 6, 0.7 * 32 rounds to 22
    }
    // Frames come back within half a packing step; the box's faces exactly.
    for (int f = 0; f < 2; ++f) {
        size_t at = i32(b, 56) + static_cast<size_t>(i32(b, 16)) * f;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[at + 24])), f == 0 ? "walk1" : "walk2");
        const Mesh& expected = f == 0 ? m.mesh : moved;
        for (int v = 0; v < vertices; ++v)
            for (int axis = 0; axis < 3; ++axis) {
                float scale = f32(b, at + 4 * axis), translate = f32(b, at + 12 + 4 * axis);
                float got = b[at + 40 + 4 * v + axis] * scale + translate;
                EXPECT_NEAR(got, expected.positions[v][axis], 1e-5f);
            }
    }
    // Every table normal is its own nearest; other directions pick a close one.
    for (int i = 0; i < NSGraphic::kMd2NormalCount; ++i)
        EXPECT_EQ(nearestMd2Normal(3.0f * Vec3(NSGraphic::md2Normals[i][0], NSGraphic::md2Normals[i][1],
                                               NSGraphic::md2Normals[i][2])), i);
    int up = nearestMd2Normal(Vec3(0, 1, 0));
    EXPECT_GT(NSGraphic::md2Normals[up][1], 0.99f);
}

TEST(AssetPartsTest, BitmapsStoreRowsBottomUpInBgrOrder) {
    Image img(3, 2, Rgba(0, 0, 0, 1));
    img.at(0, 0) = Rgba(1, 0, 0, 1);    // top left red
    img.at(2, 1) = Rgba(0, 0, 1, 0.5f); // bottom right blue, half transparent
    std::vector<uint8_t> b24 = encodeBmp(img, 24);
    // Three pixels of three bytes make a nine-byte row, padded to twelve.
    EXPECT_EQ(b24.size(), 54u + 12u * 2u);
    EXPECT_EQ(i32(b24, 34), 24);
    const size_t bottomRow = 54, topRow = 54 + 12;
    EXPECT_EQ(b24[bottomRow + 6], 255); // blue first
    EXPECT_EQ(b24[topRow + 2], 255);    // red last
    EXPECT_EQ(b24[topRow + 9], 0);      // padding

    std::vector<uint8_t> b32 = encodeBmp(img, 32);
    EXPECT_EQ(b32.size(), 54u + 12u * 2u);
    EXPECT_EQ(b32[54 + 8], 255);     // bottom right: B
    EXPECT_EQ(b32[54 + 8 + 3], 128); // and its alpha
    EXPECT_EQ(b32[54 + 12 + 3], 255);
}

TEST(AssetPartsTest, SkinPaintingFillsItsRectWithAMarginOnly) {
    Image skin(64, 64, Rgba(0, 0, 0, 1));
    UvRect rect = UvRect::pixels(16, 16, 16, 8, 64);
    paintRect(skin, rect, [](float s, float) { return Rgba(s, 1, 0, 1); });
    EXPECT_FLOAT_EQ(skin.at(20, 20).g, 1.0f);
    EXPECT_LT(skin.at(16, 18).r, 0.1f); // s grows left to right
    EXPECT_GT(skin.at(31, 18).r, 0.9f);
    EXPECT_FLOAT_EQ(skin.at(14, 20).g, 1.0f); // the spill keeps filtering clean
    EXPECT_FLOAT_EQ(skin.at(12, 20).g, 0.0f);
    EXPECT_FLOAT_EQ(skin.at(20, 27).g, 0.0f);

    // A sphere skin: the painted direction matches where the mesh puts that texel.
    Image ball(64, 32, Rgba(0, 0, 0, 1));
    paintSphere(ball, UvRect(), [](Vec3 d) { return Rgba(d.x > 0.9f ? 1.0f : 0.0f, d.y > 0.9f ? 1.0f : 0.0f, 0, 1); });
    Mesh sphere = makeSphere(1.0f, 16, 8, UvRect());
    for (const Triangle& t : sphere.triangles)
        for (int k = 0; k < 3; ++k) {
            Vec3 p = sphere.positions[t.v[k]];
            Rgba c = ball.sample(sphere.uvs[t.uv[k]].x, sphere.uvs[t.uv[k]].y);
            if (p.x > 0.99f) {
                EXPECT_GT(c.r, 0.4f);
            } else if (p.x < 0.0f) {
                EXPECT_LT(c.r, 0.1f);
            }
        }
}

TEST(AssetPartsTest, RasteriserHidesWhatIsBehindAndShadesByLight) {
    Mesh near = makeBox(Vec3(2, 2, 2), UvRect()), far = makeBox(Vec3(6, 6, 2), UvRect());
    Surface red, blue;
    red.colour = Rgba(1, 0, 0, 1);
    blue.colour = Rgba(0, 0, 1, 1);
    Rasteriser r(32, 32, 2);
    r.look(Vec3(0, 0, 20), Vec3(0, 0, 0));
    r.frame(placedPoints(far, Xform(Vec3(0, 0, -5))), 0.0f);
    // Drawn far-to-near and near-to-far: the near box wins either way.
    r.draw(near, red);
    r.draw(far, blue, Xform(Vec3(0, 0, -5)));
    Image img = r.result();
    EXPECT_GT(img.at(16, 16).r, 0.3f);
    EXPECT_LT(img.at(16, 16).b, 0.05f);
    EXPECT_GT(img.at(2, 2).b, 0.3f);
    EXPECT_FLOAT_EQ(img.at(16, 16).a, 1.0f);

    // Nothing drawn: transparent. A face turned to the light is brighter than one turned away.
    Rasteriser empty(8, 8);
    EXPECT_FLOAT_EQ(empty.result().at(4, 4).a, 0.0f);
    Rasteriser lit(32, 32, 1);
    Mesh ball = makeSphere(1.0f, 24, 16, UvRect());
    lit.look(Vec3(0, 0, 10), Vec3(0, 0, 0));
    lit.frame(placedPoints(ball), 0.0f);
    Surface grey;
    lit.draw(ball, grey);
    Image shaded = lit.result();
    EXPECT_GT(shaded.at(10, 8).r, shaded.at(22, 24).r); // key light from the upper left
}

TEST(AssetPartsTest, CanvasCoversWhatItDraws) {
    auto coverage = [](const Image& img) {
        float sum = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                sum += img.at(x, y).a;
        return sum / (img.width() * img.height());
    };
    Canvas square(40, 40);
    square.fillPolygon({Vec2(0.25f, 0.25f), Vec2(0.75f, 0.25f), Vec2(0.75f, 0.75f), Vec2(0.25f, 0.75f)},
                       Rgba(1, 1, 1, 1));
    EXPECT_NEAR(coverage(square.result()), 0.25f, 0.01f);

    Canvas disc(40, 40);
    disc.fillCircle(Vec2(0.5f, 0.5f), 0.4f, Rgba(1, 1, 1, 1));
    EXPECT_NEAR(coverage(disc.result()), PI * 0.16f, 0.01f);

    // An arrow pointing down puts its head, the wide part, at the bottom.
    Canvas arrow(40, 40);
    arrow.arrow(Vec2(0.5f, 0.1f), Vec2(0.5f, 0.9f), 0.05f, 0.3f, Rgba(0, 0, 0, 1));
    Image a = arrow.result();
    float top = 0, bottom = 0;
    for (int x = 0; x < 40; ++x) {
        top += a.at(x, 10).a;
        bottom += a.at(x, 32).a;
    }
    EXPECT_GT(bottom, 2.0f * top);

    // Half-transparent ink over ink: the colour mixes, coverage adds up.
    Canvas layers(4, 4, 1);
    for (const Rgba& ink : {Rgba(1, 0, 0, 0.5f), Rgba(0, 0, 1, 0.5f)})
        layers.fillPolygon({Vec2(0, 0), Vec2(1, 0), Vec2(1, 1), Vec2(0, 1)}, ink);
    Rgba p = layers.result().at(1, 1);
    EXPECT_NEAR(p.a, 0.75f, 1e-5f);
    EXPECT_GT(p.b, p.r);
}
