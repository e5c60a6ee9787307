#pragma once
// The 3D view: a window item that owns the scene graph root, the camera, the
// selection and, as children, the buttons over the view. It draws with
// culling (ViewCulling) and a distance-sorted transparent pass; turns drags
// into camera motion, clicks into picking (Picker), CTRL+clicks into placing
// the selection on a surface and drags on its handles into moves and turns
// (GizmoController); holds the machine's run (MachineRun). Files: SceneFiles.

#include <GL/gl.h>

#include <functional>
#include <map>
#include <string>

#include "math/Matrix4.h"
#include "objects/NodeGraphic.h"
#include "scene/Camera.h"
#include "scene/GizmoController.h"
#include "scene/MachineRun.h"
#include "scene/Picker.h"
#include "scene/RenderSettings.h"
#include "scene/SceneFiles.h"
#include "scene/ViewCulling.h"
#include "scenegraph/ControllerNode.h"
#include "scenegraph/NodeTransform.h"
#include "shell/Timer.h"
#include "ui/WindowItem.h"

namespace NSScene {

class Scene : public NSWindow::WindowItem, public NSNode::ModelDrawer, public NSNode::DeferredDrawSink {
public:
    // The longest step a frame may take, for the machine and the camera.
    static constexpr float kMaxFrameTime = MachineRun::kMaxFrameTime;
    static constexpr const char* kSnapshotName = MachineRun::kSnapshotName;

    Scene();
    ~Scene() override;

    NSNode::NodeTransform* getRoot() const { return root; }
    // The scene's world (ids, touching pairs, contact search): nodes made
    // while it loads or steps join it, nodes added from elsewhere move in.
    NSNode::ControllerNode& world() { return world_; }
    const NSNode::ControllerNode& world() const { return world_; }
    // The level's camera, which the scene file keeps.
    Camera& getCamera() { return camera; }
    const Camera& getCamera() const { return camera; }
    // The camera the view shows and the player steers: the overview's while
    // it lasts, otherwise the level's.
    Camera& view() { return overview ? overviewCamera : camera; }
    const Camera& view() const { return overview ? overviewCamera : camera; }
    // The whole room from above (a camera of its own, see fitOverview);
    // off, the level's camera as it was. A new level or emptied scene ends it.
    void setOverview(bool on);
    bool isOverview() const { return overview; }
    NSNode::NodeGraphic* getSelected() const { return selected; }
    NSNode::NodeGraphic* getHovered() const { return hovered; }

    // Queued: the node joins the root at the next frame.
    void addObject(NSNode::NodeTransform* node);
    // Drops node from the selection and hover state and queues its removal.
    void removeObject(NSNode::NodeTransform* node);
    // Makes node (if it is drawable) the selection; null deselects. A handle
    // drag ends when the selection changes.
    void select(NSNode::NodeTransform* node);
    // The node with this id under the root, or null.
    NSNode::NodeTransform* findNode(int id) const;

    // The machine's run, and the switch: starting takes the snapshot (see
    // MachineRun::start); stopping restores it and selects the object of
    // the same id again. Returns whether the machine is now as asked.
    // Without snapshot, starting saves nothing and stopping restores nothing
    // (the level simulator runs a scene it read from a file).
    MachineRun& machine() { return run; }
    const MachineRun& machine() const { return run; }
    bool setRunning(bool on, bool snapshot = true);
    bool isRunning() const { return run.isRunning(); }
    void setPaused(bool paused) { run.setPaused(paused); }
    bool isPaused() const { return run.isPaused(); }
    bool isFastForward() const { return run.isFastForward(); }
    void setStepObserver(MachineRun::StepObserver observer) { run.setStepObserver(std::move(observer)); }

    // Picks at the pixel (x, y) of the view (see Picker::pick).
    const GLuint* pick(int x, int y);
    NSNode::NodeGraphic* nodeAt(const GLuint* record) const { return Picker::nodeAt(record, *root); }
    // The handles around the selection.
    GizmoController& gizmos() { return handles; }

    // Viewport over the view, the perspective (unless keepProjection) and an
    // identity modelview.
    void begin3D(bool keepProjection);

    // Called by every drawable node as it draws: culls and draws its model.
    void drawModel(NSNode::NodeTransform* node) override;
    void forgetNode(NSNode::NodeTransform* node) override;
    // The culling test alone, counted: false when node lies wholly outside
    // the view.
    bool cullTest(NSNode::NodeTransform* node);
    // Puts node into this frame's transparent pass, drawn back to front with
    // the current modelview.
    void addDeferred(NSNode::NodeTransform* node);
    void defer(NSNode::NodeTransform* node) override { addDeferred(node); }

    // Scene files: see SceneFiles.
    bool saveScene(const std::string& name) { return SceneFiles::save(*this, name); }
    bool loadScene(const std::string& name) { return SceneFiles::load(*this, name); }
    // Drops the selection and hover state and every object; the camera stays.
    void clearScene();
    // The scene that draws a world's nodes (a particle emitter's), or null.
    static Scene* of(const NSNode::ControllerNode& world);
    // The 'm' key: turns the sound off or on and answers whether it is off
    // now (the window connects the sound; without it the key does nothing).
    void setMuteToggle(std::function<bool()> toggle) { muteToggle = std::move(toggle); }

    // The technical switches; the texture filters also for the particles.
    RenderSettings& settings() { return render; }
    const RenderSettings& settings() const { return render; }
    int getMagFilter() const { return render.getMagFilter(); }
    int getMinFilter() const { return render.getMinFilter(); }

    // Models culled and drawn in the last frame.
    const ViewCulling& culling() const { return culler; }
    bool isCoordinateCrossShown() const { return showCoordinateCross; }

    // A plain white directional light over the scene, for scenes that bring
    // no lights of their own.
    void setDefaultLight(bool on) { defaultLight = on; }

    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    bool mouseDrag(int modifiers, int x, int y) override;
    bool mouseMove(int buttons, int x, int y) override;
    // Off the view, nothing stays highlighted.
    void pointerLeft() override;
    bool keyPressed(int key, int modifiers, bool special) override;
    void draw() override;
    // One frame with the times of the two capped timers.
    void update() override;
    // While the machine runs unpaused or the camera glides.
    bool wantsContinuousFrames() const override;
    // One frame of dtSim seconds for the machine and dtCam for the camera;
    // both are capped at kMaxFrameTime, and the machine stands still unless
    // it runs unpaused. The machine runs the whole fixed steps its clock
    // owes (StepClock); the rest of dtSim waits for the next frame.
    void step(float dtSim, float dtCam);

private:
    friend class SceneFiles;
    // Drops the selection, hover, handle drag and deferred draws (the nodes
    // they name are about to go).
    void forgetNodes();
    // Takes a new root and camera pose read from a file; the old tree goes.
    void adopt(NSNode::NodeTransform* newRoot, const Camera& newCamera);
    // Makes the clicked selection of the last pick the selection.
    void selectClicked();
    void drawContent();
    // CTRL+click: puts the selection onto the surface under (x, y).
    void placeSelectedAt(int x, int y);
    // Fills the depth buffer of the view as drawn, but for the selection's
    // handles; the colours stay.
    void drawDepthWithoutHandles();

    struct DeferredEntry {
        Matrix4 modelview;
        NSNode::NodeTransform* node;
    };
    std::function<bool()> muteToggle;
    MachineRun run;
    Picker picker;
    GizmoController handles;
    RenderSettings render;
    ViewCulling culler;
    // A press on a handle that has not moved yet: its release is a click on
    // what lies there.
    bool handleClick = false;
    Camera camera;
    Camera overviewCamera;
    // The object the camera is carried along with, compared only, and where
    // it stood at the last frame.
    const NSNode::NodeGraphic* carrier = nullptr;
    Vector3 carriedFrom;
    bool overview = false;
    NSNode::ControllerNode world_;
    NSNode::NodeTransform* root = nullptr;
    Timer cameraTimer{false, kMaxFrameTime};
    NSNode::NodeGraphic* selected = nullptr;
    NSNode::NodeGraphic* hovered = nullptr;
    bool handlesHidden = false;
    bool leftHeld = false;
    bool rightHeld = false;
    bool middleHeld = false;
    int lastX = 0;
    int lastY = 0;
    bool showCoordinateCross = false;
    std::multimap<float, DeferredEntry> deferred;
    // A pick is being drawn (see pick()).
    bool picking = false;
    bool defaultLight = false;
};

} // namespace NSScene
