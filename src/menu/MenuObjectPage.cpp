// The page of the selected object, with its attach, physics, property and
// constraint sub-pages, and the commands behind its buttons.

#include <algorithm>
#include <iterator>

#include "level/Level.h"
#include "menu/Menu.h"
#include "objects/ObjectCatalogue.h"
#include "persistence/ClassIds.h"
#include "physics/PhysicsCatalogue.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"
#include "scene/Scene.h"
#include "objects/NodeGraphic.h"

#include "menu/MenuPageLines.h"

namespace NSMenu {

using namespace pageLines;

namespace {

void collectIds(NSNode::NodeTransform* node, std::vector<unsigned>& ids) {
    ids.push_back(static_cast<unsigned>(node->getId()));
    for (NSNode::NodeTransform* child : node->getChildren())
        collectIds(child, ids);
}

} // namespace

void Menu::objectPage(std::vector<MenuEntry>& list) {
    const bool editing = !isLevelMode() && !isTestMode();
    const NSPhysical::PhysicsCatalogue& physics = NSPhysical::PhysicsCatalogue::get();

    if (page.attachOpen) {
        footer(list);
        list.push_back(header("ATTACHED OBJECTS"));
        const auto& children = selected->getChildren();
        for (size_t i = 0; i < children.size(); ++i)
            list.push_back(intButton(numbered(i, NSObjects::creationName(children[i]->classId())),
                                     children[i]->getId()));
        list.push_back(MenuEntry());
        list.push_back(header("CREATE OBJECT"));
        creationButtons(list);
        return;
    }
    if (page.physicsOpen) {
        footer(list);
        if (page.editedPhysics) {
            list.push_back(header("PHYSICS"));
            list.push_back(button("Delete Physics"));
            list.push_back(MenuEntry());
            page.editedPhysics->getMenuEntries(list, !isLevelMode());
            return;
        }
        list.push_back(header("EDIT PHYSICS"));
        const auto& effects = selected->getPhysics();
        for (size_t i = 0; i < effects.size(); ++i)
            list.push_back(intButton(numbered(i, physics.physicsName(effects[i]->classId())), static_cast<int>(i)));
        list.push_back(MenuEntry());
        list.push_back(header("CREATE PHYSICS"));
        for (const auto& type : physics.getPhysicsTypes())
            list.push_back(button(type.first));
        return;
    }
    if (page.propertiesOpen) {
        footer(list);
        if (page.editedProperty) {
            list.push_back(header("PROPERTY"));
            list.push_back(button("Delete Property"));
            list.push_back(MenuEntry());
            page.editedProperty->getMenuEntries(list, !isLevelMode());
            return;
        }
        list.push_back(header("EDIT PROPERTY"));
        const auto& properties = selected->getProperties();
        for (size_t i = 0; i < properties.size(); ++i)
            list.push_back(
                intButton(numbered(i, physics.propertyName(properties[i]->classId())), static_cast<int>(i)));
        list.push_back(MenuEntry());
        list.push_back(header("CREATE PROPERTY"));
        for (const auto& type : physics.getPropertyTypes())
            list.push_back(button(type.first));
        return;
    }
    if (page.constraintsOpen) {
        // There are no constraint kinds to create yet.
        list.push_back(button("Back"));
        list.push_back(MenuEntry());
        return;
    }

    list.emplace_back(nullptr, selected->getName(), TYPE_STRING, KIND_PICTURE,
                      Value::ofString(selected->getMenuPicture()), true);
    if (editing) {
        list.push_back(intInput("ID", selected->getMenuValue("ID").intValue, false));
        list.push_back(MenuEntry());
        list.push_back(header("ELEMENT OPTIONS"));
        list.push_back(button("Attach Object..."));
        if (selected->classId() != CLASS_OBJECT_ROOM)
            list.push_back(button("Delete Object"));
        list.push_back(button("Physics..."));
        list.push_back(button("Properties..."));
        list.push_back(button("Constraints..."));
    }
    list.push_back(MenuEntry());
    selected->getMenuEntries(list, editing);
}

void Menu::deleteSelected() {
    NSNode::NodeGraphic* victim = selected;
    // The room holds everything else: neither the button nor the Delete key
    // takes it away.
    if (!victim || !scene || victim->classId() == CLASS_OBJECT_ROOM)
        return;
    if (NSLevel::Level* level = currentLevel()) {
        // A goal must not name an object that is gone, nor one of the
        // objects attached to it.
        std::vector<unsigned> ids;
        collectIds(victim, ids);
        auto gone = [&](unsigned id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
        const size_t before = level->getGoals().size();
        for (size_t i = level->getGoals().size(); i-- > 0;) {
            const NSLevel::LevelGoal& goal = level->getGoals()[i];
            if (gone(goal.id1) || gone(goal.id2))
                level->removeGoal(i);
        }
        if (level->getGoals().size() != before)
            popUp("Goals of the deleted object removed");
    }
    clearObjectPages();
    if (victim->getParent()) {
        scene->removeObject(victim);
    } else {
        scene->forgetNode(victim);
        delete victim;
    }
    selected = nullptr;
    setTouched();
}

void Menu::selectById(int id) {
    if (!scene)
        return;
    if (NSNode::NodeTransform* node = scene->findNode(id))
        scene->select(node);
}

bool Menu::objectCommand(const std::string& label, const Value& value) {
    static const CommandEntry kCommands[] = {
        {"Back", &Menu::objectBack},
        {"Attach Object...", &Menu::openObjectSubpage},
        {"Physics...", &Menu::openObjectSubpage},
        {"Properties...", &Menu::openObjectSubpage},
        {"Constraints...", &Menu::openObjectSubpage},
        {"Delete Object", &Menu::deleteObject},
        {"Delete Physics", &Menu::deleteEdited},
        {"Delete Property", &Menu::deleteEdited},
        {"Delete Constraint", &Menu::deleteEdited},
    };
    Outcome outcome = runCommand(std::begin(kCommands), std::end(kCommands), label, value);
    if (outcome != Outcome::NotMine)
        return finishCommand(outcome);
    if (page.attachOpen)
        return finishCommand(attachCommand(label, value));
    if (page.physicsOpen)
        return finishCommand(physicsCommand(label, value));
    if (page.propertiesOpen)
        return finishCommand(propertyCommand(label, value));
    return finishCommand(giveToOwner(*selected, label, value));
}

Menu::Outcome Menu::giveToOwner(MenuConfigureable& owner, const std::string& label, const Value& value) {
    const unsigned lines = owner.menuLinesVersion();
    const bool taken = owner.setMenuValue(label, value);
    if (owner.menuLinesVersion() != lines)
        setTouched();
    return taken ? Outcome::Kept : Outcome::Refused;
}

Menu::Outcome Menu::objectBack(const std::string&, const Value&) {
    if (page.editedPhysics)
        page.editedPhysics = nullptr;
    else if (page.editedProperty)
        page.editedProperty = nullptr;
    else if (page.editedConstraint)
        page.editedConstraint = nullptr;
    else
        clearObjectPages();
    selected->setSelected(true);
    return Outcome::Done;
}

Menu::Outcome Menu::openObjectSubpage(const std::string& label, const Value&) {
    if (label == "Attach Object...") {
        page.attachOpen = true;
    } else if (label == "Physics...") {
        page.physicsOpen = true;
        page.editedPhysics = nullptr;
    } else if (label == "Properties...") {
        page.propertiesOpen = true;
        page.editedProperty = nullptr;
    } else {
        page.constraintsOpen = true;
        page.editedConstraint = nullptr;
    }
    return Outcome::Done;
}

Menu::Outcome Menu::deleteObject(const std::string&, const Value&) {
    if (selected->classId() == CLASS_OBJECT_ROOM)
        return Outcome::Refused;
    deleteSelected();
    return Outcome::Kept;
}

Menu::Outcome Menu::deleteEdited(const std::string& label, const Value&) {
    if (label == "Delete Physics" && page.editedPhysics) {
        selected->removePhysics(page.editedPhysics);
        delete page.editedPhysics;
        page.editedPhysics = nullptr;
    } else if (label == "Delete Property" && page.editedProperty) {
        selected->removeProperty(page.editedProperty);
        delete page.editedProperty;
        page.editedProperty = nullptr;
    } else if (label == "Delete Constraint" && page.editedConstraint) {
        selected->removeConstraint(page.editedConstraint);
        page.editedConstraint = nullptr;
    } else {
        return Outcome::NotMine;
    }
    return Outcome::Done;
}

Menu::Outcome Menu::attachCommand(const std::string& label, const Value& value) {
    if (isCreationName(label)) {
        if (NSNode::NodeGraphic* child = NSObjects::createObject(label))
            selected->addChildLater(child);
    } else if (NSNode::NodeTransform* child = selected->findById(value.intValue)) {
        if (scene && child != selected)
            scene->select(child);
    }
    return Outcome::Done;
}

template <class T, class Create, class Add>
Menu::Outcome Menu::editOrAdd(T*& edited, const std::vector<T*>& items, Create create, Add add,
                              const std::string& label, const Value& value) {
    if (edited)
        return giveToOwner(*edited, label, value);
    if (T* made = create(label)) {
        add(made);
        edited = made;
        return Outcome::Done;
    }
    if (value.intValue < 0 || static_cast<size_t>(value.intValue) >= items.size())
        return Outcome::Refused;
    edited = items[static_cast<size_t>(value.intValue)];
    return Outcome::Done;
}

Menu::Outcome Menu::physicsCommand(const std::string& label, const Value& value) {
    const auto& physics = NSPhysical::PhysicsCatalogue::get();
    return editOrAdd(
        page.editedPhysics, selected->getPhysics(),
        [&physics](const std::string& name) { return physics.createPhysics(name); },
        [this](NSPhysical::Physics* effect) { selected->addPhysics(effect); }, label, value);
}

Menu::Outcome Menu::propertyCommand(const std::string& label, const Value& value) {
    const auto& physics = NSPhysical::PhysicsCatalogue::get();
    return editOrAdd(
        page.editedProperty, selected->getProperties(),
        [&physics](const std::string& name) { return physics.createProperty(name); },
        [this](NSPhysical::PhysicsProperty* property) { selected->addProperty(property); }, label, value);
}

} // namespace NSMenu
