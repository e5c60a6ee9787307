// What the trace of the last run costs the game window, in the heaviest
// scene: the fifth level with a pile of 400 more balls. Recording: frames
// of the running machine from a fresh start with the trace recording and
// without, in phases of a few frames taken by turns (on-off-off-on, so that neither
// side always goes first). Drawing: frames of the stopped machine after a
// run of several simulated seconds with the trace shown and hidden, by turns
// as well. Prints milliseconds per frame over all phases of each side, by
// the wall clock and in CPU time, and the trace's share of the CPU time. Needs an X display; reads the run folder's models.
#include <GL/freeglut.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "BenchWindow.h"
#include "bench_pile.h"
#include "level/ControllerLevel.h"
#include "level/Level.h"
#include "scene/Scene.h"
#include "shell/Log.h"
#include "window/Window.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kPile = 400;
constexpr int kFramesPerPhase = 8;
constexpr int kPhasesEach = 12;
// Simulated seconds of the run whose trace the drawing phases show.
constexpr int kTracedSeconds = 8;
constexpr size_t kFifthLevel = 4;

// Frames, wall seconds and the process's CPU seconds (the game's thread and
// Mesa's), which a busy machine disturbs less than the wall clock.
struct Pool {
    double frames = 0.0;
    double seconds = 0.0;
    double cpu = 0.0;
    double ms() const { return frames > 0.0 ? seconds * 1000.0 / frames : 0.0; }
    double cpuMs() const { return frames > 0.0 ? cpu * 1000.0 / frames : 0.0; }
};

// kFramesPerPhase frames after before() (untimed).
void phase(NSWindow::Window& window, const std::function<void()>& before, Pool& pool) {
    before();
    const double cpuStart = benchwindow::cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFramesPerPhase; ++i) {
        window.update();
        window.draw();
        glutSwapBuffers();
        glFinish();
    }
    pool.frames += kFramesPerPhase;
    pool.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    pool.cpu += benchwindow::cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
}

// Both sides by turns; prints their times and the trace's share.
void compare(const char* what, NSWindow::Window& window, const std::function<void(bool)>& setUp) {
    Pool with, without;
    for (int p = 0; p < 2 * kPhasesEach; ++p) {
        const bool on = (p % 2 == 0) == (p % 4 < 2);
        phase(window, [&] { setUp(on); }, on ? with : without);
    }
    std::printf("%-20s %9.2f %9.2f %8.2f %8.2f %6.1f %%\n", what, without.ms(), with.ms(), without.cpuMs(),
                with.cpuMs(), 100.0 * (with.cpuMs() - without.cpuMs()) / without.cpuMs());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (!benchwindow::open("bench_trace", argc, argv, kWidth, kHeight))
        return 1;
    // A scratch player folder (the machine saves its snapshot into levels/).
    const fs::path scratch = benchwindow::enterScratchFolder("trace", QBN_RUN_DIR, {"md2_objects", "particletextures"});
    if (scratch.empty())
        return 1;
    setLogConsoleMask(LOG_FATAL | LOG_ERROR);

    auto* window = new NSWindow::Window();
    window->onReshape(kWidth, kHeight);
    window->init(false);
    window->applyPendingChanges();
    NSScene::Scene* scene = window->getScene();
    std::vector<NSLevel::Level*> levels = NSLevel::makeBuiltInLevels();
    levels[kFifthLevel]->build();
    benchpile::addPile(*scene, kPile);
    window->applyPendingChanges();
    NSScene::RunTrace& trace = scene->machine().trace();

    std::printf("%-20s %19s %17s %8s\n", "", "wall ms per frame", "CPU ms per frame", "");
    std::printf("%-20s %9s %9s %8s %8s %8s\n", "", "no trace", "trace", "no trace", "trace", "cost");
    auto freshRun = [&](bool record) {
        scene->setRunning(false);
        window->applyPendingChanges();
        trace.setRecording(record);
        scene->setRunning(true);
    };
    freshRun(true); // unmeasured: loads the textures
    compare("recording (running)", *window, freshRun);

    freshRun(true);
    for (int i = 0; i < kTracedSeconds * 5; ++i)
        scene->step(0.2f, 0.0f);
    scene->setRunning(false);
    window->applyPendingChanges();
    compare("drawing (stopped)", *window, [&](bool shown) { trace.setShown(shown); });
    std::printf("(the trace of %d simulated seconds: %zu paths, %zu points)\n", kTracedSeconds,
                trace.getPaths().size(), trace.pointCount());
    std::error_code ec;
    fs::remove_all(scratch, ec);
    return 0;
}
