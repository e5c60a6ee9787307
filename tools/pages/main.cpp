// Pictures of the texts a player reads, for translators and reviewers: every
// level's information panel, its page in the side menu and the page of each
// kind of object the player may select, the win screen, the text entry
// screen, a message, and every page of the editor (the tour of Tour.h),
// drawn by the game's own window in one language. Each picture is written as
// NAME.ppm (800 x 600) into OUTDIR; scripts/language-screenshots.sh runs it
// for German and English and keeps them as PNG in docs/screenshots/pages/.
// Usage (from a copy of the run folder, with an X display):
//   qbn_pages OUTDIR LANG LOCALEDIR
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <cstdlib>
#include <string>
#include <vector>

#include "level/ControllerLevel.h"
#include "menu/Menu.h"
#include "pages/Tour.h"
#include "shell/CommandLine.h"
#include "shell/Language.h"
#include "shell/Log.h"
#include "window/Window.h"

namespace {

using NSWindow::Window;

class Camera : public NSTour::Visitor {
public:
    explicit Camera(std::string folder) : folder(std::move(folder)) {}
    void frame() override { Window::instance().onIdle(); }
    void text(const std::string&, NSTour::Where) override {}
    void label(const std::string&, unsigned) override {}
    // The frame as drawn, top row first, once the window has settled (a
    // message has faded in).
    void page(const std::string& name) override {
        if (name == "message")
            std::this_thread::sleep_for(std::chrono::milliseconds(1200));
        for (int i = 0; i < 4; ++i) {
            Window::instance().onIdle();
            Window::instance().drawFrame();
        }
        std::vector<unsigned char> pixels(800 * 600 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        const std::string path = folder + "/" + name + ".ppm";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) {
            std::fprintf(stderr, "qbn_pages: cannot write %s\n", path.c_str());
            std::exit(1);
        }
        std::fprintf(file, "P6\n800 600\n255\n");
        for (int row = 599; row >= 0; --row)
            std::fwrite(&pixels[static_cast<size_t>(row) * 800 * 3], 1, 800 * 3, file);
        std::fclose(file);
    }

private:
    std::string folder;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s OUTDIR LANG LOCALEDIR\n", argv[0]);
        return 2;
    }
    setLogConsoleMask(LOG_FATAL | LOG_ERROR);
    initLanguageIn(argv[2], argv[3]);
    int glutArgc = 1;
    NSWindow::Options options;
    options.scale = 1.0f; // the pictures are 800 x 600, as on a screen of ordinary density
    Window::initGlut(&glutArgc, argv, options);
    Window& window = Window::instance();
    NSLevel::ControllerLevel* levels = nullptr;
    window.setLevelControlFactory([&] {
        levels = &NSLevel::ControllerLevel::instance();
        window.getMenu()->setLevelController(levels);
        return levels;
    });
    window.init(false);
    window.onReshape(800, 600);
    Camera camera(argv[1]);
    NSTour::tour(*window.getMenu(), *levels, *window.getScene(), camera);
    NSTour::windowTour(window, camera);
    window.shutdown();
    return 0;
}
