// The commands behind the buttons and fields of the level mode page and the
// editor's main, management and goal pages. Each label has an entry in a
// table; the object page's commands are in MenuObjectPage.cpp.

#include <algorithm>
#include <iterator>

#include "audio/SoundControl.h"
#include "level/ControllerLevel.h"
#include "level/Level.h"
#include "menu/Menu.h"
#include "objects/NodeGraphic.h"
#include "objects/ObjectCatalogue.h"
#include "scene/Scene.h"
#include "shell/Language.h"
#include "shell/Log.h"

#include "menu/MenuPageLines.h"

namespace NSMenu {

using namespace pageLines;

bool Menu::itemChanged(const std::string& label, const Value& value) {
    if (selected)
        return objectCommand(label, value);
    return mainCommand(label, value);
}

Menu::Outcome Menu::runCommand(const CommandEntry* begin, const CommandEntry* end, const std::string& label,
                               const Value& value) {
    for (const CommandEntry* entry = begin; entry != end; ++entry) {
        if (label != entry->label)
            continue;
        const Outcome outcome = (this->*entry->run)(label, value);
        if (outcome != Outcome::NotMine)
            return outcome;
    }
    return Outcome::NotMine;
}

bool Menu::finishCommand(Outcome outcome) {
    if (outcome == Outcome::Done)
        setTouched();
    return outcome == Outcome::Done || outcome == Outcome::Kept;
}

bool Menu::mainCommand(const std::string& label, const Value& value) {
    static const CommandEntry kCommands[] = {
        {"Back", &Menu::mainBack},
        {"Sound", &Menu::soundCommand},
        {"Volume", &Menu::soundCommand},
        {"Level Mode", &Menu::modeCommand},
        {"Custom Mode", &Menu::modeCommand},
        {"Load Level", &Menu::selectLevelCommand},
        {"New Level", &Menu::newLevelCommand},
        {"Reset Level", &Menu::resetLevelCommand},
        {"Undo", &Menu::undoCommand},
        {"Redo", &Menu::undoCommand},
        {"Start Test", &Menu::testCommand},
        {"Stop Test", &Menu::testCommand},
        {"Management...", &Menu::openManagement},
        {"Level-Name", &Menu::levelTextCommand},
        {"Level-Infotext", &Menu::levelTextCommand},
        {"Goals...", &Menu::openGoals},
        {"Load Scene", &Menu::fileCommand},
        {"Save Scene", &Menu::fileCommand},
        {"Load Level", &Menu::fileCommand},
        {"Save Level", &Menu::fileCommand},
        {"Edit Room", &Menu::editRoom},
        {"Add Goal", &Menu::addGoal},
        {"Delete Goal", &Menu::deleteGoal},
        {"Select ID 1", &Menu::selectGoalObject},
        {"Select ID 2", &Menu::selectGoalObject},
        {"Levelname", &Menu::storeFileName},
        // Typing into these fields only stores the value in the item.
        {"ID 1", &Menu::keptInItem},
        {"ID 2", &Menu::keptInItem},
        {"Level", &Menu::keptInItem},
    };
    Outcome outcome = runCommand(std::begin(kCommands), std::end(kCommands), label, value);
    if (outcome == Outcome::NotMine)
        outcome = pickCommand(label, value);
    return finishCommand(outcome);
}

Menu::Outcome Menu::mainBack(const std::string&, const Value&) {
    if (page.selectedGoal != -1)
        page.selectedGoal = -1;
    else if (page.goalsOpen)
        page.goalsOpen = false;
    else
        page.managementOpen = false;
    return Outcome::Done;
}

Menu::Outcome Menu::soundCommand(const std::string& label, const Value& value) {
    if (!isLevelMode())
        return Outcome::NotMine;
    NSAudio::SoundControl::instance().setMenuValue(label, value);
    return Outcome::Done;
}

Menu::Outcome Menu::modeCommand(const std::string& label, const Value&) {
    setLevelMode(label == "Level Mode");
    return Outcome::Done;
}

Menu::Outcome Menu::selectLevelCommand(const std::string&, const Value&) {
    if (!isLevelMode() || page.managementOpen)
        return Outcome::NotMine;
    if (levels)
        levels->state().selectLevel(static_cast<unsigned>(std::max(0, findItemValue("Level").intValue - 1)));
    return Outcome::Done;
}

Menu::Outcome Menu::newLevelCommand(const std::string&, const Value&) {
    if (levels)
        levels->state().newCustomLevel();
    return Outcome::Done;
}

Menu::Outcome Menu::resetLevelCommand(const std::string&, const Value&) {
    if (!isLevelMode())
        return Outcome::NotMine;
    if (levels)
        levels->resetLevel();
    return Outcome::Done;
}

Menu::Outcome Menu::undoCommand(const std::string& label, const Value&) {
    if (!levels)
        return Outcome::NotMine;
    // The page holds no object's values: nothing here outlives the scene.
    if (label == "Undo" ? levels->state().undo() : levels->state().redo())
        clearObjectPages();
    return Outcome::Done;
}

Menu::Outcome Menu::testCommand(const std::string& label, const Value&) {
    setTestMode(label == "Start Test");
    return Outcome::Done;
}

Menu::Outcome Menu::openManagement(const std::string&, const Value&) {
    page.managementOpen = true;
    page.goalsOpen = false;
    return Outcome::Done;
}

Menu::Outcome Menu::levelTextCommand(const std::string& label, const Value&) {
    if (levels)
        levels->showInput(true, label == "Level-Name");
    return Outcome::Done;
}

Menu::Outcome Menu::openGoals(const std::string&, const Value&) {
    page.goalsOpen = true;
    return Outcome::Done;
}

Menu::Outcome Menu::fileCommand(const std::string& label, const Value&) {
    const std::string name = findItemValue("Levelname").stringValue;
    if (!NSLevel::isSafeFileName(name)) {
        // The name becomes a file in "levels/": no folders, no way out of it.
        popUp("Invalid name: no folders, no \"..\", not empty");
        return Outcome::Refused;
    }
    // The game's state knows what each means while the machine runs.
    if (!levels)
        return Outcome::Refused;
    NSLevel::GameState& state = levels->state();
    if (label == "Load Scene")
        state.loadScene(name);
    else if (label == "Save Scene")
        state.saveScene(name);
    else if (label == "Load Level")
        state.loadLevel(name);
    else
        state.saveLevel(name);
    return Outcome::Done;
}

Menu::Outcome Menu::editRoom(const std::string&, const Value&) {
    if (!scene)
        return Outcome::Done;
    scene->select(nullptr);
    for (NSNode::NodeTransform* child : scene->getRoot()->getChildren())
        if (child->classId() == CLASS_OBJECT_ROOM) {
            scene->select(child);
            break;
        }
    return Outcome::Done;
}

Menu::Outcome Menu::addGoal(const std::string&, const Value&) {
    NSLevel::Level* level = currentLevel();
    if (!level)
        return Outcome::Refused;
    const int id1 = findItemValue("ID 1").intValue;
    const int id2 = findItemValue("ID 2").intValue;
    for (int id : {id1, id2}) {
        if (!scene || id < 0 || !scene->findNode(id)) {
            popUp(trFormat("Object id %d not found", id));
            return Outcome::Refused;
        }
    }
    if (!level->registerWinConditonHit(static_cast<unsigned>(id1), static_cast<unsigned>(id2)))
        return Outcome::Refused;
    page.selectedGoal = static_cast<int>(level->getGoals().size()) - 1;
    return Outcome::Done;
}

Menu::Outcome Menu::deleteGoal(const std::string&, const Value&) {
    if (NSLevel::Level* level = currentLevel())
        level->removeGoal(static_cast<unsigned>(findItemValue("ID 1").intValue),
                          static_cast<unsigned>(findItemValue("ID 2").intValue));
    page.selectedGoal = -1;
    return Outcome::Done;
}

Menu::Outcome Menu::selectGoalObject(const std::string&, const Value& value) {
    selectById(value.intValue);
    return Outcome::Done;
}

Menu::Outcome Menu::storeFileName(const std::string&, const Value& value) {
    page.fileName = value.stringValue;
    return Outcome::Kept;
}

Menu::Outcome Menu::keptInItem(const std::string&, const Value&) { return Outcome::Kept; }

Menu::Outcome Menu::pickCommand(const std::string& label, const Value& value) {
    if (page.goalsOpen) {
        page.selectedGoal = value.intValue;
        return Outcome::Done;
    }
    if (isLevelMode() || isTestMode() || !isCreationName(label))
        return Outcome::Refused;
    NSNode::NodeGraphic* object = NSObjects::createObject(label);
    if (!object || !scene)
        return Outcome::Refused;
    log(LOG_GAME, "Menu: created \"%s\", id %d\n", label.c_str(), object->getId());
    scene->addObject(object);
    scene->select(object);
    return Outcome::Done;
}

} // namespace NSMenu
