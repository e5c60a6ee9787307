// Wooden boards and the springboard.

#include <algorithm>
#include <cmath>

#include "assets/Materials.h"
#include "assets/Noise.h"
#include "assets/Objects.h"
#include "assets/Skin.h"

namespace NSAssets {

namespace {

constexpr float BOARD_THICKNESS = 3.0f;

// Plank width: planks of about six units, at least two.
float plankWidthFor(float width) {
    int planks = static_cast<int>(std::lround(width / 6.5f));
    return width / static_cast<float>(planks < 2 ? 2 : planks);
}

} // namespace

Model buildBoard(float width, float length, uint32_t seed) {
    const Vec3 size(width, BOARD_THICKNESS, length);
    const UvRect top = UvRect::pixels(2, 2, 252, 174);
    const UvRect longSide = UvRect::pixels(2, 180, 252, 34);
    const UvRect endSide = UvRect::pixels(2, 218, 252, 34);
    const UvRect faces[6] = {longSide, longSide, top, top, endSide, endSide};

    Model m;
    m.mesh = makeBox(size, faces);
    m.mesh.transform(Xform(Vec3(0, -BOARD_THICKNESS * 0.5f, 0)));
    m.skin = Image(SKIN_SIZE, SKIN_SIZE);
    const float plank = plankWidthFor(width);
    // Points are painted in board coordinates (top face at y = 0).
    auto wood = [&](Vec3 p, Vec3) { return woodAt(p + Vec3(0, -BOARD_THICKNESS * 0.5f, 0), plank, width, seed); };
    paintBoxFace(m.skin, longSide, size, 0, wood);
    paintBoxFace(m.skin, endSide, size, 4, wood);
    // A little darkening along the top's edges reads as worn corners.
    const BoxFaceFrame fr = boxFaceFrame(size, 2);
    paintRect(m.skin, top, [&](float s, float t) {
        Vec3 p = fr.origin + fr.uAxis * s + fr.vAxis * t;
        float edgeDist = std::min(width * 0.5f - std::fabs(p.x), length * 0.5f - std::fabs(p.z));
        float wear = 1.0f - smoothstep(0.0f, 0.6f, edgeDist);
        return shade(wood(p, fr.normal), 1.0f - 0.3f * wear);
    });
    m.addFrame("stand1", m.mesh);
    return m;
}

Model buildSpringboard() {
    const UvRect mat = UvRect::pixels(2, 2, 158, 158);
    const UvRect boardBottom = UvRect::pixels(164, 2, 90, 90);
    const UvRect boardSide = UvRect::pixels(2, 164, 252, 28);
    const UvRect steel = UvRect::pixels(164, 96, 90, 64);
    const UvRect springSteel = UvRect::pixels(0, 196, 256, 24);

    const Vec3 boardSize(30, 3, 30);
    const UvRect boardFaces[6] = {boardSide, boardSide, mat, boardBottom, boardSide, boardSide};
    Mesh mesh = makeBox(boardSize, boardFaces);
    mesh.transform(Xform(Vec3(0, 1.0f, 0)));

    mesh.append(makeBox(Vec3(22, 1.5f, 22), steel), Xform(Vec3(0, -7.55f, 0)));
    for (int i = 0; i < 4; ++i) {
        float x = (i & 1) ? 10.2f : -10.2f, z = (i & 2) ? 10.2f : -10.2f;
        mesh.append(makeBox(Vec3(1.4f, 6.3f, 1.4f), steel), Xform(Vec3(x, -3.65f, z)));
    }

    // The coil spring between the foot and the board.
    std::vector<Vec3> helix;
    const float turns = 4.5f, y0 = -6.1f, y1 = -1.2f, coilRadius = 7.0f;
    const int steps = static_cast<int>(turns * 16);
    for (int i = 0; i <= steps; ++i) {
        float f = static_cast<float>(i) / steps;
        float a = 2.0f * PI * turns * f;
        helix.push_back(Vec3(coilRadius * std::cos(a), y0 + (y1 - y0) * f, coilRadius * std::sin(a)));
    }
    mesh.append(makeTube(helix, 0.7f, 6, springSteel));

    Model m;
    m.mesh = mesh;
    m.skin = Image(SKIN_SIZE, SKIN_SIZE);
    const Rgba red = rgb255(200, 36, 30), white = rgb255(240, 236, 228);
    paintRect(m.skin, mat, [&](float s, float t) {
        Vec3 p(s * 30.0f - 15.0f, 0, t * 30.0f - 15.0f);
        Rgba c = mixRgb(red, shade(red, 0.8f), valueNoise(p * 2.5f, 41));
        float border = std::min(std::min(s, 1 - s), std::min(t, 1 - t)) * 30.0f;
        float stripe = smoothstep(1.1f, 1.3f, border) * (1.0f - smoothstep(2.1f, 2.3f, border));
        float r = length(Vec2(p.x, p.z));
        float ring = smoothstep(4.3f, 4.5f, r) * (1.0f - smoothstep(5.5f, 5.7f, r));
        float dot = 1.0f - smoothstep(1.6f, 1.8f, r);
        c = mixRgb(c, white, std::max(std::max(stripe, ring), dot));
        return shade(c, 1.0f - 0.35f * edgeShade(s, t, 0.025f));
    });
    auto wood = [&](Vec3 p, Vec3) { return woodAt(p, 7.5f, 30.0f, 77); };
    paintBoxFace(m.skin, boardBottom, boardSize, 3, wood);
    paintBoxFace(m.skin, boardSide, boardSize, 0, wood);
    paintRect(m.skin, steel, [&](float s, float t) {
        Rgba c = metalAt(Vec3(s * 22.0f, t * 22.0f, 0), rgb255(120, 126, 136), Vec3(1, 0, 0), 43);
        return shade(c, 1.0f - 0.3f * edgeShade(s, t, 0.04f));
    });
    paintRect(m.skin, springSteel, [&](float s, float t) {
        // Lighter along the wire's outer side, like a polished rod.
        float band = 0.75f + 0.25f * std::cos(2.0f * PI * s);
        return shade(metalAt(aroundAxis(s, t, 4.0f, 60.0f), rgb255(176, 184, 196), Vec3(0, 0, 1), 44), band);
    });
    m.addFrame("stand1", m.mesh);
    return m;
}

} // namespace NSAssets
