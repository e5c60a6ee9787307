#include "resources/FontFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_OUTLINE_H

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "shell/Log.h"
#include "shell/SafeFile.h"

namespace NSGraphic {

namespace {

// The classic Windows faces and the metric-compatible free fonts that stand in
// for them. Fontconfig's own aliases usually know these; the table keeps the
// look when a system's configuration does not.
struct Substitute {
    const char* face;
    const char* family;
};
const Substitute substitutes[] = {
    {"Verdana", "DejaVu Sans"},
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
};

const int defaultPixelHeight = 12;
// Larger than any font a desktop installs.
constexpr size_t kMaxFontBytes = 64u << 20;

FT_Library library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) {
            log(LOG_ERROR, "FontFace: FreeType could not be initialised\n");
            return static_cast<FT_Library>(nullptr);
        }
        return l;
    }();
    return lib;
}

bool fontconfigReady() {
    static bool ready = FcInit() == FcTrue;
    return ready;
}

std::string patternString(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value)
        return std::string();
    return reinterpret_cast<const char*>(value);
}

// Cuts curves into line segments while walking a FreeType outline.
struct Flattener {
    std::vector<std::vector<OutlinePoint>>* contours;
    double scale;     // font units to ems
    double tolerance; // in ems
    OutlinePoint current;

    OutlinePoint point(const FT_Vector* v) const {
        return OutlinePoint{v->x * scale, v->y * scale};
    }
    void add(const OutlinePoint& p) {
        contours->back().push_back(p);
        current = p;
    }
    // Segments for a curve whose second derivative is at most bend long, so
    // that the chords stay within the tolerance.
    int segments(double bend) const {
        double n = std::ceil(std::sqrt(bend / (8.0 * tolerance)));
        return static_cast<int>(std::clamp(n, 1.0, 64.0));
    }

    static int moveTo(const FT_Vector* to, void* user) {
        auto* self = static_cast<Flattener*>(user);
        self->contours->emplace_back();
        self->add(self->point(to));
        return 0;
    }
    static int lineTo(const FT_Vector* to, void* user) {
        auto* self = static_cast<Flattener*>(user);
        self->add(self->point(to));
        return 0;
    }
    static int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
        auto* self = static_cast<Flattener*>(user);
        OutlinePoint p0 = self->current, p1 = self->point(control), p2 = self->point(to);
        double bend = 2.0 * std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y);
        int n = self->segments(bend);
        for (int i = 1; i <= n; ++i) {
            double t = static_cast<double>(i) / n, s = 1.0 - t;
            self->add(OutlinePoint{s * s * p0.x + 2 * s * t * p1.x + t * t * p2.x,
                                   s * s * p0.y + 2 * s * t * p1.y + t * t * p2.y});
        }
        return 0;
    }
    static int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        auto* self = static_cast<Flattener*>(user);
        OutlinePoint p0 = self->current, p1 = self->point(c1), p2 = self->point(c2),
                     p3 = self->point(to);
        double bend = 6.0 * std::max(std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                                     std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
        int n = self->segments(bend);
        for (int i = 1; i <= n; ++i) {
            double t = static_cast<double>(i) / n, s = 1.0 - t;
            double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
            self->add(OutlinePoint{a * p0.x + b * p1.x + c * p2.x + d * p3.x,
                                   a * p0.y + b * p1.y + c * p2.y + d * p3.y});
        }
        return 0;
    }
};

} // namespace

bool GlyphBitmap::pixel(int x, int row) const {
    if (x < 0 || row < 0 || x >= width || row >= rows)
        return false;
    int stride = (width + 7) / 8;
    return (bits[static_cast<size_t>(row) * stride + x / 8] & (0x80 >> (x % 8))) != 0;
}

FontMatch matchFontFace(const std::string& face, int weight) {
    FontMatch result;
    if (!fontconfigReady())
        return result;
    if (weight <= 0)
        weight = 400;
    FcPattern* pattern = FcPatternCreate();
    std::string family = latin1ToUtf8(face);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    // The stand-in comes second: an installed original still wins.
    for (const Substitute& s : substitutes) {
        if (strcasecmp(s.face, face.c_str()) == 0)
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(s.family));
    }
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::min(weight, 1000)));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult status = FcResultNoMatch;
    FcPattern* font = FcFontMatch(nullptr, pattern, &status);
    FcPatternDestroy(pattern);
    if (!font)
        return result;
    result.file = patternString(font, FC_FILE);
    result.family = patternString(font, FC_FAMILY);
    result.style = patternString(font, FC_STYLE);
    int index = 0;
    if (FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch)
        result.index = index;
    result.found = !result.file.empty();
    FcPatternDestroy(font);
    return result;
}

FontFace::FontFace(const std::string& faceName, int weight) : match(matchFontFace(faceName, weight)) {
    if (!match.found) {
        log(LOG_ERROR, "FontFace: no installed font stands in for \"%s\"\n", faceName.c_str());
        return;
    }
    FT_Library lib = library();
    FT_Face opened = nullptr;
    // The file fontconfig named, wherever its links lead in the system's
    // font folders; what is read is a regular file, read without waiting.
    char* real = ::realpath(match.file.c_str(), nullptr);
    std::string problem = real ? std::string() : std::strerror(errno);
    const bool read = real && NSFile::readFile(real, fileBytes, kMaxFontBytes, &problem) == NSFile::Read::Whole;
    std::free(real);
    if (!lib || !read ||
        FT_New_Memory_Face(lib, reinterpret_cast<const FT_Byte*>(fileBytes.data()),
                           static_cast<FT_Long>(fileBytes.size()), match.index, &opened) != 0) {
        log(LOG_ERROR, "FontFace: cannot open the font file %s %s\n", match.file.c_str(), problem.c_str());
        fileBytes.clear();
        return;
    }
    face = opened;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 &&
        FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0)
        symbolMap = true;
}

FontFace::~FontFace() {
    if (face)
        FT_Done_Face(face);
}

unsigned FontFace::glyphIndex(int code) const {
    if (!face || code < 0 || code > 255)
        return 0;
    FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (!index && symbolMap)
        index = FT_Get_Char_Index(face, 0xF000u + static_cast<FT_ULong>(code));
    return index;
}

bool FontFace::hasChar(int code) const { return glyphIndex(code) != 0; }

GlyphBitmap FontFace::rasterize(int code, int pixelHeight) {
    GlyphBitmap glyph;
    unsigned index = glyphIndex(code);
    if (!index)
        return glyph;
    if (pixelHeight == 0)
        pixelHeight = defaultPixelHeight;
    if (pixelHeight != currentPixelHeight) {
        FT_Error error;
        if (pixelHeight > 0) {
            error = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight));
        } else {
            FT_Size_RequestRec request{};
            request.type = FT_SIZE_REQUEST_TYPE_CELL;
            request.height = static_cast<FT_Long>(-pixelHeight) * 64;
            error = FT_Request_Size(face, &request);
        }
        // A face of fixed bitmap sizes only offers what it has.
        if (error && face->num_fixed_sizes > 0)
            error = FT_Select_Size(face, 0);
        if (error)
            return glyph;
        currentPixelHeight = pixelHeight;
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
        return glyph;
    FT_GlyphSlot slot = face->glyph;
    glyph.present = true;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;

    FT_Bitmap converted;
    FT_Bitmap_Init(&converted);
    const FT_Bitmap* source = &slot->bitmap;
    bool mono = source->pixel_mode == FT_PIXEL_MODE_MONO;
    if (!mono && source->pixel_mode != FT_PIXEL_MODE_GRAY) {
        if (FT_Bitmap_Convert(library(), source, &converted, 1) != 0) {
            FT_Bitmap_Done(library(), &converted);
            return glyph;
        }
        source = &converted;
    }
    glyph.width = static_cast<int>(source->width);
    glyph.rows = static_cast<int>(source->rows);
    int stride = (glyph.width + 7) / 8;
    int pitch = source->pitch < 0 ? -source->pitch : source->pitch;
    unsigned threshold = std::max(1u, static_cast<unsigned>(source->num_grays) / 2);
    glyph.bits.assign(static_cast<size_t>(stride) * glyph.rows, 0);
    for (int r = 0; r < glyph.rows; ++r) {
        // r counts from the top; a negative pitch stores the bottom row first.
        int stored = source->pitch < 0 ? glyph.rows - 1 - r : r;
        const unsigned char* in = source->buffer + static_cast<size_t>(stored) * pitch;
        unsigned char* out = &glyph.bits[static_cast<size_t>(glyph.rows - 1 - r) * stride];
        if (mono) {
            std::copy(in, in + stride, out);
            if (glyph.width % 8)
                out[stride - 1] &= static_cast<unsigned char>(0xFF00 >> (glyph.width % 8));
            continue;
        }
        for (int x = 0; x < glyph.width; ++x) {
            if (in[x] >= threshold)
                out[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
    }
    FT_Bitmap_Done(library(), &converted);
    return glyph;
}

GlyphOutline FontFace::outline(int code, double tolerance) {
    GlyphOutline glyph;
    unsigned index = glyphIndex(code);
    if (!index || face->units_per_EM == 0)
        return glyph;
    // Unscaled, unhinted: the font's own design units.
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE) != 0)
        return glyph;
    FT_GlyphSlot slot = face->glyph;
    double scale = 1.0 / face->units_per_EM;
    glyph.present = true;
    GlyphMetrics& m = glyph.metrics;
    m.blackBoxX = static_cast<float>(slot->metrics.width * scale);
    m.blackBoxY = static_cast<float>(slot->metrics.height * scale);
    m.originX = static_cast<float>(slot->metrics.horiBearingX * scale);
    m.originY = static_cast<float>(slot->metrics.horiBearingY * scale);
    m.advanceX = static_cast<float>(slot->metrics.horiAdvance * scale);
    m.advanceY = 0.0f;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return glyph;

    glyph.evenOdd = (slot->outline.flags & FT_OUTLINE_EVEN_ODD_FILL) != 0;
    Flattener flattener{&glyph.contours, scale, std::max(tolerance, 1e-6), OutlinePoint{}};
    FT_Outline_Funcs funcs{};
    funcs.move_to = &Flattener::moveTo;
    funcs.line_to = &Flattener::lineTo;
    funcs.conic_to = &Flattener::conicTo;
    funcs.cubic_to = &Flattener::cubicTo;
    if (FT_Outline_Decompose(&slot->outline, &funcs, &flattener) != 0) {
        glyph.contours.clear();
        return glyph;
    }
    // The walk returns to each contour's start; the polygons close by themselves.
    for (auto& contour : glyph.contours) {
        if (contour.size() > 1 && contour.back().x == contour.front().x &&
            contour.back().y == contour.front().y)
            contour.pop_back();
    }
    glyph.contours.erase(std::remove_if(glyph.contours.begin(), glyph.contours.end(),
                                        [](const std::vector<OutlinePoint>& c) { return c.size() < 3; }),
                         glyph.contours.end());
    return glyph;
}

} // namespace NSGraphic
