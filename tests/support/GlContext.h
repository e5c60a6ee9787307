#pragma once
// A current GL context for tests that draw: one hidden 800 x 600 freeglut window (needs an X display).
#include <gtest/gtest.h>

#include <vector>

namespace qbntest {

// Makes the context current; false (with a message) when there is no display.
bool ensureGlContext();

// Puts the context back into OpenGL's initial state, so no test sees what an earlier one left behind.
void resetGlState();

// Reads back the back buffer as RGB bytes, rows from the bottom.
std::vector<unsigned char> readPixels(int x, int y, int width, int height);

class GlTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ensureGlContext())
            FAIL() << "this test needs an X display; run the suite under xvfb-run";
        resetGlState();
    }
    void TearDown() override { resetGlState(); }
};

} // namespace qbntest
