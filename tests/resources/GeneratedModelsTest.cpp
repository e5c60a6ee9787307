// Every model the asset tool makes, loaded by the game's own reader and drawn
// the way the scene draws it: each must show up as a textured, lit object.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "resources/ModelObject_MD2.h"
#include "support/GlContext.h"

namespace {

// Changes into the run folder for one test, where "md2_objects/" lives.
struct InRunFolder {
    char previous[4096];
    InRunFolder() {
        if (!getcwd(previous, sizeof previous))
            previous[0] = 0;
        if (chdir(QBN_RUN_DIR) != 0)
            ADD_FAILURE() << "no run folder at " << QBN_RUN_DIR;
    }
    ~InRunFolder() {
        if (previous[0] && chdir(previous) != 0)
            ADD_FAILURE() << "cannot go back to " << previous;
    }
};

class GeneratedModels : public qbntest::GlTest, public testing::WithParamInterface<const char*> {};

} // namespace

TEST_P(GeneratedModels, DrawAsTexturedLitObjects) {
    InRunFolder here;
    NSGraphic::ModelObject_MD2 model(true);
    ASSERT_TRUE(model.load(GetParam(), ""));
    ASSERT_GT(model.triangleCount(), 0u);
    ASSERT_NE(model.texture(), 0u) << "the skin did not load";
    model.interpolate();

    // Frame the model: its bounding sphere fills most of a 200 x 200 view.
    const auto& p = model.positions();
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (size_t i = 0; i < p.size(); ++i) {
        lo[i % 3] = std::min(lo[i % 3], p[i]);
        hi[i % 3] = std::max(hi[i % 3], p[i]);
    }
    float centre[3], radius = 0;
    for (int a = 0; a < 3; ++a) {
        centre[a] = (lo[a] + hi[a]) / 2;
        radius = std::max(radius, (hi[a] - lo[a]) / 2);
    }

    glViewport(0, 0, 200, 200);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 1, radius * 0.5, radius * 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(centre[0] + radius * 1.6, centre[1] + radius * 1.4, centre[2] + radius * 2.2, centre[0],
              centre[1], centre[2], 0, 1, 0);
    glEnable(GL_DEPTH_TEST);
    // One white light from the front, whatever earlier drawing left behind.
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT);
    glEnable(GL_LIGHTING);
    for (int i = 1; i < 8; ++i)
        glDisable(static_cast<GLenum>(GL_LIGHT0 + i));
    glEnable(GL_LIGHT0);
    const GLfloat light[4] = {1, 2, 3, 0}, white[4] = {1, 1, 1, 1}, dim[4] = {0.2f, 0.2f, 0.2f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, dim);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180.0f);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 1.0f);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0.0f);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.0f);
    glEnable(GL_COLOR_MATERIAL);
    glColor3f(1, 1, 1);
    model.draw(0, GL_LINEAR, GL_LINEAR);
    glPopAttrib();
    glDisable(GL_DEPTH_TEST);

    auto pixels = qbntest::readPixels(0, 0, 200, 200);
    // QBN_TEST_SHOTS=dir keeps a picture of each model for a look.
    if (const char* dir = std::getenv("QBN_TEST_SHOTS")) {
        std::string name = std::string(dir) + "/" + GetParam() + ".ppm";
        if (FILE* f = std::fopen(name.c_str(), "wb")) {
            std::fprintf(f, "P6 200 200 255\n");
            for (int row = 199; row >= 0; --row)
                std::fwrite(&pixels[static_cast<size_t>(row) * 600], 1, 600, f);
            std::fclose(f);
        }
    }
    int covered = 0;
    std::set<int> shades;
    for (size_t i = 0; i < pixels.size(); i += 3) {
        if (pixels[i] || pixels[i + 1] || pixels[i + 2]) {
            ++covered;
            shades.insert((pixels[i] / 16) << 8 | (pixels[i + 1] / 16) << 4 | (pixels[i + 2] / 16));
        }
    }
    double share = covered / (200.0 * 200.0);
    EXPECT_GT(share, 0.03) << "hardly anything drawn";
    EXPECT_LT(share, 0.95) << "the model fills the whole view";
    EXPECT_GT(shades.size(), 8u) << "flat colour: no texture or lighting";
}

INSTANTIATE_TEST_SUITE_P(Catalogue, GeneratedModels,
                         testing::Values("basketball.md2", "bowlingball.md2", "tennisball.md2", "brett1.md2",
                                         "brett2.md2", "brett3.md2", "Johnny5.md2", "sprungbrett.md2",
                                         "rollband1.md2", "rollband2.md2", "ventilator.md2", "teslaspule.md2"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });
