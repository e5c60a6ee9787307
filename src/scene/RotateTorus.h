#pragma once
// The handle that turns the selected object about one axis: a ring about its
// local z axis, drawn half transparent with its segments farthest first. It
// carries two pick names: the id of the object it turns and its own part
// number (4 to 6 for X, Y, Z).
//
// The scene keeps the handles outside the scene tree and places, sizes and
// colours them every frame.

#include <array>

#include "objects/NodeGraphic.h"

class RotateTorus : public NSNode::NodeGraphic {
public:
    static constexpr int kSegments = 10;
    static constexpr int kSides = 10;

    RotateTorus();

    // Both keep the tessellation in step.
    void setRadius(float r);
    void setTube(float t);
    float getRadius() const { return radius; }
    float getTube() const { return tube; }
    void setNodeId(int id) { nodeId = id; }
    int getNodeId() const { return nodeId; }
    void setPart(int p) { part = p; }
    int getPart() const { return part; }

    // Recomputes the ring's segment frames and the tube's cross-section from
    // radius and tube.
    void rebuild();

    // Draws in the current frame; the caller has placed it.
    void draw() override;

private:
    float radius = 10.0f;
    float tube = 1.0f;
    // Per ring segment: its centre on the ring and the outward direction
    // there.
    std::array<Vector3, kSegments> segmentCentre;
    std::array<Vector3, kSegments> segmentOutward;
    // Per side of the tube: its unit direction as parts along the segment's
    // outward direction and along the ring's axis.
    std::array<float, kSides> sideOut{};
    std::array<float, kSides> sideUp{};
    int nodeId = 0;
    int part = 0;
};
