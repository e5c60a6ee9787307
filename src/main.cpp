#include <new>

#include "level/ControllerLevel.h"
#include "persistence/SerialStream.h"
#include "shell/Log.h"
#include "shell/Window.h"

int main(int argc, char** argv) {
    std::set_new_handler(outOfMemory);
    openLogFile("log.txt");
    setLogFileMask(0xFFFFFFFFu);
    setLogConsoleMask(LOG_FATAL | LOG_ERROR | LOG_INFO);
    log(LOG_INFO, "Bitte Readme.doc lesen!!!\n\n\n");
    log(LOG_INFO, "%s", NSWindow::technicalHelpText.c_str());
    // Saves cut short by a crash leave their temporary files behind.
    NSSerialize::SerialStream::removeStaleTempFiles("levels");
    NSWindow::Window::initGlut(&argc, argv);
    NSWindow::Window::instance().setLevelControlFactory([] { return &NSLevel::ControllerLevel::instance(); });
    NSWindow::Window::instance().init();
    return 0;
}
