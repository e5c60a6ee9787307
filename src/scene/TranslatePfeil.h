#pragma once
// The handle that moves the selected object along one axis: a double-headed
// arrow along its local +z axis, from 0 to its length, drawn half
// transparent. Its three pieces (tail cone, shaft, head) are drawn farthest
// first so the arrow blends properly with itself. It carries two pick names:
// the id of the object it moves and its own part number (1 to 3 for X, Y, Z).
//
// The scene keeps the handles outside the scene tree and places, sizes and
// colours them every frame.

#include "objects/NodeGraphic.h"

class TranslatePfeil : public NSNode::NodeGraphic {
public:
    TranslatePfeil();

    void setLength(float l) { length = l; }
    float getLength() const { return length; }
    void setNodeId(int id) { nodeId = id; }
    int getNodeId() const { return nodeId; }
    void setPart(int p) { part = p; }
    int getPart() const { return part; }

    // Draws in the current frame; the caller has placed it.
    void draw() override;

private:
    float length = 1.0f;
    int nodeId = 0;
    int part = 0;
};
