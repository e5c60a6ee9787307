#include "scene/Scene.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "audio/SoundControl.h"
#include "menu/EditorMode.h"
#include "persistence/RecordIO.h"
#include "persistence/SerialStream.h"
#include "resources/ResourcePath.h"
#include "scene/CameraRoom.h"
#include "scene/DragSweep.h"
#include "scene/RotateTorus.h"
#include "scene/SceneButton.h"
#include "scene/TranslatePfeil.h"
#include "scenegraph/ControllerNode.h"
#include "shell/Log.h"
#include "shell/Window.h"

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSNode::NodeTransform;
using NSSerialize::SerialStream;

namespace NSScene {

namespace {

// One buffer for every pick; a record handed out stays valid until the next.
GLuint selectBuffer[Scene::kSelectBufferSize];

Scene::LevelFileLookup levelFileLookup;

constexpr float kFieldOfView = 45.0f;
constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 10000.0f;
// Mouse drags: units of pan and radians of turn per pixel.
constexpr float kPanPerPixel = 0.5f;
constexpr float kTurnPerPixel = 0.01f;
// One wheel notch moves the eye this share of its distance to the target.
constexpr float kWheelZoomShare = 0.1f;
// CTRL+click placement lifts the object a little more on every try.
constexpr int kPlacementTries = 20;
constexpr float kPlacementLift = 0.01f;
constexpr float kCrossHalfLength = 10.0f;
// Handles: their size as a share of the distance from the eye, and how far
// outside the object they sit.
constexpr float kHandleSizePerDistance = 0.1f;
constexpr float kHandleClearance = 1.1f;
// Handle drags: units moved per pixel and per unit of distance from the
// eye; radians turned per pixel.
constexpr float kHandleMovePerPixel = 0.0015f;
constexpr float kHandleTurnPerPixel = 0.05f;
// Pick names of the handles: arrows 1 to 3, rings 4 to 6.
constexpr int kFirstArrow = 1;
constexpr int kFirstRing = 4;

constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;

void popUp(const std::string& text) { NSWindow::Window::instance().showTempPopUp(text); }

float frameTime(float dt) {
    if (!(dt > 0.0f))
        return 0.0f;
    return std::min(dt, Scene::kMaxFrameTime);
}

constexpr const char* kLevelsFolder = "levels";

bool ensureFolder(const std::filesystem::path& folder) {
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error))
        return true;
    if (std::filesystem::create_directories(folder, error) || std::filesystem::is_directory(folder, error))
        return true;
    log(LOG_ERROR, "Scene: cannot create the folder \"%s\" (%s)\n", folder.string().c_str(), error.message().c_str());
    return false;
}

// The perspective of the view over area: 45 degrees vertically, the area's
// aspect.
void perspective(const NSWindow::ItemLayout& area) {
    const float aspect =
        area.height > 0 ? static_cast<float>(area.width) / static_cast<float>(area.height) : 1.0f;
    gluPerspective(kFieldOfView, aspect, kNearPlane, kFarPlane);
}

// The six handles, made once and kept until exit.
struct HandleSet {
    TranslatePfeil* arrows[3];
    RotateTorus* rings[3];
};

HandleSet& handles() {
    static HandleSet* set = [] {
        auto* made = new HandleSet;
        for (int axis = 0; axis < 3; ++axis) {
            made->arrows[axis] = new TranslatePfeil();
            made->arrows[axis]->setPart(kFirstArrow + axis);
            made->rings[axis] = new RotateTorus();
            made->rings[axis]->setPart(kFirstRing + axis);
            for (NodeGraphic* handle : {static_cast<NodeGraphic*>(made->arrows[axis]),
                                        static_cast<NodeGraphic*>(made->rings[axis])}) {
                handle->setMaterialEnables(true, true, false, false);
                handle->setAmbient(Vector3(0.2f, 0.2f, 0.2f));
                handle->setDiffuse(Vector3(0.7f, 0.7f, 0.7f));
            }
        }
        return made;
    }();
    return *set;
}

Vector3 unitAxis(int axis) {
    return Vector3(axis == 0 ? 1.0f : 0.0f, axis == 1 ? 1.0f : 0.0f, axis == 2 ? 1.0f : 0.0f);
}

// Turns the current matrix so that a handle's local +z runs along axis, at
// distance from the origin.
void placeHandle(int axis, float distance) {
    switch (axis) {
    case 0:
        glTranslatef(distance, 0.0f, 0.0f);
        glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
        break;
    case 1:
        glTranslatef(0.0f, distance, 0.0f);
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        break;
    default:
        glTranslatef(0.0f, 0.0f, distance);
        break;
    }
}

// Whether node, as it stands, overlaps another node that takes part in hit
// tests. Probing records no touching pairs.
bool touchesAnother(NodeTransform* node) {
    for (NodeTransform* other : NSNode::ControllerNode::instance().nodes())
        if (other != node && node->overlaps(other, Vector3()))
            return true;
    return false;
}

void logSelection(const NodeGraphic* node) {
    if (node)
        log(LOG_GAME, "Scene: selected %d \"%s\"\n", node->getId(), node->getName().c_str());
    else
        log(LOG_GAME, "Scene: nothing selected\n");
}

const char kAxisName[3] = {'X', 'Y', 'Z'};

} // namespace

std::string sceneFilePath(const std::string& name) {
    const std::string local = NSLoader::localPath(name);
    const std::string folder = std::string(kLevelsFolder) + "/";
    if (local.size() > 4 && local.compare(local.size() - 4, 4, ".lvs") == 0)
        return folder + local;
    return folder + local + ".lvs";
}

bool ensureLevelsFolder() { return ensureFolder(kLevelsFolder); }

Scene::Scene() : WindowItem(true), root(new NodeTransform(true)) {
    NodeGraphic::setModelDrawer(this);
    NodeTransform::setDeferredDrawSink(this);
    addSceneButtons(*this);
}

Scene::~Scene() {
    selected = nullptr;
    hovered = nullptr;
    deferred.clear();
    delete root;
    root = nullptr;
    if (NodeGraphic::modelDrawer() == this)
        NodeGraphic::setModelDrawer(nullptr);
    if (NodeTransform::deferredDrawSink() == this)
        NodeTransform::setDeferredDrawSink(nullptr);
}

void Scene::setLevelFileLookup(LevelFileLookup lookup) { levelFileLookup = std::move(lookup); }

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

void Scene::forgetNode(NodeGraphic* node) {
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
        log(LOG_GAME, "Scene: the machine runs\n");
        return true;
    }
    running = false;
    simulationTimer.pause();
    log(LOG_GAME, "Scene: the machine stops\n");
    if (!snapshot)
        return true;
    const bool hadSelection = selected != nullptr;
    const int selectedId = hadSelection ? selected->getId() : 0;
    if (!loadScene(kSnapshotName)) {
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
    return (running && !isPaused()) || camera.getRotationSpeed() != 0.0f || camera.getZoomSpeed() != 0.0f ||
           !(camera.getSlideVelocity() == zero) || WindowItem::wantsContinuousFrames();
}

void Scene::step(float dtSim, float dtCam) {
    dtSim = (running && !isPaused()) ? frameTime(dtSim) : 0.0f;
    dtCam = frameTime(dtCam);
    if (running && selected)
        camera.setTarget(selected->worldPosition());
    camera.update(dtCam);
    keepCameraInRoom(camera, root);
    if (!running) {
        root->applyPendingChanges();
        return;
    }
    // Whole fixed steps: the frame's time is carried over until it makes one.
    // The touching pairs are those of one step, checked after each.
    const int steps = stepClock.advance(dtSim, fastForward);
    const float dt = NSPhysical::StepClock::kStep;
    const long long before = stepClock.stepsTaken() - steps;
    for (int i = 0; i < steps; ++i) {
        NSNode::ControllerNode::instance().clearHits();
        root->simulate(dt);
        root->finishStep(dt);
        root->applyPendingChanges();
        runTime += dt;
        if (stepObserver)
            stepObserver(static_cast<double>(before + i + 1) * NSPhysical::StepClock::kStep);
    }
    if (steps == 0)
        root->applyPendingChanges();
}

// --- drawing -----------------------------------------------------------------

void Scene::begin3D(bool keepProjection) {
    const NSWindow::ItemLayout& a = screenArea;
    glViewport(a.x, a.y, a.width, a.height);
    glMatrixMode(GL_PROJECTION);
    if (!keepProjection) {
        glLoadIdentity();
        perspective(a);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Scene::draw() {
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_DEPTH_TEST);
    begin3D(false);
    camera.apply();
    rebuildFrustum();
    if (defaultLight)
        applyDefaultLight();
    if (showCoordinateCross)
        drawCoordinateCross();
    startWhite();
    culledCount = 0;
    drawnCount = 0;
    drawContent();
    glPopAttrib();

    const unsigned met = culledCount + drawnCount;
    culledShare = met ? static_cast<float>(culledCount) / static_cast<float>(met) : 0.0f;
    WindowItem::draw();
}

// The six planes of the view volume from projection x modelview, normals
// pointing inside: row 3 plus or minus rows 0 (left, right), 1 (bottom,
// top) and 2 (near, far).
void Scene::rebuildFrustum() {
    Matrix4 projection, modelview;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    const Matrix4 clip = projection * modelview;
    for (int i = 0; i < 6; ++i) {
        const int row = i / 2;
        const float sign = (i % 2 == 0) ? 1.0f : -1.0f;
        frustum[i] = std::make_unique<BoundingVolume::Plane>(
            clip.at(3, 0) + sign * clip.at(row, 0), clip.at(3, 1) + sign * clip.at(row, 1),
            clip.at(3, 2) + sign * clip.at(row, 2), clip.at(3, 3) + sign * clip.at(row, 3), true);
    }
}

// The 2D items change the colour while the material tracks it, and restore
// only the colour afterwards; so the material may lag behind the current
// colour. Every frame starts from white for both.
void Scene::startWhite() const {
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glColor3f(1.0f, 1.0f, 1.0f);
    if (!glIsEnabled(GL_COLOR_MATERIAL))
        return;
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    glEnable(GL_COLOR_MATERIAL);
}

void Scene::applyDefaultLight() const {
    const GLfloat direction[4] = {0.4f, 1.0f, 0.7f, 0.0f};
    const GLfloat ambient[4] = {0.35f, 0.35f, 0.35f, 1.0f};
    const GLfloat diffuse[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glEnable(GL_LIGHT0);
}

void Scene::drawCoordinateCross() const {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glLineWidth(1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    const Vector3& t = camera.getTarget();
    const float h = kCrossHalfLength;
    glBegin(GL_LINES);
    glVertex3f(t.x - h, t.y, t.z);
    glVertex3f(t.x + h, t.y, t.z);
    glVertex3f(t.x, t.y - h, t.z);
    glVertex3f(t.x, t.y + h, t.z);
    glVertex3f(t.x, t.y, t.z - h);
    glVertex3f(t.x, t.y, t.z + h);
    glEnd();
    glPopAttrib();
}

void Scene::drawContent() {
    deferred.clear();
    NodeGraphic::setModelDrawer(this);
    NodeTransform::setDeferredDrawSink(this);
    glPushMatrix();
    root->draw();
    glPopMatrix();
    if (selected && !running && !handlesHidden) {
        drawDropLine();
        drawGizmos();
    }
    if (deferred.empty())
        return;

    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    if (transparency)
        glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    // Deferred nodes below a deferred node are drawn with their parent.
    NodeTransform::setDeferredDrawSink(nullptr);
    for (auto it = deferred.rbegin(); it != deferred.rend(); ++it) {
        glLoadIdentity();
        glMultMatrixf(it->second.modelview.data());
        it->second.node->draw();
    }
    NodeTransform::setDeferredDrawSink(this);
    glPopMatrix();
    glPopAttrib();
}

// The current modelview is the frame of node's parent, so the node's own
// position in it, taken to eye space, gives its distance from the eye.
void Scene::addDeferred(NodeTransform* node) {
    if (!node)
        return;
    Matrix4 modelview;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    const float distance = length(modelview.transformPoint(node->getPosition()));
    deferred.emplace(distance, DeferredEntry{modelview, node});
}

bool Scene::cullTest(NodeTransform* node) {
    BoundingVolume* volume = node ? node->getBoundingVolume() : nullptr;
    if (culling && frustum[0] && volume && !volume->isUnbounded()) {
        volume->setTransform(node->worldMatrix());
        const BoundingVolume::Sphere& sphere = volume->getOuterSphere();
        for (const auto& plane : frustum) {
            if (plane->hitSphere(sphere)) {
                ++culledCount;
                return false;
            }
        }
    }
    ++drawnCount;
    return true;
}

void Scene::drawModel(NodeGraphic* node) {
    NSGraphic::ModelObject* model = node ? node->getModel() : nullptr;
    if (!model || !cullTest(node))
        return;
    unsigned flags = 0;
    if (vertexArrays) {
        flags |= NSGraphic::MODEL_DRAW_VERTEX_ARRAYS;
        // GLUT's solid shapes switch the arrays off after drawing.
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
    }
    if (displayLists)
        flags |= NSGraphic::MODEL_DRAW_DISPLAY_LIST;
    model->draw(flags, minFilter, magFilter);
}

// --- picking -----------------------------------------------------------------

const GLuint* Scene::pick(int x, int y) {
    const NSWindow::ItemLayout& a = screenArea;
    if (a.width <= 0 || a.height <= 0)
        return nullptr;
    // Picking draws the scene once more; the counts stay those of the frame.
    const unsigned frameCulled = culledCount;
    const unsigned frameDrawn = drawnCount;

    glSelectBuffer(kSelectBufferSize, selectBuffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    GLint viewport[4] = {a.x, a.y, a.width, a.height};
    gluPickMatrix(a.x + x + 0.5, a.y + y + 0.5, 1.0, 1.0, viewport);
    perspective(a);
    begin3D(true);
    camera.apply();
    drawContent();
    const GLint hits = glRenderMode(GL_RENDER);

    culledCount = frameCulled;
    drawnCount = frameDrawn;
    if (hits < 0) {
        log(LOG_ERROR, "getSelectHit: select buffer overflow\n");
        return nullptr;
    }
    const GLuint* nearest = nullptr;
    const GLuint* record = selectBuffer;
    for (GLint i = 0; i < hits; ++i) {
        if (!nearest || record[1] < nearest[1])
            nearest = record;
        record += 3 + record[0];
    }
    return nearest;
}

NodeGraphic* Scene::nodeAt(const GLuint* record) const {
    if (!record || record[0] == 0)
        return nullptr;
    return dynamic_cast<NodeGraphic*>(findNode(static_cast<int>(record[3])));
}

bool Scene::surfacePoint(int x, int y, NodeTransform* node, Vector3& point) {
    const NSWindow::ItemLayout& a = screenArea;
    if (a.width <= 0 || a.height <= 0)
        return false;
    GLfloat depth = 1.0f;
    glReadPixels(a.x + x, a.y + y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    // The far plane: nothing was drawn at that pixel.
    if (!(depth < 1.0f))
        return false;
    begin3D(false);
    camera.apply();
    if (node && node->getParent())
        glMultMatrixf(node->getParent()->worldMatrix().data());
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble px, py, pz;
    if (!gluUnProject(a.x + x + 0.5, a.y + y + 0.5, depth, modelview, projection, viewport, &px, &py, &pz))
        return false;
    point = Vector3(static_cast<float>(px), static_cast<float>(py), static_cast<float>(pz));
    return true;
}

void Scene::drawDepthWithoutHandles() {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_SCISSOR_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_SCISSOR_TEST);
    glScissor(screenArea.x, screenArea.y, screenArea.width, screenArea.height);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    begin3D(false);
    camera.apply();
    const unsigned frameCulled = culledCount;
    const unsigned frameDrawn = drawnCount;
    handlesHidden = true;
    drawContent();
    handlesHidden = false;
    culledCount = frameCulled;
    drawnCount = frameDrawn;
    glPopAttrib();
}

void Scene::placeSelectedAt(int x, int y) {
    if (!selected || running)
        return;
    if (!selected->canEditPosition(-1) && !NSMenu::isDesignerEditing())
        return;
    const GLuint* record = pick(x, y);
    const bool onHandle = record && record[0] >= 2;
    if (!onHandle && nodeAt(record) == selected)
        return;
    // The object's own handles lie over what the player means to click:
    // the depth is drawn again without them.
    if (onHandle)
        drawDepthWithoutHandles();
    Vector3 surface;
    if (!surfacePoint(x, y, selected, surface))
        return;
    const float low = selected->lowestPointOffset();
    const Vector3 before = selected->getPosition();
    for (int i = 0; i < kPlacementTries; ++i) {
        const float k = 1.0f + kPlacementLift * static_cast<float>(i);
        selected->setPosition(surface - Vector3(0.0f, low, 0.0f) * k);
        if (!selected->hitTestAll(Vector3()).hit)
            return;
    }
    selected->setPosition(before);
}

// --- input -------------------------------------------------------------------

bool Scene::mouseButton(int button, int state, int modifiers, int x, int y) {
    if (button == NSWindow::kWheelUpButton || button == NSWindow::kWheelDownButton) {
        // The wheel zooms: up towards the target, down away from it.
        const float distance = length(camera.getTarget() - camera.getEye());
        if (state == GLUT_DOWN)
            camera.zoom((button == NSWindow::kWheelUpButton ? 1.0f : -1.0f) * kWheelZoomShare * distance);
        return true;
    }
    if (WindowItem::mouseButton(button, state, modifiers, x, y))
        return true;
    lastX = x;
    lastY = y;
    const bool down = state == GLUT_DOWN;
    if (button == GLUT_LEFT_BUTTON)
        leftHeld = down;
    else if (button == GLUT_RIGHT_BUTTON)
        rightHeld = down;
    else if (button == GLUT_MIDDLE_BUTTON)
        middleHeld = down;
    endGizmoDrag();
    if (button != GLUT_LEFT_BUTTON || !down)
        return true;

    if (modifiers & GLUT_ACTIVE_CTRL) {
        placeSelectedAt(x, y);
        return true;
    }
    const GLuint* record = pick(x, y);
    if (record && record[0] >= 2) {
        startGizmoDrag(record, x, y);
        return true;
    }
    NodeGraphic* node = nodeAt(record);
    if (!node)
        return true;
    // Clicking the selected object again deselects it.
    NodeGraphic* previous = selected;
    if (selected)
        selected->setSelected(false);
    selected = nullptr;
    if (node != previous) {
        selected = node;
        node->setSelected(true);
    }
    logSelection(selected);
    return true;
}

bool Scene::mouseDrag(int modifiers, int x, int y) {
    if (WindowItem::mouseDrag(modifiers, x, y))
        return true;
    const int dx = x - lastX;
    const int dy = y - lastY;
    if (middleHeld) {
        camera.zoom(static_cast<float>(dy));
    } else if (leftHeld) {
        if (!running && translating) {
            dragTranslation(x, y);
        } else if (!running && rotating) {
            dragRotation(x, y);
        } else if (!running || !selected) {
            // While the machine runs the camera follows the selection instead.
            Vector3 f = camera.getTarget() - camera.getEye();
            Vector3 u = camera.getUpPoint() - camera.getEye();
            f.normalize();
            u.normalize();
            camera.slide(u * (-static_cast<float>(dy) * kPanPerPixel));
            camera.slide(cross(f, u) * (-static_cast<float>(dx) * kPanPerPixel));
        }
    } else if (rightHeld) {
        const Vector3 side = cross(camera.getTarget() - camera.getEye(), camera.getUpPoint() - camera.getEye());
        camera.rotate(static_cast<float>(dy) * kTurnPerPixel, side);
        camera.rotate(-static_cast<float>(dx) * kTurnPerPixel, Vector3(0.0f, 1.0f, 0.0f));
    }
    lastX = x;
    lastY = y;
    return true;
}

bool Scene::mouseMove(int buttons, int x, int y) {
    if (WindowItem::mouseMove(buttons, x, y))
        return true;
    const GLuint* record = pick(x, y);
    if (hovered)
        hovered->setHighlighted(false);
    hovered = nodeAt(record);
    if (hovered)
        hovered->setHighlighted(true);
    const int overHandle = (hovered && record[0] >= 2) ? static_cast<int>(record[4]) : 0;
    if (overHandle != hoveredGizmo)
        log(LOG_MOUSE, "Scene: pointer over handle %d\n", overHandle);
    hoveredGizmo = overHandle;
    return true;
}

void Scene::pointerLeft() {
    WindowItem::pointerLeft();
    if (hovered)
        hovered->setHighlighted(false);
    hovered = nullptr;
    hoveredGizmo = 0;
}

bool Scene::keyPressed(int key, int modifiers, bool special) {
    if (WindowItem::keyPressed(key, modifiers, special))
        return true;
    if (special)
        return false;
    switch (key) {
    case kKeyEscape:
    case kKeySpace:
        select(nullptr);
        return true;
    case 'f':
        if (selected)
            camera.setTarget(selected->worldPosition());
        return true;
    case 'm':
        NSAudio::SoundControl::instance().toggleMute();
        popUp(NSAudio::SoundControl::instance().isMuted() ? "Sound off" : "Sound on");
        return true;
    case 'c':
        showCoordinateCross = !showCoordinateCross;
        popUp(std::string("Kamera-Koordinatenkreuz ") + (showCoordinateCross ? "ein" : "aus"));
        return true;
    case 'n':
        if (selected && !running && NSMenu::isDesignerEditing()) {
            NSClone::Cloneable* copy = selected->clone();
            NodeGraphic* node = dynamic_cast<NodeGraphic*>(copy);
            if (!node) {
                delete copy;
                return true;
            }
            node->setPosition(Vector3());
            root->addChildLater(node);
            select(node);
        }
        return true;
    default:
        return false;
    }
}

// --- gizmos ------------------------------------------------------------------

TranslatePfeil* Scene::gizmoArrow(int axis) { return (axis >= 0 && axis < 3) ? handles().arrows[axis] : nullptr; }

RotateTorus* Scene::gizmoRing(int axis) { return (axis >= 0 && axis < 3) ? handles().rings[axis] : nullptr; }

// The handles keep one size on the screen (a tenth of the distance from the
// eye) and sit just outside the object. Arrows lie in the frame of the
// object's parent, since they move it along its position's axes; rings lie
// in the object's own frame, since they turn it about its own axes.
void Scene::drawGizmos() {
    HandleSet& set = handles();
    const Vector3 at = selected->worldPosition();
    const float size = kHandleSizePerDistance * length(at - camera.getEye());
    float radius = 0.0f;
    if (BoundingVolume* volume = selected->getBoundingVolume()) {
        volume->setTransform(selected->worldMatrix());
        radius = volume->getOuterSphere().getWorldRadius();
    }
    const float distance = kHandleClearance * std::max(size, radius);

    static const Vector3 axisColour[3] = {Vector3(0.5f, 0.0f, 0.0f), Vector3(0.0f, 0.5f, 0.0f),
                                          Vector3(0.0f, 0.0f, 0.5f)};
    const bool held = leftHeld || rightHeld || middleHeld;
    const Vector3 highlight = held ? Vector3(1.0f, 1.0f, 0.0f) : Vector3(0.0f, 0.8f, 0.8f);
    const int id = selected->getId();
    for (int axis = 0; axis < 3; ++axis) {
        RotateTorus* ring = set.rings[axis];
        ring->setRadius(size);
        ring->setTube(0.1f * size);
        ring->setNodeId(id);
        ring->setColor(hoveredGizmo == kFirstRing + axis ? highlight : axisColour[axis]);
        TranslatePfeil* arrow = set.arrows[axis];
        arrow->setLength(size);
        arrow->setNodeId(id);
        arrow->setColor(hoveredGizmo == kFirstArrow + axis ? highlight : axisColour[axis]);
    }

    const bool designer = NSMenu::isDesignerEditing();
    glPushMatrix();
    glTranslatef(at.x, at.y, at.z);
    glPushMatrix();
    if (const NodeTransform* parent = selected->getParent())
        glMultMatrixf(parent->worldRotation().data());
    for (int axis = 0; axis < 3; ++axis) {
        if (!designer && !selected->canEditPosition(axis))
            continue;
        glPushMatrix();
        placeHandle(axis, distance);
        addDeferred(set.arrows[axis]);
        glPopMatrix();
    }
    glPopMatrix();
    glPushMatrix();
    glMultMatrixf(selected->worldRotation().data());
    for (int axis = 0; axis < 3; ++axis) {
        if (!designer && !selected->canEditRotation(axis))
            continue;
        glPushMatrix();
        placeHandle(axis, distance);
        addDeferred(set.rings[axis]);
        glPopMatrix();
    }
    glPopMatrix();
    glPopMatrix();
}

Vector3 Scene::projectDirection(const Vector3& at, const Vector3& d) {
    begin3D(false);
    camera.apply();
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const Vector3 to = at + d;
    GLdouble ax = 0, ay = 0, az = 0, bx = 0, by = 0, bz = 0;
    gluProject(at.x, at.y, at.z, modelview, projection, viewport, &ax, &ay, &az);
    gluProject(to.x, to.y, to.z, modelview, projection, viewport, &bx, &by, &bz);
    return Vector3(static_cast<float>(bx - ax), static_cast<float>(by - ay), static_cast<float>(bz - az));
}

// A press on a handle: its second pick name tells which. Handles of another
// object, or for an axis the object may not use, start nothing.
void Scene::startGizmoDrag(const GLuint* record, int x, int y) {
    translating = false;
    rotating = false;
    if (!selected || running || !record || record[0] < 2 || static_cast<int>(record[3]) != selected->getId())
        return;
    const bool designer = NSMenu::isDesignerEditing();
    const int part = static_cast<int>(record[4]);
    if (part >= kFirstArrow && part < kFirstArrow + 3) {
        const int axis = part - kFirstArrow;
        if (!designer && !selected->canEditPosition(axis))
            return;
        // The arrow points along the axis of the parent's frame.
        Vector3 shown = unitAxis(axis);
        if (const NodeTransform* parent = selected->getParent())
            shown = parent->worldRotation().transformPoint(shown);
        Vector3 onScreen = projectDirection(selected->worldPosition(), shown);
        onScreen.z = 0.0f;
        translateScreenAxis = onScreen.normalize();
        translateWorldAxis = unitAxis(axis);
        translateStartX = x;
        translateStartY = y;
        translateStartPosition = selected->getPosition();
        translateLastFree = translateStartPosition;
        translating = true;
        const Vector3& p = translateStartPosition;
        log(LOG_GAME, "Scene: moving %d along %c from (%.2f, %.2f, %.2f)\n", selected->getId(), kAxisName[axis], p.x,
            p.y, p.z);
    } else if (part >= kFirstRing && part < kFirstRing + 3) {
        const int axis = part - kFirstRing;
        if (!designer && !selected->canEditRotation(axis))
            return;
        const Vector3 shown = selected->worldRotation().transformPoint(unitAxis(axis));
        // A diagonal drag turns the object; the sense follows whether the
        // axis points towards the eye or away from it.
        const Vector3 onScreen = projectDirection(selected->worldPosition(), shown);
        rotateScreenDirection = onScreen.z >= 0.0f ? Vector3(-1.0f, -1.0f, 0.0f) : Vector3(1.0f, 1.0f, 0.0f);
        rotateScreenDirection.normalize();
        rotateAxis = selected->getRotationMatrix().transformPoint(unitAxis(axis));
        rotateStartX = x;
        rotateStartY = y;
        rotateStartMatrix = selected->getRotationMatrix();
        rotating = true;
        log(LOG_GAME, "Scene: turning %d about %c\n", selected->getId(), kAxisName[axis]);
    }
}

void Scene::endGizmoDrag() {
    if ((translating || rotating) && selected) {
        const Vector3& p = selected->getPosition();
        const Vector3& r = selected->getRotation();
        log(LOG_GAME, "Scene: %d now at (%.2f, %.2f, %.2f), turned (%.3f, %.3f, %.3f)\n", selected->getId(), p.x, p.y,
            p.z, r.x, r.y, r.z);
    }
    translating = false;
    rotating = false;
}

// Always measured from the press, so dragging back to it puts the object
// back exactly; the object sweeps from where it is towards the pointer's
// place and stops at the last place free of contact.
void Scene::dragTranslation(int x, int y) {
    if (!selected) {
        translating = false;
        return;
    }
    const Vector3 v(static_cast<float>(x - translateStartX), static_cast<float>(y - translateStartY), 0.0f);
    const float amount =
        dot(v, translateScreenAxis) * length(selected->worldPosition() - camera.getEye()) * kHandleMovePerPixel;
    NodeGraphic* node = selected;
    node->setPosition(translateStartPosition);
    node->translate(translateWorldAxis * amount);
    const Vector3 wanted = node->getPosition();
    sweepMove(translateLastFree, wanted, [node](const Vector3& p) { node->setPosition(p); },
              [node]() { return touchesAnother(node); });
    translateLastFree = node->getPosition();
}

// Incremental: the turn sweeps from the last accepted pose and stops at the
// last pose free of contact, which becomes the start of the next step.
void Scene::dragRotation(int x, int y) {
    if (!selected) {
        rotating = false;
        return;
    }
    const Vector3 v(static_cast<float>(x - rotateStartX), static_cast<float>(y - rotateStartY), 0.0f);
    const float angle = dot(v, rotateScreenDirection) * kHandleTurnPerPixel;
    NodeGraphic* node = selected;
    const Matrix4 start = rotateStartMatrix;
    const Vector3 axis = rotateAxis;
    sweepTurn(
        angle,
        [&](float f) { node->setRotation(zerlegeMatrixinAchsenMatrizen(Matrix4::rotation(-angle * f, axis) * start)); },
        [node]() { return touchesAnother(node); });
    rotateStartMatrix = node->getRotationMatrix();
    rotateStartX = x;
    rotateStartY = y;
}

// --- scene files -------------------------------------------------------------

bool Scene::saveScene(const std::string& name) {
    const std::string path = sceneFilePath(name);
    // Without its folder the stream fails and says so.
    ensureFolder(std::filesystem::path(path).parent_path());
    SerialStream stream(path, true);
    if (!stream.failed())
        serialize(stream);
    return stream.close();
}

bool Scene::loadScene(const std::string& name) {
    if (readSceneFile(sceneFilePath(name), false))
        return true;
    if (!levelFileLookup)
        return false;
    const std::string levelPath = levelFileLookup(name);
    return !levelPath.empty() && readSceneFile(levelPath, true);
}

bool Scene::readSceneFile(const std::string& path, bool levelFile) {
    SerialStream stream(path, false);
    if (stream.failed())
        return false;
    if (levelFile) {
        stream.readString(); // the level file's head
        stream.skipBlock();  // the level record
    }
    if (!readScene(stream))
        return false;
    running = false;
    return true;
}

bool Scene::serialize(SerialStream& stream) { return stream.isWriting() ? writeScene(stream) : readScene(stream); }

bool Scene::writeScene(SerialStream& stream) {
    if (!stream.isWriting())
        return false;
    stream.writeString("[QBN-SCENE]");
    stream.beginBlock();
    stream.writeString(stream.version());
    // The root: a children list of exactly one element, without a count.
    stream.writeString("[nodT]");
    stream.beginBlock();
    NSSerialize::writeElement(stream, "[nodO]", *root);
    stream.endBlock();
    camera.serialize(stream);
    stream.endBlock();
    return !stream.failed();
}

bool Scene::readScene(SerialStream& stream) {
    if (!stream.isReading() || stream.failed())
        return false;
    stream.readString(); // the head
    const long sceneEnd = stream.readBlockEnd();
    if (sceneEnd < 0)
        return false;
    stream.setVersion(stream.readString());
    if (!stream.isCurrentVersion()) {
        log(LOG_ERROR, "Scene: \"%s\" has the format version \"%s\" and is not read\n", stream.fileName().c_str(),
            stream.version().c_str());
        return false;
    }
    NodeTransform* newRoot = nullptr;
    stream.readString(); // the tree head
    const long treeEnd = stream.readBlockEnd();
    if (treeEnd >= 0) {
        newRoot = NSSerialize::readElement<NodeTransform>(stream);
        stream.leaveBlock(treeEnd);
    }
    Camera newCamera;
    const bool cameraRead = newCamera.serialize(stream);
    stream.leaveBlock(sceneEnd);
    if (!newRoot || !cameraRead || stream.failed() || stream.ended()) {
        delete newRoot;
        log(LOG_ERROR, "Scene: \"%s\" is damaged; the scene stays as it was\n", stream.fileName().c_str());
        return false;
    }
    adopt(newRoot, newCamera);
    return true;
}

void Scene::clearScene() {
    if (selected)
        selected->setSelected(false);
    selected = nullptr;
    hovered = nullptr;
    hoveredGizmo = 0;
    translating = false;
    rotating = false;
    deferred.clear();
    root->clear();
}

void Scene::adopt(NodeTransform* newRoot, const Camera& newCamera) {
    selected = nullptr;
    hovered = nullptr;
    hoveredGizmo = 0;
    translating = false;
    rotating = false;
    deferred.clear();
    NodeTransform* old = root;
    root = newRoot;
    delete old;
    camera.copyPose(newCamera);
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
