#pragma once
// The tree under both the scene graph and the window items. A node owns its
// children. Structural changes made while the tree may be traversed are
// queued (addChildLater, removeLater) and applied once per frame by
// applyPendingChanges on the root.

#include <algorithm>
#include <vector>

namespace NSNode {

template <class T>
class Node {
public:
    Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    virtual T* self() = 0;

    virtual ~Node() {
        destroyChildren();
        if (queuedIn)
            queuedIn->forgetQueued(this);
        if (parent)
            asNode(parent)->unlink(this);
    }

    // Hook called when a queued add attaches this node to its parent.
    virtual void onAttach() {}
    virtual T* setParent(T* p) {
        parent = p;
        return p;
    }
    virtual int setId(int newId) {
        id = newId;
        return newId;
    }

    int getId() const { return id; }
    T* getParent() const { return parent; }
    const std::vector<T*>& getChildren() const { return children; }
    bool isClean() const { return clean; }

    // This node or the first below it (depth first) with this id, or null.
    T* findById(int wanted) {
        if (id == wanted)
            return self();
        for (T* child : children)
            if (T* found = asNode(child)->findById(wanted))
                return found;
        return nullptr;
    }

    // Attaches child at once; onAttach is not called.
    void addChild(T* child) {
        children.push_back(child);
        asNode(child)->setParent(self());
    }

    // Unlinks every entry equal to child without destroying it.
    void removeChild(T* child) { unlink(asNode(child)); }

    // Queues node for attachment; this node owns it from now on.
    void addChildLater(T* node) {
        Node* n = asNode(node);
        if (n->queuedIn)
            n->queuedIn->forgetQueued(n);
        pendingAdds.push_back(node);
        n->queuedIn = this;
        markDirty();
    }

    // Queues this node for destruction by its parent. A node without a parent
    // (also one still waiting in a queue) is destroyed at once.
    void removeLater() {
        if (parent) {
            Node* p = asNode(parent);
            p->pendingRemovals.push_back(id);
            p->markDirty();
        } else {
            delete this;
        }
    }

    void applyPendingChanges() {
        if (clean)
            return;
        // Take the queues first: anything queued while they are applied
        // (by onAttach or a destructor) waits for the next frame.
        std::vector<T*> adds;
        std::vector<int> removals;
        adds.swap(pendingAdds);
        removals.swap(pendingRemovals);
        clean = true;

        for (T* node : adds) {
            Node* n = asNode(node);
            n->queuedIn = nullptr;
            children.push_back(node);
            n->setParent(self());
            n->onAttach();
        }
        for (size_t r = removals.size(); r-- > 0;) {
            for (size_t i = children.size(); i-- > 0;) {
                if (asNode(children[i])->id == removals[r]) {
                    delete asNode(children[i]);
                    break;
                }
            }
        }
        // A child's own changes may destroy grandchildren but never touch this list.
        for (size_t i = 0; i < children.size(); ++i)
            asNode(children[i])->applyPendingChanges();
        if (!pendingAdds.empty() || !pendingRemovals.empty())
            clean = false;
    }

    // Destroys every child and every queued node.
    void clear() {
        destroyChildren();
        clean = true;
    }

protected:
    int id = -1;

private:
    static Node* asNode(T* t) { return static_cast<Node*>(t); }

    // Compares as Node so that it also works while a child is being destroyed.
    void unlink(Node* child) {
        for (size_t i = children.size(); i-- > 0;) {
            if (asNode(children[i]) == child) {
                children.erase(children.begin() + static_cast<long>(i));
                child->setParent(nullptr);
            }
        }
    }

    void markDirty() {
        for (Node* n = this; n; n = n->parent ? asNode(n->parent) : nullptr)
            n->clean = false;
    }

    void forgetQueued(Node* n) {
        auto it = std::find_if(pendingAdds.begin(), pendingAdds.end(),
                               [n](T* queued) { return asNode(queued) == n; });
        if (it != pendingAdds.end())
            pendingAdds.erase(it);
        n->queuedIn = nullptr;
    }

    void destroyChildren() {
        std::vector<T*> old;
        old.swap(children);
        for (T* child : old) {
            asNode(child)->setParent(nullptr);
            delete asNode(child);
        }
        pendingRemovals.clear();
        std::vector<T*> queued;
        queued.swap(pendingAdds);
        for (T* node : queued) {
            asNode(node)->queuedIn = nullptr;
            delete asNode(node);
        }
    }

    std::vector<T*> children;
    T* parent = nullptr;
    bool clean = true;
    std::vector<int> pendingRemovals;
    std::vector<T*> pendingAdds;
    // The node whose pendingAdds holds this one, so that destroying a queued
    // node never leaves a dangling entry behind.
    Node* queuedIn = nullptr;
};

} // namespace NSNode
