#include "shell/Host.h"

namespace NSWindow {

namespace {

class QuietHost : public Host {
public:
    void showTempPopUp(const std::string&) override {}
    bool hasScreen() const override { return false; }
    void addOverlay(WindowItem*) override {}
    NSScene::Scene* shownScene() const override { return nullptr; }
};

Host& (*&providerSlot())() {
    static Host& (*provider)() = nullptr;
    return provider;
}

} // namespace

Host& host() {
    static QuietHost quiet;
    return providerSlot() ? providerSlot()() : quiet;
}

void setHostProvider(Host& (*provider)()) { providerSlot() = provider; }

} // namespace NSWindow
