// SHIFT+F1 to F9: display settings and their messages; the three ways of drawing give one picture.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "objects/ObjectModels.h"
#include "objects/ObjectShapes.h"
#include "scene/Scene.h"
#include "window/Window.h"
#include "window/WindowCullingGraph.h"
#include "window/WindowFrameRate.h"
#include "window/WindowTempPopUp.h"
#include "support/GameFolder.h"
#include "support/GlContext.h"

using NSWindow::Window;

namespace {

std::string message() {
    auto* popUp = NSWindow::WindowTempPopUp::current();
    return popUp ? popUp->getText() : "";
}

bool isBackground(const unsigned char* p) { return p[0] == 0 && p[1] == 0 && p[2] == 128; }

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
        {GLUT_KEY_F2, [this] { return window.getFrameRate()->isVisible(); }, "FPS Anzeige ein", "FPS Anzeige aus"},
        {GLUT_KEY_F3, [this] { return window.isWireframe(); }, "Wireframe Anzeige ein", "Wireframe Anzeige aus"},
        {GLUT_KEY_F6, [this] { return scene->settings().isVertexArrays(); }, "Render Mode: Vertex Array",
         "Render Mode: Immediate Mode"},
        {GLUT_KEY_F7, [this] { return scene->settings().isDisplayLists(); }, "Display List on", "Display List off"},
        {GLUT_KEY_F8, [this] { return scene->settings().isCulling(); }, "Culling enabled", "Culling disabled"},
        {GLUT_KEY_F9, [this] { return scene->settings().isTransparency(); }, "Transparency on", "Transparency off"},
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
    EXPECT_FALSE(window.isSaveCurrentRequested()) << "SHIFT+F2 is no quick save";

    // The culling graph goes off and comes back with the culling.
    NSWindow::WindowCullingGraph* graph = window.getCullingGraph();
    for (bool on : {false, true}) {
        shift(GLUT_KEY_F8);
        EXPECT_EQ(graph->isVisible(), on);
        EXPECT_EQ(scene->settings().isCulling(), on);
    }
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
        scene->settings().setVertexArrays(p.vertexArrays);
        scene->settings().setDisplayLists(p.displayLists);
        scene->settings().setCulling(p.culling);
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
