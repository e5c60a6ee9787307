#include "window/Window.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include "audio/SoundControl.h"
#include "shell/CommandLine.h"
#include "shell/DisplayScale.h"
#include "shell/LevelControl.h"
#include "shell/Language.h"
#include "shell/Log.h"
#include "shell/SwapControl.h"
#include "window/DesktopWindow.h"
#include "window/WindowCullingGraph.h"
#include "window/WindowFrameRate.h"
#include "window/WindowHelpTechnical.h"
#include "window/WindowTempPopUp.h"

namespace NSWindow {

namespace {
// Taken when the program is loaded, before main runs.
const std::chrono::steady_clock::time_point processStart = std::chrono::steady_clock::now();

// Set by SIGTERM or SIGINT; the next idle turn leaves the main loop, so the
// game ends the ordinary way instead of dying in the middle of a frame.
// Should the game not come round to it (stuck in a system call), the alarm
// ends it after kQuitGraceSeconds, and a second signal at once.
volatile std::sig_atomic_t quitSignalled = 0;
constexpr unsigned kQuitGraceSeconds = 10;
void onQuitSignal(int signal) {
    if (quitSignalled)
        ::_exit(128 + signal);
    quitSignalled = 1;
    std::signal(SIGALRM, SIG_DFL);
    ::alarm(kQuitGraceSeconds);
}
// Set by SIGUSR1: another game was refused this game's folder.
volatile std::sig_atomic_t otherGameSignalled = 0;
void onOtherGame(int) { otherGameSignalled = 1; }

// The frame caps SHIFT+F11 steps through; 0 lifts the cap.
const int kFrameCapSteps[] = {120, 60, 30, 0};
} // namespace

const std::string technicalHelpText =
    "HELP\n"
    "\n"
    "click ...... an object: its page shows what you may change\n"
    "the buttons at the bottom left start, stop and speed up the machine\n"
    "F1 ......... level information shown/hidden\n"
    "F5 / F6 .... previous / next level\n"
    "F2 / F3 .... quick save / quick load\n"
    "t .......... trace of the last run shown/hidden\n"
    "o .......... overview of the whole room on/off\n"
    "4 / 6 ...... the slider clicked last a quarter step left/right\n"
    "wheel ...... zoom the view / scroll the menu\n"
    "\n"
    "SHIFT F1 ... shows/hides this screen\n"
    "SHIFT F2 ... shows/hides fps\n"
    "SHIFT F3 ... wireframe on/off\n"
    "SHIFT F4 ... change texture quality\n"
    "SHIFT F5 ... change mipmapping settings\n"
    "SHIFT F6 ... immediate mode vs vertex array\n"
    "SHIFT F7 ... use display lists on/off\n"
    "SHIFT F8 ... culling on/off\n"
    "SHIFT F9 ... transparency on/off\n"
    "SHIFT F11 .. frame cap 120/60/30/off\n"
    "F11 ........ fullscreen on/off\n";

namespace {

// The game's window answers the lower layers' calls.
Host& windowHost() { return Window::instance(); }
const bool hostRegistered = (setHostProvider(&windowHost), true);

// Whether the point lies in the area, edges included.
bool inside(const ItemLayout& a, int x, int y) {
    return x >= a.x && x <= a.x + a.width && y >= a.y && y <= a.y + a.height;
}

void displayCallback() { Window::instance().draw(); }
void reshapeCallback(int w, int h) { Window::instance().onReshape(w, h); }
void mouseCallback(int button, int state, int x, int y) {
    Window::instance().onMouse(button, state, x, y, glutGetModifiers());
}
void motionCallback(int x, int y) { Window::instance().onMotion(x, y); }
void passiveMotionCallback(int x, int y) { Window::instance().onPassiveMotion(x, y); }
void keyboardCallback(unsigned char key, int, int) {
    Window::instance().onKeyboard(key, glutGetModifiers());
}
void specialCallback(int key, int, int) { Window::instance().onSpecial(key, glutGetModifiers()); }
void closeCallback() { Window::instance().shutdown(); }
void idleCallback() {
    if (quitSignalled == 1) {
        quitSignalled = 2; // being done: another signal ends the game at once
        ::alarm(0);
        log(LOG_INFO, "Quitting: the game was asked to end\n");
        Window::instance().shutdown();
        glutLeaveMainLoop();
        return;
    }
    if (otherGameSignalled) {
        otherGameSignalled = 0;
        Window::instance().otherGameRefused();
    }
    Window::instance().idleTurn();
}

} // namespace

Window& Window::instance() {
    static Window window;
    return window;
}

Window::Window() : WindowItem(false) {}

Window::~Window() = default;

void Window::initGlut(int* argc, char** argv, const Options& options) {
    glutInit(argc, argv);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_EXIT);
    std::signal(SIGTERM, onQuitSignal);
    std::signal(SIGINT, onQuitSignal);
    std::signal(SIGUSR1, onOtherGame);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_ALPHA | GLUT_DEPTH);
    // Units of the interface to pixels; the window manager places the window.
    std::string source = "--scale";
    setDisplayScale(options.scale > 0.0f ? options.scale : scaleFromXServer(options.display, &source));
    log(LOG_GAME, "Display: scale %.2f (%s)\n", displayScale(), source.c_str());
    if (!options.geometryGiven) {
        const int screenWidth = glutGet(GLUT_SCREEN_WIDTH), screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
        int width = unitsToPixels(kDefaultWidth), height = unitsToPixels(kDefaultHeight);
        if (screenWidth > 0 && screenHeight > 0 && (width > screenWidth || height > screenHeight)) {
            width = std::min(width, screenWidth * 9 / 10);
            height = std::min(height, screenHeight * 9 / 10);
        }
        glutInitWindowSize(width, height);
    }
    glutCreateWindow("Quibbleton");
    dressWindow();
    if (options.fullscreen)
        instance().toggleFullscreen();
    glutDisplayFunc(displayCallback);
    glutReshapeFunc(reshapeCallback);
    glutMouseFunc(mouseCallback);
    glutMotionFunc(motionCallback);
    glutPassiveMotionFunc(passiveMotionCallback);
    glutKeyboardFunc(keyboardCallback);
    glutSpecialFunc(specialCallback);
    glutIdleFunc(idleCallback);
    glutCloseFunc(closeCallback);
    glClearColor(0.0f, 0.0f, 0.5f, 0.0f);
}

void Window::init(bool enterMainLoop) {
    if (initialised) {
        log(LOG_ERROR, "Window::init() darf nur einmal aufgerufen werden\n");
        return;
    }
    initialised = true;

    glEnable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
    const GLfloat noAmbient[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);

    // The scene view fills the window but for the menu strip at the right edge.
    scene = new NSScene::Scene();
    sceneWorld = std::make_unique<NSNode::ControllerNode::Use>(scene->world());
    scene->setMuteToggle([] {
        NSAudio::SoundControl& sound = NSAudio::SoundControl::instance();
        sound.toggleMute();
        return sound.isMuted();
    });
    addChildLater(scene);
    scene->setLayout(ItemLayout(0, 0, -170, 0, 1, 1, 2, 2));

    menu = new NSMenu::Menu(scene, nullptr);
    addChildLater(menu);
    menu->setLayout(ItemLayout(-170, 0, 170, 0, 3, 1, 0, 2));

    frameRate = new WindowFrameRate();
    addChildLater(frameRate);
    frameRate->setLayout(ItemLayout(10, 10, 60, 20, 1, 1, 0, 0));
    frameRate->setVisible(true);

    cullingGraph = new WindowCullingGraph();
    addChildLater(cullingGraph);
    cullingGraph->setLayout(ItemLayout(10, 50, 50, 25, 1, 1, 0, 0));
    cullingGraph->setVisible(true);

    if (levelControlFactory)
        levelController = levelControlFactory();

    // Last, so that it lies over everything and takes the input first.
    helpTechnical = new WindowHelpTechnical();
    addChildLater(helpTechnical);
    helpTechnical->setLayout(ItemLayout(0, 0, 0, 0, 1, 1, 2, 2));
    helpTechnical->setVisible(false);

    if (enterMainLoop) {
        mainLoop = true;
        setSwapInterval(pacer.getCap() > 0 ? 1 : 0);
        glutMainLoop();
    }
}

void Window::shutdown() {
    if (levelController)
        levelController->quit();
    sceneWorld.reset();
    clear();
    scene = nullptr;
    menu = nullptr;
    frameRate = nullptr;
    cullingGraph = nullptr;
    helpTechnical = nullptr;
    levelController = nullptr;
}

void Window::showTempPopUp(const std::string& text) {
    // It takes its band in the stack of messages.
    addChildLater(new WindowTempPopUp(text, 2.0f, 1.0f, true));
}

void Window::draw() {
    drawFrame();
    glutSwapBuffers();
    if (!firstFrameLogged && menu && !menu->items().empty()) {
        // How long a player waits for the first whole picture, the menu's
        // column built (the end-to-end tests wait for this line).
        firstFrameLogged = true;
        const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - processStart;
        log(LOG_GAME, "First frame after %.3f s\n", waited.count());
    }
}

void Window::drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawItems();
}

void Window::drawItems() {
    const ItemLayout& s = screenArea;
    for (WindowItem* child : getChildren()) {
        if (!child->isVisible())
            continue;
        const ItemLayout& c = child->getScreenArea();
        if (!inside(s, c.x, c.y) && !inside(s, c.x, c.y + c.height) && !inside(s, c.x + c.width, c.y) &&
            !inside(s, c.x + c.width, c.y + c.height))
            continue;
        glPushAttrib(GL_LINE_BIT | GL_POLYGON_BIT);
        const bool isScene = child == scene;
        glPolygonMode(GL_FRONT_AND_BACK, isScene && wireframe ? GL_LINE : GL_FILL);
        child->draw();
        glPopAttrib();
        if (isScene && cullingGraph)
            cullingGraph->setValue(scene->culling().culledShare());
    }
}

void Window::update() {
    WindowItem::update();
    applyPendingChanges();
    if (levelController)
        levelController->update();
    if (saveCurrentRequested) {
        if (levelController)
            levelController->saveCurrent();
    } else if (loadCurrentRequested) {
        if (levelController)
            levelController->loadCurrent();
    }
    saveCurrentRequested = false;
    loadCurrentRequested = false;
}

void Window::onReshape(int width, int height) {
    wake();
    setLayout(ItemLayout(0, 0, unitsCovering(width), unitsCovering(height), 1, 1, 0, 0));
}

void Window::onMouse(int button, int state, int pixelX, int pixelY, int glutModifiers) {
    log(LOG_MOUSE, "Mouse Click at: %4i %4i\n", pixelX, pixelY);
    const int x = pixelToUnit(pixelX), y = pixelToUnit(pixelY);
    wake();
    modifiers = glutModifiers;
    const unsigned bit = 1u << (static_cast<unsigned>(button) & 15u);
    buttonsHeld = state == GLUT_DOWN ? buttonsHeld | bit : buttonsHeld & ~bit;
    mouseButton(button, state, modifiers, x, y);
    if (state == GLUT_UP)
        commandEnded();
}

void Window::commandEnded() {
    if (levelController && buttonsHeld == 0)
        levelController->commandEnded();
}

bool Window::undoKey(unsigned char key, int glutModifiers) {
    const bool ctrl = (glutModifiers & GLUT_ACTIVE_CTRL) != 0;
    const bool z = key == 26 || (ctrl && (key == 'z' || key == 'Z'));
    const bool y = key == 25 || (ctrl && (key == 'y' || key == 'Y'));
    if (!z && !y)
        return false;
    // Not in the middle of a drag; the menu shows the scene brought back.
    if (!levelController || buttonsHeld != 0)
        return true;
    const bool changed = y || (glutModifiers & GLUT_ACTIVE_SHIFT) ? levelController->redo() : levelController->undo();
    if (changed && menu)
        menu->sceneReplaced();
    return true;
}

void Window::onMotion(int x, int y) {
    wake();
    // GLUT reports no modifiers while dragging: the ones of the press still hold.
    mouseDrag(modifiers, pixelToUnit(x), pixelToUnit(y));
}

void Window::onPassiveMotion(int pixelX, int pixelY) {
    wake();
    const int x = pixelToUnit(pixelX), y = pixelToUnit(pixelY);
    if (passiveMotionSeen) {
        // Later moves of the same cycle wait for the next one; only the
        // newest counts, so the hover never lags behind the pointer.
        pendingMove = true;
        pendingMoveX = pixelX;
        pendingMoveY = pixelY;
        return;
    }
    passiveMotionSeen = true;
    if (x == lastMoveX && y == lastMoveY)
        return;
    lastMoveX = x;
    lastMoveY = y;
    mouseMove(0, x, y);
}

void Window::onKeyboard(unsigned char key, int glutModifiers) {
    log(LOG_KEY, "Key: %i\n", static_cast<int>(key));
    wake();
    if (undoKey(key, glutModifiers))
        return;
    keyPressed(key, glutModifiers, false);
    commandEnded();
}

bool Window::keyPressed(int key, int modifiers, bool special) {
    if (WindowItem::keyPressed(key, modifiers, special))
        return true;
    // Not taken by the focused items (a text field being edited takes every
    // plain key but Escape): the view's keys and the editor's work wherever
    // the last click went.
    if (scene && focus != scene && scene->isEnabled() && scene->isVisible() && scene->keyPressed(key, modifiers, special))
        return true;
    return menu && menu->isEnabled() && menu->isVisible() && menu->commandKey(key, special);
}

void Window::onSpecial(int key, int glutModifiers) {
    // SHIFT, CTRL and ALT alone arrive as special keys: they are no keys.
    if (key >= kFirstModifierKey && key <= kLastModifierKey)
        return;
    log(LOG_KEY, "Special Key Pressed\n");
    wake();
    if (glutModifiers & GLUT_ACTIVE_SHIFT) {
        if ((key >= GLUT_KEY_F1 && key <= GLUT_KEY_F9) || key == GLUT_KEY_F11)
            switchTechnicalSetting(key);
        return;
    }
    switch (key) {
    case GLUT_KEY_F1:
        if (levelController)
            levelController->toggleInfo();
        break;
    case GLUT_KEY_F2: saveCurrentRequested = true; break;
    case GLUT_KEY_F3: loadCurrentRequested = true; break;
    case GLUT_KEY_F5:
        if (levelController)
            levelController->previousLevel();
        break;
    case GLUT_KEY_F6:
        if (levelController)
            levelController->nextLevel();
        break;
    case GLUT_KEY_F11: toggleFullscreen(); break;
    default: keyPressed(key, glutModifiers, true); break;
    }
    commandEnded();
}

void Window::onIdle() {
    passiveMotionSeen = false;
    if (pendingMove) {
        pendingMove = false;
        onPassiveMotion(pendingMoveX, pendingMoveY);
    }
    update();
}

double Window::seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - processStart).count();
}

void Window::setFrameCap(int framesPerSecond) {
    pacer.setCap(framesPerSecond);
    if (mainLoop)
        setSwapInterval(pacer.getCap() > 0 ? 1 : 0);
    wake();
}

void Window::wake() {
    pacer.wake(seconds());
    if (sleeping) {
        sleeping = false;
        glutIdleFunc(idleCallback);
    }
}

void Window::idleTurn() {
    const double now = seconds();
    const bool moving = wantsContinuousFrames();
    const double at = pacer.nextFrameAt(now, moving);
    // Waits longer than a few milliseconds are slept in GLUT's loop, which
    // wakes for input; short ones here, to keep to the cap.
    constexpr double kLongestWait = 0.02;
    if (at - now > kLongestWait) {
        sleeping = true;
        glutIdleFunc(nullptr);
        glutTimerFunc(static_cast<unsigned>((at - now) * 1000.0), [](int n) { Window::instance().endSleep(n); },
                      ++sleepNumber);
        return;
    }
    if (at > now)
        std::this_thread::sleep_for(std::chrono::duration<double>(at - now));
    if (frameRate) // an idle frame is no measure of the drawing rate
        frameRate->setIdleFrame(pacer.isIdle(now, moving));
    pacer.frameStarted(seconds());
    onIdle();
    glutPostRedisplay();
}

void Window::endSleep(int n) {
    if (sleeping && n == sleepNumber) {
        sleeping = false;
        glutIdleFunc(idleCallback);
    }
}

void Window::switchTechnicalSetting(int functionKey) {
    switch (functionKey) {
    case GLUT_KEY_F1:
        if (helpTechnical)
            helpTechnical->setVisible(!helpTechnical->isVisible());
        return;
    case GLUT_KEY_F2:
        if (frameRate) {
            frameRate->setVisible(!frameRate->isVisible());
            showTempPopUp(frameRate->isVisible() ? "FPS Anzeige ein" : "FPS Anzeige aus");
        }
        return;
    case GLUT_KEY_F3:
        wireframe = !wireframe;
        showTempPopUp(wireframe ? "Wireframe Anzeige ein" : "Wireframe Anzeige aus");
        return;
    case GLUT_KEY_F11: {
        // The next step below the current cap; after "off" the default again.
        int next = kFrameCapSteps[0];
        for (int cap : kFrameCapSteps)
            if (getFrameCap() > 0 && cap < getFrameCap()) {
                next = cap;
                break;
            }
        setFrameCap(next);
        showTempPopUp(next > 0 ? trFormat("Frame cap %d fps", next) : std::string("Frame cap off"));
        return;
    }
    default: break;
    }

    // The rest are the scene's techniques; its setters show the messages.
    if (!scene)
        return;
    switch (functionKey) {
    case GLUT_KEY_F4: scene->settings().setTextureQuality((scene->settings().getTextureQuality() - 1) & 1); break;
    case GLUT_KEY_F5: scene->settings().setMipmapMode((scene->settings().getMipmapMode() + 1) % 3); break;
    case GLUT_KEY_F6: scene->settings().setVertexArrays(!scene->settings().isVertexArrays()); break;
    case GLUT_KEY_F7: scene->settings().setDisplayLists(!scene->settings().isDisplayLists()); break;
    case GLUT_KEY_F8:
        // The graph shows while culling is on: the two never part company.
        scene->settings().setCulling(!scene->settings().isCulling());
        if (cullingGraph)
            cullingGraph->setVisible(scene->settings().isCulling());
        break;
    case GLUT_KEY_F9: scene->settings().setTransparency(!scene->settings().isTransparency()); break;
    default: break;
    }
}

} // namespace NSWindow
