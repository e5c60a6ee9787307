#pragma once
#include <functional>
#include <memory>
#include <string>

#include "menu/Menu.h"
#include "scene/Scene.h"
#include "shell/FramePacer.h"
#include "shell/Host.h"
#include "ui/WindowItem.h"

namespace NSWindow {

class LevelControl;
struct Options;
class WindowCullingGraph;
class WindowFrameRate;
class WindowHelpTechnical;

// The technical help text, shown by SHIFT+F1 and logged at start.
extern const std::string technicalHelpText;

// The one GLUT window. It is the root window item: it owns the item tree,
// receives every GLUT callback and turns it into a call on the tree.
class Window : public WindowItem, public Host {
public:
    static Window& instance();

    // GLUT set-up: display mode, the interface's scale, a window titled
    // "Quibbleton" of 800 x 600 units (unless -geometry says otherwise;
    // within the screen) placed by the window manager, its class, process
    // id and icon, fullscreen if asked, the callbacks and the dark blue
    // clear colour.
    static void initGlut(int* argc, char** argv, const Options& options);
    static constexpr int kDefaultWidth = 800;
    static constexpr int kDefaultHeight = 600;
    // F11 and --fullscreen: the window manager's fullscreen where it offers
    // one; without a window manager the window covers the screen itself
    // and gets its place back the next time.
    void toggleFullscreen();
    // Another game was refused this game's folder (it sent SIGUSR1): a
    // message, and the window comes to the front.
    void otherGameRefused();
    static constexpr const char* kOtherGameText = "A second Quibbleton on this folder was not started";

    // Builds the item tree and, if enterMainLoop, runs the GLUT main loop
    // (which never returns). A second call only logs an error.
    void init(bool enterMainLoop = true);

    // Takes the item tree down while the GL context and the game's other
    // singletons still live: at exit, statics made after the window (the
    // effect registry, the loaders) are gone before the window itself.
    // Safe to call twice.
    void shutdown();

    // Shows text across the window for four seconds (fade in, hold, fade out).
    void showTempPopUp(const std::string& text) override;
    bool hasScreen() const override { return getScreenArea().width > 0; }
    void addOverlay(WindowItem* item) override { addChildLater(item); }
    NSScene::Scene* shownScene() const override { return scene; }

    // Clears, draws the item tree and swaps the buffers.
    void draw() override;
    // The same without the swap: clear and draw the items.
    void drawFrame();
    void update() override;

    // The GLUT callbacks, with the modifier bits passed in (shift 1, ctrl 2,
    // alt 4); positions and sizes in pixels, which become units of the
    // interface here.
    void onReshape(int width, int height);
    void onMouse(int button, int state, int x, int y, int glutModifiers);
    void onMotion(int x, int y);
    void onPassiveMotion(int x, int y);
    void onKeyboard(unsigned char key, int glutModifiers);
    void onSpecial(int key, int glutModifiers);
    bool keyPressed(int key, int modifiers, bool special) override;
    // The special key codes GLUT gives SHIFT, CTRL and ALT (left and right)
    // and the Super keys.
    static constexpr int kFirstModifierKey = 0x70;
    static constexpr int kLastModifierKey = 0x77;
    // One update of the whole tree; the GLUT callback then asks for a redraw.
    void onIdle();
    // The idle callback's turn: waits for the frame cap and runs one update,
    // or, while nothing moves, lets GLUT sleep until input or the next due
    // redraw.
    void idleTurn();
    // The timer that ends sleep number n: the idle callback takes over
    // again, unless input woke the loop first.
    void endSleep(int n);

    // The most frames per second; 0 draws as fast as possible, all the time.
    // Where the driver offers it the buffer swap also waits for the
    // display's refresh (not when uncapped).
    void setFrameCap(int framesPerSecond);
    // Wireframe display (SHIFT+F3): the scene view is drawn with polygon
    // outlines while it is on; the 2D items stay filled so that the menu and
    // the messages remain readable.
    bool isWireframe() const { return wireframe; }
    void setWireframe(bool on) { wireframe = on; }
    int getFrameCap() const { return pacer.getCap(); }
    const FramePacer& getPacer() const { return pacer; }
    // The pacing clock: seconds on a steady clock.
    static double seconds();

    void setLevelControl(LevelControl* control) { levelController = control; }
    // Makes the level controller while init builds the items (after the
    // frame-rate display, so that the level screens lie above it).
    void setLevelControlFactory(std::function<LevelControl*()> factory) { levelControlFactory = std::move(factory); }
    LevelControl* getLevelControl() const { return levelController; }
    NSScene::Scene* getScene() const { return scene; }
    NSMenu::Menu* getMenu() const { return menu; }
    WindowFrameRate* getFrameRate() const { return frameRate; }
    WindowCullingGraph* getCullingGraph() const { return cullingGraph; }
    WindowHelpTechnical* getHelpTechnical() const { return helpTechnical; }
    bool isSaveCurrentRequested() const { return saveCurrentRequested; }
    bool isLoadCurrentRequested() const { return loadCurrentRequested; }

    // Tests make their own windows; the game uses instance().
    Window();
    ~Window() override;

private:
    // SHIFT+F1 to F9 (GLUT key codes 1 to 9): the overlays and the scene's
    // rendering techniques, each change of technique confirmed by a message.
    void switchTechnicalSetting(int functionKey);
    // The children in order, the scene view in the wireframe mode; feeds
    // the culling graph as soon as the scene has counted its models.
    void drawItems();
    // Input: full-rate drawing again at once.
    void wake();
    // CTRL+Z undoes, CTRL+Y and CTRL+SHIFT+Z redo; false for other keys.
    bool undoKey(unsigned char key, int glutModifiers);
    // Tells the level controller that a command has ended, once no mouse
    // button is held any more.
    void commandEnded();

    FramePacer pacer;
    // Set while the GLUT main loop runs (tests drive the window without it);
    // the idle callback is then off while the loop sleeps.
    bool mainLoop = false;
    bool sleeping = false;
    int sleepNumber = 0;

    NSScene::Scene* scene = nullptr;
    // While the window shows its scene, nodes made anywhere (the menu's new
    // objects, the levels' builds) join the scene's world.
    std::unique_ptr<NSNode::ControllerNode::Use> sceneWorld;
    NSMenu::Menu* menu = nullptr;
    WindowFrameRate* frameRate = nullptr;
    WindowCullingGraph* cullingGraph = nullptr;
    WindowHelpTechnical* helpTechnical = nullptr;
    LevelControl* levelController = nullptr;
    std::function<LevelControl*()> levelControlFactory;
    bool saveCurrentRequested = false;
    bool loadCurrentRequested = false;
    int modifiers = 0;
    // The mouse buttons held down, a bit for each.
    unsigned buttonsHeld = 0;
    bool wireframe = false;
    // Fullscreen without a window manager, and the place to go back to.
    bool ownFullscreen = false;
    int restoreX = 0, restoreY = 0, restoreWidth = 0, restoreHeight = 0;

    bool initialised = false;
    bool firstFrameLogged = false;
    // Hover events are forwarded at most once per idle cycle and only for a
    // changed position; the newest of the others follows in the next cycle.
    bool passiveMotionSeen = false;
    bool pendingMove = false;
    int pendingMoveX = 0;
    int pendingMoveY = 0;
    int lastMoveX = -1;
    int lastMoveY = -1;
};

} // namespace NSWindow
