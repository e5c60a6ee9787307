// Undo and redo as a level author and a player meet them: every kind of edit
// undone gives back the level file a save wrote before it and redone the one
// after; a long session of random edits unwinds to its first byte; a handle
// drag is one step; a run changes nothing and a load starts afresh.
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <fstream>
#include <iterator>
#include <random>

#include "level/GameStateFixture.h"
#include "persistence/ClassIds.h"
#include "scenegraph/NodeGraphic.h"

using NSMenu::Value;

namespace {

class Undo : public qbntest::GameStateTest {
protected:
    // The level file a save writes now.
    std::string saved() {
        EXPECT_TRUE(levels->currentLevel()->save("undo"));
        std::ifstream in("levels/undo.lvl", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    int selectedId() const { return scene->getSelected() ? scene->getSelected()->getId() : -1; }
    void select(int id) {
        scene->select(id < 0 ? nullptr : scene->findNode(id));
        frame();
    }
    // A menu label with its value, a key ("key n") or a level edit.
    void run(const std::string& command, const Value& value) {
        NSLevel::Level* level = levels->currentLevel();
        if (command == "key n")
            scene->keyPressed('n', 0, false);
        else if (command == "goal+")
            level->registerWinConditonHit(unsigned(ball), unsigned(room));
        else if (command == "goal-")
            level->removeGoal(unsigned(ball), unsigned(room));
        else if (command == "name")
            level->setName("Renamed");
        else if (command == "info")
            level->setInfoText("Another text");
        else
            menu->itemChanged(command, value);
        frame();
    }
    void customWithBall() {
        enter(NSLevel::Mode::Custom);
        run("Basketball", Value());
        ball = selectedId();
        room = firstOfClass(CLASS_OBJECT_ROOM)->getId();
        state().commitEdits();
    }
    int ball = -1;
    int room = -1;
};

struct Edit {
    const char* label;
    Value value;
};

struct Kind {
    const char* name;
    bool onBall; // on the ball's page (else the room's or none)
    bool onRoom;
    std::vector<Edit> before; // leads there, not part of the step
    std::vector<Edit> step;
};

} // namespace

TEST_F(Undo, EveryKindOfEditComesUndoneAndRedoneToTheSavedBytes) {
    customWithBall();
    const Value none;
    const Kind kinds[] = {
        {"move", true, false, {}, {{"Position X ", Value::ofFloat(12.5f)}}},
        {"turn", true, false, {}, {{"Rotation Y", Value::ofFloat(0.25f)}}},
        {"colour", true, false, {}, {{"Color Red", Value::ofFloat(0.25f)}}},
        {"mass", true, false, {}, {{"Mass", Value::ofFloat(42.0f)}}},
        {"effect", true, false, {{"Physics...", none}}, {{"Gravity", none}}},
        {"property", true, false, {{"Properties...", none}}, {{"Heat", none}}},
        {"physics value", true, false, {{"Physics...", none}, {"Wind", none}}, {{"Scaling", Value::ofFloat(2.5f)}}},
        {"attach", true, false, {{"Attach Object...", none}}, {{"Basketball", none}}},
        {"create", false, false, {}, {{"Tennisball", none}}},
        {"copy", true, false, {}, {{"key n", none}}},
        {"room size", false, true, {}, {{"Length", Value::ofFloat(150.0f)}}},
        {"goal added", false, false, {}, {{"goal+", none}}},
        {"goal removed", false, false, {{"goal+", none}}, {{"goal-", none}}},
        {"name", false, false, {}, {{"name", none}}},
        {"info text", false, false, {}, {{"info", none}}},
        {"delete", true, false, {}, {{"Delete Object", none}}},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const int touched = kind.onBall ? ball : kind.onRoom ? room : -1;
        select(touched);
        for (const Edit& e : kind.before)
            run(e.label, e.value);
        state().commitEdits();
        const std::string before = saved();
        const size_t steps = state().history().undoCount();
        for (const Edit& e : kind.step)
            run(e.label, e.value);
        state().commitEdits();
        const std::string after = saved();
        ASSERT_TRUE(before != after);
        ASSERT_EQ(state().history().undoCount(), steps + 1);
        ASSERT_TRUE(state().undo());
        EXPECT_TRUE(saved() == before);
        EXPECT_EQ(selectedId(), touched);
        ASSERT_TRUE(state().redo());
        EXPECT_TRUE(saved() == after);
        frame();
    }
}

TEST_F(Undo, AHundredRandomEditsUnwindToTheFirstByteAndWindBackToTheLast) {
    customWithBall();
    const std::string start = saved();
    const size_t first = state().history().undoCount();
    std::mt19937 random(30);
    while (state().history().undoCount() < first + 100) {
        std::vector<NSNode::NodeTransform*> objects = scene->getRoot()->getChildren();
        NSNode::NodeTransform* object = objects[random() % objects.size()];
        select(object->classId() == CLASS_OBJECT_ROOM ? -1 : object->getId());
        const float f = float(random() % 1000) / 10.0f - 50.0f;
        switch (random() % 5) {
        case 0: run(scene->getSelected() ? "Position Y " : "Basketball", Value::ofFloat(f)); break;
        case 1: run(scene->getSelected() ? "Delete Object" : "Tennisball", Value()); break;
        case 2: run(scene->getSelected() ? "Color Green" : "name", Value::ofFloat(f / 100.0f + 0.5f)); break;
        case 3: run(scene->getSelected() ? "key n" : "Box", Value()); break;
        default: run("Mass", Value::ofFloat(f + 60.0f)); break;
        }
        state().commitEdits();
    }
    const std::string end = saved();
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(state().undo()) << i;
    EXPECT_TRUE(saved() == start);
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(state().redo()) << i;
    EXPECT_TRUE(saved() == end);
}

TEST_F(Undo, AHandleDragIsOneStepARunChangesNothingAndALoadStartsAfresh) {
    // A player's edit in a level: moved, undone.
    auto* levelBall = firstOfClass(CLASS_OBJECT_BASKETBALL);
    const std::string laidOut = saved();
    levelBall->setPosition(Vector3(20, 30, 0));
    state().commitEdits();
    ASSERT_TRUE(state().undo());
    EXPECT_TRUE(saved() == laidOut);

    // In the editor, the ball's X arrow dragged over five frames, with a
    // key pressed on the way: one step.
    customWithBall();
    select(ball);
    scene->getCamera().setPosition(Vector3(0, 0, 150));
    scene->getCamera().setTarget(Vector3());
    scene->getCamera().update(0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene->draw();
    GLdouble mv[16], pr[16], wx, wy, wz;
    GLint vp[4];
    scene->begin3D(false);
    scene->getCamera().apply();
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glGetDoublev(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, vp);
    const Vector3 at = scene->getSelected()->worldPosition();
    gluProject(at.x, at.y, at.z, mv, pr, vp, &wx, &wy, &wz);
    int x = int(wx);
    const int y = int(wy);
    for (const GLuint* hit = nullptr; !(hit && hit[0] >= 2 && hit[4] == 1) && x < 800;)
        hit = scene->pick(++x, y);
    ASSERT_LT(x, 800) << "no X arrow right of the ball";
    const std::string before = saved();
    const size_t steps = state().history().undoCount();
    NSWindow::Window window;
    window.setLevelControl(levels.get());
    window.onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y, 0);
    scene->mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, x, y);
    for (int i = 1; i <= 5; ++i) {
        scene->mouseDrag(0, x + 8 * i, y);
        window.onKeyboard('c', 0);
        frame();
    }
    window.onMouse(GLUT_LEFT_BUTTON, GLUT_UP, x + 40, y, 0);
    scene->mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 0, x + 40, y);
    frame();
    EXPECT_GT(scene->getSelected()->getPosition().x, 1.0f);
    EXPECT_EQ(state().history().undoCount(), steps + 1);
    ASSERT_TRUE(state().undo());
    EXPECT_TRUE(saved() == before);

    // While the machine runs, undo and redo do nothing, and its stop
    // leaves no step behind.
    const size_t left = state().history().undoCount();
    ASSERT_TRUE(scene->setRunning(true));
    disturb();
    state().commitEdits();
    EXPECT_FALSE(state().undo());
    EXPECT_FALSE(state().redo());
    ASSERT_TRUE(scene->setRunning(false));
    state().commitEdits();
    EXPECT_EQ(state().history().undoCount(), left);
    EXPECT_EQ(state().history().redoCount(), 1u);

    // A load clears the history and says so.
    levels->saveCurrent();
    levels->loadCurrent();
    EXPECT_EQ(state().history().undoCount() + state().history().redoCount(), 0u);
    EXPECT_EQ(popUp(), "Level loaded; undo history cleared");
}
