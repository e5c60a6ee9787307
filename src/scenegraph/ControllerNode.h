#pragma once
// The registry of scene nodes: hands out node ids, keeps the list of nodes
// that take part in hit tests, and collects the pairs of nodes that touched
// during the current simulation tick (read by the level's goal check).

#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace NSNode {

class NodeTransform;

class ControllerNode {
public:
    static ControllerNode& instance();
    virtual ~ControllerNode() = default;

    // The next unused id; the first one handed out is 1.
    int nextId();
    // Raises the last id to id, so that ids read from files never collide
    // with ids handed out later.
    void noteId(int id);
    int lastId() const { return lastId_; }
    // Makes the ids in the tree under root (as just read from a file) fit
    // for the game: each from 1 to the files' largest id and held once.
    // Other nodes get new ids; out-of-range ids are entered in renumbered
    // (old to new) so that what named them can follow. Returns how many.
    int settleIds(NodeTransform* root, std::map<int, int>& renumbered);

    // The hit-testable nodes in registration order; not owned.
    const std::vector<NodeTransform*>& nodes() const { return nodes_; }
    void addNode(NodeTransform* node);
    // Removes every entry of node.
    void removeNode(NodeTransform* node);
    // Raised by every addNode and removeNode, and when putInTreeOrder
    // changes the order.
    std::uint64_t version() const { return version_; }
    // A node was registered or got a new parent: the registration order may
    // no longer be the trees' order.
    void markOrderChanged() { orderChanged_ = true; }
    // Puts the registered nodes in the order a scene read from a file
    // registers them: each tree depth first, a node before its children,
    // the trees in the order their first registered node had; so a scene
    // changed while it is edited (an object attached to another) meets its
    // contacts in the same order as the same scene loaded. Registered nodes
    // no walk reaches keep their order at the end. Nothing happens unless
    // markOrderChanged was called since the last time. Called before every
    // step of the machine, never while a move walks the list.
    void putInTreeOrder();

    // Records that a touched b (by their ids).
    void addHit(NodeTransform* a, NodeTransform* b);
    // The same pair by the nodes' ids.
    void addHitIds(int a, int b) { hits_.emplace_back(a, b); }
    const std::vector<std::pair<int, int>>& hits() const { return hits_; }
    // Empties the list and releases its storage.
    void clearHits();

    // The change stamps: the latest one, and the node of each of the latest
    // ones at the stamp modulo the log's size (kept by NodeTransform).
    struct ChangeLog {
        std::uint64_t lastStamp = 0;
        std::vector<NodeTransform*> nodes;
    };
    ChangeLog& changeLog() { return changes_; }
    // Which OpenGL light slots the light nodes hold (kept by NodeLight).
    std::vector<bool>& lightSlots() { return lightSlots_; }

private:
    ControllerNode() = default;
    // The next id, never one in taken or held by a registered node.
    int freshId(const std::set<int>& taken);
    ControllerNode(const ControllerNode&) = delete;
    ControllerNode& operator=(const ControllerNode&) = delete;

    std::vector<NodeTransform*> nodes_;
    std::vector<std::pair<int, int>> hits_;
    int lastId_ = 0;
    std::uint64_t version_ = 0;
    bool exhaustedLogged_ = false;
    bool orderChanged_ = false;
    ChangeLog changes_;
    std::vector<bool> lightSlots_;
};

} // namespace NSNode
