#pragma once
// Opening the game's files safely. Every file the game reads or writes (the
// log, the sound settings, the progress, levels, scenes, layouts, models,
// pictures, fonts named by path) goes through here:
//  - reading opens a regular file only, never through a link (O_NOFOLLOW)
//    and never waiting (O_NONBLOCK): a pipe, device or folder where a file
//    should be is refused with a reason instead of stalling the game;
//  - writing fills a new file beside the target, created with
//    O_CREAT|O_EXCL|O_NOFOLLOW, and renames it over the target once all is
//    written and synced, so a link is replaced rather than written through
//    and a failed write leaves the old file as it was;
//  - a damaged file is set aside under a name not used before;
//  - the temporary files a killed game left behind are removed at start.
#include <cstdio>
#include <string>
#include <vector>

namespace NSFile {

// Why path cannot be opened for reading ("is a link", "is a pipe or device",
// or the system's reason); the descriptor (-1 on failure) is closed on exec.
struct Opened {
    int fd = -1;
    bool missing = false;
    std::string problem;
};
Opened openForReading(const std::string& path);
// The same as a stdio stream ("rb"), or null with the problem.
std::FILE* openStream(const std::string& path, std::string* problem = nullptr);

enum class Read { Whole, Missing, Refused };
// Reads the whole file into bytes; one larger than maxBytes is refused.
Read readFile(const std::string& path, std::string& bytes, size_t maxBytes, std::string* problem = nullptr);

// A new file beside target ("<target>.tmp-XXXXXX"), made with
// O_CREAT|O_EXCL|O_NOFOLLOW. A folder, pipe or device at target is not
// replaced (ok() is false), nor a link unless replaceLink. Destroyed
// uncommitted, it removes itself.
class NewFile {
public:
    explicit NewFile(const std::string& target, bool replaceLink = true);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const std::string& problem() const { return problem_; }
    bool write(const std::string& bytes);
    // Syncs, closes and renames the file over the target; false (and the
    // new file removed, the target unchanged) when anything failed.
    bool commit();
    // Renames the file over the target now and hands over the open
    // descriptor (for a file written while the game runs: the log).
    int commitOpen();

private:
    bool fail(const std::string& what);
    std::string target_;
    std::string temp_;
    std::string problem_;
    int fd_ = -1;
};

// Writes bytes to path through a NewFile.
bool writeFile(const std::string& path, const std::string& bytes, std::string* problem = nullptr);

// Renames path to "<path>.bad", or "<path>.bad-2", "-3", ...: the first of
// these names that is free, never over an earlier one. The new path, or ""
// (with the problem) when it could not be moved.
std::string setAside(const std::string& path, std::string* problem = nullptr);

// Whether a name is one of the temporary files saves use: "<x>.tmp-XXXXXX",
// or what earlier versions left: "<x>.tmp" and "<x>.tmp<pid>_<n>".
bool isTempName(const std::string& name);
// Removes the temporary files in folder (links under such names too, never
// what they point to): of any file, or only of the files named in ofFiles.
// Returns how many went.
int removeStaleTemps(const std::string& folder, const std::vector<std::string>& ofFiles = {});

} // namespace NSFile
