#include "ui/TextWrap.h"

#include <sstream>

namespace NSWindow {

namespace {

// Moves the longest beginning of word that fits (at least one character)
// into lines and leaves the rest in word.
void breakWord(std::string& word, int width, const std::function<int(const std::string&)>& measure,
               std::vector<std::string>& lines) {
    while (word.size() > 1 && measure(word) > width) {
        size_t fits = 1;
        while (fits + 1 < word.size() && measure(word.substr(0, fits + 1)) <= width)
            ++fits;
        lines.push_back(word.substr(0, fits));
        word.erase(0, fits);
    }
}

} // namespace

std::vector<std::string> wrapText(const std::string& text, int width,
                                  const std::function<int(const std::string&)>& measure) {
    std::vector<std::string> lines;
    std::istringstream paragraphs(text);
    for (std::string paragraph; std::getline(paragraphs, paragraph);) {
        if (measure(paragraph) <= width) {
            lines.push_back(paragraph);
            continue;
        }
        std::istringstream words(paragraph);
        std::string line;
        bool first = true;
        for (std::string word; std::getline(words, word, ' '); first = false) {
            const std::string longer = first ? word : line + " " + word;
            if (measure(longer) <= width) {
                line = longer;
                continue;
            }
            if (!first)
                lines.push_back(line);
            breakWord(word, width, measure, lines);
            line = word;
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace NSWindow
