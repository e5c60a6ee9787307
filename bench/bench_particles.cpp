// Particle systems under load, in a room of the game's scene view at
// 800 x 600 with the machine running:
// - a texture system that keeps about 2000 sprites alive (1000 a second,
//   two seconds each, fading in and out, the default sprite size of 5);
// - a simple system that keeps about 500 spheres alive which take part in
//   the physics from the start: they bounce off the room, four boxes and
//   each other.
// - the same room with an emitter that sends nothing, for comparison.
// For each: one simulation step alone, the drawing of one frame alone, and a
// whole frame (step, drawing, buffer swap) as the game runs it, reported as
// frames per second. Mesa's software renderer draws in threads of its own,
// so the time is wall-clock time; "cpu" is the processor time of all the
// process's threads per iteration, which tells what a frame costs when the
// machine is busy with other work. Needs an X display (Xvfb will do) and the
// particle texture of the run folder. Prints Google Benchmark's report, then
// a table.
#include <benchmark/benchmark.h>

#include <GL/freeglut.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "BenchWindow.h"
#include "objects/ObjectCatalogue.h"
#include "objects/ObjectLight.h"
#include "objects/ObjectShapes.h"
#include "particles/ObjectParticleSystems.h"
#include "scene/Scene.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr float kStep = 1.0f / 60.0f;
constexpr int kFrames = 300;

namespace fs = std::filesystem;

// A scratch working folder: "levels/" for the machine's snapshot and the
// run folder's particle textures.
struct Folder {
    fs::path path;
    Folder() {
        char name[] = "/tmp/qbn-bench-particles-XXXXXX";
        if (!mkdtemp(name))
            return;
        path = name;
        fs::create_directory(path / "levels");
        fs::create_directory_symlink(fs::path(QBN_RUN_DIR) / "particletextures", path / "particletextures");
        fs::create_directory_symlink(fs::path(QBN_RUN_DIR) / "md2_objects", path / "md2_objects");
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// A room with a lamp and a particle system on its floor sending upwards,
// seen from inside, with the machine running and the system in its steady
// state.
struct Stage {
    std::unique_ptr<NSScene::Scene> scene{new NSScene::Scene()};
    std::function<size_t()> liveCount;

    template <class S>
    Stage(S* system, void (*furnish)(NSScene::Scene&)) {
        scene->setLayout(NSWindow::ItemLayout(0, 0, kWidth, kHeight));
        auto* room = new NSObjects::ObjectRoom(300.0f, 300.0f, 300.0f);
        scene->addObject(room);
        auto* lamp = new NSObjects::ObjectLightOmni(true);
        lamp->setPosition(Vector3(-130.0f, 130.0f, 130.0f));
        scene->addObject(lamp);
        if (furnish)
            furnish(*scene);
        system->setPosition(Vector3(0.0f, -140.0f, 0.0f));
        system->setRotation(Vector3(-NSParticle::kPi / 2.0f, 0.0f, 0.0f));
        system->emitDurationEnabled = false;
        scene->addObject(system);
        scene->getRoot()->applyPendingChanges();
        scene->getCamera().setPosition(Vector3(0.0f, -20.0f, 145.0f));
        scene->getCamera().setTarget(Vector3(0.0f, -40.0f, -10.0f));
        scene->getCamera().update(0.0f);
        liveCount = [system] { return system->getParticles().size(); };
        if (!scene->setRunning(true))
            std::fprintf(stderr, "bench_particles: the machine did not start\n");
        // Three seconds: past one whole lifespan, so births and deaths balance.
        for (int i = 0; i < 180; ++i)
            step();
        draw(); // the first drawing loads the texture
    }
    void step() { scene->step(kStep, 0.0f); }
    void draw() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->draw();
        glutSwapBuffers();
        glFinish();
    }
};

Stage* makeTextureStage() {
    auto* s = new NSParticle::ObjectParticleSystemTexture(true);
    s->emitterSize = Vector3(100.0f, 0.0f, 100.0f);
    s->emitAngle = Vector3(0.3f, 0.3f, 0.0f);
    s->emitSpeed = 40.0f;
    s->partsPerSec = 1000.0f;
    s->lifespan = 2.0f;
    s->alphaFading = true;
    s->colorMode = 1;
    s->setColor(Vector3(1.0f, 0.8f, 0.2f));
    s->fadeColor = Vector3(1.0f, 0.1f, 0.0f);
    return new Stage(s, nullptr);
}

void addBoxes(NSScene::Scene& scene) {
    const Vector3 places[] = {{60, -60, 40}, {-60, -20, -40}, {40, 40, -60}, {-50, 60, 50}};
    for (const Vector3& at : places) {
        NSNode::NodeGraphic* box = NSObjects::createObject("Box");
        box->setPosition(at);
        scene.addObject(box);
    }
}

Stage* makeSimpleStage() {
    auto* s = new NSParticle::ObjectParticleSystemSimple(true);
    s->emitterSize = Vector3(150.0f, 0.0f, 150.0f);
    s->emitAngle = Vector3(0.3f, 0.3f, 0.0f);
    s->emitSpeed = 150.0f;
    s->partsPerSec = 250.0f;
    s->lifespan = 2.0f;
    s->interactionMode = 1;
    s->colorMode = 1;
    s->setColor(Vector3(1.0f, 0.9f, 0.1f));
    s->fadeColor = Vector3(1.0f, 0.0f, 0.0f);
    return new Stage(s, addBoxes);
}

Stage* makeEmptyStage() {
    auto* s = new NSParticle::ObjectParticleSystemTexture(true);
    s->partsPerSec = 0.0f;
    return new Stage(s, nullptr);
}

// One stage at a time, so that the two never share the hit registry.
std::unique_ptr<Stage> stage;
std::unique_ptr<Folder> folder;
std::string stageName;

Stage& stageFor(const std::string& name) {
    if (name != stageName) {
        stage.reset();
        stageName = name;
        stage.reset(name == "texture2000" ? makeTextureStage()
                    : name == "simple500" ? makeSimpleStage()
                                          : makeEmptyStage());
    }
    return *stage;
}

// Milliseconds per step and per drawing, and frames per second, by stage.
std::map<std::string, std::map<std::string, double>> results;

// Processor time of every thread of the process so far, in seconds.
double processSeconds() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

template <class Body>
void measure(benchmark::State& state, const std::string& name, const std::string& what, Body body) {
    Stage& s = stageFor(name);
    const double cpuStart = processSeconds();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        body(s);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double perIteration = seconds / static_cast<double>(state.iterations());
    const double cpuPerIteration = (processSeconds() - cpuStart) / static_cast<double>(state.iterations());
    state.counters["live"] = static_cast<double>(s.liveCount());
    state.counters["cpu_ms"] = cpuPerIteration * 1000.0;
    results[name][what + " cpu ms"] = cpuPerIteration * 1000.0;
    if (what == "frame") {
        state.counters["fps"] = 1.0 / perIteration;
        results[name]["fps"] = 1.0 / perIteration;
    } else {
        results[name][what + " ms"] = perIteration * 1000.0;
    }
    results[name]["live"] = static_cast<double>(s.liveCount());
}

void registerStage(const std::string& name) {
    const std::pair<const char*, void (*)(Stage&)> parts[] = {
        {"step", [](Stage& s) { s.step(); }},
        {"draw", [](Stage& s) { s.draw(); }},
        {"frame",
         [](Stage& s) {
             s.step();
             s.draw();
         }},
    };
    for (const auto& [what, body] : parts) {
        const std::string part = what;
        auto run = body;
        benchmark::RegisterBenchmark(("Particles/" + name + "/" + part).c_str(),
                                     [name, part, run](benchmark::State& state) { measure(state, name, part, run); })
            ->UseRealTime()
            ->Iterations(kFrames)
            ->Unit(benchmark::kMillisecond);
    }
}

void printTable() {
    std::printf("\nParticles at %d x %d: wall-clock ms per step and per drawing, frames per second (step +\n"
                "drawing), and the processor ms of all threads per step, drawing and frame\n",
                kWidth, kHeight);
    std::printf("%-13s %6s %9s %9s %7s %9s %9s %9s\n", "stage", "live", "step ms", "draw ms", "fps", "step cpu",
                "draw cpu", "frame cpu");
    for (const auto& [name, row] : results) {
        auto get = [&row](const char* key) {
            auto it = row.find(key);
            return it == row.end() ? 0.0 : it->second;
        };
        std::printf("%-13s %6.0f %9.2f %9.2f %7.1f %9.2f %9.2f %9.2f\n", name.c_str(), get("live"), get("step ms"),
                    get("draw ms"), get("fps"), get("step cpu ms"), get("draw cpu ms"), get("frame cpu ms"));
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!benchwindow::open("bench_particles", argc, argv, kWidth, kHeight))
        return 1;
    glutHideWindow();
    glutMainLoopEvent();
    // The game's lighting set-up.
    glClearColor(0.0f, 0.0f, 0.5f, 0.0f);
    glEnable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
    const GLfloat noAmbient[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);

    folder.reset(new Folder());
    if (folder->path.empty() || chdir(folder->path.c_str()) != 0) {
        std::fprintf(stderr, "bench_particles: no scratch folder\n");
        return 1;
    }
    registerStage("empty");
    registerStage("texture2000");
    registerStage("simple500");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    stage.reset();
    printTable();
    if (chdir("/") != 0)
        return 1;
    folder.reset();
    return 0;
}
