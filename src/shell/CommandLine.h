#pragma once
// The game's command line: its own long options, read with getopt_long, an
// optional level file to open, and GLUT's X options (-display, -geometry,
// ...), which are left in argv for glutInit.

#include <cstdio>
#include <string>
#include <vector>

namespace NSWindow {

// Everything the command line asked for, every value checked.
struct Options {
    // >= 0: the program should end at once with this code (after --help,
    // --version or a bad command line, whose message is already printed).
    int exitCode = -1;

    // --simulate FILE and its companions; an empty fps list and seconds 0
    // leave the simulator's defaults.
    bool simulate = false;
    std::string simulateFile;
    std::vector<int> fps;
    bool jitter = false;
    unsigned long jitterSeed = 0;
    double seconds = 0.0;

    // --lang CODE (empty: the language comes from the environment).
    std::string language;

    // The most frames drawn per second; 0 (--uncapped) draws as fast as
    // possible, without waiting for the display and without idling.
    int frameCap = kDefaultFrameCap;

    // A level file named on the command line, opened in Custom Mode.
    std::string levelFile;
    bool fullscreen = false;
    // Screen pixels per unit of the interface (--scale); 0: from the X
    // server's dots per inch.
    float scale = 0.0f;
    // GLUT's -display value, and whether -geometry was given.
    std::string display;
    bool geometryGiven = false;

    static constexpr int kDefaultFrameCap = 120;
    static constexpr int kMinFrameCap = 10;
    static constexpr int kMaxFrameCap = 1000;
    static constexpr float kMinScale = 1.0f;
    static constexpr float kMaxScale = 4.0f;
    static constexpr int kMaxSimulateFps = 1000;
    static constexpr double kMaxSimulateSeconds = 3600.0;
};

// The one-line-per-option help of --help.
std::string usageText(const char* programName);

// Reads the options. GLUT's own options stay in argv (argc shrinks to the
// program name and them), everything else is taken out. --help and
// --version print to out, errors (one line and a hint at --help) to err.
Options parseCommandLine(int& argc, char** argv, std::FILE* out = stdout, std::FILE* err = stderr);

} // namespace NSWindow
