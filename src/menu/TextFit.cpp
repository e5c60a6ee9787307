#include "menu/TextFit.h"

#include "resources/GLFont.h"

namespace NSMenu {

namespace {

constexpr int kEstimatedCharWidth = 7;

} // namespace

int textWidthOf(const NSGraphic::GLFont* font, const std::string& text) {
    const auto* bitmap = dynamic_cast<const NSGraphic::GLFontBitmap*>(font);
    const int measured = bitmap ? bitmap->textWidth(text) : 0;
    if (measured > 0 || text.empty())
        return measured;
    return kEstimatedCharWidth * static_cast<int>(text.size());
}

std::string fitTail(const std::string& text, int width, const TextMeasure& measure) {
    size_t start = 0;
    while (start < text.size() && measure(text.substr(start)) > width)
        ++start;
    return text.substr(start);
}

std::string fitEllipsis(const std::string& text, int width, const TextMeasure& measure) {
    if (measure(text) <= width)
        return text;
    std::string head = text;
    while (!head.empty() && measure(head + "...") > width)
        head.pop_back();
    // No space left before the dots.
    while (!head.empty() && head.back() == ' ')
        head.pop_back();
    return head + "...";
}

} // namespace NSMenu
