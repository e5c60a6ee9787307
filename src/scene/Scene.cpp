#include "scene/Scene.h"

#include <GL/gl.h>

#include <algorithm>

#include "physics/ControllerPhysics.h"
#include "scene/CameraRoom.h"
#include "scene/RotateTorus.h"
#include "scene/SceneButton.h"
#include "scene/SceneSupport.h"
#include "scene/TranslatePfeil.h"
#include "scenegraph/ControllerNode.h"
#include "shell/Log.h"

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSNode::NodeTransform;

namespace NSScene {

namespace {

float frameTime(float dt) {
    if (!(dt > 0.0f))
        return 0.0f;
    return std::min(dt, Scene::kMaxFrameTime);
}

} // namespace

Scene* Scene::of(const NSNode::ControllerNode& world) { return dynamic_cast<Scene*>(world.modelDrawer()); }

Scene::Scene() : WindowItem(true) {
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
        hoveredGizmo = 0;
    }
    node->removeLater();
}

void Scene::select(NodeTransform* node) {
    if (selected)
        selected->setSelected(false);
    NodeGraphic* previous = selected;
    selected = dynamic_cast<NodeGraphic*>(node);
    if (selected != previous) {
        translating = false;
        rotating = false;
        logSelection(selected);
    }
    if (selected)
        selected->setSelected(true);
}

NodeTransform* Scene::findNode(int id) const { return root->findById(id); }

void Scene::forgetNode(NodeTransform* node) {
    if (selected == node) {
        selected = nullptr;
        translating = false;
        rotating = false;
    }
    if (hovered == node) {
        hovered = nullptr;
        hoveredGizmo = 0;
    }
}

// --- the machine -------------------------------------------------------------

bool Scene::setRunning(bool run, bool snapshot) {
    if (run == running)
        return true;
    if (run) {
        // Without a snapshot a stop could not bring the layout back.
        if (snapshot && !saveScene(kSnapshotName)) {
            log(LOG_ERROR, "Scene: the machine stays off, the snapshot \"%s\" could not be saved\n",
                sceneFilePath(kSnapshotName).c_str());
            popUp("Scene could not be saved");
            return false;
        }
        fastForward = false;
        runTime = 0.0;
        stepClock.reset();
        simulationTimer.restart();
        running = true;
        trace.begin(root);
        log(LOG_GAME, "Scene: the machine runs\n");
        return true;
    }
    running = false;
    simulationTimer.pause();
    trace.finish(root);
    log(LOG_GAME, "Scene: the machine stops\n");
    if (!snapshot)
        return true;
    const bool hadSelection = selected != nullptr;
    const int selectedId = hadSelection ? selected->getId() : 0;
    // The snapshot's load forgets the run's trace, which is to show now.
    RunTrace kept = std::move(trace);
    const bool restored = loadScene(kSnapshotName);
    trace = std::move(kept);
    if (!restored) {
        popUp("Scene could not be loaded");
        return true;
    }
    if (hadSelection)
        select(findNode(selectedId));
    return true;
}

void Scene::discardRun() {
    if (!running)
        return;
    running = false;
    fastForward = false;
    simulationTimer.pause();
    trace.clear();
    log(LOG_GAME, "Scene: the machine stops; the loaded scene replaces the run\n");
}

void Scene::setPaused(bool paused) {
    if (paused)
        simulationTimer.pause();
    else
        simulationTimer.restart();
}

void Scene::update() {
    const float dtSim = simulationTimer.lap();
    const float dtCam = cameraTimer.lap();
    step(dtSim, dtCam);
}

bool Scene::wantsContinuousFrames() const {
    const Vector3 zero;
    const Camera& c = view();
    return (running && !isPaused()) || c.getRotationSpeed() != 0.0f || c.getZoomSpeed() != 0.0f ||
           !(c.getSlideVelocity() == zero) || WindowItem::wantsContinuousFrames();
}

void Scene::step(float dtSim, float dtCam) {
    // The contacts of this frame's steps, read by the sound after them.
    NSPhysical::ControllerPhysics::of(world_).clearContacts();
    dtSim = (running && !isPaused()) ? frameTime(dtSim) : 0.0f;
    dtCam = frameTime(dtCam);
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
    // Whole fixed steps: the frame's time is carried over until it makes one.
    // The touching pairs are those of one step, checked after each.
    const int steps = stepClock.advance(dtSim, fastForward);
    const float dt = NSPhysical::StepClock::kStep;
    const long long before = stepClock.stepsTaken() - steps;
    // Nodes made during the steps (particles) join the scene's world.
    NSNode::ControllerNode::Use use(world_);
    for (int i = 0; i < steps; ++i) {
        world_.putInTreeOrder();
        world_.clearHits();
        root->simulate(dt);
        root->finishStep(dt);
        root->applyPendingChanges();
        runTime += dt;
        trace.afterStep(root, before + i + 1);
        if (stepObserver)
            stepObserver(static_cast<double>(before + i + 1) * NSPhysical::StepClock::kStep);
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

void Scene::noteGoalTouch(int idA, int idB) {
    NodeTransform* a = findNode(idA);
    NodeTransform* b = findNode(idB);
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
    trace.addMark(idA, idB, (reach(a) <= reach(b) ? a : b)->worldPosition());
}

// --- technical settings --------------------------------------------------------

void Scene::setCulling(bool on) {
    culling = on;
    popUp(on ? "Culling enabled" : "Culling disabled");
}

void Scene::setTransparency(bool on) {
    transparency = on;
    popUp(on ? "Transparency on" : "Transparency off");
}

void Scene::setDisplayLists(bool on) {
    displayLists = on;
    popUp(on ? "Display List on" : "Display List off");
}

void Scene::setVertexArrays(bool on) {
    vertexArrays = on;
    popUp(on ? "Render Mode: Vertex Array" : "Render Mode: Immediate Mode");
    // The models' vertex-array path expects both arrays switched on.
    if (on) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
    } else {
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
    }
}

void Scene::setTextureQuality(int quality) {
    textureQuality = quality;
    applyFilterTable();
}

void Scene::setMipmapMode(int mode) {
    mipmapMode = mode;
    applyFilterTable();
}

void Scene::applyFilterTable() {
    struct FilterRow {
        int mipmapMode;
        int quality;
        int mag;
        int min;
        const char* message;
    };
    static const FilterRow rows[] = {
        {0, 0, GL_NEAREST, GL_NEAREST, "Texture Quality GL_NEAREST"},
        {0, 1, GL_LINEAR, GL_LINEAR, "Texture Quality GL_LINEAR"},
        {1, 0, GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST, "Texture Quality GL_NEAREST_MIPMAP_NEAREST"},
        {1, 1, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, "Texture Quality GL_LINEAR_MIPMAP_NEAREST"},
        {2, 0, GL_NEAREST, GL_NEAREST_MIPMAP_LINEAR, "Texture Quality GL_NEAREST_MIPMAP_LINEAR"},
        {2, 1, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, "Texture Quality GL_LINEAR_MIPMAP_LINEAR"},
    };
    for (const FilterRow& row : rows) {
        if (row.mipmapMode == mipmapMode && row.quality == textureQuality) {
            magFilter = row.mag;
            minFilter = row.min;
            popUp(row.message);
            return;
        }
    }
}

} // namespace NSScene
