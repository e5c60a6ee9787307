#include "shell/CommandLine.h"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

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
int parseCount(const char* text, int lo, int hi) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < lo || value > hi)
        return -1;
    return static_cast<int>(value);
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
           " [OPTION]... [GLUT OPTION]...\n"
           "Quibbleton, a 3D physics puzzle: build a machine that makes the right objects touch.\n"
           "\n"
           "  -h, --help           show this help and exit\n"
           "  -V, --version        show the version and exit\n"
           "      --lang CODE      language of the game's texts (de, en); overrides LANGUAGE and LANG\n"
           "      --fps-cap N      draw at most N frames per second (10 to 1000, default 120)\n"
           "      --uncapped       draw as fast as possible, also while nothing moves\n"
           "      --simulate FILE  run the level FILE's machine without a window and print the outcome\n"
           "      --fps LIST       with --simulate: frame rates to run at, comma-separated\n"
           "      --jitter SEED    with --simulate: vary the frame times, drawn from SEED\n"
           "      --seconds S      with --simulate: simulated seconds per run\n"
           "\n"
           "GLUT's X options (-display DISPLAY, -geometry WxH+X+Y, -iconic, -direct, -indirect,\n"
           "-gldebug, -sync) are passed on. Exit status: 0 success, 1 fatal error, 2 bad command line.\n";
}

Options parseCommandLine(int& argc, char** argv, std::FILE* out, std::FILE* err) {
    const std::string program = programName(argc, argv);

    // GLUT's options go back into argv for glutInit; ours go to getopt.
    std::vector<char*> ours{argc > 0 ? argv[0] : const_cast<char*>("quibbleton")};
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const GlutOption* g = glutOption(argv[i]);
        if (!g) {
            ours.push_back(argv[i]);
            continue;
        }
        if (g->takesValue && i + 1 >= argc)
            return failed(err, program, std::string("option '") + g->name + "' needs a value");
        argv[kept++] = argv[i];
        if (g->takesValue)
            argv[kept++] = argv[++i];
    }
    const int keptCount = kept;
    ours.push_back(nullptr);

    Options options;
    bool simulateOnly = false;
    std::string simulateOnlyName;
    opterr = 0;
    optind = 0; // a full restart of getopt's scan
    const int count = static_cast<int>(ours.size()) - 1;
    int c;
    int longIndex = 0;
    while ((c = getopt_long(count, ours.data(), ":hV", kLongOptions, &longIndex)) != -1) {
        switch (c) {
        case OPT_HELP:
            std::fputs(usageText(program.c_str()).c_str(), out);
            options.exitCode = 0;
            return options;
        case OPT_VERSION:
            std::fprintf(out, "Quibbleton %s\n", QBN_VERSION);
            options.exitCode = 0;
            return options;
        case OPT_SIMULATE:
            options.simulate = true;
            options.simulateFile = optarg;
            break;
        case OPT_FPS:
        case OPT_JITTER:
        case OPT_SECONDS:
            (c == OPT_FPS ? options.fpsList : c == OPT_JITTER ? options.jitterSeed : options.seconds) = optarg;
            simulateOnly = true;
            simulateOnlyName = kLongOptions[longIndex].name;
            break;
        case OPT_LANG:
            if (!*optarg)
                return failed(err, program, "option '--lang' needs a language code");
            options.language = optarg;
            break;
        case OPT_UNCAPPED: options.frameCap = 0; break;
        case OPT_FPS_CAP: {
            const int cap = parseCount(optarg, Options::kMinFrameCap, Options::kMaxFrameCap);
            if (cap < 0)
                return failed(err, program,
                              "--fps-cap wants frames per second from 10 to 1000, not '" + std::string(optarg) + "'");
            options.frameCap = cap;
            break;
        }
        case ':':
            return failed(err, program, std::string("option '") + ours[optind - 1] + "' needs a value");
        default: {
            // Ours given a value it does not take, or an unknown option (a
            // short one may sit inside a cluster).
            std::string which = ours[optind - 1];
            which = which.substr(0, which.find('='));
            if (optopt >= 256)
                return failed(err, program, "option '" + which + "' takes no value");
            if (optopt > 0)
                which = std::string("-") + static_cast<char>(optopt);
            return failed(err, program, "unknown option '" + which + "'");
        }
        }
    }
    if (optind < count)
        return failed(err, program, std::string("unexpected argument '") + ours[optind] + "'");
    if (simulateOnly && !options.simulate)
        return failed(err, program, "option '--" + simulateOnlyName + "' works only with --simulate");
    argc = keptCount;
    argv[argc] = nullptr;
    return options;
}

} // namespace NSWindow
