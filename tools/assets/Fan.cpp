// The fan: a round housing with front and back grilles on a post and foot.
// It faces +z (the way it blows); its blades turn about the z axis.

#include <cmath>

#include "assets/Materials.h"
#include "assets/Objects.h"
#include "assets/Skin.h"

namespace NSAssets {

namespace {

constexpr float HUB_Y = 6.75f;         // centre of the housing
constexpr float OUTER_RADIUS = 19.25f; // housing rim
constexpr float GRILLE_Z = 4.5f;       // front grille; the back one mirrors it
constexpr int FRAMES = 13;             // 12 steps of 30 degrees; the last frame equals the first

struct FanSkin {
    UvRect housing = UvRect::pixels(0, 2, 256, 40);
    UvRect chrome = UvRect::pixels(2, 44, 126, 24);
    UvRect blade = UvRect::pixels(132, 44, 122, 60);
    UvRect badge = UvRect::pixels(2, 72, 62, 64);
    UvRect motor = UvRect::pixels(68, 72, 60, 32);
    UvRect baseTop = UvRect::pixels(2, 140, 126, 100);
    UvRect plastic = UvRect::pixels(132, 108, 122, 40);
};

// A thing lying along the z axis: rotate the y axis onto +z.
Xform alongZ(Vec3 at) { return Xform(Mat3::rotX(0.5f * PI), at); }

Mesh fanPose(float phase, const FanSkin& skin) {
    Mesh mesh;
    const Vec3 hub(0, HUB_Y, 0);

    // Housing: a short drum, its rim rounded off.
    std::vector<ProfilePoint> rim = {
        {OUTER_RADIUS - 1.2f, -GRILLE_Z - 0.4f, true}, {OUTER_RADIUS - 0.3f, -GRILLE_Z - 0.4f},
        {OUTER_RADIUS, -GRILLE_Z + 0.3f},             {OUTER_RADIUS, GRILLE_Z - 0.3f},
        {OUTER_RADIUS - 0.3f, GRILLE_Z + 0.4f},       {OUTER_RADIUS - 1.2f, GRILLE_Z + 0.4f, true}};
    mesh.append(makeLathe(rim, 40, skin.housing, true), alongZ(hub));

    // Grilles: rings and spokes, front and back.
    for (float side : {1.0f, -1.0f}) {
        float z = side * GRILLE_Z;
        for (float r : {14.5f, 10.0f, 5.5f})
            mesh.append(makeTorus(r, 0.35f, 24, 3, skin.chrome), alongZ(hub + Vec3(0, 0, z)));
        for (int i = 0; i < 8; ++i) {
            float a = 2.0f * PI * i / 8.0f + PI / 8.0f;
            Mat3 r = Mat3::rotZ(a);
            mesh.append(makeBox(Vec3(16.2f, 0.5f, 0.5f), skin.chrome), Xform(r, hub + r * Vec3(10.0f, 0, z)));
        }
    }
    // The badge in the middle of the front grille.
    mesh.append(makeCylinder(2.6f, 0.8f, 16, skin.chrome, skin.badge, skin.chrome), alongZ(hub + Vec3(0, 0, GRILLE_Z - 0.3f)));

    // Blades and hub, turning with the phase.
    const Mat3 spin = Mat3::rotZ(-2.0f * PI * phase);
    const std::vector<Vec2> bladeOutline = {{2.0f, -1.4f}, {8.0f, -3.2f}, {12.5f, -3.6f}, {14.6f, -2.4f},
                                            {15.0f, 0.0f}, {14.2f, 2.4f}, {11.0f, 3.2f},  {2.0f, 1.4f}};
    for (int i = 0; i < 4; ++i) {
        Mesh blade = makePrism(bladeOutline, -0.25f, 0.25f, skin.blade, skin.blade, false);
        // Pitch the blade about its own long axis, then spread the four round.
        Xform pitch(Mat3::rotX(0.45f), Vec3());
        Xform around(spin * Mat3::rotZ(0.5f * PI * i), hub);
        mesh.append(blade, around * pitch);
    }
    mesh.append(makeCylinder(2.4f, 3.4f, 16, skin.plastic, skin.badge, skin.plastic),
                Xform(spin * Mat3::rotX(0.5f * PI), hub + spin * Vec3(0, 0, -1.6f)));

    // Motor behind the back grille, the post and the foot.
    mesh.append(makeCylinder(5.0f, 4.4f, 20, skin.motor, skin.plastic, skin.plastic),
                alongZ(hub + Vec3(0, 0, -GRILLE_Z - 4.5f)));
    const float footTop = -19.0f, footBottom = -21.0f;
    mesh.append(makeCylinder(1.6f, HUB_Y - 4.0f - footTop, 12, skin.plastic, skin.plastic, skin.plastic),
                Xform(Vec3(0, footTop, -GRILLE_Z - 2.25f)));
    const UvRect footFaces[6] = {skin.plastic, skin.plastic, skin.baseTop, skin.plastic, skin.plastic, skin.plastic};
    mesh.append(makeBox(Vec3(26.0f, footTop - footBottom, 20.0f), footFaces), Xform(Vec3(0, (footTop + footBottom) * 0.5f, 0)));
    return mesh;
}

void paintFan(Image& img, const FanSkin& skin) {
    const Rgba blue = rgb255(88, 150, 206), cream = rgb255(236, 230, 214);
    paintRect(img, skin.housing, [&](float s, float t) { return paintAt(aroundAxis(s, t, 60.0f, 6.0f), blue, 61); });
    paintRect(img, skin.chrome, [&](float s, float t) {
        float band = 0.8f + 0.3f * std::cos(2.0f * PI * s);
        return shade(metalAt(aroundAxis(s, t, 8.0f, 8.0f), rgb255(200, 204, 212), Vec3(0, 0, 1), 62), band);
    });
    paintRect(img, skin.blade, [&](float s, float t) {
        Rgba c = mixRgb(rgb255(170, 214, 240), rgb255(120, 180, 224), s);
        return shade(c, 1.0f - 0.25f * edgeShade(s, t, 0.06f));
    });
    paintRect(img, skin.badge, [&](float s, float t) {
        Vec2 p(s - 0.5f, t - 0.5f);
        float r = length(p);
        Rgba c = mixRgb(rgb255(30, 70, 140), cream, smoothstep(0.33f, 0.35f, r));
        // A white propeller mark.
        float a = std::atan2(p.y, p.x);
        float petal = std::fabs(std::sin(1.5f * a));
        float mark = (1.0f - smoothstep(0.22f * petal + 0.02f, 0.22f * petal + 0.05f, r)) * (r > 0.03f ? 1.0f : 0.0f);
        c = mixRgb(c, cream, mark);
        return mixRgb(c, rgb255(200, 204, 212), smoothstep(0.44f, 0.46f, r));
    });
    paintRect(img, skin.motor, [&](float s, float t) {
        // Cooling slots round the motor.
        float slot = smoothstep(0.3f, 0.35f, t) * (1.0f - smoothstep(0.65f, 0.7f, t)) *
                     (std::sin(s * 2.0f * PI * 24.0f) > 0.3f ? 1.0f : 0.0f);
        return shade(paintAt(aroundAxis(s, t, 30.0f, 5.0f), cream, 63), 1.0f - 0.55f * slot);
    });
    paintRect(img, skin.plastic, [&](float s, float t) { return paintAt(aroundAxis(s, t, 20.0f, 6.0f), cream, 64); });
    paintRect(img, skin.baseTop, [&](float s, float t) {
        Rgba c = shade(paintAt(Vec3(s * 26.0f, t * 20.0f, 0), cream, 65), 1.0f - 0.3f * edgeShade(s, t, 0.04f));
        // Three speed buttons at the front edge of the foot.
        const Rgba buttons[3] = {rgb255(60, 170, 80), rgb255(230, 170, 40), rgb255(210, 60, 50)};
        for (int i = 0; i < 3; ++i) {
            Vec2 d((s - (0.35f + 0.15f * i)) * 26.0f, (t - 0.82f) * 20.0f);
            float r = length(d);
            c = mixRgb(c, shade(cream, 0.6f), 1.0f - smoothstep(1.45f, 1.6f, r));
            c = mixRgb(c, buttons[i], 1.0f - smoothstep(1.1f, 1.25f, r));
        }
        return c;
    });
}

} // namespace

Model buildFan() {
    FanSkin skin;
    Model m = animatedModel("run", FRAMES, [&](float phase) { return fanPose(phase, skin); },
                            static_cast<float>(FRAMES - 1));
    m.skin = Image(SKIN_SIZE, SKIN_SIZE);
    paintFan(m.skin, skin);
    return m;
}

} // namespace NSAssets
