#pragma once
// A level builds a scene, names the pairs of objects that must touch (its
// goals) and is won when all goals are reached while the machine runs. Levels
// are saved as level files: the level record followed by the whole scene.
#include <string>
#include <vector>

#include "persistence/Serializeable.h"

namespace NSNode {
class NodeTransform;
}

namespace NSScene {
class Scene;
}

namespace NSLevel {

// "levels/" + name + ".lvl", or "levels/" + name when the name (of at least
// five characters) already ends in ".lvl".
std::string levelFilePath(const std::string& name);

// Whether a name typed by the player may become a level or scene file name:
// not empty, no folder separators, no "..", no control characters, so that
// the file stays inside "levels/".
bool isSafeFileName(const std::string& name);

// Why the level or scene part of the file at path cannot be read by this
// game (a format version it does not write, as in 'scene part has version
// "2.0"'), or "" when the versions are right or the file cannot be opened;
// version (if given) receives the version alone.
std::string formatProblem(const std::string& path, bool levelFile, std::string* version = nullptr);

// Who made the level file at path, as its save noted after the scene (a
// quick save: "level <n>" or "editor"); "" when the file does not say.
std::string fileOwner(const std::string& path);

struct LevelGoal {
    unsigned id1 = 0;
    unsigned id2 = 0;
    // Whether each object was hit-testable when the goal was made: goals of
    // two hit-testable objects count once they touched; others only while
    // the two overlap.
    bool registered1 = false;
    bool registered2 = false;
    bool reached = false;
};

class Level : public NSSerialize::Serializeable {
public:
    Level();
    Level(const std::string& name, const std::string& infoText);

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    // The record as a save writes it: the goals as not reached.
    void writeLaidOut(NSSerialize::SerialStream& stream);

    virtual void update();
    virtual void resetGoals();
    // Creates the level's objects in the scene.
    virtual void build() = 0;
    // Empties the goal list and the scene.
    virtual void unload();
    virtual void checkGoals();

    // Adds the goal that the objects with these ids touch; false (nothing
    // added) when either is not in the scene.
    bool registerWinConditonHit(unsigned id1, unsigned id2);
    void removeGoal(size_t index);
    // Removes every goal of this pair, in either order; false if there was none.
    bool removeGoal(unsigned id1, unsigned id2);
    const std::vector<LevelGoal>& getGoals() const { return goals; }
    bool isWon() const { return won; }
    // How many goals have been reached in this run.
    size_t goalsReached() const;

    const std::string& getName() const { return name; }
    void setName(const std::string& s) { name = s; }
    const std::string& getInfoText() const { return infoText; }
    void setInfoText(const std::string& s) { infoText = s; }

    // The level file: this record, then the scene. False when the name is not
    // allowed or the file could not be written or read; a failed save keeps
    // the old file, a failed load changes nothing.
    // With a sceneSource (a scene file's path) its scene record is written
    // in place of the scene as it is, and the goals as not reached: a save
    // during a run keeps the layout from before it. An owner is noted
    // after the scene (see fileOwner). saveProblem() tells why a save failed.
    bool save(const std::string& fileName, const std::string& sceneSource = std::string(),
              const std::string& owner = std::string());
    const std::string& saveProblem() const { return lastSaveProblem; }
    // skipped (optional) receives the number of objects the file holds that
    // could not be made.
    bool load(const std::string& fileName, int* skipped = nullptr);
    // Drops the goals that name an object the scene does not hold; returns
    // how many went.
    int dropGoalsWithoutObjects();
    // Back to the name and text of a new level, without goals.
    void resetRecord();
    // The same for a level file at any path (the level simulator's input);
    // the log names it shownName, or the path when that is empty.
    bool loadFile(const std::string& path, const std::string& shownName = "", int* skipped = nullptr);

    // The scene the levels build into and check: the scene whose world is
    // in use (the window's, the simulator's, a test's), or null. Two
    // levels run side by side each with its scene's world in use.
    static NSScene::Scene* scene();

protected:
    // Puts object into the level's scene with the next pending changes.
    template <class T>
    T* add(T* object) {
        addToScene(object);
        return object;
    }
    void addToScene(NSNode::NodeTransform* object);

    std::vector<LevelGoal> goals;
    bool won = false;
    std::string name;
    std::string infoText;
    std::string lastSaveProblem;
};

} // namespace NSLevel
