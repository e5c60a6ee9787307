#pragma once
// Breaking a text into lines that fit a width on the screen.

#include <functional>
#include <string>
#include <vector>

namespace NSWindow {

// The text's lines, each no wider than width as measure tells: a line too
// wide breaks at its last space that fits, a word wider than the whole width
// where it must. The text's own line breaks stay, blank lines too; a break
// at its very end makes no empty line.
std::vector<std::string> wrapText(const std::string& text, int width,
                                  const std::function<int(const std::string&)>& measure);

} // namespace NSWindow
