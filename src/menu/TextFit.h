#pragma once
// Fitting a text into a width on the screen: the end of an input field's
// text, or a label cut short with an ellipsis.

#include <functional>
#include <string>

namespace NSGraphic {
class GLFont;
}

namespace NSMenu {

using TextMeasure = std::function<int(const std::string&)>;

// The text's width in pixels in font; without a font (or one that cannot
// draw) an estimate of 7 pixels a character.
int textWidthOf(const NSGraphic::GLFont* font, const std::string& text);
// The longest end of text that fits into width.
std::string fitTail(const std::string& text, int width, const TextMeasure& measure);
// The text itself if it fits, else its longest beginning followed by "..."
// that does.
std::string fitEllipsis(const std::string& text, int width, const TextMeasure& measure);

} // namespace NSMenu
