#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

#include "persistence/FileScratch.h"
#include "persistence/RecordIO.h"
#include "scenegraph/ControllerNode.h"
#include "scenegraph/NodeTransform.h"
#include "support/GlContext.h"
#include "support/LogCapture.h"

using NSNode::BoundingVolume;
using NSNode::ControllerNode;
using NSNode::HitResult;
using NSNode::NodeTransform;
using NSSerialize::SerialStream;
using NSSerialize::Serializeable;
using qbntest::Bytes;

namespace {

void expectNear(const Vector3& e, const Vector3& a) {
    EXPECT_TRUE(std::fabs(e.x - a.x) < 1e-4f && std::fabs(e.y - a.y) < 1e-4f && std::fabs(e.z - a.z) < 1e-4f)
        << "expected (" << e.x << ", " << e.y << ", " << e.z << "), got (" << a.x << ", " << a.y << ", " << a.z << ")";
}

void expectMatrixNear(const Matrix4& expected, const Matrix4& actual) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(expected.m[i], actual.m[i], 1e-5f) << "element " << i;
}

ControllerNode& registry() { return ControllerNode::inUse(); }

NodeTransform* ball(const Vector3& p, float radius = 1.0f, bool registered = true) {
    NodeTransform* n = new NodeTransform(true);
    n->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), radius));
    n->setPosition(p);
    if (registered)
        n->registerForHits();
    return n;
}

// Every test leaves the shared registry as it found it.
class NodeTransformTest : public ::testing::Test {
protected:
    void SetUp() override {
        registeredBefore = registry().nodes().size();
        registry().clearHits();
        ASSERT_TRUE(dir.ok());
    }
    void TearDown() override {
        EXPECT_EQ(registeredBefore, registry().nodes().size()) << "a destroyed node stayed registered";
        registry().clearHits();
    }
    Bytes write(NodeTransform& node) {
        SerialStream out(dir.path("node.bin"), true);
        NSSerialize::writeElement(out, "[nodO]", node);
        EXPECT_TRUE(out.close());
        return qbntest::readFileBytes(dir.path("node.bin"));
    }
    std::unique_ptr<NodeTransform> read(const Bytes& bytes) {
        qbntest::writeFileBytes(dir.path("node.bin"), bytes);
        SerialStream in(dir.path("node.bin"), false);
        std::unique_ptr<NodeTransform> node(NSSerialize::readElement<NodeTransform>(in));
        EXPECT_TRUE(!node || !in.failed());
        return node;
    }
    size_t registeredBefore = 0;
    qbntest::ScratchDir dir;
};

} // namespace

TEST_F(NodeTransformTest, WorldDataGoesThroughEveryParent) {
    NodeTransform root(true);
    root.setPosition(Vector3(10, 0, 0));
    root.setRotation(Vector3(0, 0, 1.5707963f));
    root.setScale(2);
    NodeTransform* child = new NodeTransform(true);
    root.addChild(child);
    child->setPosition(Vector3(1, 0, 0));
    child->setRotation(Vector3(0, 0, 1.5707963f));
    expectNear(Vector3(10, 2, 0), child->worldPosition());
    expectNear(Vector3(8, 2, 0), child->worldMatrix().transformPoint(Vector3(1, 0, 0)));
    expectMatrixNear(Matrix4::rotationZ(3.1415927f), child->worldRotation());
    expectNear(Vector3(10, 0, 0), root.worldPosition());
}

TEST_F(NodeTransformTest, LowestPointFollowsVolumesAndScale) {
    NodeTransform n(true);
    EXPECT_FLOAT_EQ(0.0f, n.lowestPointOffset()); // empty volume
    n.setPosition(Vector3(5, 50, 5));
    n.setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(0, -1, 0), Vector3(2, 4, 2)));
    EXPECT_NEAR(-3.0f, n.lowestPointOffset(), 1e-5f);
    n.setScale(2);
    EXPECT_NEAR(-6.0f, n.lowestPointOffset(), 1e-5f);
    n.setScale(1);
    n.setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(0, 5, 0), 3)); // wholly above the origin
    EXPECT_FLOAT_EQ(0.0f, n.lowestPointOffset());
    n.getBoundingVolume()->addVolume(new BoundingVolume::Sphere(Vector3(0, 1, 0), 3));
    EXPECT_NEAR(-2.0f, n.lowestPointOffset(), 1e-5f);
}

TEST_F(NodeTransformTest, HitTestsTryDisplacementsAndRecordTouchingPairs) {
    std::unique_ptr<NodeTransform> alone(ball(Vector3(50, 50, 50)));
    EXPECT_FALSE(alone->hitTestAll(Vector3()).hit); // the only registered node

    std::unique_ptr<NodeTransform> mover(ball(Vector3()));
    std::unique_ptr<NodeTransform> ghost(ball(Vector3(0, 1, 0), 1, false)); // never registered
    std::unique_ptr<NodeTransform> right(ball(Vector3(2.5f, 0, 0))), left(ball(Vector3(-1.5f, 0, 0)));
    EXPECT_FALSE(mover->hitTest(right.get(), Vector3(0.5f, 0, 0)).hit); // touching
    HitResult r = mover->hitTest(right.get(), Vector3(1, 0, 0));
    EXPECT_TRUE(r.hit);
    expectNear(Vector3(-1, 0, 0), r.normalB);
    EXPECT_EQ(Vector3(), mover->getPosition()); // only a trial
    ASSERT_EQ(1u, registry().hits().size());
    EXPECT_EQ(std::make_pair(mover->getId(), right->getId()), registry().hits()[0]);
    registry().clearHits();

    // The first hit in registration order ends the search; only it is recorded.
    r = mover->hitTestAll(Vector3(1, 0, 0));
    expectNear(Vector3(-1, 0, 0), r.normalB);
    EXPECT_EQ(1u, registry().hits().size());
    right->unregisterForHits();
    EXPECT_FALSE(mover->hitTestAll(Vector3(1, 0, 0)).hit);
    expectNear(Vector3(1, 0, 0), mover->hitTestAll(Vector3(-1, 0, 0)).normalB); // left
    left.reset(); // destruction unregisters
    EXPECT_FALSE(mover->hitTestAll(Vector3()).hit);
    EXPECT_TRUE(mover->hitTestAll(Vector3(49, 50, 50)).hit);
    registry().clearHits();

    // Volumes away from their node's origin meet where the nodes put them,
    // and the quick rejection must not hide that.
    std::unique_ptr<NodeTransform> offsetA(ball(Vector3(-100, 0, 0))), offsetB(ball(Vector3(100, 0, 0)));
    offsetA->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(100, 0, 0), 1));
    offsetB->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(-100, 0, 0), 1));
    EXPECT_TRUE(offsetA->hitTest(offsetB.get(), Vector3(1, 0, 0)).hit);
    EXPECT_FALSE(offsetA->hitTest(offsetB.get(), Vector3(0, 5, 0)).hit);
}

TEST_F(NodeTransformTest, IdsStayAboveEveryIdSeen) {
    const int first = registry().nextId();
    EXPECT_EQ(first + 1, registry().nextId());
    NodeTransform n(true);
    EXPECT_EQ(first + 2, n.getId());
    n.setId(first + 100);
    EXPECT_EQ(first + 101, NodeTransform(true).getId());
    registry().noteId(first); // lower ids change nothing
    EXPECT_EQ(first + 102, registry().nextId());
}

// A node added under a parent of another world moves there with its subtree: the nodes registered for hits are in
// the new world's list and gone from the old one's, ids the new world does not hold stay, a taken one is replaced.
TEST_F(NodeTransformTest, ANodeAddedUnderAnotherWorldMovesThereWithItsSubtree) {
    ControllerNode other;
    std::unique_ptr<NodeTransform> top;
    {
        ControllerNode::Use use(other);
        top.reset(ball(Vector3())); // id 1 there
    }
    NodeTransform* taken = ball(Vector3()); // id 1 here too
    NodeTransform* node = ball(Vector3(5, 0, 0));
    NodeTransform* child = ball(Vector3(0, 5, 0));
    node->addChild(child);
    const int kept[2] = {node->getId(), child->getId()};
    top->addChild(node);
    top->addChild(taken);
    const struct { NodeTransform* n; int id; } rows[] = {{node, kept[0]}, {child, kept[1]}, {taken, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(&row.n->world(), &other);
        EXPECT_TRUE(row.n->isRegistered());
        EXPECT_TRUE(row.id == 0 || row.n->getId() == row.id) << row.id;
    }
    EXPECT_NE(taken->getId(), 1) << "two nodes of one world hold id 1";
    EXPECT_NE(taken->getId(), kept[0]);
    EXPECT_NE(taken->getId(), kept[1]);
    EXPECT_EQ(other.nodes().size(), 4u);
    EXPECT_TRUE(registry().nodes().empty());
    EXPECT_TRUE(top->hitTestAll(Vector3()).hit) << "the moved nodes are hit-tested in their new world";
}

TEST_F(NodeTransformTest, ClonesAreDeepWithFreshIdsAndNoParent) {
    NodeTransform root(true);
    NodeTransform* original = ball(Vector3(1, 2, 3));
    root.addChild(original);
    original->setRotation(Vector3(0.1f, 0.2f, 0.3f));
    original->setScale(2);
    original->setShowVolume(true);
    original->setDeferredDraw(true);
    original->addChild(new NodeTransform(true));
    original->getChildren()[0]->addChild(new NodeTransform(true));
    original->addChild(new NodeTransform(true));

    std::unique_ptr<NodeTransform> copy(dynamic_cast<NodeTransform*>(original->clone()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(nullptr, copy->getParent());
    EXPECT_TRUE(copy->getShowVolume() && copy->isDeferredDraw() && copy->isRegistered());
    expectMatrixNear(original->getRotationMatrix(), copy->getRotationMatrix());
    EXPECT_NE(original->getBoundingVolume(), copy->getBoundingVolume());
    // Same record apart from the ids.
    std::set<int> ids;
    auto collect = [&](NodeTransform* n, auto& self) -> void {
        ids.insert(n->getId());
        n->setId(0);
        for (NodeTransform* c : n->getChildren())
            self(c, self);
    };
    collect(original, collect);
    collect(copy.get(), collect);
    EXPECT_EQ(8u, ids.size()) << "every node has an id of its own";
    EXPECT_EQ(write(*original), write(*copy));
    EXPECT_EQ(copy.get(), copy->getChildren()[0]->getParent());
}

TEST_F(NodeTransformTest, TreesRoundTripWithTheirIdsAndRaiseTheLastId) {
    std::unique_ptr<NodeTransform> root(new NodeTransform(true));
    root->setId(registry().nextId() + 500);
    root->setPosition(Vector3(1, 2, 3));
    root->setRotation(Vector3(0.5f, 0, 7));
    root->setScale(1.5f);
    root->setBoundingVolume(BoundingVolume::makeRoomVolume(Vector3(), Vector3(20, 20, 20)));
    root->setDeferredDraw(true);
    root->addChild(ball(Vector3(4, 0, 0), 2));
    root->getChildren()[0]->addChild(new NodeTransform(true));
    const Bytes bytes = write(*root);
    const int rootId = root->getId();
    root.reset();

    std::unique_ptr<NodeTransform> back = read(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(bytes, write(*back));
    EXPECT_EQ(rootId, back->getId());
    ASSERT_EQ(1u, back->getChildren().size());
    EXPECT_EQ(back.get(), back->getChildren()[0]->getParent());
    EXPECT_TRUE(back->getChildren()[0]->isRegistered());
    EXPECT_GT(registry().nextId(), rootId);
}

// Once a damaged file has raised the ids to the top of their range, new and
// renumbered ids stay in it, unused, and a tree read, written and read again
// keeps its ids (in a child process: the raised ids would outlive the test).
TEST_F(NodeTransformTest, IdsAtTheTopOfTheirRangeStayInItAndRoundTrip) {
    auto child = [this] {
        std::unique_ptr<NodeTransform> tree(ball(Vector3()));
        tree->addChild(ball(Vector3(5, 0, 0)));
        tree->getChildren()[0]->addChild(ball(Vector3(9, 0, 0)));
        std::vector<NodeTransform*> nodes{tree.get(), tree->getChildren()[0], tree->getChildren()[0]->getChildren()[0]};
        registry().noteId(SerialStream::kMaxNodeId - 1);
        nodes[0]->setId(SerialStream::kMaxNodeId); // held
        nodes[1]->setId(-1);                       // out of range
        nodes[2]->setId(SerialStream::kMaxNodeId); // held twice
        std::map<int, int> renumbered;
        const int changed = registry().settleIds(tree.get(), renumbered);
        const Bytes first = write(*tree);
        std::unique_ptr<NodeTransform> back = read(first);
        std::map<int, int> again;
        const bool stable = back && registry().settleIds(back.get(), again) == 0 && write(*back) == first;
        std::set<int> ids;
        for (NodeTransform* n : nodes)
            if (n->getId() >= 1 && n->getId() <= SerialStream::kMaxNodeId)
                ids.insert(n->getId());
        const int fresh = registry().nextId();
        std::exit(changed == 2 && stable && ids.size() == 3 && !ids.count(fresh) && fresh >= 1 ? 0 : 1);
    };
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a fresh process: no other test's nodes
    EXPECT_EXIT(child(), testing::ExitedWithCode(0), "");
}

TEST_F(NodeTransformTest, DamagedTreesFailWithoutLeavingNodesRegistered) {
    std::unique_ptr<NodeTransform> root(ball(Vector3()));
    root->addChild(ball(Vector3(1, 1, 1)));
    root->getChildren()[0]->addChild(ball(Vector3(2, 2, 2)));
    const Bytes whole = write(*root);
    root.reset();
    qbntest::LogCapture quiet;
    for (size_t n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(read(Bytes(whole.begin(), whole.begin() + long(n)))) << "cut at " << n;
    for (size_t i = 0; i < whole.size(); ++i) { // flipped bits: whole nodes or none
        Bytes bytes = whole;
        bytes[i] ^= 0x80;
        read(bytes);
    }
}
