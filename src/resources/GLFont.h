#pragma once
// Text in OpenGL through display lists: a font owns 256 consecutive lists,
// list listBase + c drawing character code c (Latin-1) and moving on by its
// advance. GLFontBitmap draws pixel bitmaps at the raster position, always
// facing the viewer; GLFontOutline draws filled glyphs as geometry in the
// current modelview, one unit high, so it scales and turns with the scene.
//
// Construction needs a current GL context. Usually fonts come shared from the
// font loaders; a font constructed directly belongs to its creator.

#include <array>
#include <memory>
#include <string>

#include "resources/FontFace.h"

namespace NSGraphic {

class GLFont {
public:
    virtual ~GLFont();
    GLFont(const GLFont&) = delete;
    GLFont& operator=(const GLFont&) = delete;

    // Formats like printf and draws the text from the current raster position
    // (bitmap) or the modelview origin (outline). Text with a "%" in it is a
    // format: pass "%%" for a percent sign, or print("%s", text).
    virtual void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Formats like printf and draws the text line by line: each line ending in
    // "\n" at raster position (x, y), after which y grows by size x lineSpacing
    // (truncated); the rest after the last "\n" at the final (x, y).
    virtual void printLines(int x, int y, float lineSpacing, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    virtual float getSize() const;

    unsigned getListBase() const { return listBase; }
    const FontFace& getFontFace() const { return *face; }

protected:
    GLFont(const std::string& faceName, int size, int weight);

    // Calls one list per byte of text, with all attributes saved around it.
    void drawText(const char* text, size_t length) const;

    std::unique_ptr<FontFace> face;
    unsigned listBase = 0; // 0 when no lists could be made (no GL context)
    int size;
};

class GLFontBitmap : public GLFont {
public:
    // size: the character (em) height in units of the interface, drawn
    // with as many pixels as the interface's scale gives it
    // (shell/DisplayScale.h); a negative size asks for that cell height.
    GLFontBitmap(const std::string& faceName, int size, int weight);

    // How far the text moves the raster position, in units of the
    // interface, rounded up (0 for every text when the font has no lists).
    int textWidth(const std::string& text) const;

private:
    std::array<int, 256> advances{}; // in pixels
    float scale = 1.0f;
};

class GLFontOutline : public GLFont {
public:
    // The size is kept but does not matter: outline glyphs are one unit high.
    GLFontOutline(const std::string& faceName, int size, int weight);

    // Draws at the modelview origin with back faces culled.
    void print(const char* format, ...) override __attribute__((format(printf, 2, 3)));

    // The sum of the advances of the text's characters, in font units (the
    // font's height is about 1).
    float textWidth(const std::string& text) const;
    const GlyphMetrics& glyphMetrics(unsigned char code) const { return metrics[code]; }

private:
    std::array<GlyphMetrics, 256> metrics{};
};

} // namespace NSGraphic
