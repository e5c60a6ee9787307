// The monkey: seeded random commands in process; after each, finite bodies, goals naming existing objects, the
// menu showing the mode, saves during a run holding the layout from before it, and stops restoring it byte for
// byte. Runs only with QBN_MONKEY_SECONDS set; QBN_MONKEY_SEED=N replays the seed a failure names.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <random>

#include "level/GameStateFixture.h"
#include "objects/ObjectCatalogue.h"
#include "persistence/ClassIds.h"

namespace {

constexpr int kStepsPerSeed = 150;

using qbntest::fileBytes;
std::string withoutCamera(const std::string& scene) { return scene.substr(0, scene.rfind("[camO]")); }

bool allFinite(NSNode::NodeTransform* node) {
    const Vector3& p = node->getPosition();
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        return false;
    for (NSNode::NodeTransform* child : node->getChildren())
        if (!allFinite(child))
            return false;
    return true;
}

const char* const kCommands[] = {"frames", "F2", "F3", "F5", "F6", "Custom Mode", "Level Mode", "Start Test",
                                 "Stop Test", "start", "pause", "stop", "menu click", "create", "delete", "select",
                                 "scene mouse", "Save Level", "Load Level", "Save Scene", "Load Scene", "New Level",
                                 "level slider", "undo", "redo", "o", "t"};

} // namespace

class Monkey : public qbntest::GameStateTest {
public:
    std::mt19937 rng;
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    NSNode::NodeTransform* randomObject() {
        const auto& children = scene->getRoot()->getChildren();
        if (children.empty())
            return nullptr;
        return *std::next(children.begin(), pick(static_cast<int>(children.size())));
    }

    // Returns the file a save during a run wrote, or "".
    std::string step(const std::string& c) {
        NSWindow::LevelControl& keys = *levels;
        const bool running = scene->isRunning();
        if (c == "frames") {
            for (int i = pick(5); i >= 0; --i)
                frame(1.0f / 30.0f);
        } else if (c == "F2") {
            keys.saveCurrent();
            return running || state().mode() == NSLevel::Mode::CustomTest ? "levels/_current.lvl" : "";
        } else if (c == "F3") keys.loadCurrent();
        else if (c == "F5") keys.previousLevel();
        else if (c == "F6") keys.nextLevel();
        else if (c == "Custom Mode") menu->setLevelMode(false);
        else if (c == "Level Mode") menu->setLevelMode(true);
        else if (c == "Start Test") menu->setTestMode(true);
        else if (c == "Stop Test") menu->setTestMode(false);
        else if (c == "start") scene->setRunning(true);
        else if (c == "pause") scene->setPaused(!scene->isPaused());
        else if (c == "stop") scene->setRunning(false);
        else if (c == "menu click") {
            auto items = menu->items();
            if (!items.empty()) {
                const auto& a = items[static_cast<size_t>(pick(static_cast<int>(items.size())))]->getArea();
                const int x = a.x + 1 + pick(std::max(1, a.width - 2)), y = a.y + 1 + pick(std::max(1, a.height - 2));
                menu->mouseButton(0, 0, 0, x, y);
                menu->mouseButton(0, 1, 0, x, y);
            }
        } else if (c == "create") {
            const auto& list = NSObjects::creationList();
            scene->select(nullptr);
            frame();
            menu->itemChanged(list[static_cast<size_t>(pick(static_cast<int>(list.size())))].first, NSMenu::Value());
        } else if (c == "delete") {
            scene->select(randomObject());
            frame();
            menu->keyPressed(127, 0, false);
        } else if (c == "select") {
            scene->select(pick(3) ? randomObject() : nullptr);
        } else if (c == "scene mouse") {
            const int button = pick(5), x = pick(630), y = pick(600);
            scene->mouseButton(button, 0, 0, x, y);
            scene->mouseDrag(0, x + pick(41) - 20, y + pick(41) - 20);
            scene->mouseButton(button, 1, 0, x, y);
        } else if (c == "Save Level") {
            state().saveLevel("monkey");
            return running || state().mode() == NSLevel::Mode::CustomTest ? "levels/monkey.lvl" : "";
        } else if (c == "Load Level") state().loadLevel("monkey");
        else if (c == "Save Scene") {
            state().saveScene("monkey");
            return running || state().mode() == NSLevel::Mode::CustomTest ? "levels/monkey.lvs" : "";
        } else if (c == "Load Scene") state().loadScene("monkey");
        else if (c == "New Level") state().newCustomLevel();
        else if (c == "level slider") state().selectLevel(static_cast<unsigned>(pick(8)));
        else if (c == "undo") keys.undo();
        else if (c == "redo") keys.redo();
        else if (c == "o" || c == "t") scene->keyPressed(c[0], 0, false);
        // As the window does once a command has ended: what it changed becomes a step to undo.
        keys.commandEnded();
        return "";
    }

    // What a player would notice after the step, or "".
    std::string brokenAfter(const std::string& command, const std::string& saved, const std::string& layout,
                            const std::string& preRun, bool wasRunning, NSLevel::Mode mode) {
        if (!allFinite(scene->getRoot()))
            return "a body left the finite numbers";
        if (!saved.empty() && (wasRunning || mode == NSLevel::Mode::CustomTest)) {
            std::string bytes = fileBytes(saved), pre = fileBytes(layout);
            bytes = bytes.substr(0, bytes.find("[QBN-OWNER]")); // a quick save's owner follows the scene
            if (bytes.size() < pre.size() || bytes.compare(bytes.size() - pre.size(), pre.size(), pre) != 0)
                return "a save during a run or a test wrote another layout";
        }
        if (command == "stop" && wasRunning && !scene->isRunning() && mode == state().mode()) {
            scene->saveScene("_monkey");
            // The objects, not the camera, which keeps itself upright by a rounding step every frame.
            if (withoutCamera(fileBytes("levels/_monkey.lvs")) != withoutCamera(preRun))
                return "stop did not restore the layout from before the run";
        }
        if (NSLevel::Level* level = levels->currentLevel())
            for (const NSLevel::LevelGoal& goal : level->getGoals())
                if (!scene->findNode(int(goal.id1)) || !scene->findNode(int(goal.id2)))
                    return "a goal names a missing object";
        if (NSMenu::isCustomMode() != (state().mode() != NSLevel::Mode::Level) ||
            NSMenu::isDesignerEditing() != (state().mode() == NSLevel::Mode::Custom))
            return "the menu's mode is not the state's";
        return "";
    }

    // One seed's sequence; false (with the failure reported) at the first broken invariant.
    bool runSeed(unsigned seed, long& commands) {
        rng.seed(seed);
        std::error_code ignored;
        for (const auto& file : std::filesystem::directory_iterator("levels"))
            std::filesystem::remove(file.path(), ignored);
        start(true);
        std::string preRun;
        for (int i = 0; i < kStepsPerSeed; ++i, ++commands) {
            const std::string command = kCommands[pick(std::size(kCommands))];
            const bool wasRunning = scene->isRunning();
            const NSLevel::Mode mode = state().mode();
            const std::string layout = mode == NSLevel::Mode::CustomTest ? "levels/_test.lvs" : "levels/_current.lvs";
            if (std::getenv("QBN_MONKEY_TRACE"))
                std::printf("step %d: %s (%s, %s)\n", i, command.c_str(), NSLevel::modeName(mode),
                            wasRunning ? "running" : "stopped");
            const std::string saved = step(command);
            frame();
            const std::string where = "seed " + std::to_string(seed) + ", step " + std::to_string(i) + " (" +
                                      command + "); replay with QBN_MONKEY_SEED=" + std::to_string(seed);
            if (!wasRunning && scene->isRunning())
                preRun = fileBytes("levels/_current.lvs");
            const std::string broken = brokenAfter(command, saved, layout, preRun, wasRunning, mode);
            if (!broken.empty()) {
                ADD_FAILURE() << broken << " at " << where;
                return false;
            }
        }
        if (scene->isRunning())
            scene->setRunning(false);
        return true;
    }
};

TEST_F(Monkey, RandomCommandSequencesKeepTheGameWhole) {
    const char* seconds = std::getenv("QBN_MONKEY_SECONDS");
    const char* replay = std::getenv("QBN_MONKEY_SEED");
    if (!seconds && !replay)
        GTEST_SKIP() << "set QBN_MONKEY_SECONDS (or QBN_MONKEY_SEED) to run";
    long commands = 0;
    if (replay) {
        runSeed(static_cast<unsigned>(std::strtoul(replay, nullptr, 10)), commands);
        return;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::atol(seconds));
    unsigned seed = 1;
    if (const char* first = std::getenv("QBN_MONKEY_FIRST_SEED"))
        seed = static_cast<unsigned>(std::strtoul(first, nullptr, 10));
    const unsigned firstSeed = seed;
    while (std::chrono::steady_clock::now() < end && runSeed(seed, commands))
        ++seed;
    std::printf("monkey: %ld commands in %u seeds (%u to %u)\n", commands, seed - firstSeed, firstSeed, seed - 1);
}
