#include "pages/Tour.h"

#include <GL/freeglut.h>

#include <set>
#include <vector>

#include "level/ControllerLevel.h"
#include "level/GameState.h"
#include "level/Progress.h"
#include "menu/Menu.h"
#include "objects/NodeGraphic.h"
#include "objects/ObjectCatalogue.h"
#include "physics/PhysicsCatalogue.h"
#include "scene/Scene.h"
#include "window/Window.h"
#include "window/WindowTempPopUp.h"

namespace NSTour {

namespace {

using NSMenu::Value;

void entries(const std::vector<NSMenu::MenuEntry>& list, Visitor& visitor) {
    for (const auto& entry : list) {
        visitor.label(entry.label, entry.kind);
        if (entry.kind == NSMenu::KIND_TEXT)
            visitor.text(entry.value.stringValue, Where::MenuText);
    }
}

struct Guide {
    NSMenu::Menu& menu;
    NSLevel::ControllerLevel& levels;
    NSScene::Scene& view;
    Visitor& visitor;

    NSScene::Scene& scene() const { return view; }
    void step() {
        visitor.frame();
        look(menu, visitor);
    }
    void command(const std::string& label, const Value& value = Value()) {
        menu.itemChanged(label, value);
        step();
    }
    void picture(const std::string& name) {
        step();
        visitor.page(name);
    }

    // The texts of the level screens, which are the same in every level.
    void screens() {
        for (const char* button : {"PLAY", "NEXT", "BACK", "SAVE"})
            visitor.text(button, Where::OverlayButton);
        for (const char* line : {"Back to current level", "Advance to next level", "Levelnamen eingeben:",
                                 "Beschreibung f\xFCr Level eingeben:"})
            visitor.text(line, Where::PanelLine);
        visitor.text("true", Where::SwitchOn);
        visitor.text("false", Where::SwitchOff);
        visitor.text(NSWindow::technicalHelpText, Where::HelpLine);
        NSLevel::LevelProgress won;
        won.winSeconds = 7.5;
        for (unsigned runs : {1u, 2u}) {
            won.winRuns = runs;
            visitor.text(NSLevel::describeWin(won), Where::Title);
        }
    }

    void level(unsigned i) {
        levels.selectLevel(i);
        const std::string name = "level" + std::to_string(i + 1);
        picture(name + "_panel");
        visitor.text(levels.currentLevel()->getName(), Where::Title);
        visitor.text(levels.currentLevel()->getInfoText(), Where::PanelLine);
        levels.toggleInfo();
        picture(name + "_page");
        std::set<std::string> seen;
        for (NSNode::NodeTransform* node : scene().getRoot()->getChildren()) {
            auto* object = dynamic_cast<NSNode::NodeGraphic*>(node);
            if (!object)
                continue;
            visitor.text(object->getName(), Where::Nowhere);
            std::vector<NSMenu::MenuEntry> list;
            object->getMenuEntries(list, false);
            entries(list, visitor);
            // The sandbox's objects are all open to the player: the editor's pages show them.
            if (object->isSelectable() && i + 1 < levels.levelCount() && seen.insert(object->getName()).second) {
                scene().select(object);
                picture(name + "_object" + std::to_string(seen.size()));
            }
        }
        scene().select(nullptr);
    }

    void editor() {
        menu.setLevelMode(false);
        picture("editor");
        const auto& physics = NSPhysical::PhysicsCatalogue::get();
        bool first = true;
        for (const auto& kind : NSObjects::creationList()) {
            command(kind.first);
            visitor.text(kind.first, Where::Nowhere);
            if (first)
                visitor.page("editor_object");
            for (const char* page : {"Attach Object...", "Constraints..."}) {
                command(page);
                if (first)
                    visitor.page(page[0] == 'A' ? "editor_attach" : "editor_constraints");
                command("Back");
            }
            for (const auto& [page, types] : {std::make_pair("Physics...", physics.getPhysicsTypes()),
                                              std::make_pair("Properties...", physics.getPropertyTypes())}) {
                const bool effects = page[1] == 'h';
                command(page);
                if (first)
                    visitor.page(effects ? "editor_physics" : "editor_properties");
                for (const auto& type : types) {
                    command(type.first);
                    if (first && &type == &types.front())
                        visitor.page(effects ? "editor_effect" : "editor_property");
                    command("Back");
                }
                command("Back");
            }
            scene().select(nullptr);
            step();
            first = false;
        }
        command("Edit Room");
        visitor.page("editor_room");
        scene().select(nullptr);
        step();
        command("Management...");
        visitor.page("editor_management");
        command("Goals...");
        visitor.page("editor_goals");
        command("ID 1", Value::ofInt(1));
        command("ID 2", Value::ofInt(99999));
        command("Add Goal");
        command("ID 2", Value::ofInt(2));
        command("Add Goal");
        command("Back");
        command("Back");
        command("Start Test");
        levels.state().nextLevel();
        levels.toggleInfo();
        picture("editor_test");
        command("Stop Test");
        levels.state().nextLevel();
        step();
    }

};

} // namespace

void look(NSMenu::Menu& menu, Visitor& visitor) {
    entries(menu.pageEntries(), visitor);
    if (auto* popUp = NSWindow::WindowTempPopUp::current())
        visitor.text(popUp->getText(), Where::Message);
}

void tour(NSMenu::Menu& menu, NSLevel::ControllerLevel& levels, NSScene::Scene& scene, Visitor& visitor) {
    Guide guide{menu, levels, scene, visitor};
    guide.screens();
    for (unsigned i = 0; i < levels.levelCount(); ++i)
        guide.level(i);
    levels.setWinScreenShown(true);
    guide.picture("win_screen");
    levels.setWinScreenShown(false);
    levels.showInput(true, true);
    guide.picture("text_entry");
    levels.showInput(false, true);
    guide.editor();
}

void windowTour(NSWindow::Window& window, Visitor& visitor) {
    auto message = [&] {
        if (auto* popUp = NSWindow::WindowTempPopUp::current())
            visitor.text(popUp->getText(), Where::Message);
    };
    for (int key : {GLUT_KEY_F2, GLUT_KEY_F3, GLUT_KEY_F6, GLUT_KEY_F7, GLUT_KEY_F8, GLUT_KEY_F9, GLUT_KEY_F11})
        for (int twice = 0; twice < (key == GLUT_KEY_F11 ? 4 : 2); ++twice) {
            window.onSpecial(key, GLUT_ACTIVE_SHIFT);
            message();
        }
    NSScene::Scene& scene = *window.getScene();
    for (unsigned char key : {'c', 'c', 'm', 'm', 't', 't'}) {
        scene.keyPressed(key, 0, false);
        message();
    }
    for (int mode = 0; mode < 3; ++mode)
        for (int quality = 0; quality < 2; ++quality) {
            scene.settings().setMipmapMode(mode);
            scene.settings().setTextureQuality(quality);
            message();
        }
    // The longest message of all, in full.
    window.showTempPopUp(NSLevel::GameState::kLeaveEditorText);
    visitor.frame();
    visitor.page("message");
}

} // namespace NSTour
