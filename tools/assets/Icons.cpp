#include "assets/Icons.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "assets/Canvas.h"
#include "assets/Pictures.h"
#include "assets/Rasteriser.h"

namespace NSAssets {

namespace {

// ---------------------------------------------------------------- helpers

Image finish(const Canvas& c) { return c.result().over(pictureBackground()); }

// A point of a symbol: (x, y) in -0.5..0.5 across a symbol of size s at c.
struct Place {
    Vec2 c;
    float s;
    Vec2 operator()(float x, float y) const { return Vec2(c.x + x * s, c.y + y * s); }
    float len(float v) const { return v * s; }
};

// A ball lit from the upper left.
Shader ballShader(Vec2 centre, float radius, Rgba base) {
    return [=](Vec2 p) {
        Vec2 d = (p - centre) * (1.0f / radius);
        float z = std::sqrt(std::max(0.0f, 1.0f - dot(d, d)));
        Vec3 n(d.x, -d.y, z);
        Vec3 l = normalized(Vec3(-0.5f, 0.6f, 0.7f));
        float lambert = std::max(0.0f, dot(n, l));
        float highlight = std::pow(std::max(0.0f, dot(n, normalized(l + Vec3(0, 0, 1)))), 30.0f);
        Rgba c = shade(base, 0.35f + 0.75f * lambert);
        return Rgba(c.r + 0.5f * highlight, c.g + 0.5f * highlight, c.b + 0.5f * highlight, 1.0f);
    };
}

Shader radialShader(Vec2 centre, float radius, Rgba inner, Rgba outer) {
    return [=](Vec2 p) { return mixRgb(inner, outer, clamp01(length(p - centre) / radius)); };
}

std::vector<Vec2> rectPoints(Vec2 a, Vec2 b) { return {a, Vec2(b.x, a.y), b, Vec2(a.x, b.y)}; }

// ---------------------------------------------------------------- symbols

void symbolGravity(Canvas& cv, Place p) {
    const Rgba ink = rgb255(44, 46, 60);
    cv.arrow(p(0, -0.46f), p(0, 0.28f), p.len(0.17f), p.len(0.36f), ink);
    cv.fillPolygon(rectPoints(p(-0.42f, 0.34f), p(0.42f, 0.41f)), rgb255(110, 74, 40));
    for (int i = 0; i < 7; ++i) {
        float x = -0.36f + 0.12f * i;
        cv.line(p(x, 0.41f), p(x - 0.08f, 0.5f), p.len(0.035f), rgb255(110, 74, 40));
    }
}

void symbolWind(Canvas& cv, Place p) {
    const Rgba ink = rgb255(40, 96, 206);
    const float starts[3] = {-0.46f, -0.3f, -0.46f}, ends[3] = {0.18f, 0.3f, 0.06f};
    for (int k = 0; k < 3; ++k) {
        float y0 = -0.2f + 0.24f * k;
        std::vector<Vec2> pts;
        for (int i = 0; i <= 24; ++i) {
            float x = starts[k] + (ends[k] - starts[k]) * i / 24.0f;
            pts.push_back(p(x, y0 + 0.025f * std::sin(7.0f * x + 1.3f * k)));
        }
        // Curl the end of the gust up and back into a small spiral.
        Vec2 end = pts.back();
        float r = p.len(0.1f);
        Vec2 centre(end.x, end.y - r);
        for (int i = 1; i <= 16; ++i) {
            float f = i / 16.0f;
            float a = 0.5f * PI - 1.4f * PI * f;
            float rr = r * (1.0f - 0.45f * f);
            pts.push_back(Vec2(centre.x + rr * std::cos(a), centre.y + rr * std::sin(a)));
        }
        cv.polyline(pts, p.len(0.075f), ink);
    }
}

void symbolElectricity(Canvas& cv, Place p) {
    std::vector<Vec2> bolt = {p(0.06f, -0.49f), p(-0.3f, 0.07f), p(-0.04f, 0.07f), p(-0.17f, 0.49f),
                              p(0.31f, -0.11f), p(0.06f, -0.11f), p(0.25f, -0.49f)};
    cv.fillPolygon(bolt, [p](Vec2 q) {
        float t = clamp01((q.y - (p.c.y - 0.5f * p.s)) / p.s);
        return mixRgb(rgb255(255, 246, 120), rgb255(250, 190, 20), t);
    });
    cv.polyline(bolt, p.len(0.04f), rgb255(190, 100, 10), true);
    // Sparks.
    const Rgba spark = rgb255(0, 190, 230);
    cv.line(p(-0.38f, -0.3f), p(-0.26f, -0.22f), p.len(0.04f), spark);
    cv.line(p(-0.42f, -0.14f), p(-0.3f, -0.14f), p.len(0.04f), spark);
    cv.line(p(0.3f, 0.22f), p(0.42f, 0.3f), p.len(0.04f), spark);
    cv.line(p(0.3f, 0.38f), p(0.42f, 0.38f), p.len(0.04f), spark);
}

void symbolConstantMovement(Canvas& cv, Place p) {
    const Rgba shades[3] = {rgb255(120, 200, 120), rgb255(50, 170, 70), rgb255(0, 130, 40)};
    for (int k = 0; k < 3; ++k) {
        float x = -0.28f + 0.26f * k;
        cv.polyline({p(x - 0.1f, -0.24f), p(x + 0.12f, 0.0f), p(x - 0.1f, 0.24f)}, p.len(0.12f), shades[k]);
    }
    cv.fillPolygon(rectPoints(p(-0.46f, 0.36f), p(0.46f, 0.42f)), rgb255(60, 64, 70));
    for (float x : {-0.4f, 0.4f})
        cv.fillCircle(p(x, 0.39f), p.len(0.06f), rgb255(60, 64, 70));
}

void symbolMagnet(Canvas& cv, Place p) {
    const Rgba red = rgb255(214, 40, 40), steel = rgb255(200, 204, 212);
    const Rgba field = rgb255(230, 70, 230);
    for (float r : {0.1f, 0.2f}) {
        std::vector<Vec2> arc = arcPoints(p(0, -0.36f), p.len(r), PI, 2.0f * PI, 16);
        for (size_t i = 0; i + 1 < arc.size(); i += 2)
            cv.line(arc[i], arc[i + 1], p.len(0.035f), field);
    }
    cv.polyline(arcPoints(p(0, 0.1f), p.len(0.26f), 0.0f, PI, 20), p.len(0.2f), red);
    cv.line(p(-0.26f, 0.1f), p(-0.26f, -0.2f), p.len(0.2f), red);
    cv.line(p(0.26f, 0.1f), p(0.26f, -0.2f), p.len(0.2f), red);
    cv.fillPolygon(rectPoints(p(-0.36f, -0.42f), p(-0.16f, -0.2f)), steel);
    cv.fillPolygon(rectPoints(p(0.16f, -0.42f), p(0.36f, -0.2f)), steel);
}

void symbolLight(Canvas& cv, Place p) {
    const Rgba ray = rgb255(250, 180, 20);
    for (int i = 0; i < 12; ++i) {
        float a = 2.0f * PI * i / 12.0f;
        Vec2 d(std::cos(a), std::sin(a)), side(-d.y, d.x);
        cv.fillPolygon({p.c + d * p.len(0.27f) + side * p.len(0.055f), p.c + d * p.len(0.47f),
                        p.c + d * p.len(0.27f) - side * p.len(0.055f)},
                       ray);
    }
    cv.fillCircle(p.c, p.len(0.24f), rgb255(236, 150, 20));
    cv.fillCircle(p.c, p.len(0.21f), radialShader(p(-0.06f, -0.06f), p.len(0.26f), rgb255(255, 250, 180), rgb255(255, 200, 40)));
}

std::vector<Vec2> teardrop(Place p, float cx, float cy, float r, float tipX, float tipY) {
    std::vector<Vec2> pts = {p(tipX, tipY)};
    for (Vec2 q : arcPoints(p(cx, cy), p.len(r), -0.2f * PI, 1.2f * PI, 24))
        pts.push_back(q);
    return pts;
}

void symbolHeat(Canvas& cv, Place p) {
    cv.fillPolygon(teardrop(p, 0, 0.16f, 0.3f, 0.06f, -0.5f), rgb255(214, 44, 28));
    cv.fillPolygon(teardrop(p, 0.02f, 0.24f, 0.2f, -0.06f, -0.2f), rgb255(250, 140, 30));
    cv.fillPolygon(teardrop(p, 0.02f, 0.3f, 0.11f, 0.04f, 0.02f), rgb255(255, 232, 100));
}

void symbolCold(Canvas& cv, Place p) {
    const Rgba ink = rgb255(60, 110, 226);
    const float w = p.len(0.07f);
    for (int k = 0; k < 6; ++k) {
        float a = PI / 3.0f * k - 0.5f * PI;
        Vec2 d(std::cos(a), std::sin(a));
        cv.line(p.c, p.c + d * p.len(0.46f), w, ink);
        for (float at : {0.2f, 0.33f}) {
            Vec2 base = p.c + d * p.len(at);
            for (float turn : {0.75f, -0.75f}) {
                Vec2 b(std::cos(a + turn), std::sin(a + turn));
                cv.line(base, base + b * p.len(0.13f), w, ink);
            }
        }
    }
    cv.fillCircle(p.c, p.len(0.07f), ink);
}

void symbolFriction(Canvas& cv, Place p) {
    const Rgba wood = rgb255(176, 120, 64), ink = rgb255(44, 46, 60);
    // A block dragged along a rough floor; friction pulls back.
    std::vector<Vec2> floor = {p(-0.48f, 0.3f)};
    for (int i = 0; i < 12; ++i)
        floor.push_back(p(-0.44f + 0.08f * i, i % 2 == 0 ? 0.22f : 0.3f));
    floor.push_back(p(0.48f, 0.3f));
    floor.push_back(p(0.48f, 0.42f));
    floor.push_back(p(-0.48f, 0.42f));
    cv.fillPolygon(floor, rgb255(120, 124, 132));
    cv.fillPolygon(rectPoints(p(-0.3f, -0.12f), p(0.16f, 0.2f)), wood);
    cv.polyline(rectPoints(p(-0.3f, -0.12f), p(0.16f, 0.2f)), p.len(0.03f), rgb255(110, 70, 30), true);
    cv.arrow(p(-0.12f, -0.28f), p(0.42f, -0.28f), p.len(0.07f), p.len(0.16f), ink);
    cv.arrow(p(0.0f, 0.08f), p(-0.46f, 0.08f), p.len(0.06f), p.len(0.14f), rgb255(210, 40, 30));
}

using Symbol = void (*)(Canvas&, Place);

// The effect itself: its symbol filling the picture.
Image effectPicture(Symbol symbol) {
    Canvas cv(PICTURE_SIZE, PICTURE_SIZE);
    symbol(cv, Place{Vec2(0.5f, 0.5f), 0.8f});
    return finish(cv);
}

// A property: a body (the ball) marked with the symbol of what it reacts to.
Image propertyPicture(Symbol symbol, Rgba accent) {
    Canvas cv(PICTURE_SIZE, PICTURE_SIZE);
    const Vec2 ball(0.35f, 0.64f), badge(0.68f, 0.32f);
    cv.fillCircle(ball, 0.27f, ballShader(ball, 0.27f, rgb255(200, 204, 214)));
    cv.fillCircle(badge, 0.27f, accent);
    cv.fillCircle(badge, 0.24f, rgb255(250, 250, 246));
    symbol(cv, Place{badge, 0.34f});
    return finish(cv);
}

// ---------------------------------------------------------------- 3D shapes

Mesh makeTetrahedron(float size) {
    const Vec3 v[4] = {Vec3(1, 1, 1) * size, Vec3(-1, -1, 1) * size, Vec3(-1, 1, -1) * size, Vec3(1, -1, -1) * size};
    const int faces[4][3] = {{0, 1, 2}, {0, 3, 1}, {0, 2, 3}, {1, 3, 2}};
    Mesh m;
    uint32_t t = m.addUv(Vec2(0.5f, 0.5f));
    for (const auto& f : faces) {
        Vec3 n = normalized(v[f[0]] + v[f[1]] + v[f[2]]);
        uint32_t a = m.addVertex(v[f[0]], n), b = m.addVertex(v[f[1]], n), c = m.addVertex(v[f[2]], n);
        m.addFacing(a, b, c, t, t, t);
    }
    return m;
}

struct Placed {
    const Mesh* mesh;
    Surface surface;
    Xform place;
};

Image renderScene(const std::vector<Placed>& items, Vec3 viewFrom, float margin = 0.08f) {
    std::vector<Vec3> points;
    for (const Placed& it : items)
        for (const Vec3& q : placedPoints(*it.mesh, it.place))
            points.push_back(q);
    Vec3 lo = points[0], hi = points[0];
    for (const Vec3& q : points)
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], q[i]);
            hi[i] = std::max(hi[i], q[i]);
        }
    Vec3 centre = (lo + hi) * 0.5f;
    Rasteriser r(PICTURE_SIZE, PICTURE_SIZE);
    r.look(centre + normalized(viewFrom) * (length(hi - lo) * 2.0f), centre);
    r.frame(points, margin);
    for (const Placed& it : items)
        r.draw(*it.mesh, it.surface, it.place);
    return r.result();
}

Surface flat(Rgba c, float specular = 0.0f) {
    Surface s;
    s.colour = c;
    s.specular = specular;
    return s;
}

// Translucent, as the editor shows a goal zone, with a target on it.
Image hitZonePicture(const Image& shape) {
    Image translucent = shape;
    for (int y = 0; y < translucent.height(); ++y)
        for (int x = 0; x < translucent.width(); ++x)
            translucent.at(x, y).a *= 0.6f;
    Image out = translucent.over(pictureBackground());
    Canvas cv(PICTURE_SIZE, PICTURE_SIZE);
    const Vec2 c(0.8f, 0.2f);
    const Rgba red = rgb255(210, 30, 30), white = rgb255(250, 250, 250);
    cv.fillCircle(c, 0.16f, red);
    cv.fillCircle(c, 0.12f, white);
    cv.fillCircle(c, 0.08f, red);
    cv.fillCircle(c, 0.04f, white);
    out.composite(cv.result());
    return out;
}

const Rgba SHAPE_COLOUR = rgb255(120, 150, 200);
const Rgba ZONE_COLOUR = rgb255(230, 60, 50);
const Rgba ROOM_COLOUR = Rgba(0.5f, 0.25f, 0.0f);

Mesh roomMesh() {
    // Floor and three walls of a room, open towards the viewer.
    Mesh m;
    UvRect none;
    m.append(makeBox(Vec3(20, 0.6f, 20), none), Xform(Vec3(0, -0.3f, 0)));
    m.append(makeBox(Vec3(20, 12, 0.6f), none), Xform(Vec3(0, 6, -9.7f)));
    m.append(makeBox(Vec3(0.6f, 12, 20), none), Xform(Vec3(-9.7f, 6, 0)));
    m.append(makeBox(Vec3(0.6f, 12, 20), none), Xform(Vec3(9.7f, 6, 0)));
    return m;
}

// ---------------------------------------------------------------- lamps

void drawRays(Canvas& cv, Vec2 c, float r0, float r1, int count, float skipFrom, float skipTo, Rgba colour) {
    for (int i = 0; i < count; ++i) {
        float a = 2.0f * PI * i / count;
        if (a > skipFrom && a < skipTo)
            continue;
        Vec2 d(std::cos(a), std::sin(a));
        cv.line(c + d * r0, c + d * r1, 0.035f, colour);
    }
}

Image lampOmni() {
    Canvas cv(PICTURE_SIZE, PICTURE_SIZE);
    const Vec2 c(0.5f, 0.4f);
    cv.fillCircle(c, 0.36f, radialShader(c, 0.36f, Rgba(1, 0.95f, 0.5f, 0.7f), Rgba(1, 0.9f, 0.4f, 0.0f)));
    drawRays(cv, c, 0.27f, 0.38f, 12, 0.3f * PI, 0.7f * PI, rgb255(240, 170, 20));
    cv.fillPolygon({Vec2(0.4f, 0.52f), Vec2(0.6f, 0.52f), Vec2(0.57f, 0.66f), Vec2(0.43f, 0.66f)}, rgb255(250, 226, 120));
    cv.fillCircle(c, 0.19f, radialShader(Vec2(0.45f, 0.34f), 0.24f, rgb255(255, 255, 230), rgb255(255, 214, 70)));
    cv.fillPolygon(rectPoints(Vec2(0.42f, 0.66f), Vec2(0.58f, 0.8f)), rgb255(150, 154, 164));
    for (float y : {0.7f, 0.74f, 0.78f})
        cv.line(Vec2(0.42f, y), Vec2(0.58f, y), 0.012f, rgb255(96, 100, 110));
    cv.fillPolygon({Vec2(0.45f, 0.8f), Vec2(0.55f, 0.8f), Vec2(0.52f, 0.85f), Vec2(0.48f, 0.85f)}, rgb255(60, 60, 66));
    return finish(cv);
}

Image lampDirectional() {
    Canvas cv(PICTURE_SIZE, PICTURE_SIZE);
    const Rgba ray = rgb255(232, 160, 10);
    const Vec2 dir = Vec2(0.62f, 0.78f) * (1.0f / length(Vec2(0.62f, 0.78f)));
    const Vec2 side(-dir.y, dir.x);
    for (int i = -2; i <= 2; ++i) {
        Vec2 start = Vec2(0.3f, 0.26f) + side * (0.085f * i) + dir * 0.1f;
        cv.arrow(start, start + dir * 0.5f, 0.035f, 0.09f, ray);
    }
    // The lamp: a flat can facing along the rays.
    Vec2 body = Vec2(0.3f, 0.26f);
    std::vector<Vec2> can = {body - side * 0.22f - dir * 0.1f, body + side * 0.22f - dir * 0.1f,
                             body + side * 0.22f + dir * 0.04f, body - side * 0.22f + dir * 0.04f};
    cv.fillPolygon(can, rgb255(80, 84, 96));
    cv.line(body - side * 0.2f + dir * 0.05f, body + side * 0.2f + dir * 0.05f, 0.035f, rgb255(255, 230, 110));
    return finish(cv);
}

Image lampSpot() {
    Canvas cv(PICTURE_SIZE, PICTURE_SIZE);
    // Light cone and its pool on the floor.
    cv.fillPolygon({Vec2(0.42f, 0.3f), Vec2(0.58f, 0.3f), Vec2(0.86f, 0.8f), Vec2(0.14f, 0.8f)},
                   [](Vec2 q) { return Rgba(1.0f, 0.9f, 0.3f, 0.75f - 0.45f * clamp01((q.y - 0.3f) / 0.5f)); });
    cv.fillCircle(Vec2(0.5f, 0.8f), 0.36f, [](Vec2 q) {
        float d = std::fabs(q.y - 0.8f);
        return d < 0.07f ? Rgba(1.0f, 0.86f, 0.25f, 0.9f) : Rgba(0, 0, 0, 0);
    });
    // The spot's housing, mouth down.
    cv.fillPolygon({Vec2(0.36f, 0.1f), Vec2(0.64f, 0.1f), Vec2(0.6f, 0.3f), Vec2(0.4f, 0.3f)}, rgb255(70, 74, 86));
    cv.fillPolygon(rectPoints(Vec2(0.41f, 0.28f), Vec2(0.59f, 0.32f)), rgb255(255, 236, 140));
    cv.fillPolygon(rectPoints(Vec2(0.47f, 0.03f), Vec2(0.53f, 0.1f)), rgb255(120, 124, 134));
    return finish(cv);
}

// ---------------------------------------------------------------- particles

// Where the fountain's particles are, emitted from the origin upwards.
const Vec3 FOUNTAIN[] = {Vec3(-1.5f, 4.0f, 0.5f), Vec3(1.2f, 7.0f, -0.5f), Vec3(-3.5f, 9.5f, 0),
                         Vec3(3.6f, 10.5f, 0.3f), Vec3(0.2f, 12.5f, 0), Vec3(-6.5f, 11.0f, 0.2f),
                         Vec3(6.8f, 9.0f, -0.4f), Vec3(-8.8f, 6.0f, 0), Vec3(9.5f, 4.5f, 0.4f)};

Mesh emitterPlate() { return makeBox(Vec3(8, 0.3f, 8), UvRect()); }

Image particlesSimple() {
    Mesh sphere = makeSphere(1.0f, 12, 8, UvRect()), cube = makeBox(Vec3(1.7f, 1.7f, 1.7f), UvRect());
    Mesh tetra = makeTetrahedron(0.9f), plate = emitterPlate();
    const Mesh* shapes[3] = {&sphere, &cube, &tetra};
    std::vector<Placed> items;
    int i = 0;
    for (const Vec3& q : FOUNTAIN) {
        Mat3 turn = Mat3::rotation(Vec3(1, 0.7f, 0.3f), 0.7f * i);
        items.push_back({shapes[i % 3], flat(Rgba(0.62f, 0.28f, 0.62f), 0.3f), Xform(turn, q)});
        ++i;
    }
    items.push_back({&plate, flat(rgb255(220, 80, 80)), Xform()});
    return renderScene(items, Vec3(0.2f, 0.35f, 1.0f)).over(pictureBackground());
}

Image particlesTexture() {
    Canvas cv(PICTURE_SIZE, PICTURE_SIZE);
    cv.fillPolygon({Vec2(0.36f, 0.86f), Vec2(0.64f, 0.86f), Vec2(0.6f, 0.9f), Vec2(0.4f, 0.9f)}, rgb255(220, 80, 80));
    int i = 0;
    for (const Vec3& q : FOUNTAIN) {
        Vec2 c(0.5f + q.x * 0.042f, 0.84f - q.y * 0.058f);
        float r = 0.075f + 0.025f * (i % 3);
        cv.fillCircle(c, r, [c, r](Vec2 p) {
            float d = clamp01(length(p - c) / r);
            float a = (1.0f - d * d) * (1.0f - d * d);
            return Rgba(1.0f, 0.55f + 0.45f * (1.0f - d), 0.1f + 0.8f * (1.0f - d) * (1.0f - d), std::min(1.0f, 1.3f * a));
        });
        ++i;
    }
    return finish(cv);
}

Image particlesComplex(const ModelAsset* ball) {
    if (!ball)
        return pictureBackground();
    Surface skin;
    skin.skin = &ball->model.skin;
    skin.specular = 0.2f;
    const int picks[5] = {0, 2, 3, 5, 6};
    std::vector<Mesh> balls;
    balls.reserve(5); // the items point into it
    std::vector<Placed> items;
    for (int k = 0; k < 5; ++k) {
        // The ball model is 23 units across; shrink it into a particle.
        balls.push_back(ball->model.mesh);
        float scale = 0.26f + 0.05f * (k % 3);
        for (Vec3& pt : balls.back().positions)
            pt = pt * scale;
        Xform place(Mat3::rotation(Vec3(0.3f, 1, 0.2f), 1.1f * k), FOUNTAIN[picks[k]] * 2.4f);
        items.push_back({&balls.back(), skin, place});
    }
    Mesh plate = makeBox(Vec3(14, 0.5f, 14), UvRect());
    items.push_back({&plate, flat(rgb255(220, 80, 80)), Xform(Vec3(0, -2.0f, 0))});
    return renderScene(items, Vec3(0.2f, 0.3f, 1.0f)).over(pictureBackground());
}

} // namespace

std::vector<Icon> buildIcons(const std::vector<ModelAsset>& models) {
    std::vector<Icon> out;

    Mesh box = makeBox(Vec3(20, 20, 20), UvRect()), sphere = makeSphere(10, 32, 16, UvRect()), room = roomMesh();
    const Vec3 view(0.7f, 0.6f, 1.0f);
    out.push_back({"box", renderScene({{&box, flat(SHAPE_COLOUR), Xform()}}, view).over(pictureBackground())});
    out.push_back({"sphere", renderScene({{&sphere, flat(SHAPE_COLOUR, 0.4f), Xform()}}, view).over(pictureBackground())});
    out.push_back({"room", renderScene({{&room, flat(ROOM_COLOUR), Xform()}}, Vec3(0.5f, 0.8f, 1.0f)).over(pictureBackground())});
    out.push_back({"boxhit", hitZonePicture(renderScene({{&box, flat(ZONE_COLOUR), Xform()}}, view, 0.14f))});
    out.push_back({"spherehit", hitZonePicture(renderScene({{&sphere, flat(ZONE_COLOUR, 0.3f), Xform()}}, view, 0.14f))});
    out.push_back({"roomhit", hitZonePicture(renderScene({{&room, flat(ZONE_COLOUR), Xform()}}, Vec3(0.5f, 0.8f, 1.0f), 0.14f))});

    out.push_back({"lightomni", lampOmni()});
    out.push_back({"lightdirectional", lampDirectional()});
    out.push_back({"lightspot", lampSpot()});

    const ModelAsset* basketball = nullptr;
    for (const ModelAsset& m : models)
        if (m.modelFile == "basketball.md2")
            basketball = &m;
    out.push_back({"particlesimple", particlesSimple()});
    out.push_back({"particletexture", particlesTexture()});
    out.push_back({"particlecomplex", particlesComplex(basketball)});

    struct Kind {
        const char* name;
        Symbol symbol;
        Rgba accent;
    };
    const Kind kinds[] = {
        {"gravity", symbolGravity, rgb255(70, 72, 86)},
        {"friction", symbolFriction, rgb255(150, 150, 160)},
        {"wind", symbolWind, rgb255(100, 150, 250)},
        {"electricity", symbolElectricity, rgb255(0, 200, 220)},
        {"constantmovement", symbolConstantMovement, rgb255(40, 180, 60)},
        {"magnetic", symbolMagnet, rgb255(250, 80, 250)},
        {"light", symbolLight, rgb255(240, 220, 20)},
        {"heat", symbolHeat, rgb255(250, 60, 50)},
        {"cold", symbolCold, rgb255(80, 80, 250)},
    };
    for (const Kind& k : kinds) {
        // Friction has no effect picture of its own; its page borrows the cold one.
        if (std::string(k.name) != "friction")
            out.push_back({std::string("physics") + k.name, effectPicture(k.symbol)});
        out.push_back({std::string("physicsproperty") + k.name, propertyPicture(k.symbol, k.accent)});
    }
    return out;
}

} // namespace NSAssets
