#include "scene/PlaceholderScene.h"

#include "scene/Scene.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/NodeGraphic.h"

namespace NSScene {

namespace {

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;

NodeGraphic* makeObject(const char* name, const char* modelFile, const Vector3& position, BoundingVolume* volume) {
    auto* node = new NodeGraphic(true);
    node->setName(name);
    node->setModel(NodeGraphic::MODEL_MD2, modelFile, "");
    node->setPosition(position);
    node->setBoundingVolume(volume);
    node->setSelectable(true);
    node->setEditPosition(true, true, true);
    node->registerForHits();
    return node;
}

} // namespace

void buildPlaceholderScene(Scene& scene) {
    // A large board as the floor, the other objects standing on it.
    scene.addObject(makeObject("Brett", "brett3.md2", Vector3(0.0f, 0.0f, 0.0f),
                               BoundingVolume::makeBoxVolume(Vector3(0.0f, -1.5f, 0.0f), Vector3(60.0f, 3.0f, 60.0f))));
    scene.addObject(makeObject("Basketball", "basketball.md2", Vector3(-4.0f, 11.5f, 16.0f),
                               BoundingVolume::makeSphereVolume(Vector3(), 11.5f)));
    scene.addObject(makeObject("Tesla-Spule", "teslaspule.md2", Vector3(15.0f, 0.0f, -12.0f),
                               BoundingVolume::makeBoxVolume(Vector3(0.0f, 33.0f, 0.0f), Vector3(30.0f, 68.0f, 30.0f))));
    scene.addObject(makeObject("Johnny", "Johnny5.md2", Vector3(-16.0f, 0.0f, -15.0f),
                               BoundingVolume::makeBoxVolume(Vector3(0.0f, 20.0f, 0.0f), Vector3(24.0f, 40.0f, 24.0f))));

    Camera& camera = scene.getCamera();
    camera.setPosition(Vector3(-40.0f, 75.0f, 140.0f));
    camera.setTarget(Vector3(0.0f, 18.0f, 0.0f));
    camera.update(0.0f);
    camera.storeDefault();
    scene.setDefaultLight(true);
}

} // namespace NSScene
