#include "scenegraph/ControllerNode.h"

#include <algorithm>
#include <climits>
#include <set>
#include <unordered_set>

#include "persistence/SerialStream.h"
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

int ControllerNode::settleIds(NodeTransform* root, std::map<int, int>& renumbered) {
    std::set<int> held;
    std::vector<NodeTransform*> open{root};
    int changed = 0;
    while (!open.empty()) {
        NodeTransform* node = open.back();
        open.pop_back();
        const int id = node->getId();
        const bool inRange = id >= 1 && id <= NSSerialize::SerialStream::kMaxNodeId;
        if (inRange && held.insert(id).second) {
            noteId(id);
        } else {
            const int fresh = nextId();
            // A repeated id keeps naming its first holder.
            if (!inRange)
                renumbered.emplace(id, fresh);
            log(LOG_ERROR, "Object id %d %s; the object gets the id %d\n", id,
                inRange ? "is held twice" : "is out of range", fresh);
            node->setId(fresh);
            ++changed;
        }
        // In tree order, as lookups by id walk it.
        const auto& children = node->getChildren();
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            open.push_back(*child);
    }
    return changed;
}

void ControllerNode::addNode(NodeTransform* node) {
    nodes_.push_back(node);
    ++version_;
    orderChanged_ = true;
}

void ControllerNode::putInTreeOrder() {
    if (!orderChanged_)
        return;
    orderChanged_ = false;
    std::vector<NodeTransform*> roots;
    for (NodeTransform* node : nodes_) {
        NodeTransform* top = node;
        while (top->getParent())
            top = top->getParent();
        if (std::find(roots.begin(), roots.end(), top) == roots.end())
            roots.push_back(top);
    }
    std::vector<NodeTransform*> ordered;
    ordered.reserve(nodes_.size());
    std::vector<NodeTransform*> pending;
    for (NodeTransform* top : roots) {
        pending.assign(1, top);
        while (!pending.empty()) {
            NodeTransform* n = pending.back();
            pending.pop_back();
            if (n->isRegistered())
                ordered.push_back(n);
            const auto& children = n->getChildren();
            pending.insert(pending.end(), children.rbegin(), children.rend());
        }
    }
    if (ordered.size() != nodes_.size()) {
        std::unordered_set<NodeTransform*> reached(ordered.begin(), ordered.end());
        for (NodeTransform* node : nodes_)
            if (!reached.count(node))
                ordered.push_back(node);
    }
    if (ordered != nodes_) {
        nodes_.swap(ordered);
        ++version_;
    }
}

void ControllerNode::removeNode(NodeTransform* node) {
    nodes_.erase(std::remove(nodes_.begin(), nodes_.end(), node), nodes_.end());
    ++version_;
}

void ControllerNode::addHit(NodeTransform* a, NodeTransform* b) { hits_.emplace_back(a->getId(), b->getId()); }

void ControllerNode::clearHits() { std::vector<std::pair<int, int>>().swap(hits_); }

} // namespace NSNode
