#pragma once
// The registry of one world's nodes: hands out node ids, keeps the list of
// nodes that take part in hit tests, collects the pairs of nodes that
// touched during the current simulation tick (read by the level's goal
// check), keeps the change stamps, and holds what the
// layers above keep per world (the physics' contact search) and the scene
// that draws the world. Every scene owns one; two scenes never share ids,
// touching pairs or the broad phase.
//
// A node joins the registry in use when it is made (the innermost Use, or
// the one kept for nodes made outside every scene: tools, tests) and keeps
// it; a node added under a parent of another world moves to that world with
// its subtree, taking a fresh id there only if its own is taken.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace NSNode {

class NodeTransform;
class ModelDrawer;
class DeferredDrawSink;

class ControllerNode {
public:
    ControllerNode() = default;
    // Nodes still in the world move to the registry kept for nodes outside
    // every scene.
    virtual ~ControllerNode();

    // The registry new nodes join.
    static ControllerNode& inUse();
    // Makes a registry the one new nodes join while it lives.
    class Use {
    public:
        explicit Use(ControllerNode& registry);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        ControllerNode* registry;
    };

    // Every node of the world, in no order (kept by NodeTransform: a node
    // joins as it is made or moves in and leaves as it goes or moves out).
    void join(NodeTransform* node);
    void leave(NodeTransform* node);
    // Whether a node of the world has this id.
    bool idTaken(int id) const;

    // State a layer above keeps per world, made by that layer on first use.
    struct Part {
        virtual ~Part() = default;
    };
    Part* part() const { return part_.get(); }
    void setPart(std::unique_ptr<Part> part) { part_ = std::move(part); }

    // The scene drawing this world's nodes (null: they draw directly).
    void setDrawers(ModelDrawer* models, DeferredDrawSink* deferred) {
        modelDrawer_ = models;
        deferredSink_ = deferred;
    }
    ModelDrawer* modelDrawer() const { return modelDrawer_; }
    DeferredDrawSink* deferredSink() const { return deferredSink_; }

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
    ChangeLog& changeLog();
    std::uint64_t lastChangeStamp() const { return changes_.lastStamp; }
    // The node that took stamp s, if it is among the latest stamps and the
    // node still exists; null otherwise.
    NodeTransform* changedNode(std::uint64_t s) const;

private:
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
    std::vector<NodeTransform*> members_;
    std::unique_ptr<Part> part_;
    ModelDrawer* modelDrawer_ = nullptr;
    DeferredDrawSink* deferredSink_ = nullptr;
};

} // namespace NSNode
