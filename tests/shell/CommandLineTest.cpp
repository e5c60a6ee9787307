#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/CommandLine.h"

using NSWindow::Options;
using NSWindow::parseCommandLine;

namespace {

struct Parsed {
    Options options;
    std::vector<std::string> glutArgs; // what glutInit gets, program name first
    std::string out, err;
};

std::string readAll(std::FILE* f) {
    std::rewind(f);
    std::string text;
    for (int c; (c = std::fgetc(f)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(f);
    return text;
}

Parsed parse(std::vector<std::string> args) {
    args.insert(args.begin(), "/usr/libexec/quibbleton/quibbleton");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(args.size());
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Parsed p;
    p.options = parseCommandLine(argc, argv.data(), out, err);
    if (p.options.exitCode < 0) {
        for (int i = 0; i < argc; ++i)
            p.glutArgs.push_back(argv[i]);
        EXPECT_EQ(argv[argc], nullptr);
    }
    p.out = readAll(out);
    p.err = readAll(err);
    return p;
}

} // namespace

TEST(CommandLine, GameOptionsAreReadAndGlutsOwnAreLeftForGlut) {
    const Parsed p = parse({"-display", ":3", "--lang", "en", "--fps-cap=60", "-iconic", "--simulate", "a b.lvl",
                            "--fps", "30,60", "--jitter", "7", "--seconds", "12.5", "-geometry", "640x480"});
    EXPECT_EQ(p.options.exitCode, -1) << p.err;
    EXPECT_EQ(p.options.language, "en");
    EXPECT_EQ(p.options.frameCap, 60);
    EXPECT_TRUE(p.options.simulate);
    EXPECT_EQ(p.options.simulateFile, "a b.lvl");
    EXPECT_EQ(p.options.fpsList, "30,60");
    EXPECT_EQ(p.options.jitterSeed, "7");
    EXPECT_EQ(p.options.seconds, "12.5");
    EXPECT_EQ(p.glutArgs, (std::vector<std::string>{"/usr/libexec/quibbleton/quibbleton", "-display", ":3",
                                                    "-iconic", "-geometry", "640x480"}));
    EXPECT_EQ(p.out + p.err, "");

    const Parsed plain = parse({});
    EXPECT_EQ(plain.options.exitCode, -1);
    EXPECT_EQ(plain.options.frameCap, 120);
    EXPECT_FALSE(plain.options.simulate);
    EXPECT_EQ(parse({"--fps-cap", "90", "--uncapped"}).options.frameCap, 0); // the last one counts
}
