// The machine's run on its own, without a scene: the snapshot store is a pair of counters.
#include <gtest/gtest.h>

#include <vector>

#include "scene/MachineRun.h"
#include "scenegraph/NodeTransform.h"

using NSScene::MachineRun;

namespace {

constexpr double kStep = NSPhysical::StepClock::kStep;

// Runs the frames and answers the seconds the observer was told, one entry a step.
std::vector<double> runFrames(MachineRun& run, const NSNode::NodeTransform& root, const std::vector<float>& frames) {
    std::vector<double> told;
    run.setStepObserver([&told](double at) { told.push_back(at); });
    for (float frame : frames)
        for (int steps = run.advance(frame); steps > 0; --steps)
            run.afterStep(&root);
    run.setStepObserver(nullptr);
    return told;
}

} // namespace

// However a second falls into frames, the machine runs the same 120 steps and the observer hears every step's
// time once, in order, counted from the start; a frame is capped, fast forward triples, a pause or a stopped
// machine adds nothing, and a new start begins at the first step again without fast forward.
TEST(MachineRun, StepsAndTheirTimesDoNotDependOnHowFramesFall) {
    const NSNode::NodeTransform root(true);
    const struct {
        const char* name;
        std::vector<float> frames;
        bool fastForward, paused;
        int steps;
    } cases[] = {{"five frames", std::vector<float>(5, 0.2f), false, false, 120},
                 {"a thousand frames", std::vector<float>(1000, 0.001f), false, false, 120},
                 {"jitter", {0.013f, 0.2f, 0.0f, 0.187f, 0.0999f, 0.1041f, 0.2f, 0.2f}, false, false, 120},
                 {"one long stall", {1.0f}, false, false, 24},
                 {"fast forward", {0.1f, 0.1f}, true, false, 72},
                 {"paused", {0.2f, 0.2f}, false, true, 0}};
    for (const auto& c : cases) {
        MachineRun run(nullptr, nullptr);
        EXPECT_TRUE(runFrames(run, root, c.frames).empty()) << c.name << ": the machine is off";
        ASSERT_TRUE(run.start(&root, false));
        run.setFastForward(c.fastForward);
        run.setPaused(c.paused);
        const std::vector<double> told = runFrames(run, root, c.frames);
        ASSERT_EQ(told.size(), static_cast<size_t>(c.steps)) << c.name;
        for (size_t i = 0; i < told.size(); ++i)
            ASSERT_DOUBLE_EQ(told[i], (i + 1) * kStep) << c.name << ", step " << i;
        EXPECT_NEAR(run.runTime(), c.steps * kStep, 1e-6) << c.name;
        EXPECT_EQ(run.clock().stepsTaken(), c.steps) << c.name;
        run.stop(&root, false);
        ASSERT_TRUE(run.start(&root, false));
        EXPECT_FALSE(run.isFastForward()) << c.name;
        EXPECT_EQ(runFrames(run, root, {0.5f * static_cast<float>(kStep), 0.5f * static_cast<float>(kStep)}),
                  std::vector<double>{kStep}) << c.name << ": a new start counts from its own first step";
    }
}

// A start takes the snapshot and refuses to run without one; a stop brings it back once, and the trace of the run
// outlives the load of the snapshot (which forgets the trace, as a load of the scene does).
TEST(MachineRun, TheSnapshotFramesEveryRunAndTheTraceOutlivesItsLoad) {
    const NSNode::NodeTransform root(true);
    const struct {
        bool snapshot, saves, loads;
        bool started, stopped;
        int saved, restored;
    } cases[] = {{true, true, true, true, true, 1, 1},
                 {true, false, true, false, true, 1, 0},
                 {true, true, false, true, false, 1, 1},
                 {false, false, false, true, true, 0, 0}};
    for (const auto& c : cases) {
        int saved = 0, restored = 0;
        MachineRun* self = nullptr;
        MachineRun run(
            [&](const std::string& name) {
                ++saved;
                return name == MachineRun::kSnapshotName && c.saves;
            },
            [&](const std::string& name) {
                ++restored;
                self->trace().clear();
                return name == MachineRun::kSnapshotName && c.loads;
            });
        self = &run;
        EXPECT_EQ(run.start(&root, c.snapshot), c.started);
        EXPECT_EQ(run.isRunning(), c.started);
        run.trace().addMark(1, 2, Vector3());
        if (c.started) {
            EXPECT_EQ(run.stop(&root, c.snapshot), c.stopped);
            EXPECT_FALSE(run.isRunning());
            EXPECT_EQ(run.trace().getMarks().size(), 1u) << "the run's trace shows after the stop";
        }
        EXPECT_EQ(std::make_pair(saved, restored), std::make_pair(c.saved, c.restored));
    }
}
