// Frames per second of drawing the built-in levels: each level's scene alone
// at 800 x 600 in the three render paths (immediate mode, vertex arrays,
// display lists), with culling on and off; and the whole game window
// (scene, menu, overlays) in the default settings. Needs an X display
// (Xvfb will do); reads the models from the run folder. Prints Google
// Benchmark's report, then two tables: frames per second (wall clock), and
// the drawing thread's own CPU time per frame, which shows what each path
// costs to hand the geometry to GL apart from the rasterising.
#include <benchmark/benchmark.h>

#include <GL/freeglut.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchWindow.h"
#include "level/ControllerLevel.h"
#include "level/Level.h"
#include "scene/Scene.h"
#include "shell/Log.h"
#include "window/Window.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct Path {
    const char* name;
    bool vertexArrays;
    bool displayLists;
};
const Path kPaths[] = {{"immediate", false, false}, {"vertex arrays", true, false}, {"display lists", false, true}};

// The runs of each benchmark, by level and column: iterations, frames per
// second and CPU milliseconds per frame. Only the runs with the most
// iterations count (the others were Google Benchmark's trial runs); of
// those the table shows the median.
struct Run {
    long iterations;
    double fps;
    double cpuMs;
};
std::map<int, std::map<std::string, std::vector<Run>>> results;
std::vector<std::string> columns;
// The row of the empty frame (clear and swap only).
constexpr int kEmptyRow = -1;

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void finishFrame() {
    glutSwapBuffers();
    glFinish();
}

// Runs frames until the benchmark has enough; keeps the rate of this run.
template <class Frame>
void measure(benchmark::State& state, int level, const std::string& column, Frame frame) {
    frame(); // the first frame pays for loading textures and compiling lists
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = threadSeconds();
    for (auto _ : state)
        frame();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = threadSeconds() - cpuStart;
    const double frames = static_cast<double>(state.iterations());
    const double fps = seconds > 0.0 ? frames / seconds : 0.0;
    state.counters["fps"] = fps;
    results[level][column].push_back({static_cast<long>(state.iterations()), fps, cpu * 1000.0 / frames});
}

// The median of the longest runs, as frames per second or CPU ms per frame.
double summary(const std::vector<Run>& runs, bool cpuMs) {
    long most = 0;
    for (const Run& r : runs)
        most = std::max(most, r.iterations);
    std::vector<double> values;
    for (const Run& r : runs)
        if (r.iterations == most)
            values.push_back(cpuMs ? r.cpuMs : r.fps);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void sceneFrames(benchmark::State& state, NSScene::Scene* scene, int level, const Path& path, bool culling) {
    scene->settings().setVertexArrays(path.vertexArrays);
    scene->settings().setDisplayLists(path.displayLists);
    scene->settings().setCulling(culling);
    measure(state, level, std::string(path.name) + (culling ? "" : " -cull"), [scene] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->draw();
        finishFrame();
    });
    scene->settings().setVertexArrays(false);
    scene->settings().setDisplayLists(false);
    scene->settings().setCulling(true);
}

void emptyFrames(benchmark::State& state) {
    measure(state, kEmptyRow, columns.front(), [] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        finishFrame();
    });
}

void windowFrames(benchmark::State& state, NSWindow::Window* window, int level) {
    measure(state, level, "game window", [window] {
        window->update();
        window->draw();
        glFinish();
    });
}

// The scene of one level on its own, filling the window.
NSScene::Scene* sceneOf(NSLevel::Level* level) {
    auto* scene = new NSScene::Scene();
    scene->setLayout(NSWindow::ItemLayout(0, 0, kWidth, kHeight));
    NSNode::ControllerNode::Use building(scene->world());
    level->build();
    scene->step(0.0f, 0.0f);
    return scene;
}

// A game window of its own around the level, without the level controller.
NSWindow::Window* windowOf(NSLevel::Level* level) {
    auto* window = new NSWindow::Window();
    window->onReshape(kWidth, kHeight);
    window->init(false);
    window->applyPendingChanges();
    level->build();
    window->getScene()->step(0.0f, 0.0f);
    return window;
}

void printTable(const std::vector<NSLevel::Level*>& levels, bool cpuMs) {
    if (cpuMs)
        std::printf("\nCPU milliseconds of the drawing thread per frame (rasterising runs in Mesa's threads)\n");
    else
        std::printf("\nFrames per second, %d x %d (scene alone; \"-cull\": culling off; game window: defaults)\n",
                    kWidth, kHeight);
    std::printf("%-8s", "level");
    for (const std::string& c : columns)
        std::printf(" %19s", c.c_str());
    std::printf("  name\n");
    for (const auto& [level, row] : results) {
        if (level == kEmptyRow)
            std::printf("%-8s", "empty");
        else
            std::printf("%-8d", level + 1);
        for (const std::string& c : columns) {
            auto it = row.find(c);
            if (it == row.end())
                std::printf(" %19s", "-");
            else
                std::printf(cpuMs ? " %19.2f" : " %19.1f", summary(it->second, cpuMs));
        }
        if (level == kEmptyRow)
            std::printf("  clear and swap only\n");
        else
            std::printf("  %s\n", latin1ToUtf8(levels[static_cast<size_t>(level)]->getName()).c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!benchwindow::open("bench_frames", argc, argv, kWidth, kHeight))
        return 1;
    glClearColor(0.0f, 0.0f, 0.5f, 0.0f);
    // The models live in the run folder beside the game.
    if (chdir(QBN_RUN_DIR) != 0) {
        std::fprintf(stderr, "bench_frames: no run folder at %s\n", QBN_RUN_DIR);
        return 1;
    }

    for (const Path& path : kPaths)
        columns.push_back(path.name);
    for (const Path& path : kPaths)
        columns.push_back(std::string(path.name) + " -cull");
    columns.push_back("game window");
    benchmark::RegisterBenchmark("Frames/empty", emptyFrames)->UseRealTime()->Unit(benchmark::kMillisecond);

    std::vector<NSLevel::Level*> levels = NSLevel::makeBuiltInLevels();
    // One level's scene and window live at a time, built as its first
    // benchmark starts: scenes share the node registry and OpenGL's light
    // slots, so levels built ahead would slow down and light the one
    // measured (with every level built at the start, the game window of
    // level 4 drew at 60 frames per second instead of 140).
    struct Built {
        int level = -1;
        NSScene::Scene* scene = nullptr;
        NSWindow::Window* window = nullptr;
    };
    static Built built;
    auto buildOnly = [levels](int level) -> Built& {
        if (built.level != level) {
            delete built.window;
            delete built.scene;
            built.level = level;
            built.scene = sceneOf(levels[static_cast<size_t>(level)]);
            built.window = windowOf(levels[static_cast<size_t>(level)]);
        }
        return built;
    };
    for (size_t i = 0; i < levels.size(); ++i) {
        const int level = static_cast<int>(i);
        for (bool culling : {true, false}) {
            for (const Path& path : kPaths) {
                const std::string name = "Frames/level" + std::to_string(level + 1) + "/" + path.name +
                                         (culling ? "/culling" : "/no-culling");
                benchmark::RegisterBenchmark(name.c_str(), [buildOnly, level, path, culling](benchmark::State& state) {
                    sceneFrames(state, buildOnly(level).scene, level, path, culling);
                })->UseRealTime()->Unit(benchmark::kMillisecond);
            }
        }
        benchmark::RegisterBenchmark(("Frames/level" + std::to_string(level + 1) + "/game-window").c_str(),
                                     [buildOnly, level](benchmark::State& state) {
                                         windowFrames(state, buildOnly(level).window, level);
                                     })
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!results.empty()) {
        printTable(levels, false);
        printTable(levels, true);
    }
    // The last scene, window and the levels stay until the process ends.
    return 0;
}
