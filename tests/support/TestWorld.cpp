// Every test runs in a world of its own: node ids, touching pairs and the
// contact search start afresh, whatever the test before it left behind
// (the broad phase switched off, say). Scenes a test makes have their own.
#include <gtest/gtest.h>

#include <memory>

#include "scenegraph/ControllerNode.h"

namespace {

class TestWorld : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        world = std::make_unique<NSNode::ControllerNode>();
        use = std::make_unique<NSNode::ControllerNode::Use>(*world);
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        use.reset();
        world.reset();
    }
    std::unique_ptr<NSNode::ControllerNode> world;
    std::unique_ptr<NSNode::ControllerNode::Use> use;
};

const bool installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new TestWorld);
    return true;
}();

} // namespace
