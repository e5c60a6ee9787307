// The Tesla coil: a lacquered plinth, a few thick primary turns, the tall
// secondary winding and the polished ring on top.

#include <cmath>

#include "assets/Materials.h"
#include "assets/Noise.h"
#include "assets/Objects.h"
#include "assets/Skin.h"

namespace NSAssets {

Model buildTeslaCoil() {
    const UvRect plinth = UvRect::pixels(2, 2, 126, 126);
    const UvRect plinthSide = UvRect::pixels(132, 2, 122, 24);
    const UvRect winding = UvRect::pixels(2, 132, 126, 122);
    const UvRect copper = UvRect::pixels(132, 28, 122, 24);
    const UvRect ring = UvRect::pixels(132, 56, 122, 60);
    const UvRect dark = UvRect::pixels(132, 120, 122, 32);
    const UvRect insulator = UvRect::pixels(132, 156, 122, 40);

    Mesh mesh;
    // Square plinth 30 x 30 from y = -1 to 2, with a round step on it.
    const UvRect plinthFaces[6] = {plinthSide, plinthSide, plinth, dark, plinthSide, plinthSide};
    mesh.append(makeBox(Vec3(30, 3, 30), plinthFaces), Xform(Vec3(0, 0.5f, 0)));
    mesh.append(makeLathe({{0.0f, 2.0f, true}, {12.0f, 2.0f, true}, {12.0f, 3.2f, true}, {11.2f, 4.0f, true},
                           {0.0f, 4.0f, true}},
                          32, insulator),
                Xform());
    // Primary: three thick copper turns round the foot of the secondary.
    for (int i = 0; i < 3; ++i)
        mesh.append(makeTorus(9.2f, 0.7f, 24, 6, copper), Xform(Vec3(0, 5.2f + 1.7f * i, 0)));
    // Secondary: the tall winding on an insulating tube.
    mesh.append(makeCylinder(5.0f, 48.0f, 20, winding, insulator, insulator), Xform(Vec3(0, 4.0f, 0)));
    // Rod up to the ring and the ring itself (outer edge 15 from the axis, top at 67).
    mesh.append(makeCylinder(1.0f, 8.0f, 10, insulator, insulator, insulator), Xform(Vec3(0, 52.0f, 0)));
    mesh.append(makeTorus(10.0f, 5.0f, 28, 12, ring), Xform(Vec3(0, 62.0f, 0)));
    mesh.append(makeLathe({{0.0f, 59.4f}, {6.0f, 60.0f, true}, {6.0f, 61.0f, true}, {0.0f, 62.4f}}, 16, ring), Xform());

    Model m;
    m.mesh = mesh;
    m.skin = Image(SKIN_SIZE, SKIN_SIZE);
    paintRect(m.skin, plinth, [&](float s, float t) {
        Rgba c = woodAt(Vec3(s * 30.0f - 15.0f, -1.0f, t * 30.0f - 15.0f), 30.0f, 30.0f, 71);
        c = shade(mixRgb(c, rgb255(70, 30, 22), 0.55f), 1.0f - 0.35f * edgeShade(s, t, 0.03f));
        return c;
    });
    paintRect(m.skin, plinthSide, [&](float s, float t) {
        Rgba c = woodAt(Vec3(15.0f, t * 3.0f, s * 30.0f), 30.0f, 30.0f, 72);
        return shade(mixRgb(c, rgb255(70, 30, 22), 0.55f), 1.0f - 0.3f * edgeShade(s, t, 0.1f));
    });
    paintRect(m.skin, winding, [&](float s, float t) {
        // About 150 turns of enamelled copper wire, a fine dark gap between turns.
        float turns = t * 150.0f;
        float f = turns - std::floor(turns);
        float wire = std::sin(PI * f);
        Rgba c = mixRgb(rgb255(120, 52, 20), rgb255(222, 130, 70), wire);
        c = shade(c, 0.9f + 0.15f * valueNoise(aroundAxis(s, t, 40.0f, 4.0f), 73));
        // Bare insulator at the top and bottom ends.
        float bare = 1.0f - smoothstep(0.02f, 0.03f, std::min(t, 1.0f - t));
        return mixRgb(c, rgb255(230, 226, 206), bare);
    });
    paintRect(m.skin, copper, [&](float s, float t) {
        float band = 0.75f + 0.35f * std::cos(2.0f * PI * t);
        return shade(metalAt(aroundAxis(s, t, 40.0f, 3.0f), rgb255(214, 118, 62), Vec3(0, 0, 1), 74), band);
    });
    paintRect(m.skin, ring, [&](float s, float t) {
        // Spun aluminium: fine circular brushing.
        float band = 0.85f + 0.2f * std::cos(2.0f * PI * t);
        return shade(metalAt(aroundAxis(s, t, 60.0f, 6.0f), rgb255(206, 210, 218), Vec3(0, 0, 1), 75), band);
    });
    paintRect(m.skin, dark, [&](float s, float t) { return paintAt(Vec3(s * 10.0f, t * 10.0f, 0), rgb255(40, 36, 34), 76); });
    paintRect(m.skin, insulator, [&](float s, float t) {
        return paintAt(aroundAxis(s, t, 20.0f, 4.0f), rgb255(232, 226, 204), 77);
    });
    m.addFrame("stand1", m.mesh);
    return m;
}

} // namespace NSAssets
