#include "level/Progress.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "shell/Language.h"
#include "shell/Log.h"
#include "shell/SafeFile.h"

namespace NSLevel {

namespace {

constexpr const char* kHead = "quibbleton-progress 1";
// A progress file of a thousand levels stays far below this.
constexpr size_t kMaxFileBytes = 64 * 1024;
// Longer than any player would wait for one run, in simulated seconds.
constexpr double kMaxSeconds = 1.0e7;
constexpr unsigned long kMaxRuns = 1000000000ul;

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string::npos)
            end = line.size();
        words.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// A decimal number from 0 to max, digits only.
bool toUnsigned(const std::string& s, unsigned long max, unsigned& out) {
    if (s.empty() || s.size() > 10 || s.find_first_not_of("0123456789") != std::string::npos)
        return false;
    unsigned long v = std::strtoul(s.c_str(), nullptr, 10);
    if (v > max)
        return false;
    out = static_cast<unsigned>(v);
    return true;
}

bool toSeconds(const std::string& s, double& out) {
    if (s.empty() || s.size() > 20 || s.find_first_not_of("0123456789.") != std::string::npos)
        return false;
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(v) || v < 0.0 || v > kMaxSeconds)
        return false;
    out = v;
    return true;
}

} // namespace

Progress::Progress(std::string path) : filePath(std::move(path)) {}

void Progress::setLastLevel(unsigned index) {
    if (index < kMaxLevels)
        last = index;
}

LevelProgress Progress::level(unsigned index) const {
    auto it = levels.find(index);
    return it == levels.end() ? LevelProgress() : it->second;
}

std::string Progress::wonList() const {
    std::string list;
    for (const auto& entry : levels)
        if (entry.second.won)
            list += (list.empty() ? "" : " ") + std::to_string(entry.first + 1);
    return list;
}

void Progress::countRun(unsigned index) {
    if (index >= kMaxLevels)
        return;
    LevelProgress& p = levels[index];
    if (p.runs < kMaxRuns)
        ++p.runs;
}

void Progress::recordWin(unsigned index, double seconds) {
    if (index >= kMaxLevels || !std::isfinite(seconds) || seconds < 0.0)
        return;
    seconds = std::min(seconds, kMaxSeconds);
    LevelProgress& p = levels[index];
    if (!p.won) {
        p.won = true;
        p.winRuns = std::max(1u, p.runs);
        p.winSeconds = seconds;
    } else if (seconds < p.winSeconds) {
        p.winSeconds = seconds;
    }
}

std::string Progress::layoutName(unsigned index) { return "_layout" + std::to_string(index + 1); }

std::string Progress::format() const {
    std::string text = std::string(kHead) + "\nlast " + std::to_string(last + 1) + "\n";
    char line[128];
    for (const auto& entry : levels) {
        const LevelProgress& p = entry.second;
        std::snprintf(line, sizeof line, "level %u %u %d %.3f %u\n", entry.first + 1, p.runs, p.won ? 1 : 0,
                      p.winSeconds, p.winRuns);
        text += line;
    }
    return text + "end\n";
}

bool Progress::parse(const std::string& text) {
    if (text.size() > kMaxFileBytes)
        return false;
    std::map<unsigned, LevelProgress> read;
    unsigned readLast = 0;
    bool head = false, lastSeen = false, ended = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return false; // cut off in the middle of a line
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (ended)
            return false; // nothing may follow the end
        if (!head) {
            if (line != kHead)
                return false;
            head = true;
            continue;
        }
        std::vector<std::string> w = split(line);
        if (w.size() == 1 && w[0] == "end") {
            ended = true;
        } else if (w.size() == 2 && w[0] == "last" && !lastSeen) {
            unsigned number = 0;
            if (!toUnsigned(w[1], kMaxLevels, number) || number == 0)
                return false;
            readLast = number - 1;
            lastSeen = true;
        } else if (w.size() == 6 && w[0] == "level") {
            unsigned number = 0, won = 0;
            LevelProgress p;
            if (!toUnsigned(w[1], kMaxLevels, number) || number == 0 || read.count(number - 1) ||
                !toUnsigned(w[2], kMaxRuns, p.runs) || !toUnsigned(w[3], 1, won) ||
                !toSeconds(w[4], p.winSeconds) || !toUnsigned(w[5], kMaxRuns, p.winRuns))
                return false;
            p.won = won == 1;
            read[number - 1] = p;
        } else {
            return false;
        }
    }
    if (!ended || !lastSeen)
        return false;
    levels.swap(read);
    last = readLast;
    return true;
}

Progress::ReadResult Progress::read() {
    levels.clear();
    last = 0;
    asideName.clear();
    std::string text, problem;
    const NSFile::Read result = NSFile::readFile(filePath, text, kMaxFileBytes, &problem);
    if (result == NSFile::Read::Missing)
        return ReadResult::Missing;
    if (result == NSFile::Read::Whole && parse(text)) {
        log(LOG_GAME, "Progress: read \"%s\", levels won: %s\n", filePath.c_str(), wonList().c_str());
        return ReadResult::Read;
    }
    log(LOG_ERROR, "Progress: \"%s\" %s\n", filePath.c_str(),
        problem.empty() ? "is not a progress file of this game" : problem.c_str());
    // Kept for the player under a name of its own, never over an earlier one.
    asideName = NSFile::setAside(filePath);
    return ReadResult::Damaged;
}

bool Progress::write() const {
    std::string problem;
    if (NSFile::writeFile(filePath, format(), &problem))
        return true;
    log(LOG_ERROR, "Progress: \"%s\" could not be written: %s\n", filePath.c_str(), problem.c_str());
    return false;
}

std::string describeWin(const LevelProgress& p, bool gameText) {
    if (gameText) {
        char text[96];
        if (p.winRuns > 1)
            std::snprintf(text, sizeof text, "Won in %.2f s after %u runs", p.winSeconds, p.winRuns);
        else
            std::snprintf(text, sizeof text, "Won in %.2f s at the first run", p.winSeconds);
        return text;
    }
    const std::string seconds = formatDecimal(p.winSeconds, 2);
    if (p.winRuns > 1)
        return trPlural("Won in %s s after %u run", "Won in %s s after %u runs", p.winRuns, seconds.c_str(), p.winRuns);
    return trFormat("Won in %s s at the first run", seconds.c_str());
}

} // namespace NSLevel
