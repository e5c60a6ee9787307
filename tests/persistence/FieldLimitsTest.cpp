// Numbers in a scene file that the game cannot use refuse the whole file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "objects/ObjectShapes.h"
#include "persistence/FileScratch.h"
#include "scene/SceneFixture.h"
#include "support/LogCapture.h"

namespace {

using qbntest::Bytes;
using qbntest::SceneGl;
using NSNode::NodeGraphic;
using NSNode::NodeTransform;

// Replaces the first four bytes in file that hold was by now.
bool patchFloat(Bytes& file, float was, float now) {
    unsigned char from[4], to[4];
    std::memcpy(from, &was, 4);
    std::memcpy(to, &now, 4);
    for (size_t i = 0; i + 4 <= file.size(); ++i)
        if (std::memcmp(file.data() + i, from, 4) == 0) {
            std::memcpy(file.data() + i, to, 4);
            return true;
        }
    return false;
}

TEST_F(SceneGl, NumbersTheGameCannotUseRefuseTheFileAndNameTheField) {
    NodeGraphic* b = ball(Vector3(12.125f, 2, 3));
    b->setRotation(Vector3(0, 0.3125f, 0));
    b->setScale(1.375f);
    b->setColor(Vector3(0.4375f, 0.5f, 0.5f));
    auto* box = new NSObjects::ObjectBox(true);
    auto* room = new NSObjects::ObjectRoom(true);
    box->setSize(37.125f, 41.25f, 43.375f);
    room->setSize(211.5f, 223.25f, 235.125f);
    scene.getRoot()->addChild(box);
    scene.getRoot()->addChild(room);
    look(Vector3(0, 0, 151.5f), Vector3());
    ASSERT_TRUE(scene.saveScene("good"));
    const Bytes good = qbntest::readFileBytes("levels/good.lvs");

    const struct {
        float stored;
        const char* field;
    } fields[] = {
        {12.125f, "position.x"}, {0.3125f, "rotation.y"},    {1.375f, "scale"},
        {0.4375f, "colour.x"},   {11.5f, "sphere radius"}, {151.5f, "camera point.z"},
        {37.125f, "length"},     {41.25f, "width"},        {43.375f, "height"},
        {211.5f, "length"},      {105.75f, "room half size"},
    };
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), 3e38f};
    NodeTransform* root = scene.getRoot();
    for (const auto& field : fields)
        for (float value : bad) {
            SCOPED_TRACE(std::string(field.field) + " = " + std::to_string(value));
            Bytes file = good;
            ASSERT_TRUE(patchFloat(file, field.stored, value));
            qbntest::writeFileBytes("levels/bad.lvs", file);
            qbntest::LogCapture log;
            EXPECT_FALSE(scene.loadScene("bad"));
            EXPECT_NE(log.text().find(field.field), std::string::npos) << log.text();
            EXPECT_EQ(scene.getRoot(), root);
            EXPECT_EQ(b->getPosition(), Vector3(12.125f, 2, 3));
        }

    // Such a value in the scene is not saved over a good file either.
    b->setPosition(Vector3(std::nanf(""), 0, 0));
    qbntest::LogCapture log;
    EXPECT_FALSE(scene.saveScene("good"));
    EXPECT_NE(log.text().find("position.x"), std::string::npos);
    EXPECT_EQ(qbntest::readFileBytes("levels/good.lvs"), good);
}

} // namespace
