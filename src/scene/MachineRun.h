#pragma once
// The machine's run: whether it runs, the snapshot of the layout taken at
// its start and brought back at its stop (so a run never changes the
// layout), the step clock (whole fixed steps, fast forward, simulated
// seconds), the observer called after every step and the trace of the run.
// It knows the scene only through its root and the two snapshot stores.
#include <functional>
#include <string>

#include "physics/StepClock.h"
#include "scene/RunTrace.h"
#include "shell/Timer.h"

namespace NSNode {
class NodeTransform;
}

namespace NSScene {

class MachineRun {
public:
    // The longest time a frame may add to the machine.
    static constexpr float kMaxFrameTime = 0.2f;
    // The name of the snapshot.
    static constexpr const char* kSnapshotName = "_current";
    // Keeps the layout under a name, or brings it back; true when it worked.
    using Store = std::function<bool(const std::string& name)>;
    // Called after every step with the simulated seconds since the start.
    using StepObserver = std::function<void(double simulatedSeconds)>;

    MachineRun(Store save, Store restore);

    // Takes the snapshot first (unless told not to) and refuses to run, with
    // a message, when it cannot be saved; then runs from a fresh clock,
    // without fast forward, recording the trace from root.
    bool start(const NSNode::NodeTransform* root, bool snapshot);
    // Finishes the trace on root and, with snapshot, brings the layout back
    // (the trace survives the load). False when the snapshot could not be
    // loaded.
    bool stop(const NSNode::NodeTransform* root, bool snapshot);
    // Ends a run without bringing the snapshot back; the trace goes.
    void discard();
    // A load has replaced the scene: it no longer runs, nothing else changes.
    void endedByLoad() { running = false; }
    bool isRunning() const { return running; }

    void setPaused(bool paused);
    bool isPaused() const { return timer.isPaused(); }
    void setFastForward(bool on) { fastForward = on; }
    bool isFastForward() const { return fastForward; }
    // Seconds since the last frame, as the machine's timer reads them.
    float lap() { return timer.lap(); }
    // A frame of frameTime seconds (capped at kMaxFrameTime): how many
    // whole fixed steps the machine owes now; none unless it runs unpaused.
    int advance(float frameTime);
    // Each step run: the time, the trace and the observer follow it.
    void afterStep(const NSNode::NodeTransform* root);

    // Simulated seconds since the start.
    double runTime() const { return seconds; }
    const NSPhysical::StepClock& clock() const { return stepClock; }
    void setStepObserver(StepObserver observer) { stepObserver = std::move(observer); }
    // Recorded from the start, shown after the stop, forgotten at the next
    // start, a load or an edit.
    RunTrace& trace() { return runTrace; }
    const RunTrace& trace() const { return runTrace; }
    // Two objects of a goal touched: a mark in the trace at the smaller
    // one's centre.
    void noteGoalTouch(NSNode::NodeTransform& root, int idA, int idB);

private:
    Store save;
    Store restore;
    bool running = false;
    bool fastForward = false;
    double seconds = 0.0;
    long long stepsRun = 0;
    Timer timer{true, kMaxFrameTime};
    NSPhysical::StepClock stepClock;
    StepObserver stepObserver;
    RunTrace runTrace;
};

} // namespace NSScene
