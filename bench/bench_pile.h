#pragma once
// The heavy scene of the frame benchmarks: a built-in level with a pile of
// copies of its first ball, hundreds of contacts a frame.
#include "persistence/ClassIds.h"
#include "objects/NodeGraphic.h"
#include "scene/Scene.h"

namespace benchpile {

// The first ball under node, or null.
inline NSNode::NodeGraphic* firstBall(NSNode::NodeTransform* node) {
    for (NSNode::NodeTransform* child : node->getChildren()) {
        const int id = child->classId();
        if (id == CLASS_OBJECT_BASKETBALL || id == CLASS_OBJECT_TENNISBALL)
            return static_cast<NSNode::NodeGraphic*>(child);
        if (NSNode::NodeGraphic* below = firstBall(child))
            return below;
    }
    return nullptr;
}

// Copies of a ball in a block of rows above it.
inline void addPile(NSScene::Scene& scene, int count) {
    NSNode::NodeGraphic* ball = firstBall(scene.getRoot());
    if (!ball)
        return;
    const Vector3 at = ball->getPosition();
    for (int i = 0; i < count; ++i) {
        auto* copy = dynamic_cast<NSNode::NodeGraphic*>(ball->clone());
        if (!copy)
            return;
        copy->setPosition(at + Vector3(static_cast<float>(i % 8 - 4) * 6.0f, 30.0f + static_cast<float>(i / 64) * 6.0f,
                                       static_cast<float>(i / 8 % 8 - 4) * 6.0f));
        scene.getRoot()->addChildLater(copy);
    }
    // In the scene now, so that the machine's snapshot holds them.
    scene.getRoot()->applyPendingChanges();
}

} // namespace benchpile
