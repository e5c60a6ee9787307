#pragma once
// The side menu: a scrollable column of menu items at the right edge of the
// window. It shows the page of the current state (the level mode page, the
// editor's pages, or the page of the object selected in the scene), keeps the
// shown values fresh while the machine runs, and sends every change back to
// the owner of the value by its label. Its own buttons are commands, matched
// by their exact label.

#include <string>
#include <vector>

#include "editable/MenuEntry.h"
#include "menu/MenuItemHost.h"
#include "ui/WindowItem.h"

namespace NSGraphic {
class GLFont;
}
namespace NSNode {
class NodeGraphic;
}
namespace NSPhysical {
class Physics;
class PhysicsProperty;
}
namespace NSConstraint {
class Constraint;
}
namespace NSScene {
class Scene;
}
namespace NSLevel {
class ControllerLevel;
class Level;
}

namespace NSMenu {

class MenuItem;
class MenuSlider;

class Menu : public NSWindow::WindowItem, public MenuItemHost {
public:
    // The menu follows scene's selection and running state; levels (may be
    // null) is the level controller it asks for level changes.
    Menu(NSScene::Scene* scene, NSLevel::ControllerLevel* levels);
    ~Menu() override;

    void setLevelController(NSLevel::ControllerLevel* controller) { levels = controller; }

    // MenuItemHost
    bool itemChanged(const std::string& label, const Value& value) override;
    NSGraphic::GLFont* getLabelFont(bool enabled) override;
    NSGraphic::GLFont* getValueFont(bool enabled) override;
    using WindowItem::getLabelFont;

    // Recreates every item from the entries of the current page.
    void rebuild();
    // The scene was read back (undo, redo): the selection's page, afresh.
    void sceneReplaced();
    // The entries of the current page, in order.
    std::vector<MenuEntry> pageEntries();
    // The value of the first item with this label, or a default value.
    Value findItemValue(const std::string& label) const;
    // The first item with this label, or null.
    MenuItem* findItem(const std::string& label) const;
    std::vector<MenuItem*> items() const;

    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    bool mouseDrag(int modifiers, int x, int y) override;
    // The focused item first; then the menu's own keys. Keys neither uses
    // are passed on (false).
    bool keyPressed(int key, int modifiers, bool special) override;
    // The menu's own keys, wherever the focus is: Escape and space let go
    // of the selection, Delete deletes it in the editor.
    bool commandKey(int key, bool special);
    void draw() override;
    void update() override;

    // Level mode (playing the built-in levels) or custom mode (the editor),
    // as the game's state has it (level mode without a level controller).
    // A change empties the scene and loads the first level or the custom level.
    void setLevelMode(bool on);
    bool isLevelMode() const;
    // The editor's test run; only in custom mode. On saves the scene as
    // "_test", off restores it from there.
    void setTestMode(bool on);
    bool isTestMode() const;
    bool isReadOnly() const { return readOnly; }
    NSNode::NodeGraphic* getSelected() const { return selected; }
    MenuSlider* getSlider() const { return slider; }
    int getRebuildCount() const { return rebuildCount; }

    static constexpr int kItemWidth = 155;
    static constexpr int kTopMargin = 7;
    static constexpr int kRefreshTicks = 10;
    // Pixels one wheel notch scrolls the column.
    static constexpr int kWheelStep = 40;

private:
    // Page state of the editor.
    struct PageState {
        bool managementOpen = false;
        bool goalsOpen = false;
        bool attachOpen = false;
        bool physicsOpen = false;
        bool propertiesOpen = false;
        bool constraintsOpen = false;
        int selectedGoal = -1;
        // The file name typed on the management page outlives rebuilds, so
        // a level saved under a name can be saved as a scene right after.
        std::string fileName;
        NSPhysical::Physics* editedPhysics = nullptr;
        NSPhysical::PhysicsProperty* editedProperty = nullptr;
        NSConstraint::Constraint* editedConstraint = nullptr;
    };

    void clearObjectPages();
    void drawWholeLabel();
    // Names the page being shown: a rebuild that shows the same page keeps
    // its scroll position.
    std::string pageKey() const;
    // Takes over a change of the game's mode: fresh pages, a rebuild.
    void noteModeChange();
    void layoutItems();
    void refreshValues();
    NSLevel::Level* currentLevel() const;
    // Drops edited effects or properties that no longer belong to the object.
    void dropStalePointers();

    void objectPage(std::vector<MenuEntry>& list);
    void mainPage(std::vector<MenuEntry>& list);
    void goalsPage(std::vector<MenuEntry>& list);
    void managementPage(std::vector<MenuEntry>& list);
    void levelModePage(std::vector<MenuEntry>& list);
    void testModePage(std::vector<MenuEntry>& list);
    void editorPage(std::vector<MenuEntry>& list);

    // What a command did.
    enum class Outcome {
        Done,    // taken: the page shows it afresh
        Kept,    // taken by its field or its owner: no rebuild
        Refused, // not taken
        NotMine, // not this entry's command now: the next entry for the label is asked
    };
    using Command = Outcome (Menu::*)(const std::string& label, const Value& value);
    // A command of a page's table, by its button's or field's label.
    struct CommandEntry {
        const char* label;
        Command run;
    };
    // Runs the entries for label in order until one takes it; NotMine when none does.
    Outcome runCommand(const CommandEntry* begin, const CommandEntry* end, const std::string& label,
                       const Value& value);
    // Whether the command was taken; rebuilds the page when it changed.
    bool finishCommand(Outcome outcome);
    bool objectCommand(const std::string& label, const Value& value);
    bool mainCommand(const std::string& label, const Value& value);
    // The object page's commands (MenuObjectPage.cpp).
    Outcome objectBack(const std::string& label, const Value& value);
    Outcome openObjectSubpage(const std::string& label, const Value& value);
    Outcome deleteObject(const std::string& label, const Value& value);
    // Deletes the effect, property or constraint being edited; NotMine when none is.
    Outcome deleteEdited(const std::string& label, const Value& value);
    Outcome attachCommand(const std::string& label, const Value& value);
    Outcome physicsCommand(const std::string& label, const Value& value);
    Outcome propertyCommand(const std::string& label, const Value& value);
    // Both sub-pages alike: the edited item takes the line; a name of the
    // catalogue (create gives it, or null) is added by add and edited;
    // otherwise the value picks one of items to edit.
    template <class T, class Create, class Add>
    Outcome editOrAdd(T*& edited, const std::vector<T*>& items, Create create, Add add, const std::string& label,
                      const Value& value);
    // The main, management and goal pages' commands (MenuCommands.cpp).
    Outcome mainBack(const std::string& label, const Value& value);
    Outcome soundCommand(const std::string& label, const Value& value);
    Outcome modeCommand(const std::string& label, const Value& value);
    Outcome selectLevelCommand(const std::string& label, const Value& value);
    Outcome newLevelCommand(const std::string& label, const Value& value);
    Outcome resetLevelCommand(const std::string& label, const Value& value);
    Outcome undoCommand(const std::string& label, const Value& value);
    Outcome testCommand(const std::string& label, const Value& value);
    Outcome openManagement(const std::string& label, const Value& value);
    Outcome levelTextCommand(const std::string& label, const Value& value);
    Outcome openGoals(const std::string& label, const Value& value);
    Outcome fileCommand(const std::string& label, const Value& value);
    Outcome editRoom(const std::string& label, const Value& value);
    Outcome addGoal(const std::string& label, const Value& value);
    Outcome deleteGoal(const std::string& label, const Value& value);
    Outcome selectGoalObject(const std::string& label, const Value& value);
    Outcome storeFileName(const std::string& label, const Value& value);
    Outcome keptInItem(const std::string& label, const Value& value);
    // A goal picked from the goal list, or an object created from the editor's page.
    Outcome pickCommand(const std::string& label, const Value& value);
    // Gives the line to the object or effect whose page it is: Kept when it
    // takes the value, Refused when not. When that changed which lines the
    // owner shows, the page is built again before it is next drawn.
    Outcome giveToOwner(MenuConfigureable& owner, const std::string& label, const Value& value);
    void deleteSelected();
    void selectById(int id);
    void popUp(const std::string& text) const;

    NSGraphic::GLFont* labelFontMenu = nullptr;
    NSGraphic::GLFont* valueFontMenu = nullptr;
    NSScene::Scene* scene;
    NSLevel::ControllerLevel* levels;
    NSNode::NodeGraphic* selected = nullptr;
    bool readOnly = false;
    // The mode seen at the last update, as a number; -1 before the first.
    int seenMode = -1;
    PageState page;
    int updateCount = 0;
    MenuSlider* slider;
    // The level index seen at the last update; -1 before the first.
    long seenLevelIndex = -1;
    const void* seenLevel = nullptr;
    int rebuildCount = 0;
    std::string shownPage;
    // The left button went down over the menu and is not yet up: only then
    // do drags reach the items.
    bool leftHeld = false;
};

} // namespace NSMenu
