// Conveyor belts: a rubber belt looped around two rollers between yellow side
// rails, with cleats that travel round the loop. The belt is built running
// along x with its top moving towards -x; the long belt is turned so that its
// top moves towards +z.

#include <algorithm>
#include <cmath>

#include "assets/Materials.h"
#include "assets/Objects.h"
#include "assets/Skin.h"

namespace NSAssets {

namespace {

// The game plays the belt animation at 0.14652015 frames per second per unit
// of belt speed, so one frame step moves the belt by 1 / 0.14652015 units.
constexpr float FRAME_STEP = 6.825f;
// Cleats sit half a step apart, so one step moves every cleat onto the place
// of the second one ahead and the last frame matches the first.
constexpr float CLEAT_PITCH = FRAME_STEP * 0.5f;

constexpr float HALF_WIDTH = 15.0f;
constexpr float RAIL_THICKNESS = 1.2f;
constexpr float BELT_HALF_WIDTH = 13.6f;
constexpr float BELT_RADIUS = 4.0f; // outer surface around the rollers
constexpr float BELT_AXIS_Y = 0.4f; // belt top at 4.4, cleat tops at 5
constexpr float CLEAT_HEIGHT = 0.6f;
constexpr float CLEAT_THICKNESS = 1.1f;
constexpr float RAIL_BOTTOM = -2.6f;
constexpr float TOP = 5.0f;
constexpr float BOTTOM = -5.0f;

// Distance along the belt loop -> place and outward normal, in the (x, y) plane.
struct BeltLoop {
    float half; // half the length of the straight runs
    float total() const { return 4.0f * half + 2.0f * PI * BELT_RADIUS; }

    void at(float s, Vec3& point, Vec3& normal, Vec3& tangent) const {
        s = std::fmod(s, total());
        if (s < 0.0f)
            s += total();
        const float arc = PI * BELT_RADIUS;
        if (s < 2.0f * half) { // top run, moving towards -x
            point = Vec3(half - s, BELT_AXIS_Y + BELT_RADIUS, 0);
            normal = Vec3(0, 1, 0);
            tangent = Vec3(-1, 0, 0);
            return;
        }
        s -= 2.0f * half;
        if (s < arc) { // round the -x roller
            float a = 0.5f * PI + s / BELT_RADIUS;
            normal = Vec3(std::cos(a), std::sin(a), 0);
            point = Vec3(-half, BELT_AXIS_Y, 0) + normal * BELT_RADIUS;
            tangent = Vec3(-std::sin(a), std::cos(a), 0);
            return;
        }
        s -= arc;
        if (s < 2.0f * half) { // bottom run, back towards +x
            point = Vec3(-half + s, BELT_AXIS_Y - BELT_RADIUS, 0);
            normal = Vec3(0, -1, 0);
            tangent = Vec3(1, 0, 0);
            return;
        }
        s -= 2.0f * half;
        float a = -0.5f * PI + s / BELT_RADIUS; // round the +x roller
        normal = Vec3(std::cos(a), std::sin(a), 0);
        point = Vec3(half, BELT_AXIS_Y, 0) + normal * BELT_RADIUS;
        tangent = Vec3(-std::sin(a), std::cos(a), 0);
    }
};

struct ConveyorSkin {
    UvRect band = UvRect::pixels(0, 2, 256, 40);
    UvRect bandSide = UvRect::pixels(2, 46, 252, 62);
    UvRect cleat = UvRect::pixels(2, 112, 62, 16);
    UvRect railOuter = UvRect::pixels(2, 132, 252, 48);
    UvRect railPlain = UvRect::pixels(2, 184, 126, 32);
    UvRect leg = UvRect::pixels(132, 184, 64, 32);
};

// The whole belt in frame `step` (0 or 1) of its loop.
Mesh conveyorPose(float beltLength, int cleats, float step, const ConveyorSkin& skin) {
    const float halfLength = beltLength * 0.5f;
    BeltLoop loop{(cleats * CLEAT_PITCH - 2.0f * PI * BELT_RADIUS) * 0.25f};
    Mesh mesh;

    // Side rails, their outer faces with bolts and rivets.
    const Vec3 railSize(beltLength, TOP - RAIL_BOTTOM, RAIL_THICKNESS);
    const UvRect railFaces[6] = {skin.railPlain, skin.railPlain, skin.railPlain,
                                 skin.railPlain, skin.railOuter, skin.railPlain};
    const UvRect railFacesMirrored[6] = {skin.railPlain, skin.railPlain, skin.railPlain,
                                         skin.railPlain, skin.railPlain, skin.railOuter};
    const float railY = (TOP + RAIL_BOTTOM) * 0.5f;
    mesh.append(makeBox(railSize, railFaces), Xform(Vec3(0, railY, HALF_WIDTH - RAIL_THICKNESS * 0.5f)));
    mesh.append(makeBox(railSize, railFacesMirrored), Xform(Vec3(0, railY, -HALF_WIDTH + RAIL_THICKNESS * 0.5f)));

    // Legs under the rails, at the ends and about every 35 units between.
    int spans = std::max(1, static_cast<int>(std::ceil((beltLength - 5.0f) / 35.0f)));
    const Vec3 legSize(3.0f, RAIL_BOTTOM - BOTTOM, RAIL_THICKNESS);
    for (int i = 0; i <= spans; ++i) {
        float x = -halfLength + 2.5f + (beltLength - 5.0f) * i / spans;
        for (float side : {-1.0f, 1.0f})
            mesh.append(makeBox(legSize, skin.leg),
                        Xform(Vec3(x, (RAIL_BOTTOM + BOTTOM) * 0.5f, side * (HALF_WIDTH - RAIL_THICKNESS * 0.5f))));
    }

    // The belt loop itself.
    mesh.append(makePrism(stadiumOutline(loop.half, BELT_RADIUS, 10), -BELT_HALF_WIDTH, BELT_HALF_WIDTH, skin.band,
                          skin.bandSide, true),
                Xform(Vec3(0, BELT_AXIS_Y, 0)));

    // Cleats, placed along the loop.
    const Vec3 cleatSize(CLEAT_THICKNESS, CLEAT_HEIGHT, 2.0f * BELT_HALF_WIDTH - 1.2f);
    for (int i = 0; i < cleats; ++i) {
        Vec3 p, n, t;
        loop.at(i * CLEAT_PITCH + step * FRAME_STEP, p, n, t);
        // Cleat axes: along the belt, out of it, and across (a proper rotation).
        Vec3 b = cross(t, n);
        Mat3 r;
        for (int row = 0; row < 3; ++row) {
            r.m[row][0] = t[row];
            r.m[row][1] = n[row];
            r.m[row][2] = b[row];
        }
        mesh.append(makeBox(cleatSize, skin.cleat), Xform(r, p + n * (CLEAT_HEIGHT * 0.5f)));
    }
    return mesh;
}

void paintConveyor(Image& img, const ConveyorSkin& skin, float beltLength, float loopHalf) {
    paintRect(img, skin.band, [&](float s, float t) {
        // Fine ribs across the belt.
        float ribs = 0.9f + 0.1f * std::sin(t * 2.0f * PI * 18.0f);
        return shade(rubberAt(aroundAxis(s, t, 60.0f, 10.0f), 51), ribs);
    });
    paintRect(img, skin.bandSide, [&](float s, float t) {
        // The belt's edge face: rubber with the roller hubs in the middle of the rounded ends.
        float x = -loopHalf - BELT_RADIUS + s * 2.0f * (loopHalf + BELT_RADIUS);
        float y = BELT_RADIUS - t * 2.0f * BELT_RADIUS;
        Rgba c = shade(rubberAt(Vec3(x, y, 0), 52), 0.8f);
        for (float cx : {-loopHalf, loopHalf}) {
            float r = length(Vec2(x - cx, y));
            float hub = 1.0f - smoothstep(2.2f, 2.4f, r);
            c = mixRgb(c, shade(rgb255(150, 150, 156), 0.8f + 0.2f * (r / 2.4f)), hub);
            c = mixRgb(c, rgb255(60, 60, 64), 1.0f - smoothstep(0.6f, 0.8f, r));
        }
        return c;
    });
    paintRect(img, skin.cleat, [&](float s, float t) {
        return shade(rubberAt(Vec3(s * 20.0f, t * 2.0f, 0), 53), 1.35f - 0.3f * edgeShade(s, t, 0.15f));
    });
    const Rgba yellow = rgb255(238, 184, 24);
    paintRect(img, skin.railOuter, [&](float s, float t) {
        float x = -beltLength * 0.5f + s * beltLength;
        float y = TOP - t * (TOP - RAIL_BOTTOM);
        Rgba c = paintAt(Vec3(x, y, 0), yellow, 54);
        c = shade(c, 1.0f - 0.35f * edgeShade(s, t, 0.08f));
        // Roller bearings.
        for (float cx : {-loopHalf, loopHalf}) {
            float r = length(Vec2(x - cx, y - BELT_AXIS_Y));
            c = mixRgb(c, rgb255(90, 90, 96), 1.0f - smoothstep(1.5f, 1.7f, r));
            c = mixRgb(c, rgb255(170, 170, 176), 1.0f - smoothstep(0.8f, 1.0f, r));
        }
        // Rivets along the top.
        float pitch = 5.0f;
        float rx = std::fmod(x + 1000.0f * pitch, pitch) - pitch * 0.5f;
        float rr = length(Vec2(rx, y - (TOP - 0.9f)));
        c = mixRgb(c, shade(yellow, 0.6f), 1.0f - smoothstep(0.3f, 0.42f, rr));
        return c;
    });
    paintRect(img, skin.railPlain, [&](float s, float t) {
        Rgba c = paintAt(Vec3(s * 20.0f, t * 8.0f, 0), yellow, 55);
        return shade(c, 1.0f - 0.3f * edgeShade(s, t, 0.06f));
    });
    paintRect(img, skin.leg, [&](float s, float t) {
        Rgba c = metalAt(Vec3(s * 3.0f, t * 3.0f, 0), rgb255(70, 72, 78), Vec3(0, 1, 0), 56);
        return shade(c, 1.0f - 0.3f * edgeShade(s, t, 0.1f));
    });
}

} // namespace

Model buildConveyor(float beltLength, bool alongZ) {
    // As many cleats as fit round a loop that clears the rail ends.
    const float maxHalf = beltLength * 0.5f - BELT_RADIUS - CLEAT_HEIGHT - 0.4f;
    int cleats = static_cast<int>(std::floor((4.0f * maxHalf + 2.0f * PI * BELT_RADIUS) / CLEAT_PITCH));
    const float loopHalf = (cleats * CLEAT_PITCH - 2.0f * PI * BELT_RADIUS) * 0.25f;
    ConveyorSkin skin;

    Model m = animatedModel("run", 2, [&](float phase) {
        Mesh pose = conveyorPose(beltLength, cleats, phase, skin);
        if (alongZ)
            pose.transform(Xform(Mat3::rotY(0.5f * PI), Vec3()));
        return pose;
    }, 1.0f);
    m.skin = Image(SKIN_SIZE, SKIN_SIZE);
    paintConveyor(m.skin, skin, beltLength, loopHalf);
    return m;
}

} // namespace NSAssets
