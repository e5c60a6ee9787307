// The command line as a player types it: every option's bounds, every error's exit status and message.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "shell/CommandLine.h"

using NSWindow::Options;

namespace {

// The outcome of the words of line, after the program's path: exit status, standard output, standard error and
// the parsed values in one line.
struct Parsed {
    int status;
    std::string out, err, values;
};
Parsed parse(const std::string& line) {
    std::vector<std::string> args{"/usr/libexec/quibbleton/quibbleton"};
    std::istringstream words(line);
    for (std::string w; words >> w;)
        args.push_back(w);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    int argc = static_cast<int>(args.size());
    argv.push_back(nullptr);
    char *out = nullptr, *err = nullptr;
    size_t outSize = 0, errSize = 0;
    std::FILE *outFile = open_memstream(&out, &outSize), *errFile = open_memstream(&err, &errSize);
    const Options o = NSWindow::parseCommandLine(argc, argv.data(), outFile, errFile);
    std::fclose(outFile);
    std::fclose(errFile);
    std::ostringstream v;
    v << "cap=" << o.frameCap << " scale=" << o.scale << " full=" << o.fullscreen << " file=" << o.levelFile
      << " lang=" << o.language << " sim=" << o.simulateFile << " fps=";
    for (int f : o.fps)
        v << f << ",";
    v << " jitter=" << (o.jitter ? std::to_string(o.jitterSeed) : "-") << " seconds=" << o.seconds
      << " display=" << o.display << " geometry=" << o.geometryGiven << " glut=";
    for (int i = 1; o.exitCode < 0 && i < argc; ++i) // what glutInit gets after the program's name
        v << argv[i] << " ";
    Parsed p{o.exitCode, out, err, v.str()};
    std::free(out);
    std::free(err);
    return p;
}

} // namespace

TEST(CommandLine, EveryOptionTakesBothEndsOfItsRangeRefusesOnePastAndEveryErrorEndsWithItsStatus) {
    // Arguments | exit status (-1: the game starts) | part of the values (-1; glut= is what stays for glutInit),
    // standard output (0) or error (2).
    const struct {
        const char* args;
        int status;
        const char* says;
    } cases[] = {
        {"", -1, "cap=120 scale=0 full=0 file= lang= sim= fps= jitter=- seconds=0 display= geometry=0 glut="},
        {"-display :3 --lang en -iconic my.lvl -geometry 9x9+1+2", -1,
         "file=my.lvl lang=en sim= fps= jitter=- seconds=0 display=:3 geometry=1 glut=-display :3 -iconic -geometry 9x9"},
        {"--fps-cap 10", -1, "cap=10 "},
        {"--fps-cap 1000", -1, "cap=1000 "},
        {"--fps-cap 9", 2, "--fps-cap wants frames per second from 10 to 1000, not '9'"},
        {"--fps-cap 1001", 2, "not '1001'"},
        {"--fps-cap=90 --uncapped", -1, "cap=0 "},
        {"--scale 1", -1, "scale=1 "},
        {"--scale=4", -1, "scale=4 "},
        {"--scale 0.99", 2, "--scale wants a number from 1 to 4, not '0.99'"},
        {"--scale 4.01", 2, "not '4.01'"},
        {"--simulate a.lvl --fps 1,1000", -1, "sim=a.lvl fps=1,1000, "},
        {"--simulate a.lvl --fps 0", 2, "--fps wants frame rates from 1 to 1000 separated by commas, not '0'"},
        {"--simulate a.lvl --fps 30,1001", 2, "not '30,1001'"},
        {"--simulate a.lvl --seconds 3600", -1, "seconds=3600 "},
        {"--simulate a.lvl --seconds 0.001", -1, "seconds=0.001 "},
        {"--simulate a.lvl --seconds 0", 2, "--seconds wants more than 0 and at most 3600, not '0'"},
        {"--simulate a.lvl --seconds 3600.5", 2, "not '3600.5'"},
        {"--simulate a.lvl --jitter 0", -1, "jitter=0 "},
        {"--simulate a.lvl --jitter 4294967295", -1, "jitter=4294967295 "},
        {"--simulate a.lvl --jitter 4294967296", 2, "--jitter wants a whole number from 0 to 4294967295"},
        {"--seconds 3", 2, "option '--seconds' works only with --simulate"},
        {"--fps 30", 2, "option '--fps' works only with"}, {"--jitter 1", 2, "option '--jitter' works only with"},
        {"--fullscreen --lang de my.lvl", -1, "full=1 file=my.lvl lang=de "},
        {"-- -odd.lvl", -1, "file=-odd.lvl "},
        {"a.lvl b.lvl", 2, "unexpected argument 'b.lvl': one level file at most"},
        {"--simulate a.lvl b.lvl", 2, "a level file to open does not go with it"},
        {"--help", 0, "--scale N"},
        {"--version", 0, "Quibbleton 0."},
        {"--no-such-option", 2, "unknown option '--no-such-option'"},
        {"--lang", 2, "option '--lang' needs a value"},
        {"--lang=", 2, "option '--lang' needs a language code"},
        {"-display", 2, "option '-display' needs a value"},
        {"--uncapped=1", 2, "option '--uncapped' takes no value"},
    };
    for (const auto& c : cases) {
        const Parsed p = parse(c.args);
        EXPECT_EQ(p.status, c.status) << c.args << ": " << p.err;
        const std::string seen = c.status < 0 ? p.values : c.status == 0 ? p.out : p.err;
        EXPECT_NE(seen.find(c.says), std::string::npos) << c.args << " gave: " << seen;
        // Errors: the message and a hint at --help on standard error, nothing else anywhere.
        if (c.status == 2)
            EXPECT_EQ(p.out + p.err.substr(p.err.find('\n') + 1),
                      "Try 'quibbleton --help' for more information.\n") << c.args;
        else
            EXPECT_EQ(p.err, "") << c.args;
    }
}
