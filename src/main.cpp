#include <new>

#include "level/ControllerLevel.h"
#include "shell/CommandLine.h"
#include "shell/Language.h"
#include "shell/Log.h"
#include "shell/Window.h"

int main(int argc, char** argv) {
    const NSWindow::Options options = NSWindow::parseCommandLine(argc, argv);
    if (options.exitCode >= 0)
        return options.exitCode;
    std::set_new_handler(outOfMemory);
    openLogFile("log.txt");
    setLogFileMask(0xFFFFFFFFu);
    setLogConsoleMask(LOG_FATAL | LOG_ERROR | LOG_INFO);
    initLanguage(options.language.c_str());
    log(LOG_INFO, "Bitte Readme.doc lesen!!!\n\n\n");
    log(LOG_INFO, "%s", NSWindow::technicalHelpText.c_str());
    NSWindow::Window::initGlut(&argc, argv);
    NSWindow::Window::instance().setFrameCap(options.frameCap);
    NSWindow::Window::instance().setLevelControlFactory([] { return &NSLevel::ControllerLevel::instance(); });
    NSWindow::Window::instance().init();
    return 0;
}
