#pragma once
// The game's command line: its own long options, read with getopt_long, and
// GLUT's X options (-display, -geometry, ...), which are left in argv for
// glutInit.

#include <cstdio>
#include <string>

namespace NSWindow {

// Everything the command line asked for. The simulator's values stay text
// here; the simulator checks them itself.
struct Options {
    // >= 0: the program should end at once with this code (after --help,
    // --version or a bad command line, whose message is already printed).
    int exitCode = -1;

    // --simulate FILE and its companions (empty when not given).
    bool simulate = false;
    std::string simulateFile;
    std::string fpsList;
    std::string jitterSeed;
    std::string seconds;

    // --lang CODE (empty: the language comes from the environment).
    std::string language;

    // The most frames drawn per second; 0 (--uncapped) draws as fast as
    // possible, without waiting for the display and without idling.
    int frameCap = kDefaultFrameCap;

    static constexpr int kDefaultFrameCap = 120;
    static constexpr int kMinFrameCap = 10;
    static constexpr int kMaxFrameCap = 1000;
};

// The one-line-per-option help of --help.
std::string usageText(const char* programName);

// Reads the options. GLUT's own options stay in argv (argc shrinks to the
// program name and them), everything else is taken out. --help and
// --version print to out, errors (one line and a hint at --help) to err.
Options parseCommandLine(int& argc, char** argv, std::FILE* out = stdout, std::FILE* err = stderr);

} // namespace NSWindow
