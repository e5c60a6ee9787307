// Resident memory of the game window over many machine starts and stops, many
// selections and many moves of the pointer over the scene, as a player makes
// them in level 1 through the window's input (the pointer picks what lies
// under it at every move): the figure after 40 of each and after 160, and
// the growth between, which must stay within 10 MB.
// Needs an X display; reads the run folder's models.
// Usage: quibbleton_bench_memory [cycles]   (default 160)
#include <GL/freeglut.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "BenchWindow.h"
#include "level/ControllerLevel.h"
#include "scene/Scene.h"
#include "shell/Log.h"
#include "window/Window.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Resident set size in MB, from /proc.
double residentMb() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void frames(NSWindow::Window& window, int count) {
    for (int i = 0; i < count; ++i) {
        window.onIdle();
        window.drawFrame();
        glutSwapBuffers();
    }
}

// The pointer moved to (x, y) and, if click, the left button pressed there.
void pointer(NSWindow::Window& window, int x, int y, bool click) {
    window.onPassiveMotion(x, y);
    frames(window, 1);
    if (click) {
        window.onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y, 0);
        window.onMouse(GLUT_LEFT_BUTTON, GLUT_UP, x, y, 0);
        frames(window, 1);
    }
}

// Runs one cycle count times and prints the memory after 40 and after all.
void measure(const char* what, int cycles, const std::function<void(int)>& cycle) {
    double at40 = 0.0;
    for (int i = 1; i <= cycles; ++i) {
        cycle(i);
        if (i == 40)
            at40 = residentMb();
    }
    const double end = residentMb();
    std::printf("%-28s %8.1f %8.1f %+8.1f  %s\n", what, at40, end, end - at40,
                end - at40 <= 10.0 ? "flat" : "GROWS");
}

} // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::max(41, std::atoi(argv[1])) : 160;
    int glutArgc = 1;
    if (!benchwindow::open("bench_memory", glutArgc, argv, kWidth, kHeight))
        return 1;
    const fs::path scratch =
        benchwindow::enterScratchFolder("memory", QBN_RUN_DIR, {"md2_objects", "particletextures", "sounds"});
    if (scratch.empty())
        return 1;
    setLogConsoleMask(LOG_FATAL | LOG_ERROR);
    setLogFileMask(0);

    NSWindow::Window& window = NSWindow::Window::instance();
    window.onReshape(kWidth, kHeight);
    window.setLevelControlFactory([&window] {
        NSLevel::ControllerLevel& levels = NSLevel::ControllerLevel::instance();
        window.getMenu()->setLevelController(&levels);
        return &levels;
    });
    window.init(false);
    frames(window, 5);
    NSScene::Scene& scene = *window.getScene();
    NSLevel::ControllerLevel::instance().setInfoShown(false);

    std::printf("Resident memory (MB) in level 1, after 40 and after %d cycles\n", cycles);
    std::printf("%-28s %8s %8s %8s\n", "cycle", "at 40", "at end", "growth");
    // The scene buttons (start, stop), the ball on its board, the back wall.
    measure("machine start and stop", cycles, [&](int) {
        pointer(window, 27, 574, true);
        frames(window, 2);
        pointer(window, 62, 574, true);
    });
    int selections = 0;
    measure("selection", cycles, [&](int) {
        pointer(window, 168, 212, true);
        selections += scene.getSelected() != nullptr;
        pointer(window, 190, 230, false);
        window.onKeyboard(27, 0);
        frames(window, 1);
    });
    measure("pointer over the scene", cycles, [&](int i) { pointer(window, 300 + i % 2 * 20, 300, false); });
    if (selections < cycles)
        std::printf("(only %d of %d clicks selected the ball)\n", selections, cycles);
    window.shutdown();
    std::error_code ec;
    fs::remove_all(scratch, ec);
    return 0;
}
