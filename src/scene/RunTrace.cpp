#include "scene/RunTrace.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "physics/NodePhysical.h"

namespace NSScene {

namespace {

// Bright colours that stand apart from each other and from the rooms;
// neighbouring ids take different ones.
const Vector3 kPalette[] = {Vector3(1.0f, 0.2f, 0.2f), Vector3(1.0f, 0.95f, 0.1f), Vector3(1.0f, 0.3f, 1.0f),
                            Vector3(1.0f, 0.55f, 0.0f), Vector3(1.0f, 1.0f, 1.0f), Vector3(0.3f, 1.0f, 0.3f)};
constexpr int kPaletteSize = sizeof kPalette / sizeof kPalette[0];

constexpr float kMarkSize = 7.0f;
constexpr float kDotSize = 2.0f;
// Dots filled in along one sample's step at most.
constexpr int kMaxFill = 64;
constexpr int kMarkSegments = 16;

template <class Visit>
void forEachBody(const NSNode::NodeTransform* node, const Visit& visit) {
    for (const NSNode::NodeTransform* child : node->getChildren()) {
        if (auto* body = dynamic_cast<const NSNode::NodePhysical*>(child))
            visit(*body);
        forEachBody(child, visit);
    }
}

} // namespace

Vector3 RunTrace::colourOf(int id) { return kPalette[((id % kPaletteSize) + kPaletteSize) % kPaletteSize]; }

void RunTrace::clear() {
    dots.clear();
    colours.clear();
    bodies.clear();
    paths.clear();
    marks.clear();
    markedPairs.clear();
    points = 0;
    spacing = kMinSpacing;
}

void RunTrace::begin(const NSNode::NodeTransform* root) {
    clear();
    if (!recording || !root)
        return;
    forEachBody(root, [this](const NSNode::NodePhysical& body) { bodies[body.getId()].last = body.worldPosition(); });
}

void RunTrace::afterStep(const NSNode::NodeTransform* root, long long step) {
    if (recording && root && step % kStepsPerSample == 0)
        sample(root, false);
}

void RunTrace::finish(const NSNode::NodeTransform* root) {
    if (recording && root)
        sample(root, true);
}

void RunTrace::sample(const NSNode::NodeTransform* root, bool final) {
    forEachBody(root, [this, final](const NSNode::NodePhysical& body) {
        if (body.isMoveable())
            take(body.getId(), body.worldPosition(), final);
    });
}

// A body met for the first time starts there; a point is taken once it has
// gone the spacing, and at the end wherever it stopped.
void RunTrace::take(int id, const Vector3& at, bool final) {
    auto found = bodies.find(id);
    if (found == bodies.end()) {
        bodies[id].last = at;
        return;
    }
    Body& body = found->second;
    const float moved = length(at - body.last);
    if (!(moved >= spacing) && !(final && body.path >= 0 && moved > 0.0f))
        return;
    if (body.path < 0) {
        if (paths.size() >= kMaxPaths)
            return;
        body.path = static_cast<int>(paths.size());
        paths.push_back(Path{id, {body.last}});
        ++points;
    }
    // Dots evenly spaced: a fast body's step is filled in along its line.
    std::vector<Vector3>& line = paths[static_cast<std::size_t>(body.path)].points;
    const int fill = std::min(kMaxFill, static_cast<int>(moved / spacing) - 1);
    for (int i = 1; i <= fill; ++i)
        line.push_back(body.last + (at - body.last) * (static_cast<float>(i) / static_cast<float>(fill + 1)));
    line.push_back(at);
    points += static_cast<std::size_t>(std::max(fill, 0)) + 1;
    body.last = at;
    dots.clear();
    while (points > kMaxPoints)
        thin();
}

void RunTrace::thin() {
    points = 0;
    for (Path& path : paths) {
        std::vector<Vector3>& p = path.points;
        const Vector3 last = p.back();
        std::size_t kept = 0;
        for (std::size_t i = 0; i < p.size(); i += 2)
            p[kept++] = p[i];
        p.resize(kept);
        if (!(p.back() == last))
            p.push_back(last);
        points += p.size();
    }
    spacing *= 2.0f;
}

void RunTrace::addMark(int idA, int idB, const Vector3& at) {
    const std::pair<int, int> pair(std::min(idA, idB), std::max(idA, idB));
    if (std::find(markedPairs.begin(), markedPairs.end(), pair) != markedPairs.end())
        return;
    markedPairs.push_back(pair);
    marks.push_back(at);
}

// Dots rather than dashed lines: a software renderer draws a dot several
// times faster than a line, and the trace must not slow the frame down.
// Nothing hides them: a path behind an object still shows.
void RunTrace::draw() const {
    if (isEmpty())
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glPointSize(kDotSize);
    // Every dot in one call: the calls, not the dots, would cost the most.
    if (dots.size() != points) {
        dots.clear();
        colours.clear();
        for (const Path& path : paths) {
            const Vector3 c = colourOf(path.id) * 255.0f;
            dots.insert(dots.end(), path.points.begin(), path.points.end());
            for (std::size_t i = 0; i < path.points.size(); ++i)
                colours.insert(colours.end(), {static_cast<GLubyte>(c.x), static_cast<GLubyte>(c.y),
                                               static_cast<GLubyte>(c.z)});
        }
    }
    glVertexPointer(3, GL_FLOAT, sizeof(Vector3), dots.data());
    glColorPointer(3, GL_UNSIGNED_BYTE, 0, colours.data());
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(dots.size()));
    glDisableClientState(GL_COLOR_ARRAY);

    glLineWidth(3.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (const Vector3& m : marks) {
        glBegin(GL_LINES);
        glVertex3f(m.x - kMarkSize, m.y, m.z);
        glVertex3f(m.x + kMarkSize, m.y, m.z);
        glVertex3f(m.x, m.y - kMarkSize, m.z);
        glVertex3f(m.x, m.y + kMarkSize, m.z);
        glVertex3f(m.x, m.y, m.z - kMarkSize);
        glVertex3f(m.x, m.y, m.z + kMarkSize);
        glEnd();
        glBegin(GL_LINE_LOOP);
        for (int i = 0; i < kMarkSegments; ++i) {
            const float a = 6.2831853f * static_cast<float>(i) / kMarkSegments;
            glVertex3f(m.x + kMarkSize * std::cos(a), m.y + kMarkSize * std::sin(a), m.z);
        }
        glEnd();
    }
    glPopClientAttrib();
    glPopAttrib();
}

} // namespace NSScene
