#include "scenegraph/ControllerNode.h"

#include <algorithm>
#include <climits>

#include "scenegraph/NodeTransform.h"
#include "shell/Log.h"

namespace NSNode {

ControllerNode& ControllerNode::instance() {
    // Never destroyed: nodes held by other singletons may still unregister
    // themselves while the program exits.
    static ControllerNode* registry = new ControllerNode();
    return *registry;
}

int ControllerNode::nextId() {
    // A damaged file can raise the last id to the largest int; from then on
    // ids repeat instead of overflowing.
    if (lastId_ == INT_MAX) {
        if (!exhaustedLogged_)
            log(LOG_ERROR, "ControllerNode: keine freien Knoten-Ids mehr\n");
        exhaustedLogged_ = true;
        return lastId_;
    }
    return ++lastId_;
}

void ControllerNode::noteId(int id) {
    if (id > lastId_)
        lastId_ = id;
}

void ControllerNode::addNode(NodeTransform* node) {
    nodes_.push_back(node);
    ++version_;
}

void ControllerNode::removeNode(NodeTransform* node) {
    nodes_.erase(std::remove(nodes_.begin(), nodes_.end(), node), nodes_.end());
    ++version_;
}

void ControllerNode::addHit(NodeTransform* a, NodeTransform* b) { hits_.emplace_back(a->getId(), b->getId()); }

void ControllerNode::clearHits() { std::vector<std::pair<int, int>>().swap(hits_); }

} // namespace NSNode
