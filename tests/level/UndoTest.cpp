// Undo and redo: every kind of edit undone gives back the level file saved
// before it, redone the one after; a handle drag is one step; a run changes
// nothing; a new edit drops the redo steps.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <random>
#include <sstream>

#include "level/GameStateFixture.h"
#include "level/UndoHistory.h"
#include "persistence/ClassIds.h"

namespace {

class Undo : public qbntest::GameStateTest {
protected:
    std::string saved() {
        EXPECT_TRUE(levels->currentLevel()->save("undo"));
        return qbntest::fileBytes("levels/undo.lvl");
    }
    int selectedId() const { return scene->getSelected() ? scene->getSelected()->getId() : -1; }
    // Commands split by '|', each after a frame: a menu label ("Mass=42" with
    // a value), the copy key "n", or a level edit ("goal+", "goal-", "name").
    void run(const std::string& commands) {
        frame();
        std::stringstream list(commands);
        for (std::string c; std::getline(list, c, '|'); frame()) {
            NSLevel::Level* level = levels->currentLevel();
            const size_t eq = c.find('=');
            if (c == "n")
                scene->keyPressed('n', 0, false);
            else if (c == "goal+")
                level->registerWinConditonHit(unsigned(ball), unsigned(room));
            else if (c == "goal-")
                level->removeGoal(unsigned(ball), unsigned(room));
            else if (c == "name")
                level->setName(level->getName() + "!");
            else
                menu->itemChanged(c.substr(0, eq), eq == c.npos ? NSMenu::Value()
                                                                : NSMenu::Value::ofFloat(std::stof(c.substr(eq + 1))));
        }
    }
    void customWithBall() {
        enter(NSLevel::Mode::Custom);
        run("Basketball");
        ball = selectedId();
        room = firstOfClass(CLASS_OBJECT_ROOM)->getId();
        state().commitEdits();
    }
    int ball = -1;
    int room = -1;
};

} // namespace

TEST_F(Undo, EveryKindOfEditComesUndoneAndRedoneToTheSavedBytes) {
    customWithBall();
    // On the ball's page ('b'), the room's ('r') or none; what leads there; the step.
    const std::vector<std::tuple<char, const char*, const char*>> kinds = {
        {'b', "", "Position X =12.5"}, {'b', "", "Rotation Y=0.25"}, {'b', "", "Color Red=0.25"},
        {'b', "", "Mass=42"}, {'b', "Physics...", "Gravity"}, {'b', "Properties...", "Heat"},
        {'b', "Physics...|Wind", "Scaling=2.5"}, {'b', "Attach Object...", "Basketball"}, {'-', "", "Tennisball"},
        {'b', "", "n"}, {'r', "", "Length=150"}, {'-', "", "goal+"}, {'-', "goal+", "goal-"}, {'-', "", "name"},
        {'b', "", "Delete Object"}};
    for (const auto& [on, lead, step] : kinds) {
        SCOPED_TRACE(step);
        const int touched = on == 'b' ? ball : on == 'r' ? room : -1;
        scene->select(scene->findNode(touched));
        run(lead);
        state().commitEdits();
        const std::string before = saved();
        const size_t steps = state().history().undoCount();
        run(step);
        state().commitEdits();
        const std::string after = saved();
        ASSERT_TRUE(before != after && state().history().undoCount() == steps + 1);
        ASSERT_TRUE(state().undo());
        EXPECT_TRUE(saved() == before);
        EXPECT_EQ(selectedId(), touched);
        ASSERT_TRUE(state().redo());
        EXPECT_TRUE(saved() == after);
    }
}

TEST_F(Undo, AHundredRandomEditsUnwindToTheFirstByteAndWindBackToTheLast) {
    customWithBall();
    const std::string start = saved();
    const size_t first = state().history().undoCount();
    std::mt19937 random(30);
    const char* const onObject[] = {"Position Y =", "Delete Object", "Color Green=0.", "n", "Mass="};
    const char* const onNone[] = {"Basketball", "Tennisball", "name", "Box", "Sph\xE4re"};
    while (state().history().undoCount() < first + 100) {
        const auto& objects = scene->getRoot()->getChildren();
        NSNode::NodeTransform* object = objects[random() % objects.size()];
        scene->select(object->classId() == CLASS_OBJECT_ROOM ? nullptr : object);
        std::string command = (scene->getSelected() ? onObject : onNone)[random() % 5];
        run(command.back() == '=' || command.back() == '.' ? command + std::to_string(random() % 90 + 5) : command);
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

TEST_F(Undo, AHandleDragIsOneStepARunChangesNothingAndANewEditDropsTheRedoSteps) {
    // A player's edit in a level, undone.
    const std::string laidOut = saved();
    firstOfClass(CLASS_OBJECT_BASKETBALL)->setPosition(Vector3(20, 30, 0));
    state().commitEdits();
    ASSERT_TRUE(state().undo());
    EXPECT_TRUE(saved() == laidOut);

    // The ball, seen in the middle of the view, dragged by its X arrow over
    // five frames with a key pressed on the way.
    customWithBall();
    scene->getCamera().setPosition(Vector3(0, 0, 150));
    scene->getCamera().setTarget(Vector3());
    scene->getCamera().update(0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene->draw();
    int x = 400;
    for (const GLuint* hit = nullptr; !(hit && hit[0] >= 2 && hit[4] == 1) && x < 800;)
        hit = scene->pick(++x, 300);
    ASSERT_LT(x, 800) << "no X arrow right of the ball";
    const std::string before = saved();
    const size_t steps = state().history().undoCount();
    NSWindow::Window window;
    window.setLevelControl(levels.get());
    window.onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, 300, 0);
    scene->mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, x, 300);
    for (int i = 1; i <= 5; ++i, frame()) {
        scene->mouseDrag(0, x + 8 * i, 300);
        window.onKeyboard('c', 0);
    }
    window.onMouse(GLUT_LEFT_BUTTON, GLUT_UP, x + 40, 300, 0);
    scene->mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 0, x + 40, 300);
    frame();
    EXPECT_GT(scene->getSelected()->getPosition().x, 1.0f);
    EXPECT_EQ(state().history().undoCount(), steps + 1);
    ASSERT_TRUE(state().undo());
    EXPECT_TRUE(saved() == before);

    // A run: undo and redo do nothing, and its stop leaves no step.
    ASSERT_TRUE(scene->setRunning(true));
    disturb();
    state().commitEdits();
    EXPECT_FALSE(state().undo() || state().redo());
    ASSERT_TRUE(scene->setRunning(false));
    state().commitEdits();
    EXPECT_EQ(state().history().undoCount(), steps);
    EXPECT_EQ(state().history().redoCount(), 1u);

    // A new edit drops the steps to redo.
    scene->findNode(ball)->setPosition(Vector3(0, 60, 0));
    state().commitEdits();
    EXPECT_EQ(state().history().redoCount(), 0u);
}

// At least 100 steps, at most 200; beyond 100 the oldest go once the steps hold more than 16 MB.
TEST(UndoLimits, AHundredToTwoHundredStepsWithinSixteenMegabytes) {
    for (const auto& [size, kept] : {std::pair{8ul, 200ul}, {30000ul, 200ul}, {200000ul, 100ul}}) { // bytes a state
        NSLevel::UndoHistory history;
        for (int i = 0; i <= 250; ++i)
            history.record({"", std::string(size, char('a' + i % 2)), -1});
        EXPECT_EQ(history.undoCount(), kept) << size;
    }
}
