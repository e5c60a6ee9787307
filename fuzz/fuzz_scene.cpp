// Fuzz target for the scene file reader: the input is a scene file in
// "levels/" (or a level file, whose scene part is read when the whole is not
// a scene), read into a fresh view the way loading a scene does. A file
// that cannot be read must leave the view as it was; one that can must save
// again, and reading that copy must give the very same file once more.
// A scene that was read is then played for a few frames and drawn once
// (FuzzScene.h). The objects find the game's models without their skins, so
// no texture is ever made.

#include <memory>

#include "FuzzScene.h"
#include "FuzzSupport.h"
#include "scene/Scene.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qbnfuzz::enterScratchFolder(argc, argv, QBN_FUZZ_MODELS);
    // As while a level is active: a scene that cannot be read is looked for
    // in the level file of its name, here the input once more.
    NSScene::SceneFiles::setLevelFileLookup(
        [](const std::string& name) { return name == "input" ? std::string("levels/input.lvs") : std::string(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using qbnfuzz::check;
    qbnfuzz::writeInput("levels/input.lvs", data, size);
    auto scene = std::make_unique<NSScene::Scene>();
    NSNode::NodeTransform* before = scene->getRoot();
    if (!scene->loadScene("input")) {
        check(scene->getRoot() == before, "a failed read replaced the scene");
        return 0;
    }
    check(scene->saveScene("first"), "a scene that was read cannot be saved");
    auto again = std::make_unique<NSScene::Scene>();
    check(again->loadScene("first"), "a saved scene cannot be read back");
    check(again->saveScene("second"), "a scene read back cannot be saved");
    check(qbnfuzz::readBytes("levels/first.lvs") == qbnfuzz::readBytes("levels/second.lvs"),
          "a saved scene changes when it is read and saved again");
    qbnfuzz::playAndDraw(*scene);
    return 0;
}
