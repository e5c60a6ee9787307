// Johnny, the little robot: two tracks, a box body, two arms and a head
// with binocular eyes. He stands on y = 0 facing +z. His one animation waves
// one arm and turns the head; it loops and blends its last frame into its first.

#include <cmath>

#include "assets/Materials.h"
#include "assets/Objects.h"
#include "assets/Skin.h"

namespace NSAssets {

namespace {

constexpr int FRAMES = 8;
constexpr float SCALE = 1.25f; // built about 19.5 units tall, shipped about 24

struct RobotSkin {
    UvRect tread = UvRect::pixels(0, 2, 256, 24);
    UvRect trackSide = UvRect::pixels(2, 30, 126, 46);
    UvRect hub = UvRect::pixels(132, 28, 32, 32);
    UvRect body = UvRect::pixels(2, 80, 126, 64);
    UvRect chest = UvRect::pixels(132, 64, 64, 64);
    UvRect lens = UvRect::pixels(200, 64, 48, 48);
    UvRect head = UvRect::pixels(2, 148, 126, 48);
    UvRect joint = UvRect::pixels(132, 132, 122, 32);
    UvRect eye = UvRect::pixels(132, 168, 122, 32);
    UvRect arm = UvRect::pixels(2, 200, 126, 32);
};

Xform alongX(Vec3 at) { return Xform(Mat3::rotZ(-0.5f * PI), at); }
Xform alongZ(Vec3 at) { return Xform(Mat3::rotX(0.5f * PI), at); }

Mesh robotArm(const RobotSkin& skin, float elbow) {
    // Hanging down from the shoulder at the origin.
    Mesh arm;
    arm.append(makeBox(Vec3(1.3f, 4.0f, 1.3f), skin.arm), Xform(Vec3(0, -2.0f, 0)));
    arm.append(makeSphere(0.8f, 8, 6, skin.joint), Xform(Vec3(0, -4.0f, 0)));
    Mesh fore;
    fore.append(makeBox(Vec3(1.1f, 3.4f, 1.1f), skin.arm), Xform(Vec3(0, -1.7f, 0)));
    // A two-fingered claw.
    fore.append(makeBox(Vec3(0.4f, 1.4f, 0.9f), skin.joint), Xform(Vec3(-0.45f, -3.9f, 0)));
    fore.append(makeBox(Vec3(0.4f, 1.4f, 0.9f), skin.joint), Xform(Vec3(0.45f, -3.9f, 0)));
    arm.append(fore, Xform(Mat3::rotX(elbow), Vec3(0, -4.0f, 0)));
    return arm;
}

Mesh robotPose(float phase, const RobotSkin& skin) {
    const float wave = std::sin(2.0f * PI * phase);
    Mesh mesh;

    // Tracks: a stadium outline turned so its length runs along z.
    for (float side : {-1.0f, 1.0f}) {
        Mesh track = makePrism(stadiumOutline(5.0f, 2.6f, 8), -1.7f, 1.7f, skin.tread, skin.trackSide, true);
        mesh.append(track, Xform(Mat3::rotY(0.5f * PI), Vec3(side * 6.0f, 2.6f, 0)));
        for (float z : {-5.0f, 0.0f, 5.0f}) {
            Mat3 out = Mat3::rotZ(-side * 0.5f * PI); // cylinder axis y -> +-x
            mesh.append(makeCylinder(1.5f, 0.35f, 10, skin.joint, skin.hub, skin.joint),
                        Xform(out, Vec3(side * 7.7f, 2.6f, z)));
        }
    }

    // Chassis between the tracks, the body and the shoulder bar.
    mesh.append(makeBox(Vec3(8.6f, 2.6f, 8.0f), skin.joint), Xform(Vec3(0, 3.5f, 0)));
    const UvRect bodyFaces[6] = {skin.body, skin.body, skin.body, skin.body, skin.chest, skin.body};
    mesh.append(makeBox(Vec3(8.0f, 6.0f, 6.5f), bodyFaces), Xform(Vec3(0, 7.8f, -0.5f)));
    mesh.append(makeCylinder(0.9f, 10.8f, 12, skin.joint, skin.joint, skin.joint), alongX(Vec3(-5.4f, 10.0f, 0)));

    // Arms: the left one reaches forward, the right one waves.
    mesh.append(robotArm(skin, -0.5f), Xform(Mat3::rotX(-1.1f + 0.05f * wave), Vec3(-5.4f, 10.0f, 0)));
    mesh.append(robotArm(skin, 0.5f + 0.35f * wave), Xform(Mat3::rotZ(2.4f + 0.35f * wave), Vec3(5.4f, 10.0f, 0)));

    // Neck and head, the head turning a little with the wave.
    mesh.append(makeCylinder(0.7f, 3.4f, 10, skin.joint, skin.joint, skin.joint), Xform(Vec3(0, 10.8f, -0.5f)));
    Mesh head;
    head.append(makeBox(Vec3(7.5f, 2.8f, 3.5f), skin.head), Xform(Vec3(0, 1.4f, 0)));
    for (float x : {-1.9f, 1.9f})
        head.append(makeCylinder(1.35f, 3.2f, 14, skin.eye, skin.lens, skin.eye), alongZ(Vec3(x, 1.5f, 0.9f)));
    mesh.append(head, Xform(Mat3::rotY(0.3f * wave), Vec3(0, 14.2f, -0.5f)));

    for (Vec3& p : mesh.positions)
        p = p * SCALE;
    return mesh;
}

void paintRobot(Image& img, const RobotSkin& skin) {
    const Rgba steel = rgb255(150, 160, 176), darkSteel = rgb255(84, 88, 98);
    paintRect(img, skin.tread, [&](float s, float t) {
        // Cleats across the track.
        float f = s * 28.0f - std::floor(s * 28.0f);
        float cleat = smoothstep(0.05f, 0.15f, f) * (1.0f - smoothstep(0.45f, 0.55f, f));
        Rgba c = shade(rubberAt(Vec3(s * 40.0f, t * 3.0f, 0), 81), 0.75f + 0.45f * cleat);
        return shade(c, 1.0f - 0.4f * edgeShade(0.5f, t, 0.12f));
    });
    paintRect(img, skin.trackSide, [&](float s, float t) {
        float x = -7.6f + s * 15.2f, y = 2.6f - t * 5.2f;
        Rgba c = metalAt(Vec3(x, y, 0), darkSteel, Vec3(1, 0, 0), 82);
        for (float cx : {-5.0f, 0.0f, 5.0f}) {
            float r = length(Vec2(x - cx, y));
            c = mixRgb(c, shade(darkSteel, 0.7f), (1.0f - smoothstep(2.1f, 2.25f, r)) * smoothstep(1.9f, 2.0f, r));
        }
        return shade(c, 1.0f - 0.3f * edgeShade(s, t, 0.05f));
    });
    paintRect(img, skin.hub, [&](float s, float t) {
        float r = length(Vec2(s - 0.5f, t - 0.5f)) * 2.0f;
        Rgba c = mixRgb(rgb255(200, 200, 206), steel, smoothstep(0.3f, 0.4f, r));
        return mixRgb(c, rgb255(60, 60, 66), smoothstep(0.85f, 0.95f, r));
    });
    paintRect(img, skin.body, [&](float s, float t) {
        Rgba c = metalAt(Vec3(s * 8.0f, t * 6.0f, 0), steel, Vec3(0, 1, 0), 83);
        return shade(c, 1.0f - 0.35f * edgeShade(s, t, 0.05f));
    });
    paintRect(img, skin.chest, [&](float s, float t) {
        Rgba c = metalAt(Vec3(s * 8.0f, t * 6.0f, 0), steel, Vec3(0, 1, 0), 84);
        c = shade(c, 1.0f - 0.35f * edgeShade(s, t, 0.05f));
        // A yellow hatch with a row of lamps.
        if (s > 0.2f && s < 0.8f && t > 0.22f && t < 0.72f)
            c = shade(rgb255(230, 184, 40), 1.0f - 0.3f * edgeShade((s - 0.2f) / 0.6f, (t - 0.22f) / 0.5f, 0.06f));
        const Rgba lamps[3] = {rgb255(220, 40, 30), rgb255(40, 200, 60), rgb255(40, 120, 230)};
        for (int i = 0; i < 3; ++i) {
            float r = length(Vec2(s - (0.34f + 0.16f * i), (t - 0.84f) * 0.92f));
            c = mixRgb(c, lamps[i], 1.0f - smoothstep(0.05f, 0.065f, r));
        }
        return c;
    });
    paintRect(img, skin.head, [&](float s, float t) {
        Rgba c = metalAt(Vec3(s * 7.5f, t * 3.0f, 0), rgb255(170, 178, 190), Vec3(1, 0, 0), 85);
        return shade(c, 1.0f - 0.35f * edgeShade(s, t, 0.06f));
    });
    paintRect(img, skin.lens, [&](float s, float t) {
        Vec2 p(s - 0.5f, t - 0.5f);
        float r = length(p) * 2.0f;
        Rgba c = mixRgb(rgb255(30, 60, 110), rgb255(8, 10, 20), smoothstep(0.0f, 0.75f, r));
        c = mixRgb(c, rgb255(230, 240, 255), 1.0f - smoothstep(0.1f, 0.16f, length(Vec2(s - 0.36f, t - 0.36f)) * 2.0f));
        return mixRgb(c, rgb255(180, 184, 190), smoothstep(0.78f, 0.86f, r));
    });
    paintRect(img, skin.joint, [&](float s, float t) { return metalAt(aroundAxis(s, t, 12.0f, 3.0f), darkSteel, Vec3(0, 0, 1), 86); });
    paintRect(img, skin.eye, [&](float s, float t) {
        Rgba c = metalAt(aroundAxis(s, t, 12.0f, 3.0f), rgb255(120, 126, 138), Vec3(0, 0, 1), 87);
        // Two grooves round each eye barrel.
        float g = std::fabs(t - 0.35f) < 0.04f || std::fabs(t - 0.6f) < 0.04f ? 0.6f : 1.0f;
        return shade(c, g);
    });
    paintRect(img, skin.arm, [&](float s, float t) {
        Rgba c = metalAt(Vec3(s * 4.0f, t * 4.0f, 0), steel, Vec3(0, 1, 0), 88);
        return shade(c, 1.0f - 0.35f * edgeShade(s, t, 0.08f));
    });
}

} // namespace

Model buildRobot() {
    RobotSkin skin;
    Model m = animatedModel("wave", FRAMES, [&](float phase) { return robotPose(phase, skin); },
                            static_cast<float>(FRAMES));
    m.skin = Image(SKIN_SIZE, SKIN_SIZE);
    paintRobot(m.skin, skin);
    return m;
}

} // namespace NSAssets
