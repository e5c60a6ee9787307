#pragma once
// The font source behind the GL fonts: fontconfig picks the installed font
// file that stands in for a face name and weight, FreeType opens it and turns
// single characters into 1-bit bitmaps or flattened outlines. Nothing here
// touches OpenGL, so it works without a context.
//
// Character codes are Latin-1: code c (0 to 255) is the Unicode code point c.

#include <string>
#include <vector>

struct FT_FaceRec_;

namespace NSGraphic {

// The font file chosen for a face name. found is false when fontconfig had
// nothing to offer at all.
struct FontMatch {
    bool found = false;
    std::string file;
    int index = 0; // face index inside a font collection
    std::string family;
    std::string style;
};

// Asks fontconfig for the best installed stand-in for face at weight (1 to
// 1000, 400 regular, 700 bold; 0 or less counts as 400). Like the system font
// mapper it always answers with something when any font is installed.
FontMatch matchFontFace(const std::string& face, int weight);

// One character as a 1-bit bitmap for glBitmap: rows bottom-up, each row
// (width + 7) / 8 bytes, most significant bit leftmost.
struct GlyphBitmap {
    bool present = false; // the face has a glyph for the character
    int width = 0;
    int rows = 0;
    int left = 0;    // pixels from the pen position to the bitmap's left edge
    int top = 0;     // pixels from the baseline up to the bitmap's top row
    int advance = 0; // pixels the pen moves right
    std::vector<unsigned char> bits;

    bool pixel(int x, int row) const; // row 0 is the bottom row
};

// The platform's float glyph metrics, in the unit where the em is 1.
struct GlyphMetrics {
    float blackBoxX = 0.0f; // ink width
    float blackBoxY = 0.0f; // ink height
    float originX = 0.0f;   // pen position to the ink's left edge
    float originY = 0.0f;   // baseline to the ink's top edge
    float advanceX = 0.0f;
    float advanceY = 0.0f;
};

struct OutlinePoint {
    double x = 0.0, y = 0.0;
};

// One character as closed polygons (curves already flattened), em = 1, the
// pen position at the origin and y up.
struct GlyphOutline {
    bool present = false;
    bool evenOdd = false; // fill rule: odd winding instead of non-zero
    std::vector<std::vector<OutlinePoint>> contours;
    GlyphMetrics metrics;
};

class FontFace {
public:
    FontFace(const std::string& face, int weight);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Whether a font file was found and opened.
    bool isOpen() const { return face != nullptr; }
    const FontMatch& getMatch() const { return match; }
    bool hasChar(int code) const;

    // The character rendered with pixelHeight as the em height; a negative
    // pixelHeight asks for that cell height (ascent plus descent) instead.
    GlyphBitmap rasterize(int code, int pixelHeight);
    // The character's outline, curves cut into segments that stray at most
    // tolerance (in ems) from the true curve.
    GlyphOutline outline(int code, double tolerance = 1.0 / 512.0);

private:
    unsigned glyphIndex(int code) const;

    FontMatch match;
    FT_FaceRec_* face = nullptr;
    // The font file's bytes, read safely; FreeType reads the face from them.
    std::string fileBytes;
    bool symbolMap = false; // a symbol font keeps Latin-1 at U+F000 upward
    int currentPixelHeight = 0;
};

} // namespace NSGraphic
