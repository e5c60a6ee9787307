#include "level/ControllerLevel.h"
#include "level/Level.h"
#include "scene/PlaceholderScene.h"
#include "scene/Scene.h"
#include "scenegraph/NodeGraphic.h"

namespace NSLevel {

namespace {

// A small room to try things in, until the real levels take its place: the
// ball has to touch the robot.
class LevelTestRoom : public Level {
public:
    LevelTestRoom()
        : Level("Test room", "A room to try things in.\nSelect an object with a click, then\nmove it with "
                             "the menu.\n\nPress PLAY to start.") {}

    void build() override {
        NSScene::Scene* s = scene();
        if (!s)
            return;
        NSScene::buildPlaceholderScene(*s);
        s->getRoot()->applyPendingChanges();
        NSNode::NodeGraphic* ball = find("Basketball");
        NSNode::NodeGraphic* robot = find("Johnny");
        if (ball && robot)
            registerWinConditonHit(static_cast<unsigned>(ball->getId()), static_cast<unsigned>(robot->getId()));
    }

private:
    NSNode::NodeGraphic* find(const std::string& objectName) const {
        for (NSNode::NodeTransform* child : scene()->getRoot()->getChildren())
            if (auto* g = dynamic_cast<NSNode::NodeGraphic*>(child))
                if (g->getName() == objectName)
                    return g;
        return nullptr;
    }
};

} // namespace

std::vector<Level*> makeBuiltInLevels() { return {new LevelTestRoom()}; }

} // namespace NSLevel
