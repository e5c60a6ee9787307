#include <GL/freeglut.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <new>
#include <string>

#include "audio/AudioSystem.h"
#include "level/ControllerLevel.h"
#include "level/Simulator.h"
#include "shell/CommandLine.h"
#include "shell/Language.h"
#include "persistence/SerialStream.h"
#include "resources/LoaderGLTexture.h"
#include "resources/LoaderModelObject_MD2.h"
#include "shell/Log.h"
#include "window/Window.h"

namespace {

// A whole number in [0, max] from text, or -1.
long long wholeNumber(const std::string& text, long long max) {
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const long long v = std::stoll(text);
    return v <= max ? v : -1;
}

// The simulator's values from the command line's text; "" when they can be
// read, else what is wrong. The simulator checks their ranges itself.
std::string readSimulatorOptions(const NSWindow::Options& given, NSLevel::SimulatorOptions& options) {
    options.file = given.simulateFile;
    if (!given.fpsList.empty()) {
        const std::string& value = given.fpsList;
        options.fps.clear();
        size_t start = 0;
        while (start <= value.size()) {
            const size_t comma = std::min(value.find(',', start), value.size());
            const long long fps = wholeNumber(value.substr(start, comma - start), 1000000);
            if (fps < 0)
                return "--fps wants whole numbers separated by commas, not \"" + value + "\"";
            options.fps.push_back(static_cast<int>(fps));
            start = comma + 1;
        }
    }
    if (!given.jitterSeed.empty()) {
        const long long seed = wholeNumber(given.jitterSeed, 4294967295LL);
        if (seed < 0)
            return "--jitter wants a whole number from 0 to 4294967295, not \"" + given.jitterSeed + "\"";
        options.jitter = true;
        options.jitterSeed = static_cast<unsigned long>(seed);
    }
    if (!given.seconds.empty()) {
        char* end = nullptr;
        errno = 0;
        options.seconds = std::strtod(given.seconds.c_str(), &end);
        if (*end != '\0' || errno != 0)
            return "--seconds wants a number, not \"" + given.seconds + "\"";
    }
    return "";
}

// `--simulate FILE [--fps LIST] [--jitter SEED] [--seconds S]`: runs the
// level's machine without showing a window and prints one JSON line a run.
int simulate(const NSWindow::Options& given, char** argv) {
    setLogConsoleMask(0); // standard output carries the results only
    NSLevel::SimulatorOptions options;
    const std::string problem = readSimulatorOptions(given, options);
    if (!problem.empty()) {
        std::cerr << "quibbleton --simulate: " << problem << "\n";
        return 2;
    }
    // The models load as in the game, into a hidden window's GL context.
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::cerr << "quibbleton --simulate: needs an X display (try xvfb-run)\n";
        return 2;
    }
    int glutArgc = 1;
    glutInit(&glutArgc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    glutCreateWindow("Quibbleton");
    glutHideWindow();
    return NSLevel::simulateLevelFile(options, std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv) {
    const NSWindow::Options options = NSWindow::parseCommandLine(argc, argv);
    if (options.exitCode >= 0)
        return options.exitCode;
    std::set_new_handler(outOfMemory);
    if (options.simulate)
        return simulate(options, argv);
    openLogFile("log.txt");
    setLogFileMask(0xFFFFFFFFu);
    setLogConsoleMask(LOG_FATAL | LOG_ERROR | LOG_INFO);
    log(LOG_INFO, "Bitte Readme.doc lesen!!!\n\n\n");
    log(LOG_INFO, "%s", NSWindow::technicalHelpText.c_str());
    initLanguage(options.language.c_str());
    NSAudio::AudioSystem::instance().start();
    // Saves cut short by a crash leave their temporary files behind.
    NSSerialize::SerialStream::removeStaleTempFiles("levels");
    NSWindow::Window::initGlut(&argc, argv);
    NSWindow::Window::instance().setFrameCap(options.frameCap);
    // A model or picture that cannot be loaded is told once on screen; its
    // objects stay (without it) and the log has the reason.
    auto notice = [](const std::string& file) {
        const std::string text = "Could not load " + file;
        log(LOG_ERROR, "%s\n", text.c_str());
        NSWindow::Window::instance().showTempPopUp(text);
    };
    NSLoader::LoaderModelObject_MD2::instance().setFailureNotice(notice);
    NSLoader::LoaderGLTexture::instance().setFailureNotice(notice);
    // The level controller is the window's LevelControl and the menu's
    // source of levels.
    NSWindow::Window::instance().setLevelControlFactory([] {
        NSLevel::ControllerLevel& levels = NSLevel::ControllerLevel::instance();
        NSWindow::Window::instance().getMenu()->setLevelController(&levels);
        return &levels;
    });
    NSWindow::Window::instance().init();
    return 0;
}
