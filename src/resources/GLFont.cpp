#include "resources/GLFont.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <vector>

#include "shell/DisplayScale.h"
#include "shell/Log.h"

namespace NSGraphic {

namespace {

const int characterCount = 256;
// Bitmap glyphs beyond this height would only eat memory.
const int maxPixelHeight = 512;

// printf into a fixed buffer when the text fits, else into a heap buffer of
// the exact size; text and length are valid for the object's life.
class FormattedText {
public:
    FormattedText(const char* format, va_list args) {
        va_list copy;
        va_copy(copy, args);
        int n = std::vsnprintf(fixed, sizeof fixed, format, copy);
        va_end(copy);
        if (n < 0) {
            fixed[0] = '\0';
            return;
        }
        length = static_cast<size_t>(n);
        if (length < sizeof fixed) {
            text = fixed;
            return;
        }
        heap.reset(new char[length + 1]);
        std::vsnprintf(heap.get(), length + 1, format, args);
        text = heap.get();
    }

    const char* text = fixed;
    size_t length = 0;

private:
    char fixed[256];
    std::unique_ptr<char[]> heap;
};

// What the tessellator callbacks work on while one glyph is compiled.
struct TessState {
    std::deque<std::array<GLdouble, 3>> extraVertices; // made at crossings
    GLenum error = 0;
};

void tessBegin(GLenum mode) { glBegin(mode); }
void tessVertex(void* vertex) { glVertex3dv(static_cast<const GLdouble*>(vertex)); }
void tessEnd() { glEnd(); }
void tessCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* data) {
    auto* state = static_cast<TessState*>(data);
    state->extraVertices.push_back({coords[0], coords[1], coords[2]});
    *out = state->extraVertices.back().data();
}
void tessError(GLenum error, void* data) {
    auto* state = static_cast<TessState*>(data);
    if (!state->error)
        state->error = error;
}

} // namespace

GLFont::GLFont(const std::string& faceName, int size, int weight)
    : face(std::make_unique<FontFace>(faceName, weight)), size(size) {
    listBase = glGenLists(characterCount);
    if (!listBase)
        log(LOG_ERROR, "GLFont: no display lists for \"%s\" (is there a GL context?)\n",
            faceName.c_str());
    const FontMatch& m = face->getMatch();
    log(LOG_RESOURCE, "GLFont: %s %d %d is %s %s (%s)\n", faceName.c_str(), size, weight,
        m.family.c_str(), m.style.c_str(), m.file.c_str());
}

GLFont::~GLFont() {
    if (listBase)
        glDeleteLists(listBase, characterCount);
}

float GLFont::getSize() const { return static_cast<float>(size); }

void GLFont::drawText(const char* text, size_t length) const {
    if (!listBase)
        return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glListBase(listBase);
    glCallLists(static_cast<GLsizei>(length), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

void GLFont::print(const char* format, ...) {
    if (!format)
        return;
    va_list args;
    va_start(args, format);
    FormattedText formatted(format, args);
    va_end(args);
    drawText(formatted.text, formatted.length);
}

void GLFont::printLines(int x, int y, float lineSpacing, const char* format, ...) {
    if (!format || !listBase)
        return;
    va_list args;
    va_start(args, format);
    FormattedText formatted(format, args);
    va_end(args);

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glListBase(listBase);
    const char* line = formatted.text;
    const char* end = formatted.text + formatted.length;
    for (;;) {
        const char* lineEnd = std::find(line, end, '\n');
        glRasterPos2i(x, y);
        glCallLists(static_cast<GLsizei>(lineEnd - line), GL_UNSIGNED_BYTE, line);
        if (lineEnd == end)
            break;
        y = static_cast<int>(static_cast<float>(y) + getSize() * lineSpacing);
        line = lineEnd + 1;
    }
    glPopAttrib();
}

GLFontBitmap::GLFontBitmap(const std::string& faceName, int size, int weight)
    : GLFont(faceName, size, weight), scale(NSWindow::displayScale()) {
    int pixels = NSWindow::unitsToPixels(size, scale);
    if (std::abs(pixels) > maxPixelHeight) {
        pixels = pixels < 0 ? -maxPixelHeight : maxPixelHeight;
        log(LOG_ERROR, "GLFontBitmap: size %d of \"%s\" is too large, using %d\n", size,
            faceName.c_str(), pixels);
    }
    if (!listBase) {
        // Without lists nothing can be drawn, but the advances still measure.
        for (int c = 0; c < characterCount; ++c) {
            GlyphBitmap glyph = face->rasterize(c, pixels);
            advances[c] = glyph.present ? glyph.advance : 0;
        }
        return;
    }
    // Bitmaps are copied into the lists as they are compiled, under the
    // unpacking rules in force now: tightly packed rows, high bit first.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    const GLubyte nothing = 0;
    for (int c = 0; c < characterCount; ++c) {
        GlyphBitmap glyph = face->rasterize(c, pixels);
        advances[c] = glyph.present ? glyph.advance : 0;
        glNewList(listBase + c, GL_COMPILE);
        if (glyph.present) {
            advances[c] = glyph.advance;
            const GLubyte* bits = glyph.bits.empty() ? &nothing : glyph.bits.data();
            glBitmap(glyph.width, glyph.rows, static_cast<GLfloat>(-glyph.left),
                     static_cast<GLfloat>(glyph.rows - glyph.top), static_cast<GLfloat>(glyph.advance),
                     0.0f, bits);
        }
        glEndList();
    }
    glPopClientAttrib();
}

GLFontOutline::GLFontOutline(const std::string& faceName, int size, int weight)
    : GLFont(faceName, size, weight) {
    GLUtesselator* tess = listBase ? gluNewTess() : nullptr;
    if (!tess) {
        // Without lists nothing can be drawn, but the metrics still measure.
        for (int c = 0; c < characterCount; ++c)
            metrics[c] = face->outline(c).metrics;
        return;
    }
    using Callback = _GLUfuncptr;
    gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<Callback>(&tessBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<Callback>(&tessVertex));
    gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<Callback>(&tessEnd));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(&tessCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<Callback>(&tessError));
    // Glyphs lie in the xy plane facing +z; with the normal given, every
    // triangle comes out counter-clockwise, a front face.
    gluTessNormal(tess, 0.0, 0.0, 1.0);

    for (int c = 0; c < characterCount; ++c) {
        GlyphOutline glyph = face->outline(c);
        metrics[c] = glyph.metrics;
        std::vector<std::vector<std::array<GLdouble, 3>>> contours;
        for (const auto& contour : glyph.contours) {
            contours.emplace_back();
            for (const OutlinePoint& p : contour)
                contours.back().push_back({p.x, p.y, 0.0});
        }
        glNewList(listBase + c, GL_COMPILE);
        if (!contours.empty()) {
            TessState state;
            gluTessProperty(tess, GLU_TESS_WINDING_RULE,
                            glyph.evenOdd ? GLU_TESS_WINDING_ODD : GLU_TESS_WINDING_NONZERO);
            glNormal3f(0.0f, 0.0f, 1.0f);
            gluTessBeginPolygon(tess, &state);
            for (auto& contour : contours) {
                gluTessBeginContour(tess);
                for (auto& point : contour)
                    gluTessVertex(tess, point.data(), point.data());
                gluTessEndContour(tess);
            }
            gluTessEndPolygon(tess);
            if (state.error)
                log(LOG_ERROR, "GLFontOutline: character %d of \"%s\": %s\n", c, faceName.c_str(),
                    reinterpret_cast<const char*>(gluErrorString(state.error)));
        }
        if (glyph.present)
            glTranslatef(glyph.metrics.advanceX, glyph.metrics.advanceY, 0.0f);
        glEndList();
    }
    gluDeleteTess(tess);
}

void GLFontOutline::print(const char* format, ...) {
    if (!format)
        return;
    va_list args;
    va_start(args, format);
    FormattedText formatted(format, args);
    va_end(args);
    glPushAttrib(GL_POLYGON_BIT);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    drawText(formatted.text, formatted.length);
    glPopAttrib();
}

int GLFontBitmap::textWidth(const std::string& text) const {
    int width = 0;
    for (char ch : text)
        width += advances[static_cast<unsigned char>(ch)];
    return NSWindow::unitsCovering(width, scale);
}

float GLFontOutline::textWidth(const std::string& text) const {
    float width = 0.0f;
    for (char ch : text)
        width += metrics[static_cast<unsigned char>(ch)].advanceX;
    return width;
}

} // namespace NSGraphic
