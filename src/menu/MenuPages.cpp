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
    NSLevel::Level* level = currentLevel();
    if (page.goalsOpen) {
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
        return;
    }
    if (page.managementOpen) {
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
        return;
    }
    if (isLevelMode()) {
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
        return;
    }
    if (isTestMode()) {
        list.push_back(header("TEST MODE"));
        list.push_back(button("Stop Test"));
        list.push_back(MenuEntry());
        return;
    }
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

// --- commands ----------------------------------------------------------------

bool Menu::itemChanged(const std::string& label, const Value& value) {
    if (selected)
        return objectCommand(label, value);
    return mainCommand(label, value);
}

bool Menu::mainCommand(const std::string& label, const Value& value) {
    NSLevel::Level* level = currentLevel();
    if (label == "Back") {
        if (page.selectedGoal != -1)
            page.selectedGoal = -1;
        else if (page.goalsOpen)
            page.goalsOpen = false;
        else
            page.managementOpen = false;
    } else if ((label == "Sound" || label == "Volume") && isLevelMode()) {
        NSAudio::SoundControl::instance().setMenuValue(label, value);
    } else if (label == "Level Mode") {
        setLevelMode(true);
    } else if (label == "Custom Mode") {
        setLevelMode(false);
    } else if (label == "Load Level" && isLevelMode() && !page.managementOpen) {
        if (levels)
            levels->state().selectLevel(static_cast<unsigned>(std::max(0, findItemValue("Level").intValue - 1)));
    } else if (label == "New Level") {
        if (levels)
            levels->state().newCustomLevel();
    } else if (label == "Reset Level" && isLevelMode()) {
        if (levels)
            levels->resetLevel();
    } else if ((label == "Undo" || label == "Redo") && levels) {
        // The page holds no object's values: nothing here outlives the scene.
        if (label == "Undo" ? levels->state().undo() : levels->state().redo())
            clearObjectPages();
    } else if (label == "Start Test") {
        setTestMode(true);
    } else if (label == "Stop Test") {
        setTestMode(false);
    } else if (label == "Management...") {
        page.managementOpen = true;
        page.goalsOpen = false;
    } else if (label == "Level-Name") {
        if (levels)
            levels->showInput(true, true);
    } else if (label == "Level-Infotext") {
        if (levels)
            levels->showInput(true, false);
    } else if (label == "Goals...") {
        page.goalsOpen = true;
    } else if ((label == "Load Scene" || label == "Save Scene" || label == "Load Level" || label == "Save Level") &&
               !NSLevel::isSafeFileName(findItemValue("Levelname").stringValue)) {
        // The name becomes a file in "levels/": no folders, no way out of it.
        popUp("Invalid name: no folders, no \"..\", not empty");
        return false;
    } else if (label == "Load Scene" || label == "Save Scene" || label == "Load Level" || label == "Save Level") {
        // The game's state knows what each means while the machine runs.
        if (!levels)
            return false;
        NSLevel::GameState& state = levels->state();
        const std::string name = findItemValue("Levelname").stringValue;
        if (label == "Load Scene")
            state.loadScene(name);
        else if (label == "Save Scene")
            state.saveScene(name);
        else if (label == "Load Level")
            state.loadLevel(name);
        else
            state.saveLevel(name);
    } else if (label == "Edit Room") {
        if (scene) {
            scene->select(nullptr);
            for (NSNode::NodeTransform* child : scene->getRoot()->getChildren())
                if (child->classId() == CLASS_OBJECT_ROOM) {
                    scene->select(child);
                    break;
                }
        }
    } else if (label == "Add Goal") {
        if (!level)
            return false;
        const int id1 = findItemValue("ID 1").intValue;
        const int id2 = findItemValue("ID 2").intValue;
        for (int id : {id1, id2}) {
            if (!scene || id < 0 || !scene->findNode(id)) {
                popUp(trFormat("Object id %d not found", id));
                return false;
            }
        }
        if (!level->registerWinConditonHit(static_cast<unsigned>(id1), static_cast<unsigned>(id2)))
            return false;
        page.selectedGoal = static_cast<int>(level->getGoals().size()) - 1;
    } else if (label == "Delete Goal") {
        if (level)
            level->removeGoal(static_cast<unsigned>(findItemValue("ID 1").intValue),
                              static_cast<unsigned>(findItemValue("ID 2").intValue));
        page.selectedGoal = -1;
    } else if (label == "Select ID 1" || label == "Select ID 2") {
        selectById(value.intValue);
    } else if (label == "Levelname") {
        page.fileName = value.stringValue;
        return true;
    } else if (label == "ID 1" || label == "ID 2" || label == "Level") {
        // Typing into these fields only stores the value in the item.
        return true;
    } else if (page.goalsOpen) {
        page.selectedGoal = value.intValue;
    } else if (!isLevelMode() && !isTestMode() && isCreationName(label)) {
        NSNode::NodeGraphic* object = NSObjects::createObject(label);
        if (!object || !scene)
            return false;
        log(LOG_GAME, "Menu: created \"%s\", id %d\n", label.c_str(), object->getId());
        scene->addObject(object);
        scene->select(object);
    } else {
        return false;
    }
    setTouched();
    return true;
}

} // namespace NSMenu
