#pragma once
// What the parts of the scene view share: its projection, the frame time, the pop-up
// messages, the selection's log line and the contact probe for moves.
#include <string>

#include "objects/NodeGraphic.h"
#include "scenegraph/NodeTransform.h"
#include "ui/WindowItem.h"

namespace NSScene {

// A frame's time for the machine or the camera: no more than cap, and 0
// for a negative time or not a number.
float cappedFrameTime(float dt, float cap);
// The viewport over area (in interface units), its perspective (unless
// keepProjection) and an identity modelview.
void beginView(const NSWindow::ItemLayout& area, bool keepProjection);
// A message across the window.
void popUp(const std::string& text);
// The perspective of the view over area: 45 degrees vertically, the area's
// aspect.
void perspective(const NSWindow::ItemLayout& area);
void logSelection(const NSNode::NodeGraphic* node);
// Whether node, as it stands, overlaps another node that takes part in hit
// tests. Probing records no touching pairs.
bool touchesAnother(NSNode::NodeTransform* node);

// The depth cue of node, when it lies directly under root: a line from its
// lowest point straight down to where it would come to rest, and a ring
// there. Drawn only in the render mode (it is no target for picking).
void drawDropLine(NSNode::NodeGraphic& node, const NSNode::NodeTransform* root);

} // namespace NSScene
