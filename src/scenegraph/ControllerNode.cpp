#include "scenegraph/ControllerNode.h"

#include <algorithm>
#include <set>
#include <unordered_set>

#include "persistence/SerialStream.h"
#include "scenegraph/NodeTransform.h"
#include "shell/Log.h"

namespace NSNode {

namespace {

// The registry of nodes made outside every scene. Never destroyed: such
// nodes (held by objects that live until the program exits) may still
// leave it while the program exits.
ControllerNode& outside() {
    static ControllerNode* registry = new ControllerNode();
    return *registry;
}

// The registries of the Uses alive, the latest last. A Use may end out of
// order (two windows, the first closed first): each takes its own entry.
// Plain storage, never destroyed: worlds of objects that live until the
// program exits still leave it then.
struct UsedWorlds {
    static constexpr int kMax = 64;
    ControllerNode* worlds[kMax];
    int count = 0;

    void remove(int i) {
        for (--count; i < count; ++i)
            worlds[i] = worlds[i + 1];
    }
};
thread_local UsedWorlds used;

} // namespace

ControllerNode& ControllerNode::inUse() { return used.count == 0 ? outside() : *used.worlds[used.count - 1]; }

ControllerNode::Use::Use(ControllerNode& world) : registry(&world) {
    if (used.count < UsedWorlds::kMax)
        used.worlds[used.count++] = &world;
    else
        log(LOG_ERROR, "ControllerNode: more than %d worlds in use at once\n", UsedWorlds::kMax);
}

ControllerNode::Use::~Use() {
    for (int i = used.count; i-- > 0;) {
        if (used.worlds[i] == registry) {
            used.remove(i);
            return;
        }
    }
}

ControllerNode::~ControllerNode() {
    // A world gone is in use nowhere.
    for (int i = used.count; i-- > 0;)
        if (used.worlds[i] == this)
            used.remove(i);
    // Whole trees move, from their tops.
    while (!members_.empty()) {
        NodeTransform* top = *members_.begin();
        while (top->getParent() && &top->getParent()->world() == this)
            top = top->getParent();
        top->moveToWorld(outside());
    }
}

void ControllerNode::join(NodeTransform* node) {
    node->worldSlot = members_.size();
    members_.push_back(node);
}

void ControllerNode::leave(NodeTransform* node) {
    // The last member takes the leaver's place.
    const size_t slot = node->worldSlot;
    if (slot >= members_.size() || members_[slot] != node)
        return;
    members_[slot] = members_.back();
    members_[slot]->worldSlot = slot;
    members_.pop_back();
}

bool ControllerNode::idTaken(int id) const {
    for (const NodeTransform* node : members_)
        if (node->getId() == id)
            return true;
    return false;
}

ControllerNode::ChangeLog& ControllerNode::changeLog() {
    if (changes_.nodes.size() != NodeTransform::kChangeLogSize)
        changes_.nodes.assign(NodeTransform::kChangeLogSize, nullptr);
    return changes_;
}

NodeTransform* ControllerNode::changedNode(std::uint64_t s) const {
    if (s == 0 || s > changes_.lastStamp || changes_.lastStamp - s >= NodeTransform::kChangeLogSize ||
        changes_.nodes.empty())
        return nullptr;
    return changes_.nodes[s % NodeTransform::kChangeLogSize];
}

int ControllerNode::nextId() {
    std::set<int> none;
    return freshId(none);
}

int ControllerNode::freshId(const std::set<int>& taken) {
    // Ids stay in the range a file can hold: one beyond it would be
    // renumbered each time the scene is read, so a saved scene would change
    // when read and saved again. A damaged file can raise the last id to
    // the top of the range; from then on the smallest id that neither a
    // registered node nor the tree being read holds is handed out.
    if (lastId_ < NSSerialize::SerialStream::kMaxNodeId)
        return ++lastId_;
    if (!exhaustedLogged_)
        log(LOG_ERROR, "ControllerNode: keine freien Knoten-Ids mehr\n");
    exhaustedLogged_ = true;
    std::set<int> used(taken);
    for (const NodeTransform* node : nodes_)
        used.insert(node->getId());
    int id = 1;
    for (int held : used) {
        if (held > id)
            break;
        if (held == id)
            ++id;
    }
    return id;
}

void ControllerNode::noteId(int id) {
    if (id > lastId_)
        lastId_ = std::min(id, NSSerialize::SerialStream::kMaxNodeId);
}

int ControllerNode::settleIds(NodeTransform* root, std::map<int, int>& renumbered) {
    // The first holder of each id in range keeps it; the other nodes get
    // ids no node of the tree holds, so reading the saved tree again
    // changes nothing.
    std::set<int> held;
    std::vector<NodeTransform*> renumber;
    std::vector<NodeTransform*> open{root};
    while (!open.empty()) {
        NodeTransform* node = open.back();
        open.pop_back();
        const int id = node->getId();
        const bool inRange = id >= 1 && id <= NSSerialize::SerialStream::kMaxNodeId;
        if (inRange && held.insert(id).second)
            noteId(id);
        else
            renumber.push_back(node);
        // In tree order, as lookups by id walk it.
        const auto& children = node->getChildren();
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            open.push_back(*child);
    }
    for (NodeTransform* node : renumber) {
        const int id = node->getId();
        const bool inRange = id >= 1 && id <= NSSerialize::SerialStream::kMaxNodeId;
        const int fresh = freshId(held);
        held.insert(fresh);
        // A repeated id keeps naming its first holder.
        if (!inRange)
            renumbered.emplace(id, fresh);
        log(LOG_ERROR, "Object id %d %s; the object gets the id %d\n", id, inRange ? "is held twice" : "is out of range",
            fresh);
        node->setId(fresh);
    }
    return static_cast<int>(renumber.size());
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
