#pragma once
// What the parts of the scene view share: its projection, the pop-up
// messages, the selection's log line and the contact probe for moves.
#include <string>

#include "objects/NodeGraphic.h"
#include "scenegraph/NodeTransform.h"
#include "ui/WindowItem.h"

namespace NSScene {

// A message across the window.
void popUp(const std::string& text);
// The perspective of the view over area: 45 degrees vertically, the area's
// aspect.
void perspective(const NSWindow::ItemLayout& area);
void logSelection(const NSNode::NodeGraphic* node);
// Whether node, as it stands, overlaps another node that takes part in hit
// tests. Probing records no touching pairs.
bool touchesAnother(NSNode::NodeTransform* node);

} // namespace NSScene
