#include "shell/CommandLine.h"

#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#ifndef QBN_VERSION
#define QBN_VERSION "unknown"
#endif

namespace NSWindow {

namespace {

enum OptionId {
    OPT_HELP = 'h',
    OPT_VERSION = 'V',
    OPT_SIMULATE = 256,
    OPT_FPS,
    OPT_JITTER,
    OPT_SECONDS,
    OPT_LANG,
    OPT_UNCAPPED,
    OPT_FPS_CAP,
    OPT_FULLSCREEN,
    OPT_SCALE,
};

const option kLongOptions[] = {
    {"help", no_argument, nullptr, OPT_HELP},
    {"version", no_argument, nullptr, OPT_VERSION},
    {"simulate", required_argument, nullptr, OPT_SIMULATE},
    {"fps", required_argument, nullptr, OPT_FPS},
    {"jitter", required_argument, nullptr, OPT_JITTER},
    {"seconds", required_argument, nullptr, OPT_SECONDS},
    {"lang", required_argument, nullptr, OPT_LANG},
    {"uncapped", no_argument, nullptr, OPT_UNCAPPED},
    {"fps-cap", required_argument, nullptr, OPT_FPS_CAP},
    {"fullscreen", no_argument, nullptr, OPT_FULLSCREEN},
    {"scale", required_argument, nullptr, OPT_SCALE},
    {nullptr, 0, nullptr, 0},
};

// GLUT's X options and whether each takes a value.
struct GlutOption {
    const char* name;
    bool takesValue;
};
const GlutOption kGlutOptions[] = {
    {"-display", true}, {"-geometry", true}, {"-direct", false}, {"-indirect", false},
    {"-iconic", false}, {"-gldebug", false}, {"-sync", false},
};

const GlutOption* glutOption(const char* arg) {
    for (const GlutOption& o : kGlutOptions)
        if (std::strcmp(arg, o.name) == 0)
            return &o;
    return nullptr;
}

std::string programName(int argc, char** argv) {
    if (argc < 1 || !argv[0] || !*argv[0])
        return "quibbleton";
    const char* slash = std::strrchr(argv[0], '/');
    return slash ? slash + 1 : argv[0];
}

// A whole number from lo to hi, or -1.
long long parseCount(const char* text, long long lo, long long hi) {
    if (!*text || std::strspn(text, "0123456789") != std::strlen(text) || std::strlen(text) > 18)
        return -1;
    const long long value = std::strtoll(text, nullptr, 10);
    return value < lo || value > hi ? -1 : value;
}

// A decimal number, or NaN.
double parseReal(const char* text) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    return errno != 0 || end == text || *end != '\0' || !std::isfinite(value) ? NAN : value;
}

// Frame rates separated by commas, each 1 to the most; false if one is not.
bool parseFpsList(const std::string& text, std::vector<int>& fps) {
    fps.clear();
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const long long value = parseCount(text.substr(start, comma - start).c_str(), 1, Options::kMaxSimulateFps);
        if (value < 0)
            return false;
        fps.push_back(static_cast<int>(value));
        start = comma + 1;
    }
    return true;
}

Options failed(std::FILE* err, const std::string& program, const std::string& message) {
    std::fprintf(err, "%s: %s\nTry '%s --help' for more information.\n", program.c_str(), message.c_str(),
                 program.c_str());
    Options options;
    options.exitCode = 2;
    return options;
}

} // namespace

std::string usageText(const char* program) {
    return std::string("Usage: ") + program +
           " [OPTION]... [GLUT OPTION]... [FILE.lvl]\n"
           "Quibbleton, a 3D physics puzzle: build a machine that makes the right objects touch.\n"
           "A level FILE given opens in Custom Mode, the level editor.\n"
           "\n"
           "  -h, --help           show this help and exit\n"
           "  -V, --version        show the version and exit\n"
           "      --lang CODE      language of the game's texts (de, en); overrides LANGUAGE and LANG\n"
           "      --fullscreen     start in fullscreen (F11 switches it on and off)\n"
           "      --scale N        interface scale for high-density screens, 1 to 4 (default: from the\n"
           "                       screen's dots per inch, 96 dpi being 1)\n"
           "      --fps-cap N      draw at most N frames per second (10 to 1000, default 120)\n"
           "      --uncapped       draw as fast as possible, also while nothing moves\n"
           "      --simulate FILE  run the level FILE's machine without a window and print the outcome\n"
           "      --fps LIST       with --simulate: frame rates to run at (1 to 1000), comma-separated\n"
           "      --jitter SEED    with --simulate: vary the frame times, drawn from SEED (0 to 4294967295)\n"
           "      --seconds S      with --simulate: simulated seconds per run (more than 0, at most 3600)\n"
           "\n"
           "GLUT's X options (-display DISPLAY, -geometry WxH+X+Y, -iconic, -direct, -indirect,\n"
           "-gldebug, -sync) are passed on. Exit status: 0 success, 1 fatal error or the game's\n"
           "folder in use by another Quibbleton, 2 bad command line.\n";
}

namespace {

// Moves GLUT's options (with their values) to the front of argv, where
// glutInit finds them, and the rest to ours; keeps GLUT's -display value
// and whether -geometry came. Returns how many arguments argv keeps, or -1
// with the complaint in problem.
int splitGlutOptions(int argc, char** argv, std::vector<char*>& ours, std::string& display, bool& geometryGiven,
                     std::string& problem) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const GlutOption* g = glutOption(argv[i]);
        if (!g) {
            ours.push_back(argv[i]);
            continue;
        }
        if (g->takesValue && i + 1 >= argc) {
            problem = std::string("option '") + g->name + "' needs a value";
            return -1;
        }
        argv[kept++] = argv[i];
        if (std::strcmp(g->name, "-display") == 0)
            display = argv[i + 1];
        geometryGiven = geometryGiven || std::strcmp(g->name, "-geometry") == 0;
        if (g->takesValue)
            argv[kept++] = argv[++i];
    }
    return kept;
}

// Takes one of the options that set something, with its value, into
// options; simulateOnly names the last given option that needs --simulate.
// Anything else is an option not ours (given is the argument it came in).
// Returns the complaint, or "" when the option is taken.
std::string takeOption(int c, const char* value, const char* given, Options& options, std::string& simulateOnly) {
    switch (c) {
    case OPT_SIMULATE:
        options.simulate = true;
        options.simulateFile = value;
        return "";
    case OPT_FPS:
        if (!parseFpsList(value, options.fps))
            return "--fps wants frame rates from 1 to 1000 separated by commas, not '" + std::string(value) + "'";
        simulateOnly = "fps";
        return "";
    case OPT_JITTER: {
        const long long seed = parseCount(value, 0, 4294967295LL);
        if (seed < 0)
            return "--jitter wants a whole number from 0 to 4294967295, not '" + std::string(value) + "'";
        options.jitter = true;
        options.jitterSeed = static_cast<unsigned long>(seed);
        simulateOnly = "jitter";
        return "";
    }
    case OPT_SECONDS:
        options.seconds = parseReal(value);
        if (!(options.seconds > 0.0 && options.seconds <= Options::kMaxSimulateSeconds))
            return "--seconds wants more than 0 and at most 3600, not '" + std::string(value) + "'";
        simulateOnly = "seconds";
        return "";
    case OPT_LANG:
        if (!*value)
            return "option '--lang' needs a language code";
        options.language = value;
        return "";
    case OPT_UNCAPPED: options.frameCap = 0; return "";
    case OPT_FPS_CAP: {
        const long long cap = parseCount(value, Options::kMinFrameCap, Options::kMaxFrameCap);
        if (cap < 0)
            return "--fps-cap wants frames per second from 10 to 1000, not '" + std::string(value) + "'";
        options.frameCap = static_cast<int>(cap);
        return "";
    }
    case OPT_FULLSCREEN: options.fullscreen = true; return "";
    case OPT_SCALE: {
        const double scale = parseReal(value);
        if (!(scale >= Options::kMinScale && scale <= Options::kMaxScale))
            return "--scale wants a number from 1 to 4, not '" + std::string(value) + "'";
        options.scale = static_cast<float>(scale);
        return "";
    }
    default: {
        // Ours given a value it does not take, or an unknown option (a
        // short one may sit inside a cluster).
        std::string which = given;
        which = which.substr(0, which.find('='));
        if (optopt >= 256)
            return "option '" + which + "' takes no value";
        if (optopt > 0)
            which = std::string("-") + static_cast<char>(optopt);
        return "unknown option '" + which + "'";
    }
    }
}

} // namespace

Options parseCommandLine(int& argc, char** argv, std::FILE* out, std::FILE* err) {
    const std::string program = programName(argc, argv);

    // GLUT's options go back into argv for glutInit; ours go to getopt.
    std::vector<char*> ours{argc > 0 ? argv[0] : const_cast<char*>("quibbleton")};
    std::string display;
    bool geometryGiven = false;
    std::string problem;
    const int keptCount = splitGlutOptions(argc, argv, ours, display, geometryGiven, problem);
    if (keptCount < 0)
        return failed(err, program, problem);
    ours.push_back(nullptr);

    Options options;
    std::string simulateOnly; // an option that needs --simulate, when given
    opterr = 0;
    optind = 0; // a full restart of getopt's scan
    const int count = static_cast<int>(ours.size()) - 1;
    int c;
    int longIndex = 0;
    while ((c = getopt_long(count, ours.data(), "-:hV", kLongOptions, &longIndex)) != -1) {
        switch (c) {
        case 1: // a plain argument: the level file, one at most
            if (!options.levelFile.empty())
                return failed(err, program,
                              std::string("unexpected argument '") + optarg + "': one level file at most");
            options.levelFile = optarg;
            break;
        case OPT_HELP:
            std::fputs(usageText(program.c_str()).c_str(), out);
            options.exitCode = 0;
            return options;
        case OPT_VERSION:
            std::fprintf(out, "Quibbleton %s\n", QBN_VERSION);
            options.exitCode = 0;
            return options;
        case ':':
            return failed(err, program, std::string("option '") + ours[optind - 1] + "' needs a value");
        default:
            problem = takeOption(c, optarg, ours[optind - 1], options, simulateOnly);
            if (!problem.empty())
                return failed(err, program, problem);
        }
    }
    for (; optind < count; ++optind) { // after "--"
        if (!options.levelFile.empty())
            return failed(err, program,
                          std::string("unexpected argument '") + ours[optind] + "': one level file at most");
        options.levelFile = ours[optind];
    }
    if (!simulateOnly.empty() && !options.simulate)
        return failed(err, program, "option '--" + simulateOnly + "' works only with --simulate");
    if (options.simulate && !options.levelFile.empty())
        return failed(err, program, "--simulate runs its own FILE; a level file to open does not go with it");
    options.display = display;
    options.geometryGiven = geometryGiven;
    argc = keptCount;
    argv[argc] = nullptr;
    return options;
}

} // namespace NSWindow
