#include <cstdio>
#include <cstring>
#include <new>

#include "level/ControllerLevel.h"
#include "shell/Language.h"
#include "shell/Log.h"
#include "shell/Window.h"

namespace {

// Takes "--lang CODE" or "--lang=CODE" out of the command line, which GLUT
// gets without it. Returns false when the code is missing.
bool takeLanguageOption(int& argc, char** argv, const char*& code) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--lang") == 0) {
            if (i + 1 >= argc)
                return false;
            code = argv[++i];
        } else if (std::strncmp(argv[i], "--lang=", 7) == 0) {
            code = argv[i] + 7;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return !code || *code;
}

} // namespace

int main(int argc, char** argv) {
    std::set_new_handler(outOfMemory);
    const char* language = nullptr;
    if (!takeLanguageOption(argc, argv, language)) {
        std::fprintf(stderr, "quibbleton: --lang needs a language code, e.g. --lang de or --lang en\n");
        return 2;
    }
    openLogFile("log.txt");
    setLogFileMask(0xFFFFFFFFu);
    setLogConsoleMask(LOG_FATAL | LOG_ERROR | LOG_INFO);
    initLanguage(language);
    log(LOG_INFO, "Bitte Readme.doc lesen!!!\n\n\n");
    log(LOG_INFO, "%s", NSWindow::technicalHelpText.c_str());
    NSWindow::Window::initGlut(&argc, argv);
    NSWindow::Window::instance().setLevelControlFactory([] { return &NSLevel::ControllerLevel::instance(); });
    NSWindow::Window::instance().init();
    return 0;
}
