// The pages of the side menu and the commands behind their buttons: the level
// mode page and the editor's main, management and goal pages. The selected
// object's page is in MenuObjectPage.cpp.

#include <algorithm>

#include "audio/SoundControl.h"
#include "level/ControllerLevel.h"
#include "level/Level.h"
#include "level/Progress.h"
#include "menu/Menu.h"
#include "objects/ObjectCatalogue.h"
#include "physics/Physics.h"
#include "scene/Scene.h"
#include "objects/NodeGraphic.h"
#include "shell/Language.h"
#include "shell/Log.h"

#include "menu/MenuPageLines.h"

namespace NSMenu {

namespace pageLines {

MenuEntry header(const std::string& label) {
    return MenuEntry(nullptr, label, TYPE_BOOL, KIND_HEADER, Value(), true);
}

MenuEntry button(const std::string& label) {
    return MenuEntry(nullptr, label, TYPE_BOOL, KIND_BUTTON, Value(), true);
}

MenuEntry intButton(const std::string& label, int value) {
    return MenuEntry(nullptr, label, TYPE_INT, KIND_BUTTON, Value::ofInt(value), true);
}

MenuEntry intInput(const std::string& label, int value, bool enabled) {
    return MenuEntry(nullptr, label, TYPE_INT, KIND_INPUT, Value::ofInt(value), enabled);
}

std::string numbered(size_t index, const std::string& name) {
    return std::to_string(index) + " - " + name;
}

void footer(std::vector<MenuEntry>& list) {
    list.push_back(header("MENU"));
    list.push_back(button("Back"));
    list.push_back(MenuEntry());
}

void creationButtons(std::vector<MenuEntry>& list) {
    for (const auto& entry : NSObjects::creationList())
        list.push_back(button(entry.first));
}

bool isCreationName(const std::string& label) {
    const auto& names = NSObjects::creationList();
    return std::any_of(names.begin(), names.end(), [&](const auto& e) { return e.first == label; });
}

} // namespace pageLines

using namespace pageLines;

namespace {

// The level page's account of the player's progress: the won levels.
void progressLines(std::vector<MenuEntry>& list, const NSLevel::ControllerLevel* levels) {
    const NSLevel::Progress* progress = levels ? levels->progress() : nullptr;
    if (!progress)
        return;
    const std::string won = progress->wonList();
    list.push_back(MenuEntry());
    list.push_back(header("WON LEVELS"));
    list.emplace_back(nullptr, "", TYPE_STRING, KIND_TEXT, Value::ofString(won.empty() ? "none yet" : won), true);
}

} // namespace

// --- pages -------------------------------------------------------------------

std::vector<MenuEntry> Menu::pageEntries() {
    std::vector<MenuEntry> list;
    if (selected)
        objectPage(list);
    else
        mainPage(list);
    return list;
}

void Menu::dropStalePointers() {
    if (!selected) {
        page.editedPhysics = nullptr;
        page.editedProperty = nullptr;
        page.editedConstraint = nullptr;
        return;
    }
    const auto& effects = selected->getPhysics();
    if (std::find(effects.begin(), effects.end(), page.editedPhysics) == effects.end())
        page.editedPhysics = nullptr;
    const auto& properties = selected->getProperties();
    if (std::find(properties.begin(), properties.end(), page.editedProperty) == properties.end())
        page.editedProperty = nullptr;
    const auto& constraints = selected->getConstraints();
    if (std::find(constraints.begin(), constraints.end(), page.editedConstraint) == constraints.end())
        page.editedConstraint = nullptr;
}

void Menu::mainPage(std::vector<MenuEntry>& list) {
    if (page.goalsOpen)
        goalsPage(list);
    else if (page.managementOpen)
        managementPage(list);
    else if (isLevelMode())
        levelModePage(list);
    else if (isTestMode())
        testModePage(list);
    else
        editorPage(list);
}

void Menu::goalsPage(std::vector<MenuEntry>& list) {
    NSLevel::Level* level = currentLevel();
    footer(list);
    const auto* goals = level ? &level->getGoals() : nullptr;
    if (page.selectedGoal >= 0 && goals && static_cast<size_t>(page.selectedGoal) < goals->size()) {
        const NSLevel::LevelGoal& goal = (*goals)[static_cast<size_t>(page.selectedGoal)];
        list.push_back(header("GOAL"));
        list.push_back(button("Delete Goal"));
        list.push_back(MenuEntry());
        list.push_back(intInput("ID 1", static_cast<int>(goal.id1), false));
        list.push_back(intInput("ID 2", static_cast<int>(goal.id2), false));
        list.push_back(MenuEntry());
        list.push_back(header("SELECT OBJECTS"));
        list.push_back(intButton("Select ID 1", static_cast<int>(goal.id1)));
        list.push_back(intButton("Select ID 2", static_cast<int>(goal.id2)));
        return;
    }
    page.selectedGoal = -1;
    if (goals && !goals->empty()) {
        list.push_back(header("EDIT GOALS"));
        for (size_t i = 0; i < goals->size(); ++i)
            list.push_back(intButton("ID:" + std::to_string((*goals)[i].id1) + " - ID:" +
                                         std::to_string((*goals)[i].id2),
                                     static_cast<int>(i)));
        list.push_back(MenuEntry());
    }
    list.push_back(header("ADD GOALS"));
    list.push_back(intInput("ID 1", 0, true));
    list.push_back(intInput("ID 2", 0, true));
    list.push_back(intButton("Add Goal", -1));
}

void Menu::managementPage(std::vector<MenuEntry>& list) {
    footer(list);
    list.push_back(header("MANAGEMENT"));
    list.emplace_back(nullptr, "Levelname", TYPE_STRING, KIND_INPUT, Value::ofString(page.fileName), true);
    for (const char* label : {"Load Scene", "Save Scene", "Load Level", "Save Level"})
        list.push_back(button(label));
    list.push_back(MenuEntry());
    list.push_back(header("LEVEL DESCRIPTION"));
    list.push_back(button("Level-Name"));
    list.push_back(button("Level-Infotext"));
    list.push_back(MenuEntry());
    list.push_back(header("LEVEL GOAL"));
    list.push_back(button("Goals..."));
    list.push_back(MenuEntry());
    list.push_back(button("New Level"));
}

void Menu::levelModePage(std::vector<MenuEntry>& list) {
    const int count = levels ? static_cast<int>(levels->levelCount()) : 1;
    const int current = levels ? static_cast<int>(levels->currentIndex()) + 1 : 1;
    list.push_back(header("LEVEL MODE"));
    list.push_back(button("Custom Mode"));
    list.push_back(MenuEntry());
    list.emplace_back(nullptr, "Level", TYPE_INT, KIND_SLIDER, Value::ofInt(current), true,
                      new ValueConstraintRange(1, std::max(1, count)));
    list.push_back(button("Load Level"));
    list.push_back(button("Reset Level"));
    progressLines(list, levels);
    list.push_back(MenuEntry());
    NSAudio::SoundControl::instance().getMenuEntries(list, false);
}

void Menu::testModePage(std::vector<MenuEntry>& list) {
    list.push_back(header("TEST MODE"));
    list.push_back(button("Stop Test"));
    list.push_back(MenuEntry());
}

void Menu::editorPage(std::vector<MenuEntry>& list) {
    list.push_back(header("CUSTOM MODE"));
    list.push_back(button("Start Test"));
    list.push_back(button("Management..."));
    list.push_back(button("Level Mode"));
    list.push_back(button("Undo"));
    list.push_back(button("Redo"));
    list.push_back(MenuEntry());
    list.push_back(header("CREATE OBJECT"));
    creationButtons(list);
    list.push_back(MenuEntry());
    list.push_back(header("CONFIG ROOM"));
    list.push_back(button("Edit Room"));
}

} // namespace NSMenu
