#pragma once
// The two font caches. A font is asked for by a spec of three words, face
// name, size and weight: "Verdana 13 700". A spec that is not three such
// words fails; the caller then gets the loader's "Times New Roman 1 400" font.
// Fonts are made on first request and need a current GL context then.

#include <string>

#include "resources/GLFont.h"
#include "resources/LoaderGeneric.h"

namespace NSLoader {

struct FontSpec {
    std::string face;
    int size = 0;
    int weight = 0;
};

// Splits a spec at blanks into face, size and weight (both decimal integers).
// False for any other number of words or a word that is not a number.
bool parseFontSpec(const std::string& spec, FontSpec& out);

class LoaderGLFontBitmap : public LoaderGeneric<NSGraphic::GLFontBitmap> {
public:
    static LoaderGLFontBitmap& instance();

protected:
    NSGraphic::GLFontBitmap* load(const std::string& spec) override;
    NSGraphic::GLFontBitmap* fallback() override;

private:
    LoaderGLFontBitmap() = default;
};

class LoaderGLFontOutline : public LoaderGeneric<NSGraphic::GLFontOutline> {
public:
    static LoaderGLFontOutline& instance();

protected:
    NSGraphic::GLFontOutline* load(const std::string& spec) override;
    NSGraphic::GLFontOutline* fallback() override;

private:
    LoaderGLFontOutline() = default;
};

} // namespace NSLoader
