// SHIFT+F1 to F9: display settings, their messages, the culling graph, the
// technical help; and the three ways of drawing models giving one picture.
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "objects/ObjectModels.h"
#include "objects/ObjectShapes.h"
#include "scene/Scene.h"
#include "window/Window.h"
#include "window/WindowCullingGraph.h"
#include "window/WindowFrameRate.h"
#include "window/WindowHelpTechnical.h"
#include "window/WindowTempPopUp.h"
#include "support/GameFolder.h"
#include "support/GlContext.h"

using NSWindow::Window;

namespace {

std::string message() {
    auto* popUp = NSWindow::WindowTempPopUp::current();
    return popUp ? popUp->getText() : "";
}

struct Rgb {
    int r, g, b;
};

bool isBackground(const unsigned char* p) { return p[0] == 0 && p[1] == 0 && p[2] == 128; }

// Window pixel (x, y), counted from the top left as GLUT does.
Rgb pixelAt(int x, int y) {
    std::vector<unsigned char> p = qbntest::readPixels(x, 600 - 1 - y, 1, 1);
    return {p[0], p[1], p[2]};
}

// The game's window at 800 x 600, in a scratch working folder with the game's models.
class Technical : public qbntest::GlTest {
protected:
    qbntest::GameFolder folder; // first in, last out
    void SetUp() override {
        GlTest::SetUp();
        glClearColor(0.0f, 0.0f, 0.5f, 0.0f);
        window.onReshape(800, 600);
        window.init(false);
        window.applyPendingChanges();
        scene = window.getScene();
    }
    void TearDown() override {
        window.setWireframe(false);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
    }

    void shift(int key) { window.onSpecial(key, GLUT_ACTIVE_SHIFT); }
    void rightDrag() {
        window.onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 300, 300, 0);
        window.onMotion(360, 260);
        window.onMouse(GLUT_RIGHT_BUTTON, GLUT_UP, 360, 260, 0);
    }
    void add(NSNode::NodeGraphic* node, const Vector3& at) {
        node->translate(at);
        scene->addObject(node);
        scene->step(0.0f, 0.0f);
    }
    void look(const Vector3& eye, const Vector3& target) {
        scene->getCamera().setPosition(eye);
        scene->getCamera().setTarget(target);
        scene->getCamera().update(0.0f);
    }
    // The help screen's grey veil, seen over the empty scene.
    void expectVeil() {
        const Rgb veil = pixelAt(550, 450);
        EXPECT_NEAR(veil.r, 71, 3);
        EXPECT_NEAR(veil.g, 71, 3);
        EXPECT_NEAR(veil.b, 110, 3);
    }
    // The scene view alone, as its pixels.
    std::vector<unsigned char> sceneShot() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->draw();
        const NSWindow::ItemLayout& a = scene->getScreenArea();
        return qbntest::readPixels(a.x, a.y, a.width, a.height);
    }

    Window window;
    NSScene::Scene* scene = nullptr;
};

TEST_F(Technical, TheOtherSwitchesToggleTheirTechniqueAndSayWhatIsNowOn) {
    const struct {
        int key;
        std::function<bool()> state;
        const char *onMessage, *offMessage;
    } cases[] = {
        {GLUT_KEY_F3, [this] { return window.isWireframe(); }, "Wireframe Anzeige ein", "Wireframe Anzeige aus"},
        {GLUT_KEY_F6, [this] { return scene->isVertexArrays(); }, "Render Mode: Vertex Array",
         "Render Mode: Immediate Mode"},
        {GLUT_KEY_F7, [this] { return scene->isDisplayLists(); }, "Display List on", "Display List off"},
        {GLUT_KEY_F8, [this] { return scene->isCulling(); }, "Culling enabled", "Culling disabled"},
        {GLUT_KEY_F9, [this] { return scene->isTransparency(); }, "Transparency on", "Transparency off"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.onMessage);
        const bool before = c.state();
        shift(c.key);
        EXPECT_NE(c.state(), before);
        EXPECT_EQ(message(), before ? c.offMessage : c.onMessage);
        shift(c.key);
        EXPECT_EQ(c.state(), before);
        EXPECT_EQ(message(), before ? c.onMessage : c.offMessage);
    }

    // The vertex arrays the models draw from are switched with the mode.
    shift(GLUT_KEY_F6);
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    shift(GLUT_KEY_F6);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));

    // The culling graph goes off and comes back with the culling.
    NSWindow::WindowCullingGraph* graph = window.getCullingGraph();
    for (bool on : {false, true}) {
        shift(GLUT_KEY_F8);
        EXPECT_EQ(graph->isVisible(), on);
        EXPECT_EQ(scene->isCulling(), on);
    }
}

TEST_F(Technical, TheHelpScreenCoversTheWindowAndSwallowsEveryClickUntilShiftF1) {
    NSWindow::WindowHelpTechnical* help = window.getHelpTechnical();
    ASSERT_FALSE(help->isVisible());
    EXPECT_EQ(window.getChildren().back(), help);
    look(Vector3(0, 0, 150), Vector3());
    const Vector3 eye = scene->getCamera().getEye();

    shift(GLUT_KEY_F1);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->getArea().width, 800);
    EXPECT_EQ(help->getArea().height, 600);

    // A right drag would turn the camera; a click would give the scene the keys ('c': coordinate cross).
    rightDrag();
    window.onKeyboard('c', 0);
    window.onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 700, 100, 0); // the menu
    window.onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 700, 100, 0);
    EXPECT_EQ(window.getFocus(), help);
    EXPECT_EQ(scene->getCamera().getEye(), eye);
    EXPECT_FALSE(scene->isCoordinateCrossShown());

    // Drawn: a grey veil over everything, the help text in green.
    window.drawFrame();
    expectVeil();
    bool green = false;
    std::vector<unsigned char> text = qbntest::readPixels(100, 600 - 120, 300, 90);
    for (size_t i = 0; i + 2 < text.size(); i += 3)
        green = green || (text[i + 1] > 200 && text[i] < 60);
    EXPECT_TRUE(green);

    // The display settings still work meanwhile; SHIFT+F1 hides it and the scene takes the mouse again.
    shift(GLUT_KEY_F2);
    EXPECT_FALSE(window.getFrameRate()->isVisible());
    shift(GLUT_KEY_F1);
    EXPECT_FALSE(help->isVisible());
    rightDrag();
    EXPECT_NE(scene->getCamera().getEye().x, eye.x);
    window.onKeyboard('c', 0);
    EXPECT_TRUE(scene->isCoordinateCrossShown());
}

TEST_F(Technical, WireframeOutlinesTheSceneButLeavesTheItemsFilled) {
    look(Vector3(0, 0, 60), Vector3());
    scene->setDefaultLight(true);
    add(new NSObjects::ObjectBasketball(true), Vector3(0, 0, 0));
    // Pixels of the ball: everything in the middle of the view that is not the background.
    auto ballPixels = [this] {
        window.drawFrame();
        std::vector<unsigned char> shot = qbntest::readPixels(115, 100, 400, 400);
        size_t n = 0;
        for (size_t i = 0; i + 2 < shot.size(); i += 3)
            n += !isBackground(&shot[i]);
        return n;
    };
    const size_t filled = ballPixels();
    shift(GLUT_KEY_F3);
    const size_t outlined = ballPixels();
    EXPECT_GT(outlined, 0u);
    EXPECT_LT(outlined, filled * 3 / 4) << outlined << " of " << filled;
    // Picking and everything after the scene see filled polygons.
    GLint mode[2];
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);

    // The help veil is a 2D item: still a filled grey over the background.
    shift(GLUT_KEY_F1);
    window.drawFrame();
    expectVeil();
    shift(GLUT_KEY_F1);
    shift(GLUT_KEY_F3);
    EXPECT_EQ(ballPixels(), filled);
}

// Immediate mode, vertex arrays and display lists, with culling on and off, show the same scene:
// animated and compiled models, and a shape drawn by GLUT between them.
TEST_F(Technical, TheThreeRenderPathsDrawTheSamePicture) {
    look(Vector3(20, 60, 220), Vector3(0, 0, 0));
    scene->setDefaultLight(true);
    add(new NSObjects::ObjectBrett3(true), Vector3(0, -20, 0));
    add(new NSObjects::ObjectSphere(true), Vector3(-40, 0, 0));
    add(new NSObjects::ObjectBasketball(true), Vector3(0, 0, 0));
    add(new NSObjects::ObjectSphere(true), Vector3(40, 20, -20));
    add(new NSObjects::ObjectJohnny5(true), Vector3(50, 0, 30));
    add(new NSObjects::ObjectTennisball(true), Vector3(20, 10, 40));
    add(new NSObjects::ObjectBowlingball(true), Vector3(-60, 30, -40));

    const std::vector<unsigned char> reference = sceneShot();
    size_t background = 0;
    for (size_t i = 0; i + 2 < reference.size(); i += 3)
        background += isBackground(&reference[i]);
    ASSERT_LT(background, reference.size() / 3 * 97 / 100) << "the scene shows almost nothing";

    const struct {
        const char* name;
        bool vertexArrays, displayLists, culling;
    } paths[] = {{"vertex arrays", true, false, true},  {"display lists", false, true, true},
                 {"both", true, true, true},            {"immediate, no culling", false, false, false},
                 {"vertex arrays, no culling", true, false, false}};
    for (const auto& p : paths) {
        SCOPED_TRACE(p.name);
        scene->setVertexArrays(p.vertexArrays);
        scene->setDisplayLists(p.displayLists);
        scene->setCulling(p.culling);
        const std::vector<unsigned char> shot = sceneShot();
        ASSERT_EQ(shot.size(), reference.size());
        size_t differing = 0;
        for (size_t i = 0; i + 2 < shot.size(); i += 3)
            differing += std::abs(shot[i] - reference[i]) > 8 || std::abs(shot[i + 1] - reference[i + 1]) > 8 ||
                         std::abs(shot[i + 2] - reference[i + 2]) > 8;
        EXPECT_LT(differing, shot.size() / 3 / 500) << differing << " pixels differ";
    }
}

} // namespace
