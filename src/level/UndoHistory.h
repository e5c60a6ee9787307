#pragma once
// The steps undo and redo walk: states of the level's record (name, text,
// goals) and of its scene, each as its saved bytes. The history keeps the
// newest state whole and, for every step, the few edits that turn it into
// the state before and back again; a step that moves one object of a
// level of hundreds costs some dozens of bytes.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace NSLevel {

// What a step is taken between: the level record and the scene as they
// would be saved (the camera left out), and the selected object's id (-1
// for none) as the step began or ended.
struct EditState {
    std::string level;
    std::string scene;
    int selected = -1;
};

class UndoHistory {
public:
    // The newest steps kept: never fewer than kMinSteps, and beyond that
    // no more than kMaxSteps or kMaxBytes.
    static constexpr size_t kMinSteps = 100;
    static constexpr size_t kMaxSteps = 200;
    static constexpr size_t kMaxBytes = size_t(16) << 20;

    // Forgets every step and the newest state; the next record() starts anew.
    void clear();
    bool isStarted() const { return started_; }
    // Takes state as the newest. When its level or scene bytes differ from
    // the newest before, that change becomes a step (true); redo steps go.
    bool record(const EditState& state);
    // One step back (undo) or forth (redo): false when there is none. to
    // receives the state to bring back, its selected the id of the object
    // the step touched as it was then; orSelect the step's other one.
    bool undo(EditState& to, int& orSelect);
    bool redo(EditState& to, int& orSelect);
    // The object selected once a step has been brought back.
    void noteSelection(int id) { current_.selected = id; }

    size_t undoCount() const { return undo_.size(); }
    size_t redoCount() const { return redo_.size(); }
    const EditState& current() const { return current_; }
    // The bytes the history holds: the newest state and every step's edits.
    size_t bytes() const;

private:
    // Replaces erase bytes at the position at with insert.
    struct Edit {
        size_t at;
        size_t erase;
        std::string insert;
    };
    using Patch = std::vector<Edit>;
    struct Step {
        Patch backLevel, backScene, forthLevel, forthScene;
        int selectedBefore = -1;
        int selectedAfter = -1;
        size_t bytes = 0;
    };

    static Patch diff(const std::string& from, const std::string& to);
    static std::string apply(const Patch& patch, const std::string& base);
    static size_t patchBytes(const Patch& patch);
    void trim();
    // Takes the newest step of from back (undo) or forth (redo) and files it
    // in onto.
    bool walk(std::deque<Step>& from, std::deque<Step>& onto, bool back, EditState& to, int& orSelect);

    bool started_ = false;
    EditState current_;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
    size_t stepBytes_ = 0;
};

} // namespace NSLevel
