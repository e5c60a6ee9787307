#include "level/Level.h"

#include <algorithm>

#include "persistence/ClassIds.h"
#include "persistence/RecordIO.h"
#include "persistence/SerialStream.h"
#include "scene/Scene.h"
#include "scenegraph/ControllerNode.h"
#include "shell/Log.h"
#include "shell/Host.h"
#include "shell/SafeFile.h"

namespace NSLevel {

namespace {

bool endsWith(const std::string& s, const char* tail, size_t minimumLength) {
    std::string t(tail);
    return s.size() >= minimumLength && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// A goal on file: two ids and three flags in a block of its own.
constexpr int kGoalBytes = 1 + 4 + 4 + 4 + 3;
// The block after the scene that names who saved the file.
constexpr const char* kOwnerTag = "[QBN-OWNER]";

} // namespace

std::string levelFilePath(const std::string& name) {
    if (endsWith(name, ".lvl", 5))
        return "levels/" + name;
    return "levels/" + name + ".lvl";
}

namespace {

// Reads a part's head, block length and version; the complaint when the
// version is not the one this game writes.
std::string versionProblem(NSSerialize::SerialStream& stream, const char* part, std::string* foreign) {
    stream.readString(); // the head
    if (stream.readBlockEnd() < 0)
        return std::string();
    const std::string version = stream.readString();
    if (stream.failed() || version == NSSerialize::SerialStream::kCurrentVersion)
        return std::string();
    if (foreign)
        *foreign = version;
    return std::string(part) + " has version \"" + version + "\"";
}

} // namespace

std::string formatProblem(const std::string& path, bool levelFile, std::string* version) {
    NSSerialize::SerialStream stream(path, false);
    if (stream.failed())
        return std::string();
    if (!levelFile)
        return versionProblem(stream, "scene", version);
    std::string problem = versionProblem(stream, "level part", version);
    if (!problem.empty())
        return problem;
    NSSerialize::SerialStream again(path, false);
    again.readString();
    again.skipBlock();
    return again.failed() ? std::string() : versionProblem(again, "scene part", version);
}

bool isSafeFileName(const std::string& name) {
    if (name.empty() || name == "." || name.find("..") != std::string::npos)
        return false;
    for (unsigned char c : name)
        if (c < 32 || c == 127 || c == '/' || c == '\\')
            return false;
    return true;
}

NSScene::Scene* Level::scene() { return NSScene::Scene::of(NSNode::ControllerNode::inUse()); }

void Level::addToScene(NSNode::NodeTransform* object) {
    if (NSScene::Scene* s = scene())
        s->addObject(object);
    else
        delete object;
}

Level::Level() : name("[levelName]"), infoText("[infoText]") {}

Level::Level(const std::string& name, const std::string& infoText) : name(name), infoText(infoText) {}

int Level::classId() const { return CLASS_LEVEL; }

void Level::serialize(NSSerialize::SerialStream& stream) {
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(name);
    stream.transfer(infoText);
    if (stream.isWriting()) {
        stream.writeString("[wchL]");
        stream.beginBlock();
        stream.writeInt(static_cast<int>(goals.size()));
        for (const LevelGoal& goal : goals) {
            NSSerialize::writeBlock(stream, "[wchO]", [&goal](NSSerialize::SerialStream& s) {
                s.writeInt(static_cast<int>(goal.id1));
                s.writeInt(static_cast<int>(goal.id2));
                s.writeBool(goal.registered1);
                s.writeBool(goal.registered2);
                s.writeBool(goal.reached);
            });
        }
        stream.endBlock();
        return;
    }
    goals.clear();
    won = false;
    stream.readString(); // "[wchL]"
    long end = stream.readBlockEnd();
    if (end < 0)
        return;
    int count = stream.readCount(kGoalBytes);
    for (int i = 0; i < count && !stream.failed() && !stream.ended(); ++i) {
        LevelGoal goal;
        bool read = NSSerialize::readBlock(stream, [&goal](NSSerialize::SerialStream& s) {
            goal.id1 = static_cast<unsigned>(s.readInt());
            goal.id2 = static_cast<unsigned>(s.readInt());
            goal.registered1 = s.readBool();
            goal.registered2 = s.readBool();
            goal.reached = s.readBool();
        });
        if (read)
            goals.push_back(goal);
    }
    stream.leaveBlock(end);
}

void Level::writeLaidOut(NSSerialize::SerialStream& stream) {
    const std::vector<LevelGoal> kept = goals;
    for (LevelGoal& goal : goals)
        goal.reached = false;
    serialize(stream);
    goals = kept;
}

void Level::update() { checkGoals(); }

void Level::resetGoals() {
    for (LevelGoal& goal : goals)
        goal.reached = false;
    won = false;
}

void Level::unload() {
    goals.clear();
    won = false;
    if (NSScene::Scene* s = scene())
        s->clearScene();
}

bool Level::registerWinConditonHit(unsigned id1, unsigned id2) {
    NSScene::Scene* s = scene();
    if (!s)
        return false;
    NSNode::NodeTransform* a = s->findNode(static_cast<int>(id1));
    NSNode::NodeTransform* b = s->findNode(static_cast<int>(id2));
    if (!a || !b)
        return false;
    LevelGoal goal;
    goal.id1 = id1;
    goal.id2 = id2;
    goal.registered1 = a->isRegistered();
    goal.registered2 = b->isRegistered();
    goals.push_back(goal);
    log(LOG_GAME, "registerWinConditonHit %2d <-> %2d\n", static_cast<int>(id1), static_cast<int>(id2));
    return true;
}

void Level::removeGoal(size_t index) {
    if (index < goals.size())
        goals.erase(goals.begin() + static_cast<long>(index));
}

bool Level::removeGoal(unsigned id1, unsigned id2) {
    const size_t before = goals.size();
    goals.erase(std::remove_if(goals.begin(), goals.end(),
                               [&](const LevelGoal& g) {
                                   return (g.id1 == id1 && g.id2 == id2) || (g.id1 == id2 && g.id2 == id1);
                               }),
                goals.end());
    return goals.size() != before;
}

size_t Level::goalsReached() const {
    return static_cast<size_t>(
        std::count_if(goals.begin(), goals.end(), [](const LevelGoal& g) { return g.reached; }));
}

void Level::checkGoals() {
    NSScene::Scene* s = scene();
    bool allReached = true;
    for (LevelGoal& goal : goals) {
        if (!allReached)
            break;
        if (goal.reached)
            continue;
        allReached = false;
        if (goal.registered1 && goal.registered2) {
            for (const auto& pair : s->world().hits()) {
                int a = static_cast<int>(goal.id1), b = static_cast<int>(goal.id2);
                if ((pair.first == a && pair.second == b) || (pair.first == b && pair.second == a)) {
                    goal.reached = true;
                    allReached = true;
                    break;
                }
            }
        } else if (s) {
            NSNode::NodeTransform* a = s->findNode(static_cast<int>(goal.id1));
            NSNode::NodeTransform* b = s->findNode(static_cast<int>(goal.id2));
            if (a && b)
                allReached = a->hitTest(b, Vector3()).hit;
        }
        if (allReached && s)
            s->machine().noteGoalTouch(*s->getRoot(), static_cast<int>(goal.id1), static_cast<int>(goal.id2));
    }
    if (!goals.empty())
        won = allReached;
}

bool Level::save(const std::string& fileName, const std::string& sceneSource, const std::string& owner) {
    NSScene::Scene* s = scene();
    lastSaveProblem.clear();
    if (!isSafeFileName(fileName)) {
        log(LOG_ERROR, "Level name not allowed: \"%s\"\n", fileName.c_str());
        lastSaveProblem = "name not allowed";
        return false;
    }
    if (!s || !NSScene::ensureLevelsFolder()) {
        lastSaveProblem = "no folder levels/";
        return false;
    }
    NSSerialize::SerialStream stream(levelFilePath(fileName), true);
    std::string sceneBytes, problem;
    if (!sceneSource.empty() && NSFile::readFile(sceneSource, sceneBytes, NSSerialize::SerialStream::kMaxFileSize,
                                                 &problem) != NSFile::Read::Whole)
        stream.fail(("the layout to save, \"" + sceneSource + "\", " + problem).c_str());
    stream.writeString("[QBN-LEVEL]");
    stream.beginBlock();
    stream.writeString(stream.version());
    // A run's reached goals are not part of the level.
    if (sceneSource.empty())
        serialize(stream);
    else
        writeLaidOut(stream);
    stream.endBlock();
    if (sceneSource.empty())
        NSScene::SceneFiles::write(*s, stream);
    else
        stream.writeRaw(sceneBytes);
    if (!owner.empty()) {
        stream.writeString(kOwnerTag);
        stream.beginBlock();
        stream.writeString(owner);
        stream.endBlock();
    }
    const bool saved = stream.close();
    if (!saved)
        lastSaveProblem = stream.failureReason();
    return saved;
}

std::string fileOwner(const std::string& path) {
    // Past the level part and the scene part, the owner's own block.
    NSSerialize::SerialStream in(path, false);
    in.readString();
    in.skipBlock();
    in.readString();
    in.skipBlock();
    if (in.failed() || in.remaining() == 0 || in.readString() != kOwnerTag || in.readBlockEnd() < 0)
        return std::string();
    const std::string owner = in.readString();
    return in.failed() ? std::string() : owner;
}

int Level::dropGoalsWithoutObjects() {
    NSScene::Scene* s = scene();
    if (!s)
        return 0;
    const size_t before = goals.size();
    goals.erase(std::remove_if(goals.begin(), goals.end(),
                               [s](const LevelGoal& g) {
                                   return g.id1 == g.id2 || !s->findNode(static_cast<int>(g.id1)) ||
                                          !s->findNode(static_cast<int>(g.id2));
                               }),
                goals.end());
    const int dropped = static_cast<int>(before - goals.size());
    if (dropped > 0)
        log(LOG_ERROR, "Level \"%s\": %d goals named objects that are not in the scene and were dropped\n",
            name.c_str(), dropped);
    return dropped;
}

void Level::resetRecord() {
    goals.clear();
    won = false;
    name = "[levelName]";
    infoText = "[infoText]";
}

bool Level::load(const std::string& fileName, int* skipped) {
    if (!isSafeFileName(fileName)) {
        log(LOG_ERROR, "Level name not allowed: \"%s\"\n", fileName.c_str());
        return false;
    }
    return loadFile(levelFilePath(fileName), fileName, skipped);
}

bool Level::loadFile(const std::string& path, const std::string& shownName, int* skipped) {
    NSScene::Scene* s = scene();
    if (!s)
        return false;
    NSSerialize::SerialStream stream(path, false);
    if (stream.failed())
        return false;
    // Read the level part into a copy first: a damaged file changes nothing.
    stream.readString(); // "[QBN-LEVEL]"
    long end = stream.readBlockEnd();
    if (end < 0)
        return false;
    stream.setVersion(stream.readString());
    if (!stream.isCurrentVersion()) {
        log(LOG_ERROR, "Level: \"%s\" has the format version \"%s\" and is not read\n", stream.fileName().c_str(),
            stream.version().c_str());
        return false;
    }
    std::vector<LevelGoal> oldGoals = goals;
    std::string oldName = name, oldInfo = infoText;
    bool oldWon = won;
    serialize(stream);
    stream.leaveBlock(end);
    if (stream.failed() || !NSScene::SceneFiles::read(*s, stream)) {
        goals = oldGoals;
        name = oldName;
        infoText = oldInfo;
        won = oldWon;
        return false;
    }
    // Goals follow objects whose ids the file held out of range.
    for (LevelGoal& goal : goals) {
        goal.id1 = static_cast<unsigned>(stream.currentId(static_cast<int>(goal.id1)));
        goal.id2 = static_cast<unsigned>(stream.currentId(static_cast<int>(goal.id2)));
    }
    if (skipped)
        *skipped = stream.skippedCount();
    log(LOG_GAME, "Level \"%s\" loaded from \"%s\" with %d goals\n", name.c_str(),
        (shownName.empty() ? path : shownName).c_str(),
        static_cast<int>(goals.size()));
    return true;
}

} // namespace NSLevel
