// The selection's depth cue: a drop line to the surface below it and a ring
// where it meets, so a player sees how high the object hangs and where it
// would land.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "scene/SceneSupport.h"

namespace NSScene {

namespace {

// Probing steps: coarse to find the first contact, then halved.
constexpr float kDropStep = 4.0f;
constexpr float kDropDepth = 2000.0f;
constexpr int kRefineSteps = 8;
constexpr int kRingSegments = 24;

// Where node would rest if it fell straight down (a position in its
// parent's frame). Worked out anew every frame (some 50 hit tests), so it
// follows whatever moves below it.
Vector3 dropPoint(NSNode::NodeGraphic* node) {
    const Vector3 start = node->getPosition();
    // The object is lowered in steps until it meets something, then the
    // last free place is narrowed down; it goes back where it was.
    float free = 0.0f;
    float blocked = -1.0f;
    if (!touchesAnother(node)) {
        for (float d = kDropStep; d <= kDropDepth; d += kDropStep) {
            node->setPosition(start - Vector3(0.0f, d, 0.0f));
            if (touchesAnother(node)) {
                blocked = d;
                break;
            }
            free = d;
        }
        for (int i = 0; blocked > 0.0f && i < kRefineSteps; ++i) {
            const float mid = 0.5f * (free + blocked);
            node->setPosition(start - Vector3(0.0f, mid, 0.0f));
            (touchesAnother(node) ? blocked : free) = mid;
        }
        node->setPosition(start);
    }
    return start - Vector3(0.0f, free, 0.0f);
}

} // namespace

void drawDropLine(NSNode::NodeGraphic& node, const NSNode::NodeTransform* root) {
    NSNode::NodeGraphic* selected = &node;
    // Only objects lying directly in the room move in its own frame. The
    // cue is no target for picking.
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    if (selected->getParent() != root || mode != GL_RENDER)
        return;
    const Vector3 bottom(0.0f, selected->lowestPointOffset(), 0.0f);
    const Vector3 top = selected->getPosition() + bottom;
    const Vector3 rest = dropPoint(selected) + bottom;
    float radius = 3.0f;
    if (NSNode::BoundingVolume* volume = selected->getBoundingVolume()) {
        volume->setTransform(selected->worldMatrix());
        radius = std::max(radius, 0.5f * volume->getOuterSphere().getWorldRadius());
    }
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(2.0f);
    // The line shows through what lies in front of it, faintly.
    glDisable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 0.3f, 0.35f);
    glBegin(GL_LINES);
    glVertex3f(top.x, top.y, top.z);
    glVertex3f(rest.x, rest.y, rest.z);
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 0.3f, 0.9f);
    glBegin(GL_LINES);
    glVertex3f(top.x, top.y, top.z);
    glVertex3f(rest.x, rest.y, rest.z);
    glEnd();
    // The ring lies a little above the surface, so it is not lost in it.
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < kRingSegments; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / kRingSegments;
        glVertex3f(rest.x + radius * std::cos(a), rest.y + 0.3f, rest.z + radius * std::sin(a));
    }
    glEnd();
    glPopAttrib();
}

} // namespace NSScene
