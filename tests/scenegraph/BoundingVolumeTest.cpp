#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "persistence/FileScratch.h"
#include "persistence/RecordIO.h"
#include "scenegraph/BoundingVolume.h"
#include "support/GlContext.h"
#include "support/LogCapture.h"

using NSNode::BoundingVolume;
using NSNode::HitResult;
using NSSerialize::SerialStream;
using Box = BoundingVolume::Box;
using Sphere = BoundingVolume::Sphere;
using Room = BoundingVolume::Room;
using Plane = BoundingVolume::Plane;
using qbntest::Bytes;
using qbntest::cat;
using qbntest::le32;
using qbntest::str0;

namespace {

using VolumePtr = std::unique_ptr<BoundingVolume>;

void expectNear(const Vector3& e, const Vector3& a) {
    EXPECT_TRUE(std::fabs(e.x - a.x) < 1e-4f && std::fabs(e.y - a.y) < 1e-4f && std::fabs(e.z - a.z) < 1e-4f)
        << "expected (" << e.x << ", " << e.y << ", " << e.z << "), got (" << a.x << ", " << a.y << ", " << a.z << ")";
}

const float kQuarter = 0.78539816f; // 45 degrees

Matrix4 at(const Vector3& p, float angle = 0.0f, const Vector3& axis = Vector3(0, 0, 1)) {
    Matrix4 m;
    m.translate(p);
    m.rotate(angle, axis);
    return m;
}
Matrix4 scaled(float s) {
    Matrix4 m;
    m.scale(Vector3(s, s, s));
    return m;
}
VolumePtr placed(BoundingVolume* v, const Matrix4& m) {
    v->setTransform(m);
    return VolumePtr(v);
}
VolumePtr sphereAt(const Vector3& p, float r) { return placed(BoundingVolume::makeSphereVolume(Vector3(), r), at(p)); }
VolumePtr boxAt(const Vector3& p, float size, float angle = 0, const Vector3& axis = Vector3(0, 0, 1)) {
    return placed(BoundingVolume::makeBoxVolume(Vector3(), Vector3(size, size, size)), at(p, angle, axis));
}
VolumePtr room200(const Matrix4& m = Matrix4()) {
    return placed(BoundingVolume::makeRoomVolume(Vector3(), Vector3(200, 200, 200)), m);
}

// A volume holding one plane (planes are given in world coordinates).
VolumePtr planeVolume(const Plane& plane) {
    VolumePtr v(new BoundingVolume(true));
    v->setUnbounded(true);
    v->addVolume(new Plane(plane));
    return v;
}

} // namespace

TEST(BoundingVolumeTest, PairRulesAtTheirBoundaries) {
    struct Pair {
        const char* what;
        VolumePtr a, b;
        bool hit;
    };
    const Pair pairs[] = {
        {"spheres touching", sphereAt(Vector3(), 1), sphereAt(Vector3(2, 0, 0), 1), false},
        {"spheres overlapping", sphereAt(Vector3(), 1), sphereAt(Vector3(1.999f, 0, 0), 1), true},
        {"scaled sphere", placed(BoundingVolume::makeSphereVolume(Vector3(), 1), scaled(2)),
         sphereAt(Vector3(2.9f, 0, 0), 1), true},
        {"sphere touching a box face", boxAt(Vector3(), 2), sphereAt(Vector3(2, 0, 0), 1), false},
        {"sphere in a box face", boxAt(Vector3(), 2), sphereAt(Vector3(0, -1.999f, 0), 1), true},
        // Only the box's axes are tried, so a sphere just off a corner hits.
        {"sphere off a box corner", boxAt(Vector3(), 2), sphereAt(Vector3(1.9f, 1.9f, 0), 1), true},
        {"identical boxes", boxAt(Vector3(), 2), boxAt(Vector3(), 2), true},
        {"boxes face to face", boxAt(Vector3(), 2), boxAt(Vector3(0, 0, 2), 2), false},
        {"boxes overlapping", boxAt(Vector3(), 2), boxAt(Vector3(0, 0, 1.999f), 2), true},
        // One box stands on an edge along Z, the other on an edge along Y:
        // from 2 sqrt(2) to 3.83 apart only the edge axis Z x Y separates them.
        {"edge axis separates", boxAt(Vector3(), 2, kQuarter), boxAt(Vector3(3, 0, 0), 2, kQuarter, Vector3(0, 1, 0)),
         false},
        {"edges cross", boxAt(Vector3(), 2, kQuarter), boxAt(Vector3(2.8f, 0, 0), 2, kQuarter, Vector3(0, 1, 0)), true},
        {"box inside a room", room200(), boxAt(Vector3(94.9f, 0, 0), 10), false},
        {"box touching a wall", room200(), boxAt(Vector3(95, 0, 0), 10), true},
        {"box outside a room", room200(), boxAt(Vector3(0, 500, 0), 10), true},
        {"sphere inside a room", room200(), sphereAt(Vector3(0, -94.9f, 0), 5), false},
        {"sphere touching the floor", room200(), sphereAt(Vector3(0, -95, 0), 5), true},
        {"turned room stays axis-aligned", room200(at(Vector3(), 0.7f)), sphereAt(Vector3(94, 94, 0), 5), false},
        {"scaled room", room200(scaled(2)), sphereAt(Vector3(150, 0, 0), 5), false},
        // The plane y = -2: a sphere hits it when wholly behind (true) or when any part is (false).
        {"sphere touching a plane", planeVolume(Plane(0, 2, 0, 4, false)), sphereAt(Vector3(0, -1, 0), 1), false},
        {"sphere across a plane", planeVolume(Plane(0, 2, 0, 4, false)), sphereAt(Vector3(0, -2.5f, 0), 1), true},
        {"sphere partly behind", planeVolume(Plane(0, 2, 0, 4, true)), sphereAt(Vector3(0, -2.5f, 0), 1), false},
        {"sphere just behind", planeVolume(Plane(0, 2, 0, 4, true)), sphereAt(Vector3(0, -3, 0), 1), false},
        {"sphere wholly behind", planeVolume(Plane(0, 2, 0, 4, true)), sphereAt(Vector3(0, -3.5f, 0), 1), true},
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(p.hit, p.a->hitTest(*p.b).hit) << p.what;
        EXPECT_EQ(p.hit, p.b->hitTest(*p.a).hit) << p.what << ", other way round";
    }
}

// Both directions point from the second volume towards the first; the face
// direction of a box always comes last.
TEST(BoundingVolumeTest, ContactDirections) {
    struct Contact {
        VolumePtr a, b;
        Vector3 normalA, normalB;
    };
    const Vector3 d = Vector3(-1.5f, -0.5f, 0).normalize();
    const Contact contacts[] = {
        {sphereAt(Vector3(), 1), sphereAt(Vector3(1.5f, 0, 0), 1), Vector3(-1, 0, 0), Vector3(-1, 0, 0)},
        {boxAt(Vector3(), 2), sphereAt(Vector3(1.5f, 0.5f, 0), 1), d, Vector3(-1, 0, 0)},
        {sphereAt(Vector3(1.5f, 0.5f, 0), 1), boxAt(Vector3(), 2), -d, Vector3(1, 0, 0)},
        // Against a room both are the wall's inward normal (turned round when the room is the first).
        {room200(), boxAt(Vector3(95, 0, 0), 10), Vector3(1, 0, 0), Vector3(1, 0, 0)},
        {boxAt(Vector3(95, 0, 0), 10), room200(), Vector3(-1, 0, 0), Vector3(-1, 0, 0)},
        {sphereAt(Vector3(0, -95, 0), 5), room200(), Vector3(0, 1, 0), Vector3(0, 1, 0)},
        {sphereAt(Vector3(), 1), sphereAt(Vector3(), 2), Vector3(0, 1, 0), Vector3(0, 1, 0)}, // one centre: up
    };
    for (const Contact& c : contacts) {
        HitResult r = c.a->hitTest(*c.b);
        EXPECT_TRUE(r.hit);
        expectNear(c.normalA, r.normalA);
        expectNear(c.normalB, r.normalB);
    }
    // A box prefers Y, then Z, then X where a direction meets two faces.
    const Box cube(true);
    expectNear(Vector3(0, -1, 0), cube.normalAt(Vector3(1, -1, 0)));
    expectNear(Vector3(0, 0, 1), cube.normalAt(Vector3(-1, 0, 1)));
    EXPECT_EQ(Vector3(), cube.normalAt(Vector3()));
    const Room room(Vector3(), Vector3(10, 10, 10)); // nearest wall; the -x wall on a tie
    expectNear(Vector3(0, 0, -1), room.normalAt(Vector3(1, 2, 9)));
    expectNear(Vector3(1, 0, 0), room.normalAt(Vector3()));
}

TEST(BoundingVolumeTest, PairsWithoutRuleNeverHitAndTheFallbackIsLogged) {
    const Box box(true);
    const Room room(true);
    const Plane plane(0, 1, 0, 0, false);
    {
        qbntest::LogCapture quiet;
        EXPECT_FALSE(room.hitTest(Room(true)) || room.hitTest(plane) || plane.hitTest(room));
        EXPECT_FALSE(plane.hitTest(box) || box.hitTest(plane) || plane.hitTest(plane));
        EXPECT_EQ("", quiet.text());
    }
    for (unsigned level : {unsigned(LOG_ERROR), unsigned(LOG_HITTEST)}) {
        qbntest::LogCapture log(level);
        EXPECT_FALSE(box.BoundingVolume::Volume::hitTest(plane)); // the fallback for kinds without rules
        EXPECT_EQ("Hit-Test zwischen Objekten nicht definiert!!!\n", log.text());
    }
}

TEST(BoundingVolumeTest, FlagsOuterSphereAndEmptyVolumes) {
    VolumePtr everywhere(BoundingVolume::makeUnboundedVolume());
    BoundingVolume empty(true);
    for (const HitResult& r : {everywhere->hitTest(empty), empty.hitTest(*everywhere),
                               everywhere->hitTest(*sphereAt(Vector3(1e6f, 0, 0), 1))}) {
        EXPECT_TRUE(r.hit);
        EXPECT_EQ(Vector3(), r.normalA);
        EXPECT_EQ(Vector3(), r.normalB);
    }
    EXPECT_FALSE(empty.hitTest(empty).hit);
    EXPECT_FALSE(room200()->hitTest(empty).hit);

    // Outer spheres move with their volume; one that misses rejects the pair
    // before the solids are looked at.
    VolumePtr a = placed(BoundingVolume::makeSphereVolume(Vector3(), 1), at(Vector3(5, 0, 0)));
    VolumePtr b(BoundingVolume::makeSphereVolume(Vector3(5, 0, 0), 1));
    EXPECT_TRUE(a->hitTest(*b).hit);
    b->setOuterSphere(Vector3(50, 0, 0), 1);
    EXPECT_FALSE(a->hitTest(*b).hit);
    b->setUnbounded(true);
    EXPECT_TRUE(a->hitTest(*b).hit);
}

// ---------------------------------------------------------------------------
// Records

class BoundingVolumeRecordTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }
    std::string file() const { return dir.path("volume.bin"); }
    static Bytes f32(float v) {
        unsigned bits;
        std::memcpy(&bits, &v, 4);
        return le32(bits);
    }
    static Bytes vec(float x, float y, float z) { return cat({f32(x), f32(y), f32(z)}); }
    template <class T>
    Bytes write(T& record) {
        SerialStream out(file(), true);
        record.serialize(out);
        EXPECT_TRUE(out.close());
        return qbntest::readFileBytes(file());
    }
    template <class T>
    bool read(const Bytes& bytes, T& record) {
        qbntest::writeFileBytes(file(), bytes);
        SerialStream in(file(), false);
        record.serialize(in);
        return !in.failed() && !in.ended();
    }
    qbntest::ScratchDir dir;
};

TEST_F(BoundingVolumeRecordTest, EveryKindRoundTripsAndCopiesAreDeep) {
    BoundingVolume v(true);
    v.setUnbounded(true);
    v.setOuterSphere(Vector3(0, -3, 0), 22);
    v.addVolume(new Box(Vector3(0, 1, 0), Vector3(15, 1, 0), Vector3(0, 2.5f, 0), Vector3(0, 1, 15)));
    v.addVolume(new Sphere(Vector3(1, 1, 1), 2));
    v.addVolume(new Room(Vector3(0, 5, 0), Vector3(10, 20, 30)));
    v.setTransform(at(Vector3(100, 0, 0))); // world data is not saved
    const Bytes bytes = write(v);
    BoundingVolume back(false);
    ASSERT_TRUE(read(bytes, back));
    ASSERT_EQ(3u, back.getVolumes().size());
    EXPECT_EQ(bytes, write(back));
    EXPECT_EQ(Vector3(0, 2.5f, 0), dynamic_cast<Box&>(*back.getVolumes()[0]).getWorldAxisY()); // world = local

    Plane plane(0, 0, 2, 6, true), planeBack(false);
    ASSERT_TRUE(read(write(plane), planeBack));
    EXPECT_EQ(write(plane), write(planeBack));

    std::unique_ptr<BoundingVolume> copy(dynamic_cast<BoundingVolume*>(v.clone()));
    EXPECT_NE(v.getVolumes()[0], copy->getVolumes()[0]);
    EXPECT_EQ(Vector3(100, 1, 0), copy->getVolumes()[0]->getWorldCenter());
    EXPECT_EQ(bytes, write(*copy));
}

TEST_F(BoundingVolumeRecordTest, DamagedRecordsFailCleanly) {
    const Bytes sphere = cat({vec(1, 2, 3), f32(4)});
    auto list = [&](unsigned count, const Bytes& elements) {
        return cat({{0}, sphere, {0}, str0("[volL]"), le32(9 + unsigned(elements.size())), le32(count), {0}, elements});
    };
    const Bytes good = cat({str0("[volO]"), le32(24), le32(503), sphere});
    const Bytes plane = cat({str0("[volO]"), le32(25), le32(505), vec(0, 1, 0), f32(0), {1}});
    qbntest::LogCapture log;
    BoundingVolume v(false);
    EXPECT_TRUE(read(list(3, cat({good, plane, good})), v)); // the plane is skipped
    EXPECT_EQ(2u, v.getVolumes().size());
    EXPECT_NE(std::string::npos, log.text().find("Klassenid unbekannt (505)"));

    const Bytes broken[] = {
        list(0x7FFFFFFF, good),                                            // count beyond the block
        list(0xFFFFFFFF, good),                                            // negative count
        list(1, cat({str0("[volO]"), le32(4000), le32(503), sphere})),     // element past the list
        cat({{0}, sphere, {0}, str0("[volL]"), le32(0x7FFFFFF0), le32(1)}), // list past the file
    };
    for (const Bytes& bytes : broken)
        EXPECT_FALSE(read(bytes, v));
    const Bytes whole = list(2, cat({good, good}));
    for (size_t n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(read(Bytes(whole.begin(), whole.begin() + long(n)), v)) << "cut at " << n;
}

// ---------------------------------------------------------------------------
// Drawing

namespace {

struct Stroke {
    Vector3 from, to;
};

// The lines draw() produces, captured in GL feedback mode and mapped back to
// object coordinates (identity model-view).
template <class Draw>
std::vector<Stroke> captureLines(Draw draw) {
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-400, 400, -300, 300, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    std::vector<GLfloat> buffer(1 << 21);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer too small";
    auto point = [&](GLint i) { return Vector3(buffer[i] - 400, buffer[i + 1] - 300, 100 * (1 - 2 * buffer[i + 2])); };
    std::vector<Stroke> lines;
    for (GLint i = 0; i < used; ++i) {
        if (buffer[i] == GL_LINE_TOKEN || buffer[i] == GL_LINE_RESET_TOKEN) {
            lines.push_back({point(i + 1), point(i + 4)});
            i += 6;
        }
    }
    return lines;
}

} // namespace

class BoundingVolumeDrawTest : public qbntest::GlTest {};

// Drawn under the node's own (scaling) matrix, a wireframe has the world radius; absurd sizes stay bounded.
TEST_F(BoundingVolumeDrawTest, WireframesHaveTheWorldSizeAndStayBoundedForAbsurdSizes) {
    EXPECT_EQ(12u, captureLines([] { boxAt(Vector3(), 2)->drawWireframe(); }).size());
    for (float radius : {1e30f, NAN, 0.0f})
        EXPECT_LT(captureLines([&] { sphereAt(Vector3(), radius)->drawWireframe(); }).size(), 100000u) << radius;
    VolumePtr sphere = placed(BoundingVolume::makeSphereVolume(Vector3(), 10), scaled(2));
    float reach = 0;
    for (const Stroke& s : captureLines([&] { glScalef(2, 2, 2); sphere->drawWireframe(); }))
        reach = std::max({reach, std::fabs(s.from.x), std::fabs(s.from.y), std::fabs(s.from.z)});
    EXPECT_NEAR(20.0f, reach, 0.1f);
}
