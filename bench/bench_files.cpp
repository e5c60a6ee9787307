// Saving and loading a level of 500 objects (the catalogue's objects in turn,
// spread over a big room), in a scratch folder, and undo in it: the time a
// step takes to record and to bring back, and the memory the history holds.
// Needs an X display: the objects load their models and skins.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchWindow.h"
#include "level/ControllerLevel.h"
#include "level/LevelCustom.h"
#include "objects/ObjectCatalogue.h"
#include "scene/Scene.h"
#include "objects/NodeGraphic.h"

namespace fs = std::filesystem;

namespace {

constexpr int kObjects = 500;

NSScene::Scene* scene = nullptr;
NSLevel::LevelCustom* level = nullptr;
NSLevel::ControllerLevel* controller = nullptr;

void build() {
    // The editor's level, as "Custom Mode" opens it.
    controller->selectCustom();
    controller->update();
    const auto& names = NSObjects::creationList();
    for (int i = 0; i < kObjects; ++i) {
        NSNode::NodeGraphic* object = NSObjects::createObject(names[static_cast<size_t>(i) % names.size()].first);
        object->setPosition(Vector3(float(i % 10) * 25.0f - 120.0f, float((i / 10) % 5) * 25.0f - 60.0f,
                                    float(i / 50) * 25.0f - 120.0f));
        scene->addObject(object);
    }
    scene->getRoot()->applyPendingChanges();
    level->registerWinConditonHit(unsigned(scene->getRoot()->getChildren()[2]->getId()),
                                  unsigned(scene->getRoot()->getChildren()[3]->getId()));
}

void BM_SaveLevel500(benchmark::State& state) {
    for (auto _ : state)
        if (!level->save("bench500"))
            state.SkipWithError("save failed");
    state.counters["bytes"] = static_cast<double>(fs::file_size("levels/bench500.lvl"));
}

void BM_LoadLevel500(benchmark::State& state) {
    for (auto _ : state)
        if (!level->load("bench500"))
            state.SkipWithError("load failed");
    state.counters["objects"] = static_cast<double>(scene->getRoot()->getChildren().size());
}

NSNode::NodeTransform* objectAt(size_t i) {
    const auto& children = scene->getRoot()->getChildren();
    return children[1 + i % (children.size() - 1)];
}

// One command's step: an object moved, the scene written and compared.
void BM_UndoRecordMove500(benchmark::State& state) {
    NSLevel::GameState& game = controller->state();
    game.forgetHistory();
    size_t i = 0;
    for (auto _ : state) {
        NSNode::NodeTransform* object = objectAt(i++ * 7);
        object->setPosition(object->getPosition() + Vector3(0.5f, 0, 0));
        game.commitEdits();
    }
    state.counters["steps"] = static_cast<double>(game.history().undoCount());
}

// Undo and redo of a move, each reading the scene back.
void BM_UndoRedo500(benchmark::State& state) {
    NSLevel::GameState& game = controller->state();
    for (auto _ : state)
        if (!game.undo() || !game.redo())
            state.SkipWithError("nothing to undo");
}

// The memory of a full history: 200 steps of moves, turns, colours, objects
// made and deleted, and a goal (once: the figure is the memory, not a time).
void BM_UndoMemory500(benchmark::State& state) {
    NSLevel::GameState& game = controller->state();
    const auto& names = NSObjects::creationList();
    for (auto _ : state) {
        game.forgetHistory();
        const size_t start = game.history().bytes();
        for (size_t i = 0; game.history().undoCount() < NSLevel::UndoHistory::kMaxSteps; ++i) {
            NSNode::NodeTransform* object = objectAt(i * 13);
            switch (i % 5) {
            case 0: object->setPosition(object->getPosition() + Vector3(0, 0.5f, 0)); break;
            case 1: object->setRotation(object->getRotation() + Vector3(0.1f, 0, 0)); break;
            case 2:
                dynamic_cast<NSNode::NodeGraphic*>(object)->setMenuValue("Color Green", NSMenu::Value::ofFloat(0.3f));
                break;
            case 3: scene->addObject(NSObjects::createObject(names[i % names.size()].first)); break;
            default: scene->removeObject(object); break;
            }
            game.commitEdits();
        }
        state.counters["state_bytes"] = static_cast<double>(start);
        state.counters["history_bytes"] = static_cast<double>(game.history().bytes());
        state.counters["steps"] = static_cast<double>(game.history().undoCount());
    }
}

} // namespace

BENCHMARK(BM_SaveLevel500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLevel500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRecordMove500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedo500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoMemory500)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!benchwindow::open("bench_files", argc, argv, 300, 300))
        return 1;
    const fs::path scratch = benchwindow::enterScratchFolder("files", QBN_RUN_DIR, {"md2_objects", "particletextures"});
    if (scratch.empty())
        return 1;

    scene = new NSScene::Scene();
    // The level, its controller and the new objects use the scene's world.
    NSNode::ControllerNode::Use sceneWorld(scene->world());
    level = new NSLevel::LevelCustom();
    controller = new NSLevel::ControllerLevel({}, level, nullptr);
    build();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return 0;
}
