#include "scene/MachineRun.h"

#include "scene/SceneFiles.h"
#include "scene/SceneSupport.h"
#include "scenegraph/NodeTransform.h"
#include "shell/Log.h"

using NSNode::BoundingVolume;
using NSNode::NodeTransform;

namespace NSScene {

MachineRun::MachineRun(Store save, Store restore) : save(std::move(save)), restore(std::move(restore)) {}

bool MachineRun::start(const NSNode::NodeTransform* root, bool snapshot) {
    // Without a snapshot a stop could not bring the layout back.
    if (snapshot && !(save && save(kSnapshotName))) {
        log(LOG_ERROR, "Scene: the machine stays off, the snapshot \"%s\" could not be saved\n",
            sceneFilePath(kSnapshotName).c_str());
        popUp("Scene could not be saved");
        return false;
    }
    fastForward = false;
    seconds = 0.0;
    stepsRun = 0;
    stepClock.reset();
    timer.restart();
    running = true;
    runTrace.begin(root);
    log(LOG_GAME, "Scene: the machine runs\n");
    return true;
}

bool MachineRun::stop(const NSNode::NodeTransform* root, bool snapshot) {
    running = false;
    timer.pause();
    runTrace.finish(root);
    log(LOG_GAME, "Scene: the machine stops\n");
    if (!snapshot)
        return true;
    // The snapshot's load forgets the run's trace, which is to show now.
    RunTrace kept = std::move(runTrace);
    const bool restored = restore && restore(kSnapshotName);
    runTrace = std::move(kept);
    return restored;
}

void MachineRun::discard() {
    if (!running)
        return;
    running = false;
    fastForward = false;
    timer.pause();
    runTrace.clear();
    log(LOG_GAME, "Scene: the machine stops; the loaded scene replaces the run\n");
}

void MachineRun::setPaused(bool paused) {
    if (paused)
        timer.pause();
    else
        timer.restart();
}

int MachineRun::advance(float frameTime) {
    // Whole fixed steps: the frame's time is carried over until it makes one.
    return stepClock.advance((running && !isPaused()) ? cappedFrameTime(frameTime, kMaxFrameTime) : 0.0f,
                             fastForward);
}

void MachineRun::afterStep(const NSNode::NodeTransform* root) {
    seconds += NSPhysical::StepClock::kStep;
    ++stepsRun;
    runTrace.afterStep(root, stepsRun);
    if (stepObserver)
        stepObserver(static_cast<double>(stepsRun) * NSPhysical::StepClock::kStep);
}

void MachineRun::noteGoalTouch(NodeTransform& root, int idA, int idB) {
    NodeTransform* a = root.findById(idA);
    NodeTransform* b = root.findById(idB);
    if (!a || !b)
        return;
    // A room or another unbounded body counts as the larger.
    auto reach = [](NodeTransform* node) {
        BoundingVolume* volume = node->getBoundingVolume();
        if (!volume || volume->isUnbounded())
            return 1e30f;
        volume->setTransform(node->worldMatrix());
        return volume->getOuterSphere().getWorldRadius();
    };
    runTrace.addMark(idA, idB, (reach(a) <= reach(b) ? a : b)->worldPosition());
}

} // namespace NSScene
