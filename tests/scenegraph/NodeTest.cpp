#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scenegraph/Node.h"

namespace {

std::vector<std::string> journal; // what happened, in order

struct TestNode : NSNode::Node<TestNode> {
    explicit TestNode(int nodeId, std::string name = "") : name(std::move(name)) { setId(nodeId); }
    ~TestNode() override { journal.push_back("destroy " + name); }
    TestNode* self() override { return this; }
    void onAttach() override { journal.push_back("attach " + name); }
    std::string name;
};

class Tree : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
};

std::vector<std::string> names(const TestNode& node) {
    std::vector<std::string> out;
    for (TestNode* c : node.getChildren())
        out.push_back(c->name);
    return out;
}

} // namespace

TEST_F(Tree, QueuedAddsAppearOnlyWhenAppliedInQueueOrder) {
    TestNode root(0, "root");
    auto* a = new TestNode(1, "a");
    auto* b = new TestNode(2, "b");
    root.addChildLater(a);
    root.addChildLater(b);
    EXPECT_TRUE(root.getChildren().empty());
    EXPECT_FALSE(root.isClean());

    root.applyPendingChanges();
    EXPECT_EQ(names(root), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(a->getParent(), &root);
    EXPECT_TRUE(root.isClean());
    EXPECT_EQ(journal, (std::vector<std::string>{"attach a", "attach b"}));
}

// A node removed twice is destroyed once; one without a parent at once.
TEST_F(Tree, RemovalsDestroyOnceAndNodesWithoutParentAtOnceLeavingNoQueueEntryBehind) {
    TestNode root(0, "root");
    auto* a = new TestNode(1, "a");
    root.addChild(a);
    a->removeLater();
    a->removeLater();
    root.applyPendingChanges();
    auto* loose = new TestNode(5, "loose");
    loose->removeLater();
    EXPECT_EQ(journal, (std::vector<std::string>{"destroy a", "destroy loose"}));

    // A node still waiting in a queue has no parent yet: removing it must
    // also take it out of the queue.
    auto* queued = new TestNode(2, "queued");
    auto* kept = new TestNode(3, "kept");
    root.addChildLater(queued);
    root.addChildLater(kept);
    queued->removeLater();
    // A queued add and a removal in one frame apply in one pass.
    auto* old = new TestNode(4, "old");
    root.addChild(old);
    old->removeLater();
    root.applyPendingChanges();
    EXPECT_EQ(names(root), (std::vector<std::string>{"kept"}));
}

TEST_F(Tree, DestructionTakesTheSubtreeAndQueuedNodesAndUnlinksFromTheParent) {
    TestNode root(0, "root");
    auto* mid = new TestNode(1, "mid");
    root.addChild(mid);
    mid->addChild(new TestNode(2, "x"));
    mid->addChildLater(new TestNode(3, "never attached"));
    delete mid;
    EXPECT_TRUE(root.getChildren().empty());
    EXPECT_EQ(journal, (std::vector<std::string>{"destroy mid", "destroy x", "destroy never attached"}));

    journal.clear();
    root.addChild(new TestNode(4, "p"));
    root.addChildLater(new TestNode(5, "q"));
    root.clear();
    EXPECT_TRUE(root.getChildren().empty());
    EXPECT_TRUE(root.isClean());
    EXPECT_EQ(journal, (std::vector<std::string>{"destroy p", "destroy q"}));
}
