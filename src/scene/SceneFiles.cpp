// The scene's files: where they live, and writing and reading the scene
// record (the node tree and the camera) atomically and all or nothing.
#include "scene/SceneFiles.h"

#include <filesystem>
#include <system_error>

#include "persistence/RecordIO.h"
#include "persistence/SerialStream.h"
#include "resources/ResourcePath.h"
#include "scene/Scene.h"
#include "scenegraph/ControllerNode.h"
#include "shell/Log.h"

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSNode::NodeTransform;
using NSSerialize::SerialStream;

namespace NSScene {

namespace {

SceneFiles::LevelFileLookup levelFileLookup;

constexpr const char* kLevelsFolder = "levels";

bool ensureFolder(const std::filesystem::path& folder) {
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error))
        return true;
    if (std::filesystem::create_directories(folder, error) || std::filesystem::is_directory(folder, error))
        return true;
    log(LOG_ERROR, "Scene: cannot create the folder \"%s\" (%s)\n", folder.string().c_str(), error.message().c_str());
    return false;
}

} // namespace

std::string sceneFilePath(const std::string& name) {
    const std::string local = NSLoader::localPath(name);
    const std::string folder = std::string(kLevelsFolder) + "/";
    if (local.size() > 4 && local.compare(local.size() - 4, 4, ".lvs") == 0)
        return folder + local;
    return folder + local + ".lvs";
}

bool ensureLevelsFolder() { return ensureFolder(kLevelsFolder); }

void SceneFiles::setLevelFileLookup(LevelFileLookup lookup) { levelFileLookup = std::move(lookup); }

bool SceneFiles::save(Scene& scene, const std::string& name) {
    const std::string path = sceneFilePath(name);
    // Without its folder the stream fails and says so.
    ensureFolder(std::filesystem::path(path).parent_path());
    SerialStream stream(path, true);
    if (!stream.failed())
        write(scene, stream);
    return stream.close();
}

bool SceneFiles::load(Scene& scene, const std::string& name) {
    if (readFile(scene, sceneFilePath(name), false))
        return true;
    if (!levelFileLookup)
        return false;
    const std::string levelPath = levelFileLookup(name);
    return !levelPath.empty() && readFile(scene, levelPath, true);
}

bool SceneFiles::readFile(Scene& scene, const std::string& path, bool levelFile) {
    SerialStream stream(path, false);
    if (stream.failed())
        return false;
    if (levelFile) {
        stream.readString(); // the level file's head
        stream.skipBlock();  // the level record
    }
    if (!read(scene, stream))
        return false;
    scene.machine().endedByLoad();
    return true;
}

bool SceneFiles::write(Scene& scene, SerialStream& stream) {
    if (!stream.isWriting())
        return false;
    stream.writeString("[QBN-SCENE]");
    stream.beginBlock();
    stream.writeString(stream.version());
    // The root: a children list of exactly one element, without a count.
    stream.writeString("[nodT]");
    stream.beginBlock();
    NSSerialize::writeElement(stream, "[nodO]", *scene.getRoot());
    stream.endBlock();
    scene.getCamera().serialize(stream);
    stream.endBlock();
    return !stream.failed();
}

bool SceneFiles::read(Scene& scene, SerialStream& stream) {
    // The nodes read join the scene's world.
    NSNode::ControllerNode::Use use(scene.world());
    if (!stream.isReading() || stream.failed())
        return false;
    stream.readString(); // the head
    const long sceneEnd = stream.readBlockEnd();
    if (sceneEnd < 0)
        return false;
    stream.setVersion(stream.readString());
    if (!stream.isCurrentVersion()) {
        log(LOG_ERROR, "Scene: \"%s\" has the format version \"%s\" and is not read\n", stream.fileName().c_str(),
            stream.version().c_str());
        return false;
    }
    NodeTransform* newRoot = nullptr;
    stream.readString(); // the tree head
    const long treeEnd = stream.readBlockEnd();
    if (treeEnd >= 0) {
        newRoot = NSSerialize::readElement<NodeTransform>(stream);
        stream.leaveBlock(treeEnd);
    }
    Camera newCamera;
    const bool cameraRead = newCamera.serialize(stream);
    stream.leaveBlock(sceneEnd);
    if (!newRoot || !cameraRead || stream.failed() || stream.ended()) {
        delete newRoot;
        log(LOG_ERROR, "Scene: \"%s\" is damaged; the scene stays as it was\n", stream.fileName().c_str());
        return false;
    }
    // Ids out of range or held twice would break goals and new objects.
    scene.world().settleIds(newRoot, stream.renumberedIds());
    scene.adopt(newRoot, newCamera);
    return true;
}

} // namespace NSScene
