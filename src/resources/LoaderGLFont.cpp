#include "resources/LoaderGLFont.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "shell/Log.h"

namespace NSLoader {

namespace {

bool parseInt(const std::string& word, int& out) {
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return false;
    out = static_cast<int>(value);
    return true;
}

template <class Font>
Font* loadFont(const std::string& spec) {
    FontSpec parsed;
    if (!parseFontSpec(spec, parsed)) {
        log(LOG_ERROR, "Font spec \"%s\" is not \"Face Size Weight\"\n", spec.c_str());
        return nullptr;
    }
    return new Font(parsed.face, parsed.size, parsed.weight);
}

} // namespace

bool parseFontSpec(const std::string& spec, FontSpec& out) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < spec.size()) {
        size_t start = spec.find_first_not_of(' ', at);
        if (start == std::string::npos)
            break;
        size_t stop = spec.find(' ', start);
        if (stop == std::string::npos)
            stop = spec.size();
        words.push_back(spec.substr(start, stop - start));
        at = stop;
    }
    FontSpec result;
    // The face may have several words ("Courier New"); size and weight are the last two.
    const size_t n = words.size();
    if (n < 3 || !parseInt(words[n - 2], result.size) || !parseInt(words[n - 1], result.weight))
        return false;
    result.face = words[0];
    for (size_t i = 1; i + 2 < n; ++i)
        result.face += " " + words[i];
    out = result;
    return true;
}

LoaderGLFontBitmap& LoaderGLFontBitmap::instance() {
    // Never destroyed, so what it keeps stays valid (and reachable) to the end.
    static auto* loader = new LoaderGLFontBitmap;
    return *loader;
}

NSGraphic::GLFontBitmap* LoaderGLFontBitmap::load(const std::string& spec) {
    return loadFont<NSGraphic::GLFontBitmap>(spec);
}

// Like the cached fonts, the fallbacks are never destroyed: at exit there is
// no GL context left to delete their lists in.
NSGraphic::GLFontBitmap* LoaderGLFontBitmap::fallback() {
    static auto* font = new NSGraphic::GLFontBitmap("Times New Roman", 1, 400);
    return font;
}

LoaderGLFontOutline& LoaderGLFontOutline::instance() {
    // Never destroyed, so what it keeps stays valid (and reachable) to the end.
    static auto* loader = new LoaderGLFontOutline;
    return *loader;
}

NSGraphic::GLFontOutline* LoaderGLFontOutline::load(const std::string& spec) {
    return loadFont<NSGraphic::GLFontOutline>(spec);
}

NSGraphic::GLFontOutline* LoaderGLFontOutline::fallback() {
    static auto* font = new NSGraphic::GLFontOutline("Times New Roman", 1, 400);
    return font;
}

} // namespace NSLoader
