// What the benchmarks that draw share: the game's window under an X display,
// a scratch player folder with the run folder's data linked in, and the
// CPU clocks that a busy machine disturbs less than the wall clock.
#pragma once

#include <GL/freeglut.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>

namespace benchwindow {

// Opens a double-buffered window of width x height in the screen's corner;
// false, with a message naming the benchmark, when there is no display.
inline bool open(const char* who, int& argc, char** argv, int width, int height) {
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "%s: needs an X display (run it under Xvfb)\n", who);
        return false;
    }
    glutInit(&argc, argv);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_ALPHA | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("Quibbleton");
    glutDisplayFunc([] {});
    glutMainLoopEvent();
    return true;
}

// Makes /tmp/qbn-bench-<who>.XXXXXX with an empty levels/ (the machine saves
// its snapshot there) and links to the run folder's data folders named, and
// enters it. Returns the folder, empty (with a message) when it cannot.
inline std::filesystem::path enterScratchFolder(const char* who, const char* runDir,
                                                std::initializer_list<const char*> data) {
    namespace fs = std::filesystem;
    std::string name = std::string("/tmp/qbn-bench-") + who + ".XXXXXX";
    if (!mkdtemp(name.data()) || chdir(name.c_str()) != 0) {
        std::fprintf(stderr, "%s: no scratch folder\n", who);
        return {};
    }
    std::error_code ec;
    fs::create_directory("levels", ec);
    for (const char* dir : data)
        fs::create_directory_symlink(fs::path(runDir) / dir, dir, ec);
    return fs::path(name);
}

// Seconds of CPU time on the given clock (the thread's or the process's).
inline double cpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace benchwindow
