#include "scene/SceneSupport.h"

#include <GL/glu.h>

#include <algorithm>

#include "scene/SightLine.h"
#include "scenegraph/ControllerNode.h"
#include "shell/Host.h"
#include "shell/Log.h"

namespace NSScene {

float cappedFrameTime(float dt, float cap) {
    if (!(dt > 0.0f))
        return 0.0f;
    return std::min(dt, cap);
}

void beginView(const NSWindow::ItemLayout& area, bool keepProjection) {
    NSWindow::setViewportOver(area);
    glMatrixMode(GL_PROJECTION);
    if (!keepProjection) {
        glLoadIdentity();
        perspective(area);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void popUp(const std::string& text) { NSWindow::host().showTempPopUp(text); }

void perspective(const NSWindow::ItemLayout& area) {
    const float aspect =
        area.height > 0 ? static_cast<float>(area.width) / static_cast<float>(area.height) : 1.0f;
    gluPerspective(kFieldOfView, aspect, kNearPlane, kFarPlane);
}

void logSelection(const NSNode::NodeGraphic* node) {
    if (node)
        log(LOG_GAME, "Scene: selected %d \"%s\"\n", node->getId(), node->getName().c_str());
    else
        log(LOG_GAME, "Scene: nothing selected\n");
}

bool touchesAnother(NSNode::NodeTransform* node) {
    for (NSNode::NodeTransform* other : node->world().nodes())
        if (other != node && node->overlaps(other, Vector3()))
            return true;
    return false;
}

} // namespace NSScene
