#pragma once
// A tour of the texts the game shows: each level's panel, its page and the
// pages of its objects, the win and text entry screens, every page of the
// editor (each kind of object with its attach, physics, property and
// constraint pages, the room, the management and goal pages, a test run),
// the messages that goals and leaving the editor cause; and the window's own
// switches and keys. A visitor sees each text where it is drawn and each
// page worth a picture: the catalogue test checks the texts against the
// catalogues and their places, qbn_pages takes the pictures.
#include <string>

namespace NSLevel {
class ControllerLevel;
}
namespace NSMenu {
class Menu;
}
namespace NSScene {
class Scene;
}
namespace NSWindow {
class Window;
}

namespace NSTour {

// Where a text is drawn.
enum class Where {
    Nowhere, // a name the game passes on (an object's), or a menu label
    MenuText,
    SwitchOn,
    SwitchOff,
    Message,
    PanelLine,
    Title,
    OverlayButton,
    HelpLine,
};

class Visitor {
public:
    virtual ~Visitor() = default;
    // One frame of the game, after every step of the tour.
    virtual void frame() = 0;
    // A text shown at where; a menu label comes with its entry's kind.
    virtual void text(const std::string& text, Where where) = 0;
    virtual void label(const std::string& label, unsigned kind) = 0;
    // The screen now shows a page worth a picture.
    virtual void page(const std::string&) {}
};

// Drives the menu, the levels and the scene they show, showing everything to
// the visitor. It starts in level mode and ends in the editor.
void tour(NSMenu::Menu& menu, NSLevel::ControllerLevel& levels, NSScene::Scene& scene, Visitor& visitor);
// The window's own switches and keys and their messages.
void windowTour(NSWindow::Window& window, Visitor& visitor);

// The last step's menu page and message, shown to the visitor.
void look(NSMenu::Menu& menu, Visitor& visitor);

} // namespace NSTour
