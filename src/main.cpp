#include <GL/freeglut.h>

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <string>

#include "audio/AudioSystem.h"
#include "audio/SoundControl.h"
#include "level/ControllerLevel.h"
#include "level/Simulator.h"
#include "shell/CommandLine.h"
#include "shell/FolderLock.h"
#include "shell/Language.h"
#include "resources/LoaderGLTexture.h"
#include "resources/LoaderModelObject_MD2.h"
#include "shell/Log.h"
#include "shell/SafeFile.h"
#include "window/DesktopWindow.h"
#include "window/Window.h"

namespace {

static_assert(NSWindow::Options::kMaxSimulateFps == NSLevel::SimulatorOptions::kMaxFps &&
                  NSWindow::Options::kMaxSimulateSeconds == NSLevel::SimulatorOptions::kMaxSeconds,
              "the command line checks the simulator's bounds");

// `--simulate FILE [--fps LIST] [--jitter SEED] [--seconds S]`: runs the
// level's machine without showing a window and prints one JSON line a run.
int simulate(const NSWindow::Options& given, char** argv) {
    setLogConsoleMask(0); // standard output carries the results only
    NSLevel::SimulatorOptions options;
    options.file = given.simulateFile;
    if (!given.fps.empty())
        options.fps = given.fps;
    options.jitter = given.jitter;
    options.jitterSeed = given.jitterSeed;
    if (given.seconds > 0.0)
        options.seconds = given.seconds;
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

// Whether this game may use its folder. When another game holds it, says so
// on standard error and, with a display, in that game's window (it is asked
// with SIGUSR1 and brings its window to the front) or, when that game is
// out of reach (another machine's, on a network folder), in a window of its own.
bool mayUseFolder(const NSWindow::FolderLock& lock, int& argc, char** argv) {
    using State = NSWindow::FolderLock::State;
    char here[4096] = ".";
    if (!getcwd(here, sizeof here))
        std::strcpy(here, ".");
    switch (lock.state()) {
    case State::Held: return true;
    case State::ReadOnly:
        std::cerr << "quibbleton: the folder " << here << " takes no files (" << lock.problem()
                  << "); nothing will be saved\n";
        return true;
    case State::Failed: {
        const std::string text = std::string("Cannot use ") + here + "/" + lock.path() + ": " + lock.problem();
        std::cerr << "quibbleton: " << text << "; remove it and start again\n";
        if (const char* display = std::getenv("DISPLAY"); display && *display)
            NSWindow::showNotice(&argc, argv, text);
        return false;
    }
    case State::Busy: break;
    }
    std::cerr << "quibbleton: another Quibbleton";
    if (lock.holder() > 0)
        std::cerr << " (process " << lock.holder() << ")";
    std::cerr << " is using the folder " << here << "; this one ends without touching it\n";
    if (NSWindow::FolderLock::runsThisProgram(lock.holder()) && kill(lock.holder(), SIGUSR1) == 0)
        return false;
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
        NSWindow::showNotice(&argc, argv, std::string("Another Quibbleton is using the folder ") + here);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const NSWindow::Options options = NSWindow::parseCommandLine(argc, argv);
    if (options.exitCode >= 0)
        return options.exitCode;
    std::set_new_handler(outOfMemory);
    if (options.simulate)
        return simulate(options, argv);
    // One game per folder, decided before anything is written.
    const NSWindow::FolderLock lock(".");
    if (!mayUseFolder(lock, argc, argv))
        return 1;
    std::string logProblem;
    const bool logOpen = openLogFile("log.txt", &logProblem);
    setLogFileMask(0xFFFFFFFFu);
    setLogConsoleMask(LOG_FATAL | LOG_ERROR | LOG_INFO);
    if (!logOpen)
        log(LOG_ERROR, "log.txt cannot be written (%s): the log goes to the console only\n", logProblem.c_str());
    initLanguage(options.language.c_str());
    // The console gets a pointer to the help, the log the help itself.
    log(LOG_INFO, "%s\n", tr("SHIFT+F1 shows the keys; README.md tells how to play.").c_str());
    log(LOG_GAME, "%s", tr(NSWindow::technicalHelpText).c_str());
    NSAudio::AudioSystem::instance().start();
    // Saves cut short by a crash leave their temporary files behind.
    NSFile::removeStaleTemps("levels");
    NSFile::removeStaleTemps(".", {"log.txt", "progress.txt", NSAudio::SoundControl::kSettingsFile});
    NSWindow::Window::initGlut(&argc, argv, options);
    NSWindow::Window::instance().setFrameCap(options.frameCap);
    // A model or picture that cannot be loaded is told once on screen; its
    // objects stay (without it) and the log has the reason.
    auto notice = [](const std::string& file) {
        log(LOG_ERROR, "Could not load %s\n", file.c_str());
        NSWindow::Window::instance().showTempPopUp(trFormat("Could not load %s", file.c_str()));
    };
    if (lock.state() == NSWindow::FolderLock::State::ReadOnly)
        NSWindow::Window::instance().showTempPopUp("This folder takes no files: nothing will be saved");
    NSLoader::LoaderModelObject_MD2::instance().setFailureNotice(notice);
    NSLoader::LoaderGLTexture::instance().setFailureNotice(notice);
    // The level controller is the window's LevelControl and the menu's
    // source of levels.
    NSWindow::Window::instance().setLevelControlFactory([&options] {
        NSLevel::ControllerLevel& levels = NSLevel::ControllerLevel::instance();
        NSWindow::Window::instance().getMenu()->setLevelController(&levels);
        if (!options.levelFile.empty())
            levels.state().openAtStart(options.levelFile);
        return &levels;
    });
    NSWindow::Window::instance().init();
    return 0;
}
