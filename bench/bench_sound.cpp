// Frames per second of the game window with the machine running, with sound
// and without: every built-in level is started and run in short phases,
// sound off and on by turns (off-on-on-off, so that neither side always
// goes first), and the table shows the rates over all phases of a side and
// their ratio; a last line pools every level. Many short interleaved phases
// let a busy machine's swings fall on both sides alike. "On" plays through whatever device OpenAL opens (bench/run
// has it write into a file, as OpenAL Soft's wave output, so the mixer does
// its full work without a sound card). Needs an X display; reads the run
// folder's models and sounds.
#include <GL/freeglut.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchWindow.h"
#include "audio/AudioSystem.h"
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
constexpr double kPhaseSeconds = 0.4;
constexpr int kPhasesEach = 12;

struct Rate {
    double frames;
    double seconds;
    double fps;
    // CPU time per frame of the game's own thread (where the sound is
    // followed and the contacts are heard), steadier than frames per second
    // on a busy machine; and of the whole process (with OpenAL's mixer and
    // Mesa's threads).
    double threadMs;
    double processMs;
};

// Frames of the running machine for kPhaseSeconds from a fresh start.
Rate runningFps(NSWindow::Window& window, NSLevel::Level& level) {
    NSScene::Scene* scene = window.getScene();
    scene->setRunning(true);
    long frames = 0;
    const double threadStart = benchwindow::cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const double processStart = benchwindow::cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const auto start = std::chrono::steady_clock::now();
    double seconds = 0.0;
    while (seconds < kPhaseSeconds) {
        window.update();
        NSAudio::AudioSystem::instance().update(scene, level.goalsReached(), level.isWon());
        window.draw();
        glutSwapBuffers();
        glFinish();
        ++frames;
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double thread = benchwindow::cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadStart;
    const double process = benchwindow::cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
    scene->setRunning(false);
    window.applyPendingChanges();
    NSAudio::AudioSystem::instance().update(scene, level.goalsReached(), level.isWon());
    const double n = static_cast<double>(frames);
    return {n, seconds, n / seconds, thread * 1000.0 / n, process * 1000.0 / n};
}

double median(const std::vector<Rate>& runs, double Rate::*field) {
    std::vector<double> v;
    for (const Rate& r : runs)
        v.push_back(r.*field);
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Frames per second over all of the given phases.
double pooledFps(const std::vector<Rate>& runs) {
    double frames = 0.0, seconds = 0.0;
    for (const Rate& r : runs) {
        frames += r.frames;
        seconds += r.seconds;
    }
    return seconds > 0.0 ? frames / seconds : 0.0;
}

} // namespace

int main(int argc, char** argv) {
    if (!benchwindow::open("bench_sound", argc, argv, kWidth, kHeight))
        return 1;
    // A scratch player folder (the machine saves its snapshot into levels/)
    // with the run folder's data beside it.
    const fs::path scratch =
        benchwindow::enterScratchFolder("sound", QBN_RUN_DIR, {"md2_objects", "particletextures", "sounds"});
    if (scratch.empty())
        return 1;
    setLogConsoleMask(LOG_FATAL | LOG_ERROR);

    auto* window = new NSWindow::Window();
    window->onReshape(kWidth, kHeight);
    window->init(false);
    window->applyPendingChanges();

    std::printf("%-8s %8s %8s %7s %13s %13s %13s %13s  name\n", "level", "fps off", "fps on", "on/off",
                "game ms off", "game ms on", "process off", "process on");
    std::vector<NSLevel::Level*> levels = NSLevel::makeBuiltInLevels();
    bool audible = true;
    // Every level, then the fifth again with a pile of balls.
    const size_t kPileLevel = 4;
    std::vector<Rate> allOff, allOn;
    constexpr int kPile = 400;
    for (size_t row = 0; row <= levels.size(); ++row) {
        const bool pile = row == levels.size();
        const size_t i = pile ? kPileLevel : row;
        levels[i]->build();
        if (pile)
            benchpile::addPile(*window->getScene(), kPile);
        window->applyPendingChanges();
        // A first run unmeasured (it loads the textures), then off and on
        // by turns, each going first every other time.
        runningFps(*window, *levels[i]);
        std::vector<Rate> off, on;
        for (int p = 0; p < 2 * kPhasesEach; ++p) {
            const bool sound = (p % 2 == 0) == (p % 4 < 2);
            if (sound)
                NSAudio::AudioSystem::instance().start();
            audible = audible && (!sound || NSAudio::AudioSystem::instance().isAudible());
            (sound ? on : off).push_back(runningFps(*window, *levels[i]));
            NSAudio::AudioSystem::instance().shutdown();
        }
        const double fpsOff = pooledFps(off), fpsOn = pooledFps(on);
        if (!pile) {
            allOff.insert(allOff.end(), off.begin(), off.end());
            allOn.insert(allOn.end(), on.begin(), on.end());
        }
        const std::string name = pile ? "the fifth level with a pile of " + std::to_string(kPile) + " more balls"
                                      : latin1ToUtf8(levels[i]->getName());
        std::printf("%-8s %8.1f %8.1f %7.3f %13.2f %13.2f %13.2f %13.2f  %s\n",
                    pile ? "5+pile" : std::to_string(i + 1).c_str(), fpsOff, fpsOn, fpsOn / fpsOff,
                    median(off, &Rate::threadMs), median(on, &Rate::threadMs), median(off, &Rate::processMs),
                    median(on, &Rate::processMs), name.c_str());
        std::fflush(stdout);
        levels[i]->unload();
        window->applyPendingChanges();
    }
    const double allFpsOff = pooledFps(allOff), allFpsOn = pooledFps(allOn);
    std::printf("%-8s %8.1f %8.1f %7.3f %13.2f %13.2f %13.2f %13.2f  %s\n", "all", allFpsOff, allFpsOn,
                allFpsOn / allFpsOff, median(allOff, &Rate::threadMs), median(allOn, &Rate::threadMs),
                median(allOff, &Rate::processMs), median(allOn, &Rate::processMs), "every level, pooled");
    if (!audible)
        std::printf("(no sound device opened: \"sound on\" ran silent)\n");
    std::error_code ec;
    fs::remove_all(scratch, ec);
    return 0;
}
