#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "resources/FontFace.h"
#include "resources/GLFont.h"
#include "resources/LoaderGLFont.h"
#include "window/WindowFrameRate.h"
#include "window/WindowTempPopUp.h"
#include "support/GlContext.h"
#include "support/LogCapture.h"

using NSGraphic::FontFace;
using NSGraphic::GLFontBitmap;
using NSGraphic::GLFontOutline;
using NSLoader::FontSpec;
using NSLoader::LoaderGLFontBitmap;
using NSLoader::LoaderGLFontOutline;

namespace {

size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The bounding box, in window pixels, of the pixels in a region that pass a test.
struct Ink {
    int count = 0, minX = INT_MAX, maxX = -1, minY = INT_MAX, maxY = -1;
    int width() const { return count ? maxX - minX + 1 : 0; }
    int height() const { return count ? maxY - minY + 1 : 0; }
};

template <class Test>
Ink findInk(int x0, int y0, int w, int h, Test isInk) {
    std::vector<unsigned char> p = qbntest::readPixels(x0, y0, w, h);
    Ink ink;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* rgb = &p[(static_cast<size_t>(y) * w + x) * 3];
            if (isInk(rgb[0], rgb[1], rgb[2])) {
                ++ink.count;
                ink.minX = std::min(ink.minX, x0 + x), ink.maxX = std::max(ink.maxX, x0 + x);
                ink.minY = std::min(ink.minY, y0 + y), ink.maxY = std::max(ink.maxY, y0 + y);
            }
        }
    return ink;
}

Ink findWhite(int x0, int y0, int w, int h) {
    return findInk(x0, y0, w, h, [](int r, int g, int b) { return r > 128 && g > 128 && b > 128; });
}

// The bottom rows of the separate bands of ink in a region.
std::vector<int> inkBandBottoms(int x0, int y0, int w, int h) {
    std::vector<int> bottoms;
    bool previous = false;
    for (int y = y0; y < y0 + h; ++y) {
        bool ink = findWhite(x0, y, w, 1).count > 0;
        if (ink && !previous)
            bottoms.push_back(y);
        previous = ink;
    }
    return bottoms;
}

// A cleared black window, pixelsPerUnit pixels a unit from the bottom left, drawing plain white.
void beginCanvas(double pixelsPerUnit = 1.0) {
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 800 / pixelsPerUnit, 0, 600 / pixelsPerUnit, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_BLEND, GL_TEXTURE_2D, GL_CULL_FACE})
        glDisable(cap);
    glFrontFace(GL_CCW);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
}

GLFontBitmap* labelFont() { return LoaderGLFontBitmap::instance().get("Verdana 13 700"); }

} // namespace

TEST(FontMatching, ClassicFacesResolveToTheirInstalledStandIns) {
    // The family and weight a player sees, not which file holds them.
    const struct {
        const char* face;
        int weight;
        const char* family;
        bool bold;
    } cases[] = {
        {"Verdana", 700, "DejaVu Sans", true},
        {"Verdana", 400, "DejaVu Sans", false},
        {"Arial", 400, "Liberation Sans", false},
        {"Arial", 700, "Liberation Sans", true},
        {"Times New Roman", 400, "Liberation Serif", false},
        {"Courier New", 400, "Liberation Mono", false},
        {"arial", 0, "Liberation Sans", false}, // any case; weight 0 is regular
    };
    for (const auto& c : cases) {
        NSGraphic::FontMatch m = NSGraphic::matchFontFace(c.face, c.weight);
        ASSERT_TRUE(m.found) << c.face;
        EXPECT_EQ(m.family, c.family) << c.face << " gave " << m.file;
        EXPECT_EQ(m.style.find("Bold") != std::string::npos, c.bold) << c.face << " " << c.weight << " gave " << m.style;
        EXPECT_TRUE(FontFace(c.face, c.weight).isOpen()) << m.file;
    }
}

TEST(FontMatching, AnUnknownFaceStillGetsAnOpenableFont) {
    for (const char* face : {"NoSuchFaceAnywhere", "", "Caf\xE9"}) {
        FontFace f(face, 400);
        EXPECT_TRUE(f.isOpen()) << face;
        EXPECT_TRUE(f.hasChar('A')) << face;
    }
}

class FontLoader : public qbntest::GlTest {};

TEST_F(FontLoader, AMalformedSpecGivesTheFallbackAndIsTriedAgain) {
    qbntest::LogCapture capture;
    GLFontBitmap* first = LoaderGLFontBitmap::instance().get("Arial 12");
    GLFontBitmap* second = LoaderGLFontBitmap::instance().get("Arial 12");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->getSize(), 1.0f);
    EXPECT_EQ(first->getFontFace().getMatch().family, "Liberation Serif");
    EXPECT_FALSE(LoaderGLFontBitmap::instance().isCached("Arial 12"));
    EXPECT_EQ(occurrences(capture.text(), "LoaderGeneric: Arial 12, error\n"), 2u);

    GLFontOutline* outline = LoaderGLFontOutline::instance().get("Arial");
    ASSERT_NE(outline, nullptr);
    EXPECT_EQ(outline, LoaderGLFontOutline::instance().get("Arial 1 heavy"));
    EXPECT_EQ(outline->getFontFace().getMatch().family, "Liberation Serif");
    EXPECT_GT(outline->textWidth("T"), 0.0f);
}

class FontBitmap : public qbntest::GlTest {};

TEST_F(FontBitmap, TextAppearsRightOfTheRasterPositionOnTheBaseline) {
    beginCanvas();
    glRasterPos2i(100, 100);
    labelFont()->print("W");
    Ink ink = findWhite(80, 80, 60, 40);
    ASSERT_GT(ink.count, 20);
    EXPECT_EQ(ink.minY, 100);
    EXPECT_GE(ink.minX, 100);
    EXPECT_LE(ink.minX, 102);
    EXPECT_GE(ink.height(), 8);
    EXPECT_LE(ink.height(), 12);
    EXPECT_GE(ink.width(), 10);
}

TEST_F(FontBitmap, PrintFormatsLikePrintfWithoutLimit) {
    GLFontBitmap* font = labelFont();
    auto drawn = [&](auto&& print) {
        beginCanvas();
        glRasterPos2i(100, 100);
        print();
        return qbntest::readPixels(90, 90, 120, 30);
    };
    // Past a fixed buffer: 300 characters the font lacks (no ink, no advance), then a W at the start.
    std::string longText(300, '\x01');
    longText += 'W';
    EXPECT_EQ(drawn([&] { font->print("%s", longText.c_str()); }),
              drawn([&] { font->print("W"); }));

    beginCanvas();
    glRasterPos2i(100, 100);
    font->print(nullptr);
    EXPECT_EQ(findWhite(0, 0, 800, 600).count, 0);
}

TEST_F(FontBitmap, PrintLinesStepsByTheLineSpacingAndTruncates) {
    GLFontBitmap* font = labelFont(); // 13 px: lines 19 px apart at 1.5
    beginCanvas();
    font->printLines(100, 100, 1.5f, "W\nW\n");
    EXPECT_EQ(inkBandBottoms(90, 80, 80, 100), (std::vector<int>{100, 119}));
    EXPECT_GE(findWhite(90, 80, 80, 100).minX, 100);

    beginCanvas();
    font->printLines(100, 100, 1.5f, "W\n\nW%s", "W");
    EXPECT_EQ(inkBandBottoms(90, 80, 80, 100), (std::vector<int>{100, 138}));

    beginCanvas();
    font->printLines(100, 100, 1.0f, "%s", "");
    EXPECT_EQ(findWhite(0, 0, 800, 600).count, 0);
}
