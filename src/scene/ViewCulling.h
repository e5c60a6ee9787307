#pragma once
// Frustum culling for the view: the six planes of the view volume as last
// put up, the test of a node against them, and the count of models culled
// and drawn in a frame.
#include <array>
#include <memory>

#include "scenegraph/BoundingVolume.h"

namespace NSNode {
class NodeTransform;
}

namespace NSScene {

class ViewCulling {
public:
    struct Counts {
        unsigned culled = 0;
        unsigned drawn = 0;
    };

    // Takes the view volume from the current projection and modelview.
    void rebuild();
    // False (counted as culled) when enabled and node's bounds lie wholly
    // outside the view volume; otherwise true, counted as drawn. Unbounded
    // nodes and nodes met before the first rebuild are always drawn.
    bool test(NSNode::NodeTransform* node, bool enabled);
    // A frame starts counting from nothing; at its end the culled share is
    // worked out.
    void startFrame() { counts = Counts(); }
    void endFrame();
    // A draw that is no frame (a pick) puts the frame's counts back after.
    Counts frameCounts() const { return counts; }
    void restore(const Counts& frame) { counts = frame; }

    unsigned culled() const { return counts.culled; }
    unsigned drawn() const { return counts.drawn; }
    // The culled share of the models met in the last frame (0 for none).
    float culledShare() const { return share; }

private:
    std::array<std::unique_ptr<NSNode::BoundingVolume::Plane>, 6> frustum;
    Counts counts;
    float share = 0.0f;
};

} // namespace NSScene
