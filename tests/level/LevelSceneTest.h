#pragma once
// A scene of 800 x 600 pixels that the levels build into, in a scratch
// working folder with the game's models and particle textures.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "level/Level.h"
#include "editable/EditorMode.h"
#include "scene/Scene.h"
#include "scenegraph/ControllerNode.h"
#include "support/GlContext.h"

namespace qbntest {

class LevelSceneTest : public GlTest {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        GlTest::SetUp();
        NSMenu::setCustomMode(false);
        NSMenu::setDesignerEditing(false);
        char name[] = "/tmp/qbn-levels-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
        fs::create_directory(folder + "/levels");
        for (const char* data : {"md2_objects", "particletextures"})
            fs::create_directory_symlink(fs::path(QBN_RUN_DIR) / data, folder + "/" + data);
        ASSERT_TRUE(getcwd(previous, sizeof previous));
        ASSERT_EQ(chdir(folder.c_str()), 0);
        scene = std::make_unique<NSScene::Scene>();
        scene->setLayout(NSWindow::ItemLayout(0, 0, 800, 600));
        NSLevel::Level::setScene(scene.get());
    }
    void TearDown() override {
        NSLevel::Level::setScene(nullptr);
        scene.reset();
        NSNode::ControllerNode::instance().clearHits();
        if (previous[0]) {
            EXPECT_EQ(chdir(previous), 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string folder;
    char previous[4096] = {0};
    std::unique_ptr<NSScene::Scene> scene;
};

} // namespace qbntest
