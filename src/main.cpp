#include <new>
#include <string>

#include "level/ControllerLevel.h"
#include "persistence/SerialStream.h"
#include "resources/LoaderGLTexture.h"
#include "resources/LoaderModelObject_MD2.h"
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
    // A model or picture that cannot be loaded is told once on screen; its
    // objects stay (without it) and the log has the reason.
    auto notice = [](const std::string& file) {
        const std::string text = "Could not load " + file;
        log(LOG_ERROR, "%s\n", text.c_str());
        NSWindow::Window::instance().showTempPopUp(text);
    };
    NSLoader::LoaderModelObject_MD2::instance().setFailureNotice(notice);
    NSLoader::LoaderGLTexture::instance().setFailureNotice(notice);
    NSWindow::Window::instance().setLevelControlFactory([] { return &NSLevel::ControllerLevel::instance(); });
    NSWindow::Window::instance().init();
    return 0;
}
