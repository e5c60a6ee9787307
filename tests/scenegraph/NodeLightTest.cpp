#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "scenegraph/NodeLight.h"
#include "support/GlContext.h"

using NSNode::NodeLight;

namespace {

// The light settings are put back afterwards: other tests share the context
// and count on OpenGL's default lights.
class NodeLightTest : public qbntest::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        glPushAttrib(GL_LIGHTING_BIT);
        ASSERT_EQ(NodeLight::slotsInUse(), 0) << "a light of another test is still alive";
    }
    void TearDown() override { glPopAttrib(); }
};

GLenum glLight(const NodeLight& light) { return static_cast<GLenum>(GL_LIGHT0 + light.getLightIndex()); }

std::vector<float> lightValue(const NodeLight& light, GLenum which, int count) {
    std::vector<float> v(4, -1.0f);
    glGetLightfv(glLight(light), which, v.data());
    v.resize(static_cast<size_t>(count));
    return v;
}

} // namespace

TEST_F(NodeLightTest, LightsTakeTheLowestFreeSlotAndThe21stGetsNone) {
    std::vector<std::unique_ptr<NodeLight>> lights;
    for (int i = 0; i < NodeLight::kPoolSize; ++i) {
        lights.emplace_back(new NodeLight(true));
        EXPECT_EQ(lights.back()->getLightIndex(), i);
    }
    std::unique_ptr<NodeLight> extra(new NodeLight(true));
    EXPECT_EQ(extra->getLightIndex(), -1);
    extra.reset();
    EXPECT_EQ(NodeLight::slotsInUse(), NodeLight::kPoolSize);

    // A destroyed light switches itself off and frees its slot for the next.
    EXPECT_TRUE(glIsEnabled(GL_LIGHT5));
    lights[5].reset();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT5));
    lights[3].reset();
    std::unique_ptr<NodeLight> next(new NodeLight(Vector3(), Vector3(1, 1, 1)));
    EXPECT_EQ(next->getLightIndex(), 3);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT3));
}

// What OpenGL receives: colours, attenuation and a cone for a point light, neither for a light at infinity.
TEST_F(NodeLightTest, SendsColoursAttenuationAndConeOnlyWhereTheyApply) {
    NodeLight light(Vector3(), Vector3(0.1f, 0.2f, 0.3f), Vector3(0.5f, 0.25f, 1.0f), Vector3(1, 1, 1));
    EXPECT_EQ(lightValue(light, GL_DIFFUSE, 4), (std::vector<float>{0.5f, 0.25f, 1.0f, 1.0f}));
    EXPECT_EQ(lightValue(light, GL_SPOT_CUTOFF, 1)[0], 180.0f);
    light.setSpot(true, 1.0f, 3.0f);
    light.setAttenuation(2.0f, 0.5f, 0.25f);
    for (auto [asked, sent] : {std::pair{GL_SPOT_CUTOFF, 90.0f}, {GL_SPOT_EXPONENT, 3.0f}, {GL_CONSTANT_ATTENUATION, 2.0f},
                               {GL_LINEAR_ATTENUATION, 0.5f}, {GL_QUADRATIC_ATTENUATION, 0.25f}})
        EXPECT_EQ(lightValue(light, asked, 1)[0], sent) << asked;
    light.setSpot(false, 0.5f, 0.0f);
    EXPECT_EQ(lightValue(light, GL_SPOT_CUTOFF, 1)[0], 180.0f);
    light.setDirectional(true);
    light.setSpot(true, 0.5f, 7.0f);
    light.setAttenuation(1.0f, 9.0f, 0.0f);
    EXPECT_EQ(lightValue(light, GL_SPOT_CUTOFF, 1)[0], 180.0f);
    EXPECT_EQ(lightValue(light, GL_LINEAR_ATTENUATION, 1)[0], 0.5f) << "a light at infinity takes no attenuation";
}

TEST_F(NodeLightTest, DrawingPlacesTheLightWhereItsNodeIs) {
    NodeLight light(Vector3(1, 2, 3), Vector3(1, 1, 1));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    auto draw = [&] {
        glPushMatrix();
        light.draw();
        glPopMatrix();
    };
    draw();
    EXPECT_EQ(lightValue(light, GL_POSITION, 4), (std::vector<float>{1, 2, 3, 1}));

    light.setSpot(true, 0.5f, 0.0f);
    light.setRotation(Vector3(0, 3.14159265f, 0)); // half a turn: -Z becomes +Z
    draw();
    EXPECT_NEAR(lightValue(light, GL_SPOT_DIRECTION, 3)[2], 1.0f, 1e-5f);

    light.setDirectional(true);
    light.setRotation(Vector3(0, 1.57079633f, 0)); // a quarter turn: +Z becomes +X
    draw();
    const std::vector<float> along = lightValue(light, GL_POSITION, 4);
    EXPECT_TRUE(std::fabs(along[0] - 1.0f) < 1e-5f && std::fabs(along[2]) < 1e-5f && along[3] == 0.0f);
}
