// Undo and redo: the game's state records a step whenever the commands since
// the last one changed the level record or the scene, as the same bytes a
// save writes; a step brought back is read like a load, so nothing can
// change the scene behind the history's back.
#include <cstdio>

#include "level/ControllerLevel.h"
#include "level/GameState.h"
#include "persistence/SerialStream.h"
#include "scene/Scene.h"
#include "objects/NodeGraphic.h"
#include "shell/Log.h"

namespace NSLevel {

using NSSerialize::SerialStream;

bool GameState::captureEdits(EditState& state, std::string* refused) const {
    NSScene::Scene* s = scene();
    if (!s)
        return false;
    // Objects made by the last command join the scene first.
    s->getRoot()->applyPendingChanges();
    if (Level* level = currentLevel()) {
        SerialStream out(SerialStream::InMemory{}, true);
        level->writeLaidOut(out);
        if (!out.close()) {
            if (refused)
                *refused = out.failureReason();
            return false;
        }
        state.level = out.memoryBytes();
    }
    // Where the player looks from is no edit.
    NSScene::Camera kept;
    kept.copyPose(s->getCamera());
    s->getCamera().copyPose(NSScene::Camera());
    SerialStream out(SerialStream::InMemory{}, true);
    NSScene::SceneFiles::write(*s, out);
    s->getCamera().copyPose(kept);
    if (!out.close()) {
        if (refused)
            *refused = out.failureReason();
        return false;
    }
    state.scene = out.memoryBytes();
    state.selected = s->getSelected() ? s->getSelected()->getId() : -1;
    return true;
}

void GameState::commitEdits() {
    EditState state;
    std::string refused;
    if (machine() != Machine::Stopped)
        return;
    if (!captureEdits(state, &refused)) {
        // A value the files cannot hold (the writer refuses it) is not
        // taken: the scene goes back to the last step, so saves, the
        // autosave and the next undo step stay whole.
        if (refused.empty() || !history_.isStarted())
            return;
        log(LOG_ERROR, "Edit refused: %s\n", refused.c_str());
        const int selected = history_.current().selected;
        if (bringBack(history_.current(), EditState{"-", "-", -1}))
            scene()->select(selected >= 0 ? scene()->findNode(selected) : nullptr);
        popUp(filled("Not taken: %s", refused));
        return;
    }
    if (history_.record(state)) {
        log(LOG_GAME, "Undo: step %zu recorded (%s)\n", history_.undoCount(), describe(state.selected).c_str());
        keepEdits();
        // The last run's trace shows what the layout before this edit did.
        scene()->machine().trace().clear();
    }
}

void GameState::forgetHistory() {
    history_.clear();
    EditState state;
    if (captureEdits(state))
        history_.record(state);
}

bool GameState::undo() { return walk(false); }

bool GameState::redo() { return walk(true); }

bool GameState::walk(bool forth) {
    NSScene::Scene* s = scene();
    if (!s || machine() != Machine::Stopped)
        return false;
    commitEdits();
    const EditState from = history_.current();
    EditState to;
    int orSelect = -1;
    if (!(forth ? history_.redo(to, orSelect) : history_.undo(to, orSelect))) {
        popUp(forth ? "Nothing to redo" : "Nothing to undo");
        return false;
    }
    const char* what = forth ? "Redo" : "Undo";
    if (!bringBack(to, from)) {
        log(LOG_ERROR, "%s: the step could not be read back; the history starts anew\n", what);
        forgetHistory();
        return false;
    }
    NSNode::NodeTransform* touched = to.selected >= 0 ? s->findNode(to.selected) : nullptr;
    if (!touched && orSelect >= 0)
        touched = s->findNode(orSelect);
    s->select(touched);
    history_.noteSelection(s->getSelected() ? s->getSelected()->getId() : -1);
    keepEdits();
    log(LOG_GAME, "%s: %zu steps to undo, %zu to redo; %s; %s\n", what, history_.undoCount(), history_.redoCount(),
        describe(to.selected).c_str(), describe(orSelect).c_str());
    return true;
}

bool GameState::bringBack(const EditState& to, const EditState& from) {
    NSScene::Scene* s = scene();
    Level* level = currentLevel();
    if (level && to.level != from.level) {
        SerialStream in(SerialStream::InMemory{}, false, to.level);
        level->serialize(in);
        if (in.failed())
            return false;
    }
    if (to.scene == from.scene)
        return true;
    NSScene::Camera kept;
    kept.copyPose(s->getCamera());
    SerialStream in(SerialStream::InMemory{}, false, to.scene);
    const bool read = NSScene::SceneFiles::read(*s, in);
    s->getCamera().copyPose(kept);
    return read;
}

std::string GameState::describe(int id) const {
    NSScene::Scene* s = scene();
    if (id < 0 || !s)
        return "no object";
    char text[128];
    if (const NSNode::NodeTransform* node = s->findNode(id)) {
        const Vector3 p = node->getPosition();
        std::snprintf(text, sizeof text, "object %d at (%.2f, %.2f, %.2f)", id, double(p.x), double(p.y),
                      double(p.z));
    } else {
        std::snprintf(text, sizeof text, "object %d is not in the scene", id);
    }
    return text;
}

} // namespace NSLevel
