#include "level/ControllerLevel.h"
#include "level/Level.h"
#include "objects/ObjectModels.h"
#include "objects/ObjectTeslaSpule.h"
#include "scene/Scene.h"

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
        auto* board = place(new NSObjects::ObjectBrett3(true), Vector3(0.0f, 0.0f, 0.0f));
        auto* ball = place(new NSObjects::ObjectBasketball(true), Vector3(-4.0f, 11.5f, 16.0f));
        place(new NSObjects::ObjectTeslaSpule(true), Vector3(15.0f, 0.0f, -12.0f));
        auto* robot = place(new NSObjects::ObjectJohnny5(true), Vector3(-16.0f, 0.0f, -15.0f));
        board->setSelectable(true);
        ball->setSelectable(true);
        ball->setEditPosition(true, false, true);
        robot->setSelectable(true);
        s->getRoot()->applyPendingChanges();
        registerWinConditonHit(static_cast<unsigned>(ball->getId()), static_cast<unsigned>(robot->getId()));

        NSScene::Camera& camera = s->getCamera();
        camera.setPosition(Vector3(-40.0f, 75.0f, 140.0f));
        camera.setTarget(Vector3(0.0f, 18.0f, 0.0f));
        camera.update(0.0f);
        camera.storeDefault();
        s->setDefaultLight(true);
    }

private:
    template <class T>
    T* place(T* object, const Vector3& position) {
        object->setPosition(position);
        scene()->addObject(object);
        return object;
    }
};

} // namespace

std::vector<Level*> makeBuiltInLevels() { return {new LevelTestRoom()}; }

} // namespace NSLevel
