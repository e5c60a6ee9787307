#include "scene/Scene.h"

#include <algorithm>

#include "physics/ControllerPhysics.h"
#include "scene/CameraRoom.h"
#include "scene/SceneButton.h"
#include "scene/SceneSupport.h"
#include "scenegraph/ControllerNode.h"
#include "shell/Log.h"

using NSNode::NodeGraphic;
using NSNode::NodeTransform;

namespace NSScene {

Scene* Scene::of(const NSNode::ControllerNode& world) { return dynamic_cast<Scene*>(world.modelDrawer()); }

Scene::Scene()
    : WindowItem(true), run([this](const std::string& name) { return saveScene(name); },
                            [this](const std::string& name) { return loadScene(name); }) {
    NSNode::ControllerNode::Use use(world_);
    root = new NodeTransform(true);
    world_.setDrawers(this, this);
    addSceneButtons(*this);
}

Scene::~Scene() {
    selected = nullptr;
    hovered = nullptr;
    deferred.clear();
    delete root;
    root = nullptr;
    world_.setDrawers(nullptr, nullptr);
}

// --- objects and selection ---------------------------------------------------

void Scene::addObject(NodeTransform* node) {
    if (node)
        root->addChildLater(node);
}

void Scene::removeObject(NodeTransform* node) {
    if (!node || node == root)
        return;
    if (selected == node)
        selected = nullptr;
    if (hovered == node) {
        hovered = nullptr;
        handles.forgetHover();
    }
    node->removeLater();
}

void Scene::select(NodeTransform* node) {
    if (selected)
        selected->setSelected(false);
    NodeGraphic* previous = selected;
    selected = dynamic_cast<NodeGraphic*>(node);
    if (selected != previous) {
        handles.cancel();
        logSelection(selected);
    }
    if (selected)
        selected->setSelected(true);
}

NodeTransform* Scene::findNode(int id) const { return root->findById(id); }

void Scene::forgetNode(NodeTransform* node) {
    if (selected == node) {
        selected = nullptr;
        handles.cancel();
    }
    if (hovered == node) {
        hovered = nullptr;
        handles.forgetHover();
    }
}

// --- the machine -------------------------------------------------------------

bool Scene::setRunning(bool on, bool snapshot) {
    if (on == run.isRunning())
        return true;
    if (on)
        return run.start(root, snapshot);
    const bool hadSelection = selected != nullptr;
    const int selectedId = hadSelection ? selected->getId() : 0;
    if (!run.stop(root, snapshot)) {
        popUp("Scene could not be loaded");
        return true;
    }
    if (snapshot && hadSelection)
        select(findNode(selectedId));
    return true;
}

void Scene::update() {
    const float dtSim = run.lap();
    const float dtCam = cameraTimer.lap();
    step(dtSim, dtCam);
}

bool Scene::wantsContinuousFrames() const {
    const Vector3 zero;
    const Camera& c = view();
    return (run.isRunning() && !run.isPaused()) || c.getRotationSpeed() != 0.0f || c.getZoomSpeed() != 0.0f ||
           !(c.getSlideVelocity() == zero) || WindowItem::wantsContinuousFrames();
}

void Scene::step(float dtSim, float dtCam) {
    // The contacts of this frame's steps, read by the sound after them.
    NSPhysical::ControllerPhysics::of(world_).clearContacts();
    const bool running = run.isRunning();
    dtCam = cappedFrameTime(dtCam, kMaxFrameTime);
    // While the machine runs the camera is carried along with the selected
    // object: it moves as far as the object moved, so the view does not
    // jump to the object when the machine starts.
    if (running && selected) {
        const Vector3 at = selected->worldPosition();
        if (carrier == selected)
            camera.slide(at - carriedFrom);
        carrier = selected;
        carriedFrom = at;
    } else {
        carrier = nullptr;
    }
    camera.update(dtCam);
    keepCameraInRoom(camera, root);
    if (overview)
        overviewCamera.update(dtCam);
    if (!running) {
        root->applyPendingChanges();
        return;
    }
    // The touching pairs are those of one step, checked after each.
    const int steps = run.advance(dtSim);
    const float dt = NSPhysical::StepClock::kStep;
    // Nodes made during the steps (particles) join the scene's world.
    NSNode::ControllerNode::Use use(world_);
    for (int i = 0; i < steps; ++i) {
        world_.putInTreeOrder();
        world_.clearHits();
        root->simulate(dt);
        root->finishStep(dt);
        root->applyPendingChanges();
        run.afterStep(root);
    }
    if (steps == 0)
        root->applyPendingChanges();
}

void Scene::setOverview(bool on) {
    if (on == overview)
        return;
    overview = on;
    if (on) {
        const float height = static_cast<float>(std::max(1, screenArea.height));
        overviewCamera = fitOverview(root, static_cast<float>(std::max(1, screenArea.width)) / height);
    }
    log(LOG_GAME, "Scene: overview %s\n", on ? "on" : "off");
}

void Scene::forgetNodes() {
    selected = nullptr;
    hovered = nullptr;
    handles.forgetHover();
    handles.cancel();
    deferred.clear();
}

void Scene::clearScene() {
    if (selected)
        selected->setSelected(false);
    forgetNodes();
    run.trace().clear();
    overview = false;
    root->clear();
}

void Scene::adopt(NodeTransform* newRoot, const Camera& newCamera) {
    forgetNodes();
    run.trace().clear();
    NodeTransform* old = root;
    root = newRoot;
    delete old;
    camera.copyPose(newCamera);
}

} // namespace NSScene
