// Saving and loading a level of 500 objects (the catalogue's objects in turn,
// spread over a big room), in a scratch folder. Needs an X display: the
// objects load their models and skins.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "level/LevelCustom.h"
#include "objects/ObjectCatalogue.h"
#include "scene/Scene.h"
#include "objects/NodeGraphic.h"

namespace fs = std::filesystem;

namespace {

constexpr int kObjects = 500;

NSScene::Scene* scene = nullptr;
NSLevel::LevelCustom* level = nullptr;

void build() {
    level->build();
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

} // namespace

BENCHMARK(BM_SaveLevel500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLevel500)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_files: needs an X display (run it under Xvfb)\n");
        return 1;
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutCreateWindow("Quibbleton");
    glutDisplayFunc([] {});
    glutMainLoopEvent();

    char name[] = "/tmp/qbn-bench-files-XXXXXX";
    if (!mkdtemp(name) || chdir(name) != 0)
        return 1;
    fs::create_directory("levels");
    fs::create_directory_symlink(fs::path(QBN_RUN_DIR) / "md2_objects", "md2_objects");
    fs::create_directory_symlink(fs::path(QBN_RUN_DIR) / "particletextures", "particletextures");

    scene = new NSScene::Scene();
    NSLevel::Level::setScene(scene);
    level = new NSLevel::LevelCustom();
    build();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(name, ignored);
    return 0;
}
