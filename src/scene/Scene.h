#pragma once
// The 3D view: a window item that owns the scene graph root and the camera,
// draws the scene with view-frustum culling and a distance-sorted
// transparent pass, turns mouse drags into camera motion, clicks into
// picking and selection, CTRL+clicks into placing the selected object on a
// surface, drags on the handles around the selection into moving and
// turning it, and runs "the machine" (the physics simulation). Its children
// are the buttons over the view (the machine switch and the camera). Starting the
// machine saves the scene as "_current"; stopping it loads that snapshot
// back, so a run never changes the layout, and shows the run's trace.

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <GL/gl.h>

#include "scene/Camera.h"
#include "scene/RunTrace.h"
#include "scene/SightLine.h"
#include "scenegraph/ControllerNode.h"
#include "scenegraph/BoundingVolume.h"
#include "math/Matrix4.h"
#include "objects/NodeGraphic.h"
#include "scenegraph/NodeTransform.h"
#include "physics/StepClock.h"
#include "shell/Timer.h"
#include "ui/WindowItem.h"

namespace NSSerialize {
class SerialStream;
}

class TranslatePfeil;
class RotateTorus;

namespace NSScene {

// "levels/" + name + ".lvs", or "levels/" + name when the name (longer than
// four characters) already ends in ".lvs". A backslash in the name is taken
// for a folder separator.
std::string sceneFilePath(const std::string& name);
// Creates the "levels" folder when it is missing; false (logged) when it
// cannot be made.
bool ensureLevelsFolder();

class Scene : public NSWindow::WindowItem, public NSNode::ModelDrawer, public NSNode::DeferredDrawSink {
public:
    // The longest step a frame may take, for the machine and the camera.
    static constexpr float kMaxFrameTime = 0.2f;
    // Fast forward runs this many times the steps per frame.
    static constexpr int kFastForwardSteps = NSPhysical::StepClock::kFastForwardFactor;
    // Entries of the picking buffer.
    static constexpr int kSelectBufferSize = 1024;
    // The name of the machine's snapshot.
    static constexpr const char* kSnapshotName = "_current";

    // For a level that is active: the path of its level file for a scene
    // name, or "" when no level is active. Loading a scene that cannot be
    // read then tries the scene part of that level file.
    using LevelFileLookup = std::function<std::string(const std::string& name)>;

    Scene();
    ~Scene() override;

    NSNode::NodeTransform* getRoot() const { return root; }
    // The scene's world: its nodes' ids, touching pairs, change stamps and
    // contact search. Nodes made while the scene loads or steps join it;
    // a node added to the scene from elsewhere moves into it.
    NSNode::ControllerNode& world() { return world_; }
    const NSNode::ControllerNode& world() const { return world_; }
    // The level's camera, which the scene file keeps.
    Camera& getCamera() { return camera; }
    const Camera& getCamera() const { return camera; }
    // The camera the view shows and the player steers: the overview's while
    // it lasts, otherwise the level's.
    Camera& view() { return overview ? overviewCamera : camera; }
    const Camera& view() const { return overview ? overviewCamera : camera; }
    // The whole room from above, with every object in sight: on, a camera of
    // its own (see fitOverview); off, the level's camera shows again as
    // it was. A new level or an emptied scene ends it.
    void setOverview(bool on);
    bool isOverview() const { return overview; }
    NSNode::NodeGraphic* getSelected() const { return selected; }
    NSNode::NodeGraphic* getHovered() const { return hovered; }
    int getHoveredGizmo() const { return hoveredGizmo; }

    // Queued: the node joins the root at the next frame.
    void addObject(NSNode::NodeTransform* node);
    // Drops node from the selection and hover state and queues its removal.
    void removeObject(NSNode::NodeTransform* node);
    // Makes node (if it is drawable) the selection; null deselects. A handle
    // drag ends when the selection changes.
    void select(NSNode::NodeTransform* node);
    // The node with this id under the root, or null.
    NSNode::NodeTransform* findNode(int id) const;

    // Starting takes the snapshot first and refuses to run (with a message)
    // when it cannot be saved; stopping restores it and selects the object
    // of the same id again. Returns whether the machine is now as asked.
    // Without snapshot, starting saves nothing and stopping restores nothing
    // (the level simulator runs a scene it read from a file).
    bool setRunning(bool run, bool snapshot = true);
    bool isRunning() const { return running; }
    // Ends a run without bringing the snapshot back: for a load that has
    // just replaced the whole scene.
    void discardRun();
    void setPaused(bool paused);
    bool isPaused() const { return simulationTimer.isPaused(); }
    void setFastForward(bool on) { fastForward = on; }
    bool isFastForward() const { return fastForward; }
    // Simulated seconds since the machine was last started.
    double getRunTime() const { return runTime; }
    // Called after every step of the machine with the simulated seconds
    // since the start, while ControllerNode holds the touching pairs of that
    // step (the goals are checked there, so a win does not depend on how
    // the steps fall into frames).
    using StepObserver = std::function<void(double simulatedSeconds)>;
    void setStepObserver(StepObserver observer) { stepObserver = std::move(observer); }
    // The machine's clock since it was last started.
    const NSPhysical::StepClock& machineClock() const { return stepClock; }
    // The trace of the last run: recorded from the start, drawn after the
    // stop (while shown), forgotten at the next start, a load or clearTrace.
    RunTrace& runTrace() { return trace; }
    const RunTrace& runTrace() const { return trace; }
    // The layout changed (an edit): the trace no longer shows what it does.
    void clearTrace() { trace.clear(); }
    // Two objects of a goal touched: a mark at the smaller one's centre.
    void noteGoalTouch(int idA, int idB);

    // The nearest hit record under the pixel (x, y) of the view, or null.
    // A record is: name count, minimum depth, maximum depth, names. It lives
    // in one static buffer until the next pick.
    const GLuint* pick(int x, int y);
    // The drawable node named by the record's first name, or null.
    NSNode::NodeGraphic* nodeAt(const GLuint* record) const;
    // The selection a click at the last pick leaves: the object behind the
    // selected one among the objects there (nearest first, handles left
    // out), the nearest when the selection is not among them, none after the
    // farthest; the selection as it is when no object is there.
    NSNode::NodeGraphic* clickedSelection() const;
    // Makes the clicked selection of the last pick the selection.
    void selectClicked();
    // The point under the pixel (x, y) as last drawn, in the frame of node's
    // parent. False when the pixel shows no surface (background).
    bool surfacePoint(int x, int y, NSNode::NodeTransform* node, Vector3& point);

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

    // Scene files (levels/<name>.lvs). A save never harms the previous copy
    // unless it succeeds; a file that cannot be read leaves the scene as it
    // was.
    bool saveScene(const std::string& name);
    bool loadScene(const std::string& name);
    // Writes or reads the scene record, by the stream's direction.
    virtual bool serialize(NSSerialize::SerialStream& stream);
    bool writeScene(NSSerialize::SerialStream& stream);
    // Builds a new root and camera from the record and takes them only when
    // the whole record was read; otherwise the scene stays as it was.
    bool readScene(NSSerialize::SerialStream& stream);
    // Drops the selection and hover state and destroys every object; the
    // camera stays.
    void clearScene();
    static void setLevelFileLookup(LevelFileLookup lookup);
    // The scene that draws a world's nodes, or null: the one a particle
    // emitter follows for the camera, culling and the machine.
    static Scene* of(const NSNode::ControllerNode& world);
    // The 'm' key: turns the sound off or on and answers whether it is off
    // now (the window connects the sound; without it the key does nothing).
    void setMuteToggle(std::function<bool()> toggle) { muteToggle = std::move(toggle); }

    // Technical settings; each setter confirms the change with a message.
    void setCulling(bool on);
    bool isCulling() const { return culling; }
    void setTransparency(bool on);
    bool isTransparency() const { return transparency; }
    void setDisplayLists(bool on);
    bool isDisplayLists() const { return displayLists; }
    void setVertexArrays(bool on);
    bool isVertexArrays() const { return vertexArrays; }
    // Both pick the texture filters from the quality (0, 1) and mipmap mode
    // (0 to 2); combinations outside those change nothing.
    void setTextureQuality(int quality);
    int getTextureQuality() const { return textureQuality; }
    void setMipmapMode(int mode);
    int getMipmapMode() const { return mipmapMode; }
    int getMagFilter() const { return magFilter; }
    int getMinFilter() const { return minFilter; }

    // Models culled and drawn in the last frame, and the culled share (0
    // when no model was met).
    unsigned getCulledCount() const { return culledCount; }
    unsigned getDrawnCount() const { return drawnCount; }
    float cullingFraction() const { return culledShare; }

    bool isCoordinateCrossShown() const { return showCoordinateCross; }

    // The handles around the selection, shared by every view and made on
    // first use: the arrows along and the rings about X, Y and Z (axis 0 to
    // 2). They are placed, sized and coloured whenever the view draws.
    TranslatePfeil* gizmoArrow(int axis);
    RotateTorus* gizmoRing(int axis);
    // Whether a handle drag is moving or turning the selection.
    bool isTranslating() const { return translating; }
    bool isRotating() const { return rotating; }
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
    // Makes this scene the drawer of models, the sink of the transparent
    // pass and the current scene.
    // Drops the selection, hover, handle drag and deferred draws (the nodes
    // they name are about to go).
    void forgetNodes();
    // The six handles, made at the first selection drawn.
    struct HandleSet {
        HandleSet();
        ~HandleSet();
        std::unique_ptr<TranslatePfeil> arrows[3];
        std::unique_ptr<RotateTorus> rings[3];
    };
    HandleSet& handles();

    std::function<bool()> muteToggle;
    std::unique_ptr<HandleSet> handleSet;
    // One buffer for every pick; a record handed out stays valid until the next.
    std::array<GLuint, kSelectBufferSize> selectBuffer{};
    int pickedHits = 0;
    // A press on a handle that has not moved yet: its release is a click on
    // what lies there.
    bool handleClick = false;
    struct DeferredEntry {
        Matrix4 modelview;
        NSNode::NodeTransform* node;
    };

    void drawContent();
    void rebuildFrustum();
    void drawCoordinateCross() const;
    void applyDefaultLight() const;
    void startWhite() const;
    void applyFilterTable();
    // CTRL+click: puts the selection onto the surface under (x, y).
    void placeSelectedAt(int x, int y);
    // Takes a new root and camera pose read from a file; the old tree goes.
    void adopt(NSNode::NodeTransform* newRoot, const Camera& newCamera);
    bool readSceneFile(const std::string& path, bool levelFile);

    // The handles around the selection: drawn in the transparent pass, and
    // dragged to move the selection along an axis or turn it about one.
    void drawGizmos();
    // The depth cue of the selection: a line from its lowest point straight
    // down to where it would come to rest, and a ring there.
    void drawDropLine();
    // Where the selection would rest if it fell straight down (a position
    // in its parent's frame). Worked out anew every frame (some 50 hit
    // tests), so it follows whatever moves below it.
    Vector3 dropPoint();
    // Fills the depth buffer of the view as drawn, but for the selection's
    // handles; the colours stay.
    void drawDepthWithoutHandles();
    void startGizmoDrag(const GLuint* record, int x, int y);
    void dragTranslation(int x, int y);
    // The line of sight through the pointer at (x, y) of the view.
    SightLine pointerSight(int x, int y) const;
    void dragRotation(int x, int y);
    // Any mouse button event ends a handle drag; the object's new place
    // goes to the log.
    void endGizmoDrag();
    // Where the world direction d, from the world point at, points on the
    // screen, in pixels (x, y) and window depth (z).
    Vector3 projectDirection(const Vector3& at, const Vector3& d);

    int magFilter = GL_LINEAR;
    int minFilter = GL_LINEAR;
    int mipmapMode = 0;
    int textureQuality = 1;
    std::array<std::unique_ptr<NSNode::BoundingVolume::Plane>, 6> frustum;
    Camera camera;
    Camera overviewCamera;
    // The object the camera is carried along with, compared only, and where
    // it stood at the last frame.
    const NSNode::NodeGraphic* carrier = nullptr;
    Vector3 carriedFrom;
    bool overview = false;
    RunTrace trace;
    NSNode::ControllerNode world_;
    NSNode::NodeTransform* root = nullptr;
    Timer simulationTimer{true, kMaxFrameTime};
    NSPhysical::StepClock stepClock;
    StepObserver stepObserver;
    Timer cameraTimer{false, kMaxFrameTime};
    NSNode::NodeGraphic* selected = nullptr;
    NSNode::NodeGraphic* hovered = nullptr;
    int hoveredGizmo = 0;
    bool running = false;
    double runTime = 0.0;
    bool handlesHidden = false;
    bool fastForward = false;
    bool leftHeld = false;
    bool rightHeld = false;
    bool middleHeld = false;
    int lastX = 0;
    int lastY = 0;
    bool showCoordinateCross = false;
    unsigned culledCount = 0;
    unsigned drawnCount = 0;
    float culledShare = 0.0f;
    bool culling = true;

    // Gizmo drags.
    Vector3 translateScreenAxis;
    Vector3 translateWorldAxis;
    int translateStartX = 0;
    int translateStartY = 0;
    Vector3 translateStartPosition;
    // Where the drag last left the object free of contact.
    Vector3 translateLastFree;
    // The arrow's line in the world (through the object's place at the
    // press), where on it the pointer took hold, how far the pointer has
    // carried it since; whether the pointer can follow the line, and if not
    // (it points nearly at the eye) the size of a unit of the view there.
    Vector3 translateLineStart;
    Vector3 translateLineAxis;
    float translateGrab = 0.0f;
    float translateAmount = 0.0f;
    bool translateFollows = false;
    float translateUnitSize = 0.0f;
    bool translating = false;
    Vector3 rotateScreenDirection;
    Vector3 rotateAxis;
    int rotateStartX = 0;
    int rotateStartY = 0;
    Matrix4 rotateStartMatrix;
    bool rotating = false;

    std::multimap<float, DeferredEntry> deferred;
    bool transparency = true;
    bool displayLists = false;
    bool vertexArrays = false;
    // A pick is being drawn (see pick()).
    bool picking = false;
    bool defaultLight = false;
};

} // namespace NSScene
