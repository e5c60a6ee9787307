// More moving bodies than the trace takes paths for, over a long run: it keeps to its bound, and each path
// still runs from where its body started to where it ended.
#include <gtest/gtest.h>

#include "physics/NodePhysical.h"
#include "scene/RunTrace.h"

using NSScene::RunTrace;

TEST(RunTrace, ThousandsOfBodiesOverALongRunStayWithinItsBound) {
    NSNode::NodeTransform root(true);
    for (size_t i = 0; i < 4096 + 500; ++i) {
        auto* body = new NSNode::NodePhysical(true);
        body->setPhysical(true, false, 1.0f, 1.0f, 0.0f, false);
        body->setPosition(Vector3(static_cast<float>(i), 0, 0));
        root.addChild(body);
    }
    RunTrace trace;
    trace.begin(&root);
    const int steps = 301; // the last one is no sampling step: the stop takes the end
    for (int step = 1; step <= steps; ++step) {
        for (NSNode::NodeTransform* body : root.getChildren())
            body->translate(Vector3(0, 1, 0));
        trace.afterStep(&root, step);
    }
    trace.finish(&root);
    ASSERT_EQ(trace.getPaths().size(), 4096u);
    EXPECT_LE(trace.pointCount(), 16384u);
    EXPECT_GT(trace.pointCount(), 16384u / 4);
    for (const RunTrace::Path& p : trace.getPaths())
        ASSERT_TRUE(p.points.front() == Vector3(p.points.back().x, 0, 0) && p.points.back().y == steps) << p.id;
}

// A goal pair's star stands where the two first touched, once per run whichever way round they are named.
TEST(RunTrace, AGoalPairIsMarkedOncePerRun) {
    RunTrace trace;
    const struct { int a, b; size_t marks; } touches[] = {{1, 2, 1}, {1, 2, 1}, {2, 1, 1}, {3, 1, 2}};
    for (const auto& t : touches) {
        trace.addMark(t.a, t.b, Vector3(float(t.a), float(t.b), 0));
        EXPECT_EQ(trace.getMarks().size(), t.marks) << t.a << "-" << t.b;
    }
    EXPECT_TRUE(trace.getMarks()[0] == Vector3(1, 2, 0)) << "where they first touched";
}
