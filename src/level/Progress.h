#pragma once
// The player's progress: which built-in levels are won (how long the winning
// run took in simulated seconds and how many runs it took), how many runs
// each level has seen and the level played last. It lives in a small text
// file in the working folder ("progress.txt"), written atomically, read
// strictly: a file that is not exactly in the format is reported damaged.
// The player's layout of each level is kept beside it as a level file
// (levels/_layout<number>.lvl, see LevelProgressKeeper).
//
// Format, version 1, one record a line, Latin-1 text:
//   quibbleton-progress 1
//   last <level number>
//   level <level number> <runs> <won 0|1> <seconds of the winning run> <runs it took>
//   end
// Level numbers count from 1 as the level page shows them.
#include <map>
#include <string>

namespace NSLevel {

struct LevelProgress {
    // Machine starts in this level.
    unsigned runs = 0;
    bool won = false;
    // The quickest winning run, in simulated seconds.
    double winSeconds = 0.0;
    // The runs up to and including the first win.
    unsigned winRuns = 0;

    bool operator==(const LevelProgress& o) const {
        return runs == o.runs && won == o.won && winSeconds == o.winSeconds && winRuns == o.winRuns;
    }
};

class Progress {
public:
    enum class ReadResult { Missing, Read, Damaged };
    // The most levels a file may name; more means damage.
    static constexpr unsigned kMaxLevels = 1000;

    explicit Progress(std::string path = "progress.txt");

    // Reads the file. A damaged one (or a link, pipe or folder in its place)
    // is set aside as <path>.bad (.bad-2, ... when that is taken) and the
    // progress starts fresh; a missing one starts fresh too.
    ReadResult read();
    // Where the last read set a damaged file aside ("" if it did not).
    const std::string& setAsideAs() const { return asideName; }
    // Writes the file atomically: a new file beside it, then a rename. False
    // (logged) when it could not be written; the old file stays.
    bool write() const;

    // The file's text, and reading it back: false (progress unchanged) when
    // the text is not a whole, valid progress file.
    std::string format() const;
    bool parse(const std::string& text);

    const std::string& path() const { return filePath; }
    // Index (from 0) of the level played last.
    unsigned lastLevel() const { return last; }
    void setLastLevel(unsigned index);
    // The record of level index (from 0); an empty one for a level not seen.
    LevelProgress level(unsigned index) const;
    bool isWon(unsigned index) const { return level(index).won; }
    // Level numbers (from 1) of the won levels, e.g. "1 2 5"; "" for none.
    std::string wonList() const;
    void countRun(unsigned index);
    // A won run of this many simulated seconds: the first win keeps its
    // run count, a quicker win its time.
    void recordWin(unsigned index, double seconds);

    // The name (in "levels/") of the player's layout of level index.
    static std::string layoutName(unsigned index);

private:
    std::string filePath;
    std::string asideName;
    unsigned last = 0;
    std::map<unsigned, LevelProgress> levels;
};

// "Won in 7.50 s after 2 runs", for a won level, in the player's language;
// for the log (gameText) in the game's own words, whatever the language.
std::string describeWin(const LevelProgress& p, bool gameText = false);

} // namespace NSLevel
