#pragma once
// An 800 x 600 scene that the levels build into, in a scratch game folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>

#include "level/Level.h"
#include "editable/EditorMode.h"
#include "scene/Scene.h"
#include "scenegraph/ControllerNode.h"
#include "support/GameFolder.h"
#include "support/GlContext.h"

namespace qbntest {

class LevelSceneTest : public GlTest {
protected:
    GameFolder folder; // first in, last out
    void SetUp() override {
        GlTest::SetUp();
        NSMenu::setCustomMode(false);
        NSMenu::setDesignerEditing(false);
        scene = std::make_unique<NSScene::Scene>();
        scene->setLayout(NSWindow::ItemLayout(0, 0, 800, 600));
        sceneWorld = std::make_unique<NSNode::ControllerNode::Use>(scene->world());
    }
    void TearDown() override {
        sceneWorld.reset();
        scene.reset();
        NSMenu::setCustomMode(false);
        NSMenu::setDesignerEditing(false);
    }

    std::unique_ptr<NSScene::Scene> scene;
    // Levels build into the scene's world.
    std::unique_ptr<NSNode::ControllerNode::Use> sceneWorld;
};

} // namespace qbntest
