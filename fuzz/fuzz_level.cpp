// Fuzz target for the level file reader: the input is a level file in
// "levels/", loaded into a level over a fresh view. A file that cannot be
// read must change nothing; one that can must save again and load back
// with the same name, text and goals, and its scene is played for a few
// frames and drawn once (FuzzScene.h).

#include <memory>

#include "FuzzScene.h"
#include "FuzzSupport.h"
#include "level/Level.h"
#include "scene/Scene.h"

namespace {

class FuzzLevel : public NSLevel::Level {
public:
    void build() override {}
};

bool sameGoals(const NSLevel::Level& a, const NSLevel::Level& b) {
    if (a.getGoals().size() != b.getGoals().size())
        return false;
    for (size_t i = 0; i < a.getGoals().size(); ++i) {
        const NSLevel::LevelGoal& x = a.getGoals()[i];
        const NSLevel::LevelGoal& y = b.getGoals()[i];
        if (x.id1 != y.id1 || x.id2 != y.id2 || x.registered1 != y.registered1 ||
            x.registered2 != y.registered2 || x.reached != y.reached)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qbnfuzz::enterScratchFolder(argc, argv, QBN_FUZZ_MODELS);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using qbnfuzz::check;
    qbnfuzz::writeInput("levels/input.lvl", data, size);
    auto scene = std::make_unique<NSScene::Scene>();
    auto sceneWorld = std::make_unique<NSNode::ControllerNode::Use>(scene->world());
    FuzzLevel level;
    NSNode::NodeTransform* before = scene->getRoot();
    if (!level.load("input")) {
        check(scene->getRoot() == before && level.getGoals().empty() && level.getName() == "[levelName]" &&
                  level.getInfoText() == "[infoText]",
              "a failed load changed the level or the scene");
    } else {
        check(level.save("copy"), "a level that was loaded cannot be saved");
        FuzzLevel copy;
        check(copy.load("copy"), "a saved level cannot be loaded back");
        check(copy.getName() == level.getName() && copy.getInfoText() == level.getInfoText() &&
                  sameGoals(copy, level),
              "a saved level loads back different");
        qbnfuzz::playAndDraw(*scene);
    }
    return 0;
}
