#pragma once
// What the layers below the window ask of it without knowing it: a message
// across the window, whether the window has a size yet, a full-window item
// laid over the others, and the scene it shows. The game's window answers
// (it registers itself as the host); without one (tools, fuzz targets) a
// quiet host ignores the calls.
#include <string>

namespace NSScene {
class Scene;
}

namespace NSWindow {

class WindowItem;

class Host {
public:
    virtual ~Host() = default;
    virtual void showTempPopUp(const std::string& text) = 0;
    virtual bool hasScreen() const = 0;
    // Takes item into the window's item tree (it owns it from then on).
    virtual void addOverlay(WindowItem* item) = 0;
    virtual NSScene::Scene* shownScene() const = 0;
};

// The host in use: the one the registered function returns, or the quiet one.
Host& host();
// The window registers the function that makes it on first use.
void setHostProvider(Host& (*provider)());

} // namespace NSWindow
