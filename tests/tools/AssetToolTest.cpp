#include <gtest/gtest.h>

#include "resources/Md2Normals.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "assets/AssetSet.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Generating everything takes a moment; the suite shares one run.
const NSAssets::AssetFiles& assets() {
    static const NSAssets::AssetFiles files = NSAssets::generateAssets();
    return files;
}

const Bytes& file(const std::string& name) {
    static const Bytes none;
    auto it = assets().find(name);
    return it == assets().end() ? none : it->second;
}

// A little-endian value of type T at a byte offset.
template <class T>
T valueAt(const Bytes& b, size_t at) {
    T v;
    (void)b.at(at + sizeof v - 1); // throws rather than reading past the end
    std::memcpy(&v, &b[at], sizeof v);
    return v;
}
const auto i32 = valueAt<int32_t>;
const auto u16 = valueAt<uint16_t>;
const auto f32 = valueAt<float>;

struct Vec {
    float x, y, z;
    float operator[](int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
};

// An MD2 file read the way the game reads it; problems collected in `errors`.
struct Md2 {
    int32_t h[17] = {};
    int32_t skinW() const { return h[2]; }
    int32_t skinH() const { return h[3]; }
    int32_t vertices() const { return h[6]; }
    int32_t triangles() const { return h[8]; }
    std::vector<std::array<uint16_t, 6>> tris; // three vertex, three st indices
    std::vector<std::string> frameNames;
    std::vector<std::vector<Vec>> frames;
    std::vector<std::vector<uint8_t>> normals;
    std::vector<std::string> errors;
};

const char* MD2_MODELS[] = {"basketball", "bowlingball", "tennisball", "brett1",     "brett2",     "brett3",
                            "Johnny5",    "sprungbrett", "rollband1",  "rollband2", "ventilator", "teslaspule"};

Md2 readMd2(const Bytes& b);
Md2 model(const std::string& name) { return readMd2(file("md2_objects/" + name + ".md2")); }

Md2 readMd2(const Bytes& b) {
    Md2 m;
    auto fail = [&](const std::string& e) { m.errors.push_back(e); };
    if (b.size() < 68) {
        fail("shorter than the header");
        return m;
    }
    for (int i = 0; i < 17; ++i)
        m.h[i] = i32(b, 4 * i);
    if (m.h[0] != 0x32504449 || m.h[1] != 8)
        fail("not IDP2 version 8");
    if (m.h[16] != static_cast<int32_t>(b.size()))
        fail("ofs_end is not the file size");
    if (m.h[4] != 40 + 4 * m.vertices())
        fail("frame size does not match the vertex count");
    if (m.h[11] + 64 * m.h[5] > m.h[12] || m.h[12] + 4 * m.h[7] > m.h[13] || m.h[13] + 12 * m.h[8] > m.h[14] ||
        m.h[14] + m.h[4] * m.h[10] > m.h[15] || m.h[15] + 4 * m.h[9] > m.h[16])
        fail("sections overlap or run past the end");
    if (!m.errors.empty())
        return m;
    for (int i = 0; i < m.h[7]; ++i) {
        int s = static_cast<int16_t>(u16(b, m.h[12] + 4 * i)), t = static_cast<int16_t>(u16(b, m.h[12] + 4 * i + 2));
        if (s < 0 || t < 0 || s > m.skinW() || t > m.skinH())
            fail("texture coordinate outside the skin");
    }
    for (int i = 0; i < m.triangles(); ++i) {
        std::array<uint16_t, 6> t;
        for (int k = 0; k < 6; ++k)
            t[k] = u16(b, m.h[13] + 12 * i + 2 * k);
        if (t[0] >= m.vertices() || t[1] >= m.vertices() || t[2] >= m.vertices())
            fail("vertex index out of range");
        if (t[3] >= m.h[7] || t[4] >= m.h[7] || t[5] >= m.h[7])
            fail("texture coordinate index out of range");
        m.tris.push_back(t);
    }
    for (int f = 0; f < m.h[10]; ++f) {
        size_t at = m.h[14] + static_cast<size_t>(m.h[4]) * f;
        m.frameNames.emplace_back(reinterpret_cast<const char*>(&b[at + 24]), strnlen(reinterpret_cast<const char*>(&b[at + 24]), 16));
        std::vector<Vec> pos;
        std::vector<uint8_t> nrm;
        for (int v = 0; v < m.vertices(); ++v) {
            size_t p = at + 40 + 4 * v;
            pos.push_back({b[p] * f32(b, at) + f32(b, at + 12), b[p + 1] * f32(b, at + 4) + f32(b, at + 16),
                           b[p + 2] * f32(b, at + 8) + f32(b, at + 20)});
            nrm.push_back(b[p + 3]);
            if (b[p + 3] >= 162)
                fail("normal index past the table");
        }
        m.frames.push_back(pos);
        m.normals.push_back(nrm);
    }
    if (i32(b, m.h[16] - 4) != 0)
        fail("GL command list is not terminated");
    return m;
}

// Frame names grouped as the game does: adjacent ones that agree without their trailing digits.
std::vector<std::pair<std::string, int>> animations(const Md2& m) {
    std::vector<std::pair<std::string, int>> out;
    for (const std::string& name : m.frameNames) {
        std::string cut = name.substr(0, name.find_last_not_of("0123456789") + 1);
        if (out.empty() || out.back().first != cut)
            out.push_back({cut, 0});
        ++out.back().second;
    }
    return out;
}

// The lowest and the highest corner of the box around the points.
std::array<Vec, 2> bounds(const std::vector<Vec>& pts) {
    Vec lo = pts.at(0), hi = pts.at(0);
    for (const Vec& p : pts) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    return {lo, hi};
}

// The normal table the models index into, checked against the format's published one where at hand.
std::vector<Vec> normalTable() {
    std::vector<Vec> out;
    for (const auto& n : NSGraphic::md2Normals)
        out.push_back({n[0], n[1], n[2]});
    if (FILE* f = std::fopen(QBN_SHARED_DIR "/md2-normals.txt", "r")) {
        char line[256];
        int i;
        Vec v;
        while (std::fgets(line, sizeof line, f))
            if (line[0] != '#' && std::sscanf(line, "%d %f %f %f", &i, &v.x, &v.y, &v.z) == 4 && i >= 0 && i < 162) {
                EXPECT_NEAR(out[i].x, v.x, 1e-6f) << i;
                EXPECT_NEAR(out[i].y, v.y, 1e-6f) << i;
                EXPECT_NEAR(out[i].z, v.z, 1e-6f) << i;
            }
        std::fclose(f);
    }
    return out;
}

struct Bmp {
    int32_t width = 0, height = 0, bits = 0;
    std::vector<std::string> errors;
};

Bmp readBmpHeader(const Bytes& b) {
    Bmp r;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        r.errors.push_back("no BM header");
        return r;
    }
    r.width = i32(b, 18);
    r.height = i32(b, 22);
    r.bits = u16(b, 28);
    if (i32(b, 2) != static_cast<int32_t>(b.size()) || i32(b, 10) != 54 || i32(b, 14) != 40)
        r.errors.push_back("file size, data offset or header size wrong");
    if (u16(b, 26) != 1 || i32(b, 30) != 0)
        r.errors.push_back("not one plane of uncompressed pixels");
    // The game reads rows tightly packed; padded rows would shear the picture.
    int64_t stride = (static_cast<int64_t>(r.width) * r.bits / 8 + 3) / 4 * 4;
    if (stride != static_cast<int64_t>(r.width) * r.bits / 8)
        r.errors.push_back("rows need padding");
    if (static_cast<int64_t>(b.size()) != 54 + stride * r.height)
        r.errors.push_back("pixel data size wrong");
    return r;
}

std::array<int, 4> pixel(const Bytes& b, const Bmp& h, int x, int y) { // y from the top
    size_t at = 54 + (static_cast<size_t>(h.height - 1 - y) * h.width + x) * (h.bits / 8);
    return {b[at + 2], b[at + 1], b[at], h.bits == 32 ? b[at + 3] : 255};
}

} // namespace

TEST(AssetToolTest, ModelsAreWellFormedMd2WithTheirSkins) {
    for (const char* name : MD2_MODELS) {
        SCOPED_TRACE(name);
        const Bytes& b = file(std::string("md2_objects/") + name + ".md2");
        const Md2 m = readMd2(b);
        ASSERT_TRUE(m.errors.empty()) << m.errors.front();
        EXPECT_GE(m.triangles(), 12);
        EXPECT_LE(m.triangles(), 2500);
        EXPECT_GE(m.h[10], 1);
        // The one skin slot names the skin beside the model, and the skin has the size the coordinates assume.
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[m.h[11]])), std::string(name) + ".bmp");
        Bmp skin = readBmpHeader(file(std::string("md2_objects/") + name + ".bmp"));
        EXPECT_EQ(skin.width, m.skinW());
        EXPECT_EQ(skin.height, m.skinH());
    }
}

TEST(AssetToolTest, ModelsFillTheirCollisionVolumes) {
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
        const Md2 m = model(v.name);
        for (size_t f = 0; f < m.frames.size(); ++f) {
            SCOPED_TRACE(std::string(v.name) + " frame " + m.frameNames[f]);
            const auto [lo, hi] = bounds(m.frames[f]);
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_NEAR(lo[axis], v.lo[axis], 0.05f) << "axis " << axis;
                EXPECT_NEAR(hi[axis], v.hi[axis], 0.05f) << "axis " << axis;
            }
        }
    }
    // Johnny has no volume; he is placed by his origin, so he stands on it.
    for (const auto& frame : model("Johnny5").frames) {
        const auto [lo, hi] = bounds(frame);
        EXPECT_NEAR(lo.y, 0.0f, 0.05f);
        EXPECT_GT(hi.y, 15.0f);
        EXPECT_LT(hi.y, 35.0f);
        EXPECT_LT(std::max(std::fabs(lo.x), std::fabs(hi.x)), 20.0f);
    }
}

TEST(AssetToolTest, AnimationsLoopTheWayTheGamePlaysThem) {
    auto sameShape = [](const std::vector<Vec>& a, const std::vector<Vec>& b) {
        auto key = [](const std::vector<Vec>& v) {
            std::multiset<std::array<long, 3>> s;
            for (const Vec& p : v)
                s.insert({std::lround(p.x * 20), std::lround(p.y * 20), std::lround(p.z * 20)});
            return s;
        };
        return key(a) == key(b);
    };

    // Johnny waves in a loop that blends its last frame into the first, so those must differ.
    const Md2 johnny = model("Johnny5");
    ASSERT_EQ(animations(johnny).size(), 1u);
    EXPECT_EQ(animations(johnny)[0].first, "wave");
    EXPECT_GE(animations(johnny)[0].second, 4);
    EXPECT_FALSE(sameShape(johnny.frames.front(), johnny.frames.back()));

    // Belts and fan loop without blending: the last frame looks like the first, yet the parts move.
    for (const char* n : {"rollband1", "rollband2", "ventilator"}) {
        SCOPED_TRACE(n);
        const Md2 m = model(n);
        ASSERT_EQ(animations(m).size(), 1u);
        EXPECT_EQ(animations(m)[0].first, "run");
        ASSERT_GE(m.frames.size(), 2u);
        EXPECT_TRUE(sameShape(m.frames.front(), m.frames.back()));
        size_t moved = 0;
        for (size_t v = 0; v < m.frames[0].size(); ++v)
            moved += std::fabs(m.frames[0][v].x - m.frames[1][v].x) + std::fabs(m.frames[0][v].z - m.frames[1][v].z) +
                         std::fabs(m.frames[0][v].y - m.frames[1][v].y) > 0.5f;
        EXPECT_GT(moved, m.frames[0].size() / 10);
    }
    // The blades really turn: the second frame is not the first one relabelled.
    EXPECT_FALSE(sameShape(model("ventilator").frames[0], model("ventilator").frames[1]));

    for (const char* n : {"basketball", "bowlingball", "tennisball", "brett1", "brett2", "brett3", "sprungbrett",
                          "teslaspule"})
        EXPECT_EQ(model(n).frames.size(), 1u) << n;
}

TEST(AssetToolTest, FacesAndNormalsPointOutward) {
    std::vector<Vec> table = normalTable();
    ASSERT_EQ(table.size(), 162u);
    for (const char* name : MD2_MODELS) {
        SCOPED_TRACE(name);
        const Md2 m = model(name);
        const auto& pos = m.frames.at(0);
        const auto& nrm = m.normals.at(0);
        // Counter-clockwise seen from where the vertex normals point.
        int agree = 0, total = 0;
        for (const auto& t : m.tris) {
            Vec a = pos[t[0]], b = pos[t[1]], c = pos[t[2]];
            Vec e1{b.x - a.x, b.y - a.y, b.z - a.z}, e2{c.x - a.x, c.y - a.y, c.z - a.z};
            Vec g{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
            if (std::sqrt(g.x * g.x + g.y * g.y + g.z * g.z) < 1e-4f)
                continue; // squashed flat by the byte packing
            Vec n{0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                const Vec& tn = table[nrm[t[k]]];
                n = {n.x + tn.x, n.y + tn.y, n.z + tn.z};
            }
            ++total;
            agree += g.x * n.x + g.y * n.y + g.z * n.z > 0.0f;
        }
        EXPECT_GT(agree, total * 97 / 100) << agree << " of " << total;
    }
    // On the balls every normal points away from the centre.
    for (const char* ball : {"basketball", "bowlingball", "tennisball"}) {
        const Md2 m = model(ball);
        for (size_t v = 0; v < m.frames[0].size(); ++v) {
            Vec p = m.frames[0][v], n = table[m.normals[0][v]];
            float len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
            EXPECT_GT((p.x * n.x + p.y * n.y + p.z * n.z) / len, 0.9f) << ball << " vertex " << v;
        }
    }
}

TEST(AssetToolTest, BitmapsAreReadableAsTheGameReadsThem) {
    for (const auto& [name, bytes] : assets()) {
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".bmp") != 0)
            continue;
        SCOPED_TRACE(name);
        Bmp h = readBmpHeader(bytes);
        EXPECT_TRUE(h.errors.empty()) << h.errors.front();
        bool picture = name.find("_pic.bmp") != std::string::npos;
        bool particle = name.rfind("particletextures/", 0) == 0;
        EXPECT_EQ(h.bits, particle ? 32 : 24);
        if (picture) {
            EXPECT_EQ(h.width, 128);
            EXPECT_EQ(h.height, 128);
            // Something is drawn on the backdrop: the middle differs from the corner.
            auto corner = pixel(bytes, h, 1, 1);
            int differing = 0;
            for (int y = 32; y < 96; ++y)
                for (int x = 32; x < 96; ++x) {
                    auto p = pixel(bytes, h, x, y);
                    differing += std::abs(p[0] - corner[0]) + std::abs(p[1] - corner[1]) + std::abs(p[2] - corner[2]) > 40;
                }
            EXPECT_GT(differing, 64 * 64 / 8);
        } else if (!particle) {
            // Skins: powers of two for old GL.
            EXPECT_EQ(h.width & (h.width - 1), 0);
            EXPECT_EQ(h.height & (h.height - 1), 0);
        }
    }
}

TEST(AssetToolTest, PointTextureIsASoftWhiteDot) {
    const Bytes& b = file("particletextures/point.bmp");
    Bmp h = readBmpHeader(b);
    ASSERT_TRUE(h.errors.empty());
    ASSERT_EQ(h.bits, 32);
    ASSERT_EQ(h.width, h.height);
    const int c = h.width / 2;
    EXPECT_GE(pixel(b, h, c, c)[3], 240);
    EXPECT_EQ(pixel(b, h, 0, 0)[3], 0);
    EXPECT_EQ(pixel(b, h, h.width - 1, c)[3], 0);
    // White everywhere; alpha falls off steadily from the centre in every direction.
    const int dirs[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (const auto& d : dirs) {
        int previous = 256;
        for (int r = 0; r < c; ++r) {
            auto p = pixel(b, h, c + d[0] * r, c + d[1] * r);
            EXPECT_EQ(p[0] + p[1] + p[2], 3 * 255);
            EXPECT_LE(p[3], previous);
            previous = p[3];
        }
        EXPECT_LT(previous, 16);
    }
}

TEST(AssetToolTest, GeneratesTheSameBytesEveryRun) {
    NSAssets::AssetFiles again = NSAssets::generateAssets();
    ASSERT_EQ(again.size(), assets().size());
    for (const auto& [name, bytes] : assets())
        EXPECT_TRUE(again[name] == bytes) << name;
}
