#pragma once
// The scene's files (levels/<name>.lvs): writing and reading the scene
// record (the node tree and the camera). A save never harms the previous
// copy unless it succeeds; a file that cannot be read leaves the scene as
// it was.
#include <functional>
#include <string>

namespace NSSerialize {
class SerialStream;
}

namespace NSScene {

class Scene;

// "levels/" + name + ".lvs", or "levels/" + name when the name (longer than
// four characters) already ends in ".lvs". A backslash in the name is taken
// for a folder separator.
std::string sceneFilePath(const std::string& name);
// Creates the "levels" folder when it is missing; false (logged) when it
// cannot be made.
bool ensureLevelsFolder();

class SceneFiles {
public:
    // For a level that is active: the path of its level file for a scene
    // name, or "" when no level is active. Loading a scene that cannot be
    // read then tries the scene part of that level file.
    using LevelFileLookup = std::function<std::string(const std::string& name)>;
    static void setLevelFileLookup(LevelFileLookup lookup);

    static bool save(Scene& scene, const std::string& name);
    static bool load(Scene& scene, const std::string& name);
    static bool write(Scene& scene, NSSerialize::SerialStream& stream);
    // Builds a new root and camera from the record and gives them to the
    // scene only when the whole record was read; otherwise the scene stays
    // as it was.
    static bool read(Scene& scene, NSSerialize::SerialStream& stream);

private:
    static bool readFile(Scene& scene, const std::string& path, bool levelFile);
};

} // namespace NSScene
